#include "evidencenight.h"
#include "exiftesting.h"
#include "programfolder.h"
#include "testui.h"
#include "store/databasefiles.h"
#include "store/filehash.h"
#include "store/evidence.h"
#include "store/paths.h"
#include "store/verification.h"

#include <QTest>

#include <sys/stat.h>

using namespace veil;
using namespace veil::evidence;
using namespace veil::test;

namespace {
constexpr qint64 kMin = 60000;
// A program folder with files attached the way the windows attach them.
struct Case {
    ProgramFolder pf;
    TestUi ui;
    std::unique_ptr<Connection> db = Connection::open(pf.path());

    QString real(const QString& stored) const { return evidenceFilePath(pf.path(), stored); }
    bool attach(const QString& stored, const QByteArray& bytes) { return attachBytes(pf.path(), stored, bytes); }
    // Verifies every file: "status path" of each, as listed.
    QStringList verify(const VerifyOptions& options = {}) {
        files = evidenceFiles(*db, pf.path());
        verifyFiles(files, pf.path(), options);
        QStringList out;
        for (const CheckedFile& f : files)
            out << statusName(f.status) + ' ' + f.path;
        return out;
    }
    QList<CheckedFile> files;
};

const QString kCellar = QStringLiteral("\\Investigations\\17\\Cellar door.jpg");
const QString kMill = QStringLiteral("\\locations\\Old Mill\\2.jpg"); // a key may hold a backslash

} // namespace

class EvidenceTest : public QObject {
    Q_OBJECT
private slots:
    // Label files (timed from the recording's start) and meter readings: what
    // they store, the lines they refuse, and that the same file again adds nothing.
    void imports_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("start"); // the recording's start for labels; empty: meter readings
        QTest::addColumn<QStringList>("problems"); // how each begins
        QTest::addColumn<QStringList>("found"); // time|kind|class|note|area|reading unit|clip length
        QTest::newRow("labels past midnight, frequency line skipped")
            << QByteArray("12.5\t15.0\tclass A voice\n\\\t300.0\t3000.0\n600\t601.25\tsound: knock\r\n") << "23:55:00"
            << QStringList{}
            << QStringList{"2008-10-31T23:55:12.500|EVP|A|class A voice|||2500",
                           "2008-11-01T00:05:00.000|sound||knock|||1250"};
        QTest::newRow("labels: a start after midnight is the next day")
            << QByteArray("1\t1\tequipment fault battery\n") << "00:20:00.250" << QStringList{}
            << QStringList{"2008-11-01T00:20:01.250|equipment fault||battery|||0"};
        QTest::newRow("labels: bad lines refused, the rest kept")
            << QByteArray("x\t2\tno\n5\t4\tbackwards\n7\t8\tNew\n\n") << "23:00:00"
            << QStringList{"line 1:", "line 2:"} << QStringList{"2008-10-31T23:00:07.000|EVP||New|||1000"};
        QByteArray garbage(1 << 20, '\0'); // one line of binary, the file's lines being the fuzz target's work
        for (int i = 0; i < garbage.size(); ++i)
            garbage[i] = char((quint32(i) * 7919u + quint32(i) / 3) & 0xff);
        garbage.replace('\n', 'n').replace('\r', 'r');
        QTest::newRow("labels, hostile: binary garbage, huge and negative numbers, a program word")
            << garbage + "\n1e308\t1e309\tx\n-1\t2\tx\nnan\tnan\tx\n0\t0.001\tAdd\n" << "23:00:00"
            << QStringList{"line 1:", "line 2:", "line 3:", "line 4:"}
            << QStringList{"2008-10-31T23:00:00.000|EVP||Add|||1"};
        QTest::newRow("readings: columns in any order, past midnight, a bad row")
            << QByteArray("note,Value,unit,TIME,area\n\"cold, sudden\",3.5,mG,23:58:00,Cellar\n"
                          ",oops,mG,23:59:00,Cellar\n,-2,°C,00:01:30.5,\"Attic\"\n")
            << "" << QStringList{"line 3:"}
            << QStringList{"2008-10-31T23:58:00.000|EMF||cold, sudden|Cellar|3.5 mG|",
                           "2008-11-01T00:01:30.500|temperature|||Attic|-2 °C|"};
        QTest::newRow("readings: ISO date-times, one before the night")
            << QByteArray("time,value\n2008-11-01T01:00:00,1\n2008-10-30T23:00:00,2\nnoon,3\n") << ""
            << QStringList{"line 3:", "line 4:"} << QStringList{"2008-11-01T01:00:00.000|other||||1|"};
        QTest::newRow("readings: no value column")
            << QByteArray("time,reading\n23:00,1\n") << "" << QStringList{"line 1:"} << QStringList{};
        QTest::newRow("readings: header only, quotes never closed")
            << QByteArray("\"time,value\n") << "" << QStringList{"line 1:"} << QStringList{};
        QTest::newRow("readings, hostile: empty, NUL and a huge number")
            << QByteArray("time,value\n\0,1\n23:00,1e400\n", 27) << "" << QStringList{"line 2:", "line 3:"}
            << QStringList{};
    }
    void imports() {
        QFETCH(QByteArray, file);
        QFETCH(QString, start);
        QFETCH(QStringList, problems);
        QFETCH(QStringList, found);
        ProgramFolder pf;
        auto db = Connection::open(pf.path());
        const Night night = *findNight(*db, addNight(*db));
        const ImportPlan plan =
            start.isEmpty() ? planReadings(file, "meter.csv", night)
                            : planLabels(file, night, "\\m.wav", placeTimeOfDay(*parseTimeOfDay(start), night));
        QCOMPARE(plan.problems.size(), problems.size());
        for (int i = 0; i < problems.size(); ++i)
            QVERIFY2(plan.problems[i].startsWith(problems[i]), qPrintable(plan.problems[i]));
        QCOMPARE(apply(*db, plan).added, int(found.size()));
        QStringList stored;
        for (const Finding& f : findings(*db, night.key)) {
            QCOMPARE(f.mediaPath, start.isEmpty() ? QString() : "\\m.wav");
            stored << QStringList{formatTime(night, f.atMs), f.kind, f.evpClass, f.note, f.area,
                                  f.reading ? (QString::number(*f.reading) + ' ' + f.unit).trimmed() : QString(),
                                  f.clipLengthMs ? QString::number(*f.clipLengthMs) : QString()}
                          .join('|');
        }
        QCOMPARE(stored, found);
        // Only readings with an area column name areas.
        QCOMPARE(areas(*db, night.key), file.contains(",area") ? QStringList({"Attic", "Cellar"}) : QStringList());
        const ImportResult again = apply(*db, plan);
        QCOMPARE(again.added, 0);
        QCOMPARE(again.alreadyThere, int(found.size()));
    }

    void editsAreStoredWholeAndSurviveOlderFilesAndRestores() {
        ProgramFolder pf;
        // An older file, without our tables, gains a working log.
        QCOMPARE(runSql(pf.databasePath(), "DROP TABLE vc_evidence; PRAGMA user_version=0;"), QString());
        const QString older = pf.file("older_back"); // a backup from before the log
        QCOMPARE(snapshotDatabase(pf.databasePath(), older), QString());
        auto db = Connection::open(pf.path());
        const QString key = addNight(*db);
        QList<Finding> fs(3);
        for (int i = 0; i < 3; ++i) {
            fs[i].investigation = key;
            fs[i].atMs = (3 - i) * kMin;
            fs[i].reading = i == 1 ? std::optional<double>(0.25) : std::nullopt;
            fs[i].note = QString("Add New %1").arg(i);
        }
        save(*db, fs);
        fs[0].status = "explained";
        fs[0].explanation = "the furnace";
        QList<Finding> edit{fs[0]};
        save(*db, edit, {fs[2].id});
        QCOMPARE(findings(*db, key), (QList<Finding>{fs[1], fs[0]}));

        // A failing edit stores none of its changes.
        QList<Finding> bad{fs[0], fs[1]};
        bad[0].note = "changed";
        bad[1].id = 0; // added, and refused by the engine
        bad[1].investigation.clear();
        QCOMPARE(runSql(pf.databasePath(), "CREATE TRIGGER no_empty BEFORE INSERT ON vc_evidence WHEN "
                                           "NEW.FullDate_Time = '' BEGIN SELECT RAISE(ABORT, 'refused'); END;"),
                 QString());
        QVERIFY_THROWS_EXCEPTION(DbError, save(*db, bad));
        QCOMPARE(finding(*db, fs[0].id)->note, fs[0].note);

        // A backup taken now and restored later brings the log back.
        const QString backup = pf.file("db_back");
        QCOMPARE(snapshotDatabase(pf.databasePath(), backup), QString());
        QList<Finding> gone{};
        save(*db, gone, {fs[0].id, fs[1].id});
        db.reset();
        QCOMPARE(restoreDatabase(backup, pf.databasePath()), QString());
        QCOMPARE(findings(*Connection::open(pf.path()), key), (QList<Finding>{fs[1], fs[0]}));

        // So does the older backup, restored: it gains the table and takes an import.
        QCOMPARE(restoreDatabase(older, pf.databasePath()), QString());
        db = Connection::open(pf.path());
        const Night night = *findNight(*db, addNight(*db));
        QCOMPARE(apply(*db, planReadings("time,value\n23:59,1\n", "m.csv", night)).added, 1);
    }

    void mediaNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("stored"); // empty: refused
        QTest::newRow("plain") << "cellar.wav" << QByteArray("cellar") << "cellar.wav";
        QTest::newRow("same name, same content") << "night.wav" << QByteArray("old") << "night.wav";
        QTest::newRow("same name, other content") << "night.wav" << QByteArray("new") << "night (2).wav";
        QTest::newRow("backslash") << "a\\b.wav" << QByteArray("x") << "";
        QTest::newRow("no name before the dot") << ".wav" << QByteArray("x") << "";
        QTest::newRow("no extension, program word") << "New" << QByteArray("x") << "New";
    }
    void mediaNames() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, stored);
        ProgramFolder pf;
        auto db = Connection::open(pf.path());
        const Night night = *findNight(*db, addNight(*db));
        const QString folder = QString("\\Investigations\\%1\\media\\").arg(night.id);
        const QString old = programPath(pf.path(), folder + "night.wav");
        QVERIFY(writeFileBytes(old, "old"));
        QTemporaryDir outside;
        const QString source = outside.filePath(name);
        QVERIFY(writeFileBytes(source, content));
        QString error;
        const QString got = attachMedia(pf.path(), night, source, &error);
        QCOMPARE(got, stored.isEmpty() ? QString() : folder + stored);
        QCOMPARE(error.isEmpty(), !stored.isEmpty());
        QCOMPARE(fileBytes(old), QByteArray("old"));
        if (!stored.isEmpty()) {
            QCOMPARE(fileBytes(programPath(pf.path(), got)), content);
            // What is copied in is fingerprinted; the file found there already was not ours to record.
            const auto hash = recordedFile(*db, got);
            QCOMPARE(hash ? hash->size : -1, stored == "night.wav" ? -1 : qint64(content.size()));
        }
        QCOMPARE(fileBytes(source), content);
    }

    void startTimesFromFiles_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("start"); // ISO, empty: none
        QTest::newRow("bext") << wavWithBext("2008-10-31", "23:55:00") << "2008-10-31T23:55:00";
        QTest::newRow("bext with colons") << wavWithBext("2008:10:31", "23-55-00") << "2008-10-31T23:55:00";
        QTest::newRow("bext left empty") << wavWithBext("", "") << "";
        QTest::newRow("truncated") << wavWithBext("2008-10-31", "23:55:00").left(300) << "";
        QTest::newRow("not media") << QByteArray("Add\tNew\n") << "";
        // An MP4 movie header: version 0, created 2008-10-31 22:55 UTC (0xc5313d44 seconds since 1904).
        const QByteArray mvhd = QByteArray("\0\0\0\x20mvhd\0\0\0\0\xc5\x31\x3d\x44", 16) + QByteArray(16, '\0');
        QTest::newRow("mp4 creation time")
            << QByteArray("\0\0\0\x10" "ftypisom\0\0\0\0", 16) + mvhd
            << QDateTime(QDate(2008, 10, 31), QTime(22, 55), Qt::UTC).toLocalTime().toString(Qt::ISODate);
    }
    void startTimesFromFiles() {
        QFETCH(QByteArray, file);
        QFETCH(QString, start);
        QTemporaryDir dir;
        QVERIFY(writeFileBytes(dir.filePath("r.wav"), file));
        const auto got = recordingStart(dir.filePath("r.wav"));
        QCOMPARE(got ? got->toString(Qt::ISODate) : QString(), start);
    }

    void timelineMergesInTimeOrder() {
        ProgramFolder pf;
        auto db = Connection::open(pf.path());
        const Night night = *findNight(*db, addNight(*db));
        QVERIFY(writeTaggedPhoto(pf.file("Investigations/1/Door.jpg"),
                                 {{"Exif.Photo.DateTimeOriginal", "2008:11:01 00:10:00"}}));
        QVERIFY(writeTaggedPhoto(pf.file("Investigations/1/Blank.jpg"), {}));
        for (const QString title : {"Door", "Blank"})
            db->add(tables::pictures, {{"Investigation", night.key}, {"Title", title},
                                       {"Path", "\\Investigations\\1\\" + title + ".jpg"}});
        db->add(tables::interview, {{"Investigation", night.key}, {"Name", "Ann"}, {"FullDate_Time", "k"},
                                    {"Date_Month", "10"}, {"Date_Day", "31"}, {"Date_Year", "2008"},
                                    {"Time_Hour", "11"}, {"Time_Min", "45"}, {"Time_AP", "pm"}});
        apply(*db, planLabels("100\t101\tvoice\n2000\t2001\tlater\n", night, "\\a.wav",
                              placeTimeOfDay(23 * 60 * kMin, night)));
        const Timeline t = timeline(*db, pf.path(), night);
        QStringList got;
        for (const TimelineEntry& e : t.entries)
            got << formatTime(night, e.atMs) + ' ' + e.kind;
        QCOMPARE(got, (QStringList{"2008-10-31T23:01:40.000 EVP", "2008-10-31T23:33:20.000 EVP",
                                  "2008-10-31T23:45:00.000 interview", "2008-11-01T00:10:00.000 picture"}));
        QCOMPARE(t.untimedPictures, QStringList{"Blank"});
    }

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
        const QStringList listed = damage == "escape" ? QStringList{status + ' ' + escape, "ok " + kCellar}
                                                      : QStringList{status + ' ' + kCellar};
        QCOMPARE(c.verify({.threads = 2, .progress = {}, .cancel = nullptr}), listed + QStringList{"ok " + kMill});
        // Only a plain file inside the folder is read: no pipe, no folder, nothing a hostile record leads to.
        QCOMPARE(c.files.first().foundSize >= 0, QStringList({"", "byte", "truncate"}).contains(damage));
    }

    void unrecordedFilesAreFoundRecordedAndListed() {
        Case c;
        QVERIFY(c.attach(kCellar, "cellar")); // then files from an older case file, and a copy that never finished
        const QString old = QStringLiteral("\\Investigations\\17\\media\\night, \"2\".wav");
        QVERIFY(writeFileBytes(c.real(old), "recording"));
        QVERIFY(writeFileBytes(c.pf.file("investigators/Ann.gif"), "ann"));
        QVERIFY(writeFileBytes(c.pf.file("Investigations/17/.veilcase-Ab12Cd"), "half"));
        QCOMPARE(c.verify(),
                 (QStringList{"ok " + kCellar, "unrecorded " + old, "unrecorded \\investigators\\Ann.gif"}));

        const QStringList lines = QString::fromUtf8(manifestCsv(c.files)).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.first(), QStringLiteral("path,size,sha256,attached,status"));
        QVERIFY(lines.contains(QStringLiteral("\"\\Investigations\\17\\media\\night, \"\"2\"\".wav\",9,%1,,unrecorded")
                                   .arg(sha256sum(c.real(old)))));

        QCOMPARE(recordHashes(*c.db, c.files), 2);
        QCOMPARE(c.verify(), (QStringList{"ok " + kCellar, "ok " + old, "ok \\investigators\\Ann.gif"}));
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

QTEST_GUILESS_MAIN(EvidenceTest)
#include "test_evidence.moc"
