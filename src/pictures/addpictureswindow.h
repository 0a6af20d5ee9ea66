// The Add Pictures window (Form10): attach a photograph to an investigation.
#pragma once

#include "shell/casewindow.h"

class QFrame;
class QLabel;
class QLineEdit;
class QTextEdit;

namespace veil {

class EditWatch;
class ImageButton;
class PictureBox;

// Add Pictures: attaches a photograph to the investigation chosen on the
// dashboard when the window opened. The picked or dropped file is only shown
// until Save copies it to "\Investigations\<ID>\<title>.<extension>" and
// adds the record to "Pictures".
//
// Controls (designer names):
//   Image1             the picture area (drop target)
//   Label1 "Title:"    Text1 the title, with Line1 drawn under it
//   Label2 "Summary:"  RichTextBox1 the summary (plain text)
//   Label3 on Image2 "Close", Label4 on Image3 "Image", Label5 on Image4 "Save",
//   Label6 on Image5 "New"
//   Text2              hidden: the chosen file
class Form10 : public CaseWindow {
    Q_OBJECT
public:
    explicit Form10(MDIForm1& frame);

    void load() override;
    bool hasUnsavedChanges() const override;

    void Image_Click();
    void Save_Click();
    void New_Click();
    void Image1_Dropped(const QStringList& files);

    const QString& investigation() const { return m_investigation; }
    const QString& investigationId() const { return m_id; }
    const QString& storedPath() const { return m_storedPath; }
    QString chosenFile() const;

    PictureBox* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QFrame* Line1 = nullptr;
    QLabel* Label2 = nullptr;
    QTextEdit* RichTextBox1 = nullptr;
    QLineEdit* Text2 = nullptr;
    ImageButton* Label3 = nullptr;
    ImageButton* Label4 = nullptr;
    ImageButton* Label5 = nullptr;
    ImageButton* Label6 = nullptr;
    // The chosen file's date taken, along the foot of the picture; hidden when not known.
    QLabel* DateTakenLabel = nullptr;

private:
    void writeBack(const QString& title);
    void showDateTaken(const QString& file);

    QString m_investigation; // the investigation's FullDate_Time, taken at load
    QString m_id;            // its ID, found at save time
    QString m_storedPath;    // the copy's path relative to the program folder
    EditWatch* m_watch = nullptr;
};

} // namespace veil
