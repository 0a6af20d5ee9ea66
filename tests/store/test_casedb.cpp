#include "filebytes.h"
#include "programfolder.h"

#include "store/casedb.h"
#include "store/databasefiles.h"
#include "store/jetimport.h"
#include "store/migrations.h"
#include "store/paths.h"
#include "store/searchindex.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>
#include <QtEndian>

#include <sqlite3.h>

using namespace veil;
using namespace veil::test;

namespace {

// Leaves `path` as another tool would after a crash in write-ahead mode: the
// record `name` committed, but only in the log beside the file.
void leaveInWalMode(const QString& path, const QString& name) {
    const QString copy = path + ".crashed";
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    const QByteArray sql = "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
                           "INSERT INTO Location(LocationName) VALUES ('" + name.toUtf8() + "')";
    QCOMPARE(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    QVERIFY(QFile::copy(path, copy) && QFile::copy(path + "-wal", copy + "-wal"));
    sqlite3_close(db);
    QVERIFY(QFile::remove(path) && QFile::rename(copy, path) && QFile::rename(copy + "-wal", path + "-wal"));
}

// Bytes 18 and 19 of the header are 2 in write-ahead mode, 1 with a rollback journal.
bool rollbackMode(const QString& path) { return fileBytes(path).mid(18, 2) == QByteArray("\1\1", 2); }

QString jetData(const QString& name) {
    return sharedTestData() + QStringLiteral("/jet/") + name;
}

QByteArray sha256(const QByteArray& b) {
    return QCryptographicHash::hash(b, QCryptographicHash::Sha256).toHex();
}

// Puts a copy of a test file where the program keeps its database.
void placeAsDatabase(const ProgramFolder& pf, const QString& jetFile) {
    QFile::remove(pf.databasePath());
    QVERIFY(QFile::copy(jetData(jetFile), pf.databasePath()));
    QVERIFY(QFile::setPermissions(pf.databasePath(), QFile::ReadOwner | QFile::WriteOwner));
}

ImportResult importInPlace(const ProgramFolder& pf) {
    return importJet(pf.databasePath(), pf.file(QStringLiteral("Clean_DB")), pf.databasePath());
}

QStringList folderEntries(const QString& path) {
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// The README's appendix, one JSON object per record of case_jet4.mdb in stored
// order, written as everyRecord writes them.
QStringList expectedRecords() {
    QStringList out;
    for (const QByteArray& line : fileBytes(jetData(QStringLiteral("README.md"))).split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        const QString table = o.value(QStringLiteral("table")).toString();
        for (const QString& f : line.startsWith("{\"table\"") ? findTable(table)->fields : QStringList()) {
            const QJsonValue v = o.value(QStringLiteral("row")).toObject().value(f);
            out << table + QLatin1Char('.') + f + QLatin1Char('=') +
                       (v.isNull() ? "<null>" : v.isDouble() ? QString::number(v.toInt()) : v.toString());
        }
    }
    return out;
}

// Every record of the six tables, field by field, as one list to compare.
QStringList everyRecord(const QString& path) {
    QStringList out;
    auto db = Connection::openFile(path);
    for (const TableDef& t : caseTables())
        for (Cursor& c = db->openTable(t.name); !c.eof(); c.moveNext())
            for (const QString& f : t.fields)
                out << t.name + QLatin1Char('.') + f + QLatin1Char('=') +
                           (c.isNull(f) ? QStringLiteral("<null>") : c.field(f));
    return out;
}

void seed(Connection& db) {
    db.add(tables::location, {{"LocationName", "Old Mill"}, {"Background", "A céilidh was held in the CELLAR."},
                              {"Email", "ann@example.com"}});
    db.add(tables::location, {{"LocationName", "Grange"}, {"Notes", "The cellar door slams; the attic is quiet."}});
    const qint64 inv = db.add(tables::investigations, {{"Location", "Old Mill"}, {"Weather", "fog"},
                                                       {"Investigation_Notes", "Knocking at 10:30 near the door."}});
    db.updateRecord(tables::investigations, inv, {{"FullDate_Time", "1-2-06 9:5 am-1"}});
    db.add(tables::interview, {{"FullDate_Time", "1-2-06 9:6 am-1"}, {"Location", "Old Mill"},
                               {"Investigation", "1-2-06 9:5 am-1"}, {"Interview", "She heard a harpsichord."}});
    db.add(tables::investigators, {{"Name", "Ann"}, {"Notes", "Skilled with the spectrometer."}});
    db.add(tables::equipment, {{"Nick_Name", "EMF"}, {"Quirks", "Drains batteries in frost."}});
    QStringList many; // more words of one beginning than a prefix is spelled out to
    for (int i = 0; i < 70; ++i)
        many << QString("zq%1x").arg(i);
    db.add(tables::investigators, {{"Name", "Cy"}, {"Notes", many.join(' ')}});
    db.add(tables::pictures, {{"Investigation", "1-2-06 9:5 am-1"}, {"Title", "Stairs"}, {"History", "An orb on the banister."}});
    QCOMPARE(runSql(db.path(), "INSERT INTO vc_evidence(FullDate_Time, at_ms, kind, note) "
                               "VALUES('1-2-06 9:5 am-1', 5, 'EVP', 'A whisper: leave')"),
             QString());
}

QStringList found(Connection& db, const QString& query) {
    QStringList out;
    for (const SearchHit& h : bestFirst(search(db, query).hits))
        out << kindName(h.kind) + ':' + h.key + ':' + h.field;
    out.sort();
    return out;
}

} // namespace

class CaseDbTest : public QObject {
    Q_OBJECT
private slots:
    void cursorsWalkAddEditAndSeeOtherConnections() {
        ProgramFolder pf;
        auto db = Connection::open(pf.path());
        Cursor& t = db->openTable(QStringLiteral("Location"));
        QVERIFY(t.eof());
        for (const char* name : {"Old Mill", "old mill", "Grey House"}) {
            t.addNew();
            t.setField(QStringLiteral("LocationName"), QLatin1String(name));
            t.setField(QStringLiteral("phone"), QStringLiteral("555")); // field names ignore case
            t.update();
        }
        t.close();

        Cursor& w = db->openTable(QStringLiteral("location"));
        QCOMPARE(w.recordCount(), 3);
        QStringList seen;
        for (; !w.eof(); w.moveNext())
            seen << w.field(QStringLiteral("LocationName"));
        QCOMPARE(seen, (QStringList{"Old Mill", "old mill", "Grey House"})); // stored order

        Cursor& e = db->openTable(QStringLiteral("Location"));
        e.moveNext();
        e.edit();
        e.setField(QStringLiteral("Cell"), QStringLiteral("0777"));
        e.update();
        e.moveLast();
        QCOMPARE(e.field(QStringLiteral("LocationName")), QStringLiteral("Grey House"));
        e.moveNext();
        QVERIFY(e.eof());

        auto rec = db->findFirst(tables::location, {{QStringLiteral("LocationName"), QStringLiteral("old mill")}});
        QVERIFY(rec);
        QCOMPARE(rec->text(QStringLiteral("Cell")), QStringLiteral("0777"));
        QVERIFY(rec->isNull(QStringLiteral("Email"))); // never set: null, read as empty text
        QCOMPARE(rec->text(QStringLiteral("Email")), QString());

        // Unknown tables and fields are engine failures, not silent empties.
        QVERIFY_THROWS_EXCEPTION(DbError, db->openTable(QStringLiteral("Ghosts")));
        QVERIFY_THROWS_EXCEPTION(DbError, db->column(tables::location, QStringLiteral("Nope")));

        // A cursor sees what another connection stored, and holds no lock while it is open.
        auto other = Connection::open(pf.path());
        Cursor& mine = db->openTable(QStringLiteral("Interview"));
        Cursor& theirs = other->openTable(QStringLiteral("interview")); // same table, other spelling
        QVERIFY(mine.eof());
        theirs.addNew();
        theirs.setField(QStringLiteral("Name"), QStringLiteral("Ann"));
        theirs.update();
        QCOMPARE(mine.recordCount(), 1);
        db->openTable(QStringLiteral("Interview"));
        QCOMPARE(db->table().field(QStringLiteral("Name")), QStringLiteral("Ann"));
        other->add(tables::interview, {{"Name", "Bob"}});
        db->table().moveNext();
        QCOMPARE(db->table().field(QStringLiteral("Name")), QStringLiteral("Bob"));
    }

    // Keys and picture folders carry the number: it is readable before the store (windows
    // compose keys with it), numbers on across connections, and is never given twice.
    void autoNumberIsNeverReused() {
        ProgramFolder pf;
        auto db = Connection::open(pf.path());
        for (int i = 0; i < 3; ++i)
            db->add(tables::investigations, {{"Location", "Old Mill"}});
        sqlite3_exec(db->handle(), "DELETE FROM Investigations WHERE ID = 3", nullptr, nullptr, nullptr);
        auto other = Connection::open(pf.path());
        Cursor& t = other->openTable(QStringLiteral("investigations"));
        t.addNew();
        QCOMPARE(t.field(QStringLiteral("ID")), QStringLiteral("4"));
        QVERIFY_THROWS_EXCEPTION(DbError, t.setField(QStringLiteral("ID"), QStringLiteral("9")));
    }

    void lookupsAreExactAndNullNeverMatches() {
        ProgramFolder pf;
        auto db = Connection::open(pf.path());
        db->add(tables::investigations, {{"Location", "Old Mill"}, {"FullDate_Time", "a-1"}});
        db->add(tables::investigations, {{"Location", "old mill"}, {"FullDate_Time", "b-2"}});
        db->add(tables::investigations, {{"FullDate_Time", "c-3"}}); // Location null
        db->add(tables::investigations, {{"Location", "Old Mill"}, {"FullDate_Time", "d-4"}});
        db->add(tables::investigations, {{"Location", ""}, {"FullDate_Time", "e-5"}});

        QCOMPARE(db->column(tables::investigations, "FullDate_Time", {{"Location", "Old Mill"}}),
                 (QStringList{"a-1", "d-4"}));
        QCOMPARE(db->column(tables::investigations, "FullDate_Time", {{"Location", "old mill"}}),
                 QStringList{"b-2"});
        // An empty wanted value finds the empty text, never the null.
        QCOMPARE(db->column(tables::investigations, "FullDate_Time", {{"Location", ""}}), QStringList{"e-5"});
        QCOMPARE(db->findFirst(tables::investigations, {{"Location", "Old Mill"}})->text("FullDate_Time"),
                 QStringLiteral("a-1"));
        QCOMPARE(db->findLast(tables::investigations, {{"Location", "Old Mill"}})->text("FullDate_Time"),
                 QStringLiteral("d-4"));
        QVERIFY(!db->exists(tables::investigations, {{"Location", "OLD MILL"}}));
        // A null value in a listed field comes out as empty text, as the walk shows it.
        QCOMPARE(db->column(tables::investigations, "Location").at(2), QString());
        QCOMPARE(db->count(QStringLiteral("INVESTIGATIONS")), 5);
    }

    void unusableFilesAreRefusedAndLeftAlone_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("says");
        QTest::newRow("missing") << QByteArray() << "does not exist";
        QTest::newRow("empty") << QByteArray("") << "is empty";
        QTest::newRow("text") << QByteArray("just some notes\n") << "is not a case database";
        QTest::newRow("pages of nothing") << QByteArray(8192, 'Z') << "is not a case database";
        QByteArray clean = fileBytes(builtProgramFolder() + "/Clean_DB");
        QTest::newRow("cut at a page") << clean.left(8192) << "damaged";
        QTest::newRow("jet") << QByteArray(2048, '\0').replace(4, 15, "Standard Jet DB") << "Microsoft Jet";
        ProgramFolder pf;
        sqlite3_exec(Connection::open(pf.path())->handle(), "DROP TABLE Pictures", nullptr, nullptr, nullptr);
        const QByteArray noPictures = fileBytes(pf.databasePath());
        QTest::newRow("a table missing") << noPictures << "no table \"Pictures\"";
        QTest::newRow("truncated") << noPictures.left(1024 + 100) << "damaged";
        clean[63] = 99; // PRAGMA user_version, as the header holds it
        QTest::newRow("newer, naming both versions")
            << clean << QString("version 99; this Veilcase knows versions up to %1").arg(kSchemaVersion);
    }
    // Refused and left alone; and as that is what a restore is for, a restore replaces it.
    void unusableFilesAreRefusedAndLeftAlone() {
        QFETCH(QByteArray, content);
        QFETCH(QString, says);
        ProgramFolder pf;
        Connection::open(pf.path())->add(tables::location, {{"LocationName", "Restored"}});
        QCOMPARE(snapshotDatabase(pf.databasePath(), pf.file("db_back")), QString());
        QFile::remove(pf.databasePath());
        QVERIFY(content.isNull() || writeFileBytes(pf.databasePath(), content));
        QVERIFY2(Connection::problemWith(pf.databasePath()).contains(says),
                 qPrintable(Connection::problemWith(pf.databasePath())));
        try {
            Connection::open(pf.path());
            QFAIL("opened");
        } catch (const DbError& e) {
            QVERIFY2(e.text().contains(says) && e.text().contains("Veilcase.mdb"), qPrintable(e.text()));
        }
        QCOMPARE(QFile::exists(pf.databasePath()), !content.isNull()); // never created
        QCOMPARE(fileBytes(pf.databasePath()), content);
        QCOMPARE(restoreDatabase(pf.file("db_back"), pf.databasePath()), QString());
        QCOMPARE(locationsIn(pf.databasePath()), QStringList{"Restored"});
    }

    void olderFilesGainOurTables_data() {
        QTest::addColumn<QString>("makeOlder");
        QTest::newRow("as shipped or imported (version 0)")
            << "DROP TABLE vc_evidence; DROP TABLE vc_filehash; PRAGMA user_version=0;";
        QTest::newRow("version 0 with a table already there") << "DROP TABLE vc_filehash; PRAGMA user_version=0;";
        QTest::newRow("current") << "";
    }
    void olderFilesGainOurTables() {
        QFETCH(QString, makeOlder);
        ProgramFolder pf;
        QCOMPARE(runSql(pf.databasePath(), "INSERT INTO Location(LocationName) VALUES('Old Mill'); " + makeOlder),
                 QString());
        const QByteArray before = fileBytes(pf.databasePath());

        // Checking a file (a backup before it is restored) leaves it as it is.
        QCOMPARE(Connection::problemWith(pf.databasePath()), QString());
        QCOMPARE(fileBytes(pf.databasePath()), before);

        QCOMPARE(Connection::open(pf.path())->column(tables::location, "LocationName"), QStringList{"Old Mill"});
        // PRAGMA user_version, as the file's header holds it.
        QCOMPARE(qFromBigEndian<qint32>(fileBytes(pf.databasePath()).constData() + 60), kSchemaVersion);
        QCOMPARE(runSql(pf.databasePath(), "SELECT count(*) FROM vc_evidence; SELECT count(*) FROM vc_filehash"),
                 QString());
    }

    // A file in write-ahead mode opens, keeps what was committed, goes back to
    // a rollback journal and backs up and restores like any other.
    void walFileOpensBacksUpAndRestores() {
        ProgramFolder pf;
        const QString live = pf.databasePath(), backup = pf.file("db_back");
        leaveInWalMode(live, "Logged");
        QCOMPARE(Connection::problemWith(live), QString());
        QCOMPARE(locationsIn(live), QStringList{"Logged"});
        QVERIFY(rollbackMode(live));
        QVERIFY(!QFile::exists(live + "-wal"));

        QCOMPARE(snapshotDatabase(live, backup), QString());
        leaveInWalMode(backup, "Also logged");
        QCOMPARE(restoreDatabase(backup, live), QString());
        QCOMPARE(locationsIn(live), (QStringList{"Logged", "Also logged"}));
        QVERIFY(rollbackMode(live));
    }

    void killedWriterLosesNothingStored() {
        ProgramFolder pf;
        QProcess writer;
        writer.start(QCoreApplication::applicationDirPath() + QStringLiteral("/proc_writer"), {pf.path()});
        QVERIFY(writer.waitForStarted());
        // Wait until a good number of stores have returned, then kill it mid-loop.
        QByteArray out;
        while (out.count('\n') < 60 && writer.waitForReadyRead(20000))
            out += writer.readAllStandardOutput();
        writer.kill();
        writer.waitForFinished();
        out += writer.readAllStandardOutput();
        const int last = out.left(out.lastIndexOf('\n')).split('\n').last().toInt(); // the last store that returned
        QVERIFY(last >= 60);

        QCOMPARE(integrityProblem(pf.databasePath()), QString());
        auto db = Connection::open(pf.path());
        QVERIFY(db->count(tables::location) >= last);
        const QStringList names = db->column(tables::location, QStringLiteral("LocationName"));
        for (int i = 1; i <= last; ++i)
            QCOMPARE(names.at(i - 1), QStringLiteral("Place %1").arg(i));
    }

    void caseFileArrivesWhole() {
        // libmdb would follow this and turn every non-Latin letter into "?".
        qputenv("MDBICONV", "ISO-8859-1");
        ProgramFolder pf;
        placeAsDatabase(pf, QStringLiteral("case_jet4.mdb"));
        const QString earlier = pf.file(QStringLiteral("Veilcase (Windows version).mdb"));
        QVERIFY(QFile::copy(jetData(QStringLiteral("README.md")), earlier));
        const ImportResult r = importInPlace(pf);
        qunsetenv("MDBICONV");
        QVERIFY2(r.ok, qPrintable(r.error));

        // The old file is kept beside, byte for byte, never over an earlier one.
        QCOMPARE(r.keptAs, pf.file(QStringLiteral("Veilcase (Windows version 2).mdb")));
        QCOMPARE(fileBytes(earlier), fileBytes(jetData(QStringLiteral("README.md"))));
        QCOMPARE(sha256(fileBytes(r.keptAs)),
                 QByteArray("ed6f896c97086f7b8a125252caaddbbee3a72766cf8f75b07ff3a9a4879d07f3"));
        const QList<QPair<QString, int>> counts{{"Location", 3},      {"Investigations", 4}, {"Interview", 3},
                                                {"Investigators", 4}, {"equipment", 5},      {"Pictures", 4}};
        QCOMPARE(r.records, counts);

        // Every record, every field, null versus empty, in stored order; the memo
        // over 40,000 characters arrives whole.
        const QStringList expected = expectedRecords();
        QStringList records = everyRecord(pf.databasePath());
        const qsizetype memo = expected.indexOf("Location.History=<LONG MEMO: 40,661 characters, see above>");
        QVERIFY(memo >= 0 && records.size() == expected.size());
        QCOMPARE(records[memo].size(), 17 + 40661);
        QCOMPARE(sha256(records[memo].mid(17).toUtf8()),
                 QByteArray("a59c5ab4412640d784800f51d0c6f8ce5048a1d19231f2a73246a86e8f11f2bc"));
        records[memo] = expected[memo];
        QCOMPARE(records, expected);

        // New records are numbered above every imported one.
        auto db = Connection::open(pf.path());
        Cursor& inv = db->openTable(tables::investigations);
        inv.addNew();
        QCOMPARE(inv.field("ID"), QStringLiteral("24"));
        QCOMPARE(db->add(tables::interview, {{"Name", "new"}}), qint64(4));
    }

    void refusedFilesChangeNothing_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("named");
        QTest::newRow("wrong schema")
            << "wrong_schema_jet4.mdb"
            << QStringList{"\"Pictures\" is missing", "\"Investigators\" has no field \"Active\""};
        QTest::newRow("third party") << "thirdparty/node-adodb.mdb"
                                     << QStringList{"\"Location\" is missing", "\"Pictures\" is missing"};
        QTest::newRow("not a Jet file") << "README.md" << QStringList{"not a Microsoft Jet database"};
    }
    void refusedFilesChangeNothing() {
        QFETCH(QString, file);
        QFETCH(QStringList, named);
        ProgramFolder pf;
        placeAsDatabase(pf, file);
        const QByteArray before = fileBytes(pf.databasePath());
        const QStringList entries = folderEntries(pf.path());
        const ImportResult r = importInPlace(pf);
        QVERIFY(!r.ok);
        for (const QString& n : named)
            QVERIFY2(r.error.contains(n), qPrintable(r.error));
        QVERIFY2(r.error.endsWith(QLatin1String("Nothing was changed.")), qPrintable(r.error));
        QVERIFY(r.keptAs.isEmpty());
        QCOMPARE(fileBytes(pf.databasePath()), before);
        QCOMPARE(folderEntries(pf.path()), entries);
    }

    // Cut at every page boundary and with every page zeroed in turn: the import
    // brings every record or none, and a refused one leaves the database as it was.
    void damagedFilesBringAllOrNothing_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("case file") << "case_jet4.mdb";
        QTest::newRow("empty case file") << "empty_jet4.mdb";
    }
    void damagedFilesBringAllOrNothing() {
        QFETCH(QString, file);
        constexpr int kPage = 4096;
        ProgramFolder pf;
        const QByteArray whole = fileBytes(jetData(file));
        const QString jet = pf.file(QStringLiteral("old.mdb")), clean = pf.file(QStringLiteral("Clean_DB"));
        QVERIFY(writeFileBytes(jet, whole));
        QVERIFY(importJet(jet, clean, pf.databasePath()).ok);
        const QStringList all = everyRecord(pf.databasePath());
        Connection::open(pf.path())->add(tables::location, {{"LocationName", "live"}});
        const QByteArray live = fileBytes(pf.databasePath());
        const QStringList entries = folderEntries(pf.path());

        QStringList unsound;
        int tries = 0, refused = 0;
        for (int page = 0; page < whole.size() / kPage; ++page)
            for (const bool cut : {true, false}) {
                if (cut && page == 0) continue;
                QByteArray damaged = cut ? whole.left(page * kPage) : whole;
                if (!cut) damaged.replace(page * kPage, kPage, QByteArray(kPage, '\0'));
                QVERIFY(writeFileBytes(jet, damaged));
                const ImportResult r = importJet(jet, clean, pf.databasePath());
                ++tries;
                refused += !r.ok;
                const bool sound = r.ok ? everyRecord(pf.databasePath()) == all
                                        : fileBytes(pf.databasePath()) == live && folderEntries(pf.path()) == entries;
                if (!sound)
                    unsound << QStringLiteral("%1 page %2").arg(cut ? "cut at" : "zeroed").arg(page);
                if (r.ok) QVERIFY(writeFileBytes(pf.databasePath(), live));
            }
        qInfo("%s: %d damaged copies, %d refused, %lld unsound", qPrintable(file), tries, refused,
              qint64(unsound.size()));
        QVERIFY2(unsound.isEmpty(), qPrintable(unsound.join(QLatin1String(", "))));
    }

    void filesOfOtherWriters() {
        // Compressed Unicode of every kind, read exactly as stored (never normalised:
        // the Greek row holds the oxia accents U+1F79 and U+1F7B).
        JetFile unicode(jetData(QStringLiteral("thirdparty/testUnicodeCompV2003.mdb")));
        QCOMPARE(unicode.tableNames(), QStringList{"Table"});
        const JetTable t = unicode.read(QStringLiteral("table"));
        QString all;
        for (char16_t c = 1; c <= 0xff; ++c)
            all += QChar(c);
        const QStringList expected{"only ascii chars", "ääkkösiä", "Мир",
                                   QStringLiteral("ϰαὶ τ\u1F79τ' ἐγὼ Κ\u1F7Bϰλωπα"), "漢字仮名交じり文",
                                   QString::fromUtf8("3L9\x1d" "52\x02_AB(¥\x05!!V"), "ümlaut", all};
        QCOMPARE(t.rows.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(t.rows[i], (QList<std::optional<QString>>{QString::number(i + 1), expected[i]}));

        // Written on a Chinese system: dates, numbers and yes/no the same under every locale.
        JetFile users(jetData(QStringLiteral("thirdparty/node-adodb.mdb")));
        const JetTable u = users.read("users", {"userid", "UserName", "UserSex", "UserBirthday", "UserMarried"});
        QStringList cells;
        for (const auto& row : u.rows)
            for (const auto& v : row)
                cells << v.value_or(QStringLiteral("<null>"));
        QCOMPARE(cells, (QStringList{"1", "Nuintun", "Male", "1989-01-25", "1", "2", "Angela", "Female", "1988-12-18",
                                     "0", "3", "张三", "男", "1986-12-18", "1"}));
        QCOMPARE(u.autoNumberCounter, qint64(3));
        QVERIFY_THROWS_EXCEPTION(DbError, users.read(QStringLiteral("Users"), {"Nope"}));
    }

    void queries_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("hits");
        QTest::addColumn<QString>("says"); // the error, empty for none
        QTest::newRow("accents and case do not count") << "CEILIDH cellar" << QStringList{"location:Old Mill:Background"} << "";
        QTest::newRow("every kind of record") << "spectrometer OR frost OR banister OR whisper"
                                              << QStringList{"equipment:EMF:Quirks", "evidence:1-2-06 9:5 am-1 #1:note",
                                                             "investigator:Ann:Notes", "picture:Stairs:History"} << "";
        QTest::newRow("prefix beside a word") << "door kno*" << QStringList{"investigation:1-2-06 9:5 am-1:Investigation_Notes"} << "";
        QTest::newRow("brackets beside words") << "(fog OR frost) batteries (drains)" << QStringList{"equipment:EMF:Quirks"} << "";
        QTest::newRow("a word beside brackets") << "batteries (fog OR frost)" << QStringList{"equipment:EMF:Quirks"} << "";
        QTest::newRow("prefix beside brackets") << "(fog OR frost) bat*" << QStringList{"equipment:EMF:Quirks"} << "";
        QTest::newRow("prefix under NOT") << "cellar NOT do*" << QStringList{"location:Old Mill:Background"} << "";
        QTest::newRow("prefix with an accent") << "CÉIL*" << QStringList{"location:Old Mill:Background"} << "";
        QTest::newRow("prefix of many words") << "zq* zq69x" << QStringList{"investigator:Cy:Notes"} << "";
        QTest::newRow("prefix of many words, one left") << "zq6*" << QStringList{"investigator:Cy:Notes"} << "";
        QTest::newRow("phrase") << "\"cellar door\"" << QStringList{"location:Grange:Notes"} << "";
        QTest::newRow("both words anywhere") << "cellar door" << QStringList{"location:Grange:Notes"} << "";
        QTest::newRow("brackets") << "(fog OR frost) NOT batteries" << QStringList{"investigation:1-2-06 9:5 am-1:Weather"} << "";
        QTest::newRow("an e-mail address") << "ann@example.com" << QStringList{"location:Old Mill:Email"} << "";
        QTest::newRow("a time") << "10:30" << QStringList{"investigation:1-2-06 9:5 am-1:Investigation_Notes"} << "";
        QTest::newRow("the dashboard's own words") << "New OR Add" << QStringList{} << "";
        QTest::newRow("lower-case or is a word") << "fog or frost" << QStringList{} << "";
        QTest::newRow("only punctuation") << "@@@" << QStringList{} << "";
        QTest::newRow("a huge query") << QString("cellar ").repeated(5000) << QStringList{"location:Grange:Notes", "location:Old Mill:Background"} << "";
        QTest::newRow("open quote") << "\"cellar door" << QStringList{} << "quotation mark";
        QTest::newRow("OR at the end") << "cellar OR" << QStringList{} << "not complete";
        QTest::newRow("NOT first") << "NOT door" << QStringList{} << "at \"NOT\"";
        QTest::newRow("open bracket") << "(cellar" << QStringList{} << "not closed";
        QTest::newRow("closing bracket") << "cellar)" << QStringList{} << "no opening";
        QTest::newRow("a lone star") << "*" << QStringList{} << "must end a word";
        QTest::newRow("nothing") << "   " << QStringList{} << "Type a word";
    }
    void queries() {
        QFETCH(QString, query);
        QFETCH(QStringList, hits);
        QFETCH(QString, says);
        ProgramFolder pf;
        auto db = Connection::open(pf.path());
        seed(*db);
        const SearchResult r = search(*db, query);
        QVERIFY2(says.isEmpty() ? r.error.isEmpty() : r.error.contains(says), qPrintable(r.error));
        QCOMPARE(found(*db, query), hits);
        QCOMPARE(r.total(), hits.size());
    }

    void snippetMarksTheMatchOnOneLine() {
        ProgramFolder pf;
        auto db = Connection::open(pf.path());
        db->add(tables::location, {{"LocationName", "Mill"}, {"History", "first line\n\tthe <b>Cellar</b> [door]"}});
        const SearchHit h = search(*db, "cellar").hits.value(0);
        QCOMPARE(markSnippet(h.snippet, "[", "]"), "first line the <b>[Cellar]</b> [door]");
        QCOMPARE(markSnippet(h.snippet, "<b>", "</b>", true), "first line the &lt;b&gt;<b>Cellar</b>&lt;/b&gt; [door]");
        // In a long field: the stretch with both words, a phrase never cut in two.
        const QString many = QString("word ").repeated(30);
        db->add(tables::location, {{"LocationName", "Long"}, {"Notes", many + "a loft " + many + "the loft by the hatch in the céilidh hall " + many}});
        QCOMPARE(markSnippet(search(*db, "loft hatch").hits.value(0).snippet, "[", "]"),
                 "… word word the [loft] by the [hatch] in the céilidh hall word word word word word …");
        const QString phrase = QString("x ").repeated(20).trimmed();
        db->add(tables::location, {{"LocationName", "Phrase"}, {"Notes", many + phrase + " " + many}});
        QCOMPARE(markSnippet(search(*db, '"' + phrase + '"').hits.value(0).snippet, "[", "]"), "… [" + phrase + "] …");
    }

    // Counted up to the cap, the best picked among the newest; 0 asks for all, and
    // then the word said most often ranks first, though it was written earliest.
    void manyMatches() {
        ProgramFolder pf;
        auto db = Connection::open(pf.path());
        db->add(tables::location, {{"LocationName", "First"}, {"Notes", "a ghost, a ghost, a ghost of the place"}});
        QCOMPARE(runSql(pf.databasePath(), "WITH RECURSIVE n(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k < 1500) "
                                           "INSERT INTO Location(LocationName, Notes) SELECT 'L' || k, 'a ghost in the "
                                           "long notes of a place' FROM n"),
                 QString());
        db->add(tables::investigators, {{"Name", "Ghostly"}, {"Notes", "ghost"}});
        SearchResult few = firstHits(*db, "ghost", 10, 4); // the best four of all kinds
        QCOMPARE(few.hits.size(), 4);
        QCOMPARE(few.counts.value(HitKind::Location), kRankWindow + 1);
        QVERIFY(few.hits.first().key != "First"); // older than the newest kRankWindow
        const QList<SearchHit> merged = bestFirst(firstHits(*db, "ghost", 10).hits);
        few.hits = bestFirst(few.hits);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(few.hits[i].rowid, merged[i].rowid);
        countOn(*db, few);
        QCOMPARE(few.counts.value(HitKind::Location), kCountCap + 1);
        QCOMPARE(search(*db, "ghost", 10).counts, few.counts);
        const SearchResult all = search(*db, "ghost", 0);
        QCOMPARE(all.counts.value(HitKind::Location), 1501);
        QCOMPARE(all.hits.size(), 1502); // and the investigator
        QCOMPARE(all.hits.first().key, "First");
        QCOMPARE(search(*db, "gho*", 0).hits.first().key, "First");
    }

    // Whatever writes the file -- this store, another tool, a restored backup
    // -- the index follows, and one that went missing or bad is made again.
    void indexFollowsEveryWriter_data() {
        QTest::addColumn<QString>("change"); // SQL run by another writer after the seed
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("hits");
        QTest::addColumn<bool>("rebuilt"); // on open, saying how far
        QTest::newRow("inserted by another tool")
            << "INSERT INTO Interview(Name, Interview) VALUES('Bo', 'a poltergeist')" << "poltergeist"
            << QStringList{"interview::Interview"} << false;
        QTest::newRow("changed by another tool: old words gone")
            << "UPDATE Location SET Notes='the attic only' WHERE LocationName='Grange'" << "door"
            << QStringList{"investigation:1-2-06 9:5 am-1:Investigation_Notes"} << false;
        QTest::newRow("deleted by another tool") << "DELETE FROM equipment" << "frost" << QStringList{} << false;
        QTest::newRow("replaced under the same number")
            << "INSERT OR REPLACE INTO Investigations(ID, FullDate_Time, Weather) VALUES(1, 'k-1', 'hail')"
            << "fog OR hail OR knocking" << QStringList{"investigation:k-1:Weather"} << false;
        QTest::newRow("a restored backup from before the index")
            << "DROP TRIGGER vc_search_location_ai; DROP TRIGGER vc_search_location_au; DROP TRIGGER "
               "vc_search_location_ad; DROP TABLE vc_search_location; PRAGMA user_version=1; "
               "INSERT INTO Location(LocationName, Notes) VALUES('Inn', 'a poltergeist')"
            << "poltergeist" << QStringList{"location:Inn:Notes"} << true;
        QTest::newRow("an index someone dropped") << "DROP TABLE vc_search_equipment" << "frost"
                                                  << QStringList{"equipment:EMF:Quirks"} << true;
        QTest::newRow("a damaged index")
            << "UPDATE vc_search_interview_data SET block = x'ffffffffffffffffffff' WHERE id = 10" << "harpsichord"
            << QStringList{"interview:1-2-06 9:6 am-1:Interview"} << true;
        QTest::newRow("a damaged page of an index, met by a search")
            << "UPDATE vc_search_interview_data SET block = x'ffffffffffffffffffffffffffffffff' WHERE id > 10"
            << "harpsichord" << QStringList{"interview:1-2-06 9:6 am-1:Interview"} << false;
    }
    void indexFollowsEveryWriter() {
        QFETCH(QString, change);
        QFETCH(QString, query);
        QFETCH(QStringList, hits);
        QFETCH(bool, rebuilt);
        ProgramFolder pf;
        seed(*Connection::open(pf.path()));
        QCOMPARE(runSql(pf.databasePath(), change), QString());
        qint64 lastDone = -1, lastTotal = 0;
        setIndexProgress([&](qint64 done, qint64 total) { lastDone = done, lastTotal = total; });
        auto db = Connection::open(pf.path());
        setIndexProgress({});
        QCOMPARE(lastDone == lastTotal && lastTotal >= 7, rebuilt);
        QCOMPARE(found(*db, query), hits);
        QCOMPARE(schemaVersion(db->handle()), kSchemaVersion);
        QCOMPARE(searchIndexProblem(db->handle()), QString());
    }
};

QTEST_GUILESS_MAIN(CaseDbTest)
#include "test_casedb.moc"
