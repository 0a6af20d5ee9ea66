#include "store/databasefiles.h"

#include "store/casedb.h"
#include "store/fileroutines.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>
#include <sys/stat.h>

namespace veil {

namespace {

// A raw engine handle that is always closed.
struct Handle {
    sqlite3* db = nullptr;
    ~Handle() {
        if (db)
            sqlite3_close_v2(db);
    }
    QString error() const { return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory"); }
};

bool openHandle(Handle& h, const QString& path, int flags) {
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &h.db, flags, nullptr) != SQLITE_OK)
        return false;
    sqlite3_busy_timeout(h.db, 5000);
    return true;
}

// The engine applies a rollback journal or write-ahead log lying beside the
// database to whatever file then has the name, so none may outlive the file
// it belongs to. Opening the old file once lets the engine settle them (roll
// back or check in); what it cannot use is removed.
void settleSideFiles(const QString& live) {
    static const char* const suffixes[] = {"-journal", "-wal"};
    bool any = false;
    for (const char* s : suffixes)
        any = any || QFileInfo::exists(live + QLatin1String(s));
    if (!any)
        return;
    (void)Connection::problemWith(live);
    for (const char* s : suffixes)
        QFile::remove(live + QLatin1String(s));
    QFile::remove(live + QLatin1String("-shm"));
}

} // namespace

QString integrityProblem(const QString& path) {
    Handle h;
    if (!openHandle(h, path, SQLITE_OPEN_READONLY))
        return h.error();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(h.db, "PRAGMA integrity_check", -1, &st, nullptr) != SQLITE_OK)
        return h.error();
    QStringList findings;
    int rc = SQLITE_OK;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        findings << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE)
        return h.error();
    if (findings == QStringList{QStringLiteral("ok")})
        return {};
    // The engine can list many findings; the first few say enough.
    return findings.mid(0, 3).join(QLatin1String("; "));
}

QString snapshotDatabase(const QString& source, const QString& target) {
    // Refuses what is not a case database at all, with the store's own words.
    if (QString problem = Connection::problemWith(source); !problem.isEmpty())
        return problem;
    {
        Handle from, to;
        if (!openHandle(from, source, SQLITE_OPEN_READONLY))
            return QStringLiteral("\"%1\" cannot be opened: %2").arg(source, from.error());
        if (!openHandle(to, target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE))
            return QStringLiteral("\"%1\" cannot be written: %2").arg(target, to.error());
        sqlite3_backup* backup = sqlite3_backup_init(to.db, "main", from.db, "main");
        if (!backup)
            return QStringLiteral("\"%1\" cannot be copied: %2").arg(source, to.error());
        // All pages in one step: the source stays read-locked throughout, so
        // the copy is one state of it.
        const int rc = sqlite3_backup_step(backup, -1);
        sqlite3_backup_finish(backup);
        if ((rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB)
            return QStringLiteral("The case database \"%1\" is damaged.").arg(source);
        if (rc != SQLITE_DONE)
            return QStringLiteral("\"%1\" cannot be copied: %2").arg(source, QString::fromUtf8(sqlite3_errstr(rc)));
    }
    if (QString problem = integrityProblem(target); !problem.isEmpty())
        return QStringLiteral("The case database \"%1\" is damaged: %2").arg(source, problem);
    return Connection::problemWith(target);
}

QString swapInDatabase(const QString& ready, const QString& live) {
    settleSideFiles(live);
    QString error;
    if (!copyFileAtomically(ready, live, &error) && error.isEmpty())
        error = QStringLiteral("\"%1\" could not be written.").arg(live);
    return error;
}

FileIdentity fileIdentity(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {true, static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino)};
}

} // namespace veil
