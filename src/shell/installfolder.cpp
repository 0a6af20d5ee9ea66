#include "shell/installfolder.h"

#include "shell/splashwindow.h"
#include "shell/mainframe.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <cstdio>

namespace veil {

bool startCheckRequested() {
    return qEnvironmentVariableIsSet("VEILCASE_QUIT_AFTER_START");
}

void quitAfterStartIfAsked(Form8* splash, const QString& programFolder) {
    if (!startCheckRequested()) return;
    QTimer::singleShot(0, qApp, [splash, programFolder] {
        splash->click(); // opens the frame and its dashboard now
        MDIForm1* frame = MDIForm1::instance();
        const bool up = frame && frame->loaded(QStringLiteral("Form2"));
        std::printf("program folder: %s\n", QFile::encodeName(programFolder).constData());
        std::fflush(stdout);
        if (frame) frame->close();
        QCoreApplication::exit(up ? 0 : 1);
    });
}

} // namespace veil
