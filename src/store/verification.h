#pragma once
// Verifying the evidence: every recorded file hashed again and compared with
// its record, and every file in the image folders that has no record found.
// Widget-free, for the Verify Evidence window and veilcase-cli verify.

#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>

namespace veil {

class Connection;
struct FileDigest;

enum class FileStatus {
    NotChecked, // not reached (cancelled) or not yet verified
    Ok,         // same size and hash as recorded
    Changed,    // differs from its record, or cannot be read
    Missing,    // recorded, but no longer there
    Unrecorded, // in an image folder without a record (e.g. from an older case file)
};
// "ok", "changed", "missing", "unrecorded", "not checked".
QString statusName(FileStatus status);

struct CheckedFile {
    QString path;             // stored path
    qint64 size = -1;         // as recorded; -1 for an unrecorded file
    QString sha256;           // as recorded; empty for an unrecorded file
    QString attached;         // as recorded
    FileStatus status = FileStatus::NotChecked;
    qint64 foundSize = -1;    // what verifying found
    QString foundSha256;
    QString foundModified;    // the file's modification time, ISO 8601 UTC
    QString problem;          // why a file could not be read
};

// The recorded files and the unrecorded ones in "\locations\",
// "\investigators\" and "\Investigations\" (all depths; hidden files left
// out), recorded first, each group ordered by path; unrecorded ones already
// have their status. Throws DbError.
QList<CheckedFile> evidenceFiles(Connection& db, const QString& programFolder);

struct VerifyProgress {
    qint64 bytesDone = 0;
    qint64 bytesTotal = 0;
    int filesDone = 0;
    int filesTotal = 0;
};

struct VerifyOptions {
    // Files hashed at once; 0 for one per processor (at most 4).
    int threads = 0;
    // Called from the hashing threads, one call at a time, after each file
    // and every few megabytes.
    std::function<void(const VerifyProgress&)> progress;
    // Set from anywhere to stop; files not finished stay NotChecked.
    const std::atomic<bool>* cancel = nullptr;
};

// Hashes every file of `files` and sets its status (unrecorded files keep
// theirs and gain what was found). False when cancelled.
bool verifyFiles(QList<CheckedFile>& files, const QString& programFolder, const VerifyOptions& options = {});

// The size and SHA-256 of one file in large reads; nothing when it cannot be
// read or `cancel` was set. `read` is told of every chunk's size.
std::optional<FileDigest> hashFile(const QString& path, QString* error = nullptr,
                                   const std::atomic<bool>* cancel = nullptr,
                                   const std::function<void(qint64)>& read = {});

// Records the unrecorded files that verifying hashed, as attached now, with
// their own names and modification times; they become Ok. Returns how many.
// Throws DbError (nothing is recorded then).
int recordHashes(Connection& db, QList<CheckedFile>& files);

// The CSV manifest: a header line "path,size,sha256,attached,status" and one
// line per file (the recorded size and hash, or for an unrecorded file what
// was found), quoted where needed.
QByteArray manifestCsv(const QList<CheckedFile>& files);
bool writeManifest(const QString& path, const QList<CheckedFile>& files, QString* error = nullptr);

} // namespace veil
