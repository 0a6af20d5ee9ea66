#include "pictures/viewerwindow.h"

#include "widgets/controls.h"
#include "shell/dashboardwindow.h"
#include "widgets/imagebutton.h"
#include "shell/mainframe.h"
#include "store/paths.h"
#include "widgets/picturebox.h"
#include "store/pictureloader.h"
#include "store/ui.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QTextEdit>

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
    }
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
