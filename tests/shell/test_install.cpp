#include "filebytes.h"
#include "programfolder.h"
#include "store/casedb.h"
#include "store/version.h"

#include <QDirIterator>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace veil;
using namespace veil::test;

namespace {
struct Run {
    int exitCode = -1;
    QString out, err;
};

// Starts a program the way the desktop would, with its own home folder, and
// lets it close itself once the dashboard is up. With `window` false there is
// no window system at all.
QProcessEnvironment desktop(const QString& home, bool window = true) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
                          "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QLatin1String(v));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), window ? QStringLiteral("offscreen") : QStringLiteral("xcb"));
    return env;
}

Run start(const QString& program, const QString& home, const QStringList& arguments = {},
          bool window = true) {
    QProcess p;
    QProcessEnvironment env = desktop(home, window);
    env.insert(QStringLiteral("VEILCASE_QUIT_AFTER_START"), QStringLiteral("1"));
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    if (!p.waitForFinished(120000)) {
        p.kill(); // a crash exit: counted as -1
        p.waitForFinished();
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}
} // namespace

class InstallTest : public QObject {
    Q_OBJECT
    QTemporaryDir prefix;

  private slots:
    void initTestCase() {
        const QString build = QDir(builtProgramFolder()).absoluteFilePath(QStringLiteral(".."));
        QVERIFY2(QFile::exists(builtProgramFolder() + QStringLiteral("/veilcase")),
                 "build the program (target veilcase) before this test");
        const QString cmake = QStandardPaths::findExecutable(QStringLiteral("cmake"));
        QVERIFY(!cmake.isEmpty());
        QProcess install;
        install.start(cmake, {"--install", build, "--prefix", prefix.path()});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
    }

    void installsLikeADesktopProgram() {
        const QDir p(prefix.path());
        QVERIFY(QFileInfo(p.filePath("bin/veilcase")).isExecutable());
        const QDir data(p.filePath("share/veilcase"));
        QVERIFY(Connection::problemWith(data.filePath("Clean_DB")).isEmpty());
        for (const char* f : {"location.jpg", "no_images.jpg", "No_Records.jpg", "investigator.jpg", "new_image.jpg"})
            QVERIFY2(!QImage(data.filePath(QLatin1String(f))).isNull(), f);
        // A user's database never ships.
        QVERIFY(!QFile::exists(data.filePath("Veilcase.mdb")) && !QFile::exists(p.filePath("bin/Veilcase.mdb")));

        const QByteArray entry = fileBytes(p.filePath("share/applications/veilcase.desktop"));
        QVERIFY(entry.contains("\nExec=veilcase\n") && entry.contains("\nIcon=veilcase\n"));
        for (int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
            const QImage icon(p.filePath(QStringLiteral("share/icons/hicolor/%1x%1/apps/veilcase.png").arg(size)));
            QCOMPARE(icon.size(), QSize(size, size));
        }
        for (const char* f : {"share/veilcase/help/index.htm", "share/icons/hicolor/scalable/apps/veilcase.svg",
                              "share/man/man1/veilcase.1.gz", "share/man/man1/veilcase-cli.1.gz",
                              "share/doc/veilcase/copyright", "share/doc/veilcase/changelog.gz",
                              "share/metainfo/org.example.veilcase.metainfo.xml"})
            QVERIFY2(QFileInfo(p.filePath(QLatin1String(f))).size() > 0, f);
    }

    // The program takes no arguments; --help and --version need no window system.
    void commandLineIsAnsweredWithoutAWindow_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said"); // in standard output on 0, all of standard error otherwise
        QTest::newRow("--help") << QStringList{"--help"} << 0 << "  -v, --version  ";
        QTest::newRow("--version") << QStringList{"--version"} << 0 << "veilcase " + kVersion + "\n";
        QTest::newRow("Qt's own option") << QStringList{"-platform", "offscreen"} << 1
                                         << "veilcase: Unknown option 'platform' (see 'veilcase --help')\n";
        QTest::newRow("a word of the program") << QStringList{"New"} << 1
                                               << "veilcase: unexpected argument 'New': the program takes no "
                                                  "arguments (see 'veilcase --help')\n";
    }
    void commandLineIsAnsweredWithoutAWindow() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        QTemporaryDir home;
        const Run r = start(prefix.filePath("bin/veilcase"), home.path(), arguments, false);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(exitCode ? r.out.isEmpty() : r.out.contains(said), qPrintable(r.out));
        QCOMPARE(r.err, exitCode ? said : QString());
        QVERIFY(!QFile::exists(home.filePath(".local/share/Veilcase"))); // nothing seeded
    }

    void firstStartSeedsAndLaterStartsKeepTheUsersData() {
        QTemporaryDir home;
        const QString program = prefix.filePath("bin/veilcase");
        const QString folder = home.filePath(".local/share/Veilcase/Veilcase");
        Run r = start(program, home.path());
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains(QStringLiteral("program folder: ") + folder), qPrintable(r.out));

        // Every installed file is copied, and the case database made from the clean one.
        const QDir f(folder), data(prefix.filePath("share/veilcase"));
        for (QDirIterator it(data.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            const QString name = data.relativeFilePath(it.next());
            QVERIFY2(fileBytes(f.filePath(name)) == fileBytes(it.filePath()), qPrintable(name));
        }
        QCOMPARE(fileBytes(f.filePath("Veilcase.mdb")), fileBytes(data.filePath("Clean_DB")));
        for (const char* d : {"locations", "investigators", "Investigations"})
            QVERIFY2(QFileInfo(f.filePath(QLatin1String(d))).isDir(), d);
        QVERIFY(QFileInfo(f.filePath("Veilcase.mdb")).isWritable());

        // The user works; a placeholder goes missing (which files an upgrade may touch: test_fileroutines).
        Connection::open(folder)->add(tables::location, {{"LocationName", "Kept"}});
        QVERIFY(QFile::remove(f.filePath("no_images.jpg")));

        r = start(program, home.path());
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QCOMPARE(Connection::open(folder)->column(tables::location, "LocationName"),
                 QStringList{"Kept"});
        QVERIFY(QFile::exists(f.filePath("no_images.jpg"))); // what was missing is put back
    }

    // The program copied into a folder beside its data runs there, a portable program folder. Having
    // lost its database, it says so and keeps it that way: the per-user case file is the installed
    // program's only. One running copy per folder: a second start says so and ends; the lock of one that
    // was killed is taken over, and so are its scratch files.
    void aPortableFolderHasItsOwnDatabaseAndOneCopy() {
        QTemporaryDir portable, home;
        const QDir d(portable.path());
        QVERIFY(QFile::copy(prefix.filePath("bin/veilcase"), d.filePath("veilcase")));
        QVERIFY(writeFileBytes(d.filePath("Clean_DB"), fileBytes(prefix.filePath("share/veilcase/Clean_DB"))));
        const QString other = home.filePath(".local/share/Veilcase/Veilcase/Veilcase.mdb");
        QVERIFY(writeFileBytes(other, fileBytes(d.filePath("Clean_DB"))));
        Connection::openFile(other)->add(tables::location, {{"LocationName", "Someone else's"}});
        const QByteArray otherBytes = fileBytes(other);
        Run r = start(d.filePath("veilcase"), home.path());
        QVERIFY2(r.out.contains("program folder: " + portable.path() + '\n'), qPrintable(r.out));
        QVERIFY2(r.err.contains(QStringLiteral("The case database \"%1\" is missing from the program folder")
                                    .arg(d.filePath("Veilcase.mdb"))),
                 qPrintable(r.err));
        QVERIFY(!QFile::exists(d.filePath("Veilcase.mdb")));

        QVERIFY(writeFileBytes(d.filePath("Veilcase.mdb"), fileBytes(d.filePath("Clean_DB"))));
        QProcess first;
        first.setProcessEnvironment(desktop(home.path()));
        first.start(d.filePath("veilcase"), {});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(d.filePath("Veilcase.mdb.lock")), 30000);
        r = start(d.filePath("veilcase"), home.path());
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(QStringLiteral("The case file \"%1\" is open in another Veilcase")
                                    .arg(d.filePath("Veilcase.mdb"))),
                 qPrintable(r.err));
        QVERIFY(!r.out.contains(QLatin1String("program folder:")));

        first.kill();
        QVERIFY(first.waitForFinished());
        const QStringList stale{".veilcase-Ab3dE9", "backup/.veilcase-x1Y2z3-journal",
                                "Investigations/4/.veilcase-QQQQQQ"};
        for (const QString& f : stale + QStringList{".veilcase-keep.txt"})
            QVERIFY(writeFileBytes(d.filePath(f), "left"));
        r = start(d.filePath("veilcase"), home.path());
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains("program folder: " + portable.path() + '\n'), qPrintable(r.out));
        for (const QString& f : stale)
            QVERIFY2(!QFile::exists(d.filePath(f)), qPrintable(f));
        QVERIFY(QFile::exists(d.filePath(".veilcase-keep.txt"))); // not of our naming
        QCOMPARE(fileBytes(other), otherBytes);
        QCOMPARE(QDir(QFileInfo(other).path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Veilcase.mdb"});
    }
};

QTEST_GUILESS_MAIN(InstallTest)
#include "test_install.moc"
