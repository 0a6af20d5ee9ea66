#include "filebytes.h"
#include "programfolder.h"

#include "store/casedb.h"
#include "store/databasefiles.h"
#include "store/fileroutines.h"
#include "store/migrations.h"
#include "store/paths.h"

#include <QFile>
#include <QtEndian>
#include <QProcess>
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
bool rollbackMode(const QString& path) { return fileBytes(path).mid(18, 2) == QByteArray("\1\1", 2); }

// Puts a checked copy of `from` in place of `live`, as Restore does.
QString restore(const QString& from, const QString& live) {
    ScratchFile ready(live);
    if (const QString problem = snapshotDatabase(from, ready.path()); !problem.isEmpty())
        return problem;
    return swapInDatabase(ready, live);
}

} // namespace

class CaseDbTest : public QObject {
    Q_OBJECT
private slots:
    void cursorsWalkAddEditAndSeeOtherConnections() {
        ProgramFolder pf;
        auto db = Connection::open(pf.path());
        Cursor& t = db->openTable(QStringLiteral("Location"));
        QVERIFY(t.eof());
        QCOMPARE(t.recordCount(), 0);
        for (const char* name : {"Old Mill", "old mill", "Grey House"}) {
            t.addNew();
            t.setField(QStringLiteral("LocationName"), QLatin1String(name));
            t.setField(QStringLiteral("phone"), QStringLiteral("555")); // field names ignore case
            t.update();
        }
        t.close();

        Cursor& w = db->openTable(QStringLiteral("location"));
        QCOMPARE(w.recordCount(), 3);
        QStringList seen;
        for (; !w.eof(); w.moveNext())
            seen << w.field(QStringLiteral("LocationName"));
        QCOMPARE(seen, (QStringList{"Old Mill", "old mill", "Grey House"})); // stored order

        Cursor& e = db->openTable(QStringLiteral("Location"));
        e.moveNext();
        e.edit();
        e.setField(QStringLiteral("Cell"), QStringLiteral("0777"));
        e.update();
        e.moveLast();
        QCOMPARE(e.field(QStringLiteral("LocationName")), QStringLiteral("Grey House"));
        e.moveNext();
        QVERIFY(e.eof());

        auto rec = db->findFirst(tables::location, {{QStringLiteral("LocationName"), QStringLiteral("old mill")}});
        QVERIFY(rec);
        QCOMPARE(rec->text(QStringLiteral("Cell")), QStringLiteral("0777"));
        QVERIFY(rec->isNull(QStringLiteral("Email"))); // never set: null, read as empty text
        QCOMPARE(rec->text(QStringLiteral("Email")), QString());

        // Unknown tables and fields are engine failures, not silent empties.
        QVERIFY_THROWS_EXCEPTION(DbError, db->openTable(QStringLiteral("Ghosts")));
        QVERIFY_THROWS_EXCEPTION(DbError, db->column(tables::location, QStringLiteral("Nope")));

        // A cursor sees what another connection stored, and holds no lock while it is open.
        auto other = Connection::open(pf.path());
        Cursor& mine = db->openTable(QStringLiteral("Interview"));
        Cursor& theirs = other->openTable(QStringLiteral("interview")); // same table, other spelling
        QVERIFY(mine.eof());
        theirs.addNew();
        theirs.setField(QStringLiteral("Name"), QStringLiteral("Ann"));
        theirs.update();
        QCOMPARE(mine.recordCount(), 1);
        db->openTable(QStringLiteral("Interview"));
        QCOMPARE(db->table().field(QStringLiteral("Name")), QStringLiteral("Ann"));
        other->add(tables::interview, {{"Name", "Bob"}});
        db->table().moveNext();
        QCOMPARE(db->table().field(QStringLiteral("Name")), QStringLiteral("Bob"));
    }

    // Keys and picture folders carry the number: it is readable before the store (windows
    // compose keys with it), numbers on across connections, and is never given twice.
    void autoNumberIsNeverReused() {
        ProgramFolder pf;
        auto db = Connection::open(pf.path());
        for (int i = 0; i < 3; ++i)
            db->add(tables::investigations, {{"Location", "Old Mill"}});
        sqlite3_exec(db->handle(), "DELETE FROM Investigations WHERE ID = 3", nullptr, nullptr, nullptr);
        auto other = Connection::open(pf.path());
        Cursor& t = other->openTable(QStringLiteral("investigations"));
        t.addNew();
        QCOMPARE(t.field(QStringLiteral("ID")), QStringLiteral("4"));
        QVERIFY_THROWS_EXCEPTION(DbError, t.setField(QStringLiteral("ID"), QStringLiteral("9")));
    }

    void lookupsAreExactAndNullNeverMatches() {
        ProgramFolder pf;
        auto db = Connection::open(pf.path());
        db->add(tables::investigations, {{"Location", "Old Mill"}, {"FullDate_Time", "a-1"}});
        db->add(tables::investigations, {{"Location", "old mill"}, {"FullDate_Time", "b-2"}});
        db->add(tables::investigations, {{"FullDate_Time", "c-3"}}); // Location null
        db->add(tables::investigations, {{"Location", "Old Mill"}, {"FullDate_Time", "d-4"}});
        db->add(tables::investigations, {{"Location", ""}, {"FullDate_Time", "e-5"}});

        QCOMPARE(db->column(tables::investigations, "FullDate_Time", {{"Location", "Old Mill"}}),
                 (QStringList{"a-1", "d-4"}));
        QCOMPARE(db->column(tables::investigations, "FullDate_Time", {{"Location", "old mill"}}),
                 QStringList{"b-2"});
        // An empty wanted value finds the empty text, never the null.
        QCOMPARE(db->column(tables::investigations, "FullDate_Time", {{"Location", ""}}), QStringList{"e-5"});
        QCOMPARE(db->findFirst(tables::investigations, {{"Location", "Old Mill"}})->text("FullDate_Time"),
                 QStringLiteral("a-1"));
        QCOMPARE(db->findLast(tables::investigations, {{"Location", "Old Mill"}})->text("FullDate_Time"),
                 QStringLiteral("d-4"));
        QVERIFY(!db->exists(tables::investigations, {{"Location", "OLD MILL"}}));
        // A null value in a listed field comes out as empty text, as the walk shows it.
        QCOMPARE(db->column(tables::investigations, "Location").at(2), QString());
        QCOMPARE(db->count(QStringLiteral("INVESTIGATIONS")), 5);
    }

    void unusableFilesAreRefusedAndLeftAlone_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("says");
        QTest::newRow("missing") << QByteArray() << "does not exist";
        QTest::newRow("empty") << QByteArray("") << "is empty";
        QTest::newRow("text") << QByteArray("just some notes\n") << "is not a case database";
        QTest::newRow("pages of nothing") << QByteArray(8192, 'Z') << "is not a case database";
        QTest::newRow("cut at a page") << fileBytes(builtProgramFolder() + "/Clean_DB").left(8192) << "damaged";
        QByteArray jet(2048, '\0');
        jet.replace(4, 15, "Standard Jet DB");
        QTest::newRow("jet") << jet << "Microsoft Jet";
        ProgramFolder pf;
        sqlite3_exec(Connection::open(pf.path())->handle(), "DROP TABLE Pictures", nullptr, nullptr, nullptr);
        const QByteArray noPictures = fileBytes(pf.databasePath());
        QTest::newRow("a table missing") << noPictures << "no table \"Pictures\"";
        QTest::newRow("truncated") << noPictures.left(1024 + 100) << "damaged";
        ProgramFolder newer;
        QCOMPARE(runSql(newer.databasePath(), "PRAGMA user_version=99"), QString());
        QTest::newRow("newer, naming both versions")
            << fileBytes(newer.databasePath()) << QString("version 99; this Veilcase knows versions up to %1")
                                                      .arg(kSchemaVersion);
    }
    // Refused and left alone; and as that is what a restore is for, a restore replaces it.
    void unusableFilesAreRefusedAndLeftAlone() {
        QFETCH(QByteArray, content);
        QFETCH(QString, says);
        ProgramFolder pf;
        Connection::open(pf.path())->add(tables::location, {{"LocationName", "Restored"}});
        QCOMPARE(snapshotDatabase(pf.databasePath(), pf.file("db_back")), QString());
        QFile::remove(pf.databasePath());
        QVERIFY(content.isNull() || writeFileBytes(pf.databasePath(), content));
        QVERIFY2(Connection::problemWith(pf.databasePath()).contains(says),
                 qPrintable(Connection::problemWith(pf.databasePath())));
        try {
            Connection::open(pf.path());
            QFAIL("opened");
        } catch (const DbError& e) {
            QVERIFY2(e.text().contains(says) && e.text().contains(QStringLiteral("Veilcase.mdb")), qPrintable(e.text()));
        }
        QCOMPARE(QFile::exists(pf.databasePath()), !content.isNull()); // never created
        QCOMPARE(fileBytes(pf.databasePath()), content);
        QCOMPARE(restore(pf.file("db_back"), pf.databasePath()), QString());
        QCOMPARE(locationsIn(pf.databasePath()), QStringList{"Restored"});
    }

    void olderFilesGainOurTables_data() {
        QTest::addColumn<QString>("makeOlder");
        QTest::newRow("as shipped or imported (version 0)")
            << "DROP TABLE vc_evidence; DROP TABLE vc_filehash; PRAGMA user_version=0;";
        QTest::newRow("version 0 with a table already there") << "DROP TABLE vc_filehash; PRAGMA user_version=0;";
        QTest::newRow("current") << "";
    }
    void olderFilesGainOurTables() {
        QFETCH(QString, makeOlder);
        ProgramFolder pf;
        QCOMPARE(runSql(pf.databasePath(), "INSERT INTO Location(LocationName) VALUES('Old Mill'); " + makeOlder),
                 QString());
        const QByteArray before = fileBytes(pf.databasePath());

        // Checking a file (a backup before it is restored) leaves it as it is.
        QCOMPARE(Connection::problemWith(pf.databasePath()), QString());
        QCOMPARE(fileBytes(pf.databasePath()), before);

        QCOMPARE(Connection::open(pf.path())->column(tables::location, "LocationName"), QStringList{"Old Mill"});
        // PRAGMA user_version, as the file's header holds it.
        QCOMPARE(qFromBigEndian<qint32>(fileBytes(pf.databasePath()).constData() + 60), kSchemaVersion);
        QCOMPARE(runSql(pf.databasePath(), "SELECT count(*) FROM vc_evidence; SELECT count(*) FROM vc_filehash"),
                 QString());
    }

    // A file in write-ahead mode opens, keeps what was committed, goes back to
    // a rollback journal and backs up and restores like any other.
    void walFileOpensBacksUpAndRestores() {
        ProgramFolder pf;
        const QString live = pf.databasePath(), backup = pf.file("db_back");
        leaveInWalMode(live, "Logged");
        QCOMPARE(Connection::problemWith(live), QString());
        QCOMPARE(locationsIn(live), QStringList{"Logged"});
        QVERIFY(rollbackMode(live));
        QVERIFY(!QFile::exists(live + "-wal"));

        QCOMPARE(snapshotDatabase(live, backup), QString());
        leaveInWalMode(backup, "Also logged");
        QCOMPARE(restore(backup, live), QString());
        QCOMPARE(locationsIn(live), (QStringList{"Logged", "Also logged"}));
        QVERIFY(rollbackMode(live));
    }

    void killedWriterLosesNothingStored() {
        ProgramFolder pf;
        QProcess writer;
        writer.start(QCoreApplication::applicationDirPath() + QStringLiteral("/proc_writer"), {pf.path()});
        QVERIFY(writer.waitForStarted());
        // Wait until a good number of stores have returned, then kill it mid-loop.
        QByteArray out;
        while (out.count('\n') < 60 && writer.waitForReadyRead(20000))
            out += writer.readAllStandardOutput();
        writer.kill();
        writer.waitForFinished();
        out += writer.readAllStandardOutput();
        const int last = out.left(out.lastIndexOf('\n')).split('\n').last().toInt(); // the last store that returned
        QVERIFY(last >= 60);

        QCOMPARE(integrityProblem(pf.databasePath()), QString());
        auto db = Connection::open(pf.path());
        QVERIFY(db->count(tables::location) >= last);
        const QStringList names = db->column(tables::location, QStringLiteral("LocationName"));
        for (int i = 1; i <= last; ++i)
            QCOMPARE(names.at(i - 1), QStringLiteral("Place %1").arg(i));
    }
};

QTEST_GUILESS_MAIN(CaseDbTest)
#include "test_casedb.moc"
