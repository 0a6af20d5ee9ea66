#pragma once
// Runs veilcase-cli in-process with its output in buffers.

#include "cli/cli.h"

#include <QString>
#include <QStringList>

namespace veil::test {

struct CliResult {
    int code = -1;
    QString out;
    QString err;
};

inline CliResult runCli(const QString& folder, const QStringList& arguments) {
    CliResult r;
    QTextStream out(&r.out), err(&r.err);
    QStringList args = arguments;
    if (!folder.isEmpty())
        args = QStringList{QStringLiteral("--folder"), folder} + args;
    r.code = cli::run(args, out, err, QString());
    out.flush();
    err.flush();
    return r;
}

} // namespace veil::test
