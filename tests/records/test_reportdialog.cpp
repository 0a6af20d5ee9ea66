#include "casetesting.h"
#include "reportcase.h"

#include "records/investigationwindow.h"
#include "records/locationwindow.h"
#include "records/reportdialog.h"

#include <QCheckBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using namespace veil;
using namespace veil::test;

namespace {
CaseWindow* openWindow(Frame& f, const QString& window, const QString& key) {
    if (window == "Form1") {
        f.dashboard()->Combo1->setEditText(key);
        f.dashboard()->Label6->click();
    } else {
        dashboardOn(f, {"Old Mill", key})->Label7->click();
    }
    return f.window<CaseWindow>(window);
}

ReportDialog* reportDialog(CaseWindow* w) {
    menu(w, "report");
    return w->findChild<ReportDialog*>("ReportDialog");
}
} // namespace

class ReportDialogTest : public QObject {
    Q_OBJECT
private slots:
    void reportFromTheFileMenu_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("html");
        QTest::addColumn<bool>("contacts");
        QTest::addColumn<QString>("answer"); // the file dialog's answer, empty for Cancel
        QTest::addColumn<QString>("written"); // the file written, empty for none
        QTest::addColumn<QString>("shown");   // a word it holds
        QTest::newRow("investigation as HTML") << "Form3" << true << false << "r.html" << "r.html"
                                               << "I heard steps in the attic.";
        QTest::newRow("investigation as PDF, with contacts, named without extension")
            << "Form3" << false << true << "r" << "r.pdf" << "555-0101";
        QTest::newRow("a typed .html wins over the choice") << "Form1" << false << false << "l.html" << "l.html"
                                                            << "snow storm";
        QTest::newRow("cancelled") << "Form3" << false << false << "" << "" << "";
    }
    void reportFromTheFileMenu() {
        QFETCH(QString, window);
        QFETCH(bool, html);
        QFETCH(bool, contacts);
        QFETCH(QString, answer);
        QFETCH(QString, written);
        QFETCH(QString, shown);
        Frame f;
        const ReportCase c = seedReportCase(f.folder);
        CaseWindow* w = openWindow(f, window, window == "Form1" ? "Old Mill" : c.night);
        ReportDialog* d = reportDialog(w);
        QVERIFY(d && d->isVisible());
        QVERIFY(!d->IncludeContacts->isChecked()); // reports travel
        (html ? d->HtmlFormat : d->PdfFormat)->setChecked(true);
        d->IncludeContacts->setChecked(contacts);
        f.ui.setNextSaveFileName(answer.isEmpty() ? answer : f.folder.file(answer));
        d->SaveButton->click();
        QCOMPARE(QDir(f.folder.path()).entryList({"*.html", "*.pdf"}, QDir::Files),
                 written.isEmpty() ? QStringList() : QStringList{written});
        if (written.isEmpty()) {
            QVERIFY(d->isVisible());
            return;
        }
        QTRY_VERIFY(!w->findChild<ReportDialog*>("ReportDialog"));
        const QString text = reportText(f.folder.file(written));
        QVERIFY2(text.contains(shown), qPrintable(text.left(400)));
        QCOMPARE(text.contains("555-0101"), contacts);
        QVERIFY(f.ui.messages.isEmpty());
    }

    void previewShowsThePages() {
        Frame f;
        const ReportCase c = seedReportCase(f.folder);
        ReportDialog* d = reportDialog(openWindow(f, "Form3", c.night));
        int pages = 0;
        QTimer::singleShot(0, [&] {
            auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            if (preview && preview->objectName() == "ReportPreview") {
                pages = preview->findChild<QPrintPreviewWidget*>()->pageCount();
                preview->reject();
            }
        });
        d->PreviewButton->click();
        QVERIFY(pages >= 2);
        QVERIFY(d->isVisible());
    }

    void unsavedRecordsHaveNoReport_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("message");
        QTest::newRow("location") << "Form1" << "Please save the location before making its report.";
        QTest::newRow("investigation") << "Form3" << "Please save the investigation before making its report.";
    }
    void unsavedRecordsHaveNoReport() {
        QFETCH(QString, window);
        QFETCH(QString, message);
        Frame f;
        seedReportCase(f.folder);
        QVERIFY(!reportDialog(openWindow(f, window, "New")));
        QCOMPARE(f.ui.texts(), QStringList{message});
    }
};

QTEST_MAIN(ReportDialogTest)
#include "test_reportdialog.moc"
