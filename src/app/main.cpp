#include "shell/application.h"
#include "shell/commandline.h"
#include "shell/splashwindow.h"
#include "shell/installfolder.h"
#include "store/fileroutines.h"
#include "store/installation.h"
#include "pictures/picturewindows.h"
#include "store/pictureloader.h"
#include "records/recordwindows.h"
#include "search/searchwindows.h"
#include "evidence/evidencewindows.h"
#include "tools/toolwindows.h"
#include "widgets/widgetui.h"
#include "shell/windowregistry.h"

#include "widgets/art.h"

#include <QIcon>

int main(int argc, char** argv) {
    if (const auto exitCode = veil::answerCommandLine(argc, argv)) return *exitCode;
    veil::Application app(argc, argv);
    app.setWindowIcon(QIcon(QPixmap::fromImage(veil::art::icon(256))));
    app.setDesktopFileName(QStringLiteral("veilcase")); // the installed menu entry
    veil::WidgetUi ui;
    // A start-up check shows no boxes; what they would say goes to standard error.
    if (!veil::startCheckRequested())
        veil::Ui::install(&ui);
    veil::configurePictureLimits();
    veil::registerAppWindows();
    veil::registerRecordWindows();
    veil::registerPictureWindows();
    veil::registerToolWindows();
    veil::registerSearchWindows();
    veil::registerEvidenceWindows();

    QString problem;
    const QString folder = veil::chooseProgramFolder(QCoreApplication::applicationDirPath(), &problem);
    if (!problem.isEmpty())
        veil::message(problem);
    QString busy;
    const auto lock = veil::lockProgramFolder(folder, &busy);
    if (!lock) {
        veil::message(busy);
        veil::Ui::install(nullptr);
        return 1;
    }
    // No other copy uses the folder now, so what scratch files lie there were
    // left by one that was stopped.
    veil::removeStaleScratchFiles(folder);

    auto* splash = new veil::Form8(folder);
    splash->load();
    veil::quitAfterStartIfAsked(splash, folder);
    const int rc = app.exec();
    veil::Ui::install(nullptr);
    return rc;
}
