// What the editors share: records found by a typed key, whose key may be one of
// the program's own mode words, and boxes that take any length of text.
#include "casetesting.h"

#include "pictures/addpictureswindow.h"
#include "records/equipmentwindow.h"
#include "records/interviewwindow.h"
#include "records/investigationwindow.h"
#include "records/investigatorswindow.h"
#include "records/locationwindow.h"

using namespace veil;
using namespace veil::test;

namespace {
const QString kInvestigation = QStringLiteral("10-31-05 11:45 pm-1");

// One of the three windows whose key is a typed name, as a row of the tests.
struct Keyed {
    QString form, table, field, word; // the window, its table, its key field, its mode word
    QLineEdit* name = nullptr;        // the key box
    QLineEdit* other = nullptr;       // a plain box and its field
    QString otherField;
};

Keyed keyed(const QString& form) {
    if (form == "Form1")
        return {form, tables::location, "LocationName", "New", nullptr, nullptr, "LocationAddress1"};
    if (form == "Form5")
        return {form, tables::investigators, "Name", "Add New", nullptr, nullptr, "Address1"};
    return {form, tables::equipment, "Nick_Name", "Add New", nullptr, nullptr, "Model"};
}

void addKeyedRows() {
    QTest::addColumn<QString>("form");
    for (const char* form : {"Form1", "Form5", "Form7"})
        QTest::newRow(form) << QString::fromLatin1(form);
}

// Opens the window on the stored record of that key, as the user does: the
// dashboard's entry (the record sorts after the mode word) or a click in the list.
CaseWindow* openRecord(Frame& f, Keyed& k, const QString& key) {
    CaseWindow* w = nullptr;
    if (k.form == "Form1") {
        Form2* d = dashboardOn(f, {});
        int last = -1;
        for (int i = 0; i < d->Combo1->count(); ++i)
            if (d->Combo1->itemText(i) == key)
                last = i;
        d->Combo1->setCurrentIndex(last);
        emit d->Combo1->activated(last);
        d->Label6->click();
        auto* form1 = f.window<Form1>("Form1");
        k.name = form1->Text1;
        k.other = form1->Text2;
        w = form1;
    } else {
        w = f.frame->show(k.form);
        auto* list = w->findChild<QListWidget*>("List1");
        clickEntry(list, key);
        k.name = w->findChild<QLineEdit*>(k.form == "Form5" ? "Text1" : "Text3");
        k.other = w->findChild<QLineEdit*>("Text2");
    }
    return w;
}
} // namespace

class EditorsTest : public QObject {
    Q_OBJECT
private slots:
    // A stored record named by the mode word opens and saves; a record gone from
    // under the window is not reported saved; a new record may not take the word.
    void keysThatAreModeWordsAndRecordsThatVanish_data() { addKeyedRows(); }
    void keysThatAreModeWordsAndRecordsThatVanish() {
        QFETCH(QString, form);
        Keyed k = keyed(form);
        Frame f;
        {
            auto db = Connection::open(f.folder.path());
            seedCase(*db);
            db->add(k.table, {{k.field, k.word}});
        }
        const int records = count(f, k.table);
        CaseWindow* w = openRecord(f, k, k.word);
        QCOMPARE(k.name->text(), k.word);
        QVERIFY(k.name->isReadOnly());
        typeInto(k.other, "1 Mill Lane");
        menu(w, "save");
        QVERIFY2(f.ui.messages.isEmpty(), qPrintable(f.ui.lastText()));
        QCOMPARE(stored(f, k.table, k.word, k.field).text(k.otherField), QStringLiteral("1 Mill Lane"));
        QCOMPARE(count(f, k.table), records);

        // Another window (a restore, say) took the record away.
        const Record r = stored(f, k.table, k.word, k.field);
        Connection::open(f.folder.path())->updateRecord(k.table, r.rowid, {{k.field, "gone"}});
        const QString caption = w->caption();
        typeInto(k.other, "lost?");
        menu(w, "save");
        QVERIFY2(f.ui.lastText().endsWith("could not be found, so nothing was saved."), qPrintable(f.ui.lastText()));
        QCOMPARE(w->caption(), caption);
        QCOMPARE(stored(f, k.table, "gone", k.field).text(k.otherField), QStringLiteral("1 Mill Lane"));
        QCOMPARE(count(f, k.table), records);

        // A new record named by the word would open in New mode ever after: refused.
        f.ui.clear();
        menu(w, form == "Form7" ? "addnew" : "new");
        if (form == "Form7")
            w->findChild<QComboBox*>("Combo1")->setEditText("Other");
        typeInto(k.name, k.word);
        k.other->setFocus();
        menu(w, "save");
        QCOMPARE(f.ui.texts().size(), 1);
        QVERIFY2(f.ui.lastText().startsWith('"' + k.word + "\" is the word for a new"), qPrintable(f.ui.lastText()));
        QCOMPARE(w->focusWidget(), k.name);
        QCOMPARE(count(f, k.table), records);
    }

    // After New no entry stays chosen: clicking the one shown before shows it again.
    void newLeavesNoEntryChosen_data() {
        QTest::addColumn<QString>("form");
        QTest::newRow("Form5") << "Form5";
        QTest::newRow("Form7") << "Form7";
    }
    void newLeavesNoEntryChosen() {
        QFETCH(QString, form);
        Keyed k = keyed(form);
        Frame f;
        Connection::open(f.folder.path())->add(k.table, {{k.field, "Only"}});
        CaseWindow* w = openRecord(f, k, "Only");
        menu(w, form == "Form5" ? "new" : "addnew");
        QVERIFY(k.name->text().isEmpty());
        clickEntry(w->findChild<QListWidget*>("List1"), "Only");
        QCOMPARE(k.name->text(), QStringLiteral("Only"));
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
        Frame f;
        {
            auto db = Connection::open(f.folder.path());
            seedCase(*db);
            db->add(tables::investigations, {{"Location", "Old Mill"}, {"FullDate_Time", kInvestigation}});
        }
        Form2* d = dashboardOn(f, {"Old Mill", form == "Form3" ? "New" : kInvestigation});
        if (form == "Form1")
            choose(d->Combo1, "New");
        CaseWindow* w = form == "Form2" ? d : f.frame->show(form);
        QList<QLineEdit*> limited;
        if (auto* investigation = qobject_cast<Form3*>(w))
            limited = investigation->dateTime.boxes();
        else if (auto* interview = qobject_cast<Form4*>(w))
            limited = interview->dateTime.boxes();
        const QString text(40000, u'x');
        int boxes = 0;
        for (QLineEdit* box : w->findChildren<QLineEdit*>()) {
            if (!box->isVisible() || box->isReadOnly())
                continue;
            box->clear();
            paste(box, text);
            if (limited.contains(box))
                QVERIFY(box->text().size() <= 4);
            else
                QVERIFY2(box->text() == text, qPrintable(box->objectName()));
            ++boxes;
        }
        QVERIFY(boxes > 0);
    }
};

VEIL_GERMAN_TEST_MAIN(EditorsTest)
#include "test_editors.moc"
