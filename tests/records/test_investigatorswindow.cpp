#include "casetesting.h"

#include "records/investigatorswindow.h"
#include "widgets/picturebox.h"

using namespace veil;
using namespace veil::test;

namespace {
Form5* openRoster(Frame& f) { return static_cast<Form5*>(f.frame->show(QStringLiteral("Form5"))); }

void choose(QListWidget* list, const QString& text) {
    list->setCurrentItem(list->findItems(text, Qt::MatchExactly | Qt::MatchCaseSensitive).value(0));
}

Record member(Frame& f, const QString& name) { return stored(f, tables::investigators, name, "Name"); }
} // namespace

class Form5Test : public QObject {
    Q_OBJECT
private slots:
    void saveAddsOnceThenUpdatesAndTheNameRefusesListBreakingCharacters() {
        Frame f;
        Form5* w = openRoster(f);
        QCOMPARE(w->caption(), QStringLiteral("Investigators - Add New"));
        QCOMPARE(w->focusWidget(), w->List1); // the first stop of the focus order
        // Typed or pasted, "," "+" "=" never reach the name; other boxes keep them.
        QTest::keyClicks(w->Text1, "Jane, D+o=");
        paste(w->Text1, ",e=");
        QCOMPARE(w->Text1->text(), QStringLiteral("Jane Doe"));
        QTest::keyClicks(w->Text7, "a+b");
        // First opening, neither New nor a photo: the image name stays empty.
        w->Check1->setChecked(false);
        QVERIFY(w->hasUnsavedChanges());
        w->Label9->click();
        QCOMPARE(w->caption(), QStringLiteral("Investigators - Jane Doe has been saved"));
        QVERIFY(w->Text1->isReadOnly() && !w->hasUnsavedChanges() && w->List1->count() == 1);
        QCOMPARE(member(f, "Jane Doe").text("Image") + member(f, "Jane Doe").text("Active"), QStringLiteral("0"));

        w->RichTextBox1->setPlainText("Sees orbs");
        menu(w, "save");
        QCOMPARE(w->caption(), QStringLiteral("Investigators - Jane Doe has been updated"));
        QCOMPARE(count(f, tables::investigators), 1);
        QCOMPARE(member(f, "Jane Doe").text("Title"), QStringLiteral("a+b"));

        // New: cleared, ticked, editable; the same again after a second New.
        for (int i = 0; i < 2; ++i) {
            w->Label10->click();
            QCOMPARE(w->caption(), QStringLiteral("Investigators - Add New"));
            QVERIFY(w->Text1->text().isEmpty() && w->RichTextBox1->toPlainText().isEmpty());
            QVERIFY(w->Check1->isChecked() && !w->Text1->isReadOnly());
        }
        // Refused saves: empty name, then the exact same name; another case is a new member.
        w->Label9->click();
        w->Text1->setText("Jane Doe");
        w->Label9->click();
        QCOMPARE(f.ui.texts(), (QStringList{"Please fill in the contact info to proceed.",
                                            "This Name has already been used, please use a different one."}));
        QCOMPARE(w->focusWidget(), w->Text1);
        QCOMPARE(w->caption(), QStringLiteral("Investigators - Add New"));
        w->Text1->setText("jane doe");
        w->Label9->click();
        QCOMPARE(member(f, "jane doe").text("Image") + member(f, "jane doe").text("Active"), QStringLiteral("none1"));
        QCOMPARE(member(f, "Jane Doe").text("Notes"), QStringLiteral("Sees orbs"));
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
            QVERIFY(w->Text1->isReadOnly());
            QTest::mouseDClick(w->Label5, Qt::LeftButton); // mails Amy only: the others have no address
        }
        QCOMPARE(f.ui.urls, QList<QUrl>{QUrl("mailto:amy@example.org")});

        menu(w, "Close_form");
        Frame::flush();
        QVERIFY(!f.frame->loaded("Form5") && f.dashboard()->isVisible());
    }

    void photoThroughTheDialogAndByDropping() {
        Frame f;
        Form5* w = openRoster(f);
        const QString jpg = f.folder.file("src/face.JPG"), png = f.folder.file("src/other.png");
        QVERIFY(writePicture(jpg, "JPG") && writePicture(png, "PNG"));

        // Empty name: the same message on both routes; no dialog, no focus move.
        w->Text3->setFocus();
        w->Label8->click();
        emit w->Image1->filesDropped({jpg});
        QCOMPARE(f.ui.texts(), QStringList(2, "You must fill out the Contact info before adding image"));
        QVERIFY(f.ui.dialogs.isEmpty() && w->focusWidget() == w->Text3);

        w->Text1->setText("Jane Doe");
        f.ui.setNextFileName(jpg);
        w->Label8->click();
        QCOMPARE(w->Text8->text(), QStringLiteral("Jane Doe.JPG"));
        QVERIFY(QFileInfo::exists(f.folder.file("investigators/Jane Doe.JPG")));
        QVERIFY(w->Text1->isReadOnly() && w->focusWidget() == w->Text2);

        // A drop takes the first file only and locks the name as well.
        w->Label10->click();
        w->Text1->setText("Bob");
        emit w->Image1->filesDropped({png, jpg});
        QVERIFY(!QFileInfo::exists(f.folder.file("investigators/Bob.JPG")));
        QVERIFY(w->Text1->isReadOnly() && w->focusWidget() == w->Text2);
        w->Label9->click();
        QCOMPARE(member(f, "Bob").text("Image"), QStringLiteral("Bob.png"));
    }
};

QTEST_MAIN(Form5Test)
#include "test_investigatorswindow.moc"
