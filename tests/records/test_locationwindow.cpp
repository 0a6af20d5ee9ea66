#include "recordtesting.h"

#include "records/locationwindow.h"
#include "records/investigatorswindow.h"
#include "records/equipmentwindow.h"
#include "widgets/picturebox.h"
#include "widgets/printwindow.h"

using namespace veil;
using namespace veil::test;

namespace {
// Opens the Location window from the dashboard for the given Locations text.
Form1* openLocation(Frame& f, const QString& text) {
    f.dashboard()->Combo1->setEditText(text);
    f.dashboard()->Label6->click();
    return f.window<Form1>("Form1");
}

Record location(Frame& f, const QString& name) { return stored(f, tables::location, name, "LocationName"); }

void addPrerequisites(Frame& f) {
    auto db = Connection::open(f.folder.path());
    db->add(tables::investigators, {{"Name", "Ann"}});
    db->add(tables::equipment, {{"Nick_Name", "Rec1"}, {"Type", "Other"}});
}
} // namespace

class Form1Test : public QObject {
    Q_OBJECT
private slots:
    void prerequisitesLeadThroughInvestigatorsAndEquipmentToANewLocation() {
        Frame f;
        f.dashboard()->Label6->click();
        auto* roster = f.window<Form5>("Form5");
        QVERIFY(roster && !f.frame->loaded("Form1"));
        roster->Text1->setText("Ann");
        roster->Label9->click();
        roster->Label7->click();
        Frame::flush();

        f.dashboard()->Label6->click();
        auto* equipment = f.window<Form7>("Form7");
        QVERIFY(equipment && !f.frame->loaded("Form1"));
        equipment->Combo1->setEditText("Other");
        equipment->Text3->setText("Rec1");
        equipment->Label8->click();
        equipment->Label9->click();
        Frame::flush();

        f.dashboard()->Label6->click();
        QCOMPARE(f.ui.texts(), (QStringList{"Please add Investigators First", "Please add Equipment First"}));
        Form1* w = f.window<Form1>("Form1");
        QVERIFY(w && w->Text13->text() == "New");
        QCOMPARE(w->Image1->file(), f.folder.file("location.jpg"));
    }

    // Stored locations open by their exact names; an update reaches the dashboard's picture. A new
    // one is chosen on the dashboard with its own lists; one loaded afresh lists it once.
    void storedThenNewLocations() {
        Frame f;
        addPrerequisites(f);
        {
            auto db = Connection::open(f.folder.path());
            db->add(tables::location, {{"LocationName", "old mill"}, {"Image", ""}});
            db->add(tables::investigations, {{"Location", "Old Mill"}, {"FullDate_Time", "k-1"}});
            db->add(tables::location, {{"LocationName", "Old Mill"}, {"Image", "Old Mill.jpg"},
                                       {"Email", "owner@example.org"}, {"Notes", "two\nlines"}});
            writePicture(f.folder.file("locations/Old Mill.jpg"), "JPG", 30, 20);
        }
        Form1* w = openLocation(f, "old mill");
        QVERIFY(w->caption() == "Location - old mill" && w->Text1->isReadOnly());
        QCOMPARE(w->Image1->file(), f.folder.file("no_images.jpg"));
        QTest::mouseClick(w->Label6, Qt::LeftButton); // empty e-mail box: nothing
        QVERIFY(f.ui.urls.isEmpty());
        menu(w, "close");
        Frame::flush();
        QVERIFY(f.dashboard()->isVisible());

        w = openLocation(f, "Old Mill");
        QCOMPARE(w->RichTextBox3->toPlainText(), QStringLiteral("two\nlines"));
        QCOMPARE(w->Image1->file(), f.folder.file("locations/Old Mill.jpg"));
        QTest::mouseClick(w->Label6, Qt::LeftButton);
        QCOMPARE(f.ui.urls, QList<QUrl>{QUrl("mailto:owner@example.org")});

        f.dashboard()->Image2->setPicture(QImage());
        w->Text2->setText("1 Mill Lane");
        menu(w, "save");
        QCOMPARE(w->caption(), QStringLiteral("Location - Old Mill has been saved"));
        QCOMPARE(location(f, "Old Mill").text("LocationAddress1") + location(f, "old mill").text("LocationAddress1"),
                 QStringLiteral("1 Mill Lane"));
        QCOMPARE(f.dashboard()->Image2->picture(), w->Image1->picture());

        // What is on screen goes to the printer (a PDF here).
        setPrintTargetForTests(f.folder.file("page.pdf"));
        menu(w, "print");
        setPrintTargetForTests(QString());
        QFile out(f.folder.file("page.pdf"));
        QVERIFY(out.open(QIODevice::ReadOnly) && out.size() > 1000 && out.read(5) == "%PDF-");

        menu(w, "new");
        QVERIFY(w->focusWidget() == w->Text1 && w->RichTextBox3->toPlainText().isEmpty());
        w->Text1->setText("Priory");
        menu(w, "save");
        QVERIFY(!location(f, "Priory").isNull("Directions")); // empty, not missing
        Form2* d = f.dashboard();
        QCOMPARE(entries(d->Combo1), (QStringList{"New", "Priory"})); // loaded before the seeding; sorted
        QCOMPARE(d->Combo1->currentIndex(), 1);
        QCOMPARE(d->Label6->text() + d->Label3->text() + d->Combo2->currentText(), QStringLiteral("ViewPrioryNew"));
        QCOMPARE(d->Combo2->count(), 1); // not Old Mill's investigation
        QCOMPARE(d->Image2->file(), f.folder.file("no_images.jpg")); // no photo: not the window's drop hint

        f.frame->unload("Form2");
        Frame::flush();
        menu(w, "new");
        w->Text1->setText("Tower");
        menu(w, "save");
        QCOMPARE(entries(f.dashboard()->Combo1), (QStringList{"New", "old mill", "Old Mill", "Priory", "Tower"}));
        QCOMPARE(f.dashboard()->Combo1->currentText(), QStringLiteral("Tower"));
        QVERIFY(f.ui.messages.isEmpty());
    }
};

QTEST_MAIN(Form1Test)
#include "test_locationwindow.moc"
