// The Investigation window (Form3): one night at a location, its conditions and team.
#pragma once

#include "shell/casewindow.h"
#include "records/datetimeboxes.h"

#include <QList>
#include <QString>

#include <utility>

class QGroupBox;
class QLineEdit;
class QListWidget;
class QTextEdit;

namespace veil {

class EditWatch;
class ImageButton;
class MarkList;
class PictureBox;

// The Investigation window: one investigation at one location, stored in the
// table "Investigations" under the key FullDate_Time composed from its date,
// time and auto number. The date and time are locked once the record exists,
// because interviews and pictures name the investigation by that key.
//
// Controls (objectName):
//   Frame1  date frame, titled with the location: Text1..Text6 (see DateTimeBoxes)
//   Frame2  "Conditions": Text7 Outside Temp, Text8 Inside Temp, Text9 Humidity,
//           Text10 Moon Phase, Text11 Wind Speed, Text12 Weather, Text13 Barometer
//           (captions Label6..Label12)
//   Frame3  "Equipment List": List2 (click to mark, table order)
//   Frame4  "Investigators Involved": List1 (click to mark, sorted)
//   Image1  the location's picture, taken from the dashboard
//   Frame5  "Initial Thoughts and Comments (First Impressions)": RichTextBox1
//   Frame6  "Media Archive": Text15 input, image button Label13 "Add" on Image2,
//           List3 entries (sorted)
//   Frame7  "Investigation Notes": RichTextBox2
//   hidden  Text14 mode key ("New" or the FullDate_Time shown), Text17 location,
//           Text18 investigators text, Text19 equipment text, Text21 archive text,
//           Text22 unused
class Form3 : public CaseWindow {
    Q_OBJECT
public:
    explicit Form3(MDIForm1& frame);

    void load() override;
    void unloaded() override;
    bool hasUnsavedChanges() const override;

    void Load_Investigation();
    void Save_New_Investigation();
    void Update_Investigation();
    void Lock_Date_Time();
    void Unlock_Date_Time();

    // The menu items and the image button.
    void New();
    void Save();
    void Add();

    DateTimeBoxes dateTime;
    QGroupBox* Frame1 = nullptr;
    QLineEdit* Text7 = nullptr;
    QLineEdit* Text8 = nullptr;
    QLineEdit* Text9 = nullptr;
    QLineEdit* Text10 = nullptr;
    QLineEdit* Text11 = nullptr;
    QLineEdit* Text12 = nullptr;
    QLineEdit* Text13 = nullptr;
    MarkList* List1 = nullptr; // members
    MarkList* List2 = nullptr; // equipment
    QListWidget* List3 = nullptr; // media archive
    QLineEdit* Text15 = nullptr;
    ImageButton* Label13 = nullptr;
    PictureBox* Image1 = nullptr;
    QTextEdit* RichTextBox1 = nullptr;
    QTextEdit* RichTextBox2 = nullptr;
    QLineEdit* Text14 = nullptr;
    QLineEdit* Text17 = nullptr;
    QLineEdit* Text18 = nullptr;
    QLineEdit* Text19 = nullptr;
    QLineEdit* Text21 = nullptr;
    QLineEdit* Text22 = nullptr;

private:
    QList<QLineEdit*> conditionBoxes() const;
    // The single-line boxes of a stored investigation with their fields, in stored order.
    QList<std::pair<QLineEdit*, const char*>> lineFields() const;
    void buildListTexts();
    bool dateTimeFilled() const;
    Fields recordFields() const;
    void setCaptionFor(const QString& suffix = {});

    EditWatch* m_watch = nullptr;
};

} // namespace veil
