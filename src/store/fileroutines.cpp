#include "store/fileroutines.h"

#include "store/sha256.h"
#include "store/ui.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veil {

QString GetField(const QString& text, const QString& delimiter, int first, int last) {
    if (text.isEmpty() || delimiter.isEmpty())
        return {};
    if (first < 1)
        first = 1;
    if (last < first)
        last = first;

    const qsizetype step = delimiter.size();
    qsizetype at = text.indexOf(delimiter); // occurrence number 1
    if (at < 0)
        return text;
    if (first == 1 && last == 1)
        return text.left(at);

    // Occurrence number first - 1 ends the field before ours.
    int found = 1;
    qsizetype start = 0;
    if (first > 1) {
        while (found < first - 1) {
            at = text.indexOf(delimiter, at + step);
            if (at < 0)
                return {};
            ++found;
        }
        start = at + step;
    }

    qsizetype end = -1;
    if (first != last) {
        while (found < last) {
            at = text.indexOf(delimiter, at + step);
            if (at < 0)
                break;
            ++found;
        }
        end = at < 0 ? text.size() : at;
    } else {
        end = text.indexOf(delimiter, start);
        if (end < 0)
            end = text.size();
    }
    return text.mid(start, end - start);
}

QString GetExtension(const QString& path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return {};
    qsizetype from = dot + 1;
    qsizetype to = path.size();
    while (from < to && path.at(from) == QLatin1Char(' '))
        ++from;
    while (to > from && path.at(to - 1) == QLatin1Char(' '))
        --to;
    return path.mid(from, to - from);
}

namespace {

QString refused(const QString& key, const QString& why) {
    return QStringLiteral("The name \"%1\" cannot be used as a file name: %2 Please choose another name.")
        .arg(QString(key).replace(QChar(0), QChar(0xfffd)), why);
}

QString keyProblem(const QString& key, KeyUse use) {
    if (key.trimmed().isEmpty())
        return refused(key, QStringLiteral("it is blank."));
    if (key.contains(QLatin1Char('/')))
        return refused(key, QStringLiteral("it holds \"/\", which separates folders."));
    if (key.contains(QChar(0)))
        return refused(key, QStringLiteral("it holds a NUL character."));
    if (use == KeyUse::StoredPathPart && key.contains(QLatin1Char('\\')))
        return refused(key, QStringLiteral("it holds \"\\\", which separates folders in stored paths."));
    if (key == QLatin1String(".") || key == QLatin1String(".."))
        return refused(key, QStringLiteral("\".\" and \"..\" name folders."));
    return {};
}

QString lengthProblem(const QString& key, const QString& name) {
    const qsizetype bytes = QFile::encodeName(name).size();
    if (bytes <= NAME_MAX)
        return {};
    return refused(key, QStringLiteral("it is too long (the file name would take %1 bytes; at most %2 fit).")
                            .arg(bytes)
                            .arg(NAME_MAX));
}

QString errnoText(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

bool sameFile(const QString& a, const QString& b) {
    struct stat sa {}, sb {};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

void syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // makes the rename itself durable; not every file system supports it
        ::close(fd);
    }
}

// mkostemp's six letters follow the prefix.
constexpr char kScratchPrefix[] = ".veilcase-";

QByteArray scratchTemplate(const QString& folder) {
    return QFile::encodeName(folder + QLatin1Char('/') + QLatin1String(kScratchPrefix) +
                             QLatin1String("XXXXXX"));
}

bool renameAndSync(const QByteArray& from, const QByteArray& to, const QString& folder, QString* error) {
    if (::rename(from.constData(), to.constData()) != 0) {
        if (error)
            *error = errnoText(errno);
        return false;
    }
    syncFolder(folder);
    return true;
}

} // namespace

ScratchFile::ScratchFile(const QString& destination) {
    QByteArray name = scratchTemplate(QFileInfo(destination).absolutePath());
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        m_error = errnoText(errno);
        return;
    }
    ::close(fd);
    m_path = QFile::decodeName(name);
}

ScratchFile::~ScratchFile() {
    if (m_path.isEmpty())
        return;
    for (const char* side : {"", "-journal", "-wal", "-shm"})
        ::unlink(QFile::encodeName(m_path + QLatin1String(side)).constData());
}

bool ScratchFile::moveTo(const QString& destination, QString* error) {
    const QByteArray from = QFile::encodeName(m_path);
    const int fd = ::open(from.constData(), O_RDONLY | O_CLOEXEC);
    // What it replaces keeps its permissions, as with writeFileAtomically.
    struct stat old {};
    if (fd >= 0 && ::stat(QFile::encodeName(destination).constData(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(fd, old.st_mode & 07777);
    if (fd < 0 || ::fsync(fd) != 0) {
        if (error)
            *error = errnoText(errno);
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    ::close(fd);
    const QFileInfo to(destination);
    if (!renameAndSync(from, QFile::encodeName(to.absoluteFilePath()), to.absolutePath(), error))
        return false;
    m_path.clear();
    return true;
}

void removeStaleScratchFiles(const QString& programFolder) {
    static const QRegularExpression ours(QStringLiteral("^\\.veilcase-[A-Za-z0-9]{6}(-journal|-wal|-shm)?$"));
    QDirIterator it(programFolder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo f(it.next());
        if (!f.isSymLink() && ours.match(f.fileName()).hasMatch())
            QFile::remove(f.filePath());
    }
}

QString fileNameProblem(const QString& key) {
    QString problem = keyProblem(key, KeyUse::FileName);
    return problem.isEmpty() ? lengthProblem(key, key) : problem;
}

QString fileNameProblem(const QString& key, const QString& extension, KeyUse use) {
    QString problem = keyProblem(key, use);
    if (!problem.isEmpty())
        return problem;
    if (extension.contains(QLatin1Char('/')) || extension.contains(QChar(0)) ||
        (use == KeyUse::StoredPathPart && extension.contains(QLatin1Char('\\'))))
        return QStringLiteral("The picture's file has no usable extension (\"%1\" holds a folder separator), "
                              "so it cannot be stored under the name \"%2\". Please rename the file.")
            .arg(QString(extension).replace(QChar(0), QChar(0xfffd)), key);
    return lengthProblem(key, key + QLatin1Char('.') + extension);
}

bool writeFileAtomically(const QString& destination, const std::function<bool(QIODevice&)>& write,
                         QString* error) {
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const QFileInfo info(destination);
    const QString folder = info.absolutePath();
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    struct stat old {};
    const bool replacing = ::stat(target.constData(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode))
        return fail(QStringLiteral("a folder of that name is in the way."));

    // A short fixed name, so even a destination of the longest allowed name fits.
    QByteArray temp = scratchTemplate(folder);
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(QStringLiteral("cannot write in the folder %1 (%2).").arg(folder, errnoText(errno)));
    auto abandon = [&](const QString& why) {
        ::close(fd);
        ::unlink(temp.constData());
        return fail(why);
    };

    mode_t mode = 0;
    if (replacing) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);

    {
        QFile out;
        if (!out.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
            return abandon(out.errorString());
        if (!write(out))
            return abandon(out.error() != QFileDevice::NoError ? out.errorString()
                                                                : QStringLiteral("the data could not be read."));
        if (!out.flush() || out.error() != QFileDevice::NoError)
            return abandon(out.errorString());
    }
    if (::fsync(fd) != 0)
        return abandon(errnoText(errno));
    if (::close(fd) != 0) {
        const int code = errno;
        ::unlink(temp.constData());
        return fail(errnoText(code));
    }
    if (!renameAndSync(temp, target, folder, error)) {
        ::unlink(temp.constData());
        return false;
    }
    return true;
}

bool copyFileAtomically(const QString& source, const QString& destination, QString* error, FileDigest* copied) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = in.errorString();
        return false;
    }
    if (sameFile(source, destination))
        return true;
    Sha256 hash;
    qint64 size = 0;
    const bool ok = writeFileAtomically(
        destination,
        [&](QIODevice& out) {
            QByteArray chunk(1 << 20, Qt::Uninitialized);
            for (;;) {
                const qint64 n = in.read(chunk.data(), chunk.size());
                if (n < 0)
                    return false;
                if (n == 0)
                    return in.atEnd() || in.isSequential();
                if (out.write(chunk.constData(), n) != n)
                    return false;
                hash.addData(chunk.constData(), n);
                size += n;
            }
        },
        error);
    if (ok && copied)
        *copied = {size, hash.result()};
    return ok;
}

void CopyFile(const QString& source, const QString& destination, FileDigest* copied) {
    auto fail = [&](const QString& why) {
        message(QStringLiteral("Cannot copy \"%1\" to \"%2\": %3").arg(source, destination, why));
    };
    const QFileInfo from(source);
    if (source.isEmpty() || !from.exists())
        return fail(QStringLiteral("the file does not exist."));
    if (from.isDir())
        return fail(QStringLiteral("it is a folder, not a file."));
    if (destination.isEmpty())
        return fail(QStringLiteral("no destination was given."));

    const QFileInfo to(destination);
    if (to.exists()) {
        if (to.isDir())
            return fail(QStringLiteral("a folder of that name is in the way."));
        if (sameFile(source, destination))
            return; // already there
        if (!Ui::get().confirmReplace(destination))
            return;
    }
    if (!QDir().mkpath(to.absolutePath()))
        return fail(QStringLiteral("the folder %1 cannot be created.").arg(to.absolutePath()));
    QString error;
    if (!copyFileAtomically(source, destination, &error, copied))
        fail(error);
}

} // namespace veil
