#include "store/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <sys/stat.h>

namespace veil {

QString programPath(const QString& programFolder, const QString& relative) {
    QString rel = relative;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (rel.startsWith(QLatin1Char('/')))
        rel.remove(0, 1);
    QString base = programFolder;
    if (base.endsWith(QLatin1Char('/')) && base.size() > 1)
        base.chop(1);
    return rel.isEmpty() ? base : base + QLatin1Char('/') + rel;
}

QString programFile(const QString& programFolder, const QString& relativeFolder,
                    const QString& fileName) {
    QString dir = programPath(programFolder, relativeFolder);
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir + fileName;
}

namespace {
// Follows `relative` down from `base`, taking for each part the entry that
// matches it exactly or else without regard to case; empty when a part has no match.
QString matchIgnoringCase(const QString& base, const QString& relative) {
    QString current = base;
    for (const QString& part : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            return {}; // a stored path stays inside the program folder
        const QString exact = current + QLatin1Char('/') + part;
        if (QFileInfo::exists(exact)) {
            current = exact;
            continue;
        }
        const QStringList entries = QDir(current).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        const auto it = std::find_if(entries.begin(), entries.end(), [&](const QString& e) {
            return e.compare(part, Qt::CaseInsensitive) == 0;
        });
        if (it == entries.end())
            return {};
        current += QLatin1Char('/') + *it;
    }
    return current;
}


// True when `path` names a regular file (links followed) that lies, links
// followed too, inside `folder`.
bool regularFileInside(const QString& path, const QString& folder) {
    const QString real = QFileInfo(path).canonicalFilePath();
    const QString within = QFileInfo(folder).canonicalFilePath();
    struct stat st {};
    return !real.isEmpty() && !within.isEmpty() && real.startsWith(within + QLatin1Char('/')) &&
           ::stat(QFile::encodeName(real).constData(), &st) == 0 && S_ISREG(st.st_mode);
}
} // namespace

QString storedPicturePath(const QString& programFolder, const QString& relativeFolder,
                          const QString& stored) {
    if (stored.isEmpty())
        return {};
    // The image folder itself may have another letter case on disk.
    const QString base = programPath(programFolder, QString());
    QString folderPart = relativeFolder;
    folderPart.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString imageFolder = matchIgnoringCase(base, folderPart);
    if (imageFolder.isEmpty())
        return {};
    if (!stored.contains(QLatin1Char('/')) && stored != QLatin1String(".") && stored != QLatin1String("..")) {
        const QString exact = programFile(programFolder, relativeFolder, stored);
        if (regularFileInside(exact, imageFolder))
            return exact;
    }
    QString relative = stored.startsWith(QLatin1Char('\\')) ? stored : relativeFolder + stored;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString found = matchIgnoringCase(base, relative);
    return !found.isEmpty() && regularFileInside(found, imageFolder) ? found : QString();
}

} // namespace veil
