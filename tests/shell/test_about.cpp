#include "framefixture.h"

#include "shell/aboutwindow.h"
#include "widgets/imagebutton.h"
#include "widgets/openemail.h"

#include <QAction>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTest>

using namespace veil;
using namespace veil::test;

namespace {
QAction* item(QObject* owner, const char* name) {
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
    void emailLinks() {
        const char* const cases[][4] = {
            {"ann@example.org", "", "", "mailto:ann@example.org"},
            {"mailto:ann@example.org", "", "", "mailto:ann@example.org"},
            {"MailTo:ann@example.org", "", "", "MailTo:ann@example.org"},
            {"mailtoann@example.org", "", "", "mailto:mailtoann@example.org"},
            {"ann", "", "", "mailto:ann"},
            {"a@b", "Veilcase Support", "", "mailto:a@b?subject=Veilcase Support"},
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

    void aboutWindow() {
        Frame f;
        item(f.frame->menuBar(), "about")->trigger();
        auto* about = f.window<Form6>(QStringLiteral("Form6"));
        QVERIFY(about && about->isVisible());
        QCOMPARE(about->caption(), QStringLiteral("About Veilcase"));
        QCOMPARE(about->subWindow()->y(), 0);
        QCOMPARE(about->Label9->text(), QStringLiteral("For more information check out the webiste at:"));
        for (QLabel* l : {about->Label2, about->Label3, about->Label5})
            QCOMPARE(l->palette().color(QPalette::WindowText), QColor(0, 0, 192));

        click(about->Label2);
        click(about->Label5);
        click(about->Label3);
        click(about->Label4); // a plain label does nothing
        QCOMPARE(f.ui.urls.size(), 3);
        QCOMPARE(f.ui.urls[0], QUrl(Form6::webSite));
        QCOMPARE(f.ui.urls[1], QUrl(Form6::donations));
        QCOMPARE(f.ui.urls[2].toString(), QStringLiteral("mailto:%1?subject=Veilcase Support").arg(Form6::support));

        // Ok closes the About window and nothing else; the dashboard's About opens it again.
        QStringList others = f.frame->loadedNames();
        others.removeAll(QStringLiteral("Form6"));
        click(about->Label7);
        Frame::flush();
        QCOMPARE(f.frame->loadedNames(), others);
        QVERIFY(f.dashboard()->isVisible());
        item(f.dashboard(), "about")->trigger();
        QVERIFY(f.window<Form6>(QStringLiteral("Form6")));
    }

    void userGuide() {
        Frame f;
        item(f.frame->menuBar(), "guide")->trigger();
        item(f.dashboard(), "guide")->trigger();
        const QUrl guide = QUrl::fromLocalFile(f.folder.file(QStringLiteral("help/index.htm")));
        QCOMPARE(f.ui.urls, (QList<QUrl>{guide, guide}));
    }
};

QTEST_MAIN(AboutTest)
#include "test_about.moc"
