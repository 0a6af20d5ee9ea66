#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace veil::test {

// The whole content of a file; empty when it cannot be read.
inline QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes a whole file, making its folder first; false when that fails.
inline bool writeFileBytes(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

// Our scratch files in a folder (".veilcase-" and six letters, perhaps with an engine side file).
inline QStringList scratchFiles(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral(".veilcase-*")}, QDir::AllEntries | QDir::Hidden);
}

} // namespace veil::test
