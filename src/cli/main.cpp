#include "cli/cli.h"
#include "store/installation.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    veil::nameApplication();
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return veil::cli::run(args, out, err, QCoreApplication::applicationDirPath());
}
