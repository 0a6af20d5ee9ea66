#pragma once

#include <QRgb>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace veil::test {

// A throw-away program folder laid out like the real one: the clean database
// as Veilcase.mdb and as Clean_DB, the placeholder pictures, help/ and the
// empty image folders.
class ProgramFolder {
public:
    ProgramFolder();
    const QString& path() const { return m_path; }
    QString file(const QString& relative) const; // relative with '/' or '\'
    QString databasePath() const;

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// Attaches a file holding `bytes` under a stored path as the windows do
// (copied in from outside, hashed and recorded); false when it was not.
bool attachBytes(const QString& programFolder, const QString& stored, const QByteArray& bytes);

// The built program folder (with Clean_DB and the placeholders).
QString builtProgramFolder();
// ../shared/testdata beside the source tree.
QString sharedTestData();

// The LocationName of every location in the case database file, in stored order.
QStringList locationsIn(const QString& databasePath);

// Runs SQL on a database file through a plain engine handle, as another tool
// would; empty when it worked, otherwise the engine's message.
QString runSql(const QString& path, const QString& sql);

// Puts a checked copy of the database `from` in place of `live`, as Restore
// does; empty when done, otherwise why not.
QString restoreDatabase(const QString& from, const QString& live);

// Writes a small picture file of the given format ("JPG", "PNG", "BMP", "GIF").
bool writePicture(const QString& path, const char* format = "JPG", int width = 32, int height = 24,
                  QRgb colour = 0xff336699);

} // namespace veil::test
