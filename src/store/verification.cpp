#include "store/verification.h"

#include "store/casedb.h"
#include "store/filehash.h"
#include "store/fileroutines.h"
#include "store/paths.h"
#include "store/sha256.h"
#include "store/statement.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <mutex>
#include <thread>
#include <vector>

namespace veil {

namespace {

constexpr qint64 kChunk = 1 << 20;
constexpr qint64 kProgressEvery = 16 * kChunk;

bool cancelled(const std::atomic<bool>* cancel) { return cancel && cancel->load(std::memory_order_relaxed); }

QString csvField(const QString& v) {
    if (!v.contains(QLatin1Char(',')) && !v.contains(QLatin1Char('"')) && !v.contains(QLatin1Char('\n')) &&
        !v.contains(QLatin1Char('\r')))
        return v;
    return QLatin1Char('"') + QString(v).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
}

// Files found under one image folder, as stored paths.
void collect(const QString& programFolder, const QString& folder, bool flat, QList<QString>& out) {
    const QString root = QDir::cleanPath(programPath(programFolder, folder));
    QDirIterator it(root, QDir::Files | QDir::NoDotAndDotDot,
                    flat ? QDirIterator::NoIteratorFlags : QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QString relative = it.filePath().mid(root.size() + 1);
        if (relative.startsWith(QLatin1Char('.')) || relative.contains(QLatin1String("/.")))
            continue; // hidden, such as a copy that never finished
        out << folder + (flat ? relative : QString(relative).replace(QLatin1Char('/'), QLatin1Char('\\')));
    }
}

} // namespace

QString statusName(FileStatus status) {
    switch (status) {
    case FileStatus::Ok: return QStringLiteral("ok");
    case FileStatus::Changed: return QStringLiteral("changed");
    case FileStatus::Missing: return QStringLiteral("missing");
    case FileStatus::Unrecorded: return QStringLiteral("unrecorded");
    case FileStatus::NotChecked: break;
    }
    return QStringLiteral("not checked");
}

QList<CheckedFile> evidenceFiles(Connection& db, const QString& programFolder) {
    QList<CheckedFile> out;
    QSet<QString> known;
    for (const FileHash& h : recordedFiles(db)) {
        CheckedFile f;
        f.path = h.path;
        f.size = h.size;
        f.sha256 = h.sha256;
        f.attached = h.attached;
        out << f;
        known.insert(h.path);
    }
    QList<QString> found;
    collect(programFolder, files::locations, true, found);
    collect(programFolder, files::investigators, true, found);
    collect(programFolder, files::investigations, false, found);
    std::sort(found.begin(), found.end());
    for (const QString& path : found) {
        if (known.contains(path))
            continue;
        CheckedFile f;
        f.path = path;
        f.status = FileStatus::Unrecorded;
        out << f;
    }
    return out;
}

std::optional<FileDigest> hashFile(const QString& path, QString* error, const std::atomic<bool>* cancel,
                                   const std::function<void(qint64)>& read) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = in.errorString();
        return std::nullopt;
    }
    Sha256 hash;
    QByteArray chunk(kChunk, Qt::Uninitialized);
    FileDigest d;
    for (;;) {
        if (cancelled(cancel))
            return std::nullopt;
        const qint64 n = in.read(chunk.data(), chunk.size());
        if (n < 0) {
            if (error)
                *error = in.errorString();
            return std::nullopt;
        }
        if (n == 0)
            break;
        hash.addData(chunk.constData(), n);
        d.size += n;
        if (read)
            read(n);
    }
    d.sha256 = hash.result();
    return d;
}

bool verifyFiles(QList<CheckedFile>& files, const QString& programFolder, const VerifyOptions& options) {
    VerifyProgress progress;
    progress.filesTotal = int(files.size());
    std::vector<QString> paths;
    paths.reserve(files.size());
    for (const CheckedFile& f : files) {
        paths.push_back(evidenceFilePath(programFolder, f.path));
        const QFileInfo info(paths.back());
        if (info.isFile())
            progress.bytesTotal += info.size();
    }
    std::mutex lock;
    std::atomic<int> next{0};
    auto report = [&](qint64 bytes, int filesDone) {
        if (!options.progress)
            return;
        std::lock_guard<std::mutex> guard(lock);
        progress.bytesDone += bytes;
        progress.filesDone += filesDone;
        options.progress(progress);
    };
    auto work = [&] {
        for (int i = next++; i < files.size() && !cancelled(options.cancel); i = next++) {
            CheckedFile& f = files[i];
            if (paths[i].isEmpty()) {
                f.status = FileStatus::Changed;
                f.problem = QStringLiteral("its stored path leads outside the program folder");
                report(0, 1);
                continue;
            }
            const QFileInfo info(paths[i]);
            if (!info.exists() && !info.isSymLink()) {
                if (f.status != FileStatus::Unrecorded)
                    f.status = FileStatus::Missing;
                report(0, 1);
                continue;
            }
            qint64 pending = 0;
            QString error = QStringLiteral("it is not a plain file");
            // A pipe or device in a file's place would block the reading or never end.
            const auto digest = !info.isFile() ? std::nullopt : hashFile(paths[i], &error, options.cancel, [&](qint64 n) {
                pending += n;
                if (pending >= kProgressEvery) {
                    report(pending, 0);
                    pending = 0;
                }
            });
            if (!digest && cancelled(options.cancel))
                return;
            f.foundModified = isoUtc(info.lastModified());
            if (digest) {
                f.foundSize = digest->size;
                f.foundSha256 = QString::fromLatin1(digest->sha256.toHex());
            } else {
                f.problem = error;
            }
            if (f.status != FileStatus::Unrecorded)
                f.status = digest && f.foundSize == f.size && f.foundSha256 == f.sha256 ? FileStatus::Ok
                                                                                        : FileStatus::Changed;
            report(pending, 1);
        }
    };
    int threads = options.threads > 0 ? options.threads : int(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
    threads = std::min<int>(threads, std::max<qsizetype>(1, files.size()));
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread& t : pool)
        t.join();
    return !cancelled(options.cancel);
}

int recordHashes(Connection& db, QList<CheckedFile>& files) {
    const QString now = isoUtc(QDateTime::currentDateTimeUtc());
    QList<CheckedFile*> todo;
    for (CheckedFile& f : files)
        if (f.status == FileStatus::Unrecorded && !f.foundSha256.isEmpty())
            todo << &f;
    if (todo.isEmpty())
        return 0;
    // All or nothing, so a failure leaves no half-recorded list behind.
    Stmt(db, QStringLiteral("BEGIN IMMEDIATE")).step();
    try {
        for (const CheckedFile* f : todo)
            recordFileHash(db, {f->path, f->foundSize, f->foundSha256, now,
                                f->path.section(QLatin1Char('\\'), -1), f->foundModified});
        Stmt(db, QStringLiteral("COMMIT")).step();
    } catch (...) {
        sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    for (CheckedFile* f : todo) {
        f->size = f->foundSize;
        f->sha256 = f->foundSha256;
        f->attached = now;
        f->status = FileStatus::Ok;
    }
    return int(todo.size());
}

QByteArray manifestCsv(const QList<CheckedFile>& files) {
    QString out = QStringLiteral("path,size,sha256,attached,status\r\n");
    for (const CheckedFile& f : files) {
        const bool recorded = f.size >= 0;
        const qint64 size = recorded ? f.size : f.foundSize;
        out += QStringList{csvField(f.path), size >= 0 ? QString::number(size) : QString(),
                           recorded ? f.sha256 : f.foundSha256, csvField(f.attached), statusName(f.status)}
                   .join(QLatin1Char(','));
        out += QLatin1String("\r\n");
    }
    return out.toUtf8();
}

bool writeManifest(const QString& path, const QList<CheckedFile>& files, QString* error) {
    const QByteArray csv = manifestCsv(files);
    return writeFileAtomically(
        path, [&csv](QIODevice& out) { return out.write(csv) == csv.size(); }, error);
}

} // namespace veil
