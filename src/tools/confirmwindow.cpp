#include "tools/confirmwindow.h"

#include "widgets/art.h"
#include "tools/databasetools.h"
#include "widgets/controls.h"
#include "widgets/imagebutton.h"

#include <QLabel>

namespace veil {

ConfirmWindow::ConfirmWindow(MDIForm1& frame, const Design& d) : CaseWindow(frame, QLatin1String(d.name)) {
    QWidget* c = designClient(QLatin1String(d.caption), d.width, d.height, Background::Standard);

    Image1 = makePicture(c, QStringLiteral("Image1"), art::Picture::ConfirmBanner,
                         twRect(0, 0, d.width, 600));
    Image2 = makePicture(c, QStringLiteral("Image2"), art::Picture::ConfirmSide,
                         twRect(120, 720, 1200, 1350));

    // The question fills the room right of the picture and above the buttons.
    const int left = 1440, top = 690;
    Label1 = new QLabel(QLatin1String(d.question), c);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(twRect(left, top, d.width - 120 - left, d.buttonTop - 60 - top));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSizeF(9.75);
    Label1->setFont(f);

    Label2 = new ImageButton(c, QStringLiteral("Label2"), QStringLiteral("Image3"), QStringLiteral("Yes"),
                             twRect(d.yesLeft, d.buttonTop, 930, 285));
    Label3 = new ImageButton(c, QStringLiteral("Label3"), QStringLiteral("Image4"), QStringLiteral("Cancel"),
                             twRect(d.cancelLeft, d.buttonTop, 930, 285));
    connect(Label2, &ImageButton::released, this, &ConfirmWindow::Yes);
    connect(Label3, &ImageButton::released, this, &ConfirmWindow::Cancel);
}

void ConfirmWindow::load() { CenterForm(); }

void ConfirmWindow::Yes() {
    run();
    unload();
}

void ConfirmWindow::Cancel() { unload(); }

Form12::Form12(MDIForm1& frame)
    : ConfirmWindow(frame, {"Form12", "Backup Database", 4905, 2310,
                            "This will overwrite any existing backup you may have, do you want to continue?",
                            1560, 3000, 1710}) {}

void Form12::run() { backUpDatabase(frame()); }

Form13::Form13(MDIForm1& frame)
    : ConfirmWindow(frame, {"Form13", "Restore From Backup", 5460, 2445,
                            "This will overwrite the current database with the previous backup, do you want "
                            "to continue?",
                            1680, 3120, 1800}) {}

void Form13::run() { replaceDatabase(frame(), Replacement::FromBackup); }

Form14::Form14(MDIForm1& frame)
    : ConfirmWindow(frame, {"Form14", "Start Clean", 5490, 2445,
                            "This will overwrite the current database with a clean copy of the original, do "
                            "you want to continue?",
                            1800, 3240, 1800}) {}

void Form14::run() { replaceDatabase(frame(), Replacement::Clean); }

} // namespace veil
