#include "framefixture.h"

#include "form1.h"
#include "form5.h"
#include "form7.h"
#include "imagebutton.h"
#include "picturebox.h"
#include "printwindow.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace veil;
using namespace veil::test;

namespace {
void trigger(QWidget* w, const char* item) {
    auto* a = w->findChild<QAction*>(QLatin1String(item));
    QVERIFY2(a, item);
    a->trigger();
}

// Opens the Location window from the dashboard for the given Locations text.
Form1* openLocation(Frame& f, const QString& text) {
    f.dashboard()->Combo1->setEditText(text);
    f.dashboard()->Label6->click();
    return f.window<Form1>("Form1");
}

std::optional<Record> location(Frame& f, const QString& name) {
    return Connection::open(f.folder.path())->findFirst(tables::location, {{"LocationName", name}});
}

int locations(Frame& f) { return Connection::open(f.folder.path())->count(tables::location); }

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
        QCOMPARE(f.ui.texts(), QStringList{"Please add Investigators First"});
        auto* roster = f.window<Form5>("Form5");
        QVERIFY(roster && !f.frame->loaded("Form1"));
        roster->Text1->setText("Ann");
        roster->Label9->click();
        roster->Label7->click();
        Frame::flush();

        f.dashboard()->Label6->click();
        QCOMPARE(f.ui.lastText(), QStringLiteral("Please add Equipment First"));
        auto* equipment = f.window<Form7>("Form7");
        QVERIFY(equipment && !f.frame->loaded("Form1"));
        equipment->Combo1->setEditText("Other");
        equipment->Text3->setText("Rec1");
        equipment->Label8->click();
        equipment->Label9->click();
        Frame::flush();

        f.ui.clear();
        f.dashboard()->Label6->click();
        QVERIFY(f.ui.messages.isEmpty());
        Form1* w = f.window<Form1>("Form1");
        QVERIFY(w);
        QCOMPARE(w->caption(), QStringLiteral("Location - New"));
        QCOMPARE(w->Text13->text(), QStringLiteral("New"));
        QVERIFY(!w->Text1->isReadOnly());
        QCOMPARE(w->Image1->file(), f.folder.file("location.jpg"));
    }

    void newSaveThenSaveAgainAndTheDuplicateRule() {
        Frame f;
        addPrerequisites(f);
        Form1* w = openLocation(f, "New");
        trigger(w, "save");
        QCOMPARE(f.ui.lastText(), QStringLiteral("Please fill in fields before Saving"));
        QCOMPARE(locations(f), 0);

        w->Text1->setText("Old Mill");
        trigger(w, "save");
        QCOMPARE(w->caption(), QStringLiteral("Location - Old Mill has been saved"));
        QVERIFY(w->Text1->isReadOnly());
        QCOMPARE(location(f, "Old Mill")->isNull("Directions"), false); // empty text, not missing
        Form2* d = f.dashboard();
        QCOMPARE(d->Combo1->currentText(), QStringLiteral("Old Mill"));
        QCOMPARE(d->Combo1->findText("Old Mill"), 1); // sorted after "New"
        QCOMPARE(d->Label6->text(), QStringLiteral("View"));
        QCOMPARE(d->Image2->picture(), w->Image1->picture());

        w->RichTextBox2->setPlainText("Mill burned 1901");
        trigger(w, "save");
        QCOMPARE(locations(f), 1);
        QCOMPARE(f.ui.messages.size(), 1);

        // New Location: another record; the one shown before is untouched.
        trigger(w, "new");
        QCOMPARE(w->caption(), QStringLiteral("Location - New"));
        QVERIFY(w->Text1->text().isEmpty() && w->RichTextBox2->toPlainText().isEmpty());
        QVERIFY(!w->Text1->isReadOnly());
        QCOMPARE(w->focusWidget(), w->Text1);
        w->Text1->setText("Old Mill");
        w->Text4->setText("Someone");
        trigger(w, "save");
        QCOMPARE(f.ui.lastText(),
                 QStringLiteral("This Location Name has already been used, please use a different one."));
        QCOMPARE(w->focusWidget(), w->Text1);
        w->Text1->setText("old mill");
        trigger(w, "save");
        QCOMPARE(locations(f), 2);
        QCOMPARE(location(f, "Old Mill")->text("ContactName"), QString());
        QCOMPARE(location(f, "Old Mill")->text("History"), QStringLiteral("Mill burned 1901"));
        QCOMPARE(d->Combo1->count(), 3);

        // With the dashboard gone, saving loads it afresh; the name is listed once.
        f.frame->unload("Form2");
        Frame::flush();
        trigger(w, "new");
        w->Text1->setText("Abbey");
        trigger(w, "save");
        d = f.dashboard();
        QVERIFY(d);
        QCOMPARE(d->Combo1->count(), 4);
        QCOMPARE(d->Combo1->currentText(), QStringLiteral("Abbey"));
    }

    void openingAnExistingLocation() {
        Frame f;
        addPrerequisites(f);
        {
            auto db = Connection::open(f.folder.path());
            db->add(tables::location, {{"LocationName", "old mill"}, {"Image", ""}, {"Phone", "555"}});
            db->add(tables::location, {{"LocationName", "Old Mill"}, {"Image", "Old Mill.jpg"},
                                       {"Email", "owner@example.org"}, {"Notes", "two\nlines"}});
            writePicture(f.folder.file("locations/Old Mill.jpg"), "JPG", 30, 20);
        }
        Form1* w = openLocation(f, "old mill");
        QCOMPARE(w->caption(), QStringLiteral("Location - old mill"));
        QVERIFY(w->Text1->isReadOnly());
        QCOMPARE(w->Text5->text(), QStringLiteral("555"));
        QCOMPARE(w->Image1->file(), f.folder.file("no_images.jpg"));
        QTest::mouseClick(w->Label6, Qt::LeftButton); // empty e-mail box: nothing
        QVERIFY(f.ui.urls.isEmpty());
        trigger(w, "close");
        Frame::flush();
        QVERIFY(f.dashboard()->isVisible());

        w = openLocation(f, "Old Mill");
        QCOMPARE(w->RichTextBox3->toPlainText(), QStringLiteral("two\nlines"));
        QCOMPARE(w->Image1->file(), f.folder.file("locations/Old Mill.jpg"));
        QTest::mouseClick(w->Label6, Qt::LeftButton);
        QCOMPARE(f.ui.urls, QList<QUrl>{QUrl("mailto:owner@example.org")});

        f.dashboard()->Image2->setPicture(QImage());
        w->Text2->setText("1 Mill Lane");
        trigger(w, "save");
        QCOMPARE(w->caption(), QStringLiteral("Location - Old Mill has been saved"));
        QCOMPARE(location(f, "Old Mill")->text("LocationAddress1"), QStringLiteral("1 Mill Lane"));
        QCOMPARE(location(f, "old mill")->text("LocationAddress1"), QString());
        QCOMPARE(f.dashboard()->Image2->picture(), w->Image1->picture());

        // What is on screen goes to the printer (a PDF here).
        QTemporaryDir tmp;
        const QString pdf = tmp.filePath("page.pdf");
        setPrintTargetForTests(pdf);
        trigger(w, "print");
        setPrintTargetForTests(QString());
        QFile out(pdf);
        QVERIFY(out.open(QIODevice::ReadOnly));
        QVERIFY(out.size() > 1000);
        QVERIFY(out.read(5) == "%PDF-");
    }

    void photoByInsertImageLocksTheNameButADropDoesNot() {
        Frame f;
        addPrerequisites(f);
        const QString jpg = f.folder.file("pics/mill.JPG");
        const QString png = f.folder.file("pics/barn.png");
        QVERIFY(writePicture(jpg, "JPG") && writePicture(png, "PNG"));
        Form1* w = openLocation(f, "New");

        trigger(w, "Image_Insert");
        QCOMPARE(f.ui.texts(), QStringList{"You must fill out the Contact info before adding image"});
        QVERIFY(f.ui.dialogs.isEmpty());
        w->Text4->setFocus();
        emit w->Image1->filesDropped({png});
        QCOMPARE(f.ui.lastText(), QStringLiteral("Please fill in form before adding picture"));
        QCOMPARE(w->focusWidget(), w->Text1);

        w->Text1->setText("Old Mill");
        f.ui.setNextFileName(jpg);
        trigger(w, "Image_Insert");
        QCOMPARE(f.ui.dialogs.value(0).startFolder, f.folder.path());
        QCOMPARE(w->Text12->text(), QStringLiteral("Old Mill.JPG"));
        QVERIFY(QFileInfo::exists(f.folder.file("locations/Old Mill.JPG")));
        QVERIFY(w->Text1->isReadOnly());
        QCOMPARE(w->focusWidget(), w->Text2);
        QCOMPARE(w->Text13->text(), QStringLiteral("New")); // the mode stays
        trigger(w, "save");
        QCOMPARE(location(f, "Old Mill")->text("Image"), QStringLiteral("Old Mill.JPG"));

        trigger(w, "new");
        w->Text1->setText("Barn");
        w->Text5->setFocus();
        emit w->Image1->filesDropped({png, jpg});
        QCOMPARE(w->Text12->text(), QStringLiteral("Barn.png"));
        QVERIFY(!w->Text1->isReadOnly());
        QCOMPARE(w->focusWidget(), w->Text5);
        QVERIFY(w->hasUnsavedChanges());
        trigger(w, "save");
        QVERIFY(!w->hasUnsavedChanges());
        QCOMPARE(location(f, "Barn")->text("Image"), QStringLiteral("Barn.png"));
        QCOMPARE(f.dashboard()->Image2->picture(), w->Image1->picture());
        QCOMPARE(f.dashboard()->Combo1->currentText(), QStringLiteral("Barn"));
    }
};

QTEST_MAIN(Form1Test)
#include "test_form1.moc"
