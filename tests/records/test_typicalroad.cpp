#include "casetesting.h"

#include "form3.h"
#include "form4.h"
#include "picturebox.h"
#include "windowregistry.h"

#include <QTextEdit>

using namespace veil;
using namespace veil::test;

// Location -> new investigation -> save -> close -> its interviews and pictures.
class TypicalRoadTest : public QObject {
    Q_OBJECT
private slots:
    void fromALocationToAStoredInvestigationAndItsInterview() {
        Frame f;
        {
            auto db = Connection::open(f.folder.path());
            seedRoster(*db);
            db->add(tables::location, {{"LocationName", "Old Mill"}, {"Image", "Old Mill.jpg"}});
            db->add(tables::location, {{"LocationName", "Abbey"}});
            QVERIFY(writePicture(f.folder.file("locations/Old Mill.jpg"), "JPG", 40, 30, 0xff884422));
        }
        Form2* d = reloadDashboard(f);
        choose(d->Combo1, "Old Mill");
        QCOMPARE(d->Combo2->count(), 1);
        QCOMPARE(d->Combo2->currentText(), QStringLiteral("New"));
        press(d->Label7);

        Form3* w = f.window<Form3>("Form3");
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->caption(), QStringLiteral("Investigation : Old Mill - New"));
        QCOMPARE(w->Image1->picture(), d->Image2->picture());
        QVERIFY(!w->dateTime.month->text().isEmpty());
        const DateTimeParts today = w->dateTime.parts();
        typeInto(w->dateTime.hour, "9");
        typeInto(w->dateTime.minute, "30");
        typeInto(w->Text12, "Clear");
        clickEntry(w->List1, "Ann");
        clickEntry(w->List2, "EMF");
        menu(w, "save");
        const QString key = today.month + '-' + today.day + '-' + today.year + " 9:30 pm-1";
        QCOMPARE(w->Text14->text(), key);
        menu(w, "close");
        Frame::flush();

        QVERIFY(!f.frame->loaded("Form3"));
        d = f.dashboard();
        QVERIFY(d && d->isVisible());
        QCOMPARE(d->Combo1->currentText(), QStringLiteral("Old Mill"));
        QCOMPARE(d->Combo2->currentText(), key);
        QCOMPARE(d->Label7->text(), QStringLiteral("View"));

        choose(d->Combo2, key);
        QCOMPARE(d->Combo3->count(), 1);
        QCOMPARE(d->Combo3->currentText(), QStringLiteral("New"));
        QCOMPARE(d->Combo4->currentText(), QStringLiteral("Add"));
        press(d->Label8);
        Form4* iv = f.window<Form4>("Form4");
        QVERIFY(iv && iv->isVisible());
        QCOMPARE(iv->dateTime.month->text(), today.month);
        typeInto(iv->dateTime.hour, "10");
        typeInto(iv->dateTime.minute, "5");
        typeInto(iv->Text7, "Mrs Pike");
        clickEntry(iv->List1, "Ann");
        menu(iv, "save");
        const QString interviewKey = iv->Text11->text();
        menu(iv, "close");
        Frame::flush();
        d = f.dashboard();
        QCOMPARE(d->Combo3->currentText(), interviewKey);
        QCOMPARE(d->Combo3->itemText(1), interviewKey);
        QCOMPARE(d->Label8->text(), QStringLiteral("View"));

        // The interview names its investigation by the key the dashboard shows.
        const auto stored = Connection::open(f.folder.path())
                                ->findFirst(tables::interview, {{"Investigation", key}, {"Location", "Old Mill"}});
        QVERIFY(stored);
        QCOMPARE(stored->text("Interviewer"), QStringLiteral("Ann,"));
        if (windowFactory(QStringLiteral("Form10"))) {
            press(d->Label9);
            QVERIFY(f.frame->loaded("Form10"));
        }
    }
};

VEIL_GERMAN_TEST_MAIN(TypicalRoadTest)
#include "test_typicalroad.moc"
