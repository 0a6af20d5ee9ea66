#pragma once

#include <QString>

#include <functional>

class QIODevice;

namespace veil {

// Fields `first` to `last` of a text whose fields are separated by `delimiter`,
// numbered from 1 and returned joined by the delimiters between them.
//  - empty text or delimiter: empty text;
//  - first < 1 counts as 1; last < first counts as first (so the usual 0 means
//    "the single field first");
//  - a text without the delimiter is returned whole, whatever the numbers;
//  - a field beyond the last delimiter + 1 is empty text.
// The numbers keep the old 16-bit rules for every value in that range; larger
// numbers and texts of any length just go on counting (no wrap-around, so a loop
// over a huge list can never come back to field 1).
QString GetField(const QString& text, const QString& delimiter, int first, int last = 0);

// The text after the last "." anywhere in the path (folders included), with
// leading and trailing spaces removed; empty when the path holds no ".".
// Letter case is kept.
QString GetExtension(const QString& path);

// Keys become file names, so they are checked first. Returns a message for the
// user when `key` cannot name a plain file in a folder (blank, holds "/" or a
// NUL, is "." or "..", or is too long for the file system), empty when it can.
// A key that can be a file name is fine exactly as typed, spaces included.
QString fileNameProblem(const QString& key);

// The same for the stored file name key & "." & extension: the extension (as
// GetExtension gives it) must not hold "/" either, and the length counts the
// whole name.
enum class KeyUse {
    FileName,         // the name is only ever used as one file name
    StoredPathPart,   // the name is also stored inside a "\"-separated path, so "\" is refused too
};
QString fileNameProblem(const QString& key, const QString& extension, KeyUse use = KeyUse::FileName);

// What a copy read: its size and SHA-256, taken while copying (one read of the file).
struct FileDigest {
    qint64 size = 0;
    QByteArray sha256; // raw bytes
};

// Copies one file. Missing destination folders are created. When the
// destination exists the user is asked (Ui::confirmReplace) and the copy only
// happens on yes. The copy is written beside the destination and renamed into
// place, so a failed copy leaves an old destination whole. The source is only
// read. Nothing is reported to the caller: a failure is shown to the user in a
// message, and the caller checks the outcome by using the destination.
// `copied`, when given, receives what was copied; it is left alone when
// nothing was copied (declined, failed, or the destination is the source).
void CopyFile(const QString& source, const QString& destination, FileDigest* copied = nullptr);

// Replaces (or creates) a whole file safely: `write` fills a temporary file in
// the destination's folder; only when it returns true and everything reached
// the disk is the temporary renamed over the destination. On any failure the
// old destination is untouched, the temporary removed, false returned and
// `error` says why. An existing destination keeps its permissions. The folder
// must exist. Asks nothing and shows nothing (for the database tools too).
bool writeFileAtomically(const QString& destination, const std::function<bool(QIODevice&)>& write,
                         QString* error = nullptr);

// Scratch files (copies on their way to a destination, databases being built)
// are made beside their destination only, all named ".veilcase-" and six
// letters or digits, so those a killed program leaves behind can be known and
// removed at the next start (removeStaleScratchFiles).
class ScratchFile {
public:
    // A new empty scratch file in the folder of `destination`, which must exist.
    explicit ScratchFile(const QString& destination);
    // Removes the file and the side files the database engine makes beside it.
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    bool isValid() const { return !m_path.isEmpty(); }
    const QString& path() const { return m_path; }
    const QString& errorString() const { return m_error; }
    // Syncs the file and renames it over `destination`, which keeps its
    // permissions; afterwards nothing is left to remove. False, with `error`
    // set, when that failed.
    bool moveTo(const QString& destination, QString* error = nullptr);

private:
    QString m_path;
    QString m_error;
};

// Removes the scratch files of our own naming anywhere under the program
// folder. Only for when no other copy of the program uses the folder (at start,
// with the folder's lock held): a live copy's scratch file would go too.
void removeStaleScratchFiles(const QString& programFolder);

// A silent copy through writeFileAtomically: no question, no message, and no
// folder is created. Copying a file onto itself does nothing and succeeds.
// `copied`, when given, receives the size and hash of what was written.
bool copyFileAtomically(const QString& source, const QString& destination, QString* error = nullptr,
                        FileDigest* copied = nullptr);

} // namespace veil
