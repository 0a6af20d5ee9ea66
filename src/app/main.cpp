#include "application.h"
#include "form8.h"
#include "picturewindows.h"
#include "pictureloader.h"
#include "recordwindows.h"
#include "toolwindows.h"
#include "widgetui.h"
#include "windowregistry.h"

#include "art.h"

#include <QIcon>

int main(int argc, char** argv) {
    veil::Application app(argc, argv);
    app.setWindowIcon(QIcon(QPixmap::fromImage(veil::art::icon(256))));
    veil::WidgetUi ui;
    veil::Ui::install(&ui);
    veil::configurePictureLimits();
    veil::registerAppWindows();
    veil::registerRecordWindows();
    veil::registerPictureWindows();
    veil::registerToolWindows();

    auto* splash = new veil::Form8(QCoreApplication::applicationDirPath());
    splash->load();
    const int rc = app.exec();
    veil::Ui::install(nullptr);
    return rc;
}
