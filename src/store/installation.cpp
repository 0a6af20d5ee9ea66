#include "store/installation.h"

#include "store/fileroutines.h"
#include "store/paths.h"
#include "store/version.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStandardPaths>

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

    auto copyIfMissing = [&](const QString& from, const QString& to) {
        if (QFileInfo::exists(to) || QFileInfo(to).isSymLink()) return;
        QString error;
        if (!QDir().mkpath(QFileInfo(to).absolutePath()) || !copyFileAtomically(from, to, &error))
            failed << QStringLiteral("%1 (%2)").arg(to, error);
    };

    QDirIterator it(dataFolder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    const QDir source(dataFolder);
    while (it.hasNext()) {
        const QString from = it.next();
        copyIfMissing(from, target.filePath(source.relativeFilePath(from)));
    }
    copyIfMissing(programPath(dataFolder, files::cleanDb),
                  programPath(programFolder, files::database));
    for (const QString& folder : {files::locations, files::investigators, files::investigations})
        if (!QDir().mkpath(programPath(programFolder, folder)))
            failed << programPath(programFolder, folder);

    if (failed.isEmpty()) return {};
    return QStringLiteral(
               "The folder \"%1\" could not be filled with the program's data; missing: %2")
        .arg(programFolder, failed.join(QStringLiteral(", ")));
}

QString programFolderLocation(const QString& executableFolder) {
    if (QFileInfo::exists(programPath(executableFolder, files::database))) return executableFolder;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString chooseProgramFolder(const QString& executableFolder, QString* problem) {
    const QString home = programFolderLocation(executableFolder);
    if (home == executableFolder) return home;
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

} // namespace veil
