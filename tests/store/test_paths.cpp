#include "store/paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "filebytes.h"

#include <sys/stat.h>

using namespace veil;
using veil::test::writeFileBytes;

class PathsTest : public QObject {
    Q_OBJECT
private slots:
    void storedPathsBecomeRealOnes() {
        QCOMPARE(programPath("/p", "\\Veilcase.mdb"), QStringLiteral("/p/Veilcase.mdb"));
        QCOMPARE(programPath("/p/", "\\Investigations\\17\\Cellar door.JPG"),
                 QStringLiteral("/p/Investigations/17/Cellar door.JPG"));
        // A key is one file name even when it holds a backslash.
        QCOMPARE(programFile("/p", "\\locations\\", "AC\\DC.jpg"), QStringLiteral("/p/locations/AC\\DC.jpg"));
    }

    // A stored name resolves to a regular file inside its image folder, by the
    // exact name or in any letter case, or to nothing at all (the caller's
    // placeholder or "not found"): never to a file elsewhere.
    void storedPicturesStayInTheirFolder_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("found"); // below the program folder; empty: nothing
        const QString loc = files::locations, inv = files::investigations;
        QTest::newRow("exact") << loc << "Old Mill.jpg" << "locations/Old Mill.jpg";
        QTest::newRow("backslash in a name") << loc << "AC\\DC.jpg" << "locations/AC\\DC.jpg";
        QTest::newRow("letter case") << loc << "old mill.JPG" << "locations/Old Mill.jpg";
        QTest::newRow("older stored path") << loc << "\\Locations\\Old Mill.jpg" << "locations/Old Mill.jpg";
        QTest::newRow("picture path") << inv << "\\Investigations\\17\\Cellar door.JPG"
                                      << "investigations/17/Cellar door.jpg";
        QTest::newRow("inner link") << loc << "Same.jpg" << "locations/Same.jpg";
        // Each names a file outside the folder, a link leading out, a folder, a pipe or nothing at all.
        for (const char* stored :
             {"/../../img/b.png", "../../../../etc/passwd", "..\\..\\img\\b.png", "\\locations\\..\\secret.jpg",
              "\\LOCATIONS\\..\\SECRET.JPG", "\\secret.jpg", "/etc/passwd", "..", ".", "", "Gone.jpg", "Out.jpg",
              "\\Locations\\OUT.JPG", "\\locations\\etc\\passwd", "\\Locations\\Etc\\Passwd", "Sub", "Pipe",
              "\\Investigations\\17\\Cellar door.jpg"})
            QTest::addRow("hostile %s", stored) << loc << QString::fromUtf8(stored) << QString();
        for (const char* stored : {"\\Veilcase.mdb", "\\Investigations\\17\\..\\..\\secret.jpg",
                                   "\\\\server\\share\\b.png", "\\investigations\\17\\..\\17\\cellar door.jpg"})
            QTest::addRow("hostile %s", stored) << inv << QString::fromUtf8(stored) << QString();
    }
    void storedPicturesStayInTheirFolder() {
        QFETCH(QString, folder);
        QFETCH(QString, stored);
        QFETCH(QString, found);
        QTemporaryDir root;
        const QString p = root.filePath("program");
        for (const char* f : {"program/locations/Old Mill.jpg", "program/locations/AC\\DC.jpg",
                              "program/investigations/17/Cellar door.jpg", "program/secret.jpg", "img/b.png"})
            QVERIFY(writeFileBytes(root.filePath(QLatin1String(f)), "picture"));
        QDir(p).mkpath("locations/Sub");
        QVERIFY(QFile::link(p + "/secret.jpg", p + "/locations/Out.jpg"));
        QVERIFY(QFile::link(p + "/locations/Old Mill.jpg", p + "/locations/Same.jpg"));
        QVERIFY(QFile::link("/etc", p + "/locations/etc"));
        QCOMPARE(::mkfifo(QFile::encodeName(p + "/locations/Pipe").constData(), 0600), 0);
        QCOMPARE(storedPicturePath(p, folder, stored), found.isEmpty() ? QString() : p + '/' + found);
    }
};

QTEST_GUILESS_MAIN(PathsTest)
#include "test_paths.moc"
