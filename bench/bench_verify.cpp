// Times Verify Evidence's hashing against coreutils' sha256sum over the same
// generated pictures (2 GB by default, warm page cache for both):
//   bench_verify [megabytes] [folder]
// Prints each one's speed and the ratio; the pictures are removed afterwards.
#include "store/fileroutines.h"
#include "store/verification.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <thread>

using namespace veil;

namespace {

constexpr int kSide = 2896; // a 24-bit BMP of about 24 MB

double cpuSeconds() {
    rusage self {}, children {};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    auto s = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return s(self.ru_utime) + s(self.ru_stime) + s(children.ru_utime) + s(children.ru_stime);
}

// The fastest of `runs` runs: wall seconds, and processor seconds (which
// other work on a busy machine does not inflate).
struct Timing {
    double wall = 1e300, cpu = 1e300;
};
Timing best(int runs, const std::function<void()>& run) {
    Timing fastest;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        const double cpu = cpuSeconds();
        t.start();
        run();
        fastest.wall = std::min(fastest.wall, t.nsecsElapsed() / 1e9);
        fastest.cpu = std::min(fastest.cpu, cpuSeconds() - cpu);
    }
    return fastest;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 2048;
    QTemporaryDir temp(argc > 2 ? QString::fromLocal8Bit(argv[2]) + QStringLiteral("/bench-verify-XXXXXX")
                                : QDir::tempPath() + QStringLiteral("/bench-verify-XXXXXX"));
    const QString folder = temp.path();
    QDir().mkpath(folder + QStringLiteral("/Investigations/1"));

    // Noisy pictures, so that nothing about them is cheaper to read than a photograph.
    QList<CheckedFile> files;
    QStringList paths;
    qint64 bytes = 0;
    QImage picture(kSide, kSide, QImage::Format_RGB888);
    for (int i = 0; bytes < megabytes * 1024 * 1024; ++i) {
        for (int y = 0; y < kSide; ++y)
            QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(picture.scanLine(y)),
                                                  picture.bytesPerLine() / 4);
        const QString name = QStringLiteral("night %1.bmp").arg(i, 3, 10, QLatin1Char('0'));
        const QString path = folder + QStringLiteral("/Investigations/1/") + name;
        if (!picture.save(path, "BMP"))
            return std::fprintf(stderr, "cannot write %s\n", qPrintable(path)), 1;
        bytes += QFileInfo(path).size();
        paths << path;
        CheckedFile f;
        f.path = QStringLiteral("\\Investigations\\1\\") + name;
        f.status = FileStatus::Unrecorded;
        files << f;
    }
    std::printf("%lld pictures, %.0f MB\n", qint64(files.size()), bytes / 1e6);

    QByteArray sums;
    auto sha256sum = [&] {
        QProcess p;
        p.start(QStringLiteral("sha256sum"), paths);
        p.waitForFinished(-1);
        sums = p.readAllStandardOutput();
    };
    sha256sum(); // warms the page cache
    const int threads = int(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
    QList<CheckedFile> checked;
    auto verify = [&](int n) {
        return [&, n] {
            checked = files;
            VerifyOptions options;
            options.threads = n;
            verifyFiles(checked, folder, options);
        };
    };
    const Timing tSum = best(3, sha256sum);
    const Timing tOne = best(3, verify(1));
    const Timing tAll = best(3, verify(threads));
    for (const CheckedFile& f : checked)
        if (!sums.contains(f.foundSha256.toLatin1()))
            return std::fprintf(stderr, "hash of %s differs from sha256sum's\n", qPrintable(f.path)), 1;

    const double mb = bytes / 1e6;
    auto line = [&](const char* what, const Timing& t) {
        std::printf("%-20s %7.1f MB/s (%3.0f %% of sha256sum)   %7.1f MB per processor second (%3.0f %%)\n", what,
                    mb / t.wall, 100 * tSum.wall / t.wall, mb / t.cpu, 100 * tSum.cpu / t.cpu);
    };
    line("sha256sum", tSum);
    line("verify, 1 thread", tOne);
    line(qPrintable(QStringLiteral("verify, %1 threads").arg(threads)), tAll);
    return 0;
}
