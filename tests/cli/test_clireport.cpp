#include "clirun.h"
#include "reportcase.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace veil;
using namespace veil::test;

class CliReportTest : public QObject {
    Q_OBJECT
private slots:
    void report_data() {
        QTest::addColumn<QStringList>("args"); // @ is the program folder, KEY the night's key
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("pattern"); // in standard output; "2>..." in standard error
        QTest::addColumn<QString>("written"); // a word the written file shows; empty when none is written
        QTest::newRow("html") << QStringList{"report", "KEY", "--out", "@/r.html"} << 0 << "wrote Investigation report"
                              << "fog";
        QTest::newRow("pdf with contacts") << QStringList{"report", "KEY", "--out=@/r.pdf", "--contacts"} << 0
                                           << "r.pdf$" << "555-0101";
        QTest::newRow("location") << QStringList{"report", "--location", "Old Mill", "--out", "@/l.PDF"} << 0
                                  << "Location report: Old Mill" << "snow storm";
        QTest::newRow("unknown key") << QStringList{"report", "New", "--out", "@/r.html"} << 1
                                     << "2>no investigation has the key \"New\"" << "";
        QTest::newRow("name differs in case") << QStringList{"report", "--location", "old mill", "--out", "@/r.pdf"}
                                              << 1 << "2>no location" << "";
        QTest::newRow("no --out") << QStringList{"report", "KEY"} << 2 << "2>--out" << "";
        QTest::newRow("not html or pdf") << QStringList{"report", "KEY", "--out", "@/Veilcase.mdb"} << 2
                                         << "2>neither" << "";
        QTest::newRow("key and location") << QStringList{"report", "KEY", "--location", "Old Mill", "--out", "@/r.pdf"}
                                          << 2 << "2>either" << "";
        QTest::newRow("nothing to report on") << QStringList{"report", "--out", "@/r.pdf"} << 2 << "2>either" << "";
        QTest::newRow("two keys") << QStringList{"report", "KEY", "KEY", "--out", "@/r.pdf"} << 2 << "2>one" << "";
        QTest::newRow("unknown option") << QStringList{"report", "KEY", "--all", "--out", "@/r.pdf"} << 2 << "2>--all"
                                        << "";
        QTest::newRow("folder in the way") << QStringList{"report", "KEY", "--out", "@/help.pdf"} << 2 << "2>folder"
                                           << "";
        QTest::newRow("no such folder") << QStringList{"report", "KEY", "--out", "@/none/r.pdf"} << 2
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
        std::replace(args.begin(), args.end(), QString("KEY"), c.night);
        const QString mismatch = cliMismatch(runCli(pf.path(), args), code, pattern);
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
        const qsizetype at = args.indexOf(QRegularExpression("--out.*"));
        QString out = at < 0 ? QString() : args[at] == "--out" ? args.value(at + 1) : args[at].section('=', 1);
        out.replace('@', pf.path());
        if (!written.isEmpty())
            QVERIFY(reportText(out).contains(written));
        else
            QVERIFY(!QFileInfo(out).isFile() || out.endsWith("Veilcase.mdb"));
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

QTEST_MAIN(CliReportTest)
#include "test_clireport.moc"
