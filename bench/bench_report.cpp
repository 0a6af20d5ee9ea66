// Times the investigation report over a large night:  bench_report [pictures] [findings]
// 200 photographs of 24 MP (JPEG, with grain, so they weigh what camera files do,
// and a 640 x 427 EXIF preview as cameras embed one; VEIL_BENCH_NO_PREVIEWS=1 leaves it out)
// and 2,000 findings by default, in a temporary program folder removed afterwards.
// Runs on one core; prints the time to build and to write the PDF and the HTML,
// and the process's peak memory. QT_QPA_PLATFORM=offscreen is set if unset.
#include "exifpreview.h"
#include "reports/report.h"
#include "reports/reportoutput.h"
#include "reports/thumbnails.h"
#include "store/casedb.h"
#include "store/casekey.h"
#include "store/paths.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <sched.h>
#include <sys/resource.h>

#include <cstdio>
#include <ctime>

namespace {

double ms(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

// CPU time of this process, which a busy machine does not stretch as it does the clock.
double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double peakMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) / 1024.0;
}

// A 6000 x 4000 "photograph": a gradient, shapes and sensor grain.
QImage photo(int variant) {
    QImage img(6000, 4000, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient sky(0, 0, 0, img.height());
    sky.setColorAt(0, QColor::fromHsv((variant * 70) % 360, 120, 90));
    sky.setColorAt(1, QColor::fromHsv((variant * 70 + 40) % 360, 80, 230));
    p.fillRect(img.rect(), sky);
    p.setBrush(QColor(30, 30, 40));
    p.drawRect(1500 + variant * 200, 1800, 2400, 1800);
    p.end();
    QRandomGenerator rng(variant + 1);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int n = int(rng.bounded(48u)) - 24;
            const QRgb c = line[x];
            line[x] = qRgb(qBound(0, qRed(c) + n, 255), qBound(0, qGreen(c) + n, 255), qBound(0, qBlue(c) + n, 255));
        }
    }
    return img;
}

int pages(const QString& pdf) {
    QFile f(pdf);
    f.open(QIODevice::ReadOnly);
    return int(f.readAll().count("/Type /Page\n") + 0);
}

void exec(sqlite3* db, const char* sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", err);
        std::exit(1);
    }
}

} // namespace

int report(const QString& folder, const QString& key) {
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(0, &one);
    sched_setaffinity(0, sizeof one, &one);
    QElapsedTimer t;
    t.start();
    const double cpu0 = cpuMs();
    auto connection = veil::Connection::open(folder);
    const auto report = veil::reports::investigationReport(*connection, folder, key);
    const double built_ms = ms(t), built_cpu = cpuMs() - cpu0;
    const QString pdf = folder + QStringLiteral("/report.pdf");
    QString why;
    if (!report || !veil::reports::writeReport(*report, pdf, veil::reports::Format::Pdf, &why)) {
        std::fprintf(stderr, "report failed: %s\n", qPrintable(why));
        return 1;
    }
    const double pdf_ms = ms(t), pdf_cpu = cpuMs() - cpu0;
    std::printf("PDF: built in %.0f ms, written in %.0f ms more: %.0f ms in all (%.1f MB, %d pages)\n", built_ms,
                pdf_ms - built_ms, pdf_ms, double(QFileInfo(pdf).size()) / 1e6, pages(pdf));
    std::printf("     CPU time: %.0f ms building, %.0f ms writing, %.0f ms in all\n", built_cpu, pdf_cpu - built_cpu,
                pdf_cpu);
    QElapsedTimer h;
    h.start();
    veil::reports::writeReport(*report, folder + QStringLiteral("/report.html"), veil::reports::Format::Html);
    std::printf("HTML written in %.0f ms (%.1f MB)\n", ms(h),
                double(QFileInfo(folder + QStringLiteral("/report.html")).size()) / 1e6);
    // What the pictures alone cost: each file decoded small once, as the report does.
    const double c = cpuMs();
    for (const QFileInfo& f : QDir(folder + QStringLiteral("/Investigations/1")).entryInfoList(QDir::Files))
        veil::reports::thumbnail(f.filePath());
    std::printf("of that, decoding the pictures small takes %.0f ms CPU\n", cpuMs() - c);
    std::printf("peak memory (RSS) %.0f MB\n", peakMb());
    std::printf("targets: PDF under 10000 ms, memory under 600 MB\n");
    return 0;
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--report")
        return report(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    const int pictures = argc > 1 ? std::atoi(argv[1]) : 200;
    const int findings = argc > 2 ? std::atoi(argv[2]) : 2000;

    QTemporaryDir tmp;
    const QString folder = tmp.path();
    const QString built = QCoreApplication::applicationDirPath() + QStringLiteral("/../program");
    QFile::copy(built + QStringLiteral("/Clean_DB"), veil::programPath(folder, veil::files::database));
    QFile(veil::programPath(folder, veil::files::database)).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    QString key;
    {
        auto db = veil::Connection::open(folder);
        db->add(veil::tables::location, {{"LocationName", "Old Mill"}, {"Background", "An old place."}});
        key = veil::addKeyedRecord(*db, veil::tables::investigations,
                                   {{"Location", "Old Mill"}, {"Weather", "clear"}, {"investigators", "Ann,Bob,"}},
                                   {"10", "31", "2008", "11", "30", "pm"});
    }
    const QString pictureFolder = veil::programPath(folder, QStringLiteral("\\Investigations\\1"));
    QDir().mkpath(pictureFolder);

    QElapsedTimer g;
    g.start();
    constexpr int kVariants = 4;
    const bool previews = !qEnvironmentVariableIsSet("VEIL_BENCH_NO_PREVIEWS");
    for (int v = 0; v < kVariants && v < pictures; ++v) {
        const QString file = pictureFolder + QStringLiteral("/v%1.jpg").arg(v);
        const QImage p = photo(v);
        p.save(file, "JPG", 92);
        if (previews)
            veil::test::embedPreview(file, p.scaled(640, 427, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    qint64 bytes = 0;
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(veil::programPath(folder, veil::files::database)).constData(), &db);
    exec(db, "BEGIN");
    for (int i = 0; i < pictures; ++i) {
        const QString name = QStringLiteral("Picture %1").arg(i);
        const QString file = pictureFolder + QLatin1Char('/') + name + QStringLiteral(".jpg");
        QFile::copy(pictureFolder + QStringLiteral("/v%1.jpg").arg(i % kVariants), file);
        bytes += QFileInfo(file).size();
        const QByteArray sql = QStringLiteral("INSERT INTO Pictures (Investigation, Title, History, Path) VALUES "
                                              "('%1', '%2', 'Taken on the stairs.', '\\Investigations\\1\\%2.jpg')")
                                   .arg(key, name)
                                   .toUtf8();
        exec(db, sql.constData());
    }
    const char* kinds[] = {"EVP", "EMF", "temperature", "sighting", "sound"};
    const char* statuses[] = {"unexplained", "explained", "inconclusive"};
    for (int i = 0; i < findings; ++i) {
        const QByteArray sql =
            QStringLiteral("INSERT INTO vc_evidence (FullDate_Time, at_ms, kind, area, investigator, device, reading, "
                           "unit, status, note) VALUES ('%1', %2, '%3', 'Cellar', 'Ann', 'EMF', %4, 'mG', '%5', "
                           "'A reading by the stairs, noted at once.')")
                .arg(key)
                .arg(82800000 + qint64(i) * 7000)
                .arg(QLatin1String(kinds[i % 5]))
                .arg(double(i % 50) / 10.0)
                .arg(QLatin1String(statuses[i % 3]))
                .toUtf8();
        exec(db, sql.constData());
    }
    exec(db, "COMMIT");
    sqlite3_close(db);
    for (int v = 0; v < kVariants; ++v)
        QFile::remove(pictureFolder + QStringLiteral("/v%1.jpg").arg(v));
    std::printf("generated %d pictures (%.0f MB, %.1f MB each) and %d findings in %.0f ms\n",
                pictures, double(bytes) / 1e6, pictures ? double(bytes) / 1e6 / pictures : 0.0, findings, ms(g));

    // The report runs in a process of its own, so its peak memory is its own.
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--report"), folder, key});
    child.waitForFinished(-1);
    return child.exitCode();
}
