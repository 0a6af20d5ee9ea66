// The Interview window (Form4): a witness interview held during an investigation.
#pragma once

#include "shell/casewindow.h"
#include "records/datetimeboxes.h"

class QLineEdit;
class QTextEdit;

namespace veil {

class EditWatch;
class MarkList;

// The Interview window: one witness interview held during an investigation,
// stored in the table "Interview" under its own FullDate_Time key. The date
// and time are locked once the record exists, so the key stays the same.
//
// Controls (objectName):
//   Frame1  "Date": Text1..Text6 (see DateTimeBoxes)
//   Frame2  "Interviewed": Label6 "Name:" Text7, Label7 "Affiliation" Text8
//   Frame3  "Interviewer(s)": List1, the roster in stored order with check boxes
//   Frame4  "Interview": RichTextBox1
//   hidden  Text9 location, Text10 investigation key, Text11 mode key ("New" or
//           the interview's FullDate_Time), Text12 interviewer text
class Form4 : public CaseWindow {
    Q_OBJECT
public:
    explicit Form4(MDIForm1& frame);

    void load() override;
    void unloaded() override;
    bool hasUnsavedChanges() const override;

    void Load_Interview();
    void Save_New_Interview();
    void Update_Interview();
    void Lock_Date_Time();
    void Unlock_Date_Time();

    // The menu items.
    void New();
    void Save();

    DateTimeBoxes dateTime;
    QLineEdit* Text7 = nullptr;
    QLineEdit* Text8 = nullptr;
    MarkList* List1 = nullptr;
    QTextEdit* RichTextBox1 = nullptr;
    QLineEdit* Text9 = nullptr;
    QLineEdit* Text10 = nullptr;
    QLineEdit* Text11 = nullptr;
    QLineEdit* Text12 = nullptr;

private:
    Match recordMatch() const;
    Fields recordFields() const;
    void fillInterviewers();

    EditWatch* m_watch = nullptr;
};

} // namespace veil
