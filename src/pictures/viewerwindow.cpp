#include "pictures/viewerwindow.h"

#include "widgets/controls.h"
#include "shell/dashboardwindow.h"
#include "widgets/imagebutton.h"
#include "shell/mainframe.h"
#include "store/paths.h"
#include "widgets/picturebox.h"
#include "store/pictureloader.h"
#include "store/filehash.h"
#include "store/photometadata.h"
#include "store/ui.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QTextEdit>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <limits>

namespace veil {

using filters::Kind;

namespace {
const QString kInvestigation = QStringLiteral("Investigation");
const QString kTitle = QStringLiteral("Title");

bool fieldIs(const Cursor& t, const QString& field, const QString& value) {
    return !t.isNull(field) && t.field(field) == value;
}
} // namespace

PictureSize& pictureSize() {
    static PictureSize size;
    return size;
}

Form9::Form9(MDIForm1& frame) : CaseWindow(frame, QStringLiteral("Form9")) {
    setClientSizeTwips(10065, 8340);
    QWidget* c = client();
    makeWhite(c);

    Image1 = new PictureBox(c, QStringLiteral("Image1"), twRect(120, 120, 9600, 7200));

    ProgressBar1 = new QProgressBar(c);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setOrientation(Qt::Vertical);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setGeometry(twRect(9840, 120, 135, 7170));
    ProgressBar1->hide();

    Text4 = makeRichTextBox(c, QStringLiteral("Text4"), twRect(5520, 7440, 4215, 735));
    Text4->setReadOnly(true);

    Label1 = button("Label1", "Image2", "Invert", 120, 7440);
    Label2 = button("Label2", "Image3", "Solarize", 1200, 7440);
    Label3 = button("Label3", "Image4", "Emboss", 2280, 7440);
    Label4 = button("Label4", "Image5", "Grey", 3360, 7440);
    Label5 = button("Label5", "Image6", "Next", 4440, 7440);
    Label6 = button("Label6", "Image7", "Red", 120, 7800);
    Label7 = button("Label7", "Image8", "Green", 1200, 7800);
    Label8 = button("Label8", "Image9", "Blue", 2280, 7800);
    Label9 = button("Label9", "Image10", "Close", 3360, 7800);
    Label10 = button("Label10", "Image11", "Previous", 4440, 7800);
    // The Invert caption is narrower and sits a little to the right.
    Label1->setGeometry(twRect(180, 7470, 855, 255));

    connect(Label1, &ImageButton::released, this, [this] { runFilter(Kind::Invert); });
    connect(Label2, &ImageButton::released, this, [this] { runFilter(Kind::Solarize); });
    connect(Label3, &ImageButton::released, this, [this] { runFilter(Kind::Emboss); });
    connect(Label4, &ImageButton::released, this, [this] { runFilter(Kind::Grey); });
    connect(Label5, &ImageButton::released, this, &Form9::Next);
    connect(Label6, &ImageButton::released, this, [this] { runFilter(Kind::Red); });
    connect(Label7, &ImageButton::released, this, [this] { runFilter(Kind::Green); });
    connect(Label8, &ImageButton::released, this, [this] { runFilter(Kind::Blue); });
    connect(Label9, &ImageButton::released, this, [this] { unload(); });
    connect(Label10, &ImageButton::released, this, &Form9::Previous);

    QMenu* file = addMenu(QStringLiteral("sf"), QStringLiteral("File"));
    m_metadataItem = addItem(file, QStringLiteral("photoinfo"), QStringLiteral("Photo Information"),
                             [this] { setMetadataShown(m_metadataItem->isChecked()); });
    m_metadataItem->setCheckable(true);
    addItem(file, QStringLiteral("savecopy"), QStringLiteral("Save Enhanced Copy..."), [this] { saveEnhancedCopy(); });
    addSeparator(file, QStringLiteral("sfsep"));
    addItem(file, QStringLiteral("exity"), QStringLiteral("Exit"), [this] { unload(); });
    QMenu* enhance = addMenu(QStringLiteral("op"), QStringLiteral("Enhance"));
    addItem(enhance, QStringLiteral("inve"), QStringLiteral("Invert"), [this] { runFilter(Kind::Invert); });
    addItem(enhance, QStringLiteral("sola"), QStringLiteral("Solarize"), [this] { runFilter(Kind::Solarize); });
    addItem(enhance, QStringLiteral("embos"), QStringLiteral("Embose"), [this] { runFilter(Kind::Emboss); });
    addItem(enhance, QStringLiteral("gray"), QStringLiteral("GrayScale"), [this] { runFilter(Kind::Grey); });
    QMenu* one = addSubMenu(enhance, QStringLiteral("redd"), QStringLiteral("1 Color Only"));
    addItem(one, QStringLiteral("rer"), QStringLiteral("Red"), [this] { runFilter(Kind::Red); });
    addItem(one, QStringLiteral("gree"), QStringLiteral("Green"), [this] { runFilter(Kind::Green); });
    addItem(one, QStringLiteral("gh"), QStringLiteral("Blue"), [this] { runFilter(Kind::Blue); });
    addHelpMenu();
    buildMetadataPanel();
}

ImageButton* Form9::button(const char* label, const char* face, const char* caption, int left, int top) {
    auto* b = new ImageButton(client(), QLatin1String(label), QLatin1String(face), QLatin1String(caption),
                              twRect(left, top, 930, 285));
    b->setGeometry(twRect(left, top + 30, 975, 255));
    return b;
}

void Form9::load() {
    CenterForm();
    openDatabase();
    if (auto* dashboard = frame().loadedAs<Form2>(QStringLiteral("Form2"))) {
        m_investigation = dashboard->Combo2->currentText();
        m_currentTitle = dashboard->Combo4->currentText();
    }
    Cursor& t = db().openTable(tables::pictures);
    while (!t.eof()) {
        if (fieldIs(t, kInvestigation, m_investigation)) {
            m_titles << t.field(kTitle);
            if (fieldIs(t, kTitle, m_currentTitle))
                Show_Picture(t.record());
        }
        t.moveNext();
    }
    // With no title at all there is nothing to select; Next and Previous then do nothing.
    selectTitle(m_titles.isEmpty() ? -1 : 0);
    m_listPosition = QStringLiteral("0");
}

bool Form9::queryUnload() {
    if (busy()) {
        message(QStringLiteral("Please allow the process to finish"));
        return false;
    }
    return true;
}

bool Form9::busy() const { return !ProgressBar1->isHidden(); }

void Form9::selectTitle(int index) { m_selected = index >= 0 && index < m_titles.size() ? index : -1; }

void Form9::Show_Picture(const Record& record) {
    Text4->setPlainText(record.text(QStringLiteral("History")));
    m_currentTitle = record.text(kTitle);
    setCaption(QStringLiteral("Picture - ") + m_currentTitle);
    // The stored path is relative to the program folder.
    const QString path = storedPicturePath(programFolder(), files::investigations, record.text(QStringLiteral("Path")));
    const PictureLoad picture = loadPicture(path);
    if (!picture.ok() || !showPhoto(picture.image)) {
        message(QStringLiteral("I could not find this photo"));
        const int at = m_titles.indexOf(m_currentTitle);
        if (at >= 0)
            selectTitle(at);
        return;
    }
    m_photoFile = path;
    m_photoStored = record.text(QStringLiteral("Path"));
    refreshMetadata();
}

bool Form9::showPhoto(const QImage& photo) {
    constexpr int kLargest = std::numeric_limits<qint16>::max();
    if (photo.isNull() || photo.width() > kLargest || photo.height() > kLargest)
        return false;
    pictureSize() = {qint16(photo.width()), qint16(photo.height())};
    m_pictures.setPhoto(photo);
    Image1->setPicture(filters::scaleForDisplay(m_pictures.workPicture(), Image1->size()));
    return true;
}

void Form9::Next() {
    if (busy() || m_titles.isEmpty())
        return;
    if (m_listPosition.toInt() == m_titles.size() - 1)
        m_listPosition = QStringLiteral("-1");
    m_listPosition = QString::number(m_listPosition.toInt() + 1);
    selectTitle(m_listPosition.toInt());
    showSelected();
}

void Form9::Previous() {
    if (busy() || m_titles.isEmpty())
        return;
    if (m_listPosition == QLatin1String("0"))
        m_listPosition = QString::number(m_titles.size());
    m_listPosition = QString::number(m_listPosition.toInt() - 1);
    selectTitle(m_listPosition.toInt());
    showSelected();
}

void Form9::showSelected() {
    if (m_selected < 0)
        return;
    const QString title = m_titles.at(m_selected);
    Cursor& t = db().openTable(tables::pictures);
    while (!t.eof()) {
        if (fieldIs(t, kInvestigation, m_investigation) && fieldIs(t, kTitle, title))
            Show_Picture(t.record());
        t.moveNext();
    }
}

void Form9::runFilter(Kind kind) {
    if (busy() || isUnloading())
        return;
    if (kind == Kind::Invert) {
        // One whole-picture operation: no rows, no progress, never busy.
        const QImage shown = m_pictures.invert(Image1->size());
        if (!shown.isNull())
            Image1->setPicture(shown);
        return;
    }
    const PictureSize size = pictureSize();
    if (!m_pictures.begin(kind, size.width, size.height))
        return; // no photograph: nothing to filter
    if (kind != Kind::Solarize && kind != Kind::Grey)
        ProgressBar1->setValue(0);
    ProgressBar1->show();
    // The rows take microseconds each; letting the event loop run after
    // every one would cost more than the filter, so it runs whenever a few
    // milliseconds have passed. The bar still moves row by row.
    QElapsedTimer clock;
    clock.start();
    for (int y = m_pictures.firstRow(); y < m_pictures.endRow(); ++y) {
        m_pictures.runRow(y);
        ProgressBar1->setValue(int(m_pictures.progressAfter(y)));
        if (clock.nsecsElapsed() >= m_yieldNs) {
            QCoreApplication::processEvents();
            clock.restart();
        }
    }
    ProgressBar1->hide();
    Image1->setPicture(m_pictures.finish(Image1->size()));
}

} // namespace veil

namespace veil {

namespace {
constexpr int kPanelTwips = 4200;

QString filterName(Kind kind) {
    switch (kind) {
    case Kind::Invert: return QStringLiteral("Invert");
    case Kind::Solarize: return QStringLiteral("Solarize");
    case Kind::Emboss: return QStringLiteral("Emboss");
    case Kind::Grey: return QStringLiteral("Grey");
    case Kind::Red: return QStringLiteral("Red");
    case Kind::Green: return QStringLiteral("Green");
    case Kind::Blue: return QStringLiteral("Blue");
    }
    return {};
}
} // namespace

void Form9::buildMetadataPanel() {
    MetadataPanel = new QWidget(client());
    MetadataPanel->setObjectName(QStringLiteral("MetadataPanel"));
    MetadataPanel->setGeometry(twRect(10065, 120, kPanelTwips - 120, 8100));
    auto* layout = new QVBoxLayout(MetadataPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    MetadataList = new QTreeWidget(MetadataPanel);
    MetadataList->setObjectName(QStringLiteral("MetadataList"));
    MetadataList->setHeaderLabels({QStringLiteral("Item"), QStringLiteral("Value")});
    MetadataList->setRootIsDecorated(false);
    layout->addWidget(MetadataList, 1);
    NoMetadataLabel = new QLabel(QStringLiteral("This file holds no photo information."), MetadataPanel);
    NoMetadataLabel->setObjectName(QStringLiteral("NoMetadataLabel"));
    NoMetadataLabel->setWordWrap(true);
    layout->addWidget(NoMetadataLabel);
    MapButton = new QPushButton(QStringLiteral("Show on Map"), MetadataPanel);
    MapButton->setObjectName(QStringLiteral("MapButton"));
    layout->addWidget(MapButton);
    connect(MapButton, &QPushButton::clicked, this, &Form9::showOnMap);
    MetadataPanel->hide();
}

bool Form9::metadataShown() const { return !MetadataPanel->isHidden(); }

void Form9::setMetadataShown(bool shown) {
    m_metadataItem->setChecked(shown);
    if (shown == metadataShown())
        return;
    // The panel widens the window; hidden, the window is as designed.
    setClientSizeTwips(10065 + (shown ? kPanelTwips : 0), 8340);
    MetadataPanel->setVisible(shown);
    if (QWidget* sub = subWindow())
        sub->adjustSize();
    refreshMetadata();
}

void Form9::refreshMetadata() {
    if (!metadataShown())
        return;
    const PhotoMetadata m = m_photoFile.isEmpty() ? PhotoMetadata() : readPhotoMetadata(m_photoFile);
    MetadataList->clear();
    for (const auto& [label, value] : m.rows())
        MetadataList->addTopLevelItem(new QTreeWidgetItem({label, value}));
    MetadataList->resizeColumnToContents(0);
    NoMetadataLabel->setVisible(m.isEmpty());
    MapButton->setEnabled(m.gps.has_value());
    MapButton->setProperty("geo", m.gps ? geoUrl(*m.gps) : QUrl());
}

void Form9::showOnMap() {
    const QUrl url = MapButton->property("geo").toUrl();
    if (url.isValid() && !Ui::get().openUrl(url))
        message(QStringLiteral("No program on this desktop opens map positions (%1).").arg(url.toString()));
}

void Form9::saveEnhancedCopy() {
    if (busy())
        return;
    const QImage* result = m_pictures.result();
    if (!result || m_photoFile.isEmpty()) {
        message(QStringLiteral("Run one of the Enhance filters first: the copy holds the filtered photograph."));
        return;
    }
    const QString filter = filterName(m_pictures.resultKind());
    QString target = Ui::get().saveFileName(
        QStringLiteral("Save Enhanced Copy"), QStringLiteral("PNG picture (*.png);;JPEG picture (*.jpg *.jpeg)"),
        QDir::home().filePath(QStringLiteral("%1 - %2.png").arg(m_currentTitle, filter)));
    if (target.isEmpty())
        return;
    const QString suffix = QFileInfo(target).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("jpg") && suffix != QLatin1String("jpeg"))
        target += QStringLiteral(".png");
    // Copies are not evidence: they stay out of the case's picture folders, so no original is replaced.
    const QString where = QFileInfo(QFileInfo(target).absolutePath()).canonicalFilePath() + QLatin1Char('/');
    for (const QString& folder : {files::locations, files::investigators, files::investigations}) {
        const QString inside = QFileInfo(programPath(programFolder(), folder)).canonicalFilePath();
        if (!inside.isEmpty() && where.startsWith(inside + QLatin1Char('/'))) {
            message(QStringLiteral("Please save the enhanced copy outside the case's picture folders, so "
                                   "that no original photograph can be replaced."));
            return;
        }
    }
    QString fingerprint = QStringLiteral("not recorded");
    if (const auto recorded = recordedFile(db(), m_photoStored))
        fingerprint = recorded->sha256;
    const QString note = QStringLiteral("%1 filter applied by Veilcase on %2 to %3 (SHA-256 %4)")
                             .arg(filter, isoUtc(QDateTime::currentDateTimeUtc()), m_photoStored, fingerprint);
    QString error;
    if (!writeEnhancedCopy(*result, target, m_photoFile, note, &error))
        message(QStringLiteral("The enhanced copy could not be saved to \"%1\": %2").arg(target, error));
    else
        message(QStringLiteral("The enhanced copy was saved as \"%1\".").arg(target));
}

} // namespace veil
