#include "paths.h"

#include <QDir>

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

} // namespace veil
