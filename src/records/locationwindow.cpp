#include "records/locationwindow.h"

#include "records/newkey.h"
#include "records/recordwords.h"

#include "widgets/attachphoto.h"
#include "widgets/controls.h"
#include "widgets/editwatch.h"
#include "shell/dashboardwindow.h"
#include "widgets/imagebutton.h"
#include "widgets/labelclick.h"
#include "shell/mainframe.h"
#include "widgets/openemail.h"
#include "store/paths.h"
#include "widgets/picturebox.h"
#include "widgets/printwindow.h"
#include "records/reportdialog.h"
#include "widgets/sortedlist.h"
#include "store/ui.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>

namespace veil {

namespace {
const QString kCaptionStart = QStringLiteral("Location - ");
const QString kLocationName = QStringLiteral("LocationName");
} // namespace

Form1::Form1(MDIForm1& frame) : CaseWindow(frame, QStringLiteral("Form1")) {
    QWidget* c = designClient(QStringLiteral("Location"), 12240, 14520);

    Frame1 = makeFrame(c, QStringLiteral("Frame1"), QStringLiteral("Location Information"),
                       twRect(360, 360, 5655, 1695));
    makeLabel(Frame1, QStringLiteral("Label1"), QStringLiteral("Name:"), twRect(240, 390, 900, 255));
    Text1 = makeTextBox(Frame1, QStringLiteral("Text1"), twRect(1200, 360, 4215, 285));
    makeLabel(Frame1, QStringLiteral("Label2"), QStringLiteral("Address:"), twRect(240, 780, 900, 255));
    Text2 = makeTextBox(Frame1, QStringLiteral("Text2"), twRect(1200, 750, 4215, 285));
    Text3 = makeTextBox(Frame1, QStringLiteral("Text3"), twRect(1200, 1140, 4215, 285));

    Frame2 = makeFrame(c, QStringLiteral("Frame2"), QStringLiteral("Contact Information"),
                       twRect(6240, 360, 5655, 1695));
    makeLabel(Frame2, QStringLiteral("Label3"), QStringLiteral("Name:"), twRect(240, 330, 900, 255));
    Text4 = makeTextBox(Frame2, QStringLiteral("Text4"), twRect(1200, 300, 4215, 285));
    makeLabel(Frame2, QStringLiteral("Label4"), QStringLiteral("Phone:"), twRect(240, 660, 900, 255));
    Text5 = makeTextBox(Frame2, QStringLiteral("Text5"), twRect(1200, 630, 4215, 285));
    makeLabel(Frame2, QStringLiteral("Label5"), QStringLiteral("Cell:"), twRect(240, 990, 900, 255));
    Text6 = makeTextBox(Frame2, QStringLiteral("Text6"), twRect(1200, 960, 4215, 285));
    Label6 = makeLinkLabel(Frame2, QStringLiteral("Label6"), QStringLiteral("E-Mail:"),
                           twRect(240, 1320, 900, 255));
    Text7 = makeTextBox(Frame2, QStringLiteral("Text7"), twRect(1200, 1290, 4215, 285));

    Frame3 = makeFrame(c, QStringLiteral("Frame3"), QStringLiteral("Background Summary"),
                       twRect(360, 2160, 11535, 3135));
    RichTextBox1 = makeFrameText(Frame3, QStringLiteral("RichTextBox1"));
    Frame4 = makeFrame(c, QStringLiteral("Frame4"), QStringLiteral("Occupant History"),
                       twRect(360, 5400, 11535, 3255));
    RichTextBox2 = makeFrameText(Frame4, QStringLiteral("RichTextBox2"));
    Frame5 = makeFrame(c, QStringLiteral("Frame5"), QStringLiteral("Location Photo"),
                       twRect(360, 8760, 5055, 3975));
    Image1 = new PictureBox(Frame5, QStringLiteral("Image1"), twRect(127, 270, 4800, 3600));
    Frame6 = makeFrame(c, QStringLiteral("Frame6"), QStringLiteral("Special Notes"),
                       twRect(5520, 8760, 6375, 3975));
    RichTextBox3 = makeFrameText(Frame6, QStringLiteral("RichTextBox3"));
    Frame7 = makeFrame(c, QStringLiteral("Frame7"), QStringLiteral("Driving Directions"),
                       twRect(360, 12840, 11535, 1575));
    RichTextBox4 = makeFrameText(Frame7, QStringLiteral("RichTextBox4"));

    // Working values, never shown.
    Text12 = makeTextBox(c, QStringLiteral("Text12"), twRect(0, 0, 1200, 285));
    Text12->hide();
    Text13 = makeTextBox(c, QStringLiteral("Text13"), twRect(0, 0, 1200, 285));
    Text13->hide();

    setFocusOrder({Text1, Text2, Text3, Text4, Text5, Text6, Text7, RichTextBox1, RichTextBox2, RichTextBox3,
                   RichTextBox4});

    onClick(Label6, [this] {
        if (!Text7->text().isEmpty())
            OpenEmail(Text7->text());
    });

    QMenu* file = addMenu(QStringLiteral("file"), QStringLiteral("&File"));
    addItem(file, QStringLiteral("new"), QStringLiteral("&New Location"), [this] { new_Click(); });
    addItem(file, QStringLiteral("print"), QStringLiteral("&Print"), [this] { print_Click(); });
    addItem(file, QStringLiteral("report"), QStringLiteral("Report…"), [this] {
        if (m_new) {
            message(QStringLiteral("Please save the location before making its report."));
            return;
        }
        openReportDialog(this, Text13->text(), [this, name = Text13->text()](const reports::Options& o) {
            return reports::locationReport(db(), programFolder(), name, o);
        });
    });
    addItem(file, QStringLiteral("Image_Insert"), QStringLiteral("Insert Image"), [this] { Image_Insert_Click(); });
    addItem(file, QStringLiteral("save"), QStringLiteral("&Save"), [this] { save_Click(); });
    addItem(file, QStringLiteral("close"), QStringLiteral("&Close"), [this] { unload(); });
    addHelpMenu(QStringLiteral("go"), QStringLiteral("help"));

    m_watch = new EditWatch(c);
}

void Form1::load() {
    CenterForm();
    const Form2* dashboard = frame().formAs<Form2>(QStringLiteral("Form2"));
    Text13->setText(dashboard ? dashboard->Combo1->currentText() : kNew);
    // A location may be named "New" (an older case file allowed it): the dashboard tells.
    m_new = !dashboard || dashboard->choosesNew(dashboard->Combo1);
    showPlaceholder();
    m_attach = new PhotoAttacher(this, {
        .picture = Image1,
        .programFolder = programFolder(),
        .folder = files::locations,
        .key = [this] { return Text1->text(); },
        .emptyKeyMessage = QStringLiteral("You must fill out the Contact info before adding image"),
        .emptyKeyDropMessage = QStringLiteral("Please fill in form before adding picture"),
        .beforeEmptyKeyDropMessage = [this] { Text1->setFocus(); },
        .attached = [this](const Attachment& a) {
            Text12->setText(a.fileName);
            // Only Insert Image locks the name; a drop leaves it as it was.
            if (a.route == AttachRoute::Dialog) {
                Text1->setReadOnly(true);
                Text2->setFocus();
            }
            m_watch->mark();
        },
    });
    openDatabase();
    setCaption(kCaptionStart + Text13->text());
    Text1->setReadOnly(!m_new);
    if (!m_new)
        Load_Location();
    m_watch->reset();
}

void Form1::unloaded() { showDashboardAgain(); }

bool Form1::hasUnsavedChanges() const { return m_watch->changed(); }

QString Form1::attachmentExtension() const { return m_attach ? m_attach->extension() : QString(); }
QString Form1::attachmentDestination() const { return m_attach ? m_attach->destination() : QString(); }

void Form1::showPlaceholder() { Image1->loadFile(programPath(programFolder(), files::locationPlaceholder)); }

void Form1::Load_Location() {
    if (auto rec = db().findFirst(tables::location, {{kLocationName, Text13->text()}})) {
        Text1->setText(rec->text(kLocationName));
        Text2->setText(rec->text(QStringLiteral("LocationAddress1")));
        Text3->setText(rec->text(QStringLiteral("LocationAddress2")));
        Text4->setText(rec->text(QStringLiteral("ContactName")));
        Text5->setText(rec->text(QStringLiteral("Phone")));
        Text6->setText(rec->text(QStringLiteral("Cell")));
        Text7->setText(rec->text(QStringLiteral("Email")));
        RichTextBox1->setPlainText(rec->text(QStringLiteral("Background")));
        RichTextBox2->setPlainText(rec->text(QStringLiteral("History")));
        RichTextBox3->setPlainText(rec->text(QStringLiteral("Notes")));
        RichTextBox4->setPlainText(rec->text(QStringLiteral("Directions")));
        Text12->setText(rec->text(QStringLiteral("Image")));
    }
    if (Text12->text().isEmpty() ||
        !Image1->loadFile(storedPicturePath(programFolder(), files::locations, Text12->text())))
        Image1->loadFile(programPath(programFolder(), files::noImages));
}

Fields Form1::fieldValues() const {
    return {{kLocationName, Text1->text()},
            {QStringLiteral("LocationAddress1"), Text2->text()},
            {QStringLiteral("LocationAddress2"), Text3->text()},
            {QStringLiteral("ContactName"), Text4->text()},
            {QStringLiteral("Phone"), Text5->text()},
            {QStringLiteral("Cell"), Text6->text()},
            {QStringLiteral("Email"), Text7->text()},
            {QStringLiteral("Background"), RichTextBox1->toPlainText()},
            {QStringLiteral("History"), RichTextBox2->toPlainText()},
            {QStringLiteral("Notes"), RichTextBox3->toPlainText()},
            {QStringLiteral("Directions"), RichTextBox4->toPlainText()},
            {QStringLiteral("Image"), Text12->text()}};
}

void Form1::save_Click() {
    if (m_new)
        Save_New_Location();
    else
        Update_Location();
}

void Form1::passPhotoToDashboard() {
    Form2* dashboard = frame().formAs<Form2>(QStringLiteral("Form2"));
    if (!dashboard)
        return;
    // Without a photo this window shows the drop hint; the dashboard its own placeholder.
    if (Text12->text().isEmpty())
        dashboard->showLocationPicture(QString());
    else
        dashboard->Image2->setPicture(Image1->picture());
}

void Form1::Save_New_Location() {
    const QString name = Text1->text();
    if (name.isEmpty()) {
        message(QStringLiteral("Please fill in fields before Saving"));
        return;
    }
    if (!addNewRecord(db(),
                      {tables::location, kLocationName, kNew,
                       QStringLiteral("\"New\" is the word for a new location, please use a different name."),
                       QStringLiteral("This Location Name has already been used, please use a different one.")},
                      Text1, fieldValues()))
        return;
    setCaption(kCaptionStart + name + QStringLiteral(" has been saved"));
    Text1->setReadOnly(true);

    if (Form2* dashboard = frame().formAs<Form2>(QStringLiteral("Form2"))) {
        // A dashboard loaded just now has read the new record already.
        if (dashboard->Combo1->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
            addSorted(dashboard->Combo1, name);
        // Chosen as the user would: its picture, "View", and lists below that are its own
        // (not those of the location the window showed before New Location).
        Form2::selectEntry(dashboard->Combo1, name);
        dashboard->Combo1_Click();
    }
    Text13->setText(name);
    m_new = false;
    m_watch->reset();
}

void Form1::Update_Location() {
    const QString name = Text1->text();
    if (name.isEmpty()) {
        message(QStringLiteral("Please fill in fields before Saving"));
        return;
    }
    if (!rewriteRecord(db(), tables::location, {{kLocationName, name}}, fieldValues(),
                       QStringLiteral("This location could not be found, so nothing was saved.")))
        return;
    setCaption(kCaptionStart + name + QStringLiteral(" has been saved"));
    passPhotoToDashboard();
    m_watch->reset();
}

void Form1::Clear_Location_Fields() {
    Text1->clear();
    Text2->clear();
    Text3->clear();
    Text4->clear();
    Text5->clear();
    Text7->clear();
    Text6->clear();
    RichTextBox1->clear();
    RichTextBox2->clear();
    RichTextBox3->clear();
    RichTextBox4->clear();
    Text12->clear();
}

void Form1::new_Click() {
    Clear_Location_Fields();
    showPlaceholder();
    setCaption(kCaptionStart + kNew);
    Text13->setText(kNew);
    m_new = true;
    Text1->setReadOnly(false);
    Text1->setFocus();
    m_watch->reset();
}

void Form1::Image_Insert_Click() { m_attach->attachByDialog(); }

void Form1::print_Click() { printWindow(this); }

} // namespace veil
