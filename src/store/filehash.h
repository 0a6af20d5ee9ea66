#pragma once
// The fingerprints of the files the program copied in (vc_filehash): what
// each file was when it arrived, so that it can be shown later to be the same.

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace veil {

class Connection;

struct FileHash {
    QString path;             // stored path, e.g. \Investigations\17\Cellar door.jpg
    qint64 size = 0;
    QString sha256;           // lower-case hex
    QString attached;         // ISO 8601 UTC
    QString originalName;     // the source file's name, without its folder
    QString originalModified; // the source file's modification time, ISO 8601 UTC
};

// The way every window copies a file into the program folder: CopyFile
// (questions and messages included) with the file hashed while it is copied,
// and the hash recorded under `storedPath`. `destination` is the real path
// the stored path stands for (see evidenceFilePath). True when the file was
// copied; when the user declines to replace an earlier copy the earlier copy
// and its record stay. A copy whose hash cannot be recorded is kept and the
// user is told (it shows as unrecorded when verified).
bool attachFile(Connection& db, const QString& source, const QString& destination, const QString& storedPath);
// The same with a connection of its own on the program folder's case file.
bool attachFile(const QString& programFolder, const QString& source, const QString& destination,
                const QString& storedPath);

// Adds or replaces the record of one file. Throws DbError.
void recordFileHash(Connection& db, const FileHash& hash);
// Every record, ordered by path; none when the file has no vc_filehash yet
// (an older file opened without upgrading). Throws DbError.
QList<FileHash> recordedFiles(Connection& db);
std::optional<FileHash> recordedFile(Connection& db, const QString& storedPath);

// The real file a stored path stands for. In the flat folders "\locations\"
// and "\investigators\" everything after the folder is one file name (a key
// may hold a backslash); elsewhere backslashes separate folders. Empty for
// a path with a ".." part, which would lead outside the program folder.
QString evidenceFilePath(const QString& programFolder, const QString& storedPath);

// ISO 8601 in UTC, as the records keep times.
QString isoUtc(const QDateTime& time);

} // namespace veil
