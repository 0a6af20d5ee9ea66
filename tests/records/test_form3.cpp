#include "casetesting.h"

#include "form3.h"
#include "picturebox.h"

#include <QClipboard>
#include <QGroupBox>
#include <QTextEdit>

using namespace veil;
using namespace veil::test;

namespace {
Form3* openInvestigation(Frame& f, const QString& key = QStringLiteral("New")) {
    dashboardOn(f, {"Old Mill", key})->Label7->click();
    return f.window<Form3>(QStringLiteral("Form3"));
}
} // namespace

class Form3Test : public QObject {
    Q_OBJECT
private slots:
    void newInvestigationIsStoredOnceUnderItsKeyAndMarkedAgainOnReopening() {
        Frame f;
        seedCase(*Connection::open(f.folder.path()));
        Form3* w = openInvestigation(f);
        QCOMPARE(w->caption(), QStringLiteral("Investigation : Old Mill - New"));
        QCOMPARE(w->Frame1->title(), QStringLiteral("Old Mill"));
        QCOMPARE(entries(w->List1), (QStringList{"Ann", "bob", "Cid", "Dee", "Eve"})); // inactive too
        QVERIFY(showsToday(w->dateTime));

        typeDateTime(w->dateTime, {"10", "31", "2008", "11", "", "pm"});
        clickEntry(w->List1, "Eve");
        clickEntry(w->List1, "Ann");
        clickEntry(w->List1, "Cid");
        clickEntry(w->List1, "Cid"); // a second click unmarks
        clickEntry(w->List2, "EMF");
        menu(w, "save");
        QCOMPARE(f.ui.texts(), QStringList{"Please fill in the Date & Time fields before Saving"});
        QCOMPARE(Connection::open(f.folder.path())->count(tables::investigations), 0);

        typeInto(w->dateTime.minute, "30");
        menu(w, "save");
        const QString key = QStringLiteral("10-31-2008 11:30 pm-1");
        Record r = stored(f, tables::investigations, key);
        QCOMPARE(r.text("investigators"), QStringLiteral("Ann,Eve,"));
        QCOMPARE(r.text("equipment"), QStringLiteral("EMF,"));
        QCOMPARE(w->caption(), "Investigation : Old Mill - " + key + " has been saved");
        QVERIFY(w->dateTime.isLocked());
        Form2* d = f.dashboard();
        QCOMPARE(d->Combo2->currentText(), key);
        QVERIFY(d->Combo2->findText(key) >= 0);
        QCOMPARE(d->Label7->text(), QStringLiteral("View"));

        // Saving again rewrites the same record: same ID, same key, so the same picture folder.
        typeInto(w->Text12, "Rain");
        menu(w, "save");
        QCOMPARE(w->caption(), "Investigation : Old Mill - " + key + " has been updated");
        QCOMPARE(Connection::open(f.folder.path())->count(tables::investigations), 1);
        r = stored(f, tables::investigations, key);
        QCOMPARE(r.text("ID"), QStringLiteral("1"));
        QCOMPARE(r.text("Weather"), QStringLiteral("Rain"));
        QCOMPARE(f.ui.messages.size(), 1);

        menu(w, "close");
        w = openInvestigation(f, key);
        QCOMPARE(marked(w->List1), (QStringList{"Ann", "Eve"}));
        QVERIFY(w->dateTime.isLocked());
    }

    void keysKeepTheTextAsTypedAndAVanishedRecordIsNotReportedAsUpdated() {
        Frame f;
        {
            auto db = Connection::open(f.folder.path());
            seedCase(*db);
            db->add(tables::investigations, {{"Location", "Abbey"}});
            db->add(tables::investigations, {{"Location", "Abbey"}});
        }
        Form3* w = openInvestigation(f);
        typeDateTime(w->dateTime, {"123", "2", "06", "9", "5", "am "});
        QCOMPARE(w->dateTime.month->text(), QStringLiteral("12")); // cut at the box's limit
        typeInto(w->dateTime.month, "1");
        menu(w, "save");
        const QString key = QStringLiteral("1-2-06 9:5 am-3");
        QCOMPARE(f.dashboard()->Combo2->currentText(), key);

        // Another window (a restore, say) replaced the record under this one.
        Connection::open(f.folder.path())->updateRecord(tables::investigations, 3, {{"FullDate_Time", "x"}});
        menu(w, "save");
        QCOMPARE(f.ui.texts(), QStringList{"This investigation could not be found, so nothing was saved."});
        QVERIFY(!w->caption().endsWith("updated"));
    }

    void storedInvestigationLoadsUpdatesAndStartsOverOnNew() {
        Frame f;
        QStringList tapes;
        for (int i = 120; i >= 1; --i) // long entries: the list text outgrows a plain text box
            tapes << QStringLiteral("Tape %1 ").arg(i, 3, 10, QChar(u'0')) + QString(400, u'x');
        QString key;
        {
            auto db = Connection::open(f.folder.path());
            seedCase(*db);
            key = seedKeyed(*db, tables::investigations, {"3", "4", "2005", "10", "15", "am"},
                            {{"Humidity", "80%"}, {"investigators", "Gone,Dee,ann,"}, {"equipment", "Cam 1,"},
                             {"Investigation_Notes", "Long"}, {"Tape_Archive", listText(tapes)}});
        }
        Form3* w = openInvestigation(f, key);
        QCOMPARE(w->Text9->text() + w->RichTextBox2->toPlainText(), QStringLiteral("80%Long"));
        // Gone has left the roster; ann is not Ann.
        QCOMPARE(marked(w->List1), QStringList{"Dee"});
        QCOMPARE(marked(w->List2), QStringList{"Cam 1"});
        QStringList first100 = tapes.mid(0, 100);
        std::sort(first100.begin(), first100.end());
        QCOMPARE(entries(w->List3), first100);

        QApplication::clipboard()->setText("Disc,9");
        QTest::keySequence(w->Text15, QKeySequence::Paste);
        QCOMPARE(w->Text15->text(), QStringLiteral("Disc9"));
        w->Label13->click();
        w->Label13->click(); // nothing left to add
        menu(w, "save");
        const Record r = stored(f, tables::investigations, key);
        QCOMPARE(r.text("investigators"), QStringLiteral("Dee,"));
        QCOMPARE(listItems(r.text("Tape_Archive"), 1000), QStringList{"Disc9"} + first100);

        typeInto(w->Text15, "kept");
        const QImage picture = w->Image1->picture();
        menu(w, "new");
        QCOMPARE(w->caption(), QStringLiteral("Investigation : Old Mill - New"));
        const DateTimeParts p = w->dateTime.parts();
        QCOMPARE(p.month + p.day + p.year + p.hour + p.minute + p.ap, QStringLiteral("pm"));
        QVERIFY(!w->dateTime.isLocked() && w->Text9->text().isEmpty() && w->RichTextBox2->toPlainText().isEmpty());
        QCOMPARE(w->List3->count(), 0);
        QCOMPARE(entries(w->List1), (QStringList{"Ann", "bob", "Cid", "Eve"})); // active only
        QVERIFY(marked(w->List1).isEmpty() && marked(w->List2).isEmpty());
        QVERIFY(w->Text15->text() == "kept" && w->Image1->picture() == picture);
        typeDateTime(w->dateTime, {"7", "7", "2007", "7", "07", "pm"});
        menu(w, "save");
        QCOMPARE(Connection::open(f.folder.path())->count(tables::investigations), 2);
    }
};

VEIL_GERMAN_TEST_MAIN(Form3Test)
#include "test_form3.moc"
