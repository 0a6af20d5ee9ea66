// Random bytes as a label file, a meter CSV, a recording and a picture. The
// imports must never place a finding before the night or give a clip a
// negative length, and every line they take or refuse must exist.
#include "store/evidence.h"

#include <QDir>
#include <QFile>

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace veil::evidence;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    Night night(QStringLiteral("10-31-2008 11:30 pm-1"));
    night.date = QDate(2008, 10, 31);
    night.startMs = 23 * 3600000LL + 30 * 60000LL;
    const qsizetype lines = bytes.count('\n') + bytes.count('\r') + 1;

    const ImportPlan labels = planLabels(bytes, night, QStringLiteral("\\m.wav"), *night.startMs);
    check(labels.findings.size() + labels.problems.size() <= lines);
    for (const Finding& f : labels.findings)
        check(f.atMs >= *night.startMs && f.clipLengthMs.value_or(0) >= 0 && !f.source.isEmpty());

    const ImportPlan readings = planReadings(bytes, QStringLiteral("m.csv"), night);
    check(readings.findings.size() + readings.problems.size() <= lines);
    for (const Finding& f : readings.findings)
        check(f.atMs >= 0 && f.reading && std::isfinite(*f.reading));

    // The file readers see the same bytes as a file.
    static const QString path = QDir::tempPath() + QStringLiteral("/veilcase-fuzz-evidence.bin");
    QFile out(path);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        out.write(bytes);
        out.close();
        if (const auto t = recordingStart(path))
            check(t->isValid());
        if (const auto t = pictureTakenAt(path))
            check(t->isValid());
    }
    return 0;
}
