// The Investigation window and the Interview window opened from it.
#include "recordtesting.h"

#include "records/interviewwindow.h"
#include "records/investigationwindow.h"
#include "widgets/picturebox.h"

#include <QGroupBox>

using namespace veil;
using namespace veil::test;

namespace {
Form3* openInvestigation(Frame& f, const QString& key = QStringLiteral("New")) {
    dashboardOn(f, {"Old Mill", key})->Label7->click();
    return f.window<Form3>(QStringLiteral("Form3"));
}
} // namespace

class InvestigationTest : public QObject {
    Q_OBJECT
private slots:
    // The typical road: a location, a new investigation saved under its key, closed, the dashboard ready
    // with its interviews and pictures lists, and an interview of it dated from it, saved, then updated.
    void typicalRoadFromTheDashboardToAnInterview() {
        Frame f(withCase);
        Form2* d = dashboardOn(f, {"Old Mill"});
        QCOMPARE(d->Combo2->currentText(), QStringLiteral("New"));
        d->Label7->click();
        auto* w = f.window<Form3>(QStringLiteral("Form3"));
        QCOMPARE(w->caption() + w->Frame1->title(), QStringLiteral("Investigation : Old Mill - NewOld Mill"));
        QCOMPARE(entries(w->List1), (QStringList{"Ann", "bob", "Cid", "Dee", "Eve"})); // inactive too
        QVERIFY(showsToday(w->dateTime));

        // Tab walks the focus order (the date and time boxes are Text1 to Text6) with no stop on the
        // archive list; each condition's caption fits before its box.
        QStringList expected;
        for (int i = 1; i <= 13; ++i)
            expected << QStringLiteral("Text%1").arg(i);
        expected << "RichTextBox1" << "Text15" << "RichTextBox2" << "List1" << "List2";
        QStringList walked;
        w->dateTime.month->setFocus();
        for (int i = 0; i < 2 * expected.size(); ++i) {
            walked << w->focusWidget()->objectName();
            QTest::keyClick(w->focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(walked.mid(0, expected.size()), expected);
        QVERIFY(!walked.contains("List3"));

        for (int i = 6; i <= 12; ++i) {
            auto* caption = w->findChild<QLabel*>(QStringLiteral("Label%1").arg(i));
            auto* box = w->findChild<QLineEdit*>(QStringLiteral("Text%1").arg(i + 1));
            QVERIFY2(caption->geometry().right() < box->geometry().left() - 1, qPrintable(caption->text()));
            QVERIFY2(caption->fontMetrics().horizontalAdvance(caption->text()) <= caption->width(), qPrintable(caption->text()));
        }

        typeDateTime(w->dateTime, {"10", "31", "05", "11", "", "pm"});
        for (const char* name : {"Eve", "Ann", "Cid", "Cid"}) // a second click unmarks
            clickEntry(w->List1, name);
        clickEntry(w->List2, "EMF");
        // Marks change by clicking only: Space, type-ahead and Ctrl+A, each pressed once, mark nothing.
        for (const char* keys : {"Space", "C", "Ctrl+A"}) {
            QTest::keySequence(w->List1, QKeySequence(QString::fromLatin1(keys)));
            QTest::keySequence(w->List2, QKeySequence(QString::fromLatin1(keys)));
        }
        menu(w, "save");
        QCOMPARE(count(f, tables::investigations), 0);
        typeInto(w->dateTime.minute, "45");
        menu(w, "save");
        const QString key = QStringLiteral("10-31-05 11:45 pm-1");
        QCOMPARE(w->caption(), "Investigation : Old Mill - " + key + " has been saved");
        QVERIFY(w->dateTime.isLocked());
        QCOMPARE(d->Combo2->itemText(d->Combo2->currentIndex()) + d->Label7->text(), key + "View");

        // Saving again rewrites the same record: same ID, same key, so the same picture folder.
        typeInto(w->Text12, "Rain");
        menu(w, "save");
        QCOMPARE(w->caption(), "Investigation : Old Mill - " + key + " has been updated");
        QCOMPARE(count(f, tables::investigations), 1);
        const Record r = stored(f, tables::investigations, key);
        QCOMPARE(r.text("ID") + r.text("Weather"), QStringLiteral("1Rain"));
        QCOMPARE(r.text("investigators") + r.text("equipment"), QStringLiteral("Ann,Eve,EMF,"));

        menu(w, "close");
        Frame::flush();
        QVERIFY(!f.frame->loaded("Form3") && d->isVisible());
        choose(d->Combo2, key);
        QCOMPARE(d->Combo3->currentText() + d->Combo4->currentText() + d->Label7->text(),
                 QStringLiteral("NewAddView"));
        d->Label8->click(); // no "Please select" message: the interview window opens for it
        auto* i = f.window<Form4>(QStringLiteral("Form4"));
        QCOMPARE(i->caption(), "Interview : Old Mill - " + key);
        // The third piece "05 11:45 pm" is cut to the year box's four characters.
        QCOMPARE(shownDate(i->dateTime), QStringLiteral("10/31/05 1"));
        QVERIFY(!i->dateTime.isLocked());
        QCOMPARE(entries(i->List1), (QStringList{"Eve", "Ann", "bob", "Dee", "Cid"})); // stored order

        i->dateTime.month->clear();
        clickEntry(i->List1, "bob");
        menu(i, "save");
        QCOMPARE(count(f, tables::interview), 0);
        typeDateTime(i->dateTime, {"11", "1", "2005", "1", "00", "am"});
        clickEntry(i->List1, "Ann");
        menu(i, "save");
        const QString talk = QStringLiteral("11-1-2005 1:00 am-1");
        QCOMPARE(i->caption(), "Interview : Old Mill - " + talk + " has been saved");
        const Record t = stored(f, tables::interview, talk);
        QCOMPARE(t.text("Investigation") + t.text("Interviewer"), key + "Ann,bob,");
        QVERIFY(i->dateTime.isLocked());
        QCOMPARE(d->Combo3->currentText() + d->Combo3->itemText(1) + d->Label8->text(), talk + talk + "View");
        typeInto(i->Text8, "Owner");
        menu(i, "save");
        QCOMPARE(i->caption(), "Interview : Old Mill - " + key + " has been updated");
        QCOMPARE(count(f, tables::interview), 1);
        QCOMPARE(stored(f, tables::interview, talk).text("Affiliation"), QStringLiteral("Owner"));
        QCOMPARE(f.ui.texts(), (QStringList{"Please fill in the Date & Time fields before Saving",
                                            "Please fill in fields before Saving"}));

        f.frame->unload("Form4");
        w = openInvestigation(f, key);
        QCOMPARE(marked(w->List1), (QStringList{"Ann", "Eve"}));
        QVERIFY(w->dateTime.isLocked());
    }

    // A stored investigation, then its stored interview: each loads, saves and starts over on New.
    void storedRecordsLoadUpdateAndStartOverOnNew() {
        Frame f;
        QStringList tapes;
        for (int i = 120; i >= 1; --i) // long entries: the list text outgrows a plain text box
            tapes << QStringLiteral("Tape %1 ").arg(i, 3, 10, QChar(u'0')) + QString(400, u'x');
        QString key, talk;
        {
            auto db = Connection::open(f.folder.path());
            seedCase(*db);
            db->add(tables::investigations, {{"Location", "Abbey"}});
            key = seedKeyed(*db, tables::investigations, {"3", "4", "2005", "10", "15", "am"},
                            {{"Humidity", "80%"}, {"investigators", "Gone,Dee,ann,"}, {"equipment", "Cam 1,"},
                             {"Investigation_Notes", "Long"}, {"Tape_Archive", listText(tapes)}});
            talk = seedKeyed(*db, tables::interview, {"11", "1", "2005", "1", "00", "am"},
                             {{"Investigation", key}, {"Interviewer", "ann,Cid,"}, {"Name", "Tom"}});
            db->add(tables::pictures, {{"Investigation", key}, {"Title", "Stairs"}});
        }
        Form3* w = openInvestigation(f, key);
        QCOMPARE(f.dashboard()->Combo3->count() + f.dashboard()->Combo4->count(), 4);
        QCOMPARE(w->Text9->text() + w->RichTextBox2->toPlainText(), QStringLiteral("80%Long"));
        // Gone has left the roster; ann is not Ann.
        QCOMPARE(marked(w->List1), QStringList{"Dee"});
        QCOMPARE(marked(w->List2), QStringList{"Cam 1"});
        QStringList first100 = tapes.mid(0, 100);
        std::sort(first100.begin(), first100.end());
        QCOMPARE(entries(w->List3), first100);

        paste(w->Text15, "Disc,9");
        QCOMPARE(w->Text15->text(), QStringLiteral("Disc9"));
        w->Label13->click();
        w->Label13->click(); // nothing left to add
        menu(w, "save");
        const Record r = stored(f, tables::investigations, key);
        QCOMPARE(r.text("investigators"), QStringLiteral("Dee,"));
        QCOMPARE(listItems(r.text("Tape_Archive"), 1000), QStringList{"Disc9"} + first100);

        typeInto(w->Text15, "kept");
        const QImage picture = w->Image1->picture();
        menu(w, "new"); // the caption, and empty date and time boxes but "pm"
        const DateTimeParts p = w->dateTime.parts();
        QCOMPARE(w->caption() + p.month + p.day + p.year + p.hour + p.minute + p.ap,
                 QStringLiteral("Investigation : Old Mill - Newpm"));
        QVERIFY(!w->dateTime.isLocked() && w->Text9->text().isEmpty() && w->RichTextBox2->toPlainText().isEmpty());
        QCOMPARE(w->List3->count(), 0);
        QCOMPARE(entries(w->List1), (QStringList{"Ann", "bob", "Cid", "Eve"})); // active only
        QVERIFY(marked(w->List1).isEmpty() && marked(w->List2).isEmpty());
        QVERIFY(w->Text15->text() == "kept" && w->Image1->picture() == picture);
        // Keys keep the text as typed, only cut at each box's limit.
        typeDateTime(w->dateTime, {"123", "2", "06", "9", "5", "am "});
        QCOMPARE(w->dateTime.month->text(), QStringLiteral("12"));
        typeInto(w->dateTime.month, "1");
        menu(w, "save");
        // The dashboard shows the new investigation chosen, with its (empty) interviews and pictures.
        Form2* d = f.dashboard();
        QCOMPARE(d->Combo2->itemText(d->Combo2->currentIndex()) + d->Label7->text(), QStringLiteral("1-2-06 9:5 am-3View"));
        QCOMPARE(d->Combo3->count() + d->Combo4->count(), 2);
        QCOMPARE(d->Combo3->currentText() + d->Combo4->currentText() + d->Label8->text() + d->Label9->text(),
                 QStringLiteral("NewAddNewAdd"));
        QCOMPARE(count(f, tables::investigations), 3);

        // Another window (a restore, say) replaced the record under this one.
        Connection::open(f.folder.path())->updateRecord(tables::investigations, 3, {{"FullDate_Time", "x"}});
        menu(w, "save");
        QCOMPARE(f.ui.texts(), QStringList{"This investigation could not be found, so nothing was saved."});
        QVERIFY(!w->caption().endsWith("updated"));

        dashboardOn(f, {"Old Mill", key, talk})->Label8->click();
        auto* i = f.window<Form4>(QStringLiteral("Form4"));
        QCOMPARE(marked(i->List1), QStringList{"Cid"});
        Connection::open(f.folder.path())->add(tables::investigators, {{"Name", "Zed"}});
        menu(i, "new");
        QCOMPARE(i->caption(), QStringLiteral("Interview - New"));
        QVERIFY(showsToday(i->dateTime));
        QCOMPARE(i->dateTime.parts().hour + i->dateTime.parts().minute + i->dateTime.parts().ap, QStringLiteral("am"));
        QVERIFY(i->Text7->text().isEmpty() && !i->dateTime.isLocked());
        QCOMPARE(entries(i->List1), (QStringList{"Eve", "Ann", "bob", "Dee", "Cid", "Zed"}));
        QVERIFY(marked(i->List1).isEmpty());

        // No tick is stored as empty text; hour and minutes stay unpadded.
        typeDateTime(i->dateTime, {"1", "2", "06", "9", "5", "am"});
        menu(i, "save");
        const Record n = stored(f, tables::interview, "1-2-06 9:5 am-2");
        QCOMPARE(n.text("Investigation"), key);
        QVERIFY(!n.isNull("Interviewer") && n.text("Interviewer").isEmpty());
        QCOMPARE(stored(f, tables::interview, talk).text("Name"), QStringLiteral("Tom"));

        // The record shown vanished (a restore, say): no "updated" for a save that stored nothing.
        Connection::open(f.folder.path())->updateRecord(tables::interview, 2, {{"Location", "x"}});
        menu(i, "save");
        QCOMPARE(f.ui.lastText(), QStringLiteral("This interview could not be found, so nothing was saved."));
        QVERIFY(!i->caption().endsWith("updated"));
    }
};

VEIL_GERMAN_TEST_MAIN(InvestigationTest)
#include "test_investigationwindow.moc"
