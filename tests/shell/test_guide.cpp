#include "framefixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTest>

using namespace veil;
using namespace veil::test;

// The user guide works offline: every page and picture it names is there, and
// nothing comes from the network.
class GuideTest : public QObject {
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
};

QTEST_MAIN(GuideTest)
#include "test_guide.moc"
