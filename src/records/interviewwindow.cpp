#include "records/interviewwindow.h"

#include "records/newkey.h"
#include "records/recordwords.h"
#include "store/casekey.h"
#include "widgets/controls.h"
#include "widgets/editwatch.h"
#include "store/fileroutines.h"
#include "shell/dashboardwindow.h"
#include "widgets/imagebutton.h"
#include "records/marklist.h"
#include "shell/mainframe.h"
#include "widgets/printwindow.h"
#include "store/ui.h"
#include "records/workingbox.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTextEdit>

namespace veil {

namespace {
const QString kFillMessage = QStringLiteral("Please fill in fields before Saving");
} // namespace

Form4::Form4(MDIForm1& frame) : CaseWindow(frame, QStringLiteral("Form4")) {
    QWidget* c = designClient(QStringLiteral("Interview"), 12015, 14580);

    QGroupBox* date = makeFrame(c, QStringLiteral("Frame1"), QStringLiteral("Date"), twRect(240, 240, 2535, 1935));
    dateTime.build(date);

    QGroupBox* interviewed = makeFrame(c, QStringLiteral("Frame2"), QStringLiteral("Interviewed"),
                                       twRect(2880, 240, 4815, 1935));
    makeLabel(interviewed, QStringLiteral("Label6"), QStringLiteral("Name:"), twRect(120, 390, 1080, 255));
    Text7 = makeTextBox(interviewed, QStringLiteral("Text7"), twRect(1200, 360, 3495, 315));
    makeLabel(interviewed, QStringLiteral("Label7"), QStringLiteral("Affiliation"), twRect(120, 870, 1080, 255));
    Text8 = makeTextBox(interviewed, QStringLiteral("Text8"), twRect(1200, 840, 3495, 315));

    QGroupBox* interviewers = makeFrame(c, QStringLiteral("Frame3"), QStringLiteral("Interviewer(s)"),
                                        twRect(7800, 240, 3975, 1935));
    List1 = new MarkList(interviewers, QStringLiteral("List1"), twRect(120, 300, 3735, 1515),
                         MarkList::Style::Check);

    QGroupBox* interview = makeFrame(c, QStringLiteral("Frame4"), QStringLiteral("Interview"),
                                     twRect(240, 2280, 11535, 12060));
    RichTextBox1 = makeFrameText(interview, QStringLiteral("RichTextBox1"));

    makeWorkingBoxes(c, {{&Text9, "Text9"}, {&Text10, "Text10"}, {&Text11, "Text11"}, {&Text12, "Text12"}});

    setFocusOrder(dateTime.focusOrderWith({Text7, Text8, RichTextBox1, List1}));

    QMenu* file = addMenu(QStringLiteral("file"), QStringLiteral("&File"));
    addItem(file, QStringLiteral("new"), QStringLiteral("&New"), [this] { New(); });
    addItem(file, QStringLiteral("save"), QStringLiteral("&Save"), [this] { Save(); });
    addItem(file, QStringLiteral("print"), QStringLiteral("&Print"), [this] { printWindow(this); });
    addItem(file, QStringLiteral("close"), QStringLiteral("&Close"), [this] { unload(); });
    addHelpMenu();
    m_watch = new EditWatch(c);
    m_watch->watchMarks(List1);
}

void Form4::load() {
    Form2* dashboard = frame().formAs<Form2>(QStringLiteral("Form2"));
    Text9->setText(dashboard ? dashboard->Combo1->currentText() : QString());
    Text10->setText(dashboard ? dashboard->Combo2->currentText() : QString());
    Text11->setText(dashboard ? dashboard->Combo3->currentText() : kNew);
    setCaption(QStringLiteral("Interview : ") + Text9->text() + QStringLiteral(" - ") + Text10->text());
    CenterForm();
    openDatabase();
    fillInterviewers();

    if (Text11->text() != kNew) {
        Load_Interview();
    } else {
        // The investigation key starts with its date; the year box keeps four characters of
        // the third piece ("2005 11:45 pm" gives 2005).
        const QString key = Text10->text();
        const QString dash = QStringLiteral("-");
        dateTime.setDate({GetField(key, dash, 1), GetField(key, dash, 2), GetField(key, dash, 3)});
    }
    m_watch->reset();
}

void Form4::unloaded() { showDashboardAgain(); }

bool Form4::hasUnsavedChanges() const { return m_watch->changed(); }

void Form4::fillInterviewers() {
    List1->clear();
    List1->addItems(db().column(tables::investigators, QStringLiteral("Name")));
}

Match Form4::recordMatch() const {
    return {{kKey, Text11->text()},
            {QStringLiteral("Location"), Text9->text()},
            {QStringLiteral("Investigation"), Text10->text()}};
}

void Form4::Load_Interview() {
    if (const auto rec = db().findFirst(tables::interview, recordMatch())) {
        const auto f = [&rec](const char* name) { return rec->text(QLatin1String(name)); };
        dateTime.setParts(*rec);
        Text7->setText(f("Name"));
        Text8->setText(f("Affiliation"));
        Text12->setText(f("Interviewer"));
        RichTextBox1->setPlainText(f("Interview"));
    }
    List1->markFrom(Text12->text());
    Lock_Date_Time();
}

void Form4::Save() {
    if (Text11->text() == kNew)
        Save_New_Interview();
    else
        Update_Interview();
}

Fields Form4::recordFields() const {
    const Fields place{{QStringLiteral("Location"), Text9->text()}, {QStringLiteral("Investigation"), Text10->text()}};
    return place + dateTime.fields() + Fields{
        {QStringLiteral("Name"), Text7->text()},
        {QStringLiteral("Affiliation"), Text8->text()},
        {QStringLiteral("Interviewer"), Text12->text()},
        {QStringLiteral("Interview"), RichTextBox1->toPlainText()},
    };
}

void Form4::Save_New_Interview() {
    Text12->setText(List1->markedText());
    if (dateTime.month->text().isEmpty()) {
        message(kFillMessage);
        return;
    }
    const QString key = addKeyedRecord(db(), tables::interview, recordFields(), dateTime.parts());
    // The window turns to the stored record only once it is really stored.
    Text11->setText(key);
    setCaption(QStringLiteral("Interview : ") + Text9->text() + QStringLiteral(" - ") + key +
               QStringLiteral(" has been saved"));
    m_watch->reset();

    if (Form2* dashboard = frame().loadedAs<Form2>(QStringLiteral("Form2")); dashboard && dashboard->load_combo3()) {
        Form2::selectEntry(dashboard->Combo3, key);
        dashboard->Label8->setText(QStringLiteral("View"));
    }
    Lock_Date_Time();
}

void Form4::Update_Interview() {
    Text12->setText(List1->markedText());
    if (dateTime.month->text().isEmpty()) {
        message(kFillMessage);
        return;
    }
    const auto rec = findToUpdate(db(), tables::interview, recordMatch(),
                                  QStringLiteral("This interview could not be found, so nothing was saved."));
    if (!rec)
        return;
    updateKeyedRecord(db(), tables::interview, *rec, recordFields(), dateTime.parts());
    setCaption(QStringLiteral("Interview : ") + Text9->text() + QStringLiteral(" - ") + Text10->text() +
               QStringLiteral(" has been updated"));
    m_watch->reset();
}

void Form4::New() {
    setCaption(QStringLiteral("Interview - New"));
    Text11->setText(kNew);
    dateTime.setDate(today());
    // AM/PM and the interviewer text stay as they are.
    dateTime.hour->clear();
    dateTime.minute->clear();
    Text7->clear();
    Text8->clear();
    RichTextBox1->clear();
    // Read the roster again: members added meanwhile appear, none ticked.
    fillInterviewers();
    Unlock_Date_Time();
    m_watch->reset();
}

void Form4::Lock_Date_Time() { dateTime.setLocked(true); }

void Form4::Unlock_Date_Time() { dateTime.setLocked(false); }

} // namespace veil
