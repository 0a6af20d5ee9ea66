#include "programfolder.h"
#include "store/casedb.h"
#include "store/migrations.h"
#include "store/searchindex.h"

#include <QTest>

using namespace veil;
using namespace veil::test;

namespace {

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

class SearchIndexTest : public QObject {
    Q_OBJECT
private slots:
    void queries_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("hits");
        QTest::addColumn<QString>("says"); // the error, empty for none
        QTest::newRow("accents and case do not count") << "CEILIDH cellar" << QStringList{"location:Old Mill:Background"} << "";
        QTest::newRow("every kind of record")
            << "spectrometer OR frost OR banister OR whisper"
            << QStringList{"equipment:EMF:Quirks", "evidence:1-2-06 9:5 am-1 #1:note", "investigator:Ann:Notes",
                           "picture:Stairs:History"}
            << "";
        QTest::newRow("prefix") << "harpsi*" << QStringList{"interview:1-2-06 9:6 am-1:Interview"} << "";
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
        QTest::newRow("OR") << "harpsichord OR frost"
                            << QStringList{"equipment:EMF:Quirks", "interview:1-2-06 9:6 am-1:Interview"} << "";
        QTest::newRow("NOT") << "cellar NOT door" << QStringList{"location:Old Mill:Background"} << "";
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
        const SearchResult few = search(*db, "ghost", 10);
        QCOMPARE(few.hits.size(), 10);
        QVERIFY(few.counts.value(HitKind::Location) > kCountCap);
        QVERIFY(few.hits.first().key != "First"); // older than the newest kRankWindow
        const SearchResult all = search(*db, "ghost", 0);
        QCOMPARE(all.counts.value(HitKind::Location), 1501);
        QCOMPARE(all.hits.size(), 1501);
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

QTEST_GUILESS_MAIN(SearchIndexTest)
#include "test_searchindex.moc"
