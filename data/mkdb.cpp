// Builds the clean case database: the six tables of the schema plus our own
// tables. Usage: mkdb <schema.sql> <output>.
// The output is written beside and renamed into place, so a build that stops
// half-way never leaves a partial file.
#include "store/casedb.h"
#include "store/migrations.h"

#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkdb schema.sql output\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    std::stringstream sql;
    sql << in.rdbuf();
    if (!in) {
        std::fprintf(stderr, "mkdb: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string out = argv[2];
    const std::string tmp = out + ".tmp";
    std::remove(tmp.c_str());
    sqlite3* db = nullptr;
    if (sqlite3_open(tmp.c_str(), &db) != SQLITE_OK) {
        std::fprintf(stderr, "mkdb: %s\n", sqlite3_errmsg(db));
        return 1;
    }
    char* err = nullptr;
    const std::string six = "PRAGMA journal_mode=DELETE; BEGIN; " + sql.str() + " COMMIT;";
    if (sqlite3_exec(db, six.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "mkdb: %s\n", err ? err : "failed");
        sqlite3_close(db);
        return 1;
    }
    // The clean file carries our own tables, as every opened file does.
    try {
        veil::upgradeSchema(db, QString::fromStdString(out));
    } catch (const veil::DbError& e) {
        std::fprintf(stderr, "mkdb: %s\n", e.what());
        sqlite3_close(db);
        return 1;
    }
    if (sqlite3_exec(db, "VACUUM;", nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "mkdb: %s\n", err ? err : "failed");
        sqlite3_close(db);
        return 1;
    }
    sqlite3_close(db);
    if (std::rename(tmp.c_str(), out.c_str()) != 0) {
        std::perror("mkdb");
        return 1;
    }
    return 0;
}
