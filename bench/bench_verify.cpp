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
#include <thread>

using namespace veil;

namespace {

constexpr int kSide = 2896; // a 24-bit BMP of about 24 MB

double best(int runs, const std::function<void()>& run) {
    double fastest = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        fastest = std::min(fastest, t.nsecsElapsed() / 1e9);
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
            verifyFiles(checked, folder, {.threads = n});
        };
    };
    const double tSum = best(3, sha256sum);
    const double tOne = best(3, verify(1));
    const double tAll = best(3, verify(threads));
    for (const CheckedFile& f : checked)
        if (!sums.contains(f.foundSha256.toLatin1()))
            return std::fprintf(stderr, "hash of %s differs from sha256sum's\n", qPrintable(f.path)), 1;

    const double mb = bytes / 1e6;
    std::printf("sha256sum                 %7.1f MB/s\n", mb / tSum);
    std::printf("verify, 1 thread          %7.1f MB/s  (%.0f %% of sha256sum)\n", mb / tOne, 100 * tSum / tOne);
    std::printf("verify, %d threads         %7.1f MB/s  (%.0f %% of sha256sum)\n", threads, mb / tAll,
                100 * tSum / tAll);
    return 0;
}
