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

    // Each button but Close shows its window and leaves this one open.
    const auto opens = [this](const char* name) {
        return [this, name = QLatin1String(name)] { this->frame().show(name); };
    };
    makeButtons(this, c, 930, 285,
                {{&Label1, "Label1", "Image2", "Back Up", 2760, 120, opens("Form12")},
                 {&Label2, "Label2", "Image3", "Restore", 2760, 480, opens("Form13")},
                 {&Label3, "Label3", "Image4", "Clean", 2760, 840, opens("Form14")},
                 {&Label4, "Label4", "Image5", "Close", 2760, 1200, [this] { unload(); }}});
    Label1->setToolTip(QStringLiteral("Back Up Database"));
    Label2->setToolTip(QStringLiteral("Restore From Backup"));
    Label3->setToolTip(QStringLiteral("Start With a Clean Database"));
    Label4->setToolTip(QStringLiteral("Close"));
}

void Form11::load() { CenterForm(); }

} // namespace veil
