#pragma once

#include <QString>

class QWidget;

namespace veil {

// Prints what the window shows, as one page on the default printer. Where no
// printer is installed the user is told and may save the page as a PDF.
void printWindow(QWidget* window);

// Tests: send every print to this PDF file instead of a printer (empty to stop).
void setPrintTargetForTests(const QString& pdfPath);

} // namespace veil
