#pragma once

#include <QString>

struct sqlite3;

namespace veil {

// Our own tables beside the six of the case file. Version 0 is the file as it
// was shipped or imported; each later version adds tables of ours and never
// alters the six. The version is kept in PRAGMA user_version.
constexpr int kSchemaVersion = 2;

// The file's version.
int schemaVersion(sqlite3* db);

// Empty when a file of this version can be opened (it is ours or older),
// otherwise why not, naming both versions.
QString schemaVersionProblem(sqlite3* db, const QString& shownPath);

// Brings an older file up to kSchemaVersion, every step and the new version in
// one transaction (a failure leaves the file as it was). Throws DbError.
void upgradeSchema(sqlite3* db, const QString& shownPath);

} // namespace veil
