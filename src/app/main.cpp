#include "shell/application.h"
#include "shell/commandline.h"
#include "shell/splashwindow.h"
#include "shell/installfolder.h"
#include "store/installation.h"
#include "pictures/picturewindows.h"
#include "store/pictureloader.h"
#include "records/recordwindows.h"
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
    veil::registerEvidenceWindows();

    QString problem;
    const QString folder = veil::chooseProgramFolder(QCoreApplication::applicationDirPath(), &problem);
    if (!problem.isEmpty())
        veil::message(problem);

    auto* splash = new veil::Form8(folder);
    splash->load();
    veil::quitAfterStartIfAsked(splash, folder);
    const int rc = app.exec();
    veil::Ui::install(nullptr);
    return rc;
}
