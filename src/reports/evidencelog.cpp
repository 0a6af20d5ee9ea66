#include "reports/evidencelog.h"

#include "store/casedb.h"

#include <QHash>

#include <sqlite3.h>

#include <algorithm>
#include <memory>

namespace veil::reports {

namespace {
QString textAt(sqlite3_stmt* s, int c) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, c));
    return QString::fromUtf8(p, sqlite3_column_bytes(s, c));
}
template <class T> std::optional<T> numberAt(sqlite3_stmt* s, int c) {
    if (sqlite3_column_type(s, c) == SQLITE_NULL)
        return std::nullopt;
    if constexpr (std::is_floating_point_v<T>)
        return sqlite3_column_double(s, c);
    else
        return sqlite3_column_int64(s, c);
}

const QStringList kStatuses = {QStringLiteral("unexplained"), QStringLiteral("explained"),
                               QStringLiteral("inconclusive")};
const QString kNotAssessed = QStringLiteral("not assessed");
} // namespace

QList<Finding> findingsOf(Connection& db, const QString& key) {
    static const char* const sql =
        "SELECT at_ms, kind, area, investigator, device, reading, unit, media_path, clip_start_ms, "
        "clip_length_ms, evp_class, status, explanation, note FROM vc_evidence "
        "WHERE FullDate_Time = ?1 ORDER BY at_ms, id";
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db.handle(), sql, -1, &raw, nullptr) != SQLITE_OK)
        throw DbError(QStringLiteral("The case database \"%1\" could not read the evidence log: %2")
                          .arg(db.path(), QString::fromUtf8(sqlite3_errmsg(db.handle()))));
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> s(raw, sqlite3_finalize);
    const QByteArray k = key.toUtf8();
    sqlite3_bind_text(raw, 1, k.constData(), int(k.size()), SQLITE_TRANSIENT);
    QList<Finding> out;
    int rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        Finding f;
        f.atMs = sqlite3_column_int64(raw, 0);
        f.kind = textAt(raw, 1);
        f.area = textAt(raw, 2);
        f.investigator = textAt(raw, 3);
        f.device = textAt(raw, 4);
        f.reading = numberAt<double>(raw, 5);
        f.unit = textAt(raw, 6);
        f.mediaPath = textAt(raw, 7);
        f.clipStartMs = numberAt<qint64>(raw, 8);
        f.clipLengthMs = numberAt<qint64>(raw, 9);
        f.evpClass = textAt(raw, 10);
        f.status = textAt(raw, 11);
        f.explanation = textAt(raw, 12);
        f.note = textAt(raw, 13);
        out << f;
    }
    if (rc != SQLITE_DONE)
        throw DbError(QStringLiteral("The case database \"%1\" failed reading the evidence log: %2")
                          .arg(db.path(), QString::fromUtf8(sqlite3_errmsg(db.handle()))));
    return out;
}

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

QImage timelineImage(Connection& db, const QString& key, const QSize& size) {
    Q_UNUSED(db);
    Q_UNUSED(key);
    Q_UNUSED(size);
    return {};
}

} // namespace veil::reports
