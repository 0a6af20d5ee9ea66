// Builds a large case database and times the dashboard over it:
//   bench_dashboard [folder]   (QT_QPA_PLATFORM=offscreen is set if unset)
// 10,000 locations, 200,000 investigations, 200,000 interviews, 500,000 pictures.
#include "store/casedb.h"
#include "shell/dashboardwindow.h"
#include "shell/mainframe.h"
#include "store/paths.h"
#include "shell/windowregistry.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void exec(sqlite3* db, const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", err);
        std::exit(1);
    }
}

void generate(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    exec(db, "BEGIN");
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO Location (LocationName, Image, Background) VALUES (?1, ?2, ?3)", -1, &s, nullptr);
    for (int i = 0; i < 10000; ++i) {
        const QByteArray name = QStringLiteral("Location %1").arg(i * 7919 % 10000, 5, 10, QLatin1Char('0')).toUtf8();
        sqlite3_bind_text(s, 1, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 2, (name + ".jpg").constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 3, "An old place with a long story.", -1, SQLITE_STATIC);
        sqlite3_step(s);
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_prepare_v2(db, "INSERT INTO Investigations (ID, Location, FullDate_Time, Weather, Initial_Thoughts) "
                           "VALUES (?1, ?2, ?3, 'clear', 'Cold spots on the stairs.')", -1, &s, nullptr);
    for (int i = 1; i <= 200000; ++i) {
        const QByteArray loc = QStringLiteral("Location %1").arg(i % 10000, 5, 10, QLatin1Char('0')).toUtf8();
        const QByteArray key = QStringLiteral("%1-%2-2008 11:30 pm-%3").arg(i % 12 + 1).arg(i % 28 + 1).arg(i).toUtf8();
        sqlite3_bind_int(s, 1, i);
        sqlite3_bind_text(s, 2, loc.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 3, key.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_step(s);
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_prepare_v2(db, "INSERT INTO Interview (ID, Location, Investigation, FullDate_Time, Name) "
                           "SELECT ID, Location, FullDate_Time, 'i-' || ID, 'Witness' FROM Investigations", -1, &s, nullptr);
    sqlite3_step(s);
    sqlite3_finalize(s);
    exec(db, "WITH RECURSIVE n(k) AS (SELECT 0 UNION ALL SELECT k + 1 FROM n WHERE k < 1) "
             "INSERT INTO Pictures (Investigation, Title, Path) "
             "SELECT FullDate_Time, 'Photo ' || ID || '-' || k, '\\Investigations\\' || ID || '\\x.jpg' "
             "FROM Investigations, n");
    exec(db, "INSERT INTO Pictures (Investigation, Title, Path) "
             "SELECT FullDate_Time, 'Extra ' || ID, '' FROM Investigations WHERE ID <= 100000");
    exec(db, "COMMIT");
    sqlite3_close(db);
}

double ms(QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
    const QString built = QCoreApplication::applicationDirPath() + QStringLiteral("/../program");
    const QString dbPath = veil::programPath(folder, veil::files::database);
    if (!QFile::exists(dbPath)) {
        QDir().mkpath(folder);
        QFile::copy(built + QStringLiteral("/Clean_DB"), dbPath);
        QFile(dbPath).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        for (const char* f : {"no_images.jpg", "No_Records.jpg"})
            QFile::copy(built + QLatin1Char('/') + QLatin1String(f), folder + QLatin1Char('/') + QLatin1String(f));
        QElapsedTimer g;
        g.start();
        generate(dbPath);
        std::printf("generated %s in %.0f ms (%.0f MB)\n", qPrintable(dbPath), ms(g),
                    double(QFileInfo(dbPath).size()) / 1e6);
    }
    {
        auto db = veil::Connection::open(folder);
        std::printf("records: %d locations, %d investigations, %d interviews, %d pictures\n",
                    db->count(veil::tables::location), db->count(veil::tables::investigations),
                    db->count(veil::tables::interview), db->count(veil::tables::pictures));
    }

    veil::registerAppWindows();
    auto* frame = new veil::MDIForm1(folder);
    frame->show();
    const int rounds = 20;
    std::vector<double> load, step2, step3;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        auto* d = frame->formAs<veil::Form2>(QStringLiteral("Form2"));
        load.push_back(ms(t));
        const QString loc = QStringLiteral("Location %1").arg((r * 431) % 10000, 5, 10, QLatin1Char('0'));
        d->Combo1->setCurrentIndex(d->Combo1->findText(loc));
        t.restart();
        d->Combo1_Click();
        step2.push_back(ms(t));
        d->Combo2->setCurrentIndex(0);
        t.restart();
        d->Combo2_Click();
        step3.push_back(ms(t));
        if (d->Combo2->count() < 2 || d->Combo3->count() < 2 || d->Combo4->count() < 3) {
            std::fprintf(stderr, "cascade found nothing for %s\n", qPrintable(loc));
            return 1;
        }
        frame->unload(QStringLiteral("Form2"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    auto report = [](const char* what, std::vector<double> v, double target) {
        std::sort(v.begin(), v.end());
        std::printf("%-34s median %7.2f ms   max %7.2f ms   target < %.0f ms\n", what, v[v.size() / 2], v.back(), target);
    };
    report("dashboard load (10,000 locations)", load, 300);
    report("choose a location (load_combo2)", step2, 20);
    report("choose an investigation (load_combo3)", step3, 20);
    delete frame;
    return 0;
}
