// What the editors share: the road of a record found by a typed key (refused
// empty, as one of the program's own mode words or when taken; saved, updated,
// gone from under the window), boxes that take any length of text, and File > Report….
#include "recordtesting.h"
#include "reportcase.h"

#include "records/interviewwindow.h"
#include "records/investigationwindow.h"
#include "records/reportdialog.h"
#include "widgets/picturebox.h"

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using namespace veil;
using namespace veil::test;

namespace {
// The three windows whose key is a typed name: table, key field, mode word, key
// box, a plain box and its field, the New item, and what each says.
struct Keyed {
    QString table, field, word, name, other, otherField, newItem;
    QString caption, updated, fill, wordMessage, taken, gone;
};
Keyed keyed(const QString& form) {
    if (form == "Form1")
        return {tables::location, "LocationName", "New", "Text1", "Text2", "LocationAddress1", "new",
                "Location - ", " has been saved", "Please fill in fields before Saving",
                "\"New\" is the word for a new location, please use a different name.",
                "This Location Name has already been used, please use a different one.",
                "This location could not be found, so nothing was saved."};
    if (form == "Form5")
        return {tables::investigators, "Name", "Add New", "Text1", "Text2", "Address1", "new",
                "Investigators - ", " has been updated", "Please fill in the contact info to proceed.",
                "\"Add New\" is the word for a new member, please use a different name.",
                "This Name has already been used, please use a different one.",
                "This member could not be found, so nothing was saved."};
    return {tables::equipment, "Nick_Name", "Add New", "Text3", "Text2", "Model", "addnew",
            "Equipment - ", "has been updated", "Please fill in fields before Saving",
            "\"Add New\" is the word for a new item, please use a different Nick Name.",
            "This Nick Name has already been used, please try a different one.",
            "This item could not be found, so nothing was saved."};
}

// Opens the window on the stored record of that key as the user does: a click in
// the list, or the dashboard's last entry of that text (a location may be named "New").
CaseWindow* openRecord(Frame& f, const QString& form, const QString& key) {
    if (form == "Form5" || form == "Form7") {
        CaseWindow* w = f.frame->show(form);
        clickEntry(w->findChild<QListWidget*>("List1"), key);
        return w;
    }
    Form2* d = dashboardOn(f, form == "Form3" ? QStringList{"Old Mill"} : QStringList{});
    QComboBox* list = form == "Form3" ? d->Combo2 : d->Combo1;
    const int last = list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, key, -1,
                                          Qt::MatchExactly | Qt::MatchCaseSensitive).last().row();
    list->setCurrentIndex(last);
    emit list->activated(last);
    (form == "Form3" ? d->Label7 : d->Label6)->click();
    return f.window<CaseWindow>(form);
}
} // namespace

class EditorsTest : public QObject {
    Q_OBJECT
private slots:
    // A stored record named by the mode word opens and saves, and New leaves no entry
    // chosen; a new record is refused empty, as the word and when taken (the case
    // counts); saved, then updated; a record gone from under the window is not saved.
    void recordRoad_data() {
        QTest::addColumn<QString>("form");
        for (const char* form : {"Form1", "Form5", "Form7"})
            QTest::newRow(form) << QString::fromLatin1(form);
    }
    void recordRoad() {
        QFETCH(QString, form);
        const Keyed k = keyed(form);
        Frame f(withCase);
        Connection::open(f.folder.path())->add(k.table, {{k.field, k.word}});
        const int records = count(f, k.table);
        CaseWindow* w = nullptr;
        for (int pass = form == "Form1" ? 1 : 0; pass < 2; ++pass) { // the lists' entry twice
            w = openRecord(f, form, k.word);
            auto* name = w->findChild<QLineEdit*>(k.name);
            QVERIFY(name->text() == k.word && name->isReadOnly());
            typeInto(w->findChild<QLineEdit*>(k.other), "1 Mill Lane");
            menu(w, "save");
            menu(w, qPrintable(k.newItem));
            QVERIFY(name->text().isEmpty() && !name->isReadOnly());
        }
        QCOMPARE(stored(f, k.table, k.word, k.field).text(k.otherField), QStringLiteral("1 Mill Lane"));
        auto* name = w->findChild<QLineEdit*>(k.name);
        auto* other = w->findChild<QLineEdit*>(k.other);
        const auto save = [&](const QString& key) {
            if (auto* type = w->findChild<QComboBox*>("Combo1"); form == "Form7")
                type->setEditText("Other");
            typeInto(name, key);
            other->setFocus();
            menu(w, "save");
        };
        QCOMPARE(w->caption(), k.caption + (form == "Form1" ? "New" : "Add New"));
        save("");
        save(k.word);
        QCOMPARE(w->focusWidget(), name);
        save("Mill");
        QCOMPARE(w->caption(), k.caption + "Mill has been saved");
        QVERIFY(name->isReadOnly());
        typeInto(other, "2 Mill Lane");
        menu(w, "save");
        QCOMPARE(w->caption(), k.caption + "Mill" + k.updated);

        menu(w, qPrintable(k.newItem));
        save("Mill");
        QCOMPARE(w->focusWidget(), name);
        QCOMPARE(stored(f, k.table, "Mill", k.field).text(k.otherField), QStringLiteral("2 Mill Lane"));
        QCOMPARE(w->caption(), k.caption + (form == "Form1" ? "New" : "Add New"));
        save("mill");
        QCOMPARE(count(f, k.table), records + 2);
        if (form != "Form1")
            QCOMPARE(entries(w->findChild<QListWidget*>("List1")).filter("ill").size(), 2);

        // Another window (a restore, say) took the record away.
        Connection::open(f.folder.path())->updateRecord(k.table, stored(f, k.table, "mill", k.field).rowid,
                                                        {{k.field, "gone"}});
        typeInto(other, "lost?");
        menu(w, "save");
        QCOMPARE(w->caption(), k.caption + "mill has been saved");
        QCOMPARE(stored(f, k.table, "gone", k.field).text(k.otherField), QString());
        QCOMPARE(f.ui.texts(), (QStringList{k.fill, k.wordMessage, k.taken, k.gone}));
        QCOMPARE(f.ui.messages.last().title, QStringLiteral("Veilcase"));
    }

    // Empty key: a message on both routes, no dialog. With a key, the dialog's copy locks it and moves on;
    // a drop takes the first file only and locks the member's name, not the location's; it is unsaved input.
    void photoThroughTheDialogAndByDropping_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("dropMessage");
        QTest::newRow("location") << "Form1" << "Please fill in form before adding picture";
        QTest::newRow("member") << "Form5" << "You must fill out the Contact info before adding image";
    }
    void photoThroughTheDialogAndByDropping() {
        QFETCH(QString, form);
        QFETCH(QString, dropMessage);
        const Keyed k = keyed(form);
        const bool location = form == "Form1", dropLocks = !location;
        const QString folder = location ? "locations/" : "investigators/", imageName = location ? "Text12" : "Text8";
        Frame f(withCase);
        CaseWindow* w = location ? openRecord(f, form, "New") : f.frame->show(form);
        const auto box = [&](const QString& name) { return w->findChild<QLineEdit*>(name); };
        const auto insert = [&] {
            location ? menu(w, "Image_Insert") : w->findChild<ImageButton*>("Label8")->click();
        };
        auto* photo = w->findChild<PictureBox*>("Image1");
        const QString jpg = f.folder.file("pics/mill.JPG"), png = f.folder.file("pics/barn.png");
        QVERIFY(writePicture(jpg, "JPG") && writePicture(png, "PNG"));
        box("Text4")->setFocus();
        insert();
        emit photo->filesDropped({png});
        QCOMPARE(f.ui.texts(), (QStringList{"You must fill out the Contact info before adding image", dropMessage}));
        QVERIFY(f.ui.dialogs.isEmpty() && w->focusWidget() == box(location ? "Text1" : "Text4"));

        box("Text1")->setText("Mill");
        f.ui.setNextFileName(jpg);
        insert();
        QCOMPARE(f.ui.dialogs.value(0).startFolder, f.folder.path());
        QVERIFY(box(imageName)->text() == "Mill.JPG" && QFileInfo::exists(f.folder.file(folder + "Mill.JPG")));
        QVERIFY(box("Text1")->isReadOnly() && w->focusWidget() == box("Text2"));
        menu(w, "save"); // still a new record
        QCOMPARE(stored(f, k.table, "Mill", k.field).text("Image"), QStringLiteral("Mill.JPG"));

        menu(w, qPrintable(k.newItem));
        box("Text1")->setText("Barn");
        box("Text5")->setFocus();
        emit photo->filesDropped({png, jpg});
        QVERIFY(box(imageName)->text() == "Barn.png" && !QFileInfo::exists(f.folder.file(folder + "Barn.JPG")));
        QCOMPARE(box("Text1")->isReadOnly(), dropLocks);
        QCOMPARE(w->focusWidget(), box(dropLocks ? "Text2" : "Text5"));
        QVERIFY(w->hasUnsavedChanges());
        menu(w, "save");
        QVERIFY(!w->hasUnsavedChanges());
        QCOMPARE(stored(f, k.table, "Barn", k.field).text("Image"), QStringLiteral("Barn.png"));
        if (location)
            QCOMPARE(f.dashboard()->Image2->picture(), photo->picture());
    }

    // Where no maximum is set, a single-line box keeps a pasted text whole (Qt
    // would cut it at 32,767 characters); the date and time boxes keep theirs.
    void singleLineBoxesKeepLongText_data() {
        QTest::addColumn<QString>("form");
        for (const char* form : {"Form2", "Form1", "Form3", "Form4", "Form5", "Form7", "Form10"})
            QTest::newRow(form) << QString::fromLatin1(form);
    }
    void singleLineBoxesKeepLongText() {
        QFETCH(QString, form);
        Frame f(withCase);
        Connection::open(f.folder.path())->add(tables::investigations,
                                               {{"Location", "Old Mill"}, {"FullDate_Time", "k-1"}});
        // A new location lists no investigation to choose.
        Form2* d = dashboardOn(f, form == "Form1" ? QStringList{"New"}
                                                  : QStringList{"Old Mill", form == "Form3" ? "New" : "k-1"});
        CaseWindow* w = form == "Form2" ? d : f.frame->show(form);
        QList<QLineEdit*> limited; // the date and time boxes keep their own maxima
        if (auto* investigation = qobject_cast<Form3*>(w))
            limited = investigation->dateTime.boxes();
        if (auto* interview = qobject_cast<Form4*>(w))
            limited = interview->dateTime.boxes();
        const QString text(40000, u'x');
        QStringList whole;
        for (QLineEdit* box : w->findChildren<QLineEdit*>()) {
            if (!box->isVisible() || box->isReadOnly())
                continue;
            box->clear();
            paste(box, text);
            QVERIFY2(limited.contains(box) ? box->text().size() <= 4 : box->text() == text, qPrintable(box->objectName()));
            whole << box->objectName();
        }
        QVERIFY(whole.size() > limited.size());
    }

    // File > Report… on a saved record; an unsaved one is told to save first.
    void reportFromTheFileMenu_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("html");
        QTest::addColumn<bool>("contacts");
        QTest::addColumn<QString>("answer"); // the file dialog's answer, empty for Cancel
        QTest::addColumn<QString>("written"); // the file written, empty for none
        QTest::addColumn<QString>("shown");   // a word it holds, or the message
        QTest::newRow("investigation as HTML") << "Form3" << "night" << true << false << "r.html" << "r.html"
                                               << "I heard steps in the attic.";
        QTest::newRow("investigation as PDF, with contacts, named without extension")
            << "Form3" << "night" << false << true << "r" << "r.pdf" << "555-0101";
        QTest::newRow("a typed .html wins over the choice") << "Form1" << "Old Mill" << false << false << "l.html"
                                                            << "l.html" << "snow storm";
        QTest::newRow("previewed, then cancelled") << "Form3" << "night" << false << false << "" << "" << "";
        QTest::newRow("unsaved location") << "Form1" << "New" << false << false << "" << ""
                                          << "Please save the location before making its report.";
        QTest::newRow("unsaved investigation") << "Form3" << "New" << false << false << "" << ""
                                               << "Please save the investigation before making its report.";
    }
    void reportFromTheFileMenu() {
        QFETCH(QString, window);
        QFETCH(QString, key);
        QFETCH(bool, html);
        QFETCH(bool, contacts);
        QFETCH(QString, answer);
        QFETCH(QString, written);
        QFETCH(QString, shown);
        Frame f;
        const ReportCase c = seedReportCase(f.folder);
        CaseWindow* w = openRecord(f, window, key == "night" ? c.night : key);
        menu(w, "report");
        auto* d = w->findChild<ReportDialog*>("ReportDialog");
        if (key == "New") {
            QVERIFY(!d);
            QCOMPARE(f.ui.texts(), QStringList{shown});
            return;
        }
        QVERIFY(d && d->isVisible() && !d->IncludeContacts->isChecked()); // reports travel
        (html ? d->HtmlFormat : d->PdfFormat)->setChecked(true);
        d->IncludeContacts->setChecked(contacts);
        if (answer.isEmpty()) {
            int pages = 0;
            QTimer::singleShot(0, [&] {
                auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
                if (preview && preview->objectName() == "ReportPreview") {
                    pages = preview->findChild<QPrintPreviewWidget*>()->pageCount();
                    preview->reject();
                }
            });
            d->PreviewButton->click();
            QVERIFY(pages >= 2);
        }
        f.ui.setNextSaveFileName(answer.isEmpty() ? answer : f.folder.file(answer));
        d->SaveButton->click();
        QCOMPARE(QDir(f.folder.path()).entryList({"*.html", "*.pdf"}, QDir::Files),
                 written.isEmpty() ? QStringList() : QStringList{written});
        QVERIFY(f.ui.messages.isEmpty());
        if (written.isEmpty()) {
            QVERIFY(d->isVisible());
            return;
        }
        QTRY_VERIFY(!w->findChild<ReportDialog*>("ReportDialog"));
        const QString text = reportText(f.folder.file(written));
        QVERIFY2(text.contains(shown), qPrintable(text.left(400)));
        QCOMPARE(text.contains("555-0101"), contacts);
    }
};

VEIL_GERMAN_TEST_MAIN(EditorsTest)
#include "test_editors.moc"
