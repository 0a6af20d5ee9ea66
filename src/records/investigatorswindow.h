// The Investigators window (Form5): the roster of the team, one member at a time.
#pragma once

#include "shell/casewindow.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTextEdit;

namespace veil {

class EditWatch;
class ImageButton;
class PhotoAttacher;
class PictureBox;

// The roster of investigators: one record of the table "Investigators" per
// member, found by the member's name, which is also the base of the photo's
// file name in "\investigators\". The mode lives in the caption:
// "Investigators - Add New" adds, any other caption rewrites the member named
// in the Name box.
//
// Controls (designer names):
//   Image1             the photo area (drop target), top left
//   Frame1             "Contact Info"
//     Label1 "Name:"     Text1   Name (refuses "," "+" "=")
//     Label2 "Address:"  Text2, Text3  the two address lines
//     Label3 "Phone:"    Text4;  Label4 "Cell:"  Text5
//     Label5 "E-mail:"   Text6   (double-click on the label mails the address)
//     Label6 "Title:"    Text7;  Check1  "Active"
//   Frame2             "Notes"
//     RichTextBox1       the notes (plain text)
//   Label7 on Image2 "Close", Label8 on Image3 "Image", Label9 on Image4 "Save",
//   Label10 on Image5 "New"; Image6, Image7 hidden normal and pressed faces
//   List1              the roster, sorted without regard to case
//   Text8              hidden: the image name
class Form5 : public CaseWindow {
    Q_OBJECT
public:
    explicit Form5(MDIForm1& frame);

    void load() override;
    void unloaded() override;
    bool hasUnsavedChanges() const override;

    void Investigators_View();
    void Clear_Texts();
    void Save_New_Investigator();
    void Update_Investigator();

    void List1_Click();
    void save_Click();
    void new_Click();
    // The "Image" button: a photo through the file-open dialog.
    void Image_Click();

    PictureBox* Image1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QLineEdit* Text5 = nullptr;
    QLineEdit* Text6 = nullptr;
    QLineEdit* Text7 = nullptr;
    QLineEdit* Text8 = nullptr;
    QLabel* Label5 = nullptr;
    QCheckBox* Check1 = nullptr;
    QTextEdit* RichTextBox1 = nullptr;
    QListWidget* List1 = nullptr;
    ImageButton* Label7 = nullptr;
    ImageButton* Label8 = nullptr;
    ImageButton* Label9 = nullptr;
    ImageButton* Label10 = nullptr;

    // The working values of the latest photo attachment.
    QString attachmentExtension() const;
    QString attachmentDestination() const;

private:
    void showPlaceholder();
    QString activeValue() const;
    Fields fieldValues() const;

    PhotoAttacher* m_attach = nullptr;
    EditWatch* m_watch = nullptr;
    bool m_filling = false; // the roster is being refilled: selection changes are not clicks
    bool m_adding = true;   // Add New mode; the caption alone cannot tell a member named "Add New"
};

} // namespace veil
