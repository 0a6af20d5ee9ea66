#include "attachphoto.h"
#include "dropevents.h"
#include "paths.h"
#include "picturebox.h"
#include "programfolder.h"
#include "testui.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QImageReader>
#include <QLineEdit>
#include <QTest>
#include <QtEndian>

using namespace veil;
using namespace veil::test;

namespace {

// A window wired as the Location window wires the attacher.
struct TestWindow {
    ProgramFolder folder;
    TestUi ui;
    QWidget host;
    QLineEdit* name = new QLineEdit(&host);
    QLineEdit* pictureName = new QLineEdit(&host);
    PictureBox* photo = new PictureBox(&host, QStringLiteral("Image1"), QRect(0, 30, 160, 120));
    QStringList events;
    PhotoAttacher* attacher = new PhotoAttacher(&host, {
        .picture = photo,
        .programFolder = folder.path(),
        .folder = files::locations,
        .key = [this] { return name->text(); },
        .emptyKeyMessage = QStringLiteral("You must fill out the Contact info before adding image"),
        .emptyKeyDropMessage = QStringLiteral("Please fill in form before adding picture"),
        .beforeEmptyKeyDropMessage = [this] { events << QStringLiteral("focus"); },
        .attached = [this](const Attachment& a) {
            pictureName->setText(a.fileName);
            name->setReadOnly(a.route == AttachRoute::Dialog);
        },
    });
    explicit TestWindow(const QString& key = QStringLiteral("Old Mill")) { name->setText(key); host.show(); }
    QStringList copies() const { return QDir(folder.file(QStringLiteral("locations"))).entryList(QDir::Files); }
};

QString scratch(const QString& name, const char* format = nullptr, QByteArray content = {}) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (format) {
        writePicture(path, format, 40, 30);
    } else {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(content);
    }
    return path;
}

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QMap<QString, QByteArray> snapshot(const QString& root) {
    QMap<QString, QByteArray> out;
    for (QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        const QString f = it.next();
        out.insert(f, bytes(f));
    }
    return out;
}

// Headers that declare 100000 x 100000 and 15000 x 15000 pixels (the larger is Qt's own limit for BMP).
QByteArray pngBomb() {
    QByteArray ihdr = QByteArray("IHDR") + QByteArray::fromHex("000186a0000186a00802000000");
    quint32 crc = 0xffffffffu;
    for (char ch : ihdr) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    char be[4];
    qToBigEndian(~crc, be);
    return QByteArray("\x89PNG\r\n\x1a\n\0\0\0\x0d", 12) + ihdr + QByteArray(be, 4) +
           QByteArray("\0\0\0\x0bIDAT", 8) + QByteArray(11, '\0'); // the reader stops at the data
}
QByteArray bmpBomb() {
    return QByteArray::fromHex("424dffffff7f000000003600000028000000983a0000983a000001001800") +
           QByteArray(24, '\0') + QByteArray(280, '\x55');
}

} // namespace

class AttachTest : public QObject {
    Q_OBJECT
private slots:
    void dialogAttachesUnderTheKey() {
        TestWindow w;
        const QString mill = scratch(QStringLiteral("Pics/mill.JPG"), "JPG");
        w.ui.setNextFileName(mill);
        QVERIFY(w.attacher->attachByDialog());
        QCOMPARE(w.ui.dialogs.size(), 1);
        QCOMPARE(w.ui.dialogs[0].title, QStringLiteral("Open Image"));
        QCOMPARE(w.ui.dialogs[0].filter, QStringLiteral("*.bmp;*.gif;*;jpg"));
        QCOMPARE(w.ui.dialogs[0].startFolder, w.folder.path());
        QCOMPARE(lastChosenFile(), mill);
        const QString copy = w.folder.file(QStringLiteral("locations/Old Mill.JPG"));
        QCOMPARE(bytes(copy), bytes(mill));
        QCOMPARE(w.pictureName->text(), QStringLiteral("Old Mill.JPG"));
        QCOMPARE(w.photo->file(), copy);
        QVERIFY(w.name->isReadOnly());

        // Again under the same key: asked first; "no" keeps and attaches the first copy.
        const QByteArray first = bytes(copy);
        w.ui.setNextFileName(scratch(QStringLiteral("Pics/other.JPG"), "JPG"));
        w.ui.setNextAnswer(false);
        QVERIFY(w.attacher->attachByDialog());
        QCOMPARE(w.ui.replaceAsked, QStringList{copy});
        QCOMPARE(bytes(copy), first);
        QVERIFY(w.ui.messages.isEmpty());
    }

    void nothingChangesWithoutAPicture() {
        TestWindow w;
        const auto before = snapshot(w.folder.path());
        w.ui.setNextFileName(QString());                                            // cancelled
        QVERIFY(!w.attacher->attachByDialog());
        QCOMPARE(lastChosenFile(), QString());
        w.ui.setNextFileName(scratch(QStringLiteral("notes.txt"), nullptr, "text")); // no picture: quiet
        QVERIFY(!w.attacher->attachByDialog());
        QVERIFY(w.ui.messages.isEmpty());

        dropFiles(w.photo, {scratch(QStringLiteral("readme.txt"), nullptr, "hello")});
        dropUrls(w.photo, {QUrl(QStringLiteral("https://example.org/a.jpg"))});
        dropFiles(w.photo, {scratch(QStringLiteral("gone/x.jpg")) + QStringLiteral("-gone")});
        QCOMPARE(w.ui.messages.size(), 3);
        QCOMPARE(w.ui.messages[0].text, QStringLiteral("Invalid Picture"));
        QCOMPARE(w.ui.messages[0].title, QStringLiteral("Error! 481  "));
        QVERIFY(w.ui.messages[1].text.startsWith(QStringLiteral("461 - ")));
        QVERIFY(w.ui.messages[2].text.startsWith(QStringLiteral("53 - ")));
        QCOMPARE(w.ui.messages[2].title, QStringLiteral("ERROR!"));
        QCOMPARE(snapshot(w.folder.path()), before);
        QVERIFY(w.pictureName->text().isEmpty() && !w.name->isReadOnly());

        TestWindow unnamed{QString()};
        QVERIFY(!unnamed.attacher->attachByDialog());
        dropFiles(unnamed.photo, {scratch(QStringLiteral("p.jpg"), "JPG")});
        QCOMPARE(unnamed.ui.texts(), (QStringList{QStringLiteral("You must fill out the Contact info before adding image"),
                                                  QStringLiteral("Please fill in form before adding picture")}));
        QCOMPARE(unnamed.events, QStringList{QStringLiteral("focus")});
        QVERIFY(unnamed.ui.dialogs.isEmpty() && unnamed.copies().isEmpty());
    }

    void dropAttachesTheFirstFile() {
        TestWindow w;
        QVERIFY(dropFiles(w.photo, {scratch(QStringLiteral("a.png"), "PNG"), scratch(QStringLiteral("b.bmp"), "BMP"),
                            scratch(QStringLiteral("c.jpeg"), "JPG")}));
        QCOMPARE(w.copies(), QStringList{QStringLiteral("Old Mill.png")});
        QCOMPARE(w.pictureName->text(), QStringLiteral("Old Mill.png"));
        QVERIFY(!w.name->isReadOnly());
        QVERIFY(w.ui.messages.isEmpty());
    }

    void hostileKeysAreRefused() {
        const QPair<QString, QString> cases[] = {
            {QStringLiteral("  "), QStringLiteral("p.jpg")}, {QStringLiteral("../Veilcase"), QStringLiteral("p.mdb")},
            {QStringLiteral("../Clean_DB"), QStringLiteral("p")}, {QStringLiteral("/tmp/veilcase-x"), QStringLiteral("p.jpg")},
            {QStringLiteral("a") + QChar(0), QStringLiteral("p.jpg")}, {QStringLiteral("."), QStringLiteral("p.jpg")},
            {QStringLiteral(".."), QStringLiteral("p.jpg")}, {QString(300, u'k'), QStringLiteral("p.jpg")},
            {QString(253, u'k'), QStringLiteral("p.jpeg")}, {QStringLiteral("Mill"), QStringLiteral("d.x/photo")},
        };
        for (const auto& [key, sourceName] : cases) {
            TestWindow w(key);
            const QString source = scratch(QStringLiteral("hostile/") + sourceName, "PNG");
            const auto before = snapshot(w.folder.path());
            w.ui.setNextFileName(source);
            QVERIFY(!w.attacher->attachByDialog());
            dropFiles(w.photo, {source});
            QCOMPARE(w.ui.messages.size(), 2);
            QVERIFY2(w.ui.lastText().contains(QStringLiteral("cannot")), qPrintable(w.ui.lastText()));
            QCOMPARE(snapshot(w.folder.path()), before);
            QVERIFY(!QFile::exists(QStringLiteral("/tmp/veilcase-x.jpg")));
        }
    }

    // Refused quickly as "Invalid Picture", before anything is copied.
    void brokenPicturesAreInvalid() {
        QByteArray jpeg = bytes(scratch(QStringLiteral("whole.jpg"), "JPG"));
        QByteArray png = bytes(scratch(QStringLiteral("whole.png"), "PNG"));
        const QPair<const char*, QByteArray> cases[] = {
            {"empty.jpg", {}}, {"bomb.png", pngBomb()}, {"bomb.bmp", bmpBomb()},
            {"cut.jpg", jpeg.left(40)}, {"cut.png", png.left(png.size() / 2)},
        };
        for (const auto& [name, content] : cases) {
            TestWindow w;
            QElapsedTimer clock;
            clock.start();
            const QString path = scratch(QLatin1String(name), nullptr, content);
            if (QByteArray(name).startsWith("bomb")) // a well-formed header, refused for its size
                QVERIFY(QImageReader(path).size().width() >= 15000);
            dropFiles(w.photo, {path});
            QVERIFY2(clock.elapsed() < 5000, name);
            QCOMPARE(w.ui.texts(), QStringList{QStringLiteral("Invalid Picture")});
            QVERIFY(w.copies().isEmpty());
        }
    }

    // Add Pictures: shown, never copied.
    void showingWithoutCopying() {
        TestWindow w;
        const auto before = snapshot(w.folder.path());
        const QString good = scratch(QStringLiteral("show/good.jpg"), "JPG");
        const QString text = scratch(QStringLiteral("show/notes.txt"), nullptr, "words");
        w.ui.setNextFileName(good);
        QCOMPARE(pickPicture(w.photo, w.folder.path()).outcome, PickedPicture::Shown);
        w.ui.setNextFileName(text);
        const PickedPicture bad = pickPicture(w.photo, w.folder.path());
        QCOMPARE(bad.outcome, PickedPicture::NotShown);
        QVERIFY(w.ui.lastText().contains(text));
        QCOMPARE(pickPicture(w.photo, w.folder.path()).outcome, PickedPicture::Cancelled);
        QCOMPARE(w.photo->file(), good);

        QCOMPARE(showDroppedPicture(w.photo, {text, good}), std::nullopt);
        QCOMPARE(w.ui.messages.last().title, QStringLiteral("Error! 481  "));
        const QString png = scratch(QStringLiteral("show/other.png"), "PNG");
        QCOMPARE(showDroppedPicture(w.photo, {png, text}), std::optional<QString>(png));
        QCOMPARE(w.photo->file(), png);
        QCOMPARE(snapshot(w.folder.path()), before);
    }
};

QTEST_MAIN(AttachTest)
#include "test_attach.moc"
