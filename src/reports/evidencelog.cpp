#include "reports/evidencelog.h"

#include "store/casedb.h"
#include "timeline/timelinedrawing.h"

#include <QHash>

#include <algorithm>

namespace veil::reports {

namespace {
const QStringList kStatuses = {QStringLiteral("unexplained"), QStringLiteral("explained"),
                               QStringLiteral("inconclusive")};
const QString kNotAssessed = QStringLiteral("not assessed");
} // namespace

EvidenceCounts countFindings(const QList<Finding>& findings) {
    EvidenceCounts c;
    c.total = int(findings.size());
    QHash<QString, int> kinds, statuses;
    QStringList otherStatuses;
    for (const Finding& f : findings) {
        ++kinds[f.kind.trimmed().isEmpty() ? QStringLiteral("other") : f.kind.trimmed()];
        QString s = f.status.trimmed().toLower();
        if (s.isEmpty())
            s = kNotAssessed;
        if (!kStatuses.contains(s) && s != kNotAssessed && !otherStatuses.contains(s))
            otherStatuses << s;
        ++statuses[s];
    }
    for (auto it = kinds.cbegin(); it != kinds.cend(); ++it)
        c.byKind << qMakePair(it.key(), it.value());
    std::sort(c.byKind.begin(), c.byKind.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    if (c.total == 0)
        return c;
    otherStatuses.sort();
    for (const QString& s : kStatuses + otherStatuses)
        c.byStatus << qMakePair(s, statuses.value(s));
    if (statuses.contains(kNotAssessed))
        c.byStatus << qMakePair(kNotAssessed, statuses.value(kNotAssessed));
    return c;
}

QString timeOfDay(qint64 atMs) {
    constexpr qint64 kDay = 24LL * 3600 * 1000;
    const qint64 days = atMs >= 0 ? atMs / kDay : 0;
    const qint64 ms = atMs >= 0 ? atMs % kDay : 0;
    QString t = QStringLiteral("%1:%2:%3")
                    .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
                    .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
                    .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'));
    if (ms % 1000)
        t += QStringLiteral(".%1").arg(ms % 1000, 3, 10, QLatin1Char('0'));
    if (days == 1)
        t += QStringLiteral(" (+1 day)");
    else if (days > 1)
        t += QStringLiteral(" (+%1 days)").arg(days);
    return t;
}

QImage timelineImage(Connection& db, const QString& programFolder, const QString& key, const QSize& size) {
    const std::optional<evidence::Night> night = evidence::findNight(db, key);
    if (!night)
        return {};
    const evidence::Timeline t = evidence::timeline(db, programFolder, *night);
    if (t.entries.isEmpty())
        return {};
    return timeline::image(t, timeline::wholeNight(t), size);
}

} // namespace veil::reports
