#include "shell/commandline.h"

#include "store/version.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace veil {

namespace {
const char* const kDescription =
    "Keeps the case files of a team that investigates reportedly haunted places:\n"
    "locations, investigations, interviews, investigators, equipment and\n"
    "photographs, in one case database with a picture viewer and simple filters.\n"
    "\n"
    "The program takes no arguments. An installed Veilcase keeps its cases in\n"
    "~/.local/share/Veilcase/Veilcase: Veilcase.mdb, the picture folders\n"
    "locations, investigators and Investigations, and backup. The first start\n"
    "fills that folder from the installed data (share/veilcase); a newer version\n"
    "refreshes the guide, Clean_DB and the placeholder pictures there and never\n"
    "touches the cases. A folder beside the program that holds its own\n"
    "Veilcase.mdb is used instead, as a portable copy.\n"
    "\n"
    "The user guide, web and e-mail links open through the desktop's handler\n"
    "(xdg-open, from xdg-utils).";

int refuse(QString why) {
    if (why.endsWith(QLatin1Char('.'))) why.chop(1);
    std::fprintf(stderr, "veilcase: %s (see 'veilcase --help')\n", qPrintable(why));
    return EXIT_FAILURE;
}
} // namespace

std::optional<int> answerCommandLine(int argc, char** argv) {
    if (argc <= 1) return std::nullopt;
    const QCoreApplication core(argc, argv); // the parser's usage line names the executable
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help and ends."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the version and ends."));
    parser.addOptions({help, version});
    if (!parser.parse(QCoreApplication::arguments())) return refuse(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return EXIT_SUCCESS;
    }
    if (parser.isSet(version)) {
        std::printf("veilcase %s\n", qPrintable(kVersion));
        return EXIT_SUCCESS;
    }
    if (!parser.positionalArguments().isEmpty())
        return refuse(QStringLiteral("unexpected argument '%1': the program takes no arguments")
                          .arg(parser.positionalArguments().constFirst()));
    return std::nullopt;
}

} // namespace veil
