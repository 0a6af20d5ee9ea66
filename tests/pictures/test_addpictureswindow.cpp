#include "framefixture.h"

#include "dropevents.h"
#include "filebytes.h"
#include "pictures/addpictureswindow.h"
#include "pictures/viewerwindow.h"
#include "widgets/imagebutton.h"
#include "widgets/picturebox.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace veil;
using namespace veil::test;

namespace {

const QString kCase = QStringLiteral("12/5/2026_21:30");
const QString kOther = QStringLiteral("13/5/2026_22:00");

struct AddPictures {
    Frame f;
    QTemporaryDir photos;
    std::unique_ptr<Connection> db = Connection::open(f.folder.path());

    AddPictures() {
        db->add(tables::investigations, {{QStringLiteral("ID"), QStringLiteral("17")},
                                         {QStringLiteral("FullDate_Time"), kCase}});
        db->add(tables::investigations, {{QStringLiteral("ID"), QStringLiteral("18")},
                                         {QStringLiteral("FullDate_Time"), kOther}});
    }
    // A picture file outside the program folder.
    QString photo(const QString& name, const char* format = "JPG") {
        const QString path = photos.filePath(name);
        format ? writePicture(path, format, 40, 30) : writeFileBytes(path, "no picture here");
        return path;
    }
    Form10* open(const QString& investigation = kCase) {
        f.dashboard()->Combo2->setEditText(investigation);
        f.frame->show(QStringLiteral("Form10"));
        return f.window<Form10>(QStringLiteral("Form10"));
    }
    void reopen(const QString& investigation) {
        f.frame->unload(QStringLiteral("Form10"));
        Frame::flush();
        open(investigation);
    }
    Form10* w() { return f.window<Form10>(QStringLiteral("Form10")); }
    void pick(const QString& path) {
        f.ui.setNextFileName(path);
        w()->Label4->click();
    }
    void save(const QString& title, const QString& summary = {}) {
        w()->Text1->setText(title);
        w()->RichTextBox1->setPlainText(summary);
        w()->Label5->click();
    }
    int records() { return db->count(tables::pictures); }
    QStringList stored(const QString& sub) {
        return QDir(f.folder.file(QStringLiteral("Investigations/") + sub)).entryList(QDir::Files);
    }
};

} // namespace

class AddPicturesTest : public QObject {
    Q_OBJECT
private slots:
    void savesUnderTheInvestigationNumber() {
        AddPictures t;
        Form10* w = t.open();
        QCOMPARE(w->caption(), QStringLiteral("Add Pictures = New"));
        QCOMPARE(w->investigation(), kCase);
        // The title box stands on the line of its caption and the buttons, above the drawn line.
        QCOMPARE(w->Text1->y(), w->Label1->y());
        QCOMPARE(w->Text1->y(), w->Label3->y());
        QVERIFY(w->Text1->geometry().bottom() < w->Line1->y());
        t.pick(t.photo(QStringLiteral("IMG_0042.JPG")));
        QCOMPARE(t.f.ui.dialogs.last().title, QStringLiteral("Open Image"));
        QCOMPARE(t.f.ui.dialogs.last().filter, QStringLiteral("*.bmp;*.gif;*;jpg"));
        QCOMPARE(w->chosenFile(), t.photos.filePath(QStringLiteral("IMG_0042.JPG")));
        QCOMPARE(t.records(), 0); // nothing is copied before Save
        QVERIFY(t.stored(QStringLiteral("17")).isEmpty());

        t.save(QStringLiteral("Cellar door"), QStringLiteral("Cold spot at 21:40"));
        QVERIFY(t.f.ui.messages.isEmpty());
        QCOMPARE(w->caption(), QStringLiteral("Add Pictures - Cellar door has been saved"));
        QCOMPARE(w->investigationId(), QStringLiteral("17"));
        QCOMPARE(t.stored(QStringLiteral("17")), QStringList{"Cellar door.JPG"});
        const auto rec = t.db->findFirst(tables::pictures, {{QStringLiteral("Title"), QStringLiteral("Cellar door")}});
        QVERIFY(rec);
        QCOMPARE(rec->text(QStringLiteral("Path")), QStringLiteral("\\Investigations\\17\\Cellar door.JPG"));
        QCOMPARE(rec->text(QStringLiteral("Investigation")), kCase);
        QCOMPARE(rec->text(QStringLiteral("History")), QStringLiteral("Cold spot at 21:40"));
        QCOMPARE(t.f.dashboard()->Combo4->currentText(), QStringLiteral("Cellar door"));
        QCOMPARE(t.f.dashboard()->Label9->text(), QStringLiteral("View"));

        // Titles are unique per investigation, compared exactly.
        w->Label5->click();
        QCOMPARE(t.f.ui.lastText(),
                 QStringLiteral("There is already a picture with that Title, please select a new title."));
        QCOMPARE(t.records(), 1);
        t.save(QStringLiteral("cellar door"));
        QCOMPARE(t.records(), 2);
        t.reopen(kOther);
        t.pick(t.photo(QStringLiteral("mill.png"), "PNG"));
        t.save(QStringLiteral("Cellar door"));
        QCOMPARE(t.records(), 3);
        QCOMPARE(t.stored(QStringLiteral("18")), QStringList{"Cellar door.png"});

        // New empties the window for another picture of the same investigation.
        w = t.w();
        w->Label6->click();
        QCOMPARE(w->caption(), QStringLiteral("Add Pictures - New"));
        QVERIFY(w->Text1->text().isEmpty() && w->RichTextBox1->toPlainText().isEmpty() && w->chosenFile().isEmpty());
        QCOMPARE(QFileInfo(w->Image1->file()).fileName(), QStringLiteral("new_image.jpg"));
        QCOMPARE(w->investigationId(), QStringLiteral("18"));

        // The viewer finds what was stored.
        t.f.dashboard()->Combo2->setEditText(kCase);
        t.f.dashboard()->Combo4->setEditText(QStringLiteral("Cellar door"));
        auto* viewer = qobject_cast<Form9*>(t.f.frame->show(QStringLiteral("Form9")));
        QCOMPARE(viewer->caption(), QStringLiteral("Picture - Cellar door"));
        QVERIFY(!viewer->pictures().workPicture().isNull());
        QCOMPARE(t.f.ui.messages.size(), 1);
    }

    void checksComeInTheirOrder() {
        AddPictures t;
        Form10* w = t.open(QString());
        w->Label5->click();
        QCOMPARE(t.f.ui.texts(), QStringList{"Please fill in the title before Saving"});
        t.save(QStringLiteral("Porch"));
        QCOMPARE(t.f.ui.lastText(), QStringLiteral("Please add a Picture before saving"));
        t.pick(t.photo(QStringLiteral("a.jpg")));
        w->Label5->click();
        QCOMPARE(t.f.ui.lastText(), QStringLiteral("Please go back and select and investigation first"));
        QCOMPARE(t.f.ui.messages.size(), 3);
        QCOMPARE(t.records(), 0);
        QVERIFY(QDir(t.f.folder.file(QStringLiteral("Investigations"))).isEmpty());
    }

    void choosingAndDroppingKeepOrClearTheFile() {
        AddPictures t;
        Form10* w = t.open();
        const QString good = t.photo(QStringLiteral("good.jpg"));
        t.pick(good);
        // A cancelled dialog empties the chosen file; the picture stays.
        t.pick(QString());
        QCOMPARE(w->chosenFile(), QString());
        QCOMPARE(w->Image1->file(), good);
        t.save(QStringLiteral("Hall"));
        QCOMPARE(t.f.ui.lastText(), QStringLiteral("Please add a Picture before saving"));

        // A picked or dropped file that cannot be shown is reported and changes nothing.
        t.pick(good);
        t.pick(t.photo(QStringLiteral("notes.jpg"), nullptr));
        QVERIFY(t.f.ui.lastText().contains(QStringLiteral("notes.jpg")));
        QCOMPARE(w->chosenFile(), good);
        QCOMPARE(w->Image1->file(), good);
        const QString dropped = t.photo(QStringLiteral("dropped.bmp"), "BMP");
        QVERIFY(dropFiles(w->Image1, {dropped, good})); // the first one counts
        QCOMPARE(w->chosenFile(), dropped);
        QVERIFY(dropFiles(w->Image1, {t.photo(QStringLiteral("notes.txt"), nullptr)}));
        QCOMPARE(t.f.ui.lastText(), QStringLiteral("Invalid Picture"));
        QCOMPARE(w->chosenFile(), dropped);
        t.save(QStringLiteral("Hall"));
        QCOMPARE(t.stored(QStringLiteral("17")), QStringList{"Hall.bmp"});
    }

    void titlesThatCannotBeFileNames() {
        AddPictures t;
        Form10* w = t.open();
        t.pick(t.photo(QStringLiteral("x.jpg")));
        for (const char* title : {"../../escape", "a/b", "back\\slash", "..", "   "}) {
            t.f.ui.clear();
            t.save(QString::fromUtf8(title));
            QCOMPARE(t.f.ui.messages.size(), 1);
            QVERIFY2(t.f.ui.lastText().contains(QStringLiteral("cannot be used as a file name")), title);
        }
        QCOMPARE(t.records(), 0);
        QVERIFY(QDir(t.f.folder.file(QStringLiteral("Investigations"))).isEmpty());
        QCOMPARE(w->caption(), QStringLiteral("Add Pictures = New"));

        // Anything a file name can hold is kept exactly as typed.
        const QString odd = QStringLiteral(" Door: 3 * ? <ghost> \u00e9 ");
        t.f.ui.clear();
        t.save(odd);
        QVERIFY(t.f.ui.messages.isEmpty());
        QCOMPARE(t.stored(QStringLiteral("17")), QStringList{odd + QStringLiteral(".jpg")});
    }

    void failedCopyStoresNothingAndMissingNumbers() {
        AddPictures t;
        Form10* w = t.open();
        // A file where the investigation's folder should be: the copy cannot land.
        QFile blocker(t.f.folder.file(QStringLiteral("Investigations/17")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        t.pick(t.photo(QStringLiteral("x.jpg")));
        t.save(QStringLiteral("Attic"));
        QCOMPARE(t.f.ui.messages.size(), 1); // the copy's own report
        QCOMPARE(t.records(), 0);
        QCOMPARE(w->caption(), QStringLiteral("Add Pictures = New"));
        QCOMPARE(t.f.dashboard()->Combo4->currentText(), QStringLiteral("Add"));

        // An investigation without a record has no number: nothing stands between the separators.
        t.reopen(QStringLiteral("1/1/2000_00:00"));
        t.pick(t.photo(QStringLiteral("x.jpg")));
        t.save(QStringLiteral("Attic"));
        QCOMPARE(t.w()->storedPath(), QStringLiteral("\\Investigations\\\\Attic.jpg"));
        QVERIFY(QFile::exists(t.f.folder.file(QStringLiteral("Investigations/Attic.jpg"))));
        QCOMPARE(t.records(), 1);
    }
};

QTEST_MAIN(AddPicturesTest)
#include "test_addpictureswindow.moc"
