#include "filebytes.h"
#include "framefixture.h"

#include "shell/splashwindow.h"
#include "shell/windowregistry.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMdiSubWindow>
#include <QTest>
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
} // namespace

class StartupTest : public QObject {
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
        QCOMPARE(splash->counter(), qint16(1));
        QVERIFY(splash->timer()->isActive());
        for (int i = 0; i < 3; ++i)
            splash->tick();
        // A click on the picture does not cut the four ticks short.
        QTest::mouseClick(splash->findChild<QLabel*>("Image1"), Qt::LeftButton);
        QTest::mouseClick(splash, Qt::LeftButton);
        QVERIFY(!splash->frame());
        QVERIFY(splash->isVisible());
        splash->tick(); // the fourth
        QPointer<MDIForm1> frame = splash->frame();
        QVERIFY(frame && !splash->timer()->isActive());
        Frame::flush();
        QVERIFY(!splash); // unloaded, not hidden
        QCOMPARE(frame->loadedNames(), QStringList{"Form2"});
        QCOMPARE(visibleTopLevels(), QList<QWidget*>{frame.data()});
        delete frame;
    }

    void mainDoesNotMakeASecondDashboard() {
        Frame f;
        Form2* first = f.dashboard();
        QAction* main = f.frame->findChild<QAction*>(QStringLiteral("Main"));
        main->trigger();
        main->trigger();
        QCOMPARE(f.dashboard(), first);
        QCOMPARE(f.frame->area()->subWindowList().size(), 1);

        // Closed by its own close control, it comes back fresh through Main.
        first->subWindow()->close();
        Frame::flush();
        QVERIFY(!f.frame->loaded("Form2"));
        main->trigger();
        QVERIFY(f.dashboard());
        QCOMPARE(f.frame->area()->subWindowList().size(), 1);
    }

    void exitClosesEverythingWithoutAQuestion() {
        Frame f;
        QPointer<MDIForm1> frame = f.frame;
        f.frame->show(QStringLiteral("TestEditor"));
        f.frame->show(QStringLiteral("Form6"));
        Editor::unloads = 0;
        f.frame->findChild<QAction*>(QStringLiteral("exit"))->trigger();
        Frame::flush();
        QVERIFY(!frame && Editor::unloads == 1 && visibleTopLevels().isEmpty());
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
        QTest::newRow("design sizes") << 24000.0 << 7290.0 << 8355;
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
};

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
