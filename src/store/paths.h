#pragma once

#include <QString>

namespace veil {

// Paths inside the program folder are written and stored the old way, as a
// relative path beginning with a backslash ("\locations\Old Mill.jpg"). These
// turn them into real paths at the edge; nothing else should split on '\'.
QString programPath(const QString& programFolder, const QString& relative);

// Like programPath, but only the folder part is converted: `fileName` is taken
// as one file name even if it holds a backslash.
QString programFile(const QString& programFolder, const QString& relativeFolder,
                    const QString& fileName);

// The file that a stored picture name names, for reading it: a regular file
// inside the image folder `relativeFolder`, or empty text when there is none.
// The name is first taken as one file name inside the folder, exactly as
// stored. Otherwise a name holding backslashes is taken as a stored path
// ("\Locations\Old Mill.jpg", relative to the program folder when it begins
// with a backslash), and folders and file are matched without regard to
// letter case, as the older Windows version found them. Whatever the route, a
// name with ".." or a link that leads out of the folder names nothing. Never
// used for writing, where the exact name counts.
QString storedPicturePath(const QString& programFolder, const QString& relativeFolder,
                          const QString& stored);

// The names of the files and folders in the program folder.
namespace files {
inline const QString database = QStringLiteral("\\Veilcase.mdb");
inline const QString cleanDb = QStringLiteral("\\Clean_DB");
inline const QString backup = QStringLiteral("\\backup\\db_back");
inline const QString locations = QStringLiteral("\\locations\\");
inline const QString investigators = QStringLiteral("\\investigators\\");
inline const QString investigations = QStringLiteral("\\Investigations\\");
inline const QString help = QStringLiteral("\\help\\index.htm");
inline const QString locationPlaceholder = QStringLiteral("\\location.jpg");
inline const QString noImages = QStringLiteral("\\no_images.jpg");
inline const QString noRecords = QStringLiteral("\\No_Records.jpg");
inline const QString investigatorPlaceholder = QStringLiteral("\\investigator.jpg");
inline const QString newImage = QStringLiteral("\\new_image.jpg");
} // namespace files

} // namespace veil
