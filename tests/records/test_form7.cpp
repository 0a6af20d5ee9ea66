#include "framefixture.h"

#include "form7.h"
#include "imagebutton.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTextEdit>

using namespace veil;
using namespace veil::test;

namespace {
QStringList entries(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void choose(QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    QVERIFY2(found.size() == 1, qPrintable(text));
    list->setCurrentItem(found.first());
}

Form7* openEquipment(Frame& f) {
    return static_cast<Form7*>(f.frame->show(QStringLiteral("Form7")));
}

void fill(Form7* w, const QString& type, const QString& nick, const QString& model = QString()) {
    w->Combo1->setEditText(type);
    w->Text3->setText(nick);
    w->Text2->setText(model);
}

QList<Record> stored(Frame& f) {
    QList<Record> out;
    auto db = Connection::open(f.folder.path());
    for (const QString& nick : db->column(tables::equipment, QStringLiteral("Nick_Name")))
        out << *db->findFirst(tables::equipment, {{QStringLiteral("Nick_Name"), nick}});
    return out;
}
} // namespace

class Form7Test : public QObject {
    Q_OBJECT
private slots:
    void opensInAddNewMode() {
        Frame f;
        Form7* w = openEquipment(f);
        QVERIFY(w);
        QCOMPARE(w->caption(), QStringLiteral("Equipment - Add New"));
        QCOMPARE(w->Combo1->currentText(), QStringLiteral("Type"));
        QCOMPARE(w->Combo1->count(), 5);
        QCOMPARE(w->Combo1->itemText(0), QStringLiteral("Audio Recorder"));
        QCOMPARE(w->Combo1->itemText(4), QStringLiteral("Other"));
        QVERIFY(!w->Text3->isReadOnly());
        QCOMPARE(w->List1->count(), 0);
        for (const char* name : {"addnew", "save", "close", "guide", "about"})
            QVERIFY2(w->findChild<QAction*>(QLatin1String(name)), name);
    }

    void saveAddsOnceThenUpdatesWithTheExactCaptions() {
        Frame f;
        Form7* w = openEquipment(f);
        fill(w, "Audio Recorder", "Recorder1", "RX-1");
        w->Text7->setPlainText("Hisses when cold");
        w->Label8->click();
        QCOMPARE(w->caption(), QStringLiteral("Equipment - Recorder1 has been saved"));
        QVERIFY(w->Text3->isReadOnly());
        QCOMPARE(entries(w->List1), QStringList{"Recorder1"});
        QVERIFY(f.ui.messages.isEmpty());

        w->Text2->setText("RX-2");
        w->findChild<QAction*>("save")->trigger();
        QCOMPARE(w->caption(), QStringLiteral("Equipment - Recorder1has been updated"));
        const auto recs = stored(f);
        QCOMPARE(recs.size(), 1);
        QCOMPARE(recs[0].text("Model"), QStringLiteral("RX-2"));
        QCOMPARE(recs[0].text("Type"), QStringLiteral("Audio Recorder"));
        QCOMPARE(recs[0].text("Quirks"), QStringLiteral("Hisses when cold"));
        QCOMPARE(entries(w->List1), QStringList{"Recorder1"});
    }

    void refusedSavesStoreNothing() {
        Frame f;
        Form7* w = openEquipment(f);
        fill(w, "Video Camera", "");
        w->Label8->click();
        QCOMPARE(f.ui.lastText(), QStringLiteral("Please fill in fields before Saving"));
        QCOMPARE(f.ui.messages.last().title, QStringLiteral("Veilcase"));

        fill(w, "Type", "Cam");
        w->Label8->click();
        QCOMPARE(f.ui.lastText(), QStringLiteral("Please select a type before saving"));
        QCOMPARE(stored(f).size(), 0);
        QCOMPARE(w->caption(), QStringLiteral("Equipment - Add New"));

        // A hand-typed type is stored as typed.
        fill(w, "Thermometer", "Cam");
        w->Label8->click();
        QCOMPARE(stored(f).value(0).text("Type"), QStringLiteral("Thermometer"));

        // The same nick name again is refused, one differing in case is not.
        w->Label7->click();
        QCOMPARE(w->caption(), QStringLiteral("Equipment - Add New"));
        QCOMPARE(w->Combo1->currentText(), QStringLiteral("Type"));
        QVERIFY(w->Text3->text().isEmpty());
        QVERIFY(!w->Text3->isReadOnly());
        fill(w, "Other", "Cam", "changed");
        f.ui.clear();
        w->Label8->click();
        QCOMPARE(f.ui.texts(),
                 QStringList{"This Nick Name has already been used, please try a different one."});
        QCOMPARE(w->caption(), QStringLiteral("Equipment - Add New"));
        QCOMPARE(stored(f).size(), 1);
        QCOMPARE(stored(f)[0].text("Model"), QString());

        fill(w, "Other", "cam");
        w->Label8->click();
        QCOMPARE(stored(f).size(), 2);
        QCOMPARE(entries(w->List1), (QStringList{"Cam", "cam"}));
    }

    void nickNameRefusesListBreakingCharacters() {
        Frame f;
        Form7* w = openEquipment(f);
        w->Text3->setFocus();
        QTest::keyClicks(w->Text3, "Rec+1,a=b c");
        QCOMPARE(w->Text3->text(), QStringLiteral("Rec1ab c"));
        QTest::keyClicks(w->Text2, "A+B");
        QCOMPARE(w->Text2->text(), QStringLiteral("A+B"));

        // Pasted text is cleaned too, and the cursor stays after the paste.
        w->Text3->clear();
        QApplication::clipboard()->setText(QStringLiteral("x,y+z"));
        w->Text3->paste();
        QCOMPARE(w->Text3->text(), QStringLiteral("xyz"));
        QCOMPARE(w->Text3->cursorPosition(), 3);
    }

    void choosingAnItemShowsItAndLocksTheNickName() {
        Frame f;
        {
            auto db = Connection::open(f.folder.path());
            db->add(tables::equipment, {{"Nick_Name", "zeta"}, {"Type", "Other"}});
            db->add(tables::equipment, {{"Nick_Name", "Alpha"}, {"Type", "Still Camera"},
                                        {"Manufacturer", "Acme"}, {"Battery_type", "AA"},
                                        {"Media_type", "SD"}, {"Quirks", "line1\nline2"}});
            db->add(tables::equipment, {{"Nick_Name", "beta"}});
        }
        Form7* w = openEquipment(f);
        QCOMPARE(entries(w->List1), (QStringList{"Alpha", "beta", "zeta"}));

        choose(w->List1, "Alpha");
        QCOMPARE(w->caption(), QStringLiteral("Equipment - Alpha"));
        QCOMPARE(w->Combo1->currentText(), QStringLiteral("Still Camera"));
        QCOMPARE(w->Text1->text(), QStringLiteral("Acme"));
        QCOMPARE(w->Text4->text(), QStringLiteral("AA"));
        QCOMPARE(w->Text5->text(), QStringLiteral("SD"));
        QCOMPARE(w->Text7->toPlainText(), QStringLiteral("line1\nline2"));
        QVERIFY(w->Text3->isReadOnly());

        // A record with empty fields shows them empty; saving rewrites only that record.
        choose(w->List1, "beta");
        QCOMPARE(w->Text1->text(), QString());
        QCOMPARE(w->Text7->toPlainText(), QString());
        w->Text2->setText("B2");
        w->Label8->click();
        QCOMPARE(w->caption(), QStringLiteral("Equipment - betahas been updated"));
        auto db = Connection::open(f.folder.path());
        QCOMPARE(db->findFirst(tables::equipment, {{"Nick_Name", "beta"}})->text("Model"), QStringLiteral("B2"));
        QCOMPARE(db->findFirst(tables::equipment, {{"Nick_Name", "Alpha"}})->text("Model"), QString());
        QCOMPARE(db->count(tables::equipment), 3);
    }

    void closingShowsTheDashboardAgain() {
        Frame f;
        f.dashboard()->findChild<QAction*>("equipment")->trigger();
        Frame::flush();
        QVERIFY(!f.frame->loaded("Form2"));
        Form7* w = f.window<Form7>("Form7");
        QVERIFY(w);
        w->Label9->click();
        Frame::flush();
        QVERIFY(!f.frame->loaded("Form7"));
        QVERIFY(f.dashboard());
        QVERIFY(f.dashboard()->isVisible());
    }
};

QTEST_MAIN(Form7Test)
#include "test_form7.moc"
