#pragma once
// veil_reports: a report as a file (self-contained HTML or PDF) or on the pages
// of any paged device (a PDF writer, or the printer behind a print preview).

#include "reports/report.h"

#include <QLocale>
#include <QPageSize>
#include <QString>

#include <memory>
#include <optional>

class QPagedPaintDevice;
class QTextDocument;

namespace veil::reports {

enum class Format { Html, Pdf };

// The format a file name asks for by its extension (.html, .htm, .pdf, any
// letter case); empty for any other name.
std::optional<Format> formatOf(const QString& fileName);

// A4, or Letter where the locale's paper is Letter (the Americas that use it,
// and the Philippines).
QPageSize::PageSizeId paperFor(const QLocale& locale = QLocale::system());

// The report as a text document with its pictures, as the PDF draws it.
std::unique_ptr<QTextDocument> reportDocument(const Report& report);

// Lays the report out on the device's pages: the title at the head of every
// page and "Page n of m" at its foot. The device is set to portrait on the
// locale's paper first unless `keepPageLayout` (a print preview keeps the
// user's choice). Returns the number of pages, 0 when the device could not be
// painted on.
int paintReport(const Report& report, QPagedPaintDevice& device, bool keepPageLayout = false);

// Writes the report to `path` in the given format, beside the file first and
// renamed over it only when complete, so an old file stays whole on failure.
// False with `error` set when it could not be written.
bool writeReport(const Report& report, const QString& path, Format format, QString* error = nullptr);

} // namespace veil::reports
