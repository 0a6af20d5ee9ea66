#pragma once

#include <QString>

namespace veil {

class ScratchFile;

// Copies the case database `source` into the new file `target` through the
// engine's online backup, which reads one consistent state even while other
// connections are open, and then checks the copy: it must pass the engine's
// integrity check and open as a case database. Empty when all went well,
// otherwise why not (the target may then be left half written).
QString snapshotDatabase(const QString& source, const QString& target);

// Puts the checked file `ready`, a scratch file made beside the database
// `live`, in its place by a rename, so a crash leaves the old file or the new
// one. It holds the engine's exclusive lock on the old file meanwhile, so no
// other writer's journal can meet the new file and a writer that keeps the old
// one open is refused afterwards. Empty when done, otherwise why not (`live`
// is then unchanged).
QString swapInDatabase(ScratchFile& ready, const QString& live);

// The highest number N of the investigation folders "\Investigations\N\"
// under the program folder; 0 when there is none.
qint64 highestInvestigationFolder(const QString& programFolder);

// Makes the next auto number of `table` in the database file `database` at
// least above + 1, keeping a higher one. Empty when done, otherwise why not.
QString reserveAutoNumbers(const QString& database, const QString& table, qint64 above);

// Empty when the file passes PRAGMA integrity_check, otherwise the engine's
// findings (or why it could not check).
QString integrityProblem(const QString& path);

// Which file a path names at the moment: a file replaced by a rename gets a
// new identity, one left alone keeps its own.
struct FileIdentity {
    bool exists = false;
    unsigned long long device = 0;
    unsigned long long inode = 0;
    bool operator==(const FileIdentity&) const = default;
};
FileIdentity fileIdentity(const QString& path);

} // namespace veil
