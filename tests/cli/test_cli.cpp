#include "clirun.h"
#include "evidencenight.h"
#include "programfolder.h"
#include "filebytes.h"
#include "reportcase.h"
#include "testui.h"
#include "store/casedb.h"

#include <QFile>
#include <QProcess>
#include <QTest>

using namespace veil;
using namespace veil::test;

namespace {
const QString cellar = "\\Investigations\\17\\Cellar door.jpg";

// The whole of standard output: these lines and nothing else.
QString only(const QString& lines) { return "\\A" + QRegularExpression::escape(lines) + "\\z"; }
} // namespace

class CliTest : public QObject {
    Q_OBJECT
private slots:
    // Each command line runs on a case holding Old Mill, a night there (key K), the cellar
    // photograph attached, and beside it a recording, its labels and meter readings.
    void commands_data() {
        QTest::addColumn<QString>("setup"); // what is done to the folder first
        QTest::addColumn<QStringList>("args"); // @ the folder, K the night's key
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("pattern"); // in standard output; "2>..." in standard error
        QTest::newRow("check sound") << "" << QStringList{"check"} << 0 << ": ok$";
        QTest::newRow("check damaged") << "damage" << QStringList{"check"} << 1 << "integrity|damaged";
        QTest::newRow("check missing") << "remove" << QStringList{"check"} << 2 << "2>Veilcase.mdb.*does not exist";
        QTest::newRow("check not a case file") << "notdb" << QStringList{"check"} << 1 << "not a (case )?database";
        QTest::newRow("backup") << "" << QStringList{"backup", "@/b.mdb"} << 0 << "backed up";
        QTest::newRow("backup refuses to replace") << "exists" << QStringList{"backup", "@/b.mdb"} << 2 << "2>--force";
        QTest::newRow("backup --force") << "exists" << QStringList{"backup", "@/b.mdb", "--force"} << 0 << "backed up";
        QTest::newRow("backup of a damaged file") << "damage" << QStringList{"backup", "@/b.mdb"} << 2 << "2>damaged";
        QTest::newRow("search") << "" << QStringList{"search", "mill"} << 0
                                << "^location\tOld Mill\tLocationName\tOld \\[Mill\\]$";
        QTest::newRow("search, best first") << "words" << QStringList{"search", "ghost*"} << 0
                                            << "^location\tAttic\tNotes\t\\[ghosts\\] .*\n^location\tBarn\t";
        QTest::newRow("search, --limit") << "words" << QStringList{"search", "ghost*", "--limit", "1"} << 0
                                         << "\\Alocation\tAttic\tNotes\t\\[ghosts\\][^\n]*\n\\z";
        QTest::newRow("search finds nothing") << "" << QStringList{"search", "poltergeist"} << 1 << "\\A\\z";
        QTest::newRow("search, a bad query") << "" << QStringList{"search", "\"mill"} << 2 << "2>quotation mark";
        QTest::newRow("search without a query") << "" << QStringList{"search"} << 2 << "2>needs a QUERY";
        QTest::newRow("search a missing file") << "remove" << QStringList{"search", "mill"} << 2 << "2>does not exist";
        QTest::newRow("search a damaged file") << "damage" << QStringList{"search", "mill"} << 2 << "2>damaged";
        QTest::newRow("check an index out of step") << "unindexed" << QStringList{"check"} << 1
                                                    << "\"Location\" is out of step.*reindex";
        QTest::newRow("reindex") << "unindexed" << QStringList{"reindex"} << 0 << "built the search index";
        QTest::newRow("unknown command") << "" << QStringList{"frobnicate"} << 2 << "2>unknown command";
        QTest::newRow("no command") << "" << QStringList{} << 2 << "2>no command";
        QTest::newRow("help") << "" << QStringList{"--help"} << 0 << "Usage: veilcase-cli";
        QTest::newRow("version") << "" << QStringList{"--version"} << 0 << "^veilcase-cli ";

        QTest::newRow("verify, all ok") << "" << QStringList{"verify"} << 0 << "\\A\\z";
        QTest::newRow("verify --all lists the ok ones") << "" << QStringList{"verify", "--all"} << 0
                                                        << only("ok\t" + cellar + "\n");
        QTest::newRow("verify, missing") << "lose" << QStringList{"verify"} << 1 << only("missing\t" + cellar + "\n");
        QTest::newRow("verify, unrecorded is no fault") << "unrecorded" << QStringList{"verify"} << 0
                                                        << only("unrecorded\t\\locations\\Add New.jpg\n");
        QTest::newRow("verify, changed, --manifest") << "change" << QStringList{"verify", "--manifest", "@/m.csv"} << 1
                                           << only("changed\t" + cellar + "\n");
        QTest::newRow("verify, unknown argument") << "" << QStringList{"verify", "New"} << 2 << "2>\"New\"";
        QTest::newRow("verify, no case file") << "remove" << QStringList{"verify"} << 2 << "2>does not exist";

        const QStringList labels{"evidence", "import-labels", "K", "@/night.wav", "@/labels.txt"};
        QTest::newRow("labels, start from the file") << "" << labels << 0 << "^added 1, already there 0$";
        QTest::newRow("labels, --start") << "" << labels + QStringList{"--start", "23:00:00.5"} << 0 << "^added 1,";
        QTest::newRow("labels, no start")
            << "" << QStringList{"evidence", "import-labels", "K", "@/plain.wav", "@/labels.txt"} << 2 << "2>--start";
        QTest::newRow("labels, bad --start") << "" << labels + QStringList{"--start", "25:00"} << 2 << "2>not a time";
        QTest::newRow("labels, missing file")
            << "" << QStringList{"evidence", "import-labels", "K", "@/night.wav", "@/no.txt"} << 2
            << "2>cannot be read";
        QTest::newRow("labels, again") << "imported" << labels << 0 << only("added 0, already there 1\n");
        QTest::newRow("readings, unknown key") << "" << QStringList{"evidence", "import-readings", "New", "@/bad.csv"}
                                               << 2 << "2>no investigation";
        QTest::newRow("readings, a bad row") << "" << QStringList{"evidence", "import-readings", "K", "@/bad.csv"} << 1
                                             << "2>bad.csv: line 3:";
        QTest::newRow("readings, --skip-bad")
            << "" << QStringList{"evidence", "import-readings", "K", "@/bad.csv", "--skip-bad"} << 0 << "^added 1,";
        QTest::newRow("evidence, no subcommand") << "" << QStringList{"evidence"} << 2
                                                 << "2>import-labels or import-readings";
        QTest::newRow("timeline, nothing yet") << "" << QStringList{"timeline", "K"} << 1 << "\\A\\z";
        QTest::newRow("timeline, unknown key") << "" << QStringList{"timeline", "Add"} << 2 << "2>no investigation";
        QTest::newRow("timeline") << "imported" << QStringList{"timeline", "K"} << 0
                                  << only("2008-11-01T00:05:00.000\tEVP\tvoice again\n"
                                          "2008-11-01T00:10:00.250\tEMF\t2.5 mG\n");
    }
    void commands() {
        QFETCH(QString, setup);
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, pattern);
        ProgramFolder pf;
        TestUi ui;
        const QString db = pf.databasePath(), media = pf.file("Investigations/1/media/night.wav");
        const QString key = addNight(*Connection::open(pf.path()));
        std::replace(args.begin(), args.end(), QString("K"), key);
        Connection::open(pf.path())->add(tables::location, {{"LocationName", "Old Mill"}});
        QVERIFY(attachBytes(pf.path(), cellar, "cellar photograph"));
        QVERIFY(writeFileBytes(pf.file("night.wav"), wavWithBext("2008-10-31", "23:55:00")));
        QVERIFY(writeFileBytes(pf.file("plain.wav"), "RIFF"));
        QVERIFY(writeFileBytes(pf.file("labels.txt"), "600\t601.5\tvoice\tagain\n\\\t1\t2\n"));
        QVERIFY(writeFileBytes(pf.file("bad.csv"), "time,value\n23:58,1\n23:59,x\n"));
        QVERIFY(writeFileBytes(pf.file("meter.csv"), "unit,time,value\nmG,2008-11-01T00:10:00.250,2.5\n"));
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
            QCOMPARE(runSql(db, "INSERT INTO Location(LocationName, Notes) VALUES ('Barn', 'A ghost, said the "
                                "farmer, once a year.'), ('Attic', 'ghosts ghosts ghosts')"),
                     QString());
        } else if (setup == "unindexed") {
            QCOMPARE(runSql(db, "INSERT INTO vc_search_location(vc_search_location) VALUES('delete-all')"), QString());
        } else if (setup == "exists") {
            QVERIFY(writeFileBytes(pf.file("b.mdb"), "old"));
        } else if (setup == "change") {
            QVERIFY(writeFileBytes(pf.file(cellar), "cellar photographs"));
        } else if (setup == "lose") {
            QFile::remove(pf.file(cellar));
        } else if (setup == "unrecorded") {
            QVERIFY(writeFileBytes(pf.file("locations/Add New.jpg"), "old"));
        } else if (setup == "imported") {
            QCOMPARE(runCli(pf.path(), {"evidence", "import-labels", key, "@/night.wav", "@/labels.txt"}).code, 0);
            QCOMPARE(runCli(pf.path(), {"evidence", "import-readings", key, "@/meter.csv"}).code, 0);
        }
        const CliResult r = runCli(pf.path(), args);
        const QString mismatch = cliMismatch(r, code, pattern);
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
        if (args.value(0) == "reindex")
            QVERIFY(runCli(pf.path(), {"search", "mill"}).out.contains("location\tOld Mill\t"));
        if (args.value(0) == "backup" && code == 0)
            QCOMPARE(locationsIn(pf.file("b.mdb")), QStringList{"Old Mill"});
        if (setup == "exists" && code == 2)
            QCOMPARE(fileBytes(pf.file("b.mdb")), QByteArray("old"));
        if (args.contains("--manifest"))
            QVERIFY(fileBytes(pf.file("m.csv")).contains(",changed\r\n"));
        // A recording is copied in whole by an import that worked, and by no refused one.
        if (setup == "imported" || (args.value(1) == "import-labels" && code == 0))
            QCOMPARE(fileBytes(media), fileBytes(pf.file("night.wav")));
        else
            QVERIFY(!QFile::exists(media));
        QCOMPARE(scratchFiles(pf.path()), QStringList());
    }

    void report_data() {
        QTest::addColumn<QStringList>("args"); // @ the folder, K the night's key
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("pattern"); // in standard output; "2>..." in standard error
        QTest::addColumn<QString>("written"); // "file: a word it shows"; empty when none is written
        QTest::newRow("html") << QStringList{"report", "K", "--out", "@/r.html"} << 0 << "wrote Investigation report"
                              << "r.html: fog";
        QTest::newRow("pdf with contacts") << QStringList{"report", "K", "--out=@/r.pdf", "--contacts"} << 0
                                           << "r.pdf$" << "r.pdf: 555-0101";
        QTest::newRow("location") << QStringList{"report", "--location", "Old Mill", "--out", "@/l.PDF"} << 0
                                  << "Location report: Old Mill" << "l.PDF: snow storm";
        QTest::newRow("unknown key") << QStringList{"report", "New", "--out", "@/r.html"} << 1
                                     << "2>no investigation has the key \"New\"" << "";
        QTest::newRow("name differs in case") << QStringList{"report", "--location", "old mill", "--out", "@/r.pdf"}
                                              << 1 << "2>no location" << "";
        QTest::newRow("no --out") << QStringList{"report", "K"} << 2 << "2>--out" << "";
        QTest::newRow("not html or pdf") << QStringList{"report", "K", "--out", "@/Veilcase.mdb"} << 2
                                         << "2>neither" << "";
        QTest::newRow("key and location") << QStringList{"report", "K", "--location", "Old Mill", "--out", "@/r.pdf"}
                                          << 2 << "2>either" << "";
        QTest::newRow("nothing to report on") << QStringList{"report", "--out", "@/r.pdf"} << 2 << "2>either" << "";
        QTest::newRow("two keys") << QStringList{"report", "K", "K", "--out", "@/r.pdf"} << 2 << "2>one" << "";
        QTest::newRow("unknown option") << QStringList{"report", "K", "--all", "--out", "@/r.pdf"} << 2 << "2>--all"
                                        << "";
        QTest::newRow("folder in the way") << QStringList{"report", "K", "--out", "@/help.pdf"} << 2 << "2>folder"
                                           << "";
        QTest::newRow("no such folder") << QStringList{"report", "K", "--out", "@/none/r.pdf"} << 2
                                        << "2>could not be written" << "";
    }
    void report() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, pattern);
        QFETCH(QString, written);
        ProgramFolder pf;
        const ReportCase c = seedReportCase(pf);
        QDir(pf.path()).mkdir("help.pdf");
        const QByteArray db = fileBytes(pf.databasePath());
        std::replace(args.begin(), args.end(), QString("K"), c.night);
        const QString mismatch = cliMismatch(runCli(pf.path(), args), code, pattern);
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
        if (!written.isEmpty())
            QVERIFY(reportText(pf.file(written.section(": ", 0, 0))).contains(written.section(": ", 1)));
        for (const char* file : {"r.html", "r.pdf", "l.PDF", "none"})
            QCOMPARE(QFile::exists(pf.file(file)), written.startsWith(file));
        QCOMPARE(fileBytes(pf.databasePath()), db); // a report only reads
        QCOMPARE(scratchFiles(pf.path()), QStringList());
    }

    // The program itself, with no display at all.
    void builtProgramWritesWithoutADisplay() {
        ProgramFolder pf;
        const ReportCase c = seedReportCase(pf);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.insert("QT_QPA_PLATFORM", "xcb");
        p.setProcessEnvironment(env);
        p.start(builtProgramFolder() + "/veilcase-cli",
                {"--folder", pf.path(), "report", c.night, "--out", pf.file("r.pdf")});
        QVERIFY(p.waitForFinished(60000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        QVERIFY(reportText(pf.file("r.pdf")).contains("I heard steps in the attic."));
    }
};

QTEST_MAIN(CliTest)
#include "test_cli.moc"
