#pragma once

#include <QString>

namespace veil {

// Copies the case database `source` into the new file `target` through the
// engine's online backup, which reads one consistent state even while other
// connections are open, and then checks the copy: it must pass the engine's
// integrity check and open as a case database. Empty when all went well,
// otherwise why not (the target may then be left half written).
QString snapshotDatabase(const QString& source, const QString& target);

// Puts the checked file `ready` in place of the database `live`: written
// beside it, synced and renamed over it, so a crash leaves the old file or the
// new one. Empty when done, otherwise why not (`live` is then unchanged).
QString swapInDatabase(const QString& ready, const QString& live);

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
