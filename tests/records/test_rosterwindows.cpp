// The Investigators and Equipment windows: what each adds to the editors' shared road.
#include "recordtesting.h"

#include "records/equipmentwindow.h"
#include "records/investigatorswindow.h"
#include "widgets/picturebox.h"

using namespace veil;
using namespace veil::test;

namespace {
template <class T> T* open(Frame& f, const char* form) { return static_cast<T*>(f.frame->show(QLatin1String(form))); }

void choose(QListWidget* list, const QString& text) {
    list->setCurrentItem(list->findItems(text, Qt::MatchExactly | Qt::MatchCaseSensitive).value(0));
}

Record member(Frame& f, const QString& name) { return stored(f, tables::investigators, name, "Name"); }
Record item(Frame& f, const QString& nick) { return stored(f, tables::equipment, nick, "Nick_Name"); }
} // namespace

class RosterWindowsTest : public QObject {
    Q_OBJECT
private slots:
    // Typed or pasted, "+" "," "=" never reach the key (it is a list entry); other boxes keep them.
    void keysRefuseListBreakingCharacters_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("key");
        QTest::newRow("member") << "Form5" << "Text1";
        QTest::newRow("item") << "Form7" << "Text3";
    }
    void keysRefuseListBreakingCharacters() {
        QFETCH(QString, form);
        QFETCH(QString, key);
        Frame f;
        CaseWindow* w = f.frame->show(form);
        auto* box = w->findChild<QLineEdit*>(key);
        QTest::keyClicks(box, "Rec+or,d=");
        paste(box, "e,r=1+");
        QCOMPARE(box->text(), QStringLiteral("Recorder1"));
        auto* other = w->findChild<QLineEdit*>("Text2");
        QTest::keyClicks(other, "RX+1,=");
        QCOMPARE(other->text(), QStringLiteral("RX+1,="));
    }

    // The type's prompt is no type; a typed one is stored as typed.
    void equipmentSavesWithAType() {
        Frame f;
        auto* w = open<Form7>(f, "Form7");
        QCOMPARE(w->caption() + w->Combo1->currentText(), QStringLiteral("Equipment - Add NewType"));
        w->Text3->setText("Cam");
        w->Label8->click();
        QCOMPARE(f.ui.texts(), QStringList{"Please select a type before saving"});
        QCOMPARE(count(f, tables::equipment), 0);
        w->Combo1->setEditText("Thermometer");
        w->Text7->setPlainText("Hisses when cold");
        w->Label8->click();
        QCOMPARE(item(f, "Cam").text("Type") + item(f, "Cam").text("Quirks"), QStringLiteral("ThermometerHisses when cold"));
        w->Label7->click();
        QVERIFY(w->Combo1->currentText() == "Type" && w->Text7->toPlainText().isEmpty());
    }

    void choosingAnItemShowsItAndClosingShowsTheDashboard() {
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
        QCOMPARE(entries(w->List1), (QStringList{"Alpha", "beta", "zeta"}));

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

    // The roster opens on its list; a member saved at first opening (neither New nor
    // a photo) has no image name, one saved after New "none"; New ticks Active.
    void memberImageNameAndActiveTick() {
        Frame f;
        auto* w = open<Form5>(f, "Form5");
        QVERIFY(w->focusWidget() == w->List1 && w->caption() == "Investigators - Add New");
        w->Text1->setText("Jane Doe");
        w->Text7->setText("Lead");
        w->Check1->setChecked(false);
        QVERIFY(w->hasUnsavedChanges());
        w->Label9->click();
        QVERIFY(!w->hasUnsavedChanges() && w->List1->count() == 1);
        QCOMPARE(member(f, "Jane Doe").text("Image") + member(f, "Jane Doe").text("Active"), QStringLiteral("0"));
        w->RichTextBox1->setPlainText("Sees orbs");
        menu(w, "save");
        QCOMPARE(member(f, "Jane Doe").text("Title") + member(f, "Jane Doe").text("Notes"), QStringLiteral("LeadSees orbs"));

        for (int i = 0; i < 2; ++i) { // the same after a second New
            w->Label10->click();
            QVERIFY(w->RichTextBox1->toPlainText().isEmpty() && w->Check1->isChecked());
        }
        w->Text1->setText("Bob");
        w->Label9->click();
        QCOMPARE(member(f, "Bob").text("Image") + member(f, "Bob").text("Active"), QStringLiteral("none1"));
    }

    void showingAMemberFollowsThePhotoAndActiveRules() {
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
        QCOMPARE(entries(w->List1), (QStringList{"Amy", "bo", "Cy", "zed"}));

        // Each row: the photo shown (empty = the placeholder) and the Active tick; Amy in between.
        const QString placeholder = f.folder.file("investigator.jpg");
        const QList<std::tuple<QString, QString, bool>> rows{
            {"Amy", f.folder.file("investigators/Amy.png"), false}, // only the text "1" ticks
            {"zed", placeholder, true}, {"bo", placeholder, false}, {"Cy", placeholder, false}};
        for (const auto& [name, photo, active] : rows) {
            choose(w->List1, "Amy");
            choose(w->List1, name);
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
