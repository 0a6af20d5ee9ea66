#include "filebytes.h"
#include "store/casedb.h"
#include "store/jetimport.h"
#include "store/paths.h"
#include "programfolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace veil;
using namespace veil::test;

namespace {
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
} // namespace

class JetImportTest : public QObject {
    Q_OBJECT
  private slots:
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
};

QTEST_GUILESS_MAIN(JetImportTest)
#include "test_jetimport.moc"
