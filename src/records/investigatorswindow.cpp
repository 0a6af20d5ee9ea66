#include "records/investigatorswindow.h"

#include "records/newkey.h"

#include "widgets/art.h"
#include "widgets/attachphoto.h"
#include "widgets/controls.h"
#include "widgets/editwatch.h"
#include "widgets/imagebutton.h"
#include "widgets/labelclick.h"
#include "widgets/openemail.h"
#include "store/paths.h"
#include "widgets/picturebox.h"
#include "widgets/sortedlist.h"
#include "store/ui.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTextEdit>

namespace veil {

namespace {
const QString kAddNew = QStringLiteral("Add New");
const QString kAddNewCaption = QStringLiteral("Investigators - ") + kAddNew;
const QString kCaptionStart = QStringLiteral("Investigators - ");
const QString kNone = QStringLiteral("none");
const QString kName = QStringLiteral("Name");
} // namespace

Form5::Form5(MDIForm1& frame) : CaseWindow(frame, QStringLiteral("Form5")) {
    QWidget* c = designClient(QStringLiteral("Investigators"), 9045, 5190);

    Image1 = new PictureBox(c, QStringLiteral("Image1"), twRect(120, 120, 3360, 2520));
    Image1->setPicture(art::draw(art::Picture::InvestigatorDefault));

    Frame1 = makeFrame(c, QStringLiteral("Frame1"), QStringLiteral("Contact Info"),
                       twRect(3600, 60, 5325, 2310));
    makeLabel(Frame1, QStringLiteral("Label1"), QStringLiteral("Name:"), twRect(120, 300, 800, 255));
    Text1 = makeTextBox(Frame1, QStringLiteral("Text1"), twRect(960, 270, 4215, 285));
    makeLabel(Frame1, QStringLiteral("Label2"), QStringLiteral("Address:"), twRect(120, 630, 800, 255));
    Text2 = makeTextBox(Frame1, QStringLiteral("Text2"), twRect(960, 600, 4215, 285));
    Text3 = makeTextBox(Frame1, QStringLiteral("Text3"), twRect(960, 930, 4215, 285));
    makeLabel(Frame1, QStringLiteral("Label3"), QStringLiteral("Phone:"), twRect(120, 1290, 800, 255));
    Text4 = makeTextBox(Frame1, QStringLiteral("Text4"), twRect(960, 1260, 1800, 285));
    makeLabel(Frame1, QStringLiteral("Label4"), QStringLiteral("Cell:"), twRect(2880, 1290, 500, 255));
    Text5 = makeTextBox(Frame1, QStringLiteral("Text5"), twRect(3375, 1260, 1800, 285));
    Label5 = makeLinkLabel(Frame1, QStringLiteral("Label5"), QStringLiteral("E-mail:"),
                           twRect(120, 1620, 800, 255));
    Text6 = makeTextBox(Frame1, QStringLiteral("Text6"), twRect(960, 1590, 4215, 285));
    makeLabel(Frame1, QStringLiteral("Label6"), QStringLiteral("Title:"), twRect(120, 1950, 800, 255));
    Text7 = makeTextBox(Frame1, QStringLiteral("Text7"), twRect(960, 1920, 2700, 285));
    Check1 = new QCheckBox(QStringLiteral("Active"), Frame1);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setGeometry(twRect(3840, 1920, 1335, 285));
    Check1->setChecked(true);
    // The name is a key, a file name and an item of the investigations' lists.
    refuseCharacters(Text1, QStringLiteral(",+="));

    Frame2 = makeFrame(c, QStringLiteral("Frame2"), QStringLiteral("Notes"), twRect(120, 2760, 3360, 2310));
    RichTextBox1 = makeRichTextBox(Frame2, QStringLiteral("RichTextBox1"), twRect(120, 270, 3120, 1920));

    // Held only as a value; never shown.
    Text8 = makeTextBox(c, QStringLiteral("Text8"), twRect(9600, 0, 1200, 285));
    Text8->hide();

    makeHiddenFaces(c, "Image6", "Image7");
    makeButtons(this, c, 1215, 360,
                {{&Label7, "Label7", "Image2", "Close", 3600, 2460, [this] { unload(); }},
                 {&Label8, "Label8", "Image3", "Image", 4970, 2460, [this] { Image_Click(); }},
                 {&Label9, "Label9", "Image4", "Save", 6340, 2460, [this] { save_Click(); }},
                 {&Label10, "Label10", "Image5", "New", 7710, 2460, [this] { new_Click(); }}});

    List1 = new QListWidget(c);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(twRect(3600, 2940, 5325, 2130));
    onChosen(List1, this, m_filling, [this] { List1_Click(); });

    onDoubleClick(Label5, [this] {
        if (!Text6->text().isEmpty())
            OpenEmail(Text6->text());
    });

    setFocusOrder({List1, Text1, Text2, Text3, Text4, Text5, Text6, Text7, RichTextBox1, Check1});

    QMenu* file = addMenu(QStringLiteral("file"), QStringLiteral("&File"));
    addItem(file, QStringLiteral("new"), QStringLiteral("&New"), [this] { new_Click(); });
    addItem(file, QStringLiteral("save"), QStringLiteral("&Save"), [this] { save_Click(); });
    addItem(file, QStringLiteral("Close_form"), QStringLiteral("&Close"), [this] { unload(); });
    addHelpMenu();

    m_watch = new EditWatch(c);
}

void Form5::load() {
    const QString message = QStringLiteral("You must fill out the Contact info before adding image");
    m_attach = new PhotoAttacher(this, {
        .picture = Image1,
        .programFolder = programFolder(),
        .folder = files::investigators,
        .key = [this] { return Text1->text(); },
        .emptyKeyMessage = message,
        .emptyKeyDropMessage = message,
        .beforeEmptyKeyDropMessage = {},
        .attached = [this](const Attachment& a) {
            Text8->setText(a.fileName);
            Text1->setReadOnly(true);
            Text2->setFocus();
            m_watch->mark();
        },
    });
    openDatabase();
    CenterForm();
    Investigators_View();
    setCaption(kAddNewCaption);
    m_adding = true;
    List1->setFocus(); // the first stop of the focus order
    m_watch->reset();
}

void Form5::unloaded() { showDashboardAgain(); }

bool Form5::hasUnsavedChanges() const { return m_watch->changed(); }

QString Form5::attachmentExtension() const { return m_attach ? m_attach->extension() : QString(); }
QString Form5::attachmentDestination() const { return m_attach ? m_attach->destination() : QString(); }

void Form5::showPlaceholder() {
    Image1->loadFile(programPath(programFolder(), files::investigatorPlaceholder));
}

QString Form5::activeValue() const {
    return Check1->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

Fields Form5::fieldValues() const {
    return {{kName, Text1->text()},
            {QStringLiteral("Address1"), Text2->text()},
            {QStringLiteral("Address2"), Text3->text()},
            {QStringLiteral("Phone"), Text4->text()},
            {QStringLiteral("Cell"), Text5->text()},
            {QStringLiteral("Email"), Text6->text()},
            {QStringLiteral("Notes"), RichTextBox1->toPlainText()},
            {QStringLiteral("Image"), Text8->text()},
            {QStringLiteral("Title"), Text7->text()},
            {QStringLiteral("Active"), activeValue()}};
}

void Form5::Investigators_View() {
    refillSorted(List1, db().column(tables::investigators, kName), m_filling);
}

void Form5::Clear_Texts() {
    Text1->clear();
    Text2->clear();
    Text3->clear();
    Text4->clear();
    Text5->clear();
    Text6->clear();
    RichTextBox1->clear();
    Text8->setText(kNone);
    Text7->clear();
}

void Form5::List1_Click() {
    const QString chosen = List1->currentItem() ? List1->currentItem()->text() : QString();
    if (auto rec = db().findFirst(tables::investigators, {{kName, chosen}})) {
        Text1->setText(rec->text(kName));
        Text2->setText(rec->text(QStringLiteral("Address1")));
        Text3->setText(rec->text(QStringLiteral("Address2")));
        Text4->setText(rec->text(QStringLiteral("Phone")));
        Text5->setText(rec->text(QStringLiteral("Cell")));
        Text6->setText(rec->text(QStringLiteral("Email")));
        Text8->setText(rec->text(QStringLiteral("Image")));
        RichTextBox1->setPlainText(rec->text(QStringLiteral("Notes")));
        Text7->setText(rec->text(QStringLiteral("Title")));
        Check1->setChecked(rec->text(QStringLiteral("Active")) == QLatin1String("1"));
        setCaption(kCaptionStart + Text1->text());
        // A photo that cannot be shown gives the placeholder rather than
        // leaving the previous member's face beside this member's name.
        const QString image = Text8->text();
        if (image.isEmpty() || image == kNone ||
            !Image1->loadFile(storedPicturePath(programFolder(), files::investigators, image)))
            showPlaceholder();
    }
    Text1->setReadOnly(true);
    setCaption(kCaptionStart + Text1->text());
    m_adding = false;
    m_watch->reset();
}

void Form5::save_Click() {
    if (m_adding)
        Save_New_Investigator();
    else
        Update_Investigator();
}

void Form5::Save_New_Investigator() {
    const QString name = Text1->text();
    if (name.isEmpty()) {
        message(QStringLiteral("Please fill in the contact info to proceed."));
        return;
    }
    if (!addNewRecord(db(),
                      {tables::investigators, kName, kAddNew,
                       QStringLiteral("\"Add New\" is the word for a new member, please use a different name."),
                       QStringLiteral("This Name has already been used, please use a different one.")},
                      Text1, fieldValues()))
        return;
    Text1->setReadOnly(true);
    setCaption(kCaptionStart + name + QStringLiteral(" has been saved"));
    m_adding = false;
    Investigators_View();
    m_watch->reset();
}

void Form5::Update_Investigator() {
    const QString name = Text1->text();
    if (name.isEmpty())
        return;
    if (!rewriteRecord(db(), tables::investigators, {{kName, name}}, fieldValues(),
                       QStringLiteral("This member could not be found, so nothing was saved.")))
        return;
    setCaption(kCaptionStart + name + QStringLiteral(" has been updated"));
    m_watch->reset();
}

void Form5::new_Click() {
    Text1->setReadOnly(false);
    showPlaceholder();
    Clear_Texts();
    Check1->setChecked(true);
    setCaption(kAddNewCaption);
    m_adding = true;
    // No entry stays chosen, so a click on any of them shows it again.
    chooseNothing(List1);
    Text1->setFocus();
    m_watch->reset();
}

void Form5::Image_Click() { m_attach->attachByDialog(); }

} // namespace veil
