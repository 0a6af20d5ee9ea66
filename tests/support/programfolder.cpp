#include "programfolder.h"

#include "filebytes.h"
#include "store/casedb.h"
#include "store/databasefiles.h"
#include "store/filehash.h"
#include "store/fileroutines.h"
#include "store/paths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <sqlite3.h>

namespace veil::test {

QString builtProgramFolder() { return QStringLiteral(VEIL_BUILT_PROGRAM_DIR); }
QString sharedTestData() { return QStringLiteral(VEIL_SHARED_TESTDATA); }

ProgramFolder::ProgramFolder() : m_path(m_dir.path()) {
    const QDir built(builtProgramFolder());
    QFile::copy(built.filePath(QStringLiteral("Clean_DB")), m_dir.filePath(QStringLiteral("Clean_DB")));
    QFile::copy(built.filePath(QStringLiteral("Clean_DB")), m_dir.filePath(QStringLiteral("Veilcase.mdb")));
    for (const char* f : {"location.jpg", "no_images.jpg", "No_Records.jpg", "investigator.jpg", "new_image.jpg"})
        QFile::copy(built.filePath(QLatin1String(f)), m_dir.filePath(QLatin1String(f)));
    QDir here(m_path);
    for (const char* d : {"locations", "investigators", "Investigations", "help"})
        here.mkpath(QLatin1String(d));
    QFile::copy(built.filePath(QStringLiteral("help/index.htm")), m_dir.filePath(QStringLiteral("help/index.htm")));
    for (const QString& f : QDir(m_path).entryList(QDir::Files))
        QFile(m_dir.filePath(f)).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

QString ProgramFolder::file(const QString& relative) const { return programPath(m_path, relative); }

QString ProgramFolder::databasePath() const { return file(QStringLiteral("Veilcase.mdb")); }

QStringList locationsIn(const QString& databasePath) {
    return Connection::openFile(databasePath)->column(tables::location, QStringLiteral("LocationName"));
}

QString runSql(const QString& path, const QString& sql) {
    sqlite3* db = nullptr;
    QString why;
    char* err = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK ||
        sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK)
        why = QString::fromUtf8(err ? err : sqlite3_errmsg(db));
    sqlite3_free(err);
    sqlite3_close(db);
    return why;
}

QString restoreDatabase(const QString& from, const QString& live) {
    ScratchFile ready(live);
    if (const QString problem = snapshotDatabase(from, ready.path()); !problem.isEmpty())
        return problem;
    return swapInDatabase(ready, live);
}

bool writePicture(const QString& path, const char* format, int width, int height, QRgb colour) {
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(colour);
    for (int y = 0; y < height; ++y)
        img.setPixel(y % width, y, 0xffffffff); // a diagonal, so the picture is not flat
    QDir().mkpath(QFileInfo(path).absolutePath());
    return img.save(path, format);
}

bool attachBytes(const QString& programFolder, const QString& stored, const QByteArray& bytes) {
    static QTemporaryDir outside;
    const QString source = outside.filePath(QStringLiteral("IMG_0042.JPG"));
    return writeFileBytes(source, bytes) &&
           attachFile(programFolder, source, evidenceFilePath(programFolder, stored), stored);
}

} // namespace veil::test
