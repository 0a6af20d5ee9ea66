// Stores locations in a loop and prints the count after each store returns;
// a test kills it with SIGKILL at some moment. An optional second argument
// stores that many locations in each transaction. When the store refuses a
// write (its file was replaced), it prints "refused: <why>" and ends with 1.
#include "store/casedb.h"

#include <QCoreApplication>

#include <sqlite3.h>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const int batch = argc > 2 ? std::max(1, atoi(argv[2])) : 1;
    try {
        auto db = veil::Connection::open(QString::fromLocal8Bit(argv[1]));
        for (int i = 1; i < 100000;) {
            if (batch > 1 && sqlite3_exec(db->handle(), "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
                throw veil::DbError(QString::fromUtf8(sqlite3_errmsg(db->handle())));
            for (int n = 0; n < batch; ++n, ++i) {
                veil::Cursor& t = db->openTable(QStringLiteral("Location"));
                t.addNew();
                t.setField(QStringLiteral("LocationName"), QStringLiteral("Place %1").arg(i));
                t.setField(QStringLiteral("Background"), QString(2000, QLatin1Char('x')));
                t.update();
                t.close();
            }
            if (batch > 1 && sqlite3_exec(db->handle(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
                throw veil::DbError(QString::fromUtf8(sqlite3_errmsg(db->handle())));
            std::printf("%d\n", i - 1);
            std::fflush(stdout);
        }
    } catch (const veil::DbError& e) {
        std::printf("refused: %s\n", e.what());
        return 1;
    }
    return 0;
}
