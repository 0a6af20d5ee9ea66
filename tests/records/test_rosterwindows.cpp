// The Investigators and Equipment windows: what each adds to the editors' shared road.
#include "recordtesting.h"

#include "records/equipmentwindow.h"
#include "records/investigatorswindow.h"
#include "widgets/picturebox.h"

using namespace veil;
using namespace veil::test;

namespace {
Record member(Frame& f, const QString& name) { return stored(f, tables::investigators, name, "Name"); }
Record item(Frame& f, const QString& nick) { return stored(f, tables::equipment, nick, "Nick_Name"); }
} // namespace

class RosterWindowsTest : public QObject {
    Q_OBJECT
private slots:
    // From the dashboard's menu: the inventory and each item's fields. Typed or pasted,
    // "+" "," "=" never reach the Nick Name (a list entry); the type's prompt is no type.
    void equipmentListAndItems() {
        Frame f;
        {
            auto db = Connection::open(f.folder.path());
            db->add(tables::equipment, {{"Nick_Name", "zeta"}, {"Type", "Other"}});
            db->add(tables::equipment, {{"Nick_Name", "Alpha"}, {"Type", "Still Camera"},
                                        {"Battery_type", "AA"}, {"Quirks", "line1\nline2"}});
            db->add(tables::equipment, {{"Nick_Name", "beta"}});
        }
        menu(f.dashboard(), "equipment");
        Frame::flush();
        QVERIFY(!f.frame->loaded("Form2"));
        Form7* w = f.window<Form7>("Form7");
        QCOMPARE(w->caption() + w->Combo1->currentText(), QStringLiteral("Equipment - Add NewType"));
        QCOMPARE(entries(w->List1), (QStringList{"Alpha", "beta", "zeta"}));

        QTest::keyClicks(w->Text3, "Rec+or,d=");
        paste(w->Text3, "e,r=1+");
        QCOMPARE(w->Text3->text(), QStringLiteral("Recorder1"));
        QTest::keyClicks(w->Text2, "RX+1,=");
        w->Text7->setPlainText("Hisses when cold");
        w->Label8->click();
        QCOMPARE(f.ui.texts(), QStringList{"Please select a type before saving"});
        QCOMPARE(count(f, tables::equipment), 3);
        w->Combo1->setEditText("Thermometer"); // a typed type is stored as typed
        w->Label8->click();
        const Record r = item(f, "Recorder1");
        QCOMPARE(r.text("Model") + r.text("Type") + r.text("Quirks"), QStringLiteral("RX+1,=ThermometerHisses when cold"));
        w->Label7->click();
        QVERIFY(w->Combo1->currentText() == "Type" && w->Text7->toPlainText().isEmpty());

        w->List1->setCurrentRow(0);
        QCOMPARE(w->caption(), QStringLiteral("Equipment - Alpha"));
        QCOMPARE(w->Combo1->currentText() + w->Text4->text(), QStringLiteral("Still CameraAA"));
        QCOMPARE(w->Text7->toPlainText(), QStringLiteral("line1\nline2"));
        w->List1->setCurrentRow(1);
        QVERIFY(w->Text7->toPlainText().isEmpty());
        w->Text2->setText("B2");
        w->Label8->click();
        QCOMPARE(item(f, "beta").text("Model") + item(f, "Alpha").text("Model"), QStringLiteral("B2"));

        w->Label9->click();
        Frame::flush();
        QVERIFY(!f.frame->loaded("Form7") && f.dashboard()->isVisible());
    }

    // From the dashboard's menu, the roster opens on its list. The name refuses what
    // breaks lists. A member saved at first opening (neither New nor a photo) has no
    // image name, one saved after New "none"; New ticks Active. Shown, each member's
    // photo and tick follow what is stored.
    void rosterMembers() {
        Frame f;
        {
            auto db = Connection::open(f.folder.path());
            db->add(tables::investigators, {{"Name", "zed"}, {"Image", "none"}, {"Active", "1"}});
            db->add(tables::investigators, {{"Name", "Amy"}, {"Image", "Amy.png"}, {"Active", "yes"},
                                            {"Email", "amy@example.org"}});
            db->add(tables::investigators, {{"Name", "bo"}, {"Image", ""}, {"Active", "0"}});
            db->add(tables::investigators, {{"Name", "Cy"}, {"Image", "gone.jpg"}});
            writePicture(f.folder.file("investigators/Amy.png"), "PNG", 20, 20);
        }
        menu(f.dashboard(), "investigators");
        Frame::flush();
        QVERIFY(!f.frame->loaded("Form2"));
        Form5* w = f.window<Form5>("Form5");
        QVERIFY(w->focusWidget() == w->List1 && w->caption() == "Investigators - Add New");
        QCOMPARE(entries(w->List1), (QStringList{"Amy", "bo", "Cy", "zed"}));

        QTest::keyClicks(w->Text1, "Jane, D+o=");
        paste(w->Text1, ",e=");
        QCOMPARE(w->Text1->text(), QStringLiteral("Jane Doe"));
        QTest::keyClicks(w->Text7, "a+b");
        w->Check1->setChecked(false);
        QVERIFY(w->hasUnsavedChanges());
        w->Label9->click();
        QVERIFY(!w->hasUnsavedChanges() && w->List1->count() == 5);
        w->RichTextBox1->setPlainText("Sees orbs");
        menu(w, "save");
        const Record jane = member(f, "Jane Doe");
        QCOMPARE(jane.text("Image") + jane.text("Active") + jane.text("Title") + jane.text("Notes"),
                 QStringLiteral("0a+bSees orbs"));
        for (int i = 0; i < 2; ++i) { // the same after a second New
            w->Label10->click();
            QVERIFY(w->RichTextBox1->toPlainText().isEmpty() && w->Check1->isChecked());
        }
        w->Text1->setText("Bob");
        w->Label9->click();
        QCOMPARE(member(f, "Bob").text("Image") + member(f, "Bob").text("Active"), QStringLiteral("none1"));

        // Each row: the photo shown (empty = the placeholder) and the Active tick; Amy in between.
        const QString placeholder = f.folder.file("investigator.jpg");
        const QList<std::tuple<QString, QString, bool>> rows{
            {"Amy", f.folder.file("investigators/Amy.png"), false}, // only the text "1" ticks
            {"zed", placeholder, true}, {"bo", placeholder, false}, {"Cy", placeholder, false}};
        for (const auto& [name, photo, active] : rows) {
            clickEntry(w->List1, "Amy");
            clickEntry(w->List1, name);
            QCOMPARE(w->caption(), "Investigators - " + name);
            QCOMPARE(w->Image1->file(), photo);
            QCOMPARE(w->Check1->isChecked(), active);
            QTest::mouseDClick(w->Label5, Qt::LeftButton); // mails Amy only: the others have no address
        }
        QCOMPARE(f.ui.urls, QList<QUrl>{QUrl("mailto:amy@example.org")});

        menu(w, "Close_form");
        Frame::flush();
        QVERIFY(!f.frame->loaded("Form5") && f.dashboard()->isVisible());
    }
};

QTEST_MAIN(RosterWindowsTest)
#include "test_rosterwindows.moc"
