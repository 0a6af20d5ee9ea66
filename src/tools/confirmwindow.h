// The back up, restore and clean start questions (Form12, Form13, Form14).
#pragma once

#include "shell/casewindow.h"

class QLabel;

namespace veil {

class ImageButton;

// The small window that asks before one of the database tools runs: a banner
// on top, a picture at the left, the question, and "Yes" and "Cancel".
// Cancel only closes it; Yes runs the tool and then closes it.
class ConfirmWindow : public CaseWindow {
    Q_OBJECT
public:
    struct Design {
        const char* name;
        const char* caption;
        int width, height; // client area, twips
        const char* question;
        int yesLeft, cancelLeft, buttonTop;
    };
    ConfirmWindow(MDIForm1& frame, const Design& design);
    void load() override;

    void Yes();
    void Cancel();

    QLabel* Image1 = nullptr;       // banner
    QLabel* Image2 = nullptr;       // picture at the left
    QLabel* Label1 = nullptr;       // the question
    ImageButton* Label2 = nullptr;  // "Yes"
    ImageButton* Label3 = nullptr;  // "Cancel"

protected:
    virtual void run() = 0;
};

// Backup Database.
class Form12 : public ConfirmWindow {
    Q_OBJECT
public:
    explicit Form12(MDIForm1& frame);

protected:
    void run() override;
};

// Restore From Backup.
class Form13 : public ConfirmWindow {
    Q_OBJECT
public:
    explicit Form13(MDIForm1& frame);

protected:
    void run() override;
};

// Start Clean.
class Form14 : public ConfirmWindow {
    Q_OBJECT
public:
    explicit Form14(MDIForm1& frame);

protected:
    void run() override;
};

} // namespace veil
