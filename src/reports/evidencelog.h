#pragma once
// veil_reports: an investigation's evidence log as a report shows it.

#include "store/evidence.h"

#include <QImage>
#include <QList>
#include <QPair>
#include <QSize>
#include <QString>

#include <optional>

namespace veil::reports {

// A finding of the evidence log, as the store reads it.
using Finding = evidence::Finding;

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

// The investigation's whole night drawn as the Timeline window draws it, or a
// null image when there is nothing on it.
QImage timelineImage(Connection& db, const QString& programFolder, const QString& key, const QSize& size);

} // namespace veil::reports
