#include "filebytes.h"
#include "store/installation.h"
#include "store/version.h"

#include <QTemporaryDir>
#include <QTest>

using namespace veil;
using namespace veil::test;

namespace {
// Installed files the folder holds from its last filling, and the user's own (which the data also names).
const char* const kSeeded[] = {"Clean_DB", "no_images.jpg", "help/index.htm"};
const char* const kUsers[] = {"Veilcase.mdb", "locations/Kept.jpg", "backup/db_back", "Investigations/17/a.jpg"};
} // namespace

// The per-user program folder after an upgrade: what came from the installed
// data is refreshed when that data is newer than the version that filled the
// folder; the user's cases are never written.
class SeedingTest : public QObject {
    Q_OBJECT
private slots:
    void upgradeRefreshesOnlyTheInstalledFiles_data() {
        QTest::addColumn<QByteArray>("mark"); // empty: no mark file
        QTest::addColumn<bool>("refreshed");
        QTest::newRow("no mark: filled before marks") << QByteArray() << true;
        QTest::newRow("older") << QByteArray("0.9\n") << true;
        QTest::newRow("unreadable mark") << QByteArray("New\n") << true;
        QTest::newRow("same") << kVersion.toUtf8() << false;
        QTest::newRow("same, written longer") << (kVersion + ".0").toUtf8() << false;
        QTest::newRow("newer: a downgrade keeps them") << QByteArray("99.1") << false;
    }
    void upgradeRefreshesOnlyTheInstalledFiles() {
        QFETCH(QByteArray, mark);
        QFETCH(bool, refreshed);
        QTemporaryDir data, folder;
        const QString d = data.path() + '/', f = folder.path() + '/';
        for (const char* name : kSeeded)
            QVERIFY(writeFileBytes(d + name, "installed") && writeFileBytes(f + name, "seeded"));
        for (const char* name : kUsers)
            QVERIFY(writeFileBytes(d + name, "installed") && writeFileBytes(f + name, "the user's"));
        QVERIFY(writeFileBytes(d + "help/new.htm", "installed") && writeFileBytes(f + "help/my notes.htm", "mine"));
        if (!mark.isEmpty()) QVERIFY(writeFileBytes(f + ".seeded-version", mark));

        QCOMPARE(seedProgramFolder(data.path(), folder.path()), QString());

        const QByteArray expected = refreshed ? "installed" : "seeded";
        for (const char* name : kSeeded)
            QVERIFY2(fileBytes(f + name) == expected, name);
        QCOMPARE(fileBytes(f + "help/new.htm"), QByteArray("installed")); // missing: always added
        for (const char* name : kUsers)
            QVERIFY2(fileBytes(f + name) == "the user's", name);
        QCOMPARE(fileBytes(f + "help/my notes.htm"), QByteArray("mine"));
        QCOMPARE(fileBytes(f + ".seeded-version").trimmed(),
                 refreshed ? kVersion.toUtf8() : mark.trimmed());
    }
};

QTEST_GUILESS_MAIN(SeedingTest)
#include "test_seeding.moc"
