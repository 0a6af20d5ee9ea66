#include "store/paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace veil;

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

    void picturesOfTheOlderVersionAreFound() {
        QTemporaryDir dir;
        const QString p = dir.path();
        QDir(p).mkpath("locations");
        QDir(p).mkpath("investigations/17");
        for (const char* f : {"locations/Old Mill.jpg", "locations/AC\\DC.jpg", "investigations/17/Cellar door.jpg",
                              "secret.jpg"}) {
            QFile file(p + '/' + QLatin1String(f));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        // Exact names first, as stored.
        QCOMPARE(storedPicturePath(p, files::locations, "Old Mill.jpg"), p + "/locations/Old Mill.jpg");
        QCOMPARE(storedPicturePath(p, files::locations, "AC\\DC.jpg"), p + "/locations/AC\\DC.jpg");
        // Stored paths of the older version, in another letter case.
        QCOMPARE(storedPicturePath(p, files::locations, "\\Locations\\Old Mill.jpg"), p + "/locations/Old Mill.jpg");
        QCOMPARE(storedPicturePath(p, QString(), "\\Investigations\\17\\Cellar door.JPG"),
                 p + "/investigations/17/Cellar door.jpg");
        // Nothing found: the exact name comes back, and stored paths never leave the folder.
        QCOMPARE(storedPicturePath(p, files::locations, "Gone.jpg"), p + "/locations/Gone.jpg");
        QVERIFY(!storedPicturePath(p, files::locations, "\\locations\\..\\secret.jpg").endsWith("/secret.jpg"));
        QCOMPARE(storedPicturePath(p, files::locations, QString()), p + "/locations/");
    }
};

QTEST_GUILESS_MAIN(PathsTest)
#include "test_paths.moc"
