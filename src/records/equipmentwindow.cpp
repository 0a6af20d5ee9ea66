#include "records/equipmentwindow.h"

#include "records/newkey.h"

#include "widgets/art.h"
#include "widgets/controls.h"
#include "widgets/editwatch.h"
#include "widgets/imagebutton.h"
#include "widgets/sortedlist.h"
#include "store/ui.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTextEdit>

namespace veil {

namespace {
const QString kAddNew = QStringLiteral("Add New");
const QString kAddNewCaption = QStringLiteral("Equipment - ") + kAddNew;
const QString kTypePrompt = QStringLiteral("Type");
const QString kNickName = QStringLiteral("Nick_Name");
} // namespace

Form7::Form7(MDIForm1& frame) : CaseWindow(frame, QStringLiteral("Form7")) {
    QWidget* c = designClient(QStringLiteral("Equipment"), 8880, 5400);

    Image1 = makePicture(c, QStringLiteral("Image1"), art::Picture::EquipmentPicture,
                         twRect(120, 120, 3000, 1800));

    List1 = new QListWidget(c);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(twRect(120, 2040, 3000, 3240));

    Frame1 = makeFrame(c, QStringLiteral("Frame1"), QStringLiteral("Equipment Info"),
                       twRect(3240, 60, 5520, 2940));
    const char* const labels[] = {"Type:",          "Manufacturer:", "Model:",
                                  "Nick Name:",     "Battery Type:", "Media Type:"};
    QLineEdit** boxes[] = {nullptr, &Text1, &Text2, &Text3, &Text4, &Text5};
    for (int i = 0; i < 6; ++i) {
        const int top = 300 + i * 420;
        makeLabel(Frame1, QStringLiteral("Label%1").arg(i + 1), QLatin1String(labels[i]),
                  twRect(150, top + 30, 1500, 255));
        if (i == 0) {
            Combo1 = makeEditableList(Frame1, QStringLiteral("Combo1"), twRect(1700, top, 3600, 315));
            continue;
        }
        QLineEdit* box = makeTextBox(Frame1, QStringLiteral("Text%1").arg(i), twRect(1700, top, 3600, 285));
        box->setFrame(false);
        *boxes[i] = box;
        auto* line = new QFrame(Frame1);
        line->setObjectName(QStringLiteral("Line%1").arg(i));
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Plain);
        line->setGeometry(twRect(1700, top + 285, 3600, 15));
    }
    // The nick name becomes a list item and a key: "," would split the stored lists.
    refuseCharacters(Text3, QStringLiteral(",+="));

    Frame2 = makeFrame(c, QStringLiteral("Frame2"), QStringLiteral("Usage Notes and Quirks of Device"),
                       twRect(3240, 3060, 5520, 1680));
    Text7 = makeRichTextBox(Frame2, QStringLiteral("Text7"), twRect(120, 270, 5280, 1290));

    // The faces the buttons switch between; the buttons draw them themselves.
    makeHiddenFaces(c, "Image2", "Image3");
    makeButtons(this, c, 1200, 360,
                {{&Label7, "Label7", "Image4", "New", 4920, 4890, [this] { addnew_Click(); }},
                 {&Label8, "Label8", "Image5", "Save", 6180, 4890, [this] { save_Click(); }},
                 {&Label9, "Label9", "Image6", "Close", 7440, 4890, [this] { unload(); }}});

    onChosen(List1, this, m_filling, [this] { List1_Click(); });

    setFocusOrder({Combo1, Text1, Text2, Text3, Text4, Text5, Text7, List1});

    QMenu* fil = addMenu(QStringLiteral("fil"), QStringLiteral("&File"));
    addItem(fil, QStringLiteral("addnew"), QStringLiteral("&New"), [this] { addnew_Click(); });
    addItem(fil, QStringLiteral("save"), QStringLiteral("&Save"), [this] { save_Click(); });
    addItem(fil, QStringLiteral("close"), QStringLiteral("&Close"), [this] { unload(); });
    addHelpMenu();
    m_watch = new EditWatch(c);
}

void Form7::load() {
    CenterForm();
    openDatabase();
    Combo1->addItems({QStringLiteral("Audio Recorder"), QStringLiteral("Video Camera"),
                      QStringLiteral("Still Camera"), QStringLiteral("Sensing Device"),
                      QStringLiteral("Other")});
    fillList();
    setCaption(kAddNewCaption);
    m_adding = true;
    Combo1->setEditText(kTypePrompt);
    m_watch->reset();
}

void Form7::unloaded() { showDashboardAgain(); }

bool Form7::hasUnsavedChanges() const { return m_watch->changed(); }

void Form7::fillList() {
    refillSorted(List1, db().column(tables::equipment, kNickName), m_filling);
}

void Form7::clearFields() {
    Combo1->setEditText(kTypePrompt);
    Text1->clear();
    Text2->clear();
    Text3->clear();
    Text4->clear();
    Text5->clear();
    Text7->clear();
}

void Form7::addnew_Click() {
    setCaption(kAddNewCaption);
    m_adding = true;
    clearFields();
    Text3->setReadOnly(false);
    // No entry stays chosen, so a click on any of them shows it again.
    chooseNothing(List1);
    m_watch->reset();
}

void Form7::List1_Click() {
    const QString chosen = List1->currentItem() ? List1->currentItem()->text() : QString();
    if (auto rec = db().findFirst(tables::equipment, {{kNickName, chosen}})) {
        setCaption(QStringLiteral("Equipment - ") + rec->text(kNickName));
        Combo1->setEditText(rec->text(QStringLiteral("Type")));
        Text1->setText(rec->text(QStringLiteral("Manufacturer")));
        Text2->setText(rec->text(QStringLiteral("Model")));
        Text3->setText(rec->text(kNickName));
        Text4->setText(rec->text(QStringLiteral("Battery_type")));
        Text5->setText(rec->text(QStringLiteral("Media_type")));
        Text7->setPlainText(rec->text(QStringLiteral("Quirks")));
    }
    Text3->setReadOnly(true);
    setCaption(QStringLiteral("Equipment - ") + Text3->text());
    m_adding = false;
    m_watch->reset();
}

void Form7::save_Click() {
    if (m_adding)
        addNewItem();
    else
        updateItem();
}

Fields Form7::fieldValues() const {
    return {{QStringLiteral("Type"), Combo1->currentText()},
            {QStringLiteral("Manufacturer"), Text1->text()},
            {QStringLiteral("Model"), Text2->text()},
            {kNickName, Text3->text()},
            {QStringLiteral("Battery_type"), Text4->text()},
            {QStringLiteral("Media_type"), Text5->text()},
            {QStringLiteral("Quirks"), Text7->toPlainText()}};
}

void Form7::addNewItem() {
    const QString nick = Text3->text();
    if (nick.isEmpty()) {
        message(QStringLiteral("Please fill in fields before Saving"));
        return;
    }
    if (Combo1->currentText() == kTypePrompt) {
        message(QStringLiteral("Please select a type before saving"));
        return;
    }
    if (!addNewRecord(db(),
                      {tables::equipment, kNickName, kAddNew,
                       QStringLiteral("\"Add New\" is the word for a new item, please use a different Nick Name."),
                       QStringLiteral("This Nick Name has already been used, please try a different one.")},
                      Text3, fieldValues()))
        return;
    m_adding = false;
    fillList();
    Text3->setReadOnly(true);
    setCaption(QStringLiteral("Equipment - ") + nick + QStringLiteral(" has been saved"));
    m_watch->reset();
}

void Form7::updateItem() {
    const QString nick = Text3->text();
    if (nick.isEmpty())
        return;
    if (!rewriteRecord(db(), tables::equipment, {{kNickName, nick}}, fieldValues(),
                       QStringLiteral("This item could not be found, so nothing was saved.")))
        return;
    fillList();
    // Written without a space before "has", as the window always has.
    setCaption(QStringLiteral("Equipment - ") + nick + QStringLiteral("has been updated"));
    m_watch->reset();
}

} // namespace veil
