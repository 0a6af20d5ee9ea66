#include "casetesting.h"

#include "form3.h"
#include "paths.h"
#include "picturebox.h"
#include "printwindow.h"

#include <QClipboard>
#include <QDir>
#include <QGroupBox>
#include <QTemporaryDir>
#include <QTextEdit>

using namespace veil;
using namespace veil::test;

namespace {
Form3* openInvestigation(Frame& f, const QString& location, const QString& key = QStringLiteral("New")) {
    Form2* d = reloadDashboard(f);
    choose(d->Combo1, location);
    if (key != QLatin1String("New"))
        choose(d->Combo2, key);
    press(d->Label7);
    return f.window<Form3>(QStringLiteral("Form3"));
}

void typeDateTime(Form3* w, const QString& m, const QString& d, const QString& y, const QString& h,
                  const QString& min) {
    typeInto(w->dateTime.month, m);
    typeInto(w->dateTime.day, d);
    typeInto(w->dateTime.year, y);
    typeInto(w->dateTime.hour, h);
    typeInto(w->dateTime.minute, min);
}

bool dateTimeLocked(Form3* w) {
    for (QLineEdit* b : w->dateTime.boxes())
        if (!b->isReadOnly())
            return false;
    return true;
}
} // namespace

class Form3Test : public QObject {
    Q_OBJECT
private slots:
    void newInvestigationIsStoredUnderItsKeyAndChosenOnTheDashboard() {
        Frame f;
        {
            auto db = Connection::open(f.folder.path());
            seedRoster(*db);
            seedLocation(*db);
        }
        Form3* w = openInvestigation(f, QStringLiteral("Old Mill"));
        QVERIFY(w);
        QCOMPARE(w->caption(), QStringLiteral("Investigation : Old Mill - New"));
        QCOMPARE(w->Frame1->title(), QStringLiteral("Old Mill"));
        // Opened from the dashboard every member is listed, the inactive one too, sorted.
        QCOMPARE(entries(w->List1), (QStringList{"Ann", "bob", "Cid", "Dee", "Eve"}));
        QCOMPARE(entries(w->List2), (QStringList{"Recorder A", "EMF", "Cam 1"}));
        // Today's date as numbers although the locale writes 06.12.26.
        QVERIFY(!QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).contains(u'/'));
        QVERIFY(isToday({w->dateTime.month->text(), w->dateTime.day->text(), w->dateTime.year->text()}));
        QVERIFY(w->dateTime.hour->text().isEmpty() && w->dateTime.minute->text().isEmpty());
        QCOMPARE(w->dateTime.ap->text(), QStringLiteral("pm"));
        QVERIFY(!dateTimeLocked(w));

        typeDateTime(w, "10", "31", "2008", "11", "30");
        typeInto(w->Text7, "41F");
        typeInto(w->Text13, "30.1");
        w->RichTextBox1->setPlainText("Cold spot\nin the hall");
        clickEntry(w->List1, "Eve");
        clickEntry(w->List1, "Ann");
        clickEntry(w->List2, "EMF");
        menu(w, "save");

        auto db = Connection::open(f.folder.path());
        QCOMPARE(db->count(tables::investigations), 1);
        const Record r = *db->findFirst(tables::investigations, {});
        const QString key = "10-31-2008 11:30 pm-" + r.text("ID");
        QCOMPARE(r.text("FullDate_Time"), key);
        QCOMPARE(r.text("Location"), QStringLiteral("Old Mill"));
        QCOMPARE(r.text("investigators"), QStringLiteral("Ann,Eve,"));
        QCOMPARE(r.text("equipment"), QStringLiteral("EMF,"));
        QCOMPARE(r.text("Outside_Temp"), QStringLiteral("41F"));
        QCOMPARE(r.text("Barometer"), QStringLiteral("30.1"));
        QCOMPARE(r.text("Initial_Thoughts"), QStringLiteral("Cold spot\nin the hall"));
        QCOMPARE(r.text("Tape_Archive"), QString());
        QVERIFY(!r.isNull("Tape_Archive"));

        QCOMPARE(w->caption(), "Investigation : Old Mill - " + key + " has been saved");
        QCOMPARE(w->Text14->text(), key);
        QVERIFY(dateTimeLocked(w));
        Form2* d = f.dashboard();
        QCOMPARE(d->Combo2->currentText(), key);
        QVERIFY(d->Combo2->findText(key) >= 0);
        QCOMPARE(d->Label7->text(), QStringLiteral("View"));
        QVERIFY(f.ui.messages.isEmpty());
    }

    void keysKeepTheTextAsTypedAndBoxesKeepTheirLimits() {
        Frame f;
        {
            auto db = Connection::open(f.folder.path());
            seedRoster(*db);
            seedLocation(*db);
            db->add(tables::investigations, {{"Location", "Elsewhere"}, {"FullDate_Time", "x-1"}});
            db->add(tables::investigations, {{"Location", "Elsewhere"}, {"FullDate_Time", "x-2"}});
        }
        Form3* w = openInvestigation(f, QStringLiteral("Old Mill"));
        typeDateTime(w, "123", "2", "060789", "9", "5");
        QCOMPARE(w->dateTime.month->text(), QStringLiteral("12"));
        QCOMPARE(w->dateTime.year->text(), QStringLiteral("0607"));
        typeDateTime(w, "1", "2", "06", "9", "5");
        typeInto(w->dateTime.ap, "am ");
        QCOMPARE(w->dateTime.ap->text(), QStringLiteral("am"));
        menu(w, "save");
        QCOMPARE(f.dashboard()->Combo2->currentText(), QStringLiteral("1-2-06 9:5 am-3"));
        auto db = Connection::open(f.folder.path());
        QCOMPARE(investigation(*db, "1-2-06 9:5 am-3").text("Time_Min"), QStringLiteral("5"));

        // AM/PM may stay empty; the key then holds two spaces around nothing.
        menu(w, "new");
        typeDateTime(w, "1", "2", "06", "9", "5");
        w->dateTime.ap->clear();
        menu(w, "save");
        QCOMPARE(w->Text14->text(), QStringLiteral("1-2-06 9:5 -4"));
    }

    void emptyMinuteStoresNothingAndTheRetryStoresEachMemberOnce() {
        Frame f;
        {
            auto db = Connection::open(f.folder.path());
            seedRoster(*db);
            seedLocation(*db);
        }
        Form3* w = openInvestigation(f, QStringLiteral("Old Mill"));
        typeDateTime(w, "10", "31", "2008", "11", "");
        clickEntry(w->List1, "bob");
        clickEntry(w->List1, "Cid");
        menu(w, "save");
        QCOMPARE(f.ui.texts(), QStringList{"Please fill in the Date & Time fields before Saving"});
        QCOMPARE(f.ui.messages.last().title, QStringLiteral("Veilcase"));
        QCOMPARE(Connection::open(f.folder.path())->count(tables::investigations), 0);
        QCOMPARE(w->Text14->text(), QStringLiteral("New"));
        QVERIFY(!dateTimeLocked(w));

        typeInto(w->dateTime.minute, "30");
        menu(w, "save");
        QCOMPARE(f.ui.messages.size(), 1);
        auto db = Connection::open(f.folder.path());
        QCOMPARE(db->count(tables::investigations), 1);
        QCOMPARE(db->findFirst(tables::investigations, {})->text("investigators"), QStringLiteral("bob,Cid,"));
    }

    void markedMembersRoundTripAndFormerMembersDropOut() {
        Frame f;
        {
            auto db = Connection::open(f.folder.path());
            seedRoster(*db);
            seedLocation(*db);
            // Stored before Gone left the roster; "ann" differs from Ann only in case.
            seedInvestigation(*db, "Old Mill", {"5", "5", "2005", "5", "5", "pm"},
                              {{"investigators", "Gone,Dee,ann,"}, {"equipment", "Cam 1,Gone too,"}});
        }
        Form3* w = openInvestigation(f, QStringLiteral("Old Mill"));
        typeDateTime(w, "10", "31", "2008", "11", "30");
        clickEntry(w->List1, "Eve");
        clickEntry(w->List1, "Cid");
        clickEntry(w->List1, "Ann");
        clickEntry(w->List1, "Ann"); // a second click unmarks
        clickEntry(w->List2, "Cam 1");
        clickEntry(w->List2, "Recorder A");
        menu(w, "save");
        const QString key = w->Text14->text();
        QCOMPARE(investigation(*Connection::open(f.folder.path()), key).text("investigators"),
                 QStringLiteral("Cid,Eve,"));
        menu(w, "close");
        Frame::flush();
        QVERIFY(!f.frame->loaded("Form3"));

        w = openInvestigation(f, QStringLiteral("Old Mill"), key);
        QCOMPARE(w->caption(), "Investigation : Old Mill - " + key);
        QCOMPARE(marked(w->List1), (QStringList{"Cid", "Eve"}));
        QCOMPARE(marked(w->List2), (QStringList{"Recorder A", "Cam 1"}));
        QVERIFY(dateTimeLocked(w));
        menu(w, "close");
        Frame::flush();

        // The inactive member is listed and marked; the departed one is gone and
        // disappears from the record at the next update.
        w = openInvestigation(f, QStringLiteral("Old Mill"), QStringLiteral("5-5-2005 5:5 pm-1"));
        QVERIFY(!entries(w->List1).contains("Gone"));
        QCOMPARE(marked(w->List1), QStringList{"Dee"});
        QCOMPARE(marked(w->List2), QStringList{"Cam 1"});
        menu(w, "save");
        QCOMPARE(w->caption(), QStringLiteral("Investigation : Old Mill - 5-5-2005 5:5 pm-1 has been updated"));
        const Record r = investigation(*Connection::open(f.folder.path()), "5-5-2005 5:5 pm-1");
        QCOMPARE(r.text("investigators"), QStringLiteral("Dee,"));
        QCOMPARE(r.text("equipment"), QStringLiteral("Cam 1,"));
    }

    void mediaArchiveKeepsItsSeparatorOutAndReadsBackAHundred() {
        Frame f;
        QStringList stored;
        {
            auto db = Connection::open(f.folder.path());
            seedRoster(*db);
            seedLocation(*db);
            // Long entries, so the whole list text is far beyond a text box's usual limit.
            for (int i = 120; i >= 1; --i)
                stored << QStringLiteral("Tape %1 ").arg(i, 3, 10, QChar(u'0')) + QString(400, u'x');
            seedInvestigation(*db, "Old Mill", {"1", "1", "2001", "1", "1", "am"},
                              {{"Tape_Archive", listText(stored)}});
        }
        Form3* w = openInvestigation(f, QStringLiteral("Old Mill"), QStringLiteral("1-1-2001 1:1 am-1"));
        QStringList first100 = stored.mid(0, 100);
        std::sort(first100.begin(), first100.end());
        QCOMPARE(entries(w->List3), first100); // shown sorted

        QTest::keyClicks(w->Text15, "Card,7+b=");
        QCOMPARE(w->Text15->text(), QStringLiteral("Card7b"));
        QApplication::clipboard()->setText("Disc,9");
        w->Text15->clear();
        QTest::keySequence(w->Text15, QKeySequence::Paste);
        QCOMPARE(w->Text15->text(), QStringLiteral("Disc9"));
        press(w->Label13);
        QVERIFY(w->Text15->text().isEmpty());
        press(w->Label13); // nothing to add
        QCOMPARE(w->List3->count(), 101);
        QCOMPARE(w->List3->item(0)->text(), QStringLiteral("Disc9"));

        menu(w, "save");
        const QString archive = investigation(*Connection::open(f.folder.path()), "1-1-2001 1:1 am-1")
                                    .text("Tape_Archive");
        QStringList back = listItems(archive, 1000);
        QCOMPARE(back.size(), 101);
        QCOMPARE(back, entries(w->List3));
        QVERIFY(back.contains(stored.at(99)));
        QVERIFY(!back.contains(stored.at(100)));
    }

    void newAfterViewingStartsOverWithActiveMembers() {
        Frame f;
        {
            auto db = Connection::open(f.folder.path());
            seedRoster(*db);
            seedLocation(*db);
            seedInvestigation(*db, "Old Mill", {"3", "4", "2005", "10", "15", "am"},
                                             {{"Humidity", "80%"}, {"Weather", "Fog"},
                                             {"investigators", "Ann,Dee,"}, {"equipment", "EMF,"},
                                             {"Initial_Thoughts", "Creaks"}, {"Investigation_Notes", "Long"},
                                             {"Tape_Archive", "T1,T2,"}});
        }
        Form3* w = openInvestigation(f, QStringLiteral("Old Mill"), QStringLiteral("3-4-2005 10:15 am-1"));
        QCOMPARE(w->dateTime.parts().ap, QStringLiteral("am"));
        QCOMPARE(w->Text9->text(), QStringLiteral("80%"));
        QCOMPARE(w->RichTextBox2->toPlainText(), QStringLiteral("Long"));
        QCOMPARE(marked(w->List1), (QStringList{"Ann", "Dee"}));
        QCOMPARE(w->List3->count(), 2);
        typeInto(w->Text15, "kept");
        const QImage picture = w->Image1->picture();

        menu(w, "new");
        QCOMPARE(w->caption(), QStringLiteral("Investigation : Old Mill - New"));
        QCOMPARE(w->Text14->text(), QStringLiteral("New"));
        const DateTimeParts p = w->dateTime.parts();
        QVERIFY(p.month.isEmpty() && p.day.isEmpty() && p.year.isEmpty() && p.hour.isEmpty() && p.minute.isEmpty());
        QCOMPARE(p.ap, QStringLiteral("pm"));
        QVERIFY(!dateTimeLocked(w));
        for (QLineEdit* b : {w->Text7, w->Text8, w->Text9, w->Text10, w->Text11, w->Text12, w->Text13})
            QVERIFY(b->text().isEmpty());
        QVERIFY(w->RichTextBox1->toPlainText().isEmpty() && w->RichTextBox2->toPlainText().isEmpty());
        QCOMPARE(w->List3->count(), 0);
        QCOMPARE(entries(w->List1), (QStringList{"Ann", "bob", "Cid", "Eve"}));
        QVERIFY(marked(w->List1).isEmpty() && marked(w->List2).isEmpty());
        QCOMPARE(entries(w->List2), (QStringList{"Recorder A", "EMF", "Cam 1"}));
        QCOMPARE(w->Text15->text(), QStringLiteral("kept"));
        QCOMPARE(w->Image1->picture(), picture);
        QCOMPARE(w->Text17->text(), QStringLiteral("Old Mill"));

        typeDateTime(w, "7", "7", "2007", "7", "07");
        menu(w, "save");
        auto db = Connection::open(f.folder.path());
        QCOMPARE(db->count(tables::investigations), 2);
        QCOMPARE(investigation(*db, "3-4-2005 10:15 am-1").text("Weather"), QStringLiteral("Fog"));
        QCOMPARE(investigation(*db, "7-7-2007 7:07 pm-2").text("Tape_Archive"), QString());
    }

    void newWithoutRosterOrEquipmentSaysSoAndStillSaves() {
        {
            Frame f;
            {
                auto db = Connection::open(f.folder.path());
                seedLocation(*db);
                db->add(tables::equipment, {{"Nick_Name", "EMF"}});
            }
            Form3* w = openInvestigation(f, QStringLiteral("Old Mill"));
            menu(w, "new");
            QCOMPARE(f.ui.texts(), QStringList{"Please add investigators before creating an investigation"});
            QCOMPARE(entries(w->List2), QStringList{"EMF"});
            typeDateTime(w, "1", "1", "2001", "1", "1");
            menu(w, "save");
            QCOMPARE(Connection::open(f.folder.path())->count(tables::investigations), 1);
        }
        Frame f;
        {
            auto db = Connection::open(f.folder.path());
            seedLocation(*db);
            db->add(tables::investigators, {{"Name", "Idle"}, {"Active", "0"}});
        }
        Form3* w = openInvestigation(f, QStringLiteral("Old Mill"));
        QCOMPARE(entries(w->List1), QStringList{"Idle"});
        menu(w, "new");
        // A roster of inactive members only stays silent.
        QCOMPARE(f.ui.texts(), QStringList{"Please add equipment before creating an investigation"});
        QCOMPARE(w->List1->count(), 0);
    }

    void savingAgainKeepsIdKeyAndPictureFolder() {
        Frame f;
        {
            auto db = Connection::open(f.folder.path());
            seedRoster(*db);
            seedLocation(*db);
        }
        Form3* w = openInvestigation(f, QStringLiteral("Old Mill"));
        typeDateTime(w, "10", "31", "2008", "11", "30");
        menu(w, "save");
        const QString key = w->Text14->text();
        auto db = Connection::open(f.folder.path());
        const QString id = investigation(*db, key).text("ID");
        db->add(tables::pictures, {{"Investigation", key}, {"Title", "Stairs"},
                                   {"Path", "\\Investigations\\" + id + "\\Stairs.jpg"}});
        QVERIFY(writePicture(f.folder.file("Investigations/" + id + "/Stairs.jpg")));

        typeInto(w->Text12, "Rain");
        clickEntry(w->List1, "bob");
        menu(w, "save");
        menu(w, "save");
        QCOMPARE(db->count(tables::investigations), 1);
        const Record r = investigation(*db, key);
        QCOMPARE(r.text("ID"), id);
        QCOMPARE(r.text("Weather"), QStringLiteral("Rain"));
        QCOMPARE(r.text("investigators"), QStringLiteral("bob,"));
        QCOMPARE(w->caption(), "Investigation : Old Mill - " + key + " has been updated");

        menu(w, "close");
        Frame::flush();
        Form2* d = f.dashboard();
        choose(d->Combo2, key);
        QCOMPARE(d->Combo4->itemText(1), QStringLiteral("Stairs"));
        QVERIFY(QFile::exists(f.folder.file("Investigations/" + id + "/Stairs.jpg")));
    }

    void aVanishedRecordIsNotReportedAsUpdated() {
        Frame f;
        {
            auto db = Connection::open(f.folder.path());
            seedRoster(*db);
            seedLocation(*db);
        }
        Form3* w = openInvestigation(f, QStringLiteral("Old Mill"));
        typeDateTime(w, "10", "31", "2008", "11", "30");
        menu(w, "save");
        const QString key = w->Text14->text();
        {
            // Another window (a restore, say) replaced the record under this one.
            auto db = Connection::open(f.folder.path());
            db->updateRecord(tables::investigations, investigation(*db, key).rowid, {{"FullDate_Time", "other-9"}});
        }
        typeInto(w->Text11, "Gusty");
        menu(w, "save");
        QCOMPARE(f.ui.texts(), QStringList{"This investigation could not be found, so nothing was saved."});
        QVERIFY(!w->caption().endsWith(" has been updated"));
        QCOMPARE(investigation(*Connection::open(f.folder.path()), "other-9").text("Wind_Speed"), QString());
    }

    void menusPictureAndPrint() {
        Frame f;
        {
            auto db = Connection::open(f.folder.path());
            seedRoster(*db);
            db->add(tables::location, {{"LocationName", "Old Mill"}, {"Image", "Old Mill.jpg"}});
            QVERIFY(writePicture(f.folder.file("locations/Old Mill.jpg"), "JPG", 40, 30, 0xff884422));
        }
        Form3* w = openInvestigation(f, QStringLiteral("Old Mill"));
        QVERIFY(!w->Image1->picture().isNull());
        QCOMPARE(w->Image1->picture(), f.dashboard()->Image2->picture());

        QCOMPARE(menuItems(w, "file"), (QStringList{"new=New", "print=Print", "save=&Save", "close=Close"}));
        QCOMPARE(menuItems(w, "help"), (QStringList{"help1=Veilcase User Guide", "na=-", "about=&About"}));
        QTemporaryDir dir;
        setPrintTargetForTests(dir.filePath("page.pdf"));
        menu(w, "print");
        setPrintTargetForTests({});
        QVERIFY(QFileInfo(dir.filePath("page.pdf")).size() > 0);

        f.dashboard()->unload();
        Frame::flush();
        menu(w, "close");
        Frame::flush();
        QVERIFY(!f.frame->loaded("Form3"));
        QVERIFY(f.dashboard()); // brought back
    }
};

VEIL_GERMAN_TEST_MAIN(Form3Test)
#include "test_form3.moc"
