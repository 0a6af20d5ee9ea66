// Runs the real Restore window in a loop over the program folder it is given:
// each round stores one more location, prints "added N", restores the backup
// and prints "restored N". A test kills it with SIGKILL somewhere in between.
#include "tools/confirmwindow.h"
#include "widgets/imagebutton.h"
#include "shell/mainframe.h"
#include "programfolder.h"
#include "registerall.h"
#include "testui.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    veil::test::registerAll();
    veil::test::TestUi ui;
    ui.setDefaultAnswer(true);
    auto* frame = new veil::MDIForm1(folder);
    frame->show();
    frame->loadFrame();
    for (int i = 1; i < 100000; ++i) {
        veil::Connection::open(folder)->add(veil::tables::location,
                                            {{QStringLiteral("LocationName"), QStringLiteral("Extra %1").arg(i)}});
        std::printf("added %d\n", i);
        std::fflush(stdout);
        auto* restore = frame->formAs<veil::ConfirmWindow>(QStringLiteral("Form13"));
        if (!restore)
            return 3;
        restore->Label2->click();
        QCoreApplication::processEvents();
        ui.clear();
        std::printf("restored %d\n", i);
        std::fflush(stdout);
    }
    return 0;
}
