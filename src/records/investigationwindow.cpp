#include "records/investigationwindow.h"

#include "records/newkey.h"
#include "records/recordwords.h"
#include "store/casekey.h"
#include "widgets/controls.h"
#include "widgets/editwatch.h"
#include "shell/dashboardwindow.h"
#include "widgets/imagebutton.h"
#include "records/marklist.h"
#include "shell/investigationlinks.h"
#include "records/reportdialog.h"
#include "shell/mainframe.h"
#include "widgets/picturebox.h"
#include "widgets/printwindow.h"
#include "widgets/sortedlist.h"
#include "store/ui.h"
#include "records/workingbox.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTextEdit>

namespace veil {

namespace {
const QString kLocation = QStringLiteral("Location");
const QString kDateTimeMessage = QStringLiteral("Please fill in the Date & Time fields before Saving");
} // namespace

Form3::Form3(MDIForm1& frame) : CaseWindow(frame, QStringLiteral("Form3")) {
    QWidget* c = designClient(QStringLiteral("Investigation"), 12300, 14580);

    Frame1 = makeFrame(c, QStringLiteral("Frame1"), QStringLiteral("Date"), twRect(240, 240, 2535, 1335));
    dateTime.build(Frame1);

    QGroupBox* conditions =
        makeFrame(c, QStringLiteral("Frame2"), QStringLiteral("Conditions"), twRect(2880, 240, 9135, 1335));
    struct Condition {
        QLineEdit** box;
        const char* label;
        const char* name;
        const char* caption;
    };
    const Condition rows[] = {
        {&Text7, "Label6", "Text7", "Outside Temp:"}, {&Text8, "Label7", "Text8", "Inside Temp:"},
        {&Text9, "Label8", "Text9", "Humidity:"},     {&Text10, "Label9", "Text10", "Moon Phase:"},
        {&Text11, "Label10", "Text11", "Wind Speed:"}, {&Text12, "Label11", "Text12", "Weather:"},
        {&Text13, "Label12", "Text13", "Barometer:"},
    };
    // Each column holds a caption and its box; the captions take the room their
    // longest text needs ("Outside Temp:"), with a gap before the box.
    int captionWidth = 0;
    for (const Condition& row : rows)
        captionWidth = std::max(captionWidth, conditions->fontMetrics().horizontalAdvance(QLatin1String(row.caption)));
    for (int i = 0; i < 7; ++i) {
        const QRect column = twRect(120 + (i % 4) * 2250, i < 4 ? 360 : 840, 2190, 315);
        makeLabel(conditions, QLatin1String(rows[i].label), QLatin1String(rows[i].caption),
                  QRect(column.left(), column.top() + tw(30), captionWidth, tw(255)));
        const int boxLeft = column.left() + captionWidth + tw(60);
        *rows[i].box = makeTextBox(conditions, QLatin1String(rows[i].name),
                                   QRect(boxLeft, column.top(), column.right() + 1 - boxLeft, column.height()));
    }

    QGroupBox* equipment = makeFrame(c, QStringLiteral("Frame3"), QStringLiteral("Equipment List"),
                                     twRect(240, 1680, 3375, 3135));
    List2 = new MarkList(equipment, QStringLiteral("List2"), twRect(120, 300, 3135, 2715),
                         MarkList::Style::Select);
    QGroupBox* members = makeFrame(c, QStringLiteral("Frame4"), QStringLiteral("Investigators Involved"),
                                   twRect(3720, 1680, 3495, 3135));
    List1 = new MarkList(members, QStringLiteral("List1"), twRect(120, 300, 3255, 2715),
                         MarkList::Style::Select);

    Image1 = new PictureBox(c, QStringLiteral("Image1"), twRect(7920, 1800, 3735, 2895));

    QGroupBox* thoughts = makeFrame(c, QStringLiteral("Frame5"),
                                    QStringLiteral("Initial Thoughts and Comments (First Impressions)"),
                                    twRect(240, 4920, 7935, 1815));
    RichTextBox1 = makeFrameText(thoughts, QStringLiteral("RichTextBox1"));

    QGroupBox* archive = makeFrame(c, QStringLiteral("Frame6"), QStringLiteral("Media Archive"),
                                   twRect(8280, 4920, 3735, 1815));
    Text15 = makeTextBox(archive, QStringLiteral("Text15"), twRect(120, 300, 2415, 315));
    // An archive entry becomes a list item, so it must not hold the list's separator.
    refuseCharacters(Text15, QStringLiteral(",+="));
    Label13 = new ImageButton(archive, QStringLiteral("Label13"), QStringLiteral("Image2"),
                              QStringLiteral("Add"), twRect(2640, 300, 975, 315));
    connect(Label13, &ImageButton::released, this, &Form3::Add);
    List3 = new QListWidget(archive);
    List3->setObjectName(QStringLiteral("List3"));
    List3->setGeometry(twRect(120, 720, 3495, 975));
    List3->setFocusPolicy(Qt::ClickFocus); // not a stop of the focus order

    QGroupBox* notes = makeFrame(c, QStringLiteral("Frame7"), QStringLiteral("Investigation Notes"),
                                 twRect(240, 6840, 11775, 7575));
    RichTextBox2 = makeFrameText(notes, QStringLiteral("RichTextBox2"));

    makeWorkingBoxes(c, {{&Text14, "Text14"}, {&Text17, "Text17"}, {&Text18, "Text18"}, {&Text19, "Text19"},
                         {&Text21, "Text21"}, {&Text22, "Text22"}});

    QList<QWidget*> rest;
    for (QLineEdit* box : conditionBoxes())
        rest << box;
    setFocusOrder(dateTime.focusOrderWith(rest << RichTextBox1 << Text15 << RichTextBox2 << List1 << List2));

    QMenu* file = addMenu(QStringLiteral("file"), QStringLiteral("&File"));
    addItem(file, QStringLiteral("new"), QStringLiteral("New"), [this] { New(); });
    addItem(file, QStringLiteral("print"), QStringLiteral("Print"), [this] { printWindow(this); });
    addItem(file, QStringLiteral("report"), QStringLiteral("Report…"), [this] {
        if (Text14->text() == kNew) {
            message(QStringLiteral("Please save the investigation before making its report."));
            return;
        }
        openReportDialog(this, Text17->text() + u' ' + Text14->text(),
                         [this, key = Text14->text(), place = Text17->text()](const reports::Options& o) {
                             return reports::investigationReport(db(), programFolder(), key, place, o);
                         });
    });
    addItem(file, QStringLiteral("save"), QStringLiteral("&Save"), [this] { Save(); });
    addItem(file, QStringLiteral("close"), QStringLiteral("Close"), [this] { unload(); });
    // The evidence log and the timeline of the investigation shown, once it is stored.
    addEvidenceItems(*this, addMenu(QStringLiteral("evidence"), QStringLiteral("E&vidence")), [this] {
        if (Text14->text() == kNew)
            return message(QStringLiteral("Please save the investigation first.")), QString();
        return Text14->text();
    });
    addHelpMenu(QStringLiteral("help"), QStringLiteral("help1"), QStringLiteral("&About"));
    m_watch = new EditWatch(c);
    m_watch->watchMarks(List1);
    m_watch->watchMarks(List2);
}

QList<QLineEdit*> Form3::conditionBoxes() const { return {Text7, Text8, Text9, Text10, Text11, Text12, Text13}; }

void Form3::setCaptionFor(const QString& suffix) {
    setCaption(QStringLiteral("Investigation : ") + Text17->text() + QStringLiteral(" - ") + Text14->text() +
               suffix);
}

void Form3::load() {
    CenterForm();
    Form2* dashboard = frame().formAs<Form2>(QStringLiteral("Form2"));
    Text17->setText(dashboard ? dashboard->Combo1->currentText() : QString());
    Text14->setText(dashboard ? dashboard->Combo2->currentText() : kNew);
    setCaptionFor();
    Frame1->setTitle(Text17->text());
    openDatabase();

    // Every member is listed here, active or not: a stored investigation may name former members.
    addAllSorted(List1, db().column(tables::investigators, QStringLiteral("Name")));
    List2->addItems(db().column(tables::equipment, QStringLiteral("Nick_Name")));

    if (Text14->text() != kNew)
        Load_Investigation();
    else
        dateTime.setDate(today());

    if (dashboard)
        Image1->setPicture(dashboard->Image2->picture());
    m_watch->reset();
}

void Form3::unloaded() { showDashboardAgain(); }

bool Form3::hasUnsavedChanges() const { return m_watch->changed(); }

void Form3::Load_Investigation() {
    const auto rec = db().findFirst(tables::investigations,
                                    {{kKey, Text14->text()}, {kLocation, Text17->text()}});
    if (rec) {
        const auto f = [&rec](const char* name) { return rec->text(QLatin1String(name)); };
        Text17->setText(f("Location"));
        dateTime.setParts(*rec);
        for (const auto& [box, field] : lineFields())
            box->setText(f(field));
        RichTextBox1->setPlainText(f("Initial_Thoughts"));
        RichTextBox2->setPlainText(f("Investigation_Notes"));
        Text21->setText(f("Tape_Archive"));
    }
    List1->markFrom(Text18->text());
    List2->markFrom(Text19->text());
    for (const QString& entry : listItems(Text21->text(), 100))
        addSorted(List3, entry);
    Lock_Date_Time();
}

void Form3::Save() {
    if (Text14->text() == kNew)
        Save_New_Investigation();
    else
        Update_Investigation();
}

void Form3::buildListTexts() {
    Text18->setText(List1->markedText());
    Text19->setText(List2->markedText());
    QStringList entries;
    for (int row = 0; row < List3->count(); ++row)
        entries << List3->item(row)->text();
    Text21->setText(listText(entries));
}

bool Form3::dateTimeFilled() const {
    // AM/PM may stay empty.
    for (const QLineEdit* box : {dateTime.month, dateTime.day, dateTime.year, dateTime.hour, dateTime.minute})
        if (box->text().isEmpty())
            return false;
    return true;
}

QList<std::pair<QLineEdit*, const char*>> Form3::lineFields() const {
    return {{Text7, "Outside_Temp"}, {Text8, "Inside_Temp"}, {Text9, "Humidity"},
            {Text10, "Moon_Phase"},  {Text11, "Wind_Speed"}, {Text12, "Weather"},
            {Text13, "Barometer"},   {Text19, "equipment"},  {Text18, "investigators"}};
}

Fields Form3::recordFields() const {
    Fields fields = Fields{{kLocation, Text17->text()}} + dateTime.fields();
    for (const auto& [box, field] : lineFields())
        fields.append({QLatin1String(field), box->text()});
    return fields + Fields{
        {QStringLiteral("Initial_Thoughts"), RichTextBox1->toPlainText()},
        {QStringLiteral("Investigation_Notes"), RichTextBox2->toPlainText()},
        {QStringLiteral("Tape_Archive"), Text21->text()},
    };
}

void Form3::Save_New_Investigation() {
    buildListTexts();
    if (!dateTimeFilled()) {
        message(kDateTimeMessage);
        return;
    }
    const QString key = addKeyedRecord(db(), tables::investigations, recordFields(), dateTime.parts());
    // The window turns to the stored record only once it is really stored.
    Text14->setText(key);
    setCaptionFor(QStringLiteral(" has been saved"));

    m_watch->reset();

    if (Form2* dashboard = frame().loadedAs<Form2>(QStringLiteral("Form2")); dashboard && dashboard->load_combo2()) {
        // Chosen as the user would: the Interviews and Pictures lists become this investigation's.
        Form2::selectEntry(dashboard->Combo2, key);
        dashboard->Combo2_Click();
    }
    Lock_Date_Time();
}

void Form3::Update_Investigation() {
    buildListTexts();
    if (!dateTimeFilled()) {
        message(kDateTimeMessage);
        return;
    }
    const auto rec = findToUpdate(db(), tables::investigations,
                                  {{kKey, Text14->text()}, {kLocation, Text17->text()}},
                                  QStringLiteral("This investigation could not be found, so nothing was saved."));
    if (!rec)
        return;
    updateKeyedRecord(db(), tables::investigations, *rec, recordFields(), dateTime.parts());
    setCaptionFor(QStringLiteral(" has been updated"));
    m_watch->reset();
}

void Form3::New() {
    for (QLineEdit* box : dateTime.boxes())
        box->clear();
    dateTime.ap->setText(QStringLiteral("pm"));
    for (QLineEdit* box : conditionBoxes())
        box->clear();
    Text14->setText(kNew);
    RichTextBox1->clear();
    RichTextBox2->clear();
    Text18->clear();
    Text19->clear();
    Text21->clear();
    List3->clear();
    List1->clear();
    List2->clear();
    Unlock_Date_Time();

    if (db().count(tables::investigators) == 0)
        message(QStringLiteral("Please add investigators before creating an investigation"));
    else
        addAllSorted(List1, db().column(tables::investigators, QStringLiteral("Name"),
                                        {{QStringLiteral("Active"), QStringLiteral("1")}}));
    if (db().count(tables::equipment) == 0)
        message(QStringLiteral("Please add equipment before creating an investigation"));
    else
        List2->addItems(db().column(tables::equipment, QStringLiteral("Nick_Name")));
    setCaptionFor();
    m_watch->reset();
}

void Form3::Add() {
    if (Text15->text().isEmpty())
        return;
    addSorted(List3, Text15->text());
    Text15->clear();
    m_watch->mark();
}

void Form3::Lock_Date_Time() { dateTime.setLocked(true); }

void Form3::Unlock_Date_Time() { dateTime.setLocked(false); }

} // namespace veil
