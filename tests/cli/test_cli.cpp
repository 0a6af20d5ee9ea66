#include "clirun.h"
#include "evidencenight.h"
#include "programfolder.h"
#include "filebytes.h"
#include "testui.h"
#include "store/casedb.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace veil;
using namespace veil::test;

static const QString cellar = "\\Investigations\\17\\Cellar door.jpg";

class CliTest : public QObject {
    Q_OBJECT
private slots:
    void commands_data() {
        QTest::addColumn<QString>("setup"); // what is done to the folder first
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("pattern"); // in standard output on 0/1, standard error on 2
        QTest::newRow("check sound") << "" << QStringList{"check"} << 0 << ": ok$";
        QTest::newRow("check damaged") << "damage" << QStringList{"check"} << 1 << "integrity|damaged";
        QTest::newRow("check missing") << "remove" << QStringList{"check"} << 2 << "Veilcase.mdb.*does not exist";
        QTest::newRow("check not a case file") << "notdb" << QStringList{"check"} << 1 << "not a (case )?database";
        QTest::newRow("backup") << "" << QStringList{"backup", "@/b.mdb"} << 0 << "backed up";
        QTest::newRow("backup refuses to replace") << "exists" << QStringList{"backup", "@/b.mdb"} << 2 << "--force";
        QTest::newRow("backup --force") << "exists" << QStringList{"backup", "@/b.mdb", "--force"} << 0 << "backed up";
        QTest::newRow("backup of a damaged file") << "damage" << QStringList{"backup", "@/b.mdb"} << 2 << "damaged";
        QTest::newRow("search") << "" << QStringList{"search", "mill"} << 0
                                << "^location\tOld Mill\tLocationName\tOld \\[Mill\\]$";
        QTest::newRow("search, best first") << "words" << QStringList{"search", "ghost*"} << 0
                                            << "^location\tAttic\tNotes\t\\[ghosts\\] .*\n^location\tBarn\t";
        QTest::newRow("search, --limit") << "words" << QStringList{"search", "ghost*", "--limit", "1"} << 0
                                         << "\\]\n$";
        QTest::newRow("search finds nothing") << "" << QStringList{"search", "poltergeist"} << 1 << "^$";
        QTest::newRow("search, a bad query") << "" << QStringList{"search", "\"mill"} << 2 << "quotation mark";
        QTest::newRow("search without a query") << "" << QStringList{"search"} << 2 << "needs a QUERY";
        QTest::newRow("search a missing file") << "remove" << QStringList{"search", "mill"} << 2 << "does not exist";
        QTest::newRow("search a damaged file") << "damage" << QStringList{"search", "mill"} << 2 << "damaged";
        QTest::newRow("check an index out of step") << "unindexed" << QStringList{"check"} << 1 << "out of step.*reindex";
        QTest::newRow("reindex") << "unindexed" << QStringList{"reindex"} << 0 << "built the search index";
        QTest::newRow("unknown command") << "" << QStringList{"frobnicate"} << 2 << "unknown command";
        QTest::newRow("no command") << "" << QStringList{} << 2 << "no command";
        QTest::newRow("help") << "" << QStringList{"--help"} << 0 << "Usage: veilcase-cli";
        QTest::newRow("version") << "" << QStringList{"--version"} << 0 << "^veilcase-cli ";
    }
    void commands() {
        QFETCH(QString, setup);
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, pattern);
        ProgramFolder pf;
        Connection::open(pf.path())->add(tables::location, {{"LocationName", "Old Mill"}});
        const QString db = pf.databasePath();
        if (setup == "damage") {
            QFile f(db);
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.seek(4096); // every page but the first, which names the tables
            f.write(QByteArray(int(f.size()) - 4096, '\xA5'));
        } else if (setup == "remove") {
            QFile::remove(db);
        } else if (setup == "notdb") {
            QVERIFY(writeFileBytes(db, QByteArray("SQLite format 3\0", 16) + QByteArray(4096, '\0')));
        } else if (setup == "words") {
            auto c = Connection::open(pf.path());
            c->add(tables::location, {{"LocationName", "Barn"}, {"Notes", "A ghost, said the farmer, once a year."}});
            c->add(tables::location, {{"LocationName", "Attic"}, {"Notes", "ghosts ghosts ghosts"}});
        } else if (setup == "unindexed") {
            QCOMPARE(runSql(db, "INSERT INTO vc_search_location(vc_search_location) VALUES('delete-all')"), QString());
        } else if (setup == "exists") {
            QVERIFY(writeFileBytes(pf.file("b.mdb"), "old"));
        }
        for (QString& a : args)
            a.replace('@', pf.path());
        const CliResult r = runCli(pf.path(), args);
        QVERIFY2(r.code == code, qPrintable(QString("%1 | %2").arg(r.out, r.err)));
        const QString shown = code == 2 ? r.err : r.out;
        QVERIFY2(shown.contains(QRegularExpression(pattern, QRegularExpression::MultilineOption)),
                 qPrintable(shown));
        if (args.value(0) == "reindex")
            QCOMPARE(runCli(pf.path(), {"search", "mill"}).code, 0);
        if (args.value(0) == "backup" && code == 0)
            QCOMPARE(Connection::openFile(pf.file("b.mdb"))->column(tables::location, "LocationName"),
                     QStringList{"Old Mill"});
        if (setup == "exists" && code == 2)
            QCOMPARE(fileBytes(pf.file("b.mdb")), QByteArray("old"));
        QCOMPARE(scratchFiles(pf.path()), QStringList());
    }

    void verify_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out"); // standard output on 0/1, standard error on 2
        QTest::newRow("all ok") << "" << QStringList{"verify"} << 0 << "";
        QTest::newRow("--all lists the ok ones") << "" << QStringList{"verify", "--all"} << 0 << "ok\t" + cellar + "\n";
        QTest::newRow("changed") << "change" << QStringList{"verify"} << 1 << "changed\t" + cellar + "\n";
        QTest::newRow("missing") << "remove" << QStringList{"verify"} << 1 << "missing\t" + cellar + "\n";
        QTest::newRow("unrecorded is no fault") << "unrecorded" << QStringList{"verify"} << 0
                                                << "unrecorded\t\\locations\\Add New.jpg\n";
        QTest::newRow("manifest") << "change" << QStringList{"verify", "--manifest", "@/m.csv"} << 1
                                  << "changed\t" + cellar + "\n";
        QTest::newRow("unknown argument") << "" << QStringList{"verify", "New"} << 2 << "\"New\"";
        QTest::newRow("no case file") << "nodb" << QStringList{"verify"} << 2 << "does not exist";
    }
    void verify() {
        QFETCH(QString, setup);
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, out);
        ProgramFolder pf;
        TestUi ui;
        QVERIFY(attachBytes(pf.path(), cellar, "cellar photograph"));
        if (setup == "change")
            QVERIFY(writeFileBytes(pf.file(cellar), "cellar photographs"));
        else if (setup == "remove")
            QFile::remove(pf.file(cellar));
        else if (setup == "unrecorded")
            QVERIFY(writeFileBytes(pf.file("locations/Add New.jpg"), "old"));
        else if (setup == "nodb")
            QFile::remove(pf.databasePath());
        for (QString& a : args)
            a.replace('@', pf.path());
        const CliResult r = runCli(pf.path(), args);
        QVERIFY2(r.code == code, qPrintable(QString("%1 | %2").arg(r.out, r.err)));
        if (code == 2)
            QVERIFY2(r.err.contains(out), qPrintable(r.err));
        else
            QCOMPARE(r.out, out);
        if (args.contains("--manifest") && code != 2)
            QVERIFY(fileBytes(pf.file("m.csv")).contains(",changed\r\n"));
    }

    void evidence_data() {
        QTest::addColumn<QStringList>("args"); // @ the folder, K the investigation's key
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("pattern"); // in standard output on 0, standard error otherwise
        const QStringList labels{"evidence", "import-labels", "K", "@/night.wav", "@/labels.txt"};
        QTest::newRow("labels, start from the file") << labels << 0 << "^added 1, already there 0$";
        QTest::newRow("labels, --start") << labels + QStringList{"--start", "23:00:00.5"} << 0 << "^added 1,";
        QTest::newRow("labels, no start") << QStringList{"evidence", "import-labels", "K", "@/plain.wav", "@/labels.txt"}
                                          << 2 << "--start";
        QTest::newRow("labels, bad --start") << labels + QStringList{"--start", "25:00"} << 2 << "not a time";
        QTest::newRow("labels, missing file") << QStringList{"evidence", "import-labels", "K", "@/night.wav", "@/no.txt"}
                                              << 2 << "cannot be read";
        QTest::newRow("unknown key") << QStringList{"evidence", "import-readings", "New", "@/bad.csv"} << 2
                                     << "no investigation";
        QTest::newRow("readings, a bad row") << QStringList{"evidence", "import-readings", "K", "@/bad.csv"} << 1
                                             << "bad.csv: line 3:";
        QTest::newRow("readings, --skip-bad") << QStringList{"evidence", "import-readings", "K", "@/bad.csv", "--skip-bad"}
                                              << 0 << "^added 1,";
        QTest::newRow("no subcommand") << QStringList{"evidence"} << 2 << "import-labels or import-readings";
        QTest::newRow("timeline, nothing yet") << QStringList{"timeline", "K"} << 1 << "^$";
        QTest::newRow("timeline, unknown key") << QStringList{"timeline", "Add"} << 2 << "no investigation";
    }
    void evidence() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, pattern);
        ProgramFolder pf;
        const QString key = addNight(*Connection::open(pf.path()));
        QVERIFY(writeFileBytes(pf.file("night.wav"), wavWithBext("2008-10-31", "23:55:00")));
        QVERIFY(writeFileBytes(pf.file("plain.wav"), "RIFF"));
        QVERIFY(writeFileBytes(pf.file("labels.txt"), "600\t601\tvoice\n\\\t1\t2\n"));
        QVERIFY(writeFileBytes(pf.file("bad.csv"), "time,value\n23:58,1\n23:59,x\n"));
        for (QString& a : args)
            a = a == "K" ? key : a.replace('@', pf.path());
        const CliResult r = runCli(pf.path(), args);
        QVERIFY2(r.code == code, qPrintable(QString("%1 | %2").arg(r.out, r.err)));
        const QString shown = code == 0 ? r.out : r.err;
        QVERIFY2(shown.contains(QRegularExpression(pattern, QRegularExpression::MultilineOption)), qPrintable(shown));
        // A refused import copies nothing in.
        if (code != 0)
            QVERIFY(!QFile::exists(pf.file("Investigations/1/media/night.wav")));
    }

    void importsTwiceThenTheTimeline() {
        ProgramFolder pf;
        const QString key = addNight(*Connection::open(pf.path()));
        QVERIFY(writeFileBytes(pf.file("in/night.wav"), wavWithBext("2008-10-31", "23:55:00")));
        QVERIFY(writeFileBytes(pf.file("in/labels.txt"), "600\t601.5\tvoice\tagain\n"));
        QVERIFY(writeFileBytes(pf.file("in/meter.csv"), "unit,time,value\nmG,2008-11-01T00:10:00.250,2.5\n"));
        const QStringList labels{"evidence", "import-labels", key, pf.file("in/night.wav"), pf.file("in/labels.txt")};
        runCli(pf.path(), labels);
        QCOMPARE(runCli(pf.path(), labels).out, QString("added 0, already there 1\n"));
        QCOMPARE(runCli(pf.path(), {"evidence", "import-readings", key, pf.file("in/meter.csv")}).code, 0);
        const CliResult t = runCli(pf.path(), {"timeline", key});
        QCOMPARE(t.code, 0);
        QCOMPARE(t.out, QString("2008-11-01T00:05:00.000\tEVP\tvoice again\n"
                                "2008-11-01T00:10:00.250\tEMF\t2.5 mG\n"));
        QCOMPARE(fileBytes(pf.file("Investigations/1/media/night.wav")), fileBytes(pf.file("in/night.wav")));
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "test_cli.moc"
