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
