#include "attachphoto.h"
#include "paths.h"
#include "picturebox.h"
#include "programfolder.h"
#include "testui.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QtEndian>

using namespace veil;
using namespace veil::test;

namespace {

// A window like the Location window: a name, a picture-name box, an address
// line and a photo area, wired the way the real windows wire the attacher.
struct TestWindow {
    ProgramFolder folder;
    TestUi ui;
    QWidget host;
    QLineEdit* name = new QLineEdit(&host);
    QLineEdit* pictureName = new QLineEdit(&host);
    QLineEdit* address = new QLineEdit(&host);
    PictureBox* photo = new PictureBox(&host, QStringLiteral("Image1"), QRect(0, 30, 160, 120));
    PhotoAttacher* attacher = nullptr;
    QStringList events; // the order of focus moves and messages

    TestWindow() {
        attacher = new PhotoAttacher(&host, {
            .picture = photo,
            .programFolder = folder.path(),
            .folder = files::locations,
            .key = [this] { return name->text(); },
            .emptyKeyMessage = QStringLiteral("You must fill out the Contact info before adding image"),
            .emptyKeyDropMessage = QStringLiteral("Please fill in form before adding picture"),
            .beforeEmptyKeyDropMessage = [this] { events << QStringLiteral("focus name"); },
            .attached =
                [this](const Attachment& a) {
                    pictureName->setText(a.fileName);
                    if (a.route == AttachRoute::Dialog) {
                        name->setReadOnly(true);
                        address->setFocus();
                    }
                },
        });
        host.resize(200, 200);
        host.show();
    }
    QString locations(const QString& file = {}) const {
        return programFile(folder.path(), files::locations, file);
    }
};

QString scratch(const QString& name) {
    static QTemporaryDir dir;
    return dir.filePath(name);
}

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& data) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// Every file under a folder with a digest of its content.
QMap<QString, QByteArray> snapshot(const QString& root) {
    QMap<QString, QByteArray> out;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        out.insert(f, QCryptographicHash::hash(bytes(f), QCryptographicHash::Sha1));
    }
    return out;
}

// Drops files on a widget as a file manager does: text/uri-list data.
void dropOn(QWidget* target, const QList<QUrl>& urls) {
    QMimeData mime;
    mime.setUrls(urls);
    const QPointF at(10, 10);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

void dropFiles(QWidget* target, const QStringList& files) {
    QList<QUrl> urls;
    for (const QString& f : files)
        urls << QUrl::fromLocalFile(f);
    dropOn(target, urls);
}

quint32 crc32(const QByteArray& data) {
    quint32 c = 0xffffffffu;
    for (char ch : data) {
        c ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xedb88320u & (0u - (c & 1u)));
    }
    return ~c;
}

// A PNG that is only a header declaring width x height pixels.
QByteArray pngHeader(quint32 width, quint32 height) {
    QByteArray ihdr("IHDR");
    char be[4];
    qToBigEndian(width, be);
    ihdr.append(be, 4);
    qToBigEndian(height, be);
    ihdr.append(be, 4);
    ihdr.append("\x08\x02\x00\x00\x00", 5); // 8-bit RGB
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    qToBigEndian(quint32(13), be);
    png.append(be, 4);
    png.append(ihdr);
    qToBigEndian(crc32(ihdr), be);
    png.append(be, 4);
    return png + QByteArray(64, '\0');
}

// A BMP header declaring width x height pixels at 24 bits, with a few bytes of data.
QByteArray bmpHeader(qint32 width, qint32 height) {
    QByteArray bmp(54, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    qToLittleEndian(quint32(0x7fffffff), bmp.data() + 2); // file size
    qToLittleEndian(quint32(54), bmp.data() + 10);        // pixel data offset
    qToLittleEndian(quint32(40), bmp.data() + 14);        // info header size
    qToLittleEndian(width, bmp.data() + 18);
    qToLittleEndian(height, bmp.data() + 22);
    qToLittleEndian(quint16(1), bmp.data() + 26);
    qToLittleEndian(quint16(24), bmp.data() + 28);
    return bmp + QByteArray(256, '\x55');
}

} // namespace

class AttachTest : public QObject {
    Q_OBJECT
private slots:
    void dialogAttachesUnderTheKey() {
        TestWindow w;
        const QString mill = scratch(QStringLiteral("Pics/mill.JPG"));
        QVERIFY(writePicture(mill, "JPG", 40, 30));
        const QByteArray original = bytes(mill);
        w.name->setText(QStringLiteral("Old Mill"));
        w.ui.setNextFileName(mill);

        QVERIFY(w.attacher->attachByDialog());
        QCOMPARE(w.ui.dialogs.size(), 1);
        QCOMPARE(w.ui.dialogs[0].title, QStringLiteral("Open Image"));
        QCOMPARE(w.ui.dialogs[0].filter, QStringLiteral("*.bmp;*.gif;*;jpg"));
        QCOMPARE(w.ui.dialogs[0].startFolder, w.folder.path());
        QCOMPARE(lastChosenFile(), mill);

        const QString copy = w.locations(QStringLiteral("Old Mill.JPG"));
        QCOMPARE(bytes(copy), original);
        QCOMPARE(bytes(mill), original);
        QCOMPARE(w.pictureName->text(), QStringLiteral("Old Mill.JPG"));
        QCOMPARE(w.attacher->extension(), QStringLiteral("JPG"));
        QCOMPARE(w.attacher->destination(), copy);
        QCOMPARE(w.photo->file(), copy);
        QVERIFY(w.name->isReadOnly());
        QVERIFY(w.ui.messages.isEmpty());

        // The same key again: the copy asks first; "no" keeps the first copy,
        // which is then what the window shows and names.
        const QString other = scratch(QStringLiteral("Pics/other.JPG"));
        QVERIFY(writePicture(other, "JPG", 20, 20, 0xff00ff00));
        w.ui.setNextFileName(other);
        w.ui.setNextAnswer(false);
        QVERIFY(w.attacher->attachByDialog());
        QCOMPARE(w.ui.replaceAsked, QStringList{copy});
        QCOMPARE(bytes(copy), original);
        QCOMPARE(w.photo->picture().width(), 40);
    }

    void cancelAndNonPicturesChangeNothing() {
        TestWindow w;
        w.name->setText(QStringLiteral("Old Mill"));
        const auto before = snapshot(w.folder.path());

        w.ui.setNextFileName(QString());
        QVERIFY(!w.attacher->attachByDialog());
        QCOMPARE(lastChosenFile(), QString());

        const QString text = scratch(QStringLiteral("notes.txt"));
        writeBytes(text, "not a picture");
        w.ui.setNextFileName(text);
        QVERIFY(!w.attacher->attachByDialog());
        QCOMPARE(lastChosenFile(), text);

        QCOMPARE(snapshot(w.folder.path()), before);
        QVERIFY(w.pictureName->text().isEmpty());
        QVERIFY(!w.name->isReadOnly());
        QVERIFY(w.ui.messages.isEmpty()); // the dialog route stops quietly
    }

    void emptyKeyShowsTheWindowsMessage() {
        TestWindow w;
        QVERIFY(!w.attacher->attachByDialog());
        QCOMPARE(w.ui.lastText(), QStringLiteral("You must fill out the Contact info before adding image"));
        QCOMPARE(w.ui.messages.last().title, QStringLiteral("Veilcase"));
        QVERIFY(w.ui.dialogs.isEmpty());

        const QString mill = scratch(QStringLiteral("mill2.JPG"));
        QVERIFY(writePicture(mill));
        w.ui.clear();
        dropFiles(w.photo, {mill});
        QCOMPARE(w.events, QStringList{QStringLiteral("focus name")});
        QCOMPARE(w.ui.texts(), QStringList{QStringLiteral("Please fill in form before adding picture")});
        QVERIFY(QDir(w.locations()).isEmpty());
    }

    void dropAttachesTheFirstFile() {
        TestWindow w;
        QVERIFY(w.photo->acceptDrops());
        w.name->setText(QStringLiteral("Old Mill"));
        const QString a = scratch(QStringLiteral("first.png"));
        const QString b = scratch(QStringLiteral("second.bmp"));
        const QString c = scratch(QStringLiteral("third.jpeg"));
        QVERIFY(writePicture(a, "PNG"));
        QVERIFY(writePicture(b, "BMP"));
        QVERIFY(writePicture(c, "JPG"));
        dropFiles(w.photo, {a, b, c});
        QCOMPARE(QDir(w.locations()).entryList(QDir::Files), QStringList{QStringLiteral("Old Mill.png")});
        QCOMPARE(w.pictureName->text(), QStringLiteral("Old Mill.png"));
        QVERIFY(!w.name->isReadOnly()); // the drop leaves the name as it was
        QVERIFY(w.ui.messages.isEmpty());
    }

    void dropErrors() {
        TestWindow w;
        w.name->setText(QStringLiteral("Old Mill"));
        const auto before = snapshot(w.folder.path());

        const QString text = scratch(QStringLiteral("readme.txt"));
        writeBytes(text, "hello");
        dropFiles(w.photo, {text});
        QCOMPARE(w.ui.messages.size(), 1);
        QCOMPARE(w.ui.messages[0].text, QStringLiteral("Invalid Picture"));
        QCOMPARE(w.ui.messages[0].title, QStringLiteral("Error! 481  "));

        // A drop of a link, not a file.
        dropOn(w.photo, {QUrl(QStringLiteral("https://example.org/a.jpg"))});
        QCOMPARE(w.ui.messages.size(), 2);
        QCOMPARE(w.ui.messages[1].title, QStringLiteral("ERROR!"));
        QVERIFY(w.ui.messages[1].text.startsWith(QStringLiteral("461 - ")));

        // A dropped file that has gone since.
        dropFiles(w.photo, {scratch(QStringLiteral("gone.jpg"))});
        QCOMPARE(w.ui.messages.size(), 3);
        QCOMPARE(w.ui.messages[2].title, QStringLiteral("ERROR!"));
        QVERIFY(w.ui.messages[2].text.startsWith(QStringLiteral("53 - ")));

        QCOMPARE(snapshot(w.folder.path()), before);
        QVERIFY(w.pictureName->text().isEmpty());
    }

    // The copy cannot be made: the copy says so, and the copy's failed load ends the drop.
    void failedCopyOnDrop() {
        TestWindow w;
        w.name->setText(QStringLiteral("Old Mill"));
        QVERIFY(QDir(w.locations()).removeRecursively());
        writeBytes(w.folder.file(QStringLiteral("locations")), "a file in the way");
        const QString mill = scratch(QStringLiteral("mill3.JPG"));
        QVERIFY(writePicture(mill));
        dropFiles(w.photo, {mill});
        QCOMPARE(w.ui.messages.size(), 2);
        QVERIFY(w.ui.messages[0].text.startsWith(QStringLiteral("Cannot copy")));
        QCOMPARE(w.ui.messages[1].title, QStringLiteral("ERROR!"));
        QVERIFY(w.pictureName->text().isEmpty());
    }

    void hostileKeysAreRefused_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("sourceName");
        QTest::newRow("blank") << QStringLiteral("  ") << QStringLiteral("p.jpg");
        QTest::newRow("database") << QStringLiteral("../Veilcase") << QStringLiteral("p.mdb");
        QTest::newRow("clean database") << QStringLiteral("../Clean_DB") << QStringLiteral("p");
        QTest::newRow("slash") << QStringLiteral("a/b") << QStringLiteral("p.jpg");
        QTest::newRow("absolute") << QStringLiteral("/tmp/veilcase-attach") << QStringLiteral("p.jpg");
        QTest::newRow("nul") << (QStringLiteral("a") + QChar(0) + QStringLiteral("b")) << QStringLiteral("p.jpg");
        QTest::newRow("dot") << QStringLiteral(".") << QStringLiteral("p.jpg");
        QTest::newRow("dot dot") << QStringLiteral("..") << QStringLiteral("p.jpg");
        QTest::newRow("too long") << QString(300, QLatin1Char('k')) << QStringLiteral("p.jpg");
        QTest::newRow("fits alone, not with the extension")
            << QString(253, QLatin1Char('k')) << QStringLiteral("p.jpeg");
        QTest::newRow("folder in the extension") << QStringLiteral("Mill") << QStringLiteral("dir.x/photo");
    }
    void hostileKeysAreRefused() {
        QFETCH(QString, key);
        QFETCH(QString, sourceName);
        TestWindow w;
        const QString source = scratch(QStringLiteral("hostile/") + sourceName);
        QVERIFY(writePicture(source, "PNG"));
        w.name->setText(key);
        const auto before = snapshot(w.folder.path());

        w.ui.setNextFileName(source);
        QVERIFY(!w.attacher->attachByDialog());
        dropFiles(w.photo, {source});

        QCOMPARE(w.ui.messages.size(), 2);
        for (const auto& m : w.ui.messages)
            QVERIFY2(m.text.contains(QStringLiteral("cannot")), qPrintable(m.text));
        QCOMPARE(snapshot(w.folder.path()), before);
        QVERIFY(!QFile::exists(QStringLiteral("/tmp/veilcase-attach.png")));
        QVERIFY(w.pictureName->text().isEmpty());
    }

    // Hostile or broken picture files are refused quickly, before anything is copied.
    void brokenPicturesAreInvalid_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("name");
        QTest::newRow("zero bytes") << QByteArray() << QStringLiteral("empty.jpg");
        QTest::newRow("png bomb") << pngHeader(100000, 100000) << QStringLiteral("bomb.png");
        QTest::newRow("bmp bomb") << bmpHeader(100000, 100000) << QStringLiteral("bomb.bmp");
        QTest::newRow("jpeg cut in its header") << QByteArray() << QStringLiteral("cut.jpg");
        QTest::newRow("png cut short") << QByteArray() << QStringLiteral("cut.png");
    }
    void brokenPicturesAreInvalid() {
        QFETCH(QByteArray, content);
        QFETCH(QString, name);
        const QString path = scratch(QStringLiteral("broken/") + name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (name.startsWith(QStringLiteral("cut."))) {
            const char* format = name.endsWith(QStringLiteral("png")) ? "PNG" : "JPG";
            QVERIFY(writePicture(path, format, 400, 300));
            const QByteArray whole = bytes(path);
            writeBytes(path, whole.left(format[0] == 'P' ? whole.size() / 2 : 40));
        } else {
            writeBytes(path, content);
        }
        TestWindow w;
        w.name->setText(QStringLiteral("Old Mill"));
        QElapsedTimer clock;
        clock.start();
        dropFiles(w.photo, {path});
        QVERIFY2(clock.elapsed() < 5000, "a hostile file must be refused without decoding it");
        QCOMPARE(w.ui.texts(), QStringList{QStringLiteral("Invalid Picture")});
        QVERIFY(QDir(w.locations()).isEmpty());
    }

    // Add Pictures: the picture is shown, nothing is copied.
    void showingWithoutCopying() {
        TestWindow w;
        const auto before = snapshot(w.folder.path());
        const QString good = scratch(QStringLiteral("show/good.jpg"));
        const QString text = scratch(QStringLiteral("show/notes.txt"));
        QVERIFY(writePicture(good, "JPG", 50, 40));
        writeBytes(text, "words");

        w.ui.setNextFileName(good);
        PickedPicture p = pickPicture(w.photo, w.folder.path());
        QCOMPARE(p.outcome, PickedPicture::Shown);
        QCOMPARE(p.path, good);
        QCOMPARE(w.photo->file(), good);

        w.ui.setNextFileName(text);
        p = pickPicture(w.photo, w.folder.path());
        QCOMPARE(p.outcome, PickedPicture::NotShown);
        QCOMPARE(w.ui.messages.size(), 1);
        QVERIFY(w.ui.lastText().contains(text));
        QCOMPARE(w.photo->file(), good);

        w.ui.setNextFileName(QString());
        QCOMPARE(pickPicture(w.photo, w.folder.path()).outcome, PickedPicture::Cancelled);
        QCOMPARE(w.photo->file(), good);

        QCOMPARE(showDroppedPicture(w.photo, {text, good}), std::nullopt);
        QCOMPARE(w.ui.messages.last().title, QStringLiteral("Error! 481  "));
        QCOMPARE(showDroppedPicture(w.photo, {}), std::nullopt);
        QCOMPARE(w.ui.messages.last().title, QStringLiteral("ERROR!"));
        const QString png = scratch(QStringLiteral("show/other.png"));
        QVERIFY(writePicture(png, "PNG"));
        QCOMPARE(showDroppedPicture(w.photo, {png, text}), std::optional<QString>(png));
        QCOMPARE(w.photo->file(), png);
        QCOMPARE(snapshot(w.folder.path()), before);
    }
};

QTEST_MAIN(AttachTest)
#include "test_attach.moc"
