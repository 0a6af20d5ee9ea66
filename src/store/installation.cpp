#include "store/installation.h"

#include "store/fileroutines.h"
#include "store/paths.h"
#include "store/version.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QVersionNumber>

namespace veil {

void nameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Veilcase"));
    QCoreApplication::setOrganizationName(QStringLiteral("Veilcase"));
    QCoreApplication::setApplicationVersion(kVersion);
}

namespace {
bool holdsData(const QString& folder) {
    return !folder.isEmpty() && QFileInfo(programPath(folder, files::cleanDb)).isFile();
}

// Names the version whose data last filled the program folder.
const QString kSeedMark = QStringLiteral(".seeded-version");

QVersionNumber seededVersion(const QString& programFolder) {
    QFile mark(QDir(programFolder).filePath(kSeedMark));
    if (!mark.open(QIODevice::ReadOnly)) return {};
    return QVersionNumber::fromString(QString::fromUtf8(mark.read(64)).trimmed());
}

// The case database, the picture folders and the backups are the user's:
// seeding never writes there, whatever the installed data holds.
bool belongsToTheUser(const QString& relativePath) {
    const QString top = relativePath.section(QLatin1Char('/'), 0, 0);
    for (const QString& name : {files::database, files::locations, files::investigators,
                                files::investigations, files::backup})
        if (top.compare(name.section(QLatin1Char('\\'), 1, 1), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}
} // namespace

QString installedDataFolder(const QString& executableFolder) {
    // Beside the executable's prefix first, so a program installed under any
    // prefix takes its own data, not another installation's.
    const QString beside =
        QDir(executableFolder).absoluteFilePath(QStringLiteral("../share/veilcase"));
    if (holdsData(beside)) return QDir::cleanPath(beside);
    const QStringList found =
        QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("veilcase"),
                                  QStandardPaths::LocateDirectory);
    for (const QString& f : found)
        if (holdsData(f)) return f;
    return {};
}

QString seedProgramFolder(const QString& dataFolder, const QString& programFolder) {
    QStringList failed;
    const QDir target(programFolder);
    if (!QDir().mkpath(programFolder))
        return QStringLiteral("The folder \"%1\" for the case files cannot be made.")
            .arg(programFolder);

    // A folder filled by an older version, or before versions were marked,
    // takes this version's guide, Clean_DB and placeholders in place of its own.
    const QVersionNumber installed = QVersionNumber::fromString(kVersion);
    const QVersionNumber seeded = seededVersion(programFolder);
    const bool refresh = seeded.isNull() || installed.normalized() > seeded.normalized();

    auto copy = [&](const QString& from, const QString& to, bool replace) {
        if (QFileInfo(to).isSymLink() || (!replace && QFileInfo::exists(to))) return;
        QString error;
        if (!QDir().mkpath(QFileInfo(to).absolutePath()) || !copyFileAtomically(from, to, &error))
            failed << QStringLiteral("%1 (%2)").arg(to, error);
    };

    QDirIterator it(dataFolder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    const QDir source(dataFolder);
    while (it.hasNext()) {
        const QString relative = source.relativeFilePath(it.next());
        if (!belongsToTheUser(relative))
            copy(source.filePath(relative), target.filePath(relative), refresh);
    }
    copy(programPath(dataFolder, files::cleanDb), programPath(programFolder, files::database),
         false);
    for (const QString& folder : {files::locations, files::investigators, files::investigations})
        if (!QDir().mkpath(programPath(programFolder, folder)))
            failed << programPath(programFolder, folder);

    // Marked only once everything is in place, so that a failed refresh is tried again.
    QString error;
    if (failed.isEmpty() && refresh &&
        !writeFileAtomically(
            target.filePath(kSeedMark),
            [](QIODevice& out) { return out.write(kVersion.toUtf8() + '\n') > 0; }, &error))
        failed << QStringLiteral("%1 (%2)").arg(target.filePath(kSeedMark), error);

    if (failed.isEmpty()) return {};
    return QStringLiteral(
               "The folder \"%1\" could not be filled with the program's data; missing: %2")
        .arg(programFolder, failed.join(QStringLiteral(", ")));
}

namespace {
// A folder that holds the program's data besides its database: the clean
// copy, or the image and backup folders.
bool holdsProgramData(const QString& folder) {
    if (holdsData(folder)) return true;
    for (const QString& f : {files::locations, files::investigators, files::investigations, files::backup})
        if (QFileInfo::exists(programPath(folder, f))) return true;
    return false;
}
} // namespace

QString programFolderLocation(const QString& executableFolder) {
    if (QFileInfo::exists(programPath(executableFolder, files::database)) ||
        holdsProgramData(executableFolder))
        return executableFolder;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString chooseProgramFolder(const QString& executableFolder, QString* problem) {
    const QString home = programFolderLocation(executableFolder);
    if (home == executableFolder) {
        // A program folder that lost its database keeps its place: the case
        // file of another folder is not this one's.
        const QString database = programPath(home, files::database);
        if (problem)
            *problem = QFileInfo::exists(database)
                           ? QString()
                           : QStringLiteral("The case database \"%1\" is missing from the program "
                                            "folder \"%2\". Put it back (a copy of the backup \"%3\" "
                                            "or of the empty \"%4\" will do) and start Veilcase again.")
                                 .arg(database, home, programPath(home, files::backup),
                                      programPath(home, files::cleanDb));
        return home;
    }
    const QString data = installedDataFolder(executableFolder);
    QString why;
    if (data.isEmpty()) {
        if (!QFileInfo::exists(programPath(home, files::database)))
            why =
                QStringLiteral("The program's data (the clean case database, the pictures and the "
                               "guide) is not installed, so the folder \"%1\" cannot be prepared.")
                    .arg(home);
    } else {
        why = seedProgramFolder(data, home);
    }
    if (problem) *problem = why;
    return home;
}

std::unique_ptr<QLockFile> lockProgramFolder(const QString& programFolder, QString* problem) {
    auto lock = std::make_unique<QLockFile>(programPath(programFolder, files::database) +
                                            QLatin1String(".lock"));
    // Held for as long as the program runs; a lock left by a copy that died
    // (its process is gone) is taken over at once.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) return lock;
    if (lock->error() != QLockFile::LockFailedError) return lock; // a folder we cannot write in: nothing to guard
    qint64 pid = 0;
    QString host, app;
    lock->getLockInfo(&pid, &host, &app);
    if (problem)
        *problem = QStringLiteral("The case file \"%1\" is open in another Veilcase (process %2). Only one "
                                  "Veilcase at a time can use it, so this one ends now.")
                       .arg(programPath(programFolder, files::database))
                       .arg(pid);
    return nullptr;
}

} // namespace veil
