#include "filebytes.h"
#include "programfolder.h"

#include "store/casedb.h"
#include "store/databasefiles.h"
#include "store/fileroutines.h"
#include "store/paths.h"

#include <QDir>
#include <QTest>

#include <sqlite3.h>

using namespace veil;
using namespace veil::test;

namespace {

// Leaves `path` as another tool would after a crash in write-ahead mode: the
// record `name` committed, but only in the log beside the file.
void leaveInWalMode(const QString& path, const QString& name) {
    const QString copy = path + ".crashed";
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    const QByteArray sql = "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
                           "INSERT INTO Location(LocationName) VALUES ('" + name.toUtf8() + "')";
    QCOMPARE(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    QVERIFY(QFile::copy(path, copy) && QFile::copy(path + "-wal", copy + "-wal"));
    sqlite3_close(db);
    QVERIFY(QFile::remove(path) && QFile::rename(copy, path) && QFile::rename(copy + "-wal", path + "-wal"));
}

// Bytes 18 and 19 of the header are 2 in write-ahead mode, 1 with a rollback journal.
bool rollbackMode(const QString& path) {
    return fileBytes(path).mid(18, 2) == QByteArray("\1\1", 2);
}

} // namespace

class DatabaseFilesTest : public QObject {
    Q_OBJECT
private slots:
    // A file in write-ahead mode opens, keeps what was committed, goes back to
    // a rollback journal and backs up and restores like any other.
    void walFileOpensBacksUpAndRestores() {
        ProgramFolder pf;
        const QString live = pf.databasePath(), backup = pf.file("backup/db_back");
        leaveInWalMode(live, "Logged");
        QCOMPARE(Connection::problemWith(live), QString());
        QCOMPARE(locationsIn(live), QStringList{"Logged"});
        QVERIFY(rollbackMode(live));
        QVERIFY(!QFile::exists(live + "-wal"));

        QDir().mkpath(pf.file("backup"));
        QCOMPARE(snapshotDatabase(live, backup), QString());
        leaveInWalMode(backup, "Also logged");
        ScratchFile ready(live);
        QCOMPARE(snapshotDatabase(backup, ready.path()), QString());
        QCOMPARE(swapInDatabase(ready, live), QString());
        QCOMPARE(locationsIn(live), (QStringList{"Logged", "Also logged"}));
        QVERIFY(rollbackMode(live));
    }

    // A damaged database is what a restore is for: it is replaced all the same.
    void damagedDatabaseIsReplaced_data() {
        QTest::addColumn<QByteArray>("live");
        QTest::newRow("not a database") << QByteArray(8192, 'Z');
        QTest::newRow("cut short") << fileBytes(builtProgramFolder() + "/Clean_DB").left(8192);
        QTest::newRow("empty") << QByteArray();
    }
    void damagedDatabaseIsReplaced() {
        QFETCH(QByteArray, live);
        ProgramFolder pf;
        Connection::open(pf.path())->add(tables::location, {{"LocationName", "Restored"}});
        ScratchFile ready(pf.databasePath());
        QCOMPARE(snapshotDatabase(pf.databasePath(), ready.path()), QString());
        QVERIFY(writeFileBytes(pf.databasePath(), live));
        QCOMPARE(swapInDatabase(ready, pf.databasePath()), QString());
        QCOMPARE(locationsIn(pf.databasePath()), QStringList{"Restored"});
    }
};

QTEST_GUILESS_MAIN(DatabaseFilesTest)
#include "test_databasefiles.moc"
