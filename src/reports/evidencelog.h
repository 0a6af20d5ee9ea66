#pragma once
// veil_reports: an investigation's evidence log as a report shows it.

#include <QImage>
#include <QList>
#include <QPair>
#include <QSize>
#include <QString>

#include <optional>

namespace veil {
class Connection;
}

namespace veil::reports {

// One row of vc_evidence, as text where the report shows text.
struct Finding {
    qint64 atMs = 0; // after midnight of the investigation's date; past 24 h is the next day
    QString kind, area, investigator, device;
    std::optional<double> reading;
    QString unit, mediaPath;
    std::optional<qint64> clipStartMs, clipLengthMs;
    QString evpClass, status, explanation, note;
};

// The findings of the investigation with this key, in time order.
QList<Finding> findingsOf(Connection& db, const QString& key);

// How many findings there are of each kind (most first), and of each status:
// unexplained, explained and inconclusive always, then any other status, then
// "not assessed" for findings without one.
struct EvidenceCounts {
    int total = 0;
    QList<QPair<QString, int>> byKind;
    QList<QPair<QString, int>> byStatus;
};
EvidenceCounts countFindings(const QList<Finding>& findings);

// "23:14:05", "23:14:05.250", or "00:10:00 (+1 day)" past midnight.
QString timeOfDay(qint64 atMs);

// The investigation's timeline drawn for the report, or a null image when there
// is none to show. The timeline drawing is not part of the program yet, so for
// now nothing is drawn and the report leaves the picture out.
QImage timelineImage(Connection& db, const QString& key, const QSize& size);

} // namespace veil::reports
