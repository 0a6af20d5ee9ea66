#include "recordtesting.h"

#include "search/searchwindow.h"

#include <QMenuBar>
#include <QTreeWidget>

using namespace veil;
using namespace veil::test;

namespace {
const QString kInvestigation = QStringLiteral("10-31-2005 11:45 pm-1");
const QString kInterview = QStringLiteral("11-1-2005 1:00 am-1");

void seed(Frame& f) {
    auto db = Connection::open(f.folder.path());
    seedCase(*db);
    seedKeyed(*db, tables::investigations, {"10", "31", "2005", "11", "45", "pm"}, {{"Weather", "fog"}});
    seedKeyed(*db, tables::interview, {"11", "1", "2005", "1", "00", "am"},
              {{"Investigation", kInvestigation}, {"Interview", "A harpsichord played"}});
    db->add(tables::pictures, {{"Investigation", kInvestigation}, {"Title", "Stairs"}, {"History", "An orb on the banister"},
                               {"Path", "\\Investigations\\1\\Stairs.jpg"}});
    writePicture(f.folder.file("Investigations/1/Stairs.jpg"));
    QCOMPARE(runSql(f.folder.databasePath(),
                    "UPDATE Location SET Background = 'A céilidh was held here.';"
                    "UPDATE Investigators SET Notes = 'Reads the spectrometer' WHERE Name = 'Ann';"
                    "UPDATE equipment SET Quirks = 'Drains in frost' WHERE Nick_Name = 'EMF';"
                    "INSERT INTO vc_evidence(FullDate_Time, at_ms, kind, note) VALUES('" + kInvestigation +
                        "', 3600000, 'EVP', 'a whisper by the door')"),
             QString());
}

SearchWindow* find(Frame& f, const QString& query) {
    menu(f.dashboard(), "find");
    auto* w = f.window<SearchWindow>(QStringLiteral("SearchWindow"));
    if (w)
        typeInto(w->QueryBox, query); // the results follow after the pause
    return w;
}

QTreeWidgetItem* group(SearchWindow* w, const QString& title) {
    for (int i = 0; i < w->ResultsList->topLevelItemCount(); ++i)
        if (w->ResultsList->topLevelItem(i)->text(0) == title)
            return w->ResultsList->topLevelItem(i);
    return nullptr;
}

// The only result of a kind once it shows the matched words in bold (the pause has run the query).
QTreeWidgetItem* onlyHit(SearchWindow* w, const QString& kind) {
    QTreeWidgetItem* g = group(w, kind + " (1)");
    QTreeWidgetItem* hit = g && g->childCount() == 1 ? g->child(0) : nullptr;
    return hit && hit->data(2, SearchWindow::kSnippetHtmlRole).toString().contains("<b>") ? hit : nullptr;
}
} // namespace

class SearchWindowTest : public QObject {
    Q_OBJECT
private slots:
    // A result opens its record as the dashboard would, and a word saved
    // there through the window is found next.
    void resultOpensItsRecord_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("lists"); // the dashboard's four list texts afterwards
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("box");  // where the new word is typed, and the item or button that saves
        QTest::addColumn<QString>("save");
        QTest::addColumn<QString>("saved"); // the key the new word finds
        QTest::newRow("location") << "CEILIDH" << "Location" << "Old Mill" << QStringList{"Old Mill", "New", "New", "Add"}
                                  << "Form1" << "RichTextBox3" << "save" << "Old Mill";
        QTest::newRow("investigation") << "fog" << "Investigation" << kInvestigation
                                       << QStringList{"Old Mill", kInvestigation, "New", "Add"} << "Form3" << "Text12"
                                       << "save" << kInvestigation;
        QTest::newRow("interview") << "harpsi*" << "Interview" << kInterview
                                   << QStringList{"Old Mill", kInvestigation, kInterview, "Add"} << "Form4" << "Text8"
                                   << "save" << kInterview;
        QTest::newRow("investigator") << "spectrometer" << "Investigator" << "Ann"
                                      << QStringList{"New", "New", "New", "Add"} << "Form5" << "RichTextBox1"
                                      << "Label9" << "Ann";
        QTest::newRow("equipment") << "frost" << "Equipment" << "EMF" << QStringList{"New", "New", "New", "Add"}
                                   << "Form7" << "Text7" << "Label8" << "EMF";
        QTest::newRow("picture") << "\"the banister\"" << "Picture" << "Stairs"
                                 << QStringList{"Old Mill", kInvestigation, "New", "Stairs"} << "Form9" << "Form10"
                                 << "Label5" << "Zebra";
        QTest::newRow("finding") << "whisper" << "Evidence" << kInvestigation + " #1"
                                 << QStringList{"Old Mill", kInvestigation, "New", "Add"} << "EvidenceWindow" << ""
                                 << "" << "";
    }
    void resultOpensItsRecord() {
        QFETCH(QString, query);
        QFETCH(QString, kind);
        QFETCH(QString, key);
        QFETCH(QStringList, lists);
        QFETCH(QString, window);
        Frame f(seed);
        SearchWindow* w = find(f, query);
        QVERIFY(w);
        QTRY_VERIFY(onlyHit(w, kind));
        QTreeWidgetItem* const hit = onlyHit(w, kind);
        QCOMPARE(hit->text(0), key);
        QCOMPARE(w->SearchMessage->text(), QStringLiteral("1 record found."));
        QVERIFY(w->openResult(hit));
        Form2* d = f.dashboard();
        QCOMPARE((QStringList{d->Combo1->currentText(), d->Combo2->currentText(), d->Combo3->currentText(),
                              d->Combo4->currentText()}),
                 lists);
        auto* opened = f.frame->loaded(window);
        QVERIFY2(opened && opened->isVisible(), qPrintable(window));
        if (auto* list = opened->findChild<QListWidget*>("List1"); list && window != "Form3" && window != "Form4")
            QCOMPARE(list->currentItem() ? list->currentItem()->text() : QString(), key);

        QFETCH(QString, box);
        QFETCH(QString, save);
        QFETCH(QString, saved);
        if (saved.isEmpty())
            return;
        if (box == "Form10") { // a picture is saved in Add Pictures, for the dashboard's investigation
            QVERIFY(opened = f.frame->show(box));
            writePicture(f.folder.file("z.jpg"));
            f.ui.setNextFileName(f.folder.file("z.jpg"));
            opened->findChild<ImageButton*>("Label4")->click();
            opened->findChild<QLineEdit*>("Text1")->setText(saved);
        } else if (auto* text = opened->findChild<QTextEdit*>(box)) {
            text->setPlainText("a zebra");
        } else {
            typeInto(opened->findChild<QLineEdit*>(box), "zebra");
        }
        if (auto* button = opened->findChild<ImageButton*>(save))
            button->click();
        else
            menu(opened, qPrintable(save));
        typeInto(w->QueryBox, "zebra");
        QTRY_VERIFY(onlyHit(w, kind) && onlyHit(w, kind)->text(2).contains("zebra", Qt::CaseInsensitive));
        QCOMPARE(onlyHit(w, kind)->text(0), saved);
    }

    // The hits come at once; a kind with many is counted on after them, for
    // the query it belongs to only.
    void manyAreCountedOnAfterTheHits() {
        Frame f;
        seed(f);
        QCOMPARE(runSql(f.folder.databasePath(), "WITH RECURSIVE n(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM n "
                                                 "WHERE k < 1200) INSERT INTO Location(LocationName, Notes) "
                                                 "SELECT 'L' || k, 'a ghost' FROM n"),
                 QString());
        SearchWindow* w = find(f, "ghost");
        QVERIFY(w);
        const QString many = "Location (" + QLocale().toString(kCountCap) + "+)";
        QTRY_VERIFY(group(w, many));
        QCOMPARE(w->SearchMessage->text(), "More than " + QLocale().toString(kCountCap) + " records found.");
        w->runSearch(); // counting on still to come when the next query runs
        w->QueryBox->setText("harpsichord");
        w->runSearch();
        QCoreApplication::processEvents();
        QCOMPARE(w->SearchMessage->text(), QStringLiteral("1 record found."));
    }

    // What cannot be read, found or handed over is said in the window.
    void saysWhatItCannotDo() {
        Frame f(seed);
        Connection::open(f.folder.path())->add(tables::location, {{"LocationName", "New"}, {"Notes", "haunted"}});
        f.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.frame));
        f.dashboard()->Combo1->setFocus();
        QTest::keyClick(f.dashboard()->Combo1, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(f.window<SearchWindow>(QStringLiteral("SearchWindow")));
        QCOMPARE(f.dashboard()->Combo1->currentText(), QStringLiteral("New")); // the key typed nothing there
        f.frame->unload("SearchWindow");
        f.frame->menuBar()->findChild<QAction*>("find")->trigger(); // the frame's menu reaches it too
        auto* w = f.window<SearchWindow>(QStringLiteral("SearchWindow"));
        QVERIFY(w);
        typeInto(w->QueryBox, "\"cellar");
        QTRY_VERIFY(w->SearchMessage->text().contains("quotation mark"));
        QCOMPARE(w->ResultsList->topLevelItemCount(), 0);
        typeInto(w->QueryBox, "poltergeist");
        QTRY_COMPARE(w->SearchMessage->text(), QStringLiteral("Nothing found."));

        typeInto(w->QueryBox, "haunted");
        QTest::keyClick(w->QueryBox, Qt::Key_Return); // at once, without the pause
        QVERIFY(group(w, "Location (1)"));
        QVERIFY(w->openResult(group(w, "Location (1)")->child(0)));
        QVERIFY(f.ui.lastText().contains("\"New\" is the word the dashboard uses"));
        QVERIFY(!f.frame->loaded("Form1"));
    }
};

QTEST_MAIN(SearchWindowTest)
#include "test_searchwindow.moc"
