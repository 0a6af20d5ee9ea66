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
Form7* openEquipment(Frame& f) { return static_cast<Form7*>(f.frame->show(QStringLiteral("Form7"))); }

void fill(Form7* w, const QString& type, const QString& nick, const QString& model = QString()) {
    w->Combo1->setEditText(type);
    w->Text3->setText(nick);
    w->Text2->setText(model);
}

std::optional<Record> item(Frame& f, const QString& nick) {
    return Connection::open(f.folder.path())->findFirst(tables::equipment, {{"Nick_Name", nick}});
}
int items(Frame& f) { return Connection::open(f.folder.path())->count(tables::equipment); }
} // namespace

class Form7Test : public QObject {
    Q_OBJECT
private slots:
    void saveAddsOnceThenUpdatesWithTheExactCaptions() {
        Frame f;
        Form7* w = openEquipment(f);
        QCOMPARE(w->caption(), QStringLiteral("Equipment - Add New"));
        QCOMPARE(w->Combo1->currentText(), QStringLiteral("Type"));
        fill(w, "Audio Recorder", "Recorder1", "RX-1");
        w->Text7->setPlainText("Hisses when cold");
        w->Label8->click();
        QCOMPARE(w->caption(), QStringLiteral("Equipment - Recorder1 has been saved"));
        QVERIFY(w->Text3->isReadOnly());
        QCOMPARE(w->List1->count(), 1);

        w->Text2->setText("RX-2");
        w->findChild<QAction*>("save")->trigger();
        QCOMPARE(w->caption(), QStringLiteral("Equipment - Recorder1has been updated"));
        QCOMPARE(items(f), 1);
        QCOMPARE(item(f, "Recorder1")->text("Model"), QStringLiteral("RX-2"));
        QCOMPARE(item(f, "Recorder1")->text("Quirks"), QStringLiteral("Hisses when cold"));
        QVERIFY(f.ui.messages.isEmpty());
    }

    void refusedSavesStoreNothing() {
        Frame f;
        Form7* w = openEquipment(f);
        fill(w, "Video Camera", "");
        w->Label8->click();
        fill(w, "Type", "Cam");
        w->Label8->click();
        QCOMPARE(f.ui.texts(), (QStringList{"Please fill in fields before Saving",
                                            "Please select a type before saving"}));
        QCOMPARE(items(f), 0);

        fill(w, "Thermometer", "Cam"); // a typed type is stored as typed
        w->Label8->click();
        QCOMPARE(item(f, "Cam")->text("Type"), QStringLiteral("Thermometer"));

        w->Label7->click();
        QCOMPARE(w->caption(), QStringLiteral("Equipment - Add New"));
        QCOMPARE(w->Combo1->currentText(), QStringLiteral("Type"));
        QVERIFY(w->Text3->text().isEmpty() && !w->Text3->isReadOnly());
        fill(w, "Other", "Cam", "changed");
        w->Label8->click();
        QCOMPARE(f.ui.lastText(), QStringLiteral("This Nick Name has already been used, please try a different one."));
        QCOMPARE(f.ui.messages.last().title, QStringLiteral("Veilcase"));
        QCOMPARE(item(f, "Cam")->text("Model"), QString());
        QCOMPARE(w->caption(), QStringLiteral("Equipment - Add New"));

        fill(w, "Other", "cam"); // differs in case only: a new item
        w->Label8->click();
        QCOMPARE(items(f), 2);
    }

    void nickNameRefusesListBreakingCharacters() {
        Frame f;
        Form7* w = openEquipment(f);
        QTest::keyClicks(w->Text3, "Rec+1,a=b c");
        QCOMPARE(w->Text3->text(), QStringLiteral("Rec1ab c"));
        QTest::keyClicks(w->Text2, "A+B");
        QCOMPARE(w->Text2->text(), QStringLiteral("A+B"));
        w->Text3->clear();
        QApplication::clipboard()->setText(QStringLiteral("x,y+z"));
        w->Text3->paste();
        QCOMPARE(w->Text3->text(), QStringLiteral("xyz"));
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
        f.dashboard()->findChild<QAction*>("equipment")->trigger();
        Frame::flush();
        QVERIFY(!f.frame->loaded("Form2"));
        Form7* w = f.window<Form7>("Form7");
        QCOMPARE(w->List1->item(0)->text(), QStringLiteral("Alpha"));
        QCOMPARE(w->List1->item(1)->text(), QStringLiteral("beta"));

        w->List1->setCurrentRow(0);
        QCOMPARE(w->caption(), QStringLiteral("Equipment - Alpha"));
        QCOMPARE(w->Combo1->currentText(), QStringLiteral("Still Camera"));
        QCOMPARE(w->Text4->text(), QStringLiteral("AA"));
        QCOMPARE(w->Text7->toPlainText(), QStringLiteral("line1\nline2"));
        QVERIFY(w->Text3->isReadOnly());

        w->List1->setCurrentRow(1);
        QVERIFY(w->Text7->toPlainText().isEmpty());
        w->Text2->setText("B2");
        w->Label8->click();
        QCOMPARE(item(f, "beta")->text("Model"), QStringLiteral("B2"));
        QCOMPARE(item(f, "Alpha")->text("Model"), QString());

        w->Label9->click();
        Frame::flush();
        QVERIFY(!f.frame->loaded("Form7"));
        QVERIFY(f.dashboard() && f.dashboard()->isVisible());
    }
};

QTEST_MAIN(Form7Test)
#include "test_form7.moc"
