// The Database Tools window (Form11).
#pragma once

#include "shell/casewindow.h"

class QLabel;

namespace veil {

class ImageButton;

// Database Tools: a picture and four image buttons that open the three
// confirmation windows (back up, restore, clean start) or close the window.
// It opens no database and keeps no state.
class Form11 : public CaseWindow {
    Q_OBJECT
public:
    explicit Form11(MDIForm1& frame);
    void load() override;

    QLabel* Image1 = nullptr;
    ImageButton* Label1 = nullptr; // "Back Up"
    ImageButton* Label2 = nullptr; // "Restore"
    ImageButton* Label3 = nullptr; // "Clean"
    ImageButton* Label4 = nullptr; // "Close"
};

} // namespace veil
