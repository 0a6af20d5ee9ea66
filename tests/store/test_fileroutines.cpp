#include "fileroutines.h"
#include "testui.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace veil;
using veil::test::TestUi;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QStringList leftovers(const QString& folder) {
    return QDir(folder).entryList(QStringList{QStringLiteral(".veilcase-*")}, QDir::Files | QDir::Hidden);
}

} // namespace

class FileRoutinesTest : public QObject {
    Q_OBJECT
private slots:
    void getField_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("delimiter");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* name, const QString& text, const QString& delim, int first, int last,
                      const QString& expected) { QTest::newRow(name) << text << delim << first << last << expected; };
        const QString date = QStringLiteral("12/5/2026");
        const QString slash = QStringLiteral("/");
        const QString comma = QStringLiteral(",");
        row("date 1", date, slash, 1, 0, QStringLiteral("12"));
        row("date 2", date, slash, 2, 0, QStringLiteral("5"));
        row("date 3", date, slash, 3, 0, QStringLiteral("2026"));
        row("date 4 is past the end", date, slash, 4, 0, QString());
        const QString list = QStringLiteral("Ann,Bob,Cy,");
        row("list 1", list, comma, 1, 0, QStringLiteral("Ann"));
        row("list 3", list, comma, 3, 0, QStringLiteral("Cy"));
        row("list n+1 is the empty tail", list, comma, 4, 0, QString());
        row("list n+2", list, comma, 5, 0, QString());
        row("no delimiter, field 1", QStringLiteral("Ann"), comma, 1, 0, QStringLiteral("Ann"));
        row("no delimiter, field 7", QStringLiteral("Ann"), comma, 7, 0, QStringLiteral("Ann"));
        row("no delimiter, range", QStringLiteral("Ann"), comma, 2, 5, QStringLiteral("Ann"));
        row("first 0 is 1", list, comma, 0, 0, QStringLiteral("Ann"));
        row("first negative is 1", list, comma, -3, 0, QStringLiteral("Ann"));
        row("first -32768 is 1", list, comma, -32768, -32768, QStringLiteral("Ann"));
        row("leading delimiter, field 1", QStringLiteral(",a,b"), comma, 1, 0, QString());
        row("leading delimiter, field 2", QStringLiteral(",a,b"), comma, 2, 0, QStringLiteral("a"));
        row("empty field inside", QStringLiteral("a,,b"), comma, 2, 0, QString());
        row("empty text", QString(), comma, 1, 0, QString());
        row("empty delimiter", QStringLiteral("a,b"), QString(), 1, 0, QString());
        row("range 2..3 keeps the delimiter between", QStringLiteral("a,b,c,d"), comma, 2, 3, QStringLiteral("b,c"));
        row("range 1..2", QStringLiteral("a,b,c,d"), comma, 1, 2, QStringLiteral("a,b"));
        row("range past the end runs to the end", QStringLiteral("a,b,c,d"), comma, 3, 9, QStringLiteral("c,d"));
        row("range from past the end", QStringLiteral("a,b"), comma, 3, 4, QString());
        row("last below first means first", QStringLiteral("a,b,c"), comma, 2, 1, QStringLiteral("b"));
        row("case-sensitive delimiter", QStringLiteral("aXbxc"), QStringLiteral("x"), 1, 0, QStringLiteral("aXb"));
        row("longer delimiter", QStringLiteral("a::b::c"), QStringLiteral("::"), 2, 0, QStringLiteral("b"));
        row("longer delimiter, range", QStringLiteral("a::b::c"), QStringLiteral("::"), 2, 3, QStringLiteral("b::c"));
        row("interview key date", QStringLiteral("10-31-2005 11:45 pm-17"), QStringLiteral("-"), 3, 0,
            QStringLiteral("2005 11:45 pm"));
        row("large field number does not wrap to 1", QStringLiteral("a,b"), comma, 65537, 0, QString());
        row("32767", QStringLiteral("a,b"), comma, 32767, 0, QString());
    }
    void getField() {
        QFETCH(QString, text);
        QFETCH(QString, delimiter);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(QString, expected);
        QCOMPARE(GetField(text, delimiter, first, last), expected);
        if (last == 0) // the callers' form
            QCOMPARE(GetField(text, delimiter, first), expected);
    }

    // Past the old 16-bit positions the routine keeps counting the same way.
    void getFieldLongTexts() {
        QString list;
        for (int i = 1; i <= 40000; ++i)
            list += QString::number(i) + QLatin1Char(',');
        QVERIFY(list.size() > 32767);
        QCOMPARE(GetField(list, QStringLiteral(","), 1), QStringLiteral("1"));
        QCOMPARE(GetField(list, QStringLiteral(","), 32767), QStringLiteral("32767"));
        QCOMPARE(GetField(list, QStringLiteral(","), 32768), QStringLiteral("32768"));
        QCOMPARE(GetField(list, QStringLiteral(","), 40000), QStringLiteral("40000"));
        QCOMPARE(GetField(list, QStringLiteral(","), 40001), QString());
        QCOMPARE(GetField(list, QStringLiteral(","), 39999, 40000), QStringLiteral("39999,40000"));
        const QString plain(50000, QLatin1Char('x'));
        QCOMPARE(GetField(plain, QStringLiteral(","), 3), plain);
    }

    void getExtension_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("letter case kept") << QStringLiteral("C:\\Pics\\mill.JPG") << QStringLiteral("JPG");
        QTest::newRow("no dot") << QStringLiteral("/home/me/photo") << QString();
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("last dot wins") << QStringLiteral("archive.tar.gz") << QStringLiteral("gz");
        QTest::newRow("dot only in a folder") << QStringLiteral("/a.b/photo") << QStringLiteral("b/photo");
        QTest::newRow("ends with a dot") << QStringLiteral("photo.") << QString();
        QTest::newRow("spaces trimmed") << QStringLiteral("photo.  jpg  ") << QStringLiteral("jpg");
        QTest::newRow("only spaces after the dot") << QStringLiteral("photo.   ") << QString();
        QTest::newRow("inner space kept") << QStringLiteral("photo.j pg") << QStringLiteral("j pg");
        QTest::newRow("only spaces are trimmed") << QStringLiteral("photo.\tjpg\n") << QStringLiteral("\tjpg\n");
        QTest::newRow("hidden file") << QStringLiteral(".hidden") << QStringLiteral("hidden");
    }
    void getExtension() {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(GetExtension(path), expected);
    }

    void fileNames_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<bool>("storedPath");
        QTest::addColumn<bool>("usable");
        const QString jpg = QStringLiteral("jpg");
        auto row = [](const char* name, const QString& key, const QString& ext, bool stored, bool usable) {
            QTest::newRow(name) << key << ext << stored << usable;
        };
        row("plain", QStringLiteral("Old Mill"), jpg, false, true);
        row("spaces around are kept", QStringLiteral(" Old Mill "), jpg, false, true);
        row("three dots", QStringLiteral("..."), jpg, false, true);
        row("backslash is a file name character", QStringLiteral("a\\b"), jpg, false, true);
        row("accents", QStringLiteral("Église Saint-Léon"), jpg, false, true);
        row("no extension", QStringLiteral("Old Mill"), QString(), false, true);
        row("empty", QString(), jpg, false, false);
        row("blank", QStringLiteral("   "), jpg, false, false);
        row("tab only", QStringLiteral("\t"), jpg, false, false);
        row("parent path", QStringLiteral("../Veilcase"), QStringLiteral("mdb"), false, false);
        row("slash", QStringLiteral("a/b"), jpg, false, false);
        row("absolute", QStringLiteral("/etc/passwd"), jpg, false, false);
        row("nul", QString(QStringLiteral("a")) + QChar(0) + QStringLiteral("b"), jpg, false, false);
        row("dot", QStringLiteral("."), jpg, false, false);
        row("dot dot", QStringLiteral(".."), jpg, false, false);
        row("251 + .jpg fits", QString(251, QLatin1Char('a')), jpg, false, true);
        row("252 + .jpg is too long", QString(252, QLatin1Char('a')), jpg, false, false);
        row("bytes, not characters", QString(126, QChar(0xe9)), jpg, false, false); // 252 bytes + 4
        row("extension with a folder", QStringLiteral("Old Mill"), QStringLiteral("b/photo"), false, false);
        row("backslash in a stored path", QStringLiteral("..\\..\\Veilcase"), jpg, true, false);
        row("backslash extension in a stored path", QStringLiteral("x"), QStringLiteral("b\\c"), true, false);
    }
    void fileNames() {
        QFETCH(QString, key);
        QFETCH(QString, extension);
        QFETCH(bool, storedPath);
        QFETCH(bool, usable);
        const QString problem =
            fileNameProblem(key, extension, storedPath ? KeyUse::StoredPathPart : KeyUse::FileName);
        QCOMPARE(problem.isEmpty(), usable);
        if (!usable)
            QVERIFY2(problem.contains(QStringLiteral("cannot")), qPrintable(problem));
    }

    void keyAlone() {
        QVERIFY(fileNameProblem(QString(255, QLatin1Char('a'))).isEmpty());
        QVERIFY(!fileNameProblem(QString(256, QLatin1Char('a'))).isEmpty());
        QVERIFY(!fileNameProblem(QStringLiteral("..")).isEmpty());
        QVERIFY(fileNameProblem(QStringLiteral("a\\b")).isEmpty());
    }

    void copyCreatesMissingFolders() {
        TestUi ui;
        QTemporaryDir dir;
        const QString src = dir.filePath(QStringLiteral("src.bin"));
        QVERIFY(writeAll(src, QByteArray("picture bytes")));
        const QString dst = dir.filePath(QStringLiteral("Investigations/17/deeper/Cellar door.JPG"));
        CopyFile(src, dst);
        QCOMPARE(readAll(dst), QByteArray("picture bytes"));
        QVERIFY(ui.messages.isEmpty());
        QVERIFY(ui.replaceAsked.isEmpty());
        QVERIFY(leftovers(QFileInfo(dst).absolutePath()).isEmpty());
    }

    void copyAsksBeforeReplacing() {
        TestUi ui;
        QTemporaryDir dir;
        const QString src = dir.filePath(QStringLiteral("new.jpg"));
        const QString dst = dir.filePath(QStringLiteral("locations/Old Mill.jpg"));
        QByteArray big(3 * 1024 * 1024 + 17, '\0'); // several copy chunks
        for (int i = 0; i < big.size(); ++i)
            big[i] = char(i * 31 + 7);
        QVERIFY(writeAll(src, big));
        QVERIFY(writeAll(dst, QByteArray("old copy")));
        QFile::setPermissions(dst, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        const QDateTime srcTime = QFileInfo(src).lastModified();

        ui.setNextAnswer(false);
        CopyFile(src, dst);
        QCOMPARE(ui.replaceAsked, QStringList{dst});
        QCOMPARE(readAll(dst), QByteArray("old copy"));

        ui.setNextAnswer(true);
        CopyFile(src, dst);
        QCOMPARE(ui.replaceAsked.size(), 2);
        QCOMPARE(readAll(dst), big);
        QVERIFY(ui.messages.isEmpty());
        // The replaced file keeps its permissions; the source is only read.
        QCOMPARE(QFileInfo(dst).permissions() & 0x0777,
                 QFileDevice::Permissions(QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup));
        QCOMPARE(readAll(src), big);
        QCOMPARE(QFileInfo(src).lastModified(), srcTime);
        QVERIFY(leftovers(dir.filePath(QStringLiteral("locations"))).isEmpty());
    }

    void copyFailuresAreShownAndTheCallerGoesOn() {
        TestUi ui;
        QTemporaryDir dir;
        const QString src = dir.filePath(QStringLiteral("a.jpg"));
        QVERIFY(writeAll(src, QByteArray("abc")));
        // A file stands where a folder is needed: no one, root included, can write there.
        QVERIFY(writeAll(dir.filePath(QStringLiteral("blocked")), QByteArray("x")));
        CopyFile(src, dir.filePath(QStringLiteral("blocked/sub/a.jpg")));
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.lastText().contains(QStringLiteral("blocked/sub/a.jpg")));

        // A folder in the way of the destination is left alone.
        QDir().mkpath(dir.filePath(QStringLiteral("taken/inner")));
        CopyFile(src, dir.filePath(QStringLiteral("taken")));
        QCOMPARE(ui.messages.size(), 2);
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("taken/inner"))).isDir());

        // A missing source.
        CopyFile(dir.filePath(QStringLiteral("missing.jpg")), dir.filePath(QStringLiteral("out.jpg")));
        QCOMPARE(ui.messages.size(), 3);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out.jpg"))));

        // A read-only folder (permissions do not bind root, so only checked as a user).
        if (::geteuid() != 0) {
            const QString ro = dir.filePath(QStringLiteral("readonly"));
            QDir().mkpath(ro);
            QVERIFY(writeAll(ro + QStringLiteral("/a.jpg"), QByteArray("old")));
            QFile::setPermissions(ro, QFile::ReadOwner | QFile::ExeOwner);
            ui.setNextAnswer(true);
            CopyFile(src, ro + QStringLiteral("/a.jpg"));
            QCOMPARE(ui.messages.size(), 4);
            QCOMPARE(readAll(ro + QStringLiteral("/a.jpg")), QByteArray("old"));
            QFile::setPermissions(ro, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        QCOMPARE(readAll(src), QByteArray("abc"));
    }

    void copyOntoItselfDoesNothing() {
        TestUi ui;
        QTemporaryDir dir;
        const QString f = dir.filePath(QStringLiteral("Old Mill.JPG"));
        QVERIFY(writeAll(f, QByteArray("same")));
        CopyFile(f, f);
        CopyFile(f, dir.filePath(QStringLiteral("./Old Mill.JPG")));
        QCOMPARE(readAll(f), QByteArray("same"));
        QVERIFY(ui.replaceAsked.isEmpty());
        QVERIFY(ui.messages.isEmpty());
    }

    // A write that fails half way leaves the old file whole and no temporary behind.
    void failedWriteLeavesTheOldFile() {
        QTemporaryDir dir;
        const QString dst = dir.filePath(QStringLiteral("Veilcase.mdb"));
        QVERIFY(writeAll(dst, QByteArray("the whole database")));
        QString error;
        const bool ok = writeFileAtomically(
            dst,
            [](QIODevice& out) {
                out.write("half of the new");
                return false;
            },
            &error);
        QVERIFY(!ok);
        QVERIFY(!error.isEmpty());
        QCOMPARE(readAll(dst), QByteArray("the whole database"));
        QVERIFY(leftovers(dir.path()).isEmpty());

        QVERIFY(writeFileAtomically(dst, [](QIODevice& out) { return out.write("new") == 3; }));
        QCOMPARE(readAll(dst), QByteArray("new"));
        QVERIFY(leftovers(dir.path()).isEmpty());

        // The longest allowed name still gets its temporary beside it.
        const QString longest = dir.filePath(QString(255, QLatin1Char('n')));
        QVERIFY(copyFileAtomically(dst, longest, &error));
        QCOMPARE(readAll(longest), QByteArray("new"));
    }
};

QTEST_GUILESS_MAIN(FileRoutinesTest)
#include "test_fileroutines.moc"
