#include "exiftesting.h"
#include "filebytes.h"
#include "programfolder.h"
#include "testui.h"

#include "store/casedb.h"
#include "store/filehash.h"
#include "store/verification.h"

#include <QTest>

#include <sys/stat.h>

using namespace veil;
using namespace veil::test;

namespace {

// A program folder with files attached the way the windows attach them.
struct Case {
    ProgramFolder pf;
    TestUi ui;
    std::unique_ptr<Connection> db = Connection::open(pf.path());

    QString real(const QString& stored) const { return evidenceFilePath(pf.path(), stored); }
    bool attach(const QString& stored, const QByteArray& bytes) { return attachBytes(pf.path(), stored, bytes); }
    QList<CheckedFile> verify(const VerifyOptions& options = {}) {
        QList<CheckedFile> files = evidenceFiles(*db, pf.path());
        verifyFiles(files, pf.path(), options);
        return files;
    }
    static FileStatus statusOf(const QList<CheckedFile>& files, const QString& path) {
        for (const CheckedFile& f : files)
            if (f.path == path)
                return f.status;
        return FileStatus::NotChecked;
    }
};

const QString kCellar = QStringLiteral("\\Investigations\\17\\Cellar door.jpg");
const QString kMill = QStringLiteral("\\locations\\Old Mill\\2.jpg"); // a key may hold a backslash

} // namespace

class VerificationTest : public QObject {
    Q_OBJECT
private slots:
    void verify_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("status");
        for (const auto& [damage, status] : {std::pair{"", "ok"}, {"byte", "changed"}, {"truncate", "changed"},
                                             {"delete", "missing"}, {"folder", "changed"}, {"fifo", "changed"},
                                             {"escape", "changed"}}) // a record leading out of the folder
            QTest::newRow(*damage ? damage : "untouched") << QString(damage) << QString(status);
    }
    void verify() {
        QFETCH(QString, damage);
        QFETCH(QString, status);
        Case c;
        QByteArray bytes(3 << 20, 'v'); // more than one read's worth
        QVERIFY(c.attach(kCellar, bytes));
        QVERIFY(c.attach(kMill, "mill"));
        const QString file = c.real(kCellar);
        bytes[2 << 20] = char(bytes[2 << 20] ^ 1);
        if (damage == "byte") QVERIFY(writeFileBytes(file, bytes));
        if (damage == "truncate") QVERIFY(QFile(file).resize(1000));
        if (damage == "delete" || damage == "folder" || damage == "fifo") QVERIFY(QFile::remove(file));
        if (damage == "folder") QVERIFY(QDir().mkpath(file));
        if (damage == "fifo") QVERIFY(::mkfifo(QFile::encodeName(file).constData(), 0600) == 0);
        // A hostile case file's record is never followed outside the program folder.
        const QString escape = QStringLiteral("\\Investigations\\..\\..\\..\\etc\\hostname");
        if (damage == "escape")
            recordFileHash(*c.db, {escape, 1, QString(64, '0'), "2026-12-05T22:00:00Z", {}, {}});
        const QList<CheckedFile> files = c.verify({.threads = 2, .progress = {}, .cancel = nullptr});
        QCOMPARE(statusName(Case::statusOf(files, damage == "escape" ? escape : kCellar)), status);
        QCOMPARE(Case::statusOf(files, kMill), FileStatus::Ok);
    }

    void unrecordedFilesAreFoundRecordedAndListed() {
        Case c;
        QVERIFY(c.attach(kCellar, "cellar")); // then files from an older case file, and a copy that never finished
        const QString old = QStringLiteral("\\Investigations\\17\\media\\night, \"2\".wav");
        QVERIFY(writeFileBytes(c.real(old), "recording"));
        QVERIFY(writeFileBytes(c.pf.file("investigators/Ann.gif"), "ann"));
        QVERIFY(writeFileBytes(c.pf.file("Investigations/17/.veilcase-Ab12Cd"), "half"));
        QList<CheckedFile> files = c.verify();
        QCOMPARE(files.size(), 3);
        QCOMPARE(Case::statusOf(files, old), FileStatus::Unrecorded);
        QCOMPARE(Case::statusOf(files, "\\investigators\\Ann.gif"), FileStatus::Unrecorded);

        const QStringList lines = QString::fromUtf8(manifestCsv(files)).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.first(), QStringLiteral("path,size,sha256,attached,status"));
        QVERIFY(lines.contains(QStringLiteral("\"\\Investigations\\17\\media\\night, \"\"2\"\".wav\",9,%1,,unrecorded")
                                   .arg(sha256sum(c.real(old)))));

        QCOMPARE(recordHashes(*c.db, files), 2);
        files = c.verify();
        for (const CheckedFile& f : files)
            QCOMPARE(f.status, FileStatus::Ok);
        QCOMPARE(recordedFile(*c.db, old)->originalName, QStringLiteral("night, \"2\".wav"));
    }

    void cancelStops() {
        Case c;
        for (int i = 0; i < 40; ++i)
            QVERIFY(c.attach(QStringLiteral("\\Investigations\\17\\%1.jpg").arg(i), QByteArray(64 << 10, char(i))));
        std::atomic<bool> cancel{false};
        int total = 0;
        QList<CheckedFile> files = evidenceFiles(*c.db, c.pf.path());
        QVERIFY(!verifyFiles(files, c.pf.path(), {.threads = 2, .progress = [&](const VerifyProgress& p) {
            total = p.filesTotal;
            cancel = true;
        }, .cancel = &cancel}));
        QCOMPARE(total, 40);
        const auto unchecked = std::count_if(files.begin(), files.end(),
                                             [](const CheckedFile& f) { return f.status == FileStatus::NotChecked; });
        QVERIFY2(unchecked >= 36, qPrintable(QString::number(unchecked))); // at most the files already under way
    }
};

QTEST_GUILESS_MAIN(VerificationTest)
#include "test_verification.moc"
