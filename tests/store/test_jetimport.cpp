#include "casedb.h"
#include "jetimport.h"
#include "paths.h"
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

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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

// The README's appendix: one JSON object per record of case_jet4.mdb, in stored order.
QList<QPair<QString, QJsonObject>> expectedRows() {
    QList<QPair<QString, QJsonObject>> rows;
    for (const QByteArray& line : bytes(jetData(QStringLiteral("README.md"))).split('\n')) {
        if (!line.startsWith("{\"table\"")) continue;
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        rows.append({o.value(QStringLiteral("table")).toString(),
                     o.value(QStringLiteral("row")).toObject()});
    }
    return rows;
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
        const ImportResult r = importInPlace(pf);
        qunsetenv("MDBICONV");
        QVERIFY2(r.ok, qPrintable(r.error));

        // The old file is kept beside, byte for byte, under a clear name.
        QCOMPARE(r.keptAs, pf.file(QStringLiteral("Veilcase (Windows version).mdb")));
        QCOMPARE(sha256(bytes(r.keptAs)),
                 QByteArray("ed6f896c97086f7b8a125252caaddbbee3a72766cf8f75b07ff3a9a4879d07f3"));
        QCOMPARE(fileKind(pf.databasePath()), FileKind::Sqlite);
        const QList<QPair<QString, int>> counts{{"Location", 3},  {"Investigations", 4},
                                                {"Interview", 3}, {"Investigators", 4},
                                                {"equipment", 5}, {"Pictures", 4}};
        QCOMPARE(r.records, counts);

        // Every record, every field, null versus empty, in stored order.
        auto db = Connection::open(pf.path());
        const auto expected = expectedRows();
        QCOMPARE(expected.size(), 23);
        QHash<QString, int> position;
        for (const auto& [table, row] : expected) {
            Cursor& c = db->openTable(table);
            for (int i = position[table]++; i > 0; --i)
                c.moveNext();
            QVERIFY(!c.eof());
            for (auto it = row.begin(); it != row.end(); ++it) {
                const QString where = table + QLatin1Char('.') + it.key() + QLatin1Char(' ') +
                                      c.field(it.key()).left(40);
                if (it->isNull()) {
                    QVERIFY2(c.isNull(it.key()), qPrintable(where));
                } else if (it->isDouble()) {
                    QCOMPARE(c.field(it.key()), QString::number(it->toInt()));
                } else if (!it->toString().startsWith(QLatin1String("<LONG MEMO"))) {
                    QVERIFY2(!c.isNull(it.key()), qPrintable(where));
                    QCOMPARE(c.field(it.key()), it->toString());
                }
            }
        }
        for (auto it = position.begin(); it != position.end(); ++it)
            QCOMPARE(db->count(it.key()), it.value());

        // The memo over 40,000 characters arrives whole.
        const auto mill = db->findFirst(tables::location, {{"LocationName", "Old Mill"}});
        QVERIFY(mill);
        const QString history = mill->text(QStringLiteral("History"));
        QCOMPARE(history.size(), 40661);
        QCOMPARE(history.left(20), QStringLiteral("History of the Old M"));
        QCOMPARE(history.right(20), QStringLiteral("END OF MILL HISTORY."));
        QCOMPARE(history.count(QStringLiteral("\r\n")), 456);
        QCOMPARE(sha256(history.toUtf8()),
                 QByteArray("a59c5ab4412640d784800f51d0c6f8ce5048a1d19231f2a73246a86e8f11f2bc"));

        // Keys and the names that differ only in case still find their records.
        QCOMPARE(db->column(tables::investigations, "ID"), (QStringList{"17", "18", "20", "23"}));
        QCOMPARE(db->column(tables::investigations, "FullDate_Time", {{"Location", "Old Mill"}}),
                 (QStringList{"10-31-2005 11:45 pm-17", "3-7-2006 9:05 pm-18"}));
        QCOMPARE(db->column(tables::investigations, "ID", {{"Location", "old mill"}}),
                 QStringList{"20"});
        QCOMPARE(
            db->column(tables::interview, "Name", {{"Investigation", "10-31-2005 11:45 pm-17"}}),
            (QStringList{"Jürgen Müller", "Olga Petrova"}));
        const auto picture = db->findFirst(tables::pictures, {{"Title", "Cellar door"}});
        QCOMPARE(programPath(pf.path(), picture->text("Path")),
                 pf.path() + "/Investigations/17/Cellar door.JPG");

        // New records are numbered above every imported one.
        Cursor& inv = db->openTable(tables::investigations);
        inv.addNew();
        QCOMPARE(inv.field("ID"), QStringLiteral("24"));
        inv.setField("FullDate_Time", "1-2-06 9:5 am-24");
        inv.update();
        QCOMPARE(db->add(tables::interview, {{"Name", "new"}}), qint64(4));
    }

    void autoNumberCounterOfTheOldFileIsKept() {
        JetFile jet(jetData(QStringLiteral("case_jet4.mdb")));
        QCOMPARE(jet.findTable(QStringLiteral("INVESTIGATIONS")), QStringLiteral("Investigations"));
        QCOMPARE(jet.findTable(QStringLiteral("Equipment")), QStringLiteral("equipment"));
        QCOMPARE(jet.findTable(QStringLiteral("interviews")), QString());
        const JetTable t = jet.read(QStringLiteral("investigations"), {"id", "Location"});
        QCOMPARE(t.columns, (QStringList{"ID", "Location"}));
        QCOMPARE(t.autoNumberCounter, qint64(23));
        QCOMPARE(t.rows.size(), 4); // the sixteen deleted records and the moved copies are not read
        QVERIFY_THROWS_EXCEPTION(DbError, jet.read(QStringLiteral("Location"), {"Nope"}));
    }

    void emptyFileGivesAnEmptyCaseDatabase() {
        ProgramFolder pf;
        placeAsDatabase(pf, QStringLiteral("empty_jet4.mdb"));
        const ImportResult r = importInPlace(pf);
        QVERIFY2(r.ok, qPrintable(r.error));
        auto db = Connection::open(pf.path());
        for (const TableDef& t : caseTables())
            QCOMPARE(db->count(t.name), 0);
        QCOMPARE(db->add(tables::investigations, {}), qint64(1));
    }

    void refusedFilesChangeNothing_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("named");
        QTest::newRow("wrong schema")
            << "wrong_schema_jet4.mdb"
            << QStringList{"\"Pictures\" is missing", "\"Investigators\" has no field \"Active\""};
        QTest::newRow("third party")
            << "thirdparty/node-adodb.mdb"
            << QStringList{"\"Location\" is missing",  "\"Investigations\" is missing",
                           "\"Interview\" is missing", "\"Investigators\" is missing",
                           "\"equipment\" is missing", "\"Pictures\" is missing"};
        QTest::newRow("not a Jet file")
            << "README.md" << QStringList{"not a Microsoft Jet database"};
    }
    void refusedFilesChangeNothing() {
        QFETCH(QString, file);
        QFETCH(QStringList, named);
        ProgramFolder pf;
        placeAsDatabase(pf, file);
        const QByteArray before = bytes(pf.databasePath());
        const QStringList entries = folderEntries(pf.path());
        const ImportResult r = importInPlace(pf);
        QVERIFY(!r.ok);
        for (const QString& n : named)
            QVERIFY2(r.error.contains(n), qPrintable(r.error));
        QVERIFY2(r.error.endsWith(QLatin1String("Nothing was changed.")), qPrintable(r.error));
        QVERIFY(r.keptAs.isEmpty());
        QCOMPARE(bytes(pf.databasePath()), before);
        QCOMPARE(folderEntries(pf.path()), entries);
    }

    void keptCopyNeverOverwritesAnEarlierOne() {
        ProgramFolder pf;
        QFile earlier(pf.file(QStringLiteral("Veilcase (Windows version).mdb")));
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier import");
        earlier.close();
        placeAsDatabase(pf, QStringLiteral("case_jet4.mdb"));
        const ImportResult r = importInPlace(pf);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.keptAs, pf.file(QStringLiteral("Veilcase (Windows version 2).mdb")));
        QCOMPARE(bytes(earlier.fileName()), QByteArray("an earlier import"));
        QCOMPARE(bytes(r.keptAs), bytes(jetData(QStringLiteral("case_jet4.mdb"))));
    }

    void importIntoAnotherFileLeavesTheJetFileAlone() {
        // As a restore does: the Jet file is only read, the case database replaced.
        ProgramFolder pf;
        auto before = Connection::open(pf.path());
        before->add(tables::location, {{"LocationName", "replaced by the import"}});
        before.reset();
        QTemporaryDir dir;
        const QString jet = dir.filePath(QStringLiteral("db_back"));
        QVERIFY(QFile::copy(jetData(QStringLiteral("case_jet4.mdb")), jet));
        const ImportResult r =
            importJet(jet, pf.file(QStringLiteral("Clean_DB")), pf.databasePath());
        QVERIFY2(r.ok, qPrintable(r.error));
        QVERIFY(r.keptAs.isEmpty());
        QCOMPARE(bytes(jet), bytes(jetData(QStringLiteral("case_jet4.mdb"))));
        QCOMPARE(folderEntries(dir.path()), QStringList{"db_back"});
        auto db = Connection::open(pf.path());
        QCOMPARE(db->column(tables::location, "LocationName"),
                 (QStringList{"Old Mill", "old mill", "St. Mary's Rectory"}));

        // A clean database that is not one stops the import before anything is read.
        const ImportResult bad = importJet(jet, jet, pf.databasePath());
        QVERIFY(!bad.ok);
        QVERIFY2(bad.error.contains(QLatin1String("clean database")), qPrintable(bad.error));
    }

    void compressedUnicodeOfAnotherWriter() {
        JetFile jet(jetData(QStringLiteral("thirdparty/testUnicodeCompV2003.mdb")));
        QCOMPARE(jet.tableNames(), QStringList{"Table"});
        const JetTable t = jet.read(QStringLiteral("table"));
        QCOMPARE(t.columns, (QStringList{"ID", "Unicode"}));
        QCOMPARE(t.rows.size(), 8);
        // The Greek row is stored with the oxia accents (U+1F79, U+1F7B), not their
        // composed equivalents; text is taken as stored, never normalised.
        const QString greek = QStringLiteral("ϰαὶ τ\u1F79τ' ἐγὼ Κ\u1F7Bϰλωπα");
        QCOMPARE(greek.normalized(QString::NormalizationForm_C),
                 QStringLiteral("ϰαὶ τότ' ἐγὼ Κύϰλωπα"));
        const QStringList expected{"only ascii chars",
                                   "ääkkösiä",
                                   "Мир",
                                   greek,
                                   "漢字仮名交じり文",
                                   QString::fromUtf8("3L9\x1d"
                                                     "52\x02_AB(¥\x05!!V"),
                                   "ümlaut"};
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(t.rows[i][0], std::optional<QString>(QString::number(i + 1)));
            QCOMPARE(t.rows[i][1], std::optional<QString>(expected[i]));
        }
        QString all;
        for (char16_t c = 1; c <= 0xff; ++c)
            all += QChar(c);
        QCOMPARE(t.rows[7][1], std::optional<QString>(all));
    }

    void datesNumbersAndYesNoOfAnotherWriter() {
        // Written on a Chinese system; dates, numbers and yes/no come out the same everywhere.
        JetFile jet(jetData(QStringLiteral("thirdparty/node-adodb.mdb")));
        const JetTable t = jet.read(QStringLiteral("users"));
        QCOMPARE(t.columns,
                 (QStringList{"UserId", "UserName", "UserSex", "UserBirthday", "UserMarried"}));
        QCOMPARE(t.rows.size(), 3);
        auto row = [&](int i) {
            QStringList out;
            for (const auto& v : t.rows[i])
                out << v.value_or(QStringLiteral("<null>"));
            return out;
        };
        QCOMPARE(row(0), (QStringList{"1", "Nuintun", "Male", "1989-01-25", "1"}));
        QCOMPARE(row(1), (QStringList{"2", "Angela", "Female", "1988-12-18", "0"}));
        QCOMPARE(row(2), (QStringList{"3", "张三", "男", "1986-12-18", "1"}));
    }
};

QTEST_GUILESS_MAIN(JetImportTest)
#include "test_jetimport.moc"
