#include "cli/cli.h"
#include "store/installation.h"

#include <QGuiApplication>
#include <QLoggingCategory>

int main(int argc, char** argv) {
    // Every argument is ours: Qt would take some ("-display", "-title") for itself.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    // Reports lay out text, which takes Qt's GUI side, but never a display:
    // the command line works the same over ssh and in a cron job.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's own remarks (such as a missing XDG_RUNTIME_DIR in a cron job) are
    // not the command's output; errors are said on standard error by the command.
    QLoggingCategory::setFilterRules(QStringLiteral("default.warning=false\nqt.*.warning=false"));
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    veil::nameApplication();
    QTextStream out(stdout);
    QTextStream err(stderr);
    return veil::cli::run(args, out, err, QCoreApplication::applicationDirPath());
}
