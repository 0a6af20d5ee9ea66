#include "shell/dashboardwindow.h"

#include "widgets/art.h"
#include "widgets/controls.h"
#include "widgets/imagebutton.h"
#include "shell/investigationlinks.h"
#include "shell/mainframe.h"
#include "store/paths.h"
#include "widgets/picturebox.h"
#include "widgets/sortedlist.h"
#include "store/ui.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>

namespace veil {

namespace {
const QString kNew = QStringLiteral("New");
const QString kAdd = QStringLiteral("Add");
const QString kView = QStringLiteral("View");
const QString kChooseLocation = QStringLiteral("Please select a location");

QLabel* heading(QWidget* parent, const QString& name, const QString& text, const QRect& r) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(r);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

QComboBox* list(QWidget* parent, const QString& name, const QRect& r) {
    QComboBox* c = makeEditableList(parent, name, r);
    c->setMaxVisibleItems(20);
    return c;
}

// The dashboard's own entry ("New", "Add") carries this mark, so that a record
// whose key is the same word stays a record.
const QVariant kModeEntry = true;

int modeEntry(const QComboBox* box) {
    for (int i = 0; i < box->count(); ++i)
        if (box->itemData(i) == kModeEntry)
            return i;
    return -1;
}
} // namespace

Form2::Form2(MDIForm1& frame) : CaseWindow(frame, QStringLiteral("Form2")) {
    QWidget* c = designClient(kProgramName, 7290, 4005);

    Image1 = makePicture(c, QStringLiteral("Image1"), art::Picture::DashboardBanner,
                         twRect(120, 120, 3090, 1050));

    auto* photoFrame = new QFrame(c);
    photoFrame->setFrameShape(QFrame::Box);
    photoFrame->setGeometry(twRect(105, 1305, 3120, 2355));
    Image2 = new PictureBox(c, QStringLiteral("Image2"), twRect(120, 1320, 3090, 2325));
    Image2->setPicture(art::draw(art::Picture::NoRecords)); // the design picture

    Label3 = new QLabel(c);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(twRect(3480, 120, 3690, 300));
    QPalette red = Label3->palette();
    red.setColor(QPalette::WindowText, QColor(128, 0, 0));
    Label3->setPalette(red);
    QFont big = Label3->font();
    big.setBold(true);
    Label3->setFont(big);

    struct Row {
        QComboBox** box;
        ImageButton** button;
        const char* heading;
        const char* headingText;
        const char* boxName;
        const char* labelName;
        const char* faceName;
        const char* initial;
    };
    const Row rows[] = {
        {&Combo1, &Label6, "Label1", "Locations", "Combo1", "Label6", "Image3", "New"},
        {&Combo2, &Label7, "Label2", "Investigations", "Combo2", "Label7", "Image6", "New"},
        {&Combo3, &Label8, "Label4", "Interviews", "Combo3", "Label8", "Image7", "New"},
        {&Combo4, &Label9, "Label5", "Pictures", "Combo4", "Label9", "Image8", "Add"},
    };
    int top = 480;
    for (const Row& r : rows) {
        heading(c, QLatin1String(r.heading), QLatin1String(r.headingText), twRect(3480, top, 2400, 255));
        *r.box = list(c, QLatin1String(r.boxName), twRect(3480, top + 270, 2520, 330));
        (*r.box)->setEditText(QLatin1String(r.initial));
        *r.button = new ImageButton(c, QLatin1String(r.labelName), QLatin1String(r.faceName),
                                    QLatin1String(r.initial), twRect(6120, top + 292, 930, 285));
        top += 840;
    }

    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    connect(Combo2, &QComboBox::activated, this, [this] { Combo2_Click(); });
    connect(Combo3, &QComboBox::activated, this, [this] { Combo3_Click(); });
    connect(Combo4, &QComboBox::activated, this, [this] { Combo4_Click(); });
    connect(Label6, &ImageButton::released, this, &Form2::Label6_Action);
    connect(Label7, &ImageButton::released, this, &Form2::Label7_Action);
    connect(Label8, &ImageButton::released, this, &Form2::Label8_Action);
    connect(Label9, &ImageButton::released, this, &Form2::Label9_Action);

    QMenu* file = addMenu(QStringLiteral("file"), QStringLiteral("&File"));
    addItem(file, QStringLiteral("exit"), QStringLiteral("&Exit"), [this] { this->frame().close(); });
    QMenu* edit = addMenu(QStringLiteral("edit"), QStringLiteral("&Edit"));
    addItem(edit, QStringLiteral("investigators"), QStringLiteral("&Investigators"), [this] {
        this->frame().show(QStringLiteral("Form5"));
        unload();
    });
    addItem(edit, QStringLiteral("equipment"), QStringLiteral("&Equipment"), [this] {
        this->frame().show(QStringLiteral("Form7"));
        unload();
    });
    QAction* find = addItem(edit, QStringLiteral("find"), QStringLiteral("&Find…"),
                            [this] { this->frame().show(QStringLiteral("SearchWindow")); });
    find->setShortcut(QKeySequence::Find);
    // Also the window's own action, so the key works wherever its focus is.
    find->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(find);
    QMenu* tools = addMenu(QStringLiteral("tools"), QStringLiteral("&Tools"));
    addItem(tools, QStringLiteral("database"), QStringLiteral("&Database Tools"),
            [this] { this->frame().show(QStringLiteral("Form11")); });
    addItem(tools, QStringLiteral("verify"), QStringLiteral("&Verify Evidence..."),
            [this] { this->frame().show(QStringLiteral("VerifyWindow")); });
    // The evidence log and the timeline of the chosen investigation.
    addEvidenceItems(*this, addMenu(QStringLiteral("evidence"), QStringLiteral("E&vidence")), [this] {
        if (choosesNew(Combo1))
            return message(QStringLiteral("Please select a location")), QString();
        if (choosesNew(Combo2))
            return message(QStringLiteral("Please select an investigation")), QString();
        return Combo2->currentText();
    });
    addHelpMenu();
}

void Form2::load() {
    CenterForm();
    for (QComboBox* box : {Combo2, Combo3, Combo4})
        fillList(box);
    openDatabase();
    fillList(Combo1, db().column(tables::location, QStringLiteral("LocationName")));
}

void Form2::fillList(QComboBox* box, const QStringList& keys) {
    const QString word = box == Combo4 ? kAdd : kNew;
    box->clear();
    int at = 0;
    if (box == Combo1 || box == Combo2) {
        // Sorted lists: the mode word stands in its place, before records of the same text.
        addAllSorted(box, keys);
        while (at < box->count() && sortedBefore(box->itemText(at), word))
            ++at;
    } else {
        box->addItems(keys);
    }
    box->insertItem(at, word, kModeEntry);
    box->setCurrentIndex(at);
}

bool Form2::choosesNew(const QComboBox* list) const {
    const QString word = list == Combo4 ? kAdd : kNew;
    if (list->currentText() != word)
        return false;
    const int i = list->currentIndex();
    return i < 0 || list->itemText(i) != word || list->itemData(i) == kModeEntry;
}

void Form2::selectEntry(QComboBox* list, const QString& key) {
    const int at = list->findText(key, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (at >= 0)
        list->setCurrentIndex(at);
    else
        list->setEditText(key);
}

void Form2::resetInvestigations(const QStringList& keys) {
    fillList(Combo2, keys);
    Label7->setText(kNew);
    resetInterviewsAndPictures();
}

void Form2::resetInterviewsAndPictures(const QStringList& interviews, const QStringList& pictures) {
    fillList(Combo3, interviews);
    Label8->setText(kNew);
    fillList(Combo4, pictures);
    Label9->setText(kAdd);
}

void Form2::showLocationPicture(const QString& imageName) {
    if (!Image2->loadFile(storedPicturePath(programFolder(), files::locations, imageName)))
        Image2->loadFile(programPath(programFolder(), files::noImages));
}

bool Form2::load_combo2() {
    const QString location = Combo1->currentText();
    // Everything is read before anything is shown, so a failing database
    // cannot leave the lists half refilled.
    QStringList keys;
    std::optional<Record> rec;
    try {
        keys = db().column(tables::investigations, QStringLiteral("FullDate_Time"),
                           {{QStringLiteral("Location"), location}});
        rec = db().findLast(tables::location, {{QStringLiteral("LocationName"), location}});
    } catch (const DbError& e) {
        Combo1->setCurrentIndex(modeEntry(Combo1));
        showNoLocation();
        Label3->clear();
        message(e.text());
        return false;
    }
    Label3->setText(location);
    // The lists below belonged to another location's investigation: they start over.
    resetInvestigations(keys);
    // The last record of that name gives the picture; with none, the one found before stays.
    if (rec)
        m_pictureName = rec->text(QStringLiteral("Image"));
    showLocationPicture(m_pictureName);
    return true;
}

bool Form2::load_combo3() {
    const QString location = Combo1->currentText();
    const QString investigation = Combo2->currentText();
    QStringList interviews, pictures;
    try {
        interviews = db().column(tables::interview, QStringLiteral("FullDate_Time"),
                                 {{QStringLiteral("Location"), location},
                                  {QStringLiteral("Investigation"), investigation}});
        pictures = db().column(tables::pictures, QStringLiteral("Title"),
                               {{QStringLiteral("Investigation"), investigation}});
    } catch (const DbError& e) {
        Combo2->setCurrentIndex(modeEntry(Combo2));
        showNoInvestigation();
        message(e.text());
        return false;
    }
    resetInterviewsAndPictures(interviews, pictures);
    return true;
}

void Form2::chooseRecord(const QString& location, const QString& investigation, const QString& interview,
                         const QString& picture) {
    struct Step {
        QComboBox* box;
        const QString& key;
        void (Form2::*click)();
    };
    for (const Step& s : {Step{Combo1, location, &Form2::Combo1_Click}, Step{Combo2, investigation, &Form2::Combo2_Click},
                          Step{Combo3, interview, &Form2::Combo3_Click}, Step{Combo4, picture, &Form2::Combo4_Click}}) {
        if (s.key.isEmpty())
            continue;
        const int at = s.box->findText(s.key, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (at >= 0)
            s.box->setCurrentIndex(at);
        s.box->setEditText(s.key);
        (this->*s.click)();
    }
}

void Form2::chooseIn(const QComboBox* box, bool (Form2::*fillBelow)(), QLabel* button,
                     void (Form2::*showNone)()) {
    if (!choosesNew(box)) {
        if ((this->*fillBelow)())
            button->setText(kView);
        return;
    }
    (this->*showNone)();
}

void Form2::Combo1_Click() {
    chooseIn(Combo1, &Form2::load_combo2, Label6, &Form2::showNoLocation);
}

void Form2::showNoLocation() {
    Label6->setText(kNew);
    resetInvestigations();
    Image2->loadFile(programPath(programFolder(), files::noRecords)); // a failure leaves the picture
}

void Form2::Combo2_Click() {
    chooseIn(Combo2, &Form2::load_combo3, Label7, &Form2::showNoInvestigation);
}

void Form2::showNoInvestigation() {
    Label7->setText(kNew);
    resetInterviewsAndPictures();
}

void Form2::Combo3_Click() { Label8->setText(choosesNew(Combo3) ? kNew : kView); }

void Form2::Combo4_Click() { Label9->setText(choosesNew(Combo4) ? kAdd : kView); }

void Form2::prerequisiteCheck() {
    m_flag = QStringLiteral("0");
    if (db().count(tables::investigators) == 0) {
        message(QStringLiteral("Please add Investigators First"));
        m_flag = QStringLiteral("1");
        frame().show(QStringLiteral("Form5"));
        return;
    }
    if (db().count(tables::equipment) == 0) {
        message(QStringLiteral("Please add Equipment First"));
        m_flag = QStringLiteral("1");
        frame().show(QStringLiteral("Form7"));
    }
}

void Form2::Label6_Action() {
    if (choosesNew(Combo1)) {
        prerequisiteCheck();
        if (m_flag == QLatin1String("1"))
            return;
    }
    frame().show(QStringLiteral("Form1"));
}

bool Form2::refuseNew(const QComboBox* box, const QString& say) {
    if (!choosesNew(box))
        return false;
    message(say);
    return true;
}

void Form2::Label7_Action() {
    if (refuseNew(Combo1, kChooseLocation))
        return;
    frame().show(QStringLiteral("Form3"));
}

void Form2::Label8_Action() {
    if (refuseNew(Combo1, kChooseLocation) ||
        refuseNew(Combo2, QStringLiteral("Please select an Investigation")))
        return;
    frame().show(QStringLiteral("Form4"));
}

void Form2::Label9_Action() {
    if (refuseNew(Combo1, kChooseLocation) ||
        refuseNew(Combo2, QStringLiteral("Please select an investigation")))
        return;
    frame().show(choosesNew(Combo4) ? QStringLiteral("Form10") : QStringLiteral("Form9"));
}

} // namespace veil
