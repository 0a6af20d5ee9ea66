#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace veil {

// The name, maker and version every part of the program goes by; they also
// name the per-user data folder, so the program and its tools must agree.
void nameApplication();

// Where the program keeps its data (the "program folder").
//  - When the executable's folder holds Veilcase.mdb or other data of the
//    program (Clean_DB, the image or backup folders: the build folder, a
//    portable copy), that folder is the program folder, as it always was; when
//    it lost its database, `problem` says which file is missing and where.
//  - Otherwise (installed from a package) it is the user's own data folder,
//    QStandardPaths::AppDataLocation, filled from the installed data on the
//    first start and topped up later (see seedProgramFolder: the user's own
//    files are never overwritten).
// Call after the application object exists (the data folder is named after it).
// `problem` receives a text for the user when the folder could not be filled.
QString chooseProgramFolder(const QString& executableFolder, QString* problem = nullptr);

// The installed program data (Clean_DB, placeholders, help/) for an
// executable in `executableFolder`: <prefix>/share/veilcase, or the first
// veilcase folder in the system's data folders. Empty when there is none.
QString installedDataFolder(const QString& executableFolder);

// Copies every file under `dataFolder` that `programFolder` lacks, makes
// Veilcase.mdb from Clean_DB when there is none, and makes the empty image
// folders. When the folder was filled by an older version than this one (its
// mark, .seeded-version, names it; no mark counts as older), the files that
// came from `dataFolder` (the guide, Clean_DB, the placeholders) are replaced
// by the installed ones and the mark names this version. Veilcase.mdb, the
// picture folders and backup/ are never written. Returns empty text on
// success, otherwise what could not be made.
QString seedProgramFolder(const QString& dataFolder, const QString& programFolder);

// The folder chooseProgramFolder would use, without making or filling
// anything (for tools that must not change what they only look at).
QString programFolderLocation(const QString& executableFolder);

// The lock that keeps a second running copy off the program folder: a lock
// file beside the case database, held while the returned object lives. Null,
// with `problem` set, when another running Veilcase holds it; a lock left by
// one that died is taken over. Where no lock file can be made (a read-only
// folder) the program runs without one.
std::unique_ptr<QLockFile> lockProgramFolder(const QString& programFolder, QString* problem);

} // namespace veil
