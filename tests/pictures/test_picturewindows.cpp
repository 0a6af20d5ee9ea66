#include "dropevents.h"
#include "exiftesting.h"
#include "filebytes.h"
#include "framefixture.h"

#include "pictures/addpictureswindow.h"
#include "pictures/viewerwindow.h"
#include "records/investigatorswindow.h"
#include "records/locationwindow.h"
#include "store/filehash.h"
#include "widgets/imagebutton.h"
#include "widgets/picturebox.h"

#include <QMdiSubWindow>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTreeWidget>

using namespace veil;
using namespace veil::test;
using filters::Kind;

namespace {

const QString kCase = QStringLiteral("12/5/2026_21:30");
const QString kOther = QStringLiteral("13/5/2026_22:00");
const Tags kTaken = {{"Exif.Image.Make", "Spectral"}, {"Exif.Photo.DateTimeOriginal", "2026:12:05 21:47:10"},
                     {"Exif.Image.Orientation", "6"}, {"Exif.GPSInfo.GPSLatitudeRef", "N"},
                     {"Exif.GPSInfo.GPSLatitude", "51/1 30/1 0/1"}, {"Exif.GPSInfo.GPSLongitudeRef", "E"},
                     {"Exif.GPSInfo.GPSLongitude", "1/1 15/1 0/1"}};
const QString kCellar = QStringLiteral("\\Investigations\\17\\Cellar door.jpg");

// Investigations 17 and 18, photographs outside the program folder to add, and the two windows.
struct Pictures {
    Frame f;
    QTemporaryDir photos;
    std::unique_ptr<Connection> db = Connection::open(f.folder.path());

    Pictures() {
        db->add(tables::investigations, {{"ID", "17"}, {"FullDate_Time", kCase}});
        db->add(tables::investigations, {{"ID", "18"}, {"FullDate_Time", kOther}});
    }
    // A picture file outside the program folder; without a format, a file that is no picture.
    QString photo(const QString& name, const char* format = "JPG") {
        const QString path = photos.filePath(name);
        format ? writePicture(path, format, 40, 30) : writeFileBytes(path, "no picture here");
        return path;
    }
    // A 40 x 20 photograph with camera tags (kTaken turns it upright to 20 x 40).
    QString tagged(const QString& name, const Tags& tags = kTaken) {
        return writeTaggedPhoto(photos.filePath(name), tags) ? photos.filePath(name) : QString();
    }
    Form10* addPictures(const QString& investigation = kCase) {
        f.dashboard()->Combo2->setEditText(investigation);
        return static_cast<Form10*>(f.frame->show("Form10"));
    }
    Form10* w() { return f.window<Form10>("Form10"); }
    void pick(const QString& path) {
        f.ui.setNextFileName(path);
        w()->Label4->click();
    }
    void save(const QString& title, const QString& summary = {}) {
        w()->Text1->setText(title);
        w()->RichTextBox1->setPlainText(summary);
        w()->Label5->click();
    }
    int records() { return db->count(tables::pictures); }
    QStringList stored(const QString& sub) {
        return QDir(f.folder.file("Investigations/" + sub)).entryList(QDir::Files);
    }
    QString cellar() const { return evidenceFilePath(f.folder.path(), kCellar); }
    // The tagged photograph saved as "Cellar door", then opened in the viewer.
    Form9* view() {
        addPictures();
        pick(tagged("IMG_0042.jpg"));
        save("Cellar door");
        return viewer("Cellar door");
    }
    // A picture of investigation 17 stored as a PNG (a null image: its file is missing).
    void addPicture(const QString& title, const QImage& image, const QString& investigation = kCase,
                    const QString& history = {}) {
        const QString rel = "\\Investigations\\17\\" + title + ".png";
        QDir().mkpath(f.folder.file("Investigations/17"));
        QVERIFY(image.isNull() || image.save(f.folder.file(rel), "PNG"));
        db->add(tables::pictures,
                {{"Investigation", investigation}, {"Title", title}, {"History", history}, {"Path", rel}});
    }
    void addPicture(const QString& title, QRgb colour, const QString& investigation = kCase) {
        QImage flat(40, 30, QImage::Format_RGB32);
        flat.fill(colour);
        addPicture(title, flat, investigation, title + " summary");
    }
    Form9* viewer(const QString& title, const QString& investigation = kCase) {
        f.dashboard()->Combo2->setEditText(investigation);
        f.dashboard()->Combo4->setEditText(title);
        return static_cast<Form9*>(f.frame->show("Form9"));
    }
};

QImage shown(Form9* v) { return v->Image1->pixmap().toImage(); }
QRgb shownAt(Form9* v, int x, int y) { return shown(v).pixel(x, y) | 0xff000000u; }

ImageButton* button(Form9* v, const QString& caption) {
    for (ImageButton* b : v->findChildren<ImageButton*>())
        if (b->text() == caption)
            return b;
    return nullptr;
}

// The progress bar's value at the moment it appears.
struct ShowWatch : QObject {
    explicit ShowWatch(QProgressBar* bar) : bar(bar) { bar->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Show)
            valueAtShow = bar->value();
        return false;
    }
    QProgressBar* bar;
    int valueAtShow = -1;
};

QImage gradient(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, (x * y) % 256));
    return img;
}

} // namespace

// Add Pictures (Form10) and the viewer (Form9) over the pictures it stores.
class PictureWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void savesUnderTheInvestigationNumber() {
        Pictures t;
        Form10* w = t.addPictures();
        // The title box stands on the line of its caption and the buttons, above the drawn line.
        QCOMPARE(w->Text1->y(), w->Label1->y());
        QCOMPARE(w->Text1->y(), w->Label3->y());
        QVERIFY(w->Text1->geometry().bottom() < w->Line1->y());
        t.pick(t.photo("IMG_0042.JPG"));
        QCOMPARE(t.f.ui.dialogs.last().title, QStringLiteral("Open Image"));
        QCOMPARE(w->chosenFile(), t.photos.filePath("IMG_0042.JPG"));
        QCOMPARE(t.records(), 0); // nothing is copied before Save
        QVERIFY(t.stored("17").isEmpty());

        t.save("Cellar door", "Cold spot at 21:40");
        QCOMPARE(w->caption(), QStringLiteral("Add Pictures - Cellar door has been saved"));
        QCOMPARE(t.stored("17"), QStringList{"Cellar door.JPG"});
        const auto rec = t.db->findFirst(tables::pictures, {{"Title", "Cellar door"}});
        QVERIFY(rec);
        QCOMPARE(rec->text("Path"), QStringLiteral("\\Investigations\\17\\Cellar door.JPG"));
        QCOMPARE(rec->text("Investigation"), kCase);
        QCOMPARE(rec->text("History"), QStringLiteral("Cold spot at 21:40"));
        QCOMPARE(t.f.dashboard()->Combo4->currentText(), QStringLiteral("Cellar door"));
        QCOMPARE(t.f.dashboard()->Label9->text(), QStringLiteral("View"));

        // Titles are unique per investigation, compared exactly.
        w->Label5->click();
        QCOMPARE(t.f.ui.lastText(),
                 QStringLiteral("There is already a picture with that Title, please select a new title."));
        QCOMPARE(t.records(), 1);
        t.save("cellar door");
        QCOMPARE(t.records(), 2);
        t.f.frame->unload("Form10");
        Frame::flush();
        w = t.addPictures(kOther);
        t.pick(t.photo("mill.png", "PNG"));
        t.save("Cellar door");
        QCOMPARE(t.records(), 3);
        QCOMPARE(t.stored("18"), QStringList{"Cellar door.png"});

        // New empties the window for another picture of the same investigation.
        w->Label6->click();
        QCOMPARE(w->caption(), QStringLiteral("Add Pictures - New"));
        QVERIFY(w->Text1->text().isEmpty() && w->RichTextBox1->toPlainText().isEmpty() && w->chosenFile().isEmpty());
        QCOMPARE(QFileInfo(w->Image1->file()).fileName(), QStringLiteral("new_image.jpg"));
        QCOMPARE(w->investigationId(), QStringLiteral("18"));
        QCOMPARE(t.f.ui.messages.size(), 1);
    }

    // Each refusal is the only message, and nothing is stored or copied. The checks come in
    // their order: the title first, then the picture, then the investigation.
    void saveRefuses_data() {
        QTest::addColumn<QString>("investigation");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("picked");
        QTest::addColumn<QString>("message");
        QTest::newRow("no title") << QString() << "" << false << "Please fill in the title before Saving";
        QTest::newRow("no picture") << QString() << "Porch" << false << "Please add a Picture before saving";
        QTest::newRow("no investigation") << QString() << "Porch" << true
                                          << "Please go back and select and investigation first";
        for (const char* title : {"../../escape", "a/b", "back\\slash", "..", "   "})
            QTest::newRow(title) << kCase << title << true << "cannot be used as a file name";
        // A file where the investigation's folder should be: the copy cannot land.
        QTest::newRow("folder is a file") << kCase << "Attic" << true << "Cannot copy";
    }
    void saveRefuses() {
        QFETCH(QString, investigation);
        QFETCH(QString, title);
        QFETCH(bool, picked);
        QFETCH(QString, message);
        Pictures t;
        Form10* w = t.addPictures(investigation);
        const bool blocked = message == "Cannot copy";
        if (blocked)
            QVERIFY(writeFileBytes(t.f.folder.file("Investigations/17"), {}));
        if (picked)
            t.pick(t.photo("x.jpg"));
        t.save(title);
        QCOMPARE(t.f.ui.messages.size(), 1);
        QVERIFY2(t.f.ui.lastText().contains(message), qPrintable(t.f.ui.lastText()));
        QCOMPARE(t.records(), 0);
        QCOMPARE(t.stored(""), blocked ? QStringList{"17"} : QStringList());
        QVERIFY(t.stored("17").isEmpty());
        QCOMPARE(w->caption(), QStringLiteral("Add Pictures = New"));
        QCOMPARE(t.f.dashboard()->Combo4->currentText(), QStringLiteral("Add"));
    }

    // What is picked or dropped last is saved; an investigation without a record has no number.
    void choosingAndDroppingKeepOrClearTheFile() {
        Pictures t;
        Form10* w = t.addPictures("1/1/2000_00:00");
        // A photograph's own date taken is shown on it, and it stands upright.
        const QString good = t.tagged("good.jpg");
        t.pick(good);
        QVERIFY(w->DateTakenLabel->isVisible());
        QCOMPARE(w->DateTakenLabel->text(), QStringLiteral("Taken 2026-12-05 21:47:10"));
        QCOMPARE(w->Image1->picture().size(), QSize(20, 40));
        // A cancelled dialog empties the chosen file; the picture stays.
        t.pick(QString());
        QCOMPARE(w->chosenFile(), QString());
        QCOMPARE(w->Image1->file(), good);

        // A picked or dropped file that cannot be shown is reported and changes nothing.
        t.pick(good);
        t.pick(t.photo("notes.jpg", nullptr));
        QVERIFY(t.f.ui.lastText().contains("notes.jpg"));
        QCOMPARE(w->chosenFile(), good);
        QCOMPARE(w->Image1->file(), good);
        const QString dropped = t.photo("dropped.bmp", "BMP");
        QVERIFY(dropFiles(w->Image1, {dropped, good})); // the first one counts
        QCOMPARE(w->chosenFile(), dropped);
        QVERIFY(w->DateTakenLabel->isHidden()); // it holds no date
        QVERIFY(dropFiles(w->Image1, {t.photo("notes.txt", nullptr)}));
        QCOMPARE(t.f.ui.lastText(), QStringLiteral("Invalid Picture"));
        QCOMPARE(w->chosenFile(), dropped);

        // Anything a file name can hold is kept exactly as typed; without a number nothing stands
        // between the separators.
        const QString odd = QStringLiteral(" Door: 3 * ? <ghost> \u00e9 ");
        t.save(odd);
        QCOMPARE(w->storedPath(), "\\Investigations\\\\" + odd + ".bmp");
        QCOMPARE(t.stored(""), QStringList{odd + ".bmp"});
        QCOMPARE(t.records(), 1);
    }

    void everyRouteRecordsTheHash_data() {
        QTest::addColumn<QString>("route");
        QTest::addColumn<QString>("stored");
        QTest::newRow("location, dialog") << "location" << "\\locations\\Old Mill.jpg";
        QTest::newRow("investigator, drop") << "investigator" << "\\investigators\\Ann.jpg";
        QTest::newRow("Add Pictures, save") << "pictures" << kCellar;
    }
    void everyRouteRecordsTheHash() {
        QFETCH(QString, route);
        QFETCH(QString, stored);
        Pictures t;
        const QString source = t.tagged("IMG_0042.jpg");
        if (route == "location") {
            t.f.dashboard()->Combo1->setEditText("New");
            auto* w = static_cast<Form1*>(t.f.frame->show("Form1"));
            w->Text1->setText("Old Mill");
            t.f.ui.setNextFileName(source);
            menu(w, "Image_Insert");
        } else if (route == "investigator") {
            auto* w = static_cast<Form5*>(t.f.frame->show("Form5"));
            w->Text1->setText("Ann");
            QVERIFY(dropFiles(w->Image1, {source}));
        } else {
            t.view();
        }
        const QString file = evidenceFilePath(t.f.folder.path(), stored);
        const auto rec = recordedFile(*t.db, stored);
        QVERIFY2(rec, qPrintable(t.f.ui.texts().join(" | ")));
        QCOMPARE(rec->sha256, sha256sum(file));
        QCOMPARE(rec->size, QFileInfo(file).size());
        QCOMPARE(fileBytes(file), fileBytes(source));
        QCOMPARE(rec->originalName, QStringLiteral("IMG_0042.jpg"));
        QCOMPARE(rec->originalModified, isoUtc(QFileInfo(source).lastModified()));
        QVERIFY(qAbs(QDateTime::fromString(rec->attached, Qt::ISODate).secsTo(QDateTime::currentDateTimeUtc())) < 60);
        // Declining to replace the copy keeps it and its record.
        t.f.ui.setNextAnswer(false);
        QVERIFY(!attachFile(*t.db, t.tagged("other.jpg", {}), file, stored));
        QCOMPARE(recordedFile(*t.db, stored)->sha256, rec->sha256);
    }

    // The viewer's photo information and its enhanced copy, of a photograph saved here.
    void viewerShowsAndCopiesWhatThePhotoSays() {
        Pictures t;
        Form9* v = t.view();
        const QSize designed = v->subWindow()->size();
        const QByteArray before = fileBytes(t.cellar());
        QVERIFY(!v->metadataShown());
        QCOMPARE(v->pictures().size(), QSize(20, 40)); // the filters work on the upright photograph

        menu(v, "photoinfo");
        QVERIFY(v->metadataShown() && v->MetadataPanel->isVisible());
        QVERIFY(v->subWindow()->width() > designed.width());
        const auto shown = v->MetadataList->findItems("Camera make", Qt::MatchExactly);
        QVERIFY(shown.size() == 1 && shown[0]->text(1) == "Spectral");
        QVERIFY(v->NoMetadataLabel->isHidden());
        v->MapButton->click();
        QCOMPARE(t.f.ui.urls, QList<QUrl>{QUrl("geo:51.500000,1.250000")});

        menu(v, "savecopy"); // nothing filtered yet
        QVERIFY(t.f.ui.lastText().contains("Enhance filters first"));
        v->runFilter(Kind::Grey);
        t.f.ui.setNextSaveFileName(t.cellar());
        menu(v, "savecopy");
        QVERIFY(t.f.ui.lastText().contains("outside the case's picture folders"));
        const QString copy = t.photos.filePath("grey copy"); // no extension: a PNG
        t.f.ui.setNextSaveFileName(copy);
        menu(v, "savecopy");
        QVERIFY2(t.f.ui.lastText().contains("was saved"), qPrintable(t.f.ui.lastText()));
        QCOMPARE(fileBytes(t.cellar()), before);
        const QImage saved(copy + ".png");
        QCOMPARE(saved.size(), QSize(20, 40));
        QCOMPARE(qRed(saved.pixel(10, 2)), qGreen(saved.pixel(10, 2))); // grey
        const QString note = imageHistory(copy + ".png");
        QVERIFY2(note.startsWith("Grey filter applied by Veilcase") && note.contains(recordedFile(*t.db, kCellar)->sha256),
                 qPrintable(note));

        // Damaged metadata leaves the panel empty, not the viewer broken.
        QVERIFY(writeFileBytes(t.cellar(), withCorruptExif(fileBytes(t.tagged("plain.jpg", {})))));
        v->Next();
        QCOMPARE(v->MetadataList->topLevelItemCount(), 0);
        QVERIFY(v->NoMetadataLabel->isVisible() && !v->MapButton->isEnabled());
        menu(v, "photoinfo");
        QVERIFY(!v->metadataShown());
        QCOMPARE(v->subWindow()->size(), designed);
    }

    void stepsThroughTitlesAndWraps() {
        Pictures t;
        t.addPicture(QStringLiteral("A"), 0xffff0000);
        t.addPicture(QStringLiteral("B"), 0xff00ff00);
        t.addPicture(QStringLiteral("Elsewhere"), 0xff000000, QStringLiteral("1/1/2026_10:00"));
        t.addPicture(QStringLiteral("Near miss"), 0xff000000, QStringLiteral("12/5/2026_21:30 "));
        t.addPicture(QStringLiteral("C"), 0xff0000ff);
        Form9* v = t.viewer(QStringLiteral("B"));
        QCOMPARE(v->titleList(), QStringList({"A", "B", "C"}));
        QCOMPARE(v->selectedTitle(), 0);

        // The list position starts at 0 whichever title is shown first.
        const struct { const char *press, *title; QRgb colour; const char* position; } steps[] = {
            {nullptr, "B", 0xff00ff00, "0"}, {"Next", "B", 0xff00ff00, "1"},     {"Next", "C", 0xff0000ff, "2"},
            {"Next", "A", 0xffff0000, "0"},  {"Previous", "C", 0xff0000ff, "2"}, {"Previous", "B", 0xff00ff00, "1"},
        };
        for (const auto& s : steps) {
            if (s.press)
                button(v, s.press)->click();
            QCOMPARE(v->caption(), QStringLiteral("Picture - ") + QLatin1String(s.title));
            QCOMPARE(v->Text4->toPlainText(), QLatin1String(s.title) + QStringLiteral(" summary"));
            QCOMPARE(shownAt(v, 320, 240), s.colour);
            QCOMPARE(v->listPosition(), QLatin1String(s.position));
            QVERIFY(!s.press || v->titleList().at(v->selectedTitle()) == QLatin1String(s.title));
        }
        // Another title chosen on the dashboard only brings the open viewer forward.
        t.f.dashboard()->Combo1->setEditText(QStringLiteral("Old Mill"));
        t.f.dashboard()->Combo4->setEditText(QStringLiteral("C"));
        t.f.dashboard()->Label9->click();
        QCOMPARE(t.f.window<Form9>(QStringLiteral("Form9")), v);
        QCOMPARE(v->caption(), QStringLiteral("Picture - B"));
        QVERIFY(t.f.ui.messages.isEmpty());
    }

    // A missing file keeps the photograph shown before, and the filters work on it; missing on the
    // first photograph, it leaves the display empty. With no record at all the window is empty and
    // nothing breaks it, while the picture size of the photograph shown before is still about.
    void missingPhotographs() {
        Pictures t;
        t.addPicture("A", 0xffff0000);
        t.addPicture("B", 0xff00ff00);
        QVERIFY(QFile::remove(t.f.folder.file("Investigations/17/B.png")));
        Form9* v = t.viewer("A");
        button(v, "Next")->click(); // position 1: B, whose file is gone
        QCOMPARE(t.f.ui.lastText(), QStringLiteral("I could not find this photo"));
        QCOMPARE(v->caption(), QStringLiteral("Picture - B"));
        QCOMPARE(v->Text4->toPlainText(), QStringLiteral("B summary"));
        QVERIFY(v->currentTitle() == "B" && v->selectedTitle() == 1);
        QCOMPARE(shownAt(v, 320, 240), 0xffff0000u);
        button(v, "Green")->click();
        QCOMPARE(shownAt(v, 320, 240), 0xff000000u);
        QVERIFY(v->unload());
        Frame::flush();

        t.f.ui.clear();
        Form9* first = t.viewer("B");
        QCOMPARE(t.f.ui.texts(), QStringList{"I could not find this photo"});
        QCOMPARE(first->caption(), QStringLiteral("Picture - B"));
        QVERIFY(first->Image1->picture().isNull());
        QCOMPARE(first->selectedTitle(), 0);
        QVERIFY(first->unload());
        Frame::flush();

        QCOMPARE(pictureSize().width, qint16(40));
        Form9* empty = t.viewer("Missing", "2/2/2020_02:00");
        QVERIFY(empty->caption().isEmpty() && empty->titleList().isEmpty() && empty->selectedTitle() == -1);
        for (const char* b : {"Next", "Previous", "Invert", "Solarize", "Emboss", "Grey", "Red", "Green", "Blue"})
            button(empty, QLatin1String(b))->click();
        QVERIFY(!empty->busy());
        QVERIFY(empty->Image1->picture().isNull());
        QCOMPARE(t.f.ui.messages.size(), 1);
    }

    void filtersStartFromTheUnfilteredPhotograph() {
        Pictures t;
        const QImage photo = gradient(64, 48);
        t.addPicture(QStringLiteral("G"), photo, kCase);
        Form9* v = t.viewer(QStringLiteral("G"));
        const auto display = [](const QImage& full) { return filters::scaleForDisplay(full, {640, 480}); };
        // Each filter starts from the photograph, never from the picture shown before it
        // (Grey, then Red: the red channel of the photograph).
        const auto expected = [&](QRgb keep, QRgb flip) {
            QImage out = photo;
            for (int y = 0; y < out.height(); ++y)
                for (int x = 0; x < out.width(); ++x)
                    out.setPixel(x, y, (photo.pixel(x, y) & keep) ^ flip);
            return display(out);
        };
        const struct { Kind before, kind; QRgb keep, flip; } runs[] = {
            {Kind::Grey, Kind::Red, 0xffff0000, 0}, {Kind::Red, Kind::Invert, 0xffffffff, 0x00ffffff},
            {Kind::Emboss, Kind::Blue, 0xff0000ff, 0}, {Kind::Solarize, Kind::Green, 0xff00ff00, 0}};
        for (const auto& r : runs) {
            v->runFilter(r.before);
            v->runFilter(r.kind);
            QCOMPARE(shown(v), expected(r.keep, r.flip));
            QVERIFY(v->ProgressBar1->isHidden());
            QCOMPARE(v->pictures().workPicture(), photo);
        }
        // Another photograph (or the same again) shows unfiltered.
        button(v, "Next")->click();
        QCOMPARE(shown(v), display(photo));

        // The bar stands just below 100 after the last row; Solarize and
        // Grey start from where the previous run left it, the others from 0.
        QList<int> values;
        connect(v->ProgressBar1, &QProgressBar::valueChanged, [&](int value) { values << value; });
        ShowWatch watch(v->ProgressBar1);
        v->runFilter(Kind::Red);
        QCOMPARE(watch.valueAtShow, 0);
        QCOMPARE(values.last(), 47 * 100 / 48);
        QVERIFY(std::is_sorted(values.begin(), values.end()));
        v->runFilter(Kind::Grey);
        QCOMPARE(watch.valueAtShow, 97);
        v->runFilter(Kind::Emboss);
        QCOMPARE(watch.valueAtShow, 0);
        QCOMPARE(values.last(), 46 * 100 / 48); // rows 1 to 46 of 48
    }

    void busyRefusesEveryRoute() {
        Pictures t;
        t.addPicture(QStringLiteral("A"), gradient(64, 48), kCase);
        t.addPicture(QStringLiteral("B"), 0xff00ff00);
        Form9* v = t.viewer(QStringLiteral("A"));
        v->setYieldInterval(0);
        QMdiSubWindow* sub = v->subWindow();

        bool ran = false;
        QMetaObject::invokeMethod(v, [&] {
            ran = true;
            QVERIFY(v->busy());
            QVERIFY(v->pictures().running());
            for (const char* b : {"Invert", "Solarize", "Emboss", "Grey", "Red", "Green", "Blue", "Next", "Previous"})
                button(v, QLatin1String(b))->click();
            for (const char* m : {"inve", "sola", "embos", "gray", "rer", "gree", "gh"})
                menu(v, m);
            QVERIFY(v->pictures().running()); // no second filter started, none finished early
            QCOMPARE(v->caption(), QStringLiteral("Picture - A"));
            QCOMPARE(v->listPosition(), QStringLiteral("0"));
            button(v, "Close")->click();
            menu(v, "exity");
            QVERIFY(!sub->close());
            QVERIFY(!t.f.frame->close());
            QCOMPARE(t.f.window<Form9>(QStringLiteral("Form9")), v);
            QVERIFY(v->busy());
        }, Qt::QueuedConnection);
        v->runFilter(Kind::Emboss);
        QVERIFY(ran);
        QCOMPARE(t.f.ui.texts(), QStringList(4, QStringLiteral("Please allow the process to finish")));

        // The filter completed normally and the window is free again.
        QVERIFY(!v->busy());
        QCOMPARE(shownAt(v, 0, 0), filters::Enhancer::kBackground);
        QVERIFY(sub->close());
        QVERIFY(!t.f.window<Form9>(QStringLiteral("Form9")));
        QCOMPARE(t.f.ui.messages.size(), 4);
    }
};

QTEST_MAIN(PictureWindowsTest)
#include "test_picturewindows.moc"
