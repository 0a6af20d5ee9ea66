#include "casetesting.h"

#include "records/equipmentwindow.h"

using namespace veil;
using namespace veil::test;

namespace {
Form7* openEquipment(Frame& f) { return static_cast<Form7*>(f.frame->show(QStringLiteral("Form7"))); }

void save(Form7* w, const QString& type, const QString& nick, const QString& model = QString()) {
    w->Combo1->setEditText(type);
    w->Text3->setText(nick);
    w->Text2->setText(model);
    w->Label8->click();
}

Record item(Frame& f, const QString& nick) { return stored(f, tables::equipment, nick, "Nick_Name"); }
} // namespace

class Form7Test : public QObject {
    Q_OBJECT
private slots:
    void saveAddsOnceThenUpdatesWithTheExactCaptionsAndRefusedSavesStoreNothing() {
        Frame f;
        Form7* w = openEquipment(f);
        QCOMPARE(w->caption(), QStringLiteral("Equipment - Add New"));
        QCOMPARE(w->Combo1->currentText(), QStringLiteral("Type"));
        save(w, "Video Camera", "");
        save(w, "Type", "Cam");
        QCOMPARE(f.ui.texts(), (QStringList{"Please fill in fields before Saving",
                                            "Please select a type before saving"}));
        QCOMPARE(count(f, tables::equipment), 0);

        // Typed or pasted, "+" "," "=" never reach the Nick Name; the Model keeps them.
        w->Text3->clear();
        QTest::keyClicks(w->Text3, "Rec+or,d=");
        paste(w->Text3, "e,r=1+");
        QCOMPARE(w->Text3->text(), QStringLiteral("Recorder1"));
        QTest::keyClicks(w->Text2, "RX+1");
        w->Combo1->setEditText("Thermometer"); // a typed type is stored as typed
        w->Text7->setPlainText("Hisses when cold");
        w->Label8->click();
        QCOMPARE(w->caption(), QStringLiteral("Equipment - Recorder1 has been saved"));
        QVERIFY(w->Text3->isReadOnly() && w->List1->count() == 1);
        QCOMPARE(item(f, "Recorder1").text("Model") + item(f, "Recorder1").text("Type"), QStringLiteral("RX+1Thermometer"));

        w->Text2->setText("RX-2");
        menu(w, "save");
        QCOMPARE(w->caption(), QStringLiteral("Equipment - Recorder1has been updated"));
        QCOMPARE(count(f, tables::equipment), 1);
        QCOMPARE(item(f, "Recorder1").text("Model") + item(f, "Recorder1").text("Quirks"),
                 QStringLiteral("RX-2Hisses when cold"));

        w->Label7->click();
        QCOMPARE(w->caption(), QStringLiteral("Equipment - Add New"));
        QCOMPARE(w->Combo1->currentText(), QStringLiteral("Type"));
        QVERIFY(w->Text3->text().isEmpty() && !w->Text3->isReadOnly());
        save(w, "Other", "Recorder1", "changed");
        QCOMPARE(f.ui.texts().mid(2), QStringList{"This Nick Name has already been used, please try a different one."});
        QCOMPARE(f.ui.messages.last().title, QStringLiteral("Veilcase"));
        QCOMPARE(item(f, "Recorder1").text("Model"), QStringLiteral("RX-2"));
        QCOMPARE(w->caption(), QStringLiteral("Equipment - Add New"));
        save(w, "Other", "recorder1"); // differs in case only: a new item
        QCOMPARE(count(f, tables::equipment), 2);
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
        QVERIFY(w->Text3->isReadOnly());

        w->List1->setCurrentRow(1);
        QVERIFY(w->Text7->toPlainText().isEmpty());
        w->Text2->setText("B2");
        w->Label8->click();
        QCOMPARE(item(f, "beta").text("Model") + item(f, "Alpha").text("Model"), QStringLiteral("B2"));

        w->Label9->click();
        Frame::flush();
        QVERIFY(!f.frame->loaded("Form7") && f.dashboard()->isVisible());
    }
};

QTEST_MAIN(Form7Test)
#include "test_equipmentwindow.moc"
