// Random texts, delimiters and field numbers through GetField and GetExtension.
// GetField is checked against splitting the text the slow way; GetExtension
// against what an extension must look like; storedPicturePath must name a
// regular file inside its image folder or nothing.
#include "store/fileroutines.h"
#include "store/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

QString splitFields(const QString& text, const QString& delimiter, int first, int last) {
    if (text.isEmpty() || delimiter.isEmpty())
        return {};
    const int f = std::max(first, 1);
    const int l = std::max(last, f);
    const QStringList parts = text.split(delimiter, Qt::KeepEmptyParts, Qt::CaseSensitive);
    if (parts.size() == 1)
        return text;
    if (f > parts.size())
        return {};
    return parts.mid(f - 1, qsizetype(l) - f + 1).join(delimiter);
}

void check(bool ok) {
    if (!ok)
        std::abort();
}

// A program folder with pictures, one outside it, links out and in, and a folder.
struct Folder {
    QTemporaryDir root;
    QString program = root.filePath(QStringLiteral("p"));
    Folder() {
        for (const char* f : {"p/locations/a.jpg", "p/Investigations/17/b.jpg", "p/secret.jpg", "out/c.jpg", "p/locations/dir/"}) {
            QDir().mkpath(QFileInfo(root.filePath(QLatin1String(f))).absolutePath());
            QFile(root.filePath(QLatin1String(f))).open(QIODevice::WriteOnly);
        }
        const char* const links[][2] = {
            {"p/secret.jpg", "p/locations/s.jpg"}, {"out", "p/locations/out"}, {"p/locations/a.jpg", "p/locations/in.jpg"}};
        for (const auto& l : links)
            QFile::link(root.filePath(QLatin1String(l[0])), root.filePath(QLatin1String(l[1])));
    }
};

void checkPicturePath(const QString& folder, const QString& stored) {
    static Folder f;
    const QString found = veil::storedPicturePath(f.program, folder, stored);
    if (found.isEmpty())
        return;
    const QFileInfo info(found);
    const QString within = QFileInfo(veil::programPath(f.program, folder)).canonicalFilePath();
    check(info.isFile() && !within.isEmpty() && info.canonicalFilePath().startsWith(within + QLatin1Char('/')));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5)
        return 0;
    int16_t first = 0, last = 0;
    std::memcpy(&first, data, 2);
    std::memcpy(&last, data + 2, 2);
    const size_t delimiterUnits = data[4] % 4; // 0 to 3 UTF-16 units
    data += 5;
    size -= 5;

    // Any UTF-16 units, lone surrogates and NULs included.
    const size_t units = size / 2;
    QString all(qsizetype(units), Qt::Uninitialized);
    std::memcpy(all.data(), data, units * 2);
    // Small alphabets make delimiters occur often.
    if (first & 0x4000)
        for (QChar& c : all)
            c = QChar(u',' + c.unicode() % 3);
    const QString delimiter = all.left(qsizetype(std::min(delimiterUnits, units)));
    const QString text = all.mid(delimiter.size());

    check(veil::GetField(text, delimiter, first, last) == splitFields(text, delimiter, first, last));
    check(veil::GetField(text, delimiter, first) == splitFields(text, delimiter, first, 0));

    const QString ext = veil::GetExtension(text);
    check(!ext.contains(QLatin1Char('.')));
    check(!ext.startsWith(QLatin1Char(' ')) && !ext.endsWith(QLatin1Char(' ')));
    check(text.contains(QLatin1Char('.')) || ext.isEmpty());
    check(ext.isEmpty() || text.contains(ext));

    // The key check must hold for any input too.
    const QString problem = veil::fileNameProblem(text, delimiter);
    if (text.contains(QLatin1Char('/')) || text.contains(QChar(0)) || text == QLatin1String("..") ||
        text.trimmed().isEmpty())
        check(!problem.isEmpty());

    // Stored picture names over a small alphabet of path pieces, so that
    // "..", separators and names of real entries occur.
    static const char* const pieces[] = {"..", ".", "\\", "/", "locations", "LOCATIONS", "Investigations",
                                         "17", "a.jpg", "A.JPG", "b.jpg", "s.jpg", "out", "c.jpg",
                                         "secret.jpg", "in.jpg", "dir", "p"};
    QString stored;
    for (QChar c : text)
        stored += QLatin1String(pieces[c.unicode() % (sizeof pieces / sizeof *pieces)]);
    checkPicturePath(first & 1 ? veil::files::locations : veil::files::investigations, stored);
    checkPicturePath(veil::files::locations, text);
    return 0;
}
