#include "casetesting.h"

#include "records/interviewwindow.h"

using namespace veil;
using namespace veil::test;

namespace {
const QString kInvestigation = QStringLiteral("10-31-05 11:45 pm-17");

Form4* openInterview(Frame& f, const QString& key = QStringLiteral("New")) {
    dashboardOn(f, {"Old Mill", kInvestigation, key})->Label8->click();
    return f.window<Form4>(QStringLiteral("Form4"));
}

// The case with its investigation, and an interview of it when `more` is given; returns its key.
QString seed(Frame& f, const Fields& more = {}) {
    auto db = Connection::open(f.folder.path());
    seedCase(*db);
    db->add(tables::investigations, {{"Location", "Old Mill"}, {"FullDate_Time", kInvestigation}});
    return more.isEmpty() ? QString()
                          : seedKeyed(*db, tables::interview, {"11", "1", "2005", "1", "00", "am"},
                                      Fields{{"Investigation", kInvestigation}} + more);
}
} // namespace

class Form4Test : public QObject {
    Q_OBJECT
private slots:
    void newInterviewTakesItsDateFromTheInvestigationAndIsSavedThenUpdated() {
        Frame f;
        seed(f);
        Form4* w = openInterview(f);
        QCOMPARE(w->caption(), "Interview : Old Mill - " + kInvestigation);
        // The third piece "05 11:45 pm" is cut to the year box's four characters.
        QCOMPARE(shownDate(w->dateTime), QStringLiteral("10/31/05 1"));
        QVERIFY(!w->dateTime.isLocked());
        QCOMPARE(entries(w->List1), (QStringList{"Eve", "Ann", "bob", "Dee", "Cid"})); // stored order

        w->dateTime.month->clear();
        clickEntry(w->List1, "bob");
        menu(w, "save");
        QCOMPARE(f.ui.texts(), QStringList{"Please fill in fields before Saving"});
        QCOMPARE(count(f, tables::interview), 0);

        typeDateTime(w->dateTime, {"10", "31", "2005", "11", "45", "pm"});
        clickEntry(w->List1, "Ann");
        menu(w, "save");
        const QString key = QStringLiteral("10-31-2005 11:45 pm-1");
        QCOMPARE(w->caption(), "Interview : Old Mill - " + key + " has been saved");
        const Record r = stored(f, tables::interview, key);
        QCOMPARE(r.text("Investigation") + r.text("Interviewer"), kInvestigation + "Ann,bob,");
        QVERIFY(w->dateTime.isLocked());
        Form2* d = f.dashboard();
        QCOMPARE(d->Combo3->currentText(), key);
        QCOMPARE(d->Combo3->itemText(1), key);
        QCOMPARE(d->Label8->text(), QStringLiteral("View"));

        typeInto(w->Text8, "Owner");
        menu(w, "save");
        QCOMPARE(w->caption(), "Interview : Old Mill - " + kInvestigation + " has been updated");
        QCOMPARE(count(f, tables::interview), 1);
        QCOMPARE(stored(f, tables::interview, key).text("Affiliation"), QStringLiteral("Owner"));
    }

    void storedInterviewMarksInterviewersSpelledAlikeAndNewStartsOverToday() {
        Frame f;
        const QString key = seed(f, {{"Interviewer", "ann,Cid,"}, {"Name", "Tom"}});
        Form4* w = openInterview(f, key);
        QCOMPARE(marked(w->List1), QStringList{"Cid"});
        Connection::open(f.folder.path())->add(tables::investigators, {{"Name", "Zed"}});
        menu(w, "new");
        QCOMPARE(w->caption(), QStringLiteral("Interview - New"));
        QVERIFY(showsToday(w->dateTime));
        QCOMPARE(w->dateTime.parts().hour + w->dateTime.parts().minute + w->dateTime.parts().ap, QStringLiteral("am"));
        QVERIFY(w->Text7->text().isEmpty() && !w->dateTime.isLocked());
        QCOMPARE(entries(w->List1), (QStringList{"Eve", "Ann", "bob", "Dee", "Cid", "Zed"}));
        QVERIFY(marked(w->List1).isEmpty());

        // No tick is stored as empty text; hour and minutes stay unpadded.
        typeDateTime(w->dateTime, {"1", "2", "06", "9", "5", "am"});
        menu(w, "save");
        const Record r = stored(f, tables::interview, "1-2-06 9:5 am-2");
        QCOMPARE(r.text("Investigation"), kInvestigation);
        QVERIFY(!r.isNull("Interviewer") && r.text("Interviewer").isEmpty());
        QCOMPARE(stored(f, tables::interview, key).text("Name"), QStringLiteral("Tom"));

        // The record shown vanished (a restore, say): no "updated" for a save that stored nothing.
        Connection::open(f.folder.path())->updateRecord(tables::interview, 2, {{"Location", "x"}});
        menu(w, "save");
        QCOMPARE(f.ui.texts(), QStringList{"This interview could not be found, so nothing was saved."});
        QVERIFY(!w->caption().endsWith("updated"));
    }
};

VEIL_GERMAN_TEST_MAIN(Form4Test)
#include "test_interviewwindow.moc"
