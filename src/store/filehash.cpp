#include "store/filehash.h"

#include "store/casedb.h"
#include "store/fileroutines.h"
#include "store/paths.h"
#include "store/statement.h"
#include "store/ui.h"

#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>

namespace veil {

namespace {

bool hasTable(Connection& db) {
    Stmt s(db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND name='vc_filehash'"));
    return s.step();
}

FileHash readHash(const Stmt& s) {
    return {s.text(0), s.integer(1), s.text(2), s.text(3), s.text(4), s.text(5)};
}

const QString kColumns = QStringLiteral("path, size, sha256, attached, original_name, original_modified");

} // namespace

QString isoUtc(const QDateTime& time) { return time.toUTC().toString(Qt::ISODate); }

bool attachFile(Connection& db, const QString& source, const QString& destination, const QString& storedPath) {
    const QFileInfo original(source);
    FileDigest copied;
    copied.size = -1;
    CopyFile(source, destination, &copied);
    if (copied.size < 0)
        return false;
    const FileHash hash{storedPath,
                        copied.size,
                        QString::fromLatin1(copied.sha256.toHex()),
                        isoUtc(QDateTime::currentDateTimeUtc()),
                        original.fileName(),
                        isoUtc(original.lastModified())};
    try {
        recordFileHash(db, hash);
    } catch (const DbError& e) {
        message(QStringLiteral("The file was copied to \"%1\", but its fingerprint could not be recorded "
                               "(%2). Verify Evidence will list it as unrecorded.")
                    .arg(destination, e.text()));
    }
    return true;
}

bool attachFile(const QString& programFolder, const QString& source, const QString& destination,
                const QString& storedPath) {
    std::unique_ptr<Connection> db;
    try {
        db = Connection::open(programFolder);
    } catch (const DbError& e) {
        // Without a case file there is nowhere to record; the copy is still made.
        CopyFile(source, destination);
        message(QStringLiteral("The file's fingerprint could not be recorded (%1).").arg(e.text()));
        return QFileInfo(destination).isFile();
    }
    return attachFile(*db, source, destination, storedPath);
}

void recordFileHash(Connection& db, const FileHash& h) {
    Stmt s(db, QStringLiteral("INSERT OR REPLACE INTO vc_filehash (%1) VALUES (?, ?, ?, ?, ?, ?)").arg(kColumns));
    s.bind(1, h.path);
    s.bind(2, h.size);
    s.bind(3, h.sha256);
    s.bind(4, h.attached);
    s.bind(5, h.originalName);
    s.bind(6, h.originalModified);
    s.step();
}

QList<FileHash> recordedFiles(Connection& db) {
    QList<FileHash> out;
    if (!hasTable(db))
        return out;
    Stmt s(db, QStringLiteral("SELECT %1 FROM vc_filehash ORDER BY path").arg(kColumns));
    while (s.step())
        out << readHash(s);
    return out;
}

std::optional<FileHash> recordedFile(Connection& db, const QString& storedPath) {
    if (!hasTable(db))
        return std::nullopt;
    Stmt s(db, QStringLiteral("SELECT %1 FROM vc_filehash WHERE path = ?").arg(kColumns));
    s.bind(1, storedPath);
    if (!s.step())
        return std::nullopt;
    return readHash(s);
}

QString evidenceFilePath(const QString& programFolder, const QString& storedPath) {
    // A record of a hostile case file must not lead the reading outside the program folder.
    static const QRegularExpression separators(QStringLiteral("[\\\\/]"));
    if (storedPath.split(separators).contains(QLatin1String("..")))
        return {};
    for (const QString& flat : {files::locations, files::investigators})
        if (storedPath.startsWith(flat))
            return programFile(programFolder, flat, storedPath.mid(flat.size()));
    return programPath(programFolder, storedPath);
}

} // namespace veil
