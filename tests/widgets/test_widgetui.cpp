#include "widgets/widgetui.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace veil;

class WidgetUiTest : public QObject {
    Q_OBJECT
private slots:
    // The offscreen platform has no desktop handler, like a system without xdg-utils.
    void aLinkNoProgramOpensIsReported() {
        QStringList shown;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown << box->text();
                box->accept();
            }
        });
        closer.start(10);
        WidgetUi ui;
        const QString mail = "mailto:a@example.org?subject=Add New";
        QVERIFY(!ui.openUrl(QUrl::fromLocalFile("/p/help/index.htm")) && !ui.openUrl(QUrl(mail, QUrl::TolerantMode)));
        QCOMPARE(shown.size(), 2);
        QVERIFY2(shown[0].startsWith("No program was found to open \"/p/help/index.htm\".") &&
                     shown[0].contains("xdg-utils") &&
                     shown[1].startsWith("No program was found to open \"" + mail + "\"."),
                 qPrintable(shown.join(" | ")));
    }
};

QTEST_MAIN(WidgetUiTest)
#include "test_widgetui.moc"
