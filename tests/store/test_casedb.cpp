#include "filebytes.h"
#include "store/casedb.h"
#include "store/databasefiles.h"
#include "store/paths.h"
#include "programfolder.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <sqlite3.h>

using namespace veil;
using namespace veil::test;


class CaseDbTest : public QObject {
    Q_OBJECT
private slots:
    void cursorWalksAddsAndEdits() {
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

        db->openTable(QStringLiteral("Location"));
        Cursor& e = db->table();
        e.moveNext();
        QCOMPARE(e.field(QStringLiteral("LocationName")), QStringLiteral("old mill"));
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

    void connectionsSeeEachOthersStoredRecords() {
        ProgramFolder pf;
        auto a = Connection::open(pf.path());
        auto b = Connection::open(pf.path());
        Cursor& ta = a->openTable(QStringLiteral("Interview"));
        Cursor& tb = b->openTable(QStringLiteral("interview")); // same table, other spelling
        QVERIFY(ta.eof());
        tb.addNew();
        tb.setField(QStringLiteral("Name"), QStringLiteral("Ann"));
        tb.update();
        QCOMPARE(ta.recordCount(), 1);
        a->openTable(QStringLiteral("Interview"));
        QCOMPARE(a->table().field(QStringLiteral("Name")), QStringLiteral("Ann"));
        // A cursor left open holds no lock: the other connection can still write.
        b->add(tables::interview, {{"Name", "Bob"}});
        a->table().moveNext();
        QCOMPARE(a->table().field(QStringLiteral("Name")), QStringLiteral("Bob"));
    }

    void unusableFilesAreRefusedAndLeftAlone_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("says");
        QTest::newRow("missing") << QByteArray() << "does not exist";
        QTest::newRow("empty") << QByteArray("") << "is empty";
        QTest::newRow("text") << QByteArray("just some notes\n") << "is not a case database";
        QByteArray jet(2048, '\0');
        jet.replace(4, 15, "Standard Jet DB");
        QTest::newRow("jet") << jet << "Microsoft Jet";
        ProgramFolder pf;
        sqlite3_exec(Connection::open(pf.path())->handle(), "DROP TABLE Pictures", nullptr, nullptr, nullptr);
        const QByteArray noPictures = fileBytes(pf.databasePath());
        QTest::newRow("a table missing") << noPictures << "no table \"Pictures\"";
        QTest::newRow("truncated") << noPictures.left(1024 + 100) << "damaged";
    }
    void unusableFilesAreRefusedAndLeftAlone() {
        QFETCH(QByteArray, content);
        QFETCH(QString, says);
        ProgramFolder pf;
        QFile::remove(pf.databasePath());
        QVERIFY(content.isNull() || writeFileBytes(pf.databasePath(), content));
        QVERIFY2(Connection::problemWith(pf.databasePath()).contains(says),
                 qPrintable(Connection::problemWith(pf.databasePath())));
        try {
            Connection::open(pf.path());
            QFAIL("opened");
        } catch (const DbError& e) {
            QVERIFY2(e.text().contains(says), qPrintable(e.text()));
            QVERIFY(e.text().contains(QStringLiteral("Veilcase.mdb")));
        }
        QCOMPARE(QFile::exists(pf.databasePath()), !content.isNull()); // never created
        QCOMPARE(fileBytes(pf.databasePath()), content);
    }

    void killedWriterLosesNothingStored() {
        ProgramFolder pf;
        QProcess writer;
        writer.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/proc_writer"));
        writer.setArguments({pf.path()});
        writer.start();
        QVERIFY(writer.waitForStarted());
        // Wait until a good number of stores have returned, then kill it mid-loop.
        int stored = 0;
        QByteArray out;
        while (stored < 60 && writer.waitForReadyRead(20000)) {
            out += writer.readAllStandardOutput();
            stored = int(out.count('\n'));
        }
        writer.kill();
        writer.waitForFinished();
        out += writer.readAllStandardOutput();
        const QList<QByteArray> lines = out.split('\n');
        int last = 0;
        for (const QByteArray& l : lines)
            if (!l.isEmpty())
                last = l.toInt();
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
