// Writes the program folder's placeholder pictures and, when asked, the icon
// theme folders of the desktop icon:
//   veil_art <program folder> [<icon folder>]
// where <icon folder> receives <n>x<n>/apps/veilcase.png for every size a
// desktop asks for and scalable/apps/veilcase.svg.
#include "widgets/art.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>

#include <cstdio>

namespace {
bool writeIcons(const QDir& dir) {
    for (int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
        const QString apps = QStringLiteral("%1x%1/apps").arg(size);
        if (!dir.mkpath(apps) ||
            !veil::art::icon(size).save(dir.filePath(apps + QStringLiteral("/veilcase.png")), "PNG"))
            return false;
    }
    if (!dir.mkpath(QStringLiteral("scalable/apps"))) return false;
    const int size = 256;
    QSvgGenerator svg;
    svg.setFileName(dir.filePath(QStringLiteral("scalable/apps/veilcase.svg")));
    svg.setSize({size, size});
    svg.setViewBox(QRect(0, 0, size, size));
    svg.setTitle(QStringLiteral("Veilcase"));
    svg.setDescription(QStringLiteral("The Veilcase icon"));
    QPainter p;
    if (!p.begin(&svg)) return false;
    veil::art::paintIcon(p, size);
    return p.end();
}
} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: veil_art <program folder> [<icon folder>]\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    int n = 0;
    const auto* files = veil::art::placeholderFiles(&n);
    for (int i = 0; i < n; ++i) {
        const QString path = dir.filePath(QString::fromLatin1(files[i].fileName));
        if (!veil::art::draw(files[i].picture).save(path, "JPG", 90)) {
            std::fprintf(stderr, "veil_art: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    if (argc > 2 && !writeIcons(QDir(QString::fromLocal8Bit(argv[2])))) {
        std::fprintf(stderr, "veil_art: cannot write the icons under %s\n", argv[2]);
        return 1;
    }
    return 0;
}
