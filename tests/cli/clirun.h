#pragma once
// Runs veilcase-cli in-process with its output in buffers.

#include "cli/cli.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace veil::test {

struct CliResult {
    int code = -1;
    QString out;
    QString err;
};

// An '@' in an argument stands for the folder.
inline CliResult runCli(const QString& folder, QStringList args) {
    CliResult r;
    QTextStream out(&r.out), err(&r.err);
    for (QString& a : args)
        a.replace(QLatin1Char('@'), folder);
    r.code = cli::run(QStringList{QStringLiteral("--folder"), folder} + args, out, err, QString());
    out.flush();
    err.flush();
    return r;
}

// Empty when the run ended with `code` and `pattern` (multi-line) is found in
// its standard output, or, written "2>pattern", in its standard error;
// otherwise what the run did.
inline QString cliMismatch(const CliResult& r, int code, const QString& pattern) {
    const bool onErr = pattern.startsWith(QLatin1String("2>"));
    const QRegularExpression re(onErr ? pattern.mid(2) : pattern, QRegularExpression::MultilineOption);
    if (r.code == code && (onErr ? r.err : r.out).contains(re))
        return {};
    return QStringLiteral("exit %1 | %2 | %3").arg(r.code).arg(r.out, r.err);
}

} // namespace veil::test
