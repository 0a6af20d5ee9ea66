#pragma once

#include "reports/report.h"

#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QPushButton;
class QRadioButton;

namespace veil {

// The report dialog of the Location and Investigation windows: the format,
// whether the location's contact details go in (off by default, since reports
// travel), a preview of the pages, then the file to write. The report is made
// from what is stored in the case file.
//
// Controls (objectName): HtmlFormat, PdfFormat (radio buttons), IncludeContacts,
// PreviewButton, SaveButton, CancelButton; the preview is ReportPreview.
class ReportDialog : public QDialog {
    Q_OBJECT
public:
    using Build = std::function<std::optional<reports::Report>(const reports::Options&)>;
    // `fileStem` suggests the file's name; `build` makes the report when it is needed.
    ReportDialog(QWidget* parent, const QString& fileStem, Build build);

    void preview();
    void save();

    QRadioButton* HtmlFormat = nullptr;
    QRadioButton* PdfFormat = nullptr;
    QCheckBox* IncludeContacts = nullptr;
    QPushButton* PreviewButton = nullptr;
    QPushButton* SaveButton = nullptr;
    QPushButton* CancelButton = nullptr;

private:
    std::optional<reports::Report> build();

    QString m_fileStem;
    Build m_build;
    std::optional<reports::Report> m_made[2]; // without and with contact details
};

// Opens the dialog over the window (window-modal, gone when closed).
ReportDialog* openReportDialog(QWidget* window, const QString& fileStem, ReportDialog::Build build);

} // namespace veil
