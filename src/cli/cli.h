#pragma once
// veilcase-cli: the command-line companion of Veilcase, on the store alone.

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace veil::cli {

// Exit codes: done (or found), nothing found / something not sound, error.
enum Exit { kOk = 0, kNo = 1, kError = 2 };

// What a command works on and where it writes.
struct Context {
    QString folder; // the program folder, holding Veilcase.mdb
    QTextStream& out;
    QTextStream& err;

    QString database() const;
    // One line on standard error, and the error exit code.
    int fail(const QString& why) const;
};

struct Command {
    QString name;
    QString arguments; // as shown in the usage line
    QString summary;   // one sentence
    int (*run)(Context& context, const QStringList& arguments);
};

// Every command, in the order --help lists them.
const QList<Command>& commands();

// The whole --help text.
QString helpText();

// Runs the command line (without the program's own name); returns the exit
// code. `executableFolder` decides the default program folder as the program
// itself would.
int run(const QStringList& arguments, QTextStream& out, QTextStream& err, const QString& executableFolder);

// The commands, one file each.
int checkCommand(Context& context, const QStringList& arguments);
int backupCommand(Context& context, const QStringList& arguments);
int verifyCommand(Context& context, const QStringList& arguments);
int searchCommand(Context& context, const QStringList& arguments);
int reindexCommand(Context& context, const QStringList& arguments);
int evidenceCommand(Context& context, const QStringList& arguments);
int timelineCommand(Context& context, const QStringList& arguments);
int reportCommand(Context& context, const QStringList& arguments);

} // namespace veil::cli
