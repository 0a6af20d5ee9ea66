#pragma once
// veil_reports: the reports a team hands over at the end of a case, built from
// the case file alone (no widgets), for the windows and for veilcase-cli.

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace veil {
class Connection;
}

namespace veil::reports {

struct Options {
    // The location's contact person, phone, cell and e-mail; off by default,
    // since reports travel.
    bool contacts = false;
};

// A report: one HTML text whose pictures are named "image:N" (N from 0) and
// held beside it as JPEG bytes. Every text from the case file is escaped.
struct Report {
    QString title; // also the heading of every printed page
    QString html;
    QList<QByteArray> images;

    // The same HTML with every picture inside it, for a file that opens in any
    // browser with nothing beside it.
    QString selfContainedHtml() const;
};

// The investigation with this key (at this location, when one is given): its
// location, date and time, conditions, team, thoughts, notes, media archive,
// every interview, the evidence log and the pictures. Empty when there is no
// such investigation.
std::optional<Report> investigationReport(Connection& db, const QString& programFolder, const QString& key,
                                          const QString& location = QString(), const Options& options = {});

// The location with this name and all its investigations in date order, each
// with its conditions, team and a summary of its findings. Empty when there
// is no such location.
std::optional<Report> locationReport(Connection& db, const QString& programFolder, const QString& name,
                                     const Options& options = {});

} // namespace veil::reports
