#include "fileroutines.h"
#include "testui.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>


using namespace veil;

namespace {
QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
void writeAll(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(data) == data.size());
}
QStringList leftovers(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral(".veilcase-*")}, QDir::Files | QDir::Hidden);
}
} // namespace

class FileRoutinesTest : public QObject {
    Q_OBJECT
private slots:
    void getField() {
        struct Case { const char* text; const char* delim; int first, last; const char* expected; };
        const Case cases[] = {
            {"12/5/2026", "/", 1, 0, "12"}, {"12/5/2026", "/", 2, 0, "5"}, {"12/5/2026", "/", 3, 0, "2026"},
            {"12/5/2026", "/", 4, 0, ""},                                  // past the end
            {"Ann,Bob,", ",", 2, 0, "Bob"}, {"Ann,Bob,", ",", 3, 0, ""}, {"Ann,Bob,", ",", 9, 0, ""},
            {"Ann", ",", 1, 0, "Ann"}, {"Ann", ",", 7, 0, "Ann"}, {"Ann", ",", 2, 5, "Ann"}, // no delimiter
            {"a,b", ",", 0, 0, "a"}, {"a,b", ",", -3, 0, "a"}, {"a,b", ",", -32768, -32768, "a"},
            {",a", ",", 1, 0, ""}, {",a", ",", 2, 0, "a"}, {"a,,b", ",", 2, 0, ""},
            {"", ",", 1, 0, ""}, {"a,b", "", 1, 0, ""},
            {"a,b,c,d", ",", 2, 3, "b,c"}, {"a,b,c,d", ",", 1, 2, "a,b"}, {"a,b,c,d", ",", 3, 9, "c,d"},
            {"a,b", ",", 3, 4, ""}, {"a,b,c", ",", 2, 1, "b"},              // last below first means first
            {"aXbxc", "x", 1, 0, "aXb"},                                     // case-sensitive
            {"a::b::c", "::", 2, 0, "b"}, {"a::b::c", "::", 2, 3, "b::c"},
            {"10-31-2005 11:45 pm-17", "-", 3, 0, "2005 11:45 pm"},
            {"a,b", ",", 32767, 0, ""}, {"a,b", ",", 65537, 0, ""},            // no wrap back to field 1
        };
        for (const Case& c : cases)
            QVERIFY2(GetField(QString::fromUtf8(c.text), QString::fromUtf8(c.delim), c.first, c.last) ==
                         QString::fromUtf8(c.expected),
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
            QCOMPARE(GetExtension(QString::fromUtf8(c[0])), QString::fromUtf8(c[1]));
    }

    void fileNames() {
        const QString jpg = QStringLiteral("jpg");
        for (const QString& fine : {QStringLiteral("Old Mill"), QStringLiteral(" Old Mill "), QStringLiteral("..."),
                                    QStringLiteral("a\\b"), QStringLiteral("Église"), QString(251, u'a')})
            QVERIFY2(fileNameProblem(fine, jpg).isEmpty(), qPrintable(fine));
        const QString refused[] = {QString(), QStringLiteral("  "), QStringLiteral("\t"), QStringLiteral("../Veilcase"),
                                   QStringLiteral("a/b"), QStringLiteral("a") + QChar(0), QStringLiteral("."),
                                   QStringLiteral(".."), QString(252, u'a'), QString(126, QChar(0xe9))};
        for (const QString& bad : refused)
            QVERIFY2(fileNameProblem(bad, jpg).contains(QStringLiteral("cannot")), qPrintable(bad));
        QVERIFY(!fileNameProblem(QStringLiteral("Mill"), QStringLiteral("b/photo")).isEmpty());
        QVERIFY(!fileNameProblem(QStringLiteral("..\\x"), jpg, KeyUse::StoredPathPart).isEmpty());
        QVERIFY(fileNameProblem(QString(255, u'a')).isEmpty());
        QVERIFY(!fileNameProblem(QString(256, u'a')).isEmpty());
    }

    void copyFile() {
        test::TestUi ui;
        QTemporaryDir dir;
        const QString src = dir.filePath(QStringLiteral("new.jpg"));
        QByteArray big(3 * 1024 * 1024 + 17, '\0'); // several copy chunks
        for (int i = 0; i < big.size(); ++i)
            big[i] = char(i * 31 + 7);
        writeAll(src, big);
        const QDateTime srcTime = QFileInfo(src).lastModified();

        // Missing folders are made.
        const QString deep = dir.filePath(QStringLiteral("Investigations/17/Cellar door.jpg"));
        CopyFile(src, deep);
        QCOMPARE(readAll(deep), big);

        // Replacing asks; "no" keeps the old file byte for byte, "yes" replaces it
        // and keeps its permissions.
        const QString dst = dir.filePath(QStringLiteral("locations/Old Mill.jpg"));
        writeAll(dst, "old copy");
        QFile::setPermissions(dst, QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);
        ui.setNextAnswer(false);
        CopyFile(src, dst);
        QCOMPARE(readAll(dst), QByteArray("old copy"));
        ui.setNextAnswer(true);
        CopyFile(src, dst);
        QCOMPARE(readAll(dst), big);
        QCOMPARE(ui.replaceAsked, (QStringList{dst, dst}));
        QCOMPARE(QFileInfo(dst).permissions() & 0x777, QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);

        // Onto itself: nothing to do, nothing asked.
        CopyFile(dst, dst);
        QCOMPARE(ui.replaceAsked.size(), 2);
        QVERIFY(ui.messages.isEmpty());
        QVERIFY(leftovers(QFileInfo(dst).absolutePath()).isEmpty());
        QCOMPARE(readAll(src), big);
        QCOMPARE(QFileInfo(src).lastModified(), srcTime);
    }

    void copyFailuresAreShownAndTheCallerGoesOn() {
        test::TestUi ui;
        QTemporaryDir dir;
        const QString src = dir.filePath(QStringLiteral("a.jpg"));
        writeAll(src, "abc");
        writeAll(dir.filePath(QStringLiteral("blocked")), "a file where a folder is needed (binds root too)");
        CopyFile(src, dir.filePath(QStringLiteral("blocked/sub/a.jpg")));
        QDir().mkpath(dir.filePath(QStringLiteral("taken/inner")));
        CopyFile(src, dir.filePath(QStringLiteral("taken")));
        CopyFile(dir.filePath(QStringLiteral("missing.jpg")), dir.filePath(QStringLiteral("out.jpg")));
        QCOMPARE(ui.messages.size(), 3);
        QVERIFY(ui.messages[0].text.contains(QStringLiteral("blocked/sub/a.jpg")));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("taken/inner"))).isDir());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out.jpg"))));
        QCOMPARE(readAll(src), QByteArray("abc"));
    }

    // A write that fails half way leaves the old file whole and no temporary behind.
    void failedWriteLeavesTheOldFile() {
        QTemporaryDir dir;
        const QString dst = dir.filePath(QStringLiteral("Veilcase.mdb"));
        writeAll(dst, "the whole database");
        QString error;
        QVERIFY(!writeFileAtomically(dst, [](QIODevice& out) { return out.write("half") < 0; }, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(readAll(dst), QByteArray("the whole database"));
        QVERIFY(leftovers(dir.path()).isEmpty());
        // The longest allowed name still gets its temporary beside it.
        const QString longest = dir.filePath(QString(255, u'n'));
        QVERIFY(copyFileAtomically(dst, longest, &error));
        QCOMPARE(readAll(longest), QByteArray("the whole database"));
    }
};

QTEST_GUILESS_MAIN(FileRoutinesTest)
#include "test_fileroutines.moc"
