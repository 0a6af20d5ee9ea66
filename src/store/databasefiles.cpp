#include "store/databasefiles.h"

#include "store/casedb.h"
#include "store/fileroutines.h"
#include "store/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool exec(const Handle& h, const char* sql) {
    return sqlite3_exec(h.db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
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

QString swapInDatabase(ScratchFile& ready, const QString& live) {
    QString error;
    auto putInPlace = [&] {
        if (!ready.moveTo(live, &error))
            error = QStringLiteral("\"%1\" could not be written: %2").arg(live, error);
        return error;
    };
    if (!QFileInfo::exists(live))
        return putInPlace();

    // The engine's own exclusive lock on the old file, held until the new one
    // has its name: taking it waits for every other writer and rolls a journal
    // left by one that died back into the old file, and while it is held none
    // can begin, so no journal of the old file ever lies beside the new one. A
    // write-ahead log is checked into the old file first. A writer that keeps
    // the old file open is refused by the engine afterwards (the file moved).
    Handle h;
    if (!openHandle(h, live, SQLITE_OPEN_READWRITE))
        return QStringLiteral("\"%1\" cannot be opened: %2").arg(live, h.error());
    // A busy writer leaves the file free only between its transactions, for
    // moments far shorter than the engine's own waits: ask often, for ten seconds.
    sqlite3_busy_handler(
        h.db, [](void*, int tries) { ::usleep(200); return tries < 50000 ? 1 : 0; }, nullptr);
    if (exec(h, "PRAGMA journal_mode=DELETE") && exec(h, "BEGIN EXCLUSIVE")) {
        putInPlace();
        exec(h, "ROLLBACK");
        return error;
    }
    const int code = sqlite3_errcode(h.db);
    // What is no database at all has no writer to wait for, only side files
    // that must not meet the new file; with them it is left alone.
    if ((code == SQLITE_NOTADB || code == SQLITE_CORRUPT) && !QFileInfo::exists(live + QLatin1String("-journal")) &&
        !QFileInfo::exists(live + QLatin1String("-wal")))
        return putInPlace();
    return QStringLiteral("The database \"%1\" is in use by another program or has a journal that "
                          "cannot be applied (%2). Close every other program that uses it and try again.")
        .arg(live, h.error());
}

qint64 highestInvestigationFolder(const QString& programFolder) {
    qint64 highest = 0;
    const QDir folder(programPath(programFolder, files::investigations));
    for (const QString& name : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool ok = false;
        const qint64 n = name.toLongLong(&ok);
        if (ok && n > highest && QString::number(n) == name)
            highest = n;
    }
    return highest;
}

QString reserveAutoNumbers(const QString& database, const QString& table, qint64 above) {
    if (above <= 0)
        return {};
    Handle h;
    if (!openHandle(h, database, SQLITE_OPEN_READWRITE))
        return QStringLiteral("\"%1\" cannot be opened: %2").arg(database, h.error());
    sqlite3_stmt* st = nullptr;
    const char* sql =
        "INSERT INTO sqlite_sequence (name, seq) SELECT ?1, ?2 WHERE NOT EXISTS "
        "(SELECT 1 FROM sqlite_sequence WHERE name = ?1 COLLATE NOCASE);"
        "UPDATE sqlite_sequence SET seq = max(seq, ?2) WHERE name = ?1 COLLATE NOCASE";
    const QByteArray name = table.toUtf8();
    for (const char* next = sql; next && *next;) {
        if (sqlite3_prepare_v2(h.db, next, -1, &st, &next) != SQLITE_OK)
            return QStringLiteral("\"%1\" cannot be numbered: %2").arg(database, h.error());
        sqlite3_bind_text(st, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(st, 2, above);
        const int rc = sqlite3_step(st);
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE)
            return QStringLiteral("\"%1\" cannot be numbered: %2").arg(database, h.error());
    }
    return {};
}

FileIdentity fileIdentity(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {true, static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino)};
}

} // namespace veil
