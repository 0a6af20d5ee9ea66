// The Location window (Form1): a haunted place, its contact, background and photo.
#pragma once

#include "shell/casewindow.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QTextEdit;

namespace veil {

class EditWatch;
class PhotoAttacher;
class PictureBox;

// The Location window: one record of the table "Location", a place with its
// address, contact, background, history, notes, directions and one photo kept
// in "\locations\". It opens for the location in the dashboard's Locations
// list (or a new one for "New") and writes the saved name and photo back into
// the dashboard. The location's name is its key and can be typed only while
// the location is new.
//
// Controls (designer names):
//   Frame1 "Location Information":  Label1 "Name:" Text1; Label2 "Address:" Text2, Text3
//   Frame2 "Contact Information":   Label3 "Name:" Text4; Label4 "Phone:" Text5;
//                                   Label5 "Cell:" Text6; Label6 "E-Mail:" (link) Text7
//   Frame3 "Background Summary":    RichTextBox1
//   Frame4 "Occupant History":      RichTextBox2
//   Frame5 "Location Photo":        Image1 (drop target)
//   Frame6 "Special Notes":         RichTextBox3
//   Frame7 "Driving Directions":    RichTextBox4
//   Text12 (hidden)                 the picture name, stored in Image
//   Text13 (hidden)                 the mode key: "New" or the name of the location shown
class Form1 : public CaseWindow {
    Q_OBJECT
public:
    explicit Form1(MDIForm1& frame);

    void load() override;
    void unloaded() override;
    bool hasUnsavedChanges() const override;

    void Load_Location();
    void Save_New_Location();
    void Update_Location();
    void Clear_Location_Fields();

    // Menu actions.
    void new_Click();
    void save_Click();
    void Image_Insert_Click();
    void print_Click();

    // The working values of the latest photo attachment.
    QString attachmentExtension() const;
    QString attachmentDestination() const;

    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QGroupBox* Frame4 = nullptr;
    QGroupBox* Frame5 = nullptr;
    QGroupBox* Frame6 = nullptr;
    QGroupBox* Frame7 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QLineEdit* Text5 = nullptr;
    QLineEdit* Text6 = nullptr;
    QLineEdit* Text7 = nullptr;
    QLabel* Label6 = nullptr;
    QTextEdit* RichTextBox1 = nullptr;
    QTextEdit* RichTextBox2 = nullptr;
    QTextEdit* RichTextBox3 = nullptr;
    QTextEdit* RichTextBox4 = nullptr;
    PictureBox* Image1 = nullptr;
    QLineEdit* Text12 = nullptr;
    QLineEdit* Text13 = nullptr;

private:
    Fields fieldValues() const;
    void showPlaceholder();
    // The dashboard's location picture takes this window's photo.
    void passPhotoToDashboard();

    PhotoAttacher* m_attach = nullptr;
    EditWatch* m_watch = nullptr;
    bool m_new = true; // New mode; Text13 alone cannot tell a location named "New"
};

} // namespace veil
