// The Equipment window (Form7): the inventory of devices, by nick name.
#pragma once

#include "shell/casewindow.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTextEdit;

namespace veil {

class EditWatch;
class ImageButton;

// The equipment inventory: one record of the table "equipment" per device,
// known by its unique nick name. The mode lives in the caption: "Equipment -
// Add New" adds, any other caption rewrites the item named in the Nick Name box.
//
// Controls (designer names):
//   Image1            the window's picture, top left
//   List1             the nick names of every item, sorted by the list
//   Frame1            "Equipment Info"
//     Label1..Label6  "Type:", "Manufacturer:", "Model:", "Nick Name:", "Battery Type:", "Media Type:"
//     Combo1          Type (editable; "Type" while nothing is chosen)
//     Text1..Text5    Manufacturer, Model, Nick Name, Battery Type, Media Type (borderless,
//                     each underlined by Line1..Line5)
//   Frame2            "Usage Notes and Quirks of Device"
//     Text7           the quirks (plain text)
//   Label7 on Image4  "New";  Label8 on Image5 "Save";  Label9 on Image6 "Close"
//   Image2, Image3    hidden normal and pressed button faces
class Form7 : public CaseWindow {
    Q_OBJECT
public:
    explicit Form7(MDIForm1& frame);

    void load() override;
    void unloaded() override;
    bool hasUnsavedChanges() const override;

    // Menu and button actions.
    void addnew_Click();
    void save_Click();
    // Shows the item chosen in the list.
    void List1_Click();

    QLabel* Image1 = nullptr;
    QListWidget* List1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QLineEdit* Text5 = nullptr;
    QTextEdit* Text7 = nullptr;
    ImageButton* Label7 = nullptr;
    ImageButton* Label8 = nullptr;
    ImageButton* Label9 = nullptr;

private:
    void fillList();
    void clearFields();
    void addNewItem();
    void updateItem();
    QList<QPair<QString, QString>> fieldValues() const;

    EditWatch* m_watch = nullptr;
    bool m_filling = false; // the list is being refilled: its selection changes are not choices
    bool m_adding = true;   // Add New mode; the caption alone cannot tell an item named "Add New"
};

} // namespace veil
