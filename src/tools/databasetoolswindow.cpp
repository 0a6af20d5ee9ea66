#include "tools/databasetoolswindow.h"

#include "widgets/art.h"
#include "widgets/controls.h"
#include "widgets/imagebutton.h"
#include "shell/mainframe.h"

#include <QLabel>

namespace veil {

Form11::Form11(MDIForm1& frame) : CaseWindow(frame, QStringLiteral("Form11")) {
    QWidget* c = designClient(QStringLiteral("Database Tools"), 3900, 1680, Background::Standard);

    Image1 = makePicture(c, QStringLiteral("Image1"), art::Picture::ToolsPicture,
                         twRect(0, 120, 2565, 1590));

    struct Button {
        ImageButton** button;
        const char* label;
        const char* face;
        const char* caption;
        int top;
        const char* tip;
        const char* opens; // the window shown on release; none closes this one
    };
    const Button buttons[] = {
        {&Label1, "Label1", "Image2", "Back Up", 120, "Back Up Database", "Form12"},
        {&Label2, "Label2", "Image3", "Restore", 480, "Restore From Backup", "Form13"},
        {&Label3, "Label3", "Image4", "Clean", 840, "Start With a Clean Database", "Form14"},
        {&Label4, "Label4", "Image5", "Close", 1200, "Close", nullptr},
    };
    for (const Button& b : buttons) {
        auto* button = new ImageButton(c, QLatin1String(b.label), QLatin1String(b.face),
                                       QLatin1String(b.caption), twRect(2760, b.top, 930, 285));
        button->setToolTip(QLatin1String(b.tip));
        *b.button = button;
        if (b.opens)
            connect(button, &ImageButton::released, this,
                    [this, name = QLatin1String(b.opens)] { this->frame().show(name); });
        else
            connect(button, &ImageButton::released, this, [this] { unload(); });
    }
}

void Form11::load() { CenterForm(); }

} // namespace veil
