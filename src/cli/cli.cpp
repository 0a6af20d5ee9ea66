#include "cli/cli.h"

#include "store/installation.h"
#include "store/paths.h"

#include <QCoreApplication>
#include <QDir>

namespace veil::cli {

QString Context::database() const { return programPath(folder, files::database); }

int Context::fail(const QString& why) const {
    err << "veilcase-cli: " << why << Qt::endl;
    return kError;
}

const QList<Command>& commands() {
    static const QList<Command> all = {
        {QStringLiteral("check"), QString(),
         QStringLiteral("Checks the case file's integrity, its tables and its search index; says what is wrong."), checkCommand},
        {QStringLiteral("backup"), QStringLiteral("FILE [--force]"),
         QStringLiteral("Writes a checked snapshot of the case file to FILE (--force replaces an existing FILE)."),
         backupCommand},
        {QStringLiteral("verify"), QStringLiteral("[--manifest FILE] [--all]"),
         QStringLiteral("Hashes every recorded file again; prints status<TAB>path for each file not ok (every "
                        "file with --all), writes a CSV manifest to FILE; exit 1 when any is changed or missing."),
         verifyCommand},
        {QStringLiteral("search"), QStringLiteral("QUERY... [--limit N]"),
         QStringLiteral("Prints every record that QUERY finds, best first: kind, key, field and the words "
                        "around the match, [ ] around what matched, tab between. QUERY takes words, prefix*, "
                        "\"a phrase\", OR and NOT."),
         searchCommand},
        {QStringLiteral("reindex"), QString(),
         QStringLiteral("Builds the search index again from the records (when check finds it out of step)."),
         reindexCommand},
        {QStringLiteral("evidence"),
         QStringLiteral("import-labels KEY MEDIA LABELS [--start HH:MM:SS[.mmm]] [--skip-bad] | "
                        "import-readings KEY CSV [--skip-bad]"),
         QStringLiteral("Imports an Audacity label file against its recording (copied in; the start from --start "
                        "or the file) or a CSV file of meter readings into the investigation's evidence log; "
                        "lines imported before are not added again, bad lines stop the import unless "
                        "--skip-bad."),
         evidenceCommand},
        {QStringLiteral("timeline"), QStringLiteral("KEY"),
         QStringLiteral("Prints the investigation's findings, timed pictures and interviews in time order, one "
                        "time<TAB>kind<TAB>what line each (1 when there are none)."),
         timelineCommand},
        {QStringLiteral("report"), QStringLiteral("KEY|--location NAME --out FILE.html|FILE.pdf [--contacts]"),
         QStringLiteral("Writes an investigation's report (or a location's, with all its investigations) as "
                        "HTML or PDF; --contacts adds the contact details."),
         reportCommand},
    };
    return all;
}

QString helpText() {
    QString text = QStringLiteral(
        "Usage: veilcase-cli [--folder DIR] COMMAND [ARGUMENTS...]\n"
        "\n"
        "The command-line companion of Veilcase: works on a Veilcase case file without\n"
        "opening a window.\n"
        "\n"
        "Options:\n"
        "  --folder DIR  the program folder, the one holding Veilcase.mdb (by default the\n"
        "                folder the program itself uses)\n"
        "  --help        shows this text\n"
        "  --version     shows the version\n"
        "\n"
        "Commands:\n");
    for (const Command& c : commands()) {
        const QString head = c.arguments.isEmpty() ? c.name : c.name + QLatin1Char(' ') + c.arguments;
        text += QStringLiteral("  %1\n      %2\n").arg(head, c.summary);
    }
    text += QStringLiteral(
        "\n"
        "Exit status: 0 when the command did what was asked (or found something), 1 when it\n"
        "found nothing or found the case file unsound, 2 on an error, with the reason on\n"
        "standard error.\n");
    return text;
}

int run(const QStringList& arguments, QTextStream& out, QTextStream& err, const QString& executableFolder) {
    QStringList args = arguments;
    QString folder;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--help")) {
            out << helpText();
            return kOk;
        }
        if (option == QLatin1String("--version")) {
            out << "veilcase-cli " << QCoreApplication::applicationVersion() << Qt::endl;
            return kOk;
        }
        if (option == QLatin1String("--folder")) {
            if (args.isEmpty())
                return Context{{}, out, err}.fail(QStringLiteral("--folder needs a folder."));
            folder = args.takeFirst();
        } else if (option.startsWith(QLatin1String("--folder="))) {
            folder = option.mid(9);
        } else {
            return Context{{}, out, err}.fail(
                QStringLiteral("unknown option %1 (see veilcase-cli --help).").arg(option));
        }
    }
    Context context{folder.isEmpty() ? programFolderLocation(executableFolder) : QDir(folder).absolutePath(), out,
                    err};
    if (args.isEmpty())
        return context.fail(QStringLiteral("no command given (see veilcase-cli --help)."));
    const QString name = args.takeFirst();
    for (const Command& c : commands())
        if (c.name == name)
            return c.run(context, args);
    return context.fail(QStringLiteral("unknown command \"%1\" (see veilcase-cli --help).").arg(name));
}

} // namespace veil::cli
