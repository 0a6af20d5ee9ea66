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
// The three windows whose key is a typed name: table, key field, mode word,
// key box, a plain box and its field, the New item.
struct Keyed {
    QString table, field, word, name, other, otherField, newItem;
};
Keyed keyed(const QString& form) {
    if (form == "Form1")
        return {tables::location, "LocationName", "New", "Text1", "Text2", "LocationAddress1", "new"};
    if (form == "Form5")
        return {tables::investigators, "Name", "Add New", "Text1", "Text2", "Address1", "new"};
    return {tables::equipment, "Nick_Name", "Add New", "Text3", "Text2", "Model", "addnew"};
}

// Opens the window on the stored record of that key as the user does: the
// dashboard's entry (the record's sorts after the mode word) or a click in the list.
CaseWindow* openRecord(Frame& f, const QString& form, const QString& key) {
    if (form != "Form1") {
        CaseWindow* w = f.frame->show(form);
        clickEntry(w->findChild<QListWidget*>("List1"), key);
        return w;
    }
    QComboBox* list = dashboardOn(f, {})->Combo1;
    const int last = list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, key, -1,
                                          Qt::MatchExactly | Qt::MatchCaseSensitive).last().row();
    list->setCurrentIndex(last);
    emit list->activated(last);
    f.dashboard()->Label6->click();
    return f.window<CaseWindow>("Form1");
}
} // namespace

class EditorsTest : public QObject {
    Q_OBJECT
private slots:
    // A stored record named by the mode word opens and saves; a record gone from
    // under the window is not reported saved; a new record may not take the word.
    void keysThatAreModeWordsAndRecordsThatVanish_data() {
        QTest::addColumn<QString>("form");
        for (const char* form : {"Form1", "Form5", "Form7"})
            QTest::newRow(form) << QString::fromLatin1(form);
    }
    void keysThatAreModeWordsAndRecordsThatVanish() {
        QFETCH(QString, form);
        const Keyed k = keyed(form);
        Frame f;
        {
            auto db = Connection::open(f.folder.path());
            seedCase(*db);
            db->add(k.table, {{k.field, k.word}});
        }
        const int records = count(f, k.table);
        CaseWindow* w = openRecord(f, form, k.word);
        auto* name = w->findChild<QLineEdit*>(k.name);
        auto* other = w->findChild<QLineEdit*>(k.other);
        QVERIFY(name->text() == k.word && name->isReadOnly());
        typeInto(other, "1 Mill Lane");
        menu(w, "save");
        QVERIFY2(f.ui.messages.isEmpty(), qPrintable(f.ui.lastText()));
        QCOMPARE(stored(f, k.table, k.word, k.field).text(k.otherField), QStringLiteral("1 Mill Lane"));

        // Another window (a restore, say) took the record away.
        Connection::open(f.folder.path())->updateRecord(k.table, stored(f, k.table, k.word, k.field).rowid,
                                                        {{k.field, "gone"}});
        const QString caption = w->caption();
        typeInto(other, "lost?");
        menu(w, "save");
        QVERIFY2(f.ui.lastText().endsWith("could not be found, so nothing was saved."), qPrintable(f.ui.lastText()));
        QCOMPARE(w->caption(), caption);
        QCOMPARE(stored(f, k.table, "gone", k.field).text(k.otherField), QStringLiteral("1 Mill Lane"));

        // A new record named by the word would open in New mode ever after: refused.
        f.ui.clear();
        menu(w, qPrintable(k.newItem));
        if (form == "Form7")
            w->findChild<QComboBox*>("Combo1")->setEditText("Other");
        typeInto(name, k.word);
        other->setFocus();
        menu(w, "save");
        QCOMPARE(f.ui.texts(), QStringList{'"' + k.word + "\" is the word for a new " +
                                           (form == "Form1" ? "location, please use a different name."
                                            : form == "Form5" ? "member, please use a different name."
                                                              : "item, please use a different Nick Name.")});
        QCOMPARE(w->focusWidget(), name);
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
        const Keyed k = keyed(form);
        Frame f;
        Connection::open(f.folder.path())->add(k.table, {{k.field, "Only"}});
        CaseWindow* w = openRecord(f, form, "Only");
        menu(w, qPrintable(k.newItem));
        auto* name = w->findChild<QLineEdit*>(k.name);
        QVERIFY(name->text().isEmpty());
        clickEntry(w->findChild<QListWidget*>("List1"), "Only");
        QCOMPARE(name->text(), QStringLiteral("Only"));
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
            db->add(tables::investigations, {{"Location", "Old Mill"}, {"FullDate_Time", "k-1"}});
        }
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
};

VEIL_GERMAN_TEST_MAIN(EditorsTest)
#include "test_editors.moc"
