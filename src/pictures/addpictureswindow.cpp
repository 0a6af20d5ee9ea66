#include "pictures/addpictureswindow.h"

#include "widgets/art.h"
#include "widgets/attachphoto.h"
#include "widgets/controls.h"
#include "widgets/editwatch.h"
#include "store/filehash.h"
#include "store/fileroutines.h"
#include "shell/dashboardwindow.h"
#include "widgets/imagebutton.h"
#include "shell/mainframe.h"
#include "store/paths.h"
#include "store/photometadata.h"
#include "widgets/picturebox.h"
#include "store/ui.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>

namespace veil {

namespace {
const QString kTitle = QStringLiteral("Title");
const QString kInvestigation = QStringLiteral("Investigation");
} // namespace

Form10::Form10(MDIForm1& frame) : CaseWindow(frame, QStringLiteral("Form10")) {
    QWidget* c = designClient(QStringLiteral("Add Pictures"), 9600, 8880);

    Image1 = new PictureBox(c, QStringLiteral("Image1"), twRect(0, 0, 9600, 7200));
    Image1->setPicture(art::draw(art::Picture::AddPictureDefault));
    connect(Image1, &PictureBox::filesDropped, this, &Form10::Image1_Dropped);
    DateTakenLabel = new QLabel(Image1);
    DateTakenLabel->setObjectName(QStringLiteral("DateTakenLabel"));
    DateTakenLabel->setStyleSheet(QStringLiteral("background: rgba(0, 0, 0, 150); color: white; padding: 2px 6px;"));
    DateTakenLabel->hide();

    Label1 = makeLabel(c, QStringLiteral("Label1"), QStringLiteral("Title:"), twRect(720, 7320, 600, 255), true);
    // The title sits on a drawn line instead of in a box.
    Text1 = makeTextBox(c, QStringLiteral("Text1"), twRect(1320, 7320, 3015, 195));
    Text1->setFrame(false);
    Line1 = new QFrame(c);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Plain);
    Line1->setGeometry(tw(1320), tw(7560), tw(4440) - tw(1320), 1);
    Label2 = makeLabel(c, QStringLiteral("Label2"), QStringLiteral("Summary:"), twRect(240, 7680, 1035, 255), true);
    RichTextBox1 = makeRichTextBox(c, QStringLiteral("RichTextBox1"), twRect(1320, 7680, 8175, 1095));
    Text2 = makeTextBox(c, QStringLiteral("Text2"), QRect());
    Text2->hide();

    makeButtons(this, c, 930, 285,
                {{&Label3, "Label3", "Image2", "Close", 4800, 7320, [this] { unload(); }},
                 {&Label4, "Label4", "Image3", "Image", 6000, 7320, [this] { Image_Click(); }},
                 {&Label5, "Label5", "Image4", "Save", 7200, 7320, [this] { Save_Click(); }},
                 {&Label6, "Label6", "Image5", "New", 8400, 7320, [this] { New_Click(); }}});
    m_watch = new EditWatch(c);
}

void Form10::load() {
    CenterForm();
    if (auto* dashboard = frame().loadedAs<Form2>(QStringLiteral("Form2")))
        m_investigation = dashboard->Combo2->currentText();
    Image1->setDropTarget(true);
    openDatabase();
    setCaption(QStringLiteral("Add Pictures = New"));
    m_watch->reset();
}

bool Form10::hasUnsavedChanges() const { return m_watch->changed(); }

QString Form10::chosenFile() const { return Text2->text(); }

void Form10::Image_Click() {
    const PickedPicture picked = pickPicture(Image1, programFolder());
    // A cancelled dialog empties the chosen file; a file that cannot be
    // shown has been reported and leaves it as it was.
    if (picked.outcome != PickedPicture::NotShown)
        Text2->setText(picked.path);
    if (picked.outcome == PickedPicture::Shown) {
        showDateTaken(picked.path);
        m_watch->mark();
    }
}

void Form10::showDateTaken(const QString& file) {
    const QString taken = file.isEmpty() ? QString() : dateTakenText(photoDateTaken(file));
    DateTakenLabel->setText(QStringLiteral("Taken ") + taken);
    DateTakenLabel->adjustSize();
    DateTakenLabel->move(0, Image1->height() - DateTakenLabel->height());
    DateTakenLabel->setVisible(!taken.isEmpty());
}

void Form10::Image1_Dropped(const QStringList& files) {
    if (const auto shown = showDroppedPicture(Image1, files)) {
        Text2->setText(*shown);
        showDateTaken(*shown);
        m_watch->mark();
    }
}

void Form10::Save_Click() {
    const QString title = Text1->text();
    if (title.isEmpty()) {
        message(QStringLiteral("Please fill in the title before Saving"));
        return;
    }
    const QString chosen = chosenFile();
    if (chosen.isEmpty()) {
        message(QStringLiteral("Please add a Picture before saving"));
        return;
    }
    if (m_investigation.isEmpty()) {
        message(QStringLiteral("Please go back and select and investigation first"));
        return;
    }
    if (db().exists(tables::pictures, {{kTitle, title}, {kInvestigation, m_investigation}})) {
        message(QStringLiteral("There is already a picture with that Title, please select a new title."));
        return;
    }
    // The last record of that key gives the number; with none the one found before stays.
    if (auto rec = db().findLast(tables::investigations, {{QStringLiteral("FullDate_Time"), m_investigation}}))
        m_id = rec->text(QStringLiteral("ID"));
    const QString extension = GetExtension(chosen);
    // The title becomes a file name inside a stored "\" path: refuse what cannot be one.
    const QString problem = fileNameProblem(title, extension, KeyUse::StoredPathPart);
    if (!problem.isEmpty()) {
        message(problem);
        return;
    }
    const QString folder = files::investigations + m_id + QLatin1Char('\\');
    const QString fileName = title + QLatin1Char('.') + extension;
    const QString destination = programFile(programFolder(), folder, fileName);
    attachFile(db(), chosen, destination, folder + fileName);
    // The copy reports its own failures; a record whose photograph never
    // arrived would only be found missing later, so none is stored.
    if (!QFileInfo(destination).isFile())
        return;
    m_storedPath = folder + fileName;
    db().add(tables::pictures, {{kInvestigation, m_investigation},
                                {kTitle, title},
                                {QStringLiteral("History"), RichTextBox1->toPlainText()},
                                {QStringLiteral("Path"), m_storedPath}});
    setCaption(QStringLiteral("Add Pictures - ") + title + QStringLiteral(" has been saved"));
    m_watch->reset();
    writeBack(title);
}

void Form10::writeBack(const QString& title) {
    auto* dashboard = frame().loadedAs<Form2>(QStringLiteral("Form2"));
    if (!dashboard)
        return;
    dashboard->Combo4->addItem(title);
    dashboard->Combo4->setCurrentIndex(dashboard->Combo4->count() - 1);
    dashboard->Label9->setText(QStringLiteral("View"));
}

void Form10::New_Click() {
    Text1->clear();
    RichTextBox1->clear();
    Text2->clear();
    showDateTaken(QString());
    setCaption(QStringLiteral("Add Pictures - New"));
    Image1->loadFile(programPath(programFolder(), files::newImage)); // a missing placeholder leaves the picture
    m_watch->reset();
}

} // namespace veil
