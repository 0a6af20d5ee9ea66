#include "casetesting.h"

#include "form4.h"
#include "printwindow.h"

#include <QTemporaryDir>
#include <QTextEdit>

using namespace veil;
using namespace veil::test;

namespace {
const QString kInvestigation = QStringLiteral("10-31-05 11:45 pm-17");

Form4* openInterview(Frame& f, const QString& interview = QStringLiteral("New")) {
    Form2* d = reloadDashboard(f);
    choose(d->Combo1, QStringLiteral("Old Mill"));
    choose(d->Combo2, kInvestigation);
    if (interview != QLatin1String("New"))
        choose(d->Combo3, interview);
    press(d->Label8);
    return f.window<Form4>(QStringLiteral("Form4"));
}

// A location with the investigation kInvestigation and the roster.
void seedCase(Frame& f) {
    auto db = Connection::open(f.folder.path());
    seedRoster(*db);
    seedLocation(*db);
    db->add(tables::investigations, {{"Location", "Old Mill"}, {"FullDate_Time", kInvestigation}});
}

QString seedInterview(Frame& f, const DateTimeParts& p, const Fields& more) {
    auto db = Connection::open(f.folder.path());
    Fields fields{{"Location", "Old Mill"}, {"Investigation", kInvestigation}, {"Date_Month", p.month},
                  {"Date_Day", p.day},      {"Date_Year", p.year},            {"Time_Hour", p.hour},
                  {"Time_Min", p.minute},   {"Time_AP", p.ap}};
    const qint64 id = db->add(tables::interview, fields + more);
    const QString key = composeKey(p, QString::number(id));
    db->updateRecord(tables::interview, id, {{"FullDate_Time", key}});
    return key;
}

Record interview(Frame& f, const QString& key) {
    const auto r = Connection::open(f.folder.path())->findFirst(tables::interview, {{"FullDate_Time", key}});
    return r ? *r : Record{};
}

bool dateTimeLocked(Form4* w) {
    for (QLineEdit* b : w->dateTime.boxes())
        if (!b->isReadOnly())
            return false;
    return true;
}
} // namespace

class Form4Test : public QObject {
    Q_OBJECT
private slots:
    void newInterviewTakesItsDateFromTheInvestigationKey() {
        Frame f;
        seedCase(f);
        Form4* w = openInterview(f);
        QVERIFY(w);
        QCOMPARE(w->caption(), "Interview : Old Mill - " + kInvestigation);
        // The third piece "05 11:45 pm" is cut to the year box's four characters.
        QCOMPARE(w->dateTime.month->text(), QStringLiteral("10"));
        QCOMPARE(w->dateTime.day->text(), QStringLiteral("31"));
        QCOMPARE(w->dateTime.year->text(), QStringLiteral("05 1"));
        QVERIFY(w->dateTime.hour->text().isEmpty() && w->dateTime.minute->text().isEmpty());
        QCOMPARE(w->dateTime.ap->text(), QStringLiteral("pm"));
        QVERIFY(!w->dateTime.isLocked());
        // The roster in stored order, inactive members too, nobody ticked.
        QCOMPARE(entries(w->List1), (QStringList{"Eve", "Ann", "bob", "Dee", "Cid"}));
        QVERIFY(marked(w->List1).isEmpty());

        QCOMPARE(menuItems(w, "file"), (QStringList{"new=&New", "save=&Save", "print=&Print", "close=&Close"}));
        QCOMPARE(menuItems(w, "help"), (QStringList{"guide=Veilcase User Guide", "na=-", "about=About"}));
    }

    void savingNeedsAMonthThenAddsOnceAndUpdatesAfter() {
        Frame f;
        seedCase(f);
        {
            // Earlier interviews elsewhere, so this one becomes record 23.
            auto db = Connection::open(f.folder.path());
            for (int i = 0; i < 22; ++i)
                db->add(tables::interview, {{"Location", "Abbey"}, {"FullDate_Time", QString::number(i)}});
        }
        Form4* w = openInterview(f);
        w->dateTime.month->clear();
        clickEntry(w->List1, "bob");
        menu(w, "save");
        QCOMPARE(f.ui.texts(), QStringList{"Please fill in fields before Saving"});
        QCOMPARE(f.ui.messages.last().title, QStringLiteral("Veilcase"));
        QCOMPARE(Connection::open(f.folder.path())->count(tables::interview), 22);
        QCOMPARE(w->Text11->text(), QStringLiteral("New"));

        typeInto(w->dateTime.month, "10");
        typeInto(w->dateTime.year, "2005");
        typeInto(w->dateTime.hour, "11");
        typeInto(w->dateTime.minute, "45");
        typeInto(w->Text7, "Mrs Pike");
        typeInto(w->Text8, "Owner");
        w->RichTextBox1->setPlainText("Heard steps.");
        clickEntry(w->List1, "Ann");
        menu(w, "save");

        const QString key = QStringLiteral("10-31-2005 11:45 pm-23");
        QCOMPARE(w->caption(), "Interview : Old Mill - " + key + " has been saved");
        QCOMPARE(w->Text11->text(), key);
        QVERIFY(dateTimeLocked(w));
        Record r = interview(f, key);
        QCOMPARE(r.text("Location"), QStringLiteral("Old Mill"));
        QCOMPARE(r.text("Investigation"), kInvestigation);
        QCOMPARE(r.text("Interviewer"), QStringLiteral("Ann,bob,"));
        QCOMPARE(r.text("Name"), QStringLiteral("Mrs Pike"));
        QCOMPARE(r.text("Interview"), QStringLiteral("Heard steps."));
        Form2* d = f.dashboard();
        QCOMPARE(d->Combo3->currentText(), key);
        QVERIFY(d->Combo3->findText(key) >= 0);
        QCOMPARE(d->Label8->text(), QStringLiteral("View"));

        typeInto(w->Text8, "Former owner");
        clickEntry(w->List1, "bob");
        menu(w, "save");
        QCOMPARE(Connection::open(f.folder.path())->count(tables::interview), 23);
        QCOMPARE(w->caption(), "Interview : Old Mill - " + kInvestigation + " has been updated");
        r = interview(f, key);
        QCOMPARE(r.text("Affiliation"), QStringLiteral("Former owner"));
        QCOMPARE(r.text("Interviewer"), QStringLiteral("Ann,"));
        QCOMPARE(r.text("ID"), QStringLiteral("23"));
        QCOMPARE(f.ui.messages.size(), 1);
    }

    void storedInterviewersAreTickedOnlyWhenSpelledAlike() {
        Frame f;
        seedCase(f);
        const QString mixed = seedInterview(f, {"11", "1", "2005", "1", "00", "am"},
                                            {{"Interviewer", "ann,Cid,Gone,"}, {"Name", "Tom"}});
        const QString none = seedInterview(f, {"11", "2", "2005", "2", "00", "am"}, {{"Interviewer", ""}});

        Form4* w = openInterview(f, mixed);
        QCOMPARE(w->Text7->text(), QStringLiteral("Tom"));
        QCOMPARE(marked(w->List1), QStringList{"Cid"});
        QVERIFY(dateTimeLocked(w));
        menu(w, "close");
        Frame::flush();

        w = openInterview(f, none);
        QVERIFY(marked(w->List1).isEmpty());
        menu(w, "close");
        Frame::flush();

        // Nothing ticked is stored as empty text; hour and minutes stay unpadded.
        w = openInterview(f);
        typeInto(w->dateTime.hour, "9");
        typeInto(w->dateTime.minute, "5");
        typeInto(w->dateTime.ap, "am");
        menu(w, "save");
        const Record r = interview(f, w->Text11->text());
        QCOMPARE(r.text("FullDate_Time"), QStringLiteral("10-31-05 1 9:5 am-3"));
        QCOMPARE(r.text("Interviewer"), QString());
        QVERIFY(!r.isNull("Interviewer"));
    }

    void newTakesTodayAndReadsTheRosterAgain() {
        Frame f;
        seedCase(f);
        const QString key = seedInterview(f, {"11", "1", "2005", "1", "00", "am"},
                                          {{"Interviewer", "Ann,"}, {"Name", "Tom"}, {"Affiliation", "Guard"},
                                           {"Interview", "Text"}});
        Form4* w = openInterview(f, key);
        QCOMPARE(marked(w->List1), QStringList{"Ann"});
        Connection::open(f.folder.path())->add(tables::investigators, {{"Name", "Zed"}, {"Active", "1"}});
        QVERIFY(!entries(w->List1).contains("Zed")); // not before New

        menu(w, "new");
        QCOMPARE(w->caption(), QStringLiteral("Interview - New"));
        QCOMPARE(w->Text11->text(), QStringLiteral("New"));
        QVERIFY(!QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).contains(u'/'));
        QVERIFY(isToday({w->dateTime.month->text(), w->dateTime.day->text(), w->dateTime.year->text()}));
        QVERIFY(w->dateTime.hour->text().isEmpty() && w->dateTime.minute->text().isEmpty());
        QCOMPARE(w->dateTime.ap->text(), QStringLiteral("am")); // kept
        QVERIFY(w->Text7->text().isEmpty() && w->Text8->text().isEmpty());
        QVERIFY(w->RichTextBox1->toPlainText().isEmpty());
        QCOMPARE(entries(w->List1), (QStringList{"Eve", "Ann", "bob", "Dee", "Cid", "Zed"}));
        QVERIFY(marked(w->List1).isEmpty());
        QVERIFY(!w->dateTime.isLocked());

        typeInto(w->dateTime.hour, "3");
        typeInto(w->dateTime.minute, "15");
        menu(w, "save");
        const Record r = interview(f, w->Text11->text());
        QCOMPARE(r.text("Investigation"), kInvestigation);
        QCOMPARE(r.text("Location"), QStringLiteral("Old Mill"));
        QCOMPARE(interview(f, key).text("Name"), QStringLiteral("Tom"));
        QCOMPARE(Connection::open(f.folder.path())->count(tables::interview), 2);
    }

    void aVanishedInterviewIsNotReportedAsUpdated() {
        Frame f;
        seedCase(f);
        const QString key = seedInterview(f, {"11", "1", "2005", "1", "00", "am"}, {});
        Form4* w = openInterview(f, key);
        {
            auto db = Connection::open(f.folder.path());
            db->updateRecord(tables::interview, db->findFirst(tables::interview, {})->rowid,
                             {{"Investigation", "another"}});
        }
        typeInto(w->Text7, "Lost?");
        menu(w, "save");
        QCOMPARE(f.ui.texts(), QStringList{"This interview could not be found, so nothing was saved."});
        QVERIFY(!w->caption().endsWith(" has been updated"));
        QCOMPARE(interview(f, key).text("Name"), QString());
    }

    void printsAndClosesBackToTheDashboard() {
        Frame f;
        seedCase(f);
        Form4* w = openInterview(f);
        QTemporaryDir dir;
        setPrintTargetForTests(dir.filePath("page.pdf"));
        menu(w, "print");
        setPrintTargetForTests({});
        QVERIFY(QFileInfo(dir.filePath("page.pdf")).size() > 0);
        menu(w, "close");
        Frame::flush();
        QVERIFY(!f.frame->loaded("Form4"));
        QVERIFY(f.dashboard()->isVisible());
    }
};

VEIL_GERMAN_TEST_MAIN(Form4Test)
#include "test_form4.moc"
