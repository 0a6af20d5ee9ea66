#include "widgets/printwindow.h"

#include "store/ui.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

namespace veil {

namespace {
QString g_testTarget;

bool render(QWidget* window, QPrinter& printer) {
    const QPixmap shot = window->grab();
    QPainter p;
    if (!p.begin(&printer))
        return false;
    // Fit the window's image to the page, keeping its shape.
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QSize size = shot.size().scaled(page.size(), Qt::KeepAspectRatio);
    p.drawPixmap(QRect(QPoint(0, 0), size), shot);
    return p.end();
}
} // namespace

void setPrintTargetForTests(const QString& pdfPath) { g_testTarget = pdfPath; }

void printWindow(QWidget* window) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(window->windowTitle());
    QString pdf = g_testTarget;
    if (pdf.isEmpty() && QPrinterInfo::defaultPrinter().isNull()) {
        if (!Ui::get().question(QStringLiteral("No printer is installed. Do you want to save the page "
                                               "as a PDF file instead?"),
                                kProgramName))
            return;
        pdf = Ui::get().saveFileName(QStringLiteral("Save as PDF"), QStringLiteral("PDF files (*.pdf)"),
                                     window->windowTitle() + QStringLiteral(".pdf"));
        if (pdf.isEmpty())
            return;
    }
    if (!pdf.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
    }
    if (!render(window, printer))
        message(QStringLiteral("The page could not be printed."));
}

} // namespace veil
