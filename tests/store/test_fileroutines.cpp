#include "filebytes.h"
#include "store/fileroutines.h"
#include "testui.h"

#include <QTemporaryDir>
#include <QTest>

using namespace veil;
using namespace veil::test;

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

    void copyFile() {
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
        QCOMPARE(fileBytes(src), big);
        QCOMPARE(QFileInfo(src).lastModified(), srcTime);
    }

    void copyFailuresAreShownAndTheCallerGoesOn() {
        TestUi ui;
        QTemporaryDir dir;
        const QString src = dir.filePath("a.jpg");
        QVERIFY(writeFileBytes(src, "abc"));
        QVERIFY(writeFileBytes(dir.filePath("blocked"), "a file where a folder is needed (binds root too)"));
        CopyFile(src, dir.filePath("blocked/sub/a.jpg"));
        QDir().mkpath(dir.filePath("taken/inner"));
        CopyFile(src, dir.filePath("taken"));
        CopyFile(dir.filePath("missing.jpg"), dir.filePath("out.jpg"));
        QCOMPARE(ui.messages.size(), 3);
        QVERIFY(ui.messages[0].text.contains("blocked/sub/a.jpg"));
        QVERIFY(QFileInfo(dir.filePath("taken/inner")).isDir());
        QVERIFY(!QFile::exists(dir.filePath("out.jpg")));
        QCOMPARE(fileBytes(src), QByteArray("abc"));
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
};

QTEST_GUILESS_MAIN(FileRoutinesTest)
#include "test_fileroutines.moc"
