#include "store/migrations.h"

#include "store/casedb.h"
#include "store/searchindex.h"

#include <sqlite3.h>

namespace veil {

namespace {

void exec(sqlite3* db, const char* sql, const QString& shown) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        const QString why = QString::fromUtf8(err ? err : sqlite3_errmsg(db));
        sqlite3_free(err);
        throw DbError(QStringLiteral("The case database \"%1\" could not be brought up to date: %2").arg(shown, why));
    }
}

// Findings of an investigation: each tied to its time, place, person and
// device, keyed to the investigation as its pictures are.
const char* const kEvidence = R"sql(
CREATE TABLE IF NOT EXISTS vc_evidence (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  FullDate_Time TEXT NOT NULL,
  at_ms INTEGER NOT NULL,
  kind TEXT NOT NULL,
  area TEXT,
  investigator TEXT,
  device TEXT,
  reading REAL,
  unit TEXT,
  media_path TEXT,
  clip_start_ms INTEGER,
  clip_length_ms INTEGER,
  evp_class TEXT,
  status TEXT,
  explanation TEXT,
  note TEXT,
  source TEXT
);
CREATE INDEX IF NOT EXISTS vc_evidence_investigation ON vc_evidence(FullDate_Time, at_ms);
CREATE INDEX IF NOT EXISTS vc_evidence_source ON vc_evidence(FullDate_Time, source);
)sql";

// What each file the program copied in was when it arrived.
const char* const kFileHash = R"sql(
CREATE TABLE IF NOT EXISTS vc_filehash (
  path TEXT PRIMARY KEY,
  size INTEGER NOT NULL,
  sha256 TEXT NOT NULL,
  attached TEXT NOT NULL,
  original_name TEXT,
  original_modified TEXT
);
)sql";

} // namespace

int schemaVersion(sqlite3* db) {
    sqlite3_stmt* st = nullptr;
    int v = 0;
    if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        v = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    return v;
}

QString schemaVersionProblem(sqlite3* db, const QString& shownPath) {
    const int v = schemaVersion(db);
    if (v <= kSchemaVersion)
        return {};
    return QStringLiteral("The case database \"%1\" was written by a newer Veilcase (its tables are of "
                          "version %2; this Veilcase knows versions up to %3).")
        .arg(shownPath)
        .arg(v)
        .arg(kSchemaVersion);
}

void upgradeSchema(sqlite3* db, const QString& shownPath) {
    if (const QString problem = schemaVersionProblem(db, shownPath); !problem.isEmpty())
        throw DbError(problem);
    if (schemaVersion(db) == kSchemaVersion)
        return;
    exec(db, "BEGIN IMMEDIATE", shownPath);
    try {
        // Read again under the write lock: another copy may have done it meanwhile.
        const int from = schemaVersion(db);
        if (from < 1) {
            exec(db, kEvidence, shownPath);
            exec(db, kFileHash, shownPath);
        }
        if (from < 2)
            buildSearchIndex(db, shownPath); // the words of every record, kept in step by triggers
        if (from < kSchemaVersion)
            exec(db, QByteArray("PRAGMA user_version=" + QByteArray::number(kSchemaVersion)).constData(),
                 shownPath);
        exec(db, "COMMIT", shownPath);
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

} // namespace veil
