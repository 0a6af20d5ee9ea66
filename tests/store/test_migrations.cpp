#include "programfolder.h"
#include "store/casedb.h"
#include "store/migrations.h"

#include <QFile>
#include <QTest>

#include <sqlite3.h>

using namespace veil;
using namespace veil::test;

namespace {
// Runs SQL on the file with a plain engine handle, as another tool would.
void sql(const QString& path, const char* text) { QCOMPARE(runSql(path, QString::fromUtf8(text)), QString()); }

int versionOf(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    const int v = schemaVersion(db);
    sqlite3_close(db);
    return v;
}
} // namespace

class MigrationsTest : public QObject {
    Q_OBJECT
private slots:
    void olderFilesGainOurTables_data() {
        QTest::addColumn<QByteArray>("makeOlder");
        QTest::newRow("as shipped or imported (version 0)")
            << QByteArray("DROP TABLE vc_evidence; DROP TABLE vc_filehash; PRAGMA user_version=0;");
        QTest::newRow("version 0 with a table already there")
            << QByteArray("DROP TABLE vc_filehash; PRAGMA user_version=0;");
        QTest::newRow("current") << QByteArray("");
    }
    void olderFilesGainOurTables() {
        QFETCH(QByteArray, makeOlder);
        ProgramFolder pf;
        sql(pf.databasePath(), "INSERT INTO Location(LocationName) VALUES('Old Mill');");
        sql(pf.databasePath(), makeOlder.constData());
        const int before = versionOf(pf.databasePath());

        // Checking a file (a backup before it is restored) leaves it as it is.
        QCOMPARE(Connection::problemWith(pf.databasePath()), QString());
        QCOMPARE(versionOf(pf.databasePath()), before);

        auto db = Connection::open(pf.path());
        QCOMPARE(versionOf(pf.databasePath()), kSchemaVersion);
        QCOMPARE(db->column(tables::location, "LocationName"), QStringList{"Old Mill"});
        for (const char* t : {"vc_evidence", "vc_filehash"}) {
            sqlite3_stmt* st = nullptr;
            QCOMPARE(sqlite3_prepare_v2(db->handle(), QByteArray("SELECT count(*) FROM ").append(t), -1, &st,
                                        nullptr),
                     SQLITE_OK);
            sqlite3_finalize(st);
        }
    }

    void newerFileIsRefusedNamingBothVersions() {
        ProgramFolder pf;
        sql(pf.databasePath(), "PRAGMA user_version=99;");
        for (const QString& problem :
             {Connection::problemWith(pf.databasePath()), [&] {
                  try {
                      Connection::open(pf.path());
                  } catch (const DbError& e) {
                      return e.text();
                  }
                  return QString();
              }()}) {
            QVERIFY2(problem.contains("newer") && problem.contains("99") &&
                         problem.contains(QString::number(kSchemaVersion)),
                     qPrintable(problem));
        }
        QCOMPARE(versionOf(pf.databasePath()), 99);
    }
};

QTEST_GUILESS_MAIN(MigrationsTest)
#include "test_migrations.moc"
