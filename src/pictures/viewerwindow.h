// The picture viewer (Form9): steps through an investigation's photos, with filters.
#pragma once

#include "shell/casewindow.h"
#include "pictures/filters/enhancer.h"

#include <QStringList>

class QLabel;
class QProgressBar;
class QPushButton;
class QTextEdit;
class QTreeWidget;

namespace veil {

class ImageButton;
class PictureBox;
struct Record;

// The size of the photograph the viewer showed last, kept program-wide as
// 16-bit numbers: it outlives the viewer, and the filters cover this range.
struct PictureSize {
    qint16 width = 0;
    qint16 height = 0;
};
PictureSize& pictureSize();

// The picture viewer: one investigation's photographs, one at a time,
// stepped through with Next and Previous (wrapping at both ends), and the
// seven enhancement filters on the one shown.
class Form9 : public CaseWindow {
    Q_OBJECT
public:
    explicit Form9(MDIForm1& frame);

    void load() override;
    // While a filter runs the window stays, by whichever route it is closed.
    bool queryUnload() override;

    void Next();
    void Previous();
    // A filter on the shown photograph; does nothing while one runs.
    void runFilter(filters::Kind kind);

    // Steps 6 to 8 of showing a photograph, for an image already read:
    // false (nothing changes) when it is empty or too large for the picture size.
    bool showPhoto(const QImage& photo);

    // A filter is running exactly when the progress bar is visible.
    bool busy() const;

    // How long a running filter works before it lets the event loop run
    // (milliseconds); 0 lets it run after every row.
    void setYieldInterval(int ms) { m_yieldNs = qint64(ms) * 1000000; }

    const QStringList& titleList() const { return m_titles; }
    int selectedTitle() const { return m_selected; }
    const QString& listPosition() const { return m_listPosition; }
    const QString& currentTitle() const { return m_currentTitle; }
    const QString& investigationName() const { return m_investigation; }
    const filters::Enhancer& pictures() const { return m_pictures; }

    // File menu additions: the photo information panel beside the picture
    // (hidden, the window is as designed) and a copy of the filtered photograph.
    void setMetadataShown(bool shown);
    bool metadataShown() const;
    void saveEnhancedCopy();
    void showOnMap();

    PictureBox* Image1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QTextEdit* Text4 = nullptr;
    // In the order of the design's table: Invert, Solarize, Emboss, Grey,
    // Next, Red, Green, Blue, Close, Previous.
    ImageButton* Label1 = nullptr;
    ImageButton* Label2 = nullptr;
    ImageButton* Label3 = nullptr;
    ImageButton* Label4 = nullptr;
    ImageButton* Label5 = nullptr;
    ImageButton* Label6 = nullptr;
    ImageButton* Label7 = nullptr;
    ImageButton* Label8 = nullptr;
    ImageButton* Label9 = nullptr;
    ImageButton* Label10 = nullptr;
    // The photo information panel: MetadataList (item, value), NoMetadataLabel, MapButton.
    QWidget* MetadataPanel = nullptr;
    QTreeWidget* MetadataList = nullptr;
    QLabel* NoMetadataLabel = nullptr;
    QPushButton* MapButton = nullptr;

private:
    void Show_Picture(const Record& record);
    void showSelected();
    void selectTitle(int index);
    ImageButton* button(const char* label, const char* face, const char* caption, int left, int top);
    void buildMetadataPanel();
    void refreshMetadata();

    filters::Enhancer m_pictures; // the work picture and the source copy
    QString m_investigation;
    QString m_currentTitle;
    QStringList m_titles;
    int m_selected = -1;
    QString m_listPosition = QStringLiteral("0");
    qint64 m_yieldNs = 4000000;
    QString m_photoFile;   // the file of the photograph shown
    QString m_photoStored; // its stored path
    QAction* m_metadataItem = nullptr;
};

} // namespace veil
