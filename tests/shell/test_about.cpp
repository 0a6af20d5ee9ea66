#include "framefixture.h"

#include "shell/aboutwindow.h"
#include "widgets/imagebutton.h"
#include "widgets/openemail.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QTest>

using namespace veil;
using namespace veil::test;

namespace {
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
        f.frame->menuBar()->findChild<QAction*>("about")->trigger();
        auto* about = f.window<Form6>(QStringLiteral("Form6"));
        QVERIFY(about && about->isVisible());
        click(about->Label2);
        click(about->Label5);
        click(about->Label3);
        click(about->Label4); // a plain label does nothing
        QCOMPARE(f.ui.urls, (QList<QUrl>{QUrl(Form6::webSite), QUrl(Form6::donations),
                                         QUrl("mailto:" + Form6::support + "?subject=Veilcase Support")}));

        // Ok closes the About window and nothing else; the dashboard's About opens it again.
        QStringList others = f.frame->loadedNames();
        others.removeAll(QStringLiteral("Form6"));
        click(about->Label7);
        Frame::flush();
        QCOMPARE(f.frame->loadedNames(), others);
        QVERIFY(f.dashboard()->isVisible());
        f.dashboard()->findChild<QAction*>("about")->trigger();
        QVERIFY(f.window<Form6>(QStringLiteral("Form6")));
    }
};

QTEST_MAIN(AboutTest)
#include "test_about.moc"
