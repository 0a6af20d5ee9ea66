#include "framefixture.h"

#include "form5.h"
#include "imagebutton.h"
#include "picturebox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTextEdit>

using namespace veil;
using namespace veil::test;

namespace {
Form5* openRoster(Frame& f) { return static_cast<Form5*>(f.frame->show(QStringLiteral("Form5"))); }

void choose(QListWidget* list, const QString& text) {
    list->setCurrentItem(list->findItems(text, Qt::MatchExactly | Qt::MatchCaseSensitive).value(0));
}

std::optional<Record> member(Frame& f, const QString& name) {
    return Connection::open(f.folder.path())->findFirst(tables::investigators, {{"Name", name}});
}
} // namespace

class Form5Test : public QObject {
    Q_OBJECT
private slots:
    void saveAddsOnceThenUpdates() {
        Frame f;
        Form5* w = openRoster(f);
        QCOMPARE(w->caption(), QStringLiteral("Investigators - Add New"));
        // First opening, neither New nor a photo: the image name stays empty.
        w->Text1->setText("Jane Doe");
        w->RichTextBox1->setPlainText("Sees orbs");
        w->Check1->setChecked(false);
        QVERIFY(w->hasUnsavedChanges());
        w->Label9->click();
        QCOMPARE(w->caption(), QStringLiteral("Investigators - Jane Doe has been saved"));
        QVERIFY(w->Text1->isReadOnly() && !w->hasUnsavedChanges());
        QCOMPARE(w->List1->count(), 1);
        QCOMPARE(member(f, "Jane Doe")->text("Image"), QString());
        QCOMPARE(member(f, "Jane Doe")->text("Active"), QStringLiteral("0"));

        w->Text7->setText("Lead");
        w->findChild<QAction*>("save")->trigger();
        QCOMPARE(w->caption(), QStringLiteral("Investigators - Jane Doe has been updated"));
        QCOMPARE(Connection::open(f.folder.path())->count(tables::investigators), 1);
        QCOMPARE(member(f, "Jane Doe")->text("Title"), QStringLiteral("Lead"));

        // New: cleared, "none", ticked, editable; the same again after a second New.
        for (int i = 0; i < 2; ++i) {
            w->Label10->click();
            QCOMPARE(w->caption(), QStringLiteral("Investigators - Add New"));
            QVERIFY(w->Text1->text().isEmpty() && w->RichTextBox1->toPlainText().isEmpty());
            QVERIFY(w->Check1->isChecked() && !w->Text1->isReadOnly());
        }
        // Refused saves: empty name, then the exact same name; another case is a new member.
        w->Label9->click();
        QCOMPARE(f.ui.lastText(), QStringLiteral("Please fill in the contact info to proceed."));
        w->Text1->setText("Jane Doe");
        w->Label9->click();
        QCOMPARE(f.ui.lastText(), QStringLiteral("This Name has already been used, please use a different one."));
        QCOMPARE(w->focusWidget(), w->Text1);
        QCOMPARE(w->caption(), QStringLiteral("Investigators - Add New"));
        w->Text1->setText("jane doe");
        w->Label9->click();
        QCOMPARE(member(f, "jane doe")->text("Image"), QStringLiteral("none"));
        QCOMPARE(member(f, "jane doe")->text("Active"), QStringLiteral("1"));
        QCOMPARE(f.ui.messages.size(), 2);
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
        f.dashboard()->findChild<QAction*>("investigators")->trigger();
        Frame::flush();
        QVERIFY(!f.frame->loaded("Form2"));
        Form5* w = f.window<Form5>("Form5");
        QCOMPARE(w->List1->item(0)->text(), QStringLiteral("Amy"));
        QCOMPARE(w->List1->item(1)->text(), QStringLiteral("bo"));

        const QString placeholder = f.folder.file("investigator.jpg");
        choose(w->List1, "Amy");
        QCOMPARE(w->caption(), QStringLiteral("Investigators - Amy"));
        QCOMPARE(w->Image1->file(), f.folder.file("investigators/Amy.png"));
        QVERIFY(!w->Check1->isChecked()); // only the text "1" ticks it
        QVERIFY(w->Text1->isReadOnly());
        QTest::mouseDClick(w->Label5, Qt::LeftButton);
        QCOMPARE(f.ui.urls, QList<QUrl>{QUrl("mailto:amy@example.org")});

        choose(w->List1, "zed");
        QCOMPARE(w->Image1->file(), placeholder);
        QVERIFY(w->Check1->isChecked());
        choose(w->List1, "Amy");
        choose(w->List1, "bo");
        QCOMPARE(w->Image1->file(), placeholder);
        QTest::mouseDClick(w->Label5, Qt::LeftButton); // empty e-mail box: nothing
        QCOMPARE(f.ui.urls.size(), 1);
        choose(w->List1, "Amy");
        choose(w->List1, "Cy");
        QCOMPARE(w->Image1->file(), placeholder);
        QVERIFY(!w->Check1->isChecked());

        w->findChild<QAction*>("Close_form")->trigger();
        Frame::flush();
        QVERIFY(!f.frame->loaded("Form5"));
        QVERIFY(f.dashboard() && f.dashboard()->isVisible());
    }

    void nameRefusesListBreakingCharacters() {
        Frame f;
        Form5* w = openRoster(f);
        QTest::keyClicks(w->Text1, "Ann, B+C=D");
        QCOMPARE(w->Text1->text(), QStringLiteral("Ann BCD"));
        QApplication::clipboard()->setText(QStringLiteral(",x="));
        w->Text1->paste();
        QCOMPARE(w->Text1->text(), QStringLiteral("Ann BCDx"));
        QTest::keyClicks(w->Text7, "a+b");
        QCOMPARE(w->Text7->text(), QStringLiteral("a+b"));
    }

    void photoThroughTheDialogAndByDropping() {
        Frame f;
        Form5* w = openRoster(f);
        const QString jpg = f.folder.file("src/face.JPG");
        const QString png = f.folder.file("src/other.png");
        QVERIFY(writePicture(jpg, "JPG") && writePicture(png, "PNG"));

        // Empty name: the same message on both routes; no dialog, no focus move.
        w->Text3->setFocus();
        w->Label8->click();
        emit w->Image1->filesDropped({jpg});
        QCOMPARE(f.ui.texts(), QStringList(2, "You must fill out the Contact info before adding image"));
        QVERIFY(f.ui.dialogs.isEmpty());
        QCOMPARE(w->focusWidget(), w->Text3);

        w->Text1->setText("Jane Doe");
        f.ui.setNextFileName(jpg);
        w->Label8->click();
        QCOMPARE(w->Text8->text(), QStringLiteral("Jane Doe.JPG"));
        QVERIFY(QFileInfo::exists(f.folder.file("investigators/Jane Doe.JPG")));
        QVERIFY(w->Text1->isReadOnly());
        QCOMPARE(w->focusWidget(), w->Text2);

        // A drop takes the first file only and locks the name as well.
        w->Label10->click();
        w->Text1->setText("Bob");
        emit w->Image1->filesDropped({png, jpg});
        QCOMPARE(w->Text8->text(), QStringLiteral("Bob.png"));
        QVERIFY(!QFileInfo::exists(f.folder.file("investigators/Bob.JPG")));
        QVERIFY(w->Text1->isReadOnly());
        QCOMPARE(w->focusWidget(), w->Text2);
        w->Label9->click();
        QCOMPARE(member(f, "Bob")->text("Image"), QStringLiteral("Bob.png"));
    }

};

QTEST_MAIN(Form5Test)
#include "test_form5.moc"
