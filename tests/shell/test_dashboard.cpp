#include "framefixture.h"

#include "widgets/imagebutton.h"
#include "widgets/picturebox.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>

#include <sqlite3.h>

using namespace veil;
using namespace veil::test;

namespace {
// What the four buttons say, Locations to Pictures.
QString buttons(Form2* d) {
    return QStringList{d->Label6->text(), d->Label7->text(), d->Label8->text(), d->Label9->text()}.join(u' ');
}

// Two places whose names differ only in case, with investigations, interviews and pictures.
void seed(Frame& f) {
    auto db = Connection::open(f.folder.path());
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
    writePicture(f.folder.file("locations/Old Mill.jpg"), "JPG", 40, 30, 0xff884422);
}
} // namespace

class DashboardTest : public QObject {
    Q_OBJECT
private slots:
    void choosingNarrowsTheListsBelow() {
        Frame f(seed);
        Form2* d = f.dashboard();
        // Locations and investigations sort without regard to case; "New" sorts with them.
        QCOMPARE(entries(d->Combo1), (QStringList{"Abbey", "New", "Old Mill", "old mill"}));
        QCOMPARE(d->Combo1->currentText(), QStringLiteral("New"));

        choose(d->Combo1, "Old Mill");
        QCOMPARE(d->Label3->text(), QStringLiteral("Old Mill"));
        QCOMPARE(entries(d->Combo2), (QStringList{"10-31-2008 11:30 pm-3", "2-1-2009 9:5 pm-1", "New"}));
        QCOMPARE(d->Combo2->currentText(), QStringLiteral("New"));
        QCOMPARE(d->Image2->file(), f.folder.file("locations/Old Mill.jpg"));
        QCOMPARE(buttons(d), QStringLiteral("View New New Add"));

        choose(d->Combo2, "10-31-2008 11:30 pm-3");
        // Interviews and pictures keep stored order; another location's interview is not listed.
        QCOMPARE(entries(d->Combo3), (QStringList{"New", "11-1-2008 1:00 am-2", "10-31-2008 11:45 pm-1"}));
        QCOMPARE(entries(d->Combo4), (QStringList{"Add", "Stairs", "Cellar door"}));
        QCOMPARE(d->Combo3->currentText() + d->Combo4->currentText(), QStringLiteral("NewAdd"));
        QCOMPARE(buttons(d), QStringLiteral("View View New Add"));
        choose(d->Combo3, "10-31-2008 11:45 pm-1");
        choose(d->Combo4, "Stairs");
        QCOMPARE(buttons(d), QStringLiteral("View View View View"));
        choose(d->Combo4, "Add");
        QCOMPARE(buttons(d), QStringLiteral("View View View Add"));

        choose(d->Combo2, "New");
        QCOMPARE(buttons(d), QStringLiteral("View New New Add"));
        QCOMPARE(entries(d->Combo3) + entries(d->Combo4), (QStringList{"New", "Add"}));

        // A location whose picture is missing, or has none, shows no_images.jpg; its exact-case name only.
        choose(d->Combo1, "old mill");
        QCOMPARE(entries(d->Combo2), (QStringList{"3-3-2009 1:00 am-2", "New"}));
        QCOMPARE(d->Image2->file(), f.folder.file("no_images.jpg"));
        choose(d->Combo1, "Abbey");
        QCOMPARE(d->Image2->file(), f.folder.file("no_images.jpg"));
        QCOMPARE(entries(d->Combo2), QStringList{"New"});

        choose(d->Combo1, "Old Mill");
        choose(d->Combo2, "10-31-2008 11:30 pm-3");
        choose(d->Combo1, "New");
        QCOMPARE(buttons(d), QStringLiteral("New New New Add"));
        QCOMPARE(entries(d->Combo2) + entries(d->Combo3) + entries(d->Combo4), (QStringList{"New", "New", "Add"}));
        QCOMPARE(d->Image2->file(), f.folder.file("No_Records.jpg"));
    }

    void buttonsSayWhatIsMissing() {
        Frame f(seed);
        Form2* d = f.dashboard();
        // Held down, a button shows it; released, it acts.
        QTest::mousePress(d->Label7, Qt::LeftButton);
        QVERIFY(d->Label7->isPressed());
        QCOMPARE(d->Label7->palette().color(QPalette::WindowText), QColor(Qt::white));
        QTest::mouseRelease(d->Label7, Qt::LeftButton);
        QVERIFY(!d->Label7->isPressed());
        d->Label8->click();
        d->Label9->click();
        choose(d->Combo1, "Old Mill");
        d->Label8->click();
        d->Label9->click();
        QCOMPARE(f.ui.texts(), (QStringList{"Please select a location", "Please select a location",
                                            "Please select a location", "Please select an Investigation",
                                            "Please select an investigation"}));
        for (const auto& m : f.ui.messages)
            QCOMPARE(m.title, QStringLiteral("Veilcase"));
        QCOMPARE(f.frame->loadedNames(), QStringList{"Form2"});

        // The buttons act on typed text as well as on chosen entries.
        f.ui.clear();
        d->Combo2->setEditText(QStringLiteral("10-31-2008 11:30 pm-3"));
        d->Label9->click(); // Pictures text "Add": Add Pictures
        QVERIFY(f.ui.messages.isEmpty() && f.frame->loaded("Form10"));
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
        Frame f(seed);
        Form2* d = f.dashboard();
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
        QTest::addColumn<int>("list");      // the list chosen again: 1 Locations, 2 Investigations
        QTest::addColumn<QString>("says");  // the four buttons then
        QTest::addColumn<QString>("shown"); // the location named above the lists
        QTest::newRow("location") << "Investigations" << 1 << "New New New Add" << "";
        QTest::newRow("investigation") << "Interview" << 2 << "View New New Add" << "Old Mill";
        QTest::newRow("pictures") << "Pictures" << 2 << "View New New Add" << "Old Mill";
    }
    void failedRefillLeavesAConsistentDashboard() {
        QFETCH(QString, table);
        QFETCH(int, list);
        QFETCH(QString, says);
        QFETCH(QString, shown);
        Frame f(seed);
        Form2* d = f.dashboard();
        choose(d->Combo1, "Old Mill");
        choose(d->Combo2, "10-31-2008 11:30 pm-3");
        choose(d->Combo3, "10-31-2008 11:45 pm-1");
        choose(d->Combo4, "Stairs");
        sqlite3_exec(Connection::open(f.folder.path())->handle(), qPrintable("ALTER TABLE " + table + " RENAME TO gone"),
                     nullptr, nullptr, nullptr);

        choose(list == 1 ? d->Combo1 : d->Combo2, list == 1 ? "Old Mill" : "10-31-2008 11:30 pm-3");
        QCOMPARE(f.ui.messages.size(), 1);
        QCOMPARE(buttons(d), says);
        QCOMPARE(d->Label3->text(), shown);
        // The chosen list shows its mode word; the lists below hold nothing else.
        QComboBox* lists[] = {d->Combo1, d->Combo2, d->Combo3, d->Combo4};
        for (int i = list - 1; i < 4; ++i) {
            const QString word = i == 3 ? QStringLiteral("Add") : QStringLiteral("New");
            QCOMPARE(lists[i]->currentText(), word);
            if (i >= list)
                QCOMPARE(entries(lists[i]), QStringList{word});
        }
    }

    void missingDatabaseIsReportedAndNotCreated() {
        Frame f([](Frame& f) { QVERIFY(QFile::remove(f.folder.databasePath())); });
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(f.ui.lastText().contains(QStringLiteral("Veilcase.mdb")));
        QVERIFY(f.ui.lastText().contains(QStringLiteral("does not exist")));
        QVERIFY(!f.dashboard());
        QVERIFY(!QFile::exists(f.folder.databasePath()));
        // The frame keeps running; File > Main tries again.
        QFile::copy(f.folder.file("Clean_DB"), f.folder.databasePath());
        menu(f.frame, "Main");
        QVERIFY(f.dashboard());
    }
};

QTEST_MAIN(DashboardTest)
#include "test_dashboard.moc"
