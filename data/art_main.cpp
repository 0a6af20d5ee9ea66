// Writes the program folder's placeholder pictures: veil_art <program folder>.
#include "widgets/art.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: veil_art <folder> [icon.png]\n");
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
    if (argc > 2 && !veil::art::icon(256).save(QString::fromLocal8Bit(argv[2]), "PNG"))
        return 1;
    return 0;
}
