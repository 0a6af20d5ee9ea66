// Stores locations in a loop and prints the count after each store returns;
// a test kills it with SIGKILL at some moment.
#include "store/casedb.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    auto db = veil::Connection::open(QString::fromLocal8Bit(argv[1]));
    for (int i = 1; i < 100000; ++i) {
        veil::Cursor& t = db->openTable(QStringLiteral("Location"));
        t.addNew();
        t.setField(QStringLiteral("LocationName"), QStringLiteral("Place %1").arg(i));
        t.setField(QStringLiteral("Background"), QString(2000, QLatin1Char('x')));
        t.update();
        t.close();
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
    return 0;
}
