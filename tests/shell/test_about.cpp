#include "framefixture.h"

#include "shell/aboutwindow.h"
#include "widgets/imagebutton.h"
#include "widgets/openemail.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QLabel>
#include <QMenuBar>
#include <QTest>

using namespace veil;
using namespace veil::test;

namespace {
void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }
} // namespace

// The Help menu: the user guide, which works offline (every page and picture
// it names is there, nothing comes from the network), and the About window.
class AboutTest : public QObject {
    Q_OBJECT
private slots:
    void linksAndPicturesExist() {
        const QDir help(QStringLiteral(VEIL_SOURCE_DIR) + QStringLiteral("/data/help"));
        const QStringList pages = help.entryList({QStringLiteral("*.htm")}, QDir::Files);
        QVERIFY(pages.contains(QStringLiteral("index.htm")));
        QVERIFY(pages.size() >= 8);
        static const QRegularExpression ref(QStringLiteral("(?:href|src)=\"([^\"]*)\""));
        QSet<QString> linkedPages{QStringLiteral("index.htm")};
        int pictures = 0;
        for (const QString& page : pages) {
            QFile f(help.filePath(page));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString html = QString::fromUtf8(f.readAll());
            QVERIFY2(!html.contains(QStringLiteral("http://")) && !html.contains(QStringLiteral("https://")),
                     qPrintable(page));
            for (auto it = ref.globalMatch(html); it.hasNext();) {
                const QString target = it.next().captured(1).section(QLatin1Char('#'), 0, 0);
                if (target.isEmpty())
                    continue;
                QVERIFY2(!target.contains(QLatin1Char(':')), qPrintable(page + ": " + target));
                QVERIFY2(QFileInfo::exists(help.filePath(target)), qPrintable(page + " names missing " + target));
                if (target.endsWith(QLatin1String(".htm")))
                    linkedPages << target;
                if (target.endsWith(QLatin1String(".png")))
                    ++pictures;
            }
        }
        QCOMPARE(linkedPages.size(), pages.size()); // no page is out of reach
        QVERIFY(pictures >= 10);
    }

    void helpMenusOpenTheInstalledGuide() {
        Frame f;
        f.frame->menuBar()->findChild<QAction*>(QStringLiteral("guide"))->trigger();
        f.dashboard()->findChild<QAction*>(QStringLiteral("guide"))->trigger();
        const QString path = f.folder.file(QStringLiteral("help/index.htm"));
        QCOMPARE(f.ui.urls, (QList<QUrl>(2, QUrl::fromLocalFile(path))));
        QVERIFY(QFileInfo::exists(path));
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
