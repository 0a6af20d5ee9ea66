#include "framefixture.h"

#include "form6.h"
#include "imagebutton.h"
#include "openemail.h"

#include <QAction>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTest>

using namespace veil;
using namespace veil::test;

namespace {

QAction* action(QObject* owner, const char* name) {
    for (QAction* a : owner->findChildren<QAction*>(QLatin1String(name)))
        if (!a->menu())
            return a;
    return nullptr;
}

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

} // namespace

class AboutTest : public QObject {
    Q_OBJECT
private slots:
    void composeEmailLink_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("link");
        QTest::newRow("address only") << "ann@example.org" << "" << "" << "mailto:ann@example.org";
        QTest::newRow("already a link") << "mailto:ann@example.org" << "" << "" << "mailto:ann@example.org";
        QTest::newRow("any letter case") << "MailTo:ann@example.org" << "" << "" << "MailTo:ann@example.org";
        QTest::newRow("colon missing") << "mailtoann@example.org" << "" << "" << "mailto:mailtoann@example.org";
        QTest::newRow("short address") << "ann" << "" << "" << "mailto:ann";
        QTest::newRow("empty address") << "" << "" << "" << "mailto:";
        QTest::newRow("subject, space unescaped")
            << "support@veilcase.example.org" << "Veilcase Support" << ""
            << "mailto:support@veilcase.example.org?subject=Veilcase Support";
        QTest::newRow("subject and body") << "ann@example.org" << "Hi" << "See you"
                                          << "mailto:ann@example.org?subject=Hi&body=See you";
        QTest::newRow("body only") << "ann@example.org" << "" << "Hello" << "mailto:ann@example.org?body=Hello";
        QTest::newRow("nothing escaped") << "a@b" << "x&y=z #1" << "50%" << "mailto:a@b?subject=x&y=z #1&body=50%";
    }
    void composeEmailLink() {
        QFETCH(QString, address);
        QFETCH(QString, subject);
        QFETCH(QString, body);
        QFETCH(QString, link);
        QCOMPARE(veil::composeEmailLink(address, subject, body), link);
        TestUi ui;
        OpenEmail(address, subject, body);
        QCOMPARE(ui.urls.size(), 1);
        QCOMPARE(ui.urls[0], QUrl(link, QUrl::TolerantMode));
    }

    void opensFromEveryAboutMenu() {
        Frame f;
        QAction* frameAbout = action(f.frame->menuBar(), "about");
        QVERIFY(frameAbout);
        frameAbout->trigger();
        auto* about = f.window<Form6>(QStringLiteral("Form6"));
        QVERIFY(about);
        QCOMPARE(about->caption(), QStringLiteral("About Veilcase"));
        QVERIFY(about->isVisible());
        QCOMPARE(about->subWindow()->y(), 0); // centred across, at the top

        // A second About brings the same window forward.
        QAction* dashAbout = action(f.dashboard(), "about");
        QVERIFY(dashAbout);
        dashAbout->trigger();
        QCOMPARE(f.window<Form6>(QStringLiteral("Form6")), about);

        // Ok closes only the About window.
        const QStringList before = f.frame->loadedNames();
        click(about->Label7);
        Frame::flush();
        QVERIFY(!f.frame->loaded(QStringLiteral("Form6")));
        QStringList expected = before;
        expected.removeAll(QStringLiteral("Form6"));
        QCOMPARE(f.frame->loadedNames(), expected);
        QVERIFY(f.dashboard()->isVisible());

        dashAbout->trigger();
        QVERIFY(f.window<Form6>(QStringLiteral("Form6")));
    }

    void linksGoToTheDesktop() {
        Frame f;
        f.frame->open_about();
        auto* about = f.window<Form6>(QStringLiteral("Form6"));
        QVERIFY(about);
        QCOMPARE(about->Label6->text(), QStringLiteral("Veilcase version 1.0"));
        QCOMPARE(about->Label9->text(), QStringLiteral("For more information check out the webiste at:"));
        QCOMPARE(about->Label10->text(), QStringLiteral("Please direct all comments, questions, ideas"));
        QCOMPARE(about->Label11->text(), QStringLiteral("and bugs to:"));
        QCOMPARE(about->Label7->text(), QStringLiteral("Ok"));
        QVERIFY(!about->Image1->pixmap().isNull());
        for (QLabel* l : {about->Label2, about->Label3, about->Label5}) {
            QCOMPARE(l->palette().color(QPalette::WindowText), QColor(0, 0, 192));
            QVERIFY(!l->text().isEmpty());
        }
        QCOMPARE(about->Label3->text(), Form6::support);

        click(about->Label2);
        click(about->Label5);
        click(about->Label3);
        QCOMPARE(f.ui.urls.size(), 3);
        QCOMPARE(f.ui.urls[0], QUrl(Form6::webSite));
        QCOMPARE(f.ui.urls[1], QUrl(Form6::donations));
        QCOMPARE(f.ui.urls[2].toString(),
                 QStringLiteral("mailto:") + Form6::support + QStringLiteral("?subject=Veilcase Support"));
        // Plain labels do nothing.
        click(about->Label4);
        QCOMPARE(f.ui.urls.size(), 3);
    }

    void guideGoesToTheDesktop() {
        Frame f;
        QAction* guide = action(f.frame->menuBar(), "guide");
        QVERIFY(guide);
        guide->trigger();
        action(f.dashboard(), "guide")->trigger();
        const QUrl expected = QUrl::fromLocalFile(f.folder.file(QStringLiteral("help/index.htm")));
        QCOMPARE(f.ui.urls, (QList<QUrl>{expected, expected}));
        QVERIFY(QFile::exists(expected.toLocalFile()));
    }
};

QTEST_MAIN(AboutTest)
#include "test_about.moc"
