#include "filebytes.h"
#include "testui.h"

#include "store/fileroutines.h"
#include "store/installation.h"
#include "store/paths.h"
#include "store/version.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace veil;
using namespace veil::test;

namespace {
// Installed files the folder holds from its last filling, and the user's own (which the data also names).
const char* const kSeeded[] = {"Clean_DB", "no_images.jpg", "help/index.htm"};
const char* const kUsers[] = {"Veilcase.mdb", "locations/Kept.jpg", "backup/db_back", "Investigations/17/a.jpg"};
} // namespace

class FileRoutinesTest : public QObject {
    Q_OBJECT
private slots:
    void getField() {
        struct Case { const char* text; const char* delim; int first, last; const char* expected; };
        const Case cases[] = {
            {"12/5/2026", "/", 2, 0, "5"}, {"12/5/2026", "/", 3, 0, "2026"}, {"12/5/2026", "/", 4, 0, ""},
            {"Ann,Bob,", ",", 3, 0, ""}, {"Ann", ",", 7, 0, "Ann"}, {"Ann", ",", 2, 5, "Ann"}, // no delimiter
            {"a,b", ",", 0, 0, "a"}, {"a,b", ",", -32768, -32768, "a"},
            {",a", ",", 1, 0, ""}, {",a", ",", 2, 0, "a"}, {"a,,b", ",", 2, 0, ""}, {"", ",", 1, 0, ""}, {"a,b", "", 1, 0, ""},
            {"a,b,c,d", ",", 2, 3, "b,c"}, {"a,b,c,d", ",", 1, 2, "a,b"}, {"a,b,c,d", ",", 3, 9, "c,d"},
            {"a,b", ",", 3, 4, ""}, {"a,b,c", ",", 2, 1, "b"},              // last below first means first
            {"aXbxc", "x", 1, 0, "aXb"}, {"a::b::c", "::", 2, 0, "b"}, {"a::b::c", "::", 2, 3, "b::c"},
            {"10-31-2005 11:45 pm-17", "-", 3, 0, "2005 11:45 pm"},
            {"a,b", ",", 32767, 0, ""}, {"a,b", ",", 65537, 0, ""},            // no wrap back to field 1
        };
        for (const Case& c : cases)
            QVERIFY2(GetField(c.text, c.delim, c.first, c.last) == QLatin1String(c.expected),
                     qPrintable(QStringLiteral("%1 %2 %3").arg(c.text).arg(c.first).arg(c.last)));

        // Past the old 16-bit positions the fields go on being counted the same way.
        QString list;
        for (int i = 1; i <= 40000; ++i)
            list += QString::number(i) + QLatin1Char(',');
        QCOMPARE(GetField(list, QStringLiteral(","), 32768), QStringLiteral("32768"));
        QCOMPARE(GetField(list, QStringLiteral(","), 39999, 40000), QStringLiteral("39999,40000"));
        QCOMPARE(GetField(list, QStringLiteral(","), 40001), QString());
    }

    void getExtension() {
        const char* const cases[][2] = {
            {"C:\\Pics\\mill.JPG", "JPG"}, {"/home/me/photo", ""}, {"", ""}, {"archive.tar.gz", "gz"},
            {"/a.b/photo", "b/photo"}, {"photo.", ""}, {"photo.  jpg  ", "jpg"}, {"photo.   ", ""},
            {"photo.j pg", "j pg"}, {"photo.\tjpg\n", "\tjpg\n"}, {".hidden", "hidden"},
        };
        for (const auto& c : cases)
            QCOMPARE(GetExtension(c[0]), QString(c[1]));
    }

    // The hostile keys themselves are refused in the attachment tests; these are the edges.
    void fileNames() {
        const QString jpg = "jpg";
        for (const QString& fine : QStringList{" Old Mill ", "...", "a\\b", "Église", QString(251, u'a')})
            QVERIFY2(fileNameProblem(fine, jpg).isEmpty(), qPrintable(fine));
        // The name's bytes count, not its characters.
        for (const QString& bad : QStringList{QString(), "\t", "a/b", QString(252, u'a'), QString(126, QChar(0xe9))})
            QVERIFY2(fileNameProblem(bad, jpg).contains(QStringLiteral("cannot")), qPrintable(bad));
        QVERIFY(!fileNameProblem("..\\x", jpg, KeyUse::StoredPathPart).isEmpty());
        QVERIFY(fileNameProblem(QString(255, u'a')).isEmpty());
        QVERIFY(!fileNameProblem(QString(256, u'a')).isEmpty());
    }

    void copyFileAsksShowsAndGoesOn() {
        TestUi ui;
        QTemporaryDir dir;
        const QString src = dir.filePath("new.jpg");
        const QByteArray big = QByteArray("0123456789abcdef\0\xff", 18).repeated(175000); // several copy chunks
        QVERIFY(writeFileBytes(src, big));
        const QDateTime srcTime = QFileInfo(src).lastModified();

        const QString deep = dir.filePath("Investigations/17/Cellar door.jpg"); // folders made
        CopyFile(src, deep);
        QCOMPARE(fileBytes(deep), big);

        // Replacing asks; "no" keeps the old file byte for byte, "yes" replaces it and keeps its permissions.
        const QString dst = dir.filePath("locations/Old Mill.jpg");
        QVERIFY(writeFileBytes(dst, "old copy"));
        QFile::setPermissions(dst, QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);
        ui.setNextAnswer(false);
        CopyFile(src, dst);
        QCOMPARE(fileBytes(dst), QByteArray("old copy"));
        ui.setNextAnswer(true);
        CopyFile(src, dst);
        QCOMPARE(fileBytes(dst), big);
        QCOMPARE(QFileInfo(dst).permissions() & 0x777, QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);

        CopyFile(dst, dst); // onto itself: nothing to do, nothing asked
        QCOMPARE(ui.replaceAsked, (QStringList{dst, dst}));
        QVERIFY(ui.messages.isEmpty());
        QVERIFY(scratchFiles(QFileInfo(dst).absolutePath()).isEmpty());

        // Failures are shown, and the caller goes on.
        QVERIFY(writeFileBytes(dir.filePath("blocked"), "a file where a folder is needed (binds root too)"));
        CopyFile(src, dir.filePath("blocked/sub/a.jpg"));
        QDir().mkpath(dir.filePath("taken/inner"));
        CopyFile(src, dir.filePath("taken"));
        CopyFile(dir.filePath("missing.jpg"), dir.filePath("out.jpg"));
        QCOMPARE(ui.messages.size(), 3);
        QVERIFY(ui.messages[0].text.contains("blocked/sub/a.jpg"));
        QVERIFY(QFileInfo(dir.filePath("taken/inner")).isDir());
        QVERIFY(!QFile::exists(dir.filePath("out.jpg")));
        QCOMPARE(fileBytes(src), big);
        QCOMPARE(QFileInfo(src).lastModified(), srcTime);
    }

    // A write that fails half way leaves the old file whole and no temporary behind.
    void failedWriteLeavesTheOldFile() {
        QTemporaryDir dir;
        const QString dst = dir.filePath("Veilcase.mdb");
        QVERIFY(writeFileBytes(dst, "the whole database"));
        QString error;
        QVERIFY(!writeFileAtomically(dst, [](QIODevice& out) { return out.write("half") < 0; }, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(fileBytes(dst), QByteArray("the whole database"));
        QVERIFY(scratchFiles(dir.path()).isEmpty());
        // The longest allowed name still gets its temporary beside it.
        const QString longest = dir.filePath(QString(255, u'n'));
        QVERIFY(copyFileAtomically(dst, longest, &error));
        QCOMPARE(fileBytes(longest), QByteArray("the whole database"));
    }

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

    // The per-user program folder after an upgrade: what came from the installed
    // data is refreshed when that data is newer than the version that filled the
    // folder; the user's cases are never written.
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

QTEST_GUILESS_MAIN(FileRoutinesTest)
#include "test_fileroutines.moc"
