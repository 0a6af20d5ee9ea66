#include "records/reportdialog.h"

#include "reports/reportoutput.h"
#include "store/casedb.h"
#include "store/ui.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace veil {

namespace {
// Building a report reads every picture of the investigation; show that it is busy.
struct BusyCursor {
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
};
} // namespace

ReportDialog::ReportDialog(QWidget* parent, const QString& fileStem, Build build)
    : QDialog(parent), m_fileStem(fileStem), m_build(std::move(build)) {
    setObjectName(QStringLiteral("ReportDialog"));
    setWindowTitle(QStringLiteral("Report"));
    auto* layout = new QVBoxLayout(this);

    auto* format = new QGroupBox(QStringLiteral("Format"), this);
    auto* formatLayout = new QVBoxLayout(format);
    PdfFormat = new QRadioButton(QStringLiteral("PDF, for printing and sending"), format);
    PdfFormat->setObjectName(QStringLiteral("PdfFormat"));
    PdfFormat->setChecked(true);
    HtmlFormat = new QRadioButton(QStringLiteral("HTML, one file that opens in any web browser"), format);
    HtmlFormat->setObjectName(QStringLiteral("HtmlFormat"));
    formatLayout->addWidget(PdfFormat);
    formatLayout->addWidget(HtmlFormat);
    layout->addWidget(format);

    IncludeContacts = new QCheckBox(QStringLiteral("Include contact details"), this);
    IncludeContacts->setObjectName(QStringLiteral("IncludeContacts"));
    layout->addWidget(IncludeContacts);
    auto* note = new QLabel(QStringLiteral("The report shows what is saved in the case file."), this);
    note->setWordWrap(true);
    layout->addWidget(note);

    auto* buttons = new QDialogButtonBox(this);
    PreviewButton = buttons->addButton(QStringLiteral("Preview…"), QDialogButtonBox::ActionRole);
    PreviewButton->setObjectName(QStringLiteral("PreviewButton"));
    SaveButton = buttons->addButton(QStringLiteral("Save…"), QDialogButtonBox::AcceptRole);
    SaveButton->setObjectName(QStringLiteral("SaveButton"));
    SaveButton->setDefault(true);
    CancelButton = buttons->addButton(QDialogButtonBox::Cancel);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    layout->addWidget(buttons);
    connect(PreviewButton, &QPushButton::clicked, this, &ReportDialog::preview);
    connect(SaveButton, &QPushButton::clicked, this, &ReportDialog::save);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<reports::Report> ReportDialog::build() {
    // The preview and the file show the same report, made once for each choice.
    std::optional<reports::Report>& report = m_made[IncludeContacts->isChecked() ? 1 : 0];
    if (report)
        return report;
    try {
        BusyCursor busy;
        report = m_build(reports::Options{.contacts = IncludeContacts->isChecked()});
    } catch (const DbError& e) {
        message(e.text());
        return std::nullopt;
    }
    if (!report)
        message(QStringLiteral("There is nothing to report: the record is no longer in the case file."));
    return report;
}

void ReportDialog::preview() {
    const auto report = build();
    if (!report)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(reports::paperFor()));
    printer.setDocName(report->title);
    QPrintPreviewDialog pages(&printer, this);
    pages.setObjectName(QStringLiteral("ReportPreview"));
    pages.setWindowTitle(report->title);
    connect(&pages, &QPrintPreviewDialog::paintRequested, this,
            [&report](QPrinter* p) { reports::paintReport(*report, *p, true); });
    pages.exec();
}

void ReportDialog::save() {
    const reports::Format chosen = HtmlFormat->isChecked() ? reports::Format::Html : reports::Format::Pdf;
    const QString ext = chosen == reports::Format::Html ? QStringLiteral(".html") : QStringLiteral(".pdf");
    QString stem = m_fileStem;
    stem.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString path = Ui::get().saveFileName(
        QStringLiteral("Save Report"),
        chosen == reports::Format::Html ? QStringLiteral("HTML files (*.html *.htm)") : QStringLiteral("PDF files (*.pdf)"),
        QDir(folder).filePath(stem + ext));
    if (path.isEmpty())
        return;
    // A name typed with .html or .pdf says what it wants; any other gets the chosen one.
    auto format = reports::formatOf(path);
    if (!format) {
        path += ext;
        format = chosen;
    }
    const auto report = build();
    if (!report)
        return;
    QString why;
    bool written;
    {
        BusyCursor busy;
        written = reports::writeReport(*report, path, *format, &why);
    }
    if (!written) {
        message(QStringLiteral("The report could not be written to \"%1\": %2").arg(path, why));
        return;
    }
    accept();
}

ReportDialog* openReportDialog(QWidget* window, const QString& fileStem, ReportDialog::Build build) {
    auto* dialog = new ReportDialog(window, fileStem, std::move(build));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

} // namespace veil
