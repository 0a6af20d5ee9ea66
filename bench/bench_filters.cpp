// Times the enhancement filters on a 24 MP photograph held in memory, next to
// a plain memcpy of the image and to the nearest ImageMagick and libvips
// operations on the same pixels, and reports the viewer's peak memory.
//
//   bench_filters [repeats]        (bench/run_filters.sh builds and runs it)
//
// Our figures are the best of the repeats, in wall-clock time and in the
// thread's CPU time (the second is steadier on a busy machine). The other
// programs are timed as whole commands on raw (.rgb) or native (.v) input,
// so that no decoding is counted, less the same command without the
// operation (read and write only); ImageMagick applies its operation several
// times in one command, since its reading and writing would drown the cheap
// ones. Their CPU column is user + system time of the child, less the same
// baseline.

#include "pictures/filters/enhancer.h"
#include "pictures/viewerwindow.h"
#include "shell/mainframe.h"
#include "pictures/filters/pixelrules.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace veil;
using filters::Kind;
using filters::Pixel;

namespace {

constexpr int kWidth = 6000, kHeight = 4000;
constexpr double kImageBytes = double(kWidth) * kHeight * 4;

struct Timing {
    double wall = 0; // ms, best of the repeats
    double cpu = 0;  // ms, best of the repeats
    bool ok = true;
};

double threadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

Timing timeIt(int repeats, const std::function<void()>& run) {
    Timing best{1e300, 1e300};
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer clock;
        const double cpu0 = threadCpuMs();
        clock.start();
        run();
        const double wall = clock.nsecsElapsed() / 1e6;
        best.wall = std::min(best.wall, wall);
        best.cpu = std::min(best.cpu, threadCpuMs() - cpu0);
    }
    return best;
}

// Kilobytes from /proc/self/status.
long statusKb(const char* key) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').first().toLong();
    return -1;
}

bool resetPeak() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    return f.open(QIODevice::WriteOnly) && f.write("5") == 1;
}

// A photograph-like picture: smooth light with grain, every channel used.
QImage makePhoto() {
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    std::uint32_t seed = 12345;
    for (int y = 0; y < kHeight; ++y) {
        auto* line = reinterpret_cast<Pixel*>(img.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = int(seed >> 27) - 16;
            const int r = std::clamp(x * 255 / kWidth + grain, 0, 255);
            const int g = std::clamp(y * 255 / kHeight + grain, 0, 255);
            const int b = std::clamp(((x + y) / 40) % 256 + grain, 0, 255);
            line[x] = 0xff000000u | Pixel(r) << 16 | Pixel(g) << 8 | Pixel(b);
        }
    }
    return img;
}

// Runs a program and returns its wall time and its CPU time (user + system).
std::optional<Timing> runTool(const std::vector<std::string>& argv,
                              const std::vector<std::pair<std::string, std::string>>& env) {
    std::fflush(nullptr); // or the child would write our buffered output again
    QElapsedTimer clock;
    clock.start();
    const pid_t pid = fork();
    if (pid < 0)
        return std::nullopt;
    if (pid == 0) {
        for (const auto& [k, v] : env)
            setenv(k.c_str(), v.c_str(), 1);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        if (!freopen("/dev/null", "w", stdout)) {}
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    Timing t;
    t.wall = clock.nsecsElapsed() / 1e6;
    t.cpu = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
            (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    return t;
}

// Best of the repeats of (command - baseline), both timed alternately.
Timing toolOp(int repeats, const std::vector<std::string>& op, const std::vector<std::string>& base,
              const std::vector<std::pair<std::string, std::string>>& env) {
    Timing best{1e300, 1e300};
    double baseWall = 1e300, baseCpu = 1e300, opWall = 1e300, opCpu = 1e300;
    for (int i = 0; i < repeats; ++i) {
        const auto b = runTool(base, env);
        const auto o = runTool(op, env);
        if (!b || !o)
            return Timing{0, 0, false};
        baseWall = std::min(baseWall, b->wall);
        baseCpu = std::min(baseCpu, b->cpu);
        opWall = std::min(opWall, o->wall);
        opCpu = std::min(opCpu, o->cpu);
    }
    best.wall = std::max(0.0, opWall - baseWall);
    best.cpu = std::max(0.0, opCpu - baseCpu);
    return best;
}

std::string findProgram(std::initializer_list<const char*> names) {
    for (const char* n : names) {
        if (n[0] == '/') {
            if (access(n, X_OK) == 0)
                return n;
            continue;
        }
        const QString p = QStandardPaths::findExecutable(QLatin1String(n));
        if (!p.isEmpty())
            return p.toStdString();
    }
    return {};
}

const char* name(Kind k) {
    switch (k) {
    case Kind::Invert: return "Invert";
    case Kind::Solarize: return "Solarize";
    case Kind::Emboss: return "Emboss";
    case Kind::Grey: return "Grey";
    case Kind::Red: return "Red";
    case Kind::Green: return "Green";
    case Kind::Blue: return "Blue";
    }
    return "?";
}

void ruleOnImage(Kind k, const QImage& src, QImage& dst) {
    const int w = src.width(), h = src.height();
    if (k == Kind::Emboss) {
        for (int y = 1; y < h - 1; ++y)
            filters::embossRow(reinterpret_cast<const Pixel*>(src.constScanLine(y)) + 1,
                               reinterpret_cast<const Pixel*>(src.constScanLine(y + 1)) + 2,
                               reinterpret_cast<Pixel*>(dst.scanLine(y)) + 1, w - 2);
        return;
    }
    const filters::RowRule rule = filters::rowRule(k);
    for (int y = 0; y < h; ++y)
        rule(reinterpret_cast<const Pixel*>(src.constScanLine(y)), reinterpret_cast<Pixel*>(dst.scanLine(y)), w);
}

void engineRun(filters::Enhancer& e, Kind k) {
    if (k == Kind::Invert) {
        e.invert(QSize(640, 480));
        return;
    }
    e.begin(k, kWidth, kHeight);
    for (int y = e.firstRow(); y < e.endRow(); ++y)
        e.runRow(y);
    e.finish(QSize(640, 480));
}

std::string fmt(double v, const char* f = "%.1f") {
    char buf[32];
    std::snprintf(buf, sizeof buf, f, v);
    return buf;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int repeats = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    const int toolRepeats = std::max(3, repeats / 2);
    const Kind kinds[] = {Kind::Invert, Kind::Solarize, Kind::Emboss, Kind::Grey,
                          Kind::Red,    Kind::Green,    Kind::Blue};

    QTemporaryDir programDir;
    auto* frame = new MDIForm1(programDir.path());
    auto* viewer = new Form9(*frame);

    // Peak memory of the viewer: the photograph, then every filter once.
    const long rss0 = statusKb("VmRSS:");
    {
        QImage photo = makePhoto();
        viewer->showPhoto(photo);
    }
    const bool peakReset = resetPeak();
    for (Kind k : kinds)
        viewer->runFilter(k);
    const long hwm = statusKb("VmHWM:");
    const double copies = (hwm - rss0) * 1024.0 / kImageBytes;

    const QImage& photo = viewer->pictures().sourceCopy();
    QImage dst(kWidth, kHeight, QImage::Format_RGB32);
    dst.fill(0u);

    std::printf("Enhancement filters on a %d x %d photograph (%.0f MB at 32 bits), best of %d%s\n",
                kWidth, kHeight, kImageBytes / 1e6, repeats,
                filters::wideInstructions() ? ", AVX2 code chosen" : ", plain x86-64 code");
    std::printf("ms: wall clock / CPU time of the thread; x memcpy from the CPU times\n\n");

    const Timing copy = timeIt(repeats, [&] { std::memcpy(dst.bits(), photo.constBits(), size_t(kImageBytes)); });
    const Timing scale = timeIt(repeats, [&] { filters::scaleForDisplay(photo, QSize(640, 480)); });

    struct Row {
        Timing rule, plain, engine, window;
    };
    std::map<Kind, Row> ours;
    for (Kind k : kinds) {
        Row r;
        r.rule = timeIt(repeats, [&] { ruleOnImage(k, photo, dst); });
        const bool wide = filters::wideInstructions();
        filters::setWideInstructions(false);
        r.plain = timeIt(repeats, [&] { ruleOnImage(k, photo, dst); });
        filters::setWideInstructions(wide);
        filters::Enhancer e;
        e.setPhoto(photo);
        r.engine = timeIt(repeats, [&] { engineRun(e, k); });
        r.window = timeIt(repeats, [&] { viewer->runFilter(k); });
        ours[k] = r;
    }

    std::printf("%-22s %15s %9s %15s %17s %17s\n", "operation", "rule ms", "x memcpy", "plain x86-64",
                "end to end ms", "viewer ms");
    std::printf("%-22s %15s %9s\n", "memcpy of the image",
                (fmt(copy.wall) + " / " + fmt(copy.cpu)).c_str(), "1.00");
    std::printf("%-22s %15s %9s\n", "display hand-over",
                (fmt(scale.wall) + " / " + fmt(scale.cpu)).c_str(), fmt(scale.cpu / copy.cpu, "%.2f").c_str());
    for (Kind k : kinds) {
        const Row& r = ours[k];
        std::printf("%-22s %15s %9s %15s %17s %17s\n", name(k),
                    (fmt(r.rule.wall) + " / " + fmt(r.rule.cpu)).c_str(),
                    fmt(r.rule.cpu / copy.cpu, "%.2f").c_str(),
                    (fmt(r.plain.wall) + " / " + fmt(r.plain.cpu)).c_str(),
                    (fmt(r.engine.wall) + " / " + fmt(r.engine.cpu)).c_str(),
                    (fmt(r.window.wall) + " / " + fmt(r.window.cpu)).c_str());
    }
    std::printf("\n'end to end': copy to source, clear, rows, hand-over to a 640 x 480 display, restore;\n"
                "'viewer': the same through the picture viewer, with its progress bar and event loop.\n");
    if (peakReset)
        std::printf("Peak memory while filtering: %.2f copies of the image (%ld MB above the empty viewer)\n\n",
                    copies, (hwm - rss0) / 1024);
    else
        std::printf("Peak memory: not measurable here (no /proc/self/clear_refs)\n\n");

    // The other programs, on the same pixels.
    const std::string magick = findProgram({"magick", "/usr/bin/convert-im6.q16", "/usr/bin/convert"});
    const std::string vips = findProgram({"vips"});
    if (magick.empty() || vips.empty()) {
        std::printf("ImageMagick or libvips not found: install imagemagick and libvips-tools "
                    "(bench/run_filters.sh does).\n");
    }
    QTemporaryDir work(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/veilbench-XXXXXX")
                                                              : QDir::tempPath() + QStringLiteral("/veilbench-XXXXXX"));
    const std::string dir = work.path().toStdString() + "/";
    {
        QFile raw(QString::fromStdString(dir + "in.rgb"));
        raw.open(QIODevice::WriteOnly);
        QByteArray line(kWidth * 3, '\0');
        for (int y = 0; y < kHeight; ++y) {
            const auto* p = reinterpret_cast<const Pixel*>(photo.constScanLine(y));
            for (int x = 0; x < kWidth; ++x) {
                line[3 * x] = char(p[x] >> 16);
                line[3 * x + 1] = char(p[x] >> 8);
                line[3 * x + 2] = char(p[x]);
            }
            raw.write(line);
        }
        QFile lut(QString::fromStdString(dir + "solarize.pgm"));
        lut.open(QIODevice::WriteOnly);
        lut.write("P5 256 1 255\n");
        for (int c = 0; c < 256; ++c)
            lut.putChar(char(c < 128 ? 255 - c : c));
        QFile emboss(QString::fromStdString(dir + "emboss.mat"));
        emboss.open(QIODevice::WriteOnly);
        emboss.write("2 2 1 128\n1 0\n0 -1\n");
        QFile grey(QString::fromStdString(dir + "grey.mat"));
        grey.open(QIODevice::WriteOnly);
        grey.write("3 1\n0.33 0.56 0.11\n");
    }
    bool toolsReady = !magick.empty() && !vips.empty();
    if (toolsReady) {
        toolsReady = runTool({vips, "rawload", dir + "in.rgb", dir + "in.v", std::to_string(kWidth),
                              std::to_string(kHeight), "3"}, {})
                         .has_value() &&
                     runTool({vips, "copy", dir + "solarize.pgm", dir + "solarize.v"}, {}).has_value();
        if (!toolsReady)
            std::printf("Could not prepare the input for libvips.\n");
    }
    if (toolsReady) {
        const std::vector<std::string> imIn = {magick, "-size", std::to_string(kWidth) + "x" + std::to_string(kHeight),
                                               "-depth", "8", "rgb:" + dir + "in.rgb"};
        const std::string imOut = "rgb:" + dir + "out.rgb";
        // ImageMagick's reading and writing dwarf its cheaper operations, so
        // each operation is applied `runs` times in one command.
        auto im = [&](int runs, std::vector<std::string> ops) {
            std::vector<std::string> a = imIn;
            for (int i = 0; i < runs; ++i)
                a.insert(a.end(), ops.begin(), ops.end());
            a.push_back(imOut);
            return a;
        };
        auto vi = [&](std::vector<std::string> args) {
            std::vector<std::string> a = {vips};
            a.insert(a.end(), args.begin(), args.end());
            return a;
        };
        const std::string in = dir + "in.v", out = dir + "out.v";
        struct Tool {
            const char* imDesc;
            int imRuns;
            std::vector<std::string> imOp;
            const char* vipsDesc;
            std::vector<std::string> vipsOp;
        };
        std::map<Kind, Tool> tools = {
            {Kind::Invert, {"-negate", 16, im(16, {"-negate"}), "invert", vi({"invert", in, out})}},
            {Kind::Solarize, {"-solarize 50%", 8, im(8, {"-solarize", "50%"}), "maplut (LUT)",
                              vi({"maplut", in, out, dir + "solarize.v"})}},
            {Kind::Emboss, {"2x2 convolve", 2, im(2, {"-define", "convolve:bias=50%", "-morphology", "Convolve",
                                                      "2x2+0+0:1,0,0,-1"}),
                            "conv 2x2", vi({"conv", in, out, dir + "emboss.mat", "--precision", "integer"})}},
            {Kind::Grey, {"-grayscale Rec601", 4, im(4, {"-grayscale", "Rec601Luma"}), "recomb 0.33/.56/.11",
                          vi({"recomb", in, out, dir + "grey.mat"})}},
            {Kind::Red, {"-channel GB set 0", 8, im(8, {"-channel", "GB", "-evaluate", "set", "0", "+channel"}),
                         "and 255 0 0", vi({"boolean_const", in, out, "and", "255 0 0"})}},
            {Kind::Green, {"-channel RB set 0", 8, im(8, {"-channel", "RB", "-evaluate", "set", "0", "+channel"}),
                           "and 0 255 0", vi({"boolean_const", in, out, "and", "0 255 0"})}},
            {Kind::Blue, {"-channel RG set 0", 8, im(8, {"-channel", "RG", "-evaluate", "set", "0", "+channel"}),
                          "and 0 0 255", vi({"boolean_const", in, out, "and", "0 0 255"})}},
        };
        const auto imBase = im(0, {});
        const auto vipsBase = vi({"copy", in, out});
        std::printf("Against the nearest operations of ImageMagick (%s) and libvips (%s), best of %d,\n"
                    "operation only (command less the same command without the operation; ImageMagick\n"
                    "applies it 2 to 16 times in the command and the difference is divided by that), ms wall / CPU;\n"
                    "'x' = their time / ours (CPU times at one thread, wall clock at two; above 1: we are faster)\n\n",
                    magick.c_str(), vips.c_str(), toolRepeats);
        std::printf("%-9s %-19s %-20s %11s %13s %13s %7s %7s %13s %13s %7s %7s\n", "filter", "ImageMagick", "libvips",
                    "ours", "IM 1 thread", "vips 1 thr.", "x IM", "x vips", "IM 2 threads", "vips 2 thr.",
                    "x IM", "x vips");
        for (Kind k : kinds) {
            const Tool& t = tools[k];
            const Row& r = ours[k];
            Timing imT[2], viT[2];
            for (int threads = 1; threads <= 2; ++threads) {
                const std::string n = std::to_string(threads);
                imT[threads - 1] = toolOp(toolRepeats, t.imOp, imBase,
                                          {{"MAGICK_THREAD_LIMIT", n}, {"OMP_NUM_THREADS", n}});
                imT[threads - 1].wall /= t.imRuns;
                imT[threads - 1].cpu /= t.imRuns;
                viT[threads - 1] = toolOp(toolRepeats, t.vipsOp, vipsBase, {{"VIPS_CONCURRENCY", n}});
            }
            // A difference at or below zero means the operation drowned in the noise of the run.
            auto ms = [](double v) { return v > 0 ? fmt(v, "%.0f") : std::string("~0"); };
            auto cell = [&](const Timing& x) { return x.ok ? ms(x.wall) + " / " + ms(x.cpu) : std::string("failed"); };
            auto ratio = [](const Timing& x, double ourMs) {
                return x.ok && ourMs > 0 && x.cpu > 0 ? fmt(x.cpu / ourMs, "%.1f") : std::string("-");
            };
            auto ratioWall = [](const Timing& x, double ourMs) {
                return x.ok && ourMs > 0 && x.wall > 0 ? fmt(x.wall / ourMs, "%.1f") : std::string("-");
            };
            std::printf("%-9s %-19s %-20s %11s %13s %13s %7s %7s %13s %13s %7s %7s\n", name(k), t.imDesc, t.vipsDesc,
                        (fmt(r.rule.wall) + " / " + fmt(r.rule.cpu)).c_str(), cell(imT[0]).c_str(),
                        cell(viT[0]).c_str(), ratio(imT[0], r.rule.cpu).c_str(), ratio(viT[0], r.rule.cpu).c_str(),
                        cell(imT[1]).c_str(), cell(viT[1]).c_str(), ratioWall(imT[1], r.rule.wall).c_str(),
                        ratioWall(viT[1], r.rule.wall).c_str());
        }
    }
    delete viewer;
    delete frame;
    return 0;
}
