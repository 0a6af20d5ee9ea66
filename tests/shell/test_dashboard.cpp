#include "framefixture.h"

#include "widgets/imagebutton.h"
#include "widgets/picturebox.h"
#include "shell/windowregistry.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <sqlite3.h>

using namespace veil;
using namespace veil::test;

namespace {
void choose(QComboBox* box, const QString& text) {
    const int i = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    QVERIFY2(i >= 0, qPrintable(text));
    box->setCurrentIndex(i);
    emit box->activated(i);
}

QStringList entries(QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

void press(ImageButton* b) {
    QTest::mousePress(b, Qt::LeftButton);
    QVERIFY(b->isPressed());
    QCOMPARE(b->palette().color(QPalette::WindowText), QColor(Qt::white));
    QTest::mouseRelease(b, Qt::LeftButton);
    QVERIFY(!b->isPressed());
}

// Two places whose names differ only in case, with investigations, interviews and pictures.
void seed(const ProgramFolder& pf) {
    auto db = Connection::open(pf.path());
    db->add(tables::location, {{"LocationName", "Old Mill"}, {"Image", "Old Mill.jpg"}});
    db->add(tables::location, {{"LocationName", "old mill"}, {"Image", "gone.jpg"}});
    db->add(tables::location, {{"LocationName", "Abbey"}});
    db->add(tables::investigations, {{"Location", "Old Mill"}, {"FullDate_Time", "2-1-2009 9:5 pm-1"}});
    db->add(tables::investigations, {{"Location", "old mill"}, {"FullDate_Time", "3-3-2009 1:00 am-2"}});
    db->add(tables::investigations, {{"Location", "Old Mill"}, {"FullDate_Time", "10-31-2008 11:30 pm-3"}});
    db->add(tables::interview, {{"Location", "Old Mill"}, {"Investigation", "10-31-2008 11:30 pm-3"},
                                {"FullDate_Time", "11-1-2008 1:00 am-2"}});
    db->add(tables::interview, {{"Location", "Old Mill"}, {"Investigation", "10-31-2008 11:30 pm-3"},
                                {"FullDate_Time", "10-31-2008 11:45 pm-1"}});
    db->add(tables::interview, {{"Location", "old mill"}, {"Investigation", "10-31-2008 11:30 pm-3"},
                                {"FullDate_Time", "not mine-3"}});
    db->add(tables::pictures, {{"Investigation", "10-31-2008 11:30 pm-3"}, {"Title", "Stairs"}});
    db->add(tables::pictures, {{"Investigation", "10-31-2008 11:30 pm-3"}, {"Title", "Cellar door"}});
    writePicture(pf.file("locations/Old Mill.jpg"), "JPG", 40, 30, 0xff884422);
}
} // namespace

class DashboardTest : public QObject {
    Q_OBJECT
private slots:
    void emptyDatabaseLeadsThroughThePrerequisites() {
        Frame f;
        Form2* d = f.dashboard();
        QVERIFY(d);
        QCOMPARE(entries(d->Combo1), QStringList{"New"});
        QCOMPARE(d->Label6->text(), QStringLiteral("New"));
        QCOMPARE(d->prerequisiteFlag(), QString());

        press(d->Label6);
        QCOMPARE(f.ui.texts(), QStringList{"Please add Investigators First"});
        QCOMPARE(f.ui.messages.last().title, QStringLiteral("Veilcase"));
        QCOMPARE(d->prerequisiteFlag(), QStringLiteral("1"));
        QVERIFY(f.frame->loaded("Form2")); // the dashboard stays
        if (windowFactory("Form5"))
            QVERIFY(f.frame->loaded("Form5"));
        QVERIFY(!f.frame->loaded("Form1"));

        Connection::open(f.folder.path())->add(tables::investigators, {{"Name", "Ann"}, {"Active", "1"}});
        f.ui.clear();
        press(d->Label6);
        QCOMPARE(f.ui.texts(), QStringList{"Please add Equipment First"});
        if (windowFactory("Form7"))
            QVERIFY(f.frame->loaded("Form7"));
        QVERIFY(!f.frame->loaded("Form1"));

        Connection::open(f.folder.path())->add(tables::equipment, {{"Nick_Name", "Rec1"}, {"Type", "Other"}});
        f.ui.clear();
        press(d->Label6);
        QVERIFY(f.ui.messages.isEmpty());
        QCOMPARE(d->prerequisiteFlag(), QStringLiteral("0"));
        if (windowFactory("Form1"))
            QVERIFY(f.frame->loaded("Form1"));
    }

    void choosingNarrowsTheListsBelow() {
        Frame f;
        seed(f.folder);
        f.frame->unload("Form2"); // reload so the seeded records are listed
        Frame::flush();
        Form2* d = static_cast<Form2*>(f.frame->show("Form2"));
        // Locations and investigations sort without regard to case; "New" sorts with them.
        QCOMPARE(entries(d->Combo1), (QStringList{"Abbey", "New", "Old Mill", "old mill"}));
        QCOMPARE(d->Combo1->currentText(), QStringLiteral("New"));

        choose(d->Combo1, "Old Mill");
        QCOMPARE(d->Label3->text(), QStringLiteral("Old Mill"));
        QCOMPARE(d->Label6->text(), QStringLiteral("View"));
        QCOMPARE(entries(d->Combo2), (QStringList{"10-31-2008 11:30 pm-3", "2-1-2009 9:5 pm-1", "New"}));
        QCOMPARE(d->Combo2->currentText(), QStringLiteral("New"));
        QCOMPARE(d->Image2->file(), f.folder.file("locations/Old Mill.jpg"));

        choose(d->Combo2, "10-31-2008 11:30 pm-3");
        QCOMPARE(d->Label7->text(), QStringLiteral("View"));
        // Interviews and pictures keep stored order; another location's interview is not listed.
        QCOMPARE(entries(d->Combo3), (QStringList{"New", "11-1-2008 1:00 am-2", "10-31-2008 11:45 pm-1"}));
        QCOMPARE(entries(d->Combo4), (QStringList{"Add", "Stairs", "Cellar door"}));
        QCOMPARE(d->Combo3->currentText(), QStringLiteral("New"));
        QCOMPARE(d->Combo4->currentText(), QStringLiteral("Add"));

        choose(d->Combo3, "10-31-2008 11:45 pm-1");
        QCOMPARE(d->Label8->text(), QStringLiteral("View"));
        choose(d->Combo4, "Stairs");
        QCOMPARE(d->Label9->text(), QStringLiteral("View"));
        choose(d->Combo4, "Add");
        QCOMPARE(d->Label9->text(), QStringLiteral("Add"));

        choose(d->Combo2, "New");
        QCOMPARE(d->Label7->text(), QStringLiteral("New"));
        QCOMPARE(entries(d->Combo3), QStringList{"New"});
        QCOMPARE(entries(d->Combo4), QStringList{"Add"});
        QCOMPARE(d->Label8->text(), QStringLiteral("New"));
        QCOMPARE(d->Label9->text(), QStringLiteral("Add"));

        // A location whose picture is missing shows no_images.jpg; its exact-case name only.
        choose(d->Combo1, "old mill");
        QCOMPARE(entries(d->Combo2), (QStringList{"3-3-2009 1:00 am-2", "New"}));
        QCOMPARE(d->Image2->file(), f.folder.file("no_images.jpg"));

        // A location without a picture name falls back as well.
        choose(d->Combo1, "Abbey");
        QCOMPARE(d->Image2->file(), f.folder.file("no_images.jpg"));
        QCOMPARE(entries(d->Combo2), QStringList{"New"});

        choose(d->Combo1, "Old Mill");
        choose(d->Combo2, "10-31-2008 11:30 pm-3");
        choose(d->Combo1, "New");
        QCOMPARE(d->Label6->text(), QStringLiteral("New"));
        QCOMPARE(entries(d->Combo2), QStringList{"New"});
        QCOMPARE(entries(d->Combo3), QStringList{"New"});
        QCOMPARE(entries(d->Combo4), QStringList{"Add"});
        QCOMPARE(d->Label7->text(), QStringLiteral("New"));
        QCOMPARE(d->Image2->file(), f.folder.file("No_Records.jpg"));
    }

    void buttonsSayWhatIsMissing() {
        Frame f;
        seed(f.folder);
        f.frame->unload("Form2");
        Frame::flush();
        Form2* d = static_cast<Form2*>(f.frame->show("Form2"));

        press(d->Label7);
        press(d->Label8);
        press(d->Label9);
        QCOMPARE(f.ui.texts(), (QStringList{"Please select a location", "Please select a location",
                                            "Please select a location"}));
        f.ui.clear();
        choose(d->Combo1, "Old Mill");
        press(d->Label8);
        press(d->Label9);
        QCOMPARE(f.ui.texts(), (QStringList{"Please select an Investigation", "Please select an investigation"}));
        for (const auto& m : f.ui.messages)
            QCOMPARE(m.title, QStringLiteral("Veilcase"));
        QVERIFY(!f.frame->loaded("Form4"));
        QVERIFY(!f.frame->loaded("Form9"));
        QVERIFY(!f.frame->loaded("Form10"));

        // The buttons act on typed text as well as on chosen entries.
        f.ui.clear();
        d->Combo2->setEditText(QStringLiteral("10-31-2008 11:30 pm-3"));
        press(d->Label9); // Pictures text "Add": Add Pictures
        QVERIFY(f.ui.messages.isEmpty());
        if (windowFactory("Form10"))
            QVERIFY(f.frame->loaded("Form10"));
    }

    // Keys are exact: typed text stays as typed and changes nothing else; Enter
    // chooses only an entry spelled alike.
    void typedTextIsNotCompleted_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("chosen"); // the location then shown, empty for none
        QTest::newRow("other case") << "OLD MILL" << "";
        QTest::newRow("exact") << "old mill" << "old mill";
    }
    void typedTextIsNotCompleted() {
        QFETCH(QString, typed);
        QFETCH(QString, chosen);
        Frame f;
        seed(f.folder);
        f.frame->unload("Form2");
        Frame::flush();
        Form2* d = static_cast<Form2*>(f.frame->show("Form2"));
        d->Combo1->setFocus();
        d->Combo1->lineEdit()->selectAll();
        QTest::keyClicks(d->Combo1->lineEdit(), typed);
        QTest::keyClick(d->Combo1->lineEdit(), Qt::Key_Return);
        QCOMPARE(d->Combo1->currentText(), typed);
        QCOMPARE(d->Label3->text(), chosen);
        QCOMPARE(d->Label6->text(), chosen.isEmpty() ? QStringLiteral("New") : QStringLiteral("View"));
    }

    // A refill that the database refuses leaves the lists and buttons as if
    // "New" had been chosen in that list, and says why.
    void failedRefillLeavesAConsistentDashboard_data() {
        QTest::addColumn<QString>("table"); // the table taken away before the choice
        QTest::addColumn<int>("depth");     // 1: choosing a location fails, 2: an investigation
        QTest::newRow("location") << "Investigations" << 1;
        QTest::newRow("investigation") << "Interview" << 2;
        QTest::newRow("pictures") << "Pictures" << 2;
    }
    void failedRefillLeavesAConsistentDashboard() {
        QFETCH(QString, table);
        QFETCH(int, depth);
        Frame f;
        seed(f.folder);
        f.frame->unload("Form2");
        Frame::flush();
        Form2* d = static_cast<Form2*>(f.frame->show("Form2"));
        choose(d->Combo1, "Old Mill");
        choose(d->Combo2, "10-31-2008 11:30 pm-3");
        choose(d->Combo3, "10-31-2008 11:45 pm-1");
        choose(d->Combo4, "Stairs");
        sqlite3_exec(Connection::open(f.folder.path())->handle(), qPrintable("ALTER TABLE " + table + " RENAME TO gone"),
                     nullptr, nullptr, nullptr);

        choose(depth == 1 ? d->Combo1 : d->Combo2, depth == 1 ? "Old Mill" : "10-31-2008 11:30 pm-3");
        QCOMPARE(f.ui.messages.size(), 1);
        QComboBox* lists[] = {d->Combo1, d->Combo2, d->Combo3, d->Combo4};
        ImageButton* buttons[] = {d->Label6, d->Label7, d->Label8, d->Label9};
        for (int i = 0; i < 4; ++i) {
            const QString word = i == 3 ? QStringLiteral("Add") : QStringLiteral("New");
            if (i < depth - 1) {
                QCOMPARE(buttons[i]->text(), QStringLiteral("View"));
                continue;
            }
            QCOMPARE(lists[i]->currentText() + buttons[i]->text(), word + word);
            if (i >= depth)
                QCOMPARE(entries(lists[i]), QStringList{word});
        }
        QCOMPARE(d->Label3->text(), depth == 1 ? QString() : QStringLiteral("Old Mill"));
    }

    void missingDatabaseIsReportedAndNotCreated() {
        ProgramFolder pf;
        QFile::remove(pf.databasePath());
        TestUi ui;
        registerAll();
        auto* frame = new MDIForm1(pf.path());
        frame->show();
        frame->loadFrame();
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.lastText().contains(QStringLiteral("Veilcase.mdb")));
        QVERIFY(ui.lastText().contains(QStringLiteral("does not exist")));
        QVERIFY(!frame->loaded("Form2"));
        QVERIFY(!QFile::exists(pf.databasePath()));
        // The frame keeps running; File > Main tries again.
        QFile::copy(pf.file("Clean_DB"), pf.databasePath());
        frame->findChild<QAction*>("Main")->trigger();
        QVERIFY(frame->loaded("Form2"));
        delete frame;
    }
};

QTEST_MAIN(DashboardTest)
#include "test_dashboard.moc"
