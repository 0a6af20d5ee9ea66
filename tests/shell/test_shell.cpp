#include "filebytes.h"
#include "framefixture.h"

#include "shell/aboutwindow.h"
#include "shell/splashwindow.h"
#include "shell/windowregistry.h"
#include "widgets/imagebutton.h"
#include "widgets/openemail.h"
#include "widgets/picturebox.h"

#include <QMdiArea>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTimer>

using namespace veil;
using namespace veil::test;

namespace {
// An editor that, like the real ones, brings the dashboard back when it goes.
class Editor : public CaseWindow {
public:
    explicit Editor(MDIForm1& f) : CaseWindow(f, QStringLiteral("TestEditor")) {}
    void load() override { openDatabase(); }
    void unloaded() override {
        ++unloads;
        showDashboardAgain();
    }
    static inline int unloads = 0;
};

QList<QWidget*> visibleTopLevels() {
    QList<QWidget*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && !qobject_cast<QMenu*>(w))
            out << w;
    return out;
}

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

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

// The frame from the splash to Exit, its dashboard, and the Help menu.
class ShellTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        registerAll();
        registerWindow(QStringLiteral("TestEditor"), [](MDIForm1& f) { return new Editor(f); });
    }

    void frameOpensOnTheFourthTick() {
        ProgramFolder pf;
        TestUi ui;
        QPointer<Form8> splash = new Form8(pf.path());
        splash->load();
        QVERIFY(splash->timer()->isActive());
        for (int i = 0; i < 3; ++i)
            splash->tick();
        // A click on the picture does not cut the four ticks short.
        QTest::mouseClick(splash->findChild<QLabel*>("Image1"), Qt::LeftButton);
        QTest::mouseClick(splash, Qt::LeftButton);
        QVERIFY(!splash->frame() && splash->isVisible());
        splash->tick(); // the fourth
        QPointer<MDIForm1> frame = splash->frame();
        QVERIFY(frame && !splash->timer()->isActive());
        Frame::flush();
        QVERIFY(!splash); // unloaded, not hidden
        QCOMPARE(frame->loadedNames(), QStringList{"Form2"});
        QCOMPARE(visibleTopLevels(), QList<QWidget*>{frame.data()});
        delete frame;
    }

    // The frame's menus. File > Main: after a missing database was reported (and not made), once it is
    // back; never a second dashboard, a fresh one once it was closed. Help opens the installed guide from
    // the frame and the dashboard; About's links go to their addresses (a plain label does nothing), and
    // its Ok closes it and nothing else. Exit then closes everything without a question.
    void frameMenus() {
        Frame f([](Frame& f) { QVERIFY(QFile::remove(f.folder.databasePath())); });
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(f.ui.lastText().contains(QStringLiteral("Veilcase.mdb")));
        QVERIFY(f.ui.lastText().contains(QStringLiteral("does not exist")));
        QVERIFY(!f.dashboard());
        QVERIFY(!QFile::exists(f.folder.databasePath()));
        QFile::copy(f.folder.file("Clean_DB"), f.folder.databasePath());
        QAction* main = f.frame->findChild<QAction*>(QStringLiteral("Main"));
        main->trigger();
        Form2* first = f.dashboard();
        QVERIFY(first);
        main->trigger();
        QCOMPARE(f.dashboard(), first);
        QCOMPARE(f.frame->area()->subWindowList().size(), 1);
        first->subWindow()->close(); // by its own close control
        Frame::flush();
        QVERIFY(!f.frame->loaded("Form2"));
        main->trigger();
        QVERIFY(f.dashboard());
        QCOMPARE(f.frame->area()->subWindowList().size(), 1);

        f.ui.clear();
        f.frame->menuBar()->findChild<QAction*>(QStringLiteral("guide"))->trigger();
        f.dashboard()->findChild<QAction*>(QStringLiteral("guide"))->trigger();
        const QUrl guide = QUrl::fromLocalFile(f.folder.file(QStringLiteral("help/index.htm")));
        QVERIFY(QFileInfo::exists(guide.toLocalFile()));
        f.frame->menuBar()->findChild<QAction*>("about")->trigger();
        auto* about = f.window<Form6>(QStringLiteral("Form6"));
        QVERIFY(about && about->isVisible());
        for (QWidget* label : {about->Label2, about->Label5, about->Label3, about->Label4})
            click(label);
        QCOMPARE(f.ui.urls, (QList<QUrl>{guide, guide, QUrl(Form6::webSite), QUrl(Form6::donations),
                                         QUrl("mailto:" + Form6::support + "?subject=Veilcase Support")}));
        f.frame->show(QStringLiteral("TestEditor"));
        QStringList others = f.frame->loadedNames();
        others.removeAll(QStringLiteral("Form6"));
        click(about->Label7);
        Frame::flush();
        QCOMPARE(f.frame->loadedNames(), others);
        QVERIFY(f.dashboard()->isVisible());
        f.dashboard()->findChild<QAction*>("about")->trigger();
        QVERIFY(f.window<Form6>(QStringLiteral("Form6")));

        Editor::unloads = 0;
        f.frame->findChild<QAction*>(QStringLiteral("exit"))->trigger();
        Frame::flush();
        QVERIFY(!f.frame && Editor::unloads == 1 && visibleTopLevels().isEmpty());
        QVERIFY(f.ui.questions.isEmpty() && f.ui.messages.isEmpty());
    }

    // Start-up with the older Windows version's case file in the program folder.
    void startUpOffersTheImport_data() {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("told");
        QTest::newRow("yes") << true << "3 locations, 4 investigations, 3 interviews";
        QTest::newRow("no") << false << "must be imported first";
    }
    void startUpOffersTheImport() {
        QFETCH(bool, yes);
        QFETCH(QString, told);
        const QByteArray jet = fileBytes(sharedTestData() + "/jet/case_jet4.mdb");
        Frame f([&](Frame& f) {
            QVERIFY(writeFileBytes(f.folder.databasePath(), jet));
            f.ui.setNextAnswer(yes);
        });
        const QString kept = f.folder.file(QStringLiteral("Veilcase (Windows version).mdb"));
        QCOMPARE(f.ui.questions.size(), 1);
        QVERIFY(f.ui.questions[0].text.contains(QLatin1String("\"Veilcase (Windows version).mdb\"")));
        QVERIFY2(f.ui.lastText().contains(told) && (!yes || f.ui.lastText().contains(kept)),
                 qPrintable(f.ui.lastText()));
        // Declined, the file stays where it was and no dashboard opens on it.
        QCOMPARE(fileBytes(yes ? kept : f.folder.databasePath()), jet);
        QCOMPARE(QFile::exists(kept), yes);
        QCOMPARE(bool(f.dashboard()), yes);
        for (const char* name : {"Old Mill", "old mill"})
            QVERIFY(!yes || f.dashboard()->Combo1->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0);
    }

    void centreFollowsTheRoundingRule_data() {
        QTest::addColumn<double>("screen");
        QTest::addColumn<double>("window");
        QTest::addColumn<int>("left");
        QTest::newRow("odd difference truncates") << 1001.0 << 0.0 << 500;
        QTest::newRow("half rounds down to even") << 100.5 << 0.0 << 50;
        QTest::newRow("half rounds up to even") << 101.5 << 0.0 << 51;
        QTest::newRow("then halves toward zero") << 7.5 << 0.0 << 4;
        QTest::newRow("wider than the screen") << 1000.0 << 1101.0 << -50;
    }
    void centreFollowsTheRoundingRule() {
        QFETCH(double, screen);
        QFETCH(double, window);
        QFETCH(int, left);
        QCOMPARE(centerLeftTwips(screen, window), left);
    }

    // Each choice narrows the lists below it and the buttons say View or the list's mode word.
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

        // A location whose picture is missing shows no_images.jpg; its exact-case name only.
        choose(d->Combo1, "old mill");
        QCOMPARE(entries(d->Combo2), (QStringList{"3-3-2009 1:00 am-2", "New"}));
        QCOMPARE(d->Image2->file(), f.folder.file("no_images.jpg"));
        choose(d->Combo1, "Abbey"); // with none, none of the last location's investigations stay
        QCOMPARE(entries(d->Combo2), QStringList{"New"});

        choose(d->Combo1, "Old Mill");
        choose(d->Combo2, "10-31-2008 11:30 pm-3");
        choose(d->Combo1, "New");
        QCOMPARE(buttons(d), QStringLiteral("New New New Add"));
        QCOMPARE(entries(d->Combo2) + entries(d->Combo3) + entries(d->Combo4), (QStringList{"New", "New", "Add"}));
        QCOMPARE(d->Image2->file(), f.folder.file("No_Records.jpg"));

        // The buttons say what is missing before they act, and act on typed text as on chosen entries.
        // Keys are exact: typed text stays as typed, and Enter chooses only an entry spelled alike.
        // Held down, a button shows it; released, it acts.
        QTest::mousePress(d->Label7, Qt::LeftButton);
        QCOMPARE(d->Label7->palette().color(QPalette::WindowText), QColor(Qt::white));
        QTest::mouseRelease(d->Label7, Qt::LeftButton);
        QVERIFY(!d->Label7->isPressed());
        d->Label8->click();
        d->Label9->click();
        for (const QString typed : {"OLD MILL", "old mill"}) {
            d->Combo1->setFocus();
            d->Combo1->lineEdit()->selectAll();
            QTest::keyClicks(d->Combo1->lineEdit(), typed);
            QTest::keyClick(d->Combo1->lineEdit(), Qt::Key_Return);
            QCOMPARE(d->Combo1->currentText(), typed);
            QCOMPARE(d->Label6->text(), typed == "old mill" ? QStringLiteral("View") : QStringLiteral("New"));
        }
        QCOMPARE(d->Label3->text(), QStringLiteral("old mill"));
        d->Label8->click();
        d->Label9->click();
        QCOMPARE(f.ui.texts(), (QStringList{"Please select a location", "Please select a location",
                                            "Please select a location", "Please select an Investigation",
                                            "Please select an investigation"}));
        QCOMPARE(f.frame->loadedNames(), QStringList{"Form2"});

        f.ui.clear();
        d->Combo2->setEditText(QStringLiteral("3-3-2009 1:00 am-2"));
        d->Label9->click(); // Pictures text "Add": Add Pictures
        QVERIFY(f.ui.messages.isEmpty() && f.frame->loaded("Form10"));
    }

    // A refill that the database refuses leaves the lists and buttons as if
    // "New" had been chosen in that list, and says why.
    void failedRefillLeavesAConsistentDashboard_data() {
        QTest::addColumn<QString>("table"); // the table taken away before the choice
        QTest::addColumn<int>("list");      // the list chosen again: 1 Locations, 2 Investigations
        QTest::newRow("location") << "Investigations" << 1;
        QTest::newRow("investigation") << "Interview" << 2;
        QTest::newRow("pictures") << "Pictures" << 2;
    }
    void failedRefillLeavesAConsistentDashboard() {
        QFETCH(QString, table);
        QFETCH(int, list);
        Frame f(seed);
        Form2* d = f.dashboard();
        QComboBox* lists[] = {d->Combo1, d->Combo2, d->Combo3, d->Combo4};
        const char* chosen[] = {"Old Mill", "10-31-2008 11:30 pm-3", "10-31-2008 11:45 pm-1", "Stairs"};
        for (int i = 0; i < 4; ++i)
            choose(lists[i], chosen[i]);
        QCOMPARE(runSql(f.folder.databasePath(), "ALTER TABLE " + table + " RENAME TO gone"), QString());

        choose(lists[list - 1], chosen[list - 1]);
        QCOMPARE(f.ui.messages.size(), 1);
        QCOMPARE(buttons(d), list == 1 ? QStringLiteral("New New New Add") : QStringLiteral("View New New Add"));
        QCOMPARE(d->Label3->text(), list == 1 ? QString() : QStringLiteral("Old Mill"));
        // The chosen list shows its mode word; the lists below hold nothing else.
        for (int i = list - 1; i < 4; ++i) {
            const QString word = i == 3 ? QStringLiteral("Add") : QStringLiteral("New");
            QCOMPARE(lists[i]->currentText(), word);
            if (i >= list)
                QCOMPARE(entries(lists[i]), QStringList{word});
        }
    }

    // The user guide works offline: every page and picture it names is there, nothing comes from the
    // network, and every page can be reached from the first.
    void helpLinksAndPicturesExist() {
        const QDir help(QStringLiteral(VEIL_SOURCE_DIR) + QStringLiteral("/data/help"));
        const QStringList pages = help.entryList({QStringLiteral("*.htm")}, QDir::Files);
        QVERIFY(pages.contains(QStringLiteral("index.htm")));
        static const QRegularExpression ref(QStringLiteral("(?:href|src)=\"([^\"]*)\""));
        QSet<QString> linkedPages{QStringLiteral("index.htm")};
        for (const QString& page : pages) {
            const QString html = QString::fromUtf8(fileBytes(help.filePath(page)));
            QVERIFY2(!html.isEmpty() && !html.contains(QStringLiteral("http://")) &&
                         !html.contains(QStringLiteral("https://")),
                     qPrintable(page));
            for (auto it = ref.globalMatch(html); it.hasNext();) {
                const QString target = it.next().captured(1).section(QLatin1Char('#'), 0, 0);
                if (target.isEmpty())
                    continue;
                QVERIFY2(!target.contains(QLatin1Char(':')), qPrintable(page + ": " + target));
                QVERIFY2(QFileInfo::exists(help.filePath(target)), qPrintable(page + " names missing " + target));
                if (target.endsWith(QLatin1String(".htm")))
                    linkedPages << target;
            }
        }
        QCOMPARE(linkedPages.size(), pages.size());
    }

    void emailLinks() {
        const char* const cases[][4] = {
            {"ann@example.org", "", "", "mailto:ann@example.org"},
            {"mailto:ann@example.org", "", "", "mailto:ann@example.org"},
            {"MailTo:ann@example.org", "", "", "MailTo:ann@example.org"},
            {"mailtoann@example.org", "", "", "mailto:mailtoann@example.org"},
            {"ann", "", "", "mailto:ann"},
            {"a@b", "Hi", "See you", "mailto:a@b?subject=Hi&body=See you"},
            {"a@b", "", "Hello", "mailto:a@b?body=Hello"},
            {"a@b", "x&y=z #1", "50%", "mailto:a@b?subject=x&y=z #1&body=50%"}, // nothing escaped
        };
        TestUi ui;
        for (const auto& c : cases) {
            const QString link = QString::fromUtf8(c[3]);
            QCOMPARE(composeEmailLink(QString::fromUtf8(c[0]), QString::fromUtf8(c[1]), QString::fromUtf8(c[2])), link);
            OpenEmail(QString::fromUtf8(c[0]), QString::fromUtf8(c[1]), QString::fromUtf8(c[2]));
            QCOMPARE(ui.urls.last(), QUrl(link, QUrl::TolerantMode));
        }
    }
};

QTEST_MAIN(ShellTest)
#include "test_shell.moc"
