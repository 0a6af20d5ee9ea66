#include "dropevents.h"
#include "filebytes.h"
#include "framefixture.h"

#include "store/paths.h"
#include "widgets/attachphoto.h"
#include "widgets/imagebutton.h"
#include "widgets/picturebox.h"
#include "widgets/widgetui.h"

#include <QDeadlineTimer>
#include <QDirIterator>
#include <QFileDialog>
#include <QImageReader>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QTimer>

using namespace veil;
using namespace veil::test;

namespace {

// A window wired as the Location window wires the attacher (whose own follow-up
// and messages the window tests check).
struct TestWindow {
    ProgramFolder folder;
    TestUi ui;
    QWidget host;
    QString key;
    QStringList attached; // file names handed to the follow-up
    PictureBox* photo = new PictureBox(&host, "Image1", QRect(0, 30, 160, 120));
    PhotoAttacher* attacher = new PhotoAttacher(&host, {
        .picture = photo, .programFolder = folder.path(), .folder = files::locations, .key = [this] { return key; },
        .emptyKeyMessage = "no key", .emptyKeyDropMessage = "no key to drop on", .beforeEmptyKeyDropMessage = {},
        .attached = [this](const Attachment& a) { attached << a.fileName; },
    });
    explicit TestWindow(const QString& k = "Old Mill") : key(k) { host.show(); }
};

QString scratch(const QString& name, const char* format = nullptr, const QByteArray& content = {}) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(name);
    format ? writePicture(path, format, 40, 30) : writeFileBytes(path, content);
    return path;
}

QMap<QString, QByteArray> snapshot(const QString& root) {
    QMap<QString, QByteArray> out;
    for (QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        const QString f = it.next();
        out.insert(f, fileBytes(f));
    }
    return out;
}

} // namespace

// The attacher of the record windows' photos, and the real dialogs behind the Ui seam.
class AttachTest : public QObject {
    Q_OBJECT
private slots:
    // The offscreen platform has no desktop handler, like a system without xdg-utils.
    void aLinkNoProgramOpensIsReported() {
        QStringList shown;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown << box->text();
                box->accept();
            }
        });
        closer.start(10);
        WidgetUi ui;
        const QString mail = "mailto:a@example.org?subject=Add New";
        QVERIFY(!ui.openUrl(QUrl::fromLocalFile("/p/help/index.htm")) && !ui.openUrl(QUrl(mail, QUrl::TolerantMode)));
        QCOMPARE(shown.size(), 2);
        QVERIFY2(shown[0].startsWith("No program was found to open \"/p/help/index.htm\".") &&
                     shown[0].contains("xdg-utils") &&
                     shown[1].startsWith("No program was found to open \"" + mail + "\"."),
                 qPrintable(shown.join(" | ")));
    }

    // The real (non-native) dialog of the three windows lists every file under
    // the filter text as written, and what is chosen in it is attached.
    void realDialogListsEveryFile_data() {
        QTest::addColumn<QString>("form");
        for (const char* form : {"Form1", "Form5", "Form10"})
            QTest::newRow(form) << QString::fromLatin1(form);
    }
    void realDialogListsEveryFile() {
        QFETCH(QString, form);
        Frame f;
        const QStringList names{"mill.JPG", "a.jpg", "b.png", "c.bmp", "d.gif"};
        for (const QString& name : names)
            QVERIFY(writePicture(f.folder.file(name), name == "mill.JPG" ? "JPG" : "PNG")); // listed by name only
        Connection::open(f.folder.path())->add(tables::investigations, {{"ID", "7"}, {"FullDate_Time", "k-7"}});
        f.dashboard()->Combo2->setEditText("k-7");
        CaseWindow* w = f.frame->show(form);
        if (auto* name = w->findChild<QLineEdit*>("Text1"); form != "Form10")
            name->setText("Old Mill");

        QStringList listed;
        QString filter;
        QTimer poll; // runs inside the dialog's own loop until the dialog is gone
        const QDeadlineTimer deadline(10000);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            auto* view = dialog->findChild<QListView*>("listView");
            listed.clear();
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
            if (!std::all_of(names.begin(), names.end(), [&](const QString& n) { return listed.contains(n); }) &&
                !deadline.hasExpired())
                return;
            filter = dialog->findChild<QComboBox*>("fileTypeCombo")->currentText();
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(f.folder.file("mill.JPG"));
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept, as the Open button does
        });
        poll.start(10);
        WidgetUi real;
        Ui::install(&real);
        form == "Form1" ? menu(w, "Image_Insert")
                        : w->findChild<ImageButton*>(form == "Form5" ? "Label8" : "Label4")->click();
        poll.stop();
        Ui::install(&f.ui);

        QCOMPARE(filter, QStringLiteral("*.bmp;*.gif;*;jpg"));
        for (const QString& name : names)
            QVERIFY2(listed.contains(name), qPrintable(listed.join(", ")));
        QCOMPARE(lastChosenFile(), f.folder.file("mill.JPG"));
        QVERIFY(f.ui.messages.isEmpty());
    }

    // Attached again under the same key, the user is asked first; "no" keeps and attaches the first copy.
    void attachesUnderTheKey() {
        TestWindow w;
        const QString mill = scratch("Pics/mill.JPG", "JPG"), other = scratch("Pics/other.JPG");
        QVERIFY(writePicture(other, "JPG", 20, 20));
        const QString copy = w.folder.file("locations/Old Mill.JPG");
        for (const QString& source : {mill, other}) {
            w.ui.setNextFileName(source);
            QVERIFY(w.attacher->attachByDialog());
            QCOMPARE(fileBytes(copy), fileBytes(mill));
            QCOMPARE(w.photo->file(), copy);
        }
        QCOMPARE(w.ui.replaceAsked, QStringList{copy});
        QCOMPARE(w.attached, (QStringList{"Old Mill.JPG", "Old Mill.JPG"}));
        QVERIFY(w.ui.messages.isEmpty());
    }

    void nothingChangesWithoutAPicture() {
        TestWindow w;
        const auto before = snapshot(w.folder.path());
        w.ui.setNextFileName(QString());                             // cancelled
        QVERIFY(!w.attacher->attachByDialog());
        QCOMPARE(lastChosenFile(), QString());
        QVERIFY(w.ui.messages.isEmpty());

        dropFiles(w.photo, {scratch("readme.txt", nullptr, "hello")});
        dropUrls(w.photo, {QUrl("https://example.org/a.jpg")});
        dropFiles(w.photo, {scratch("gone/x.jpg") + "-gone"});
        QCOMPARE(w.ui.messages.size(), 3);
        QCOMPARE(w.ui.messages[0].text, QStringLiteral("Invalid Picture"));
        QCOMPARE(w.ui.messages[0].title, QStringLiteral("Error! 481  "));
        QVERIFY(w.ui.messages[1].text.startsWith("461 - "));
        QVERIFY(w.ui.messages[2].text.startsWith("53 - "));
        QCOMPARE(w.ui.messages[2].title, QStringLiteral("ERROR!"));
        QCOMPARE(snapshot(w.folder.path()), before);
        QVERIFY(w.attached.isEmpty());
    }

    // Neither route attaches what it cannot, and the program folder stays as it was: a key that cannot
    // be a file name is refused by both; a file that is no picture, judged from its header before
    // anything is copied, stops the dialog quietly and is an "Invalid Picture" when dropped.
    void refusalsChangeNothing() {
        const QByteArray jpeg = fileBytes(scratch("whole.jpg", "JPG"));
        const QByteArray png = fileBytes(scratch("whole.png", "PNG"));
        const std::tuple<QString, QString, QByteArray> cases[] = {
            {"  ", "p.jpg", png}, {"../Veilcase", "p.mdb", png}, {"../Clean_DB", "p", png},
            {"/tmp/veilcase-x", "p.jpg", png}, {QStringLiteral("a") + QChar(0), "p.jpg", png}, {".", "p.jpg", png},
            {"..", "p.jpg", png}, {QString(300, u'k'), "p.jpg", png}, {QString(253, u'k'), "p.jpeg", png},
            {"Mill", "d.x/photo", png},
            {"Old Mill", "empty.jpg", {}}, {"Old Mill", "cut.jpg", jpeg.left(40)},
            {"Old Mill", "cut.png", png.left(png.size() / 2)},
            // Headers of 100000 x 100000 and 15000 x 15000 pixels (the larger is Qt's own limit for BMP);
            // the PNG's with its right checksum, then data the reader never gets to.
            {"Old Mill", "bomb.png", QByteArray::fromHex("89504e470d0a1a0a0000000d49484452000186a0000186a00802000000"
                                                         "27309c9f0000000b49444154") + QByteArray(11, '\0')},
            {"Old Mill", "bomb.bmp",
             QByteArray::fromHex("424dffffff7f000000003600000028000000983a0000983a000001001800") +
                 QByteArray(24, '\0') + QByteArray(280, '\x55')},
        };
        for (const auto& [key, name, content] : cases) {
            TestWindow w(key);
            const QString source = scratch("refused/" + name, nullptr, content);
            if (name.startsWith("bomb")) // a well-formed header, refused for its size
                QVERIFY(QImageReader(source).size().width() >= 15000);
            const auto before = snapshot(w.folder.path());
            w.ui.setNextFileName(source);
            QVERIFY(!w.attacher->attachByDialog());
            dropFiles(w.photo, {source});
            if (key == "Old Mill")
                QCOMPARE(w.ui.texts(), QStringList{"Invalid Picture"});
            else
                QVERIFY2(w.ui.messages.size() == 2 && w.ui.lastText().contains("cannot"), qPrintable(w.ui.lastText()));
            QCOMPARE(snapshot(w.folder.path()), before);
            QVERIFY(w.attached.isEmpty() && !QFile::exists("/tmp/veilcase-x.jpg"));
        }
    }
};

QTEST_MAIN(AttachTest)
#include "test_attach.moc"
