#include "dropevents.h"
#include "exiftesting.h"
#include "filebytes.h"
#include "framefixture.h"

#include "pictures/addpictureswindow.h"
#include "pictures/viewerwindow.h"
#include "records/investigatorswindow.h"
#include "records/locationwindow.h"
#include "store/filehash.h"
#include "store/photometadata.h"
#include "widgets/imagebutton.h"
#include "widgets/picturebox.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace veil;
using namespace veil::test;

namespace {

const QString kCase = QStringLiteral("12/5/2026_21:30");

const Tags kTaken = {{"Exif.Image.Make", "Spectral"}, {"Exif.Photo.DateTimeOriginal", "2026:12:05 21:47:10"},
                     {"Exif.Image.Orientation", "6"}, {"Exif.GPSInfo.GPSLatitudeRef", "N"},
                     {"Exif.GPSInfo.GPSLatitude", "51/1 30/1 0/1"}, {"Exif.GPSInfo.GPSLongitudeRef", "E"},
                     {"Exif.GPSInfo.GPSLongitude", "1/1 15/1 0/1"}};
const QString kCellar = QStringLiteral("\\Investigations\\17\\Cellar door.jpg");

struct Photos {
    Frame f;
    QTemporaryDir outside;
    std::unique_ptr<Connection> db = Connection::open(f.folder.path());

    Photos() { db->add(tables::investigations, {{"ID", "17"}, {"FullDate_Time", kCase}}); }
    QString photo(const QString& name, const Tags& tags) {
        return writeTaggedPhoto(outside.filePath(name), tags) ? outside.filePath(name) : QString();
    }
    QString cellar() const { return evidenceFilePath(f.folder.path(), kCellar); }
    Form10* addPictures() {
        f.dashboard()->Combo2->setEditText(kCase);
        return static_cast<Form10*>(f.frame->show("Form10"));
    }
    // A picture saved through Add Pictures, then opened in the viewer.
    Form9* view() {
        Form10* add = addPictures();
        f.ui.setNextFileName(photo("IMG_0042.jpg", kTaken));
        add->Label4->click();
        add->Text1->setText("Cellar door");
        add->Label5->click();
        f.dashboard()->Combo4->setEditText("Cellar door");
        return static_cast<Form9*>(f.frame->show("Form9"));
    }
    QAction* item(QWidget* w, const char* name) { return w->findChild<QAction*>(QLatin1String(name)); }
};

} // namespace

class PhotoInfoTest : public QObject {
    Q_OBJECT
private slots:
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
        Photos t;
        const QString source = t.photo("IMG_0042.jpg", kTaken);
        if (route == "location") {
            t.f.dashboard()->Combo1->setEditText("New");
            auto* w = static_cast<Form1*>(t.f.frame->show("Form1"));
            w->Text1->setText("Old Mill");
            t.f.ui.setNextFileName(source);
            t.item(w, "Image_Insert")->trigger();
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
        QVERIFY(!attachFile(*t.db, t.photo("other.jpg", {}), file, stored));
        QCOMPARE(recordedFile(*t.db, stored)->sha256, rec->sha256);
    }

    void addPicturesShowsTheDateTakenUpright() {
        Photos t;
        Form10* w = t.addPictures();
        t.f.ui.setNextFileName(t.photo("taken.jpg", kTaken));
        w->Label4->click();
        QVERIFY(w->DateTakenLabel->isVisible());
        QCOMPARE(w->DateTakenLabel->text(), QStringLiteral("Taken 2026-12-05 21:47:10"));
        QCOMPARE(w->Image1->picture().size(), QSize(20, 40)); // turned upright
        t.f.ui.setNextFileName(t.photo("plain.jpg", {}));
        w->Label4->click();
        QVERIFY(w->DateTakenLabel->isHidden());
    }

    void viewerPanelShowsWhatThePhotoSays() {
        Photos t;
        Form9* v = t.view();
        const QSize designed = v->subWindow()->size();
        QVERIFY(!v->metadataShown());
        QCOMPARE(v->pictures().size(), QSize(20, 40)); // the filters work on the upright photograph

        t.item(v, "photoinfo")->trigger();
        QVERIFY(v->metadataShown() && v->MetadataPanel->isVisible());
        QVERIFY(v->subWindow()->width() > designed.width());
        const auto shown = v->MetadataList->findItems("Camera make", Qt::MatchExactly);
        QVERIFY(shown.size() == 1 && shown[0]->text(1) == "Spectral");
        QVERIFY(v->NoMetadataLabel->isHidden());
        v->MapButton->click();
        QCOMPARE(t.f.ui.urls, QList<QUrl>{QUrl("geo:51.500000,1.250000")});

        // Damaged metadata leaves the panel empty, not the viewer broken.
        QVERIFY(writeFileBytes(t.cellar(), withCorruptExif(fileBytes(t.photo("plain.jpg", {})))));
        v->Next();
        QCOMPARE(v->MetadataList->topLevelItemCount(), 0);
        QVERIFY(v->NoMetadataLabel->isVisible() && !v->MapButton->isEnabled());

        t.item(v, "photoinfo")->trigger();
        QVERIFY(!v->metadataShown());
        QCOMPARE(v->subWindow()->size(), designed);
    }

    void saveEnhancedCopyLeavesTheOriginal() {
        Photos t;
        Form9* v = t.view();
        const QByteArray before = fileBytes(t.cellar());

        t.item(v, "savecopy")->trigger(); // nothing filtered yet
        QVERIFY(t.f.ui.lastText().contains("Enhance filters first"));
        v->runFilter(filters::Kind::Grey);
        t.f.ui.setNextSaveFileName(t.cellar());
        t.item(v, "savecopy")->trigger();
        QVERIFY(t.f.ui.lastText().contains("outside the case's picture folders"));
        const QString copy = t.outside.filePath("grey copy"); // no extension: a PNG
        t.f.ui.setNextSaveFileName(copy);
        t.item(v, "savecopy")->trigger();
        QVERIFY2(t.f.ui.lastText().contains("was saved"), qPrintable(t.f.ui.lastText()));
        QCOMPARE(fileBytes(t.cellar()), before);

        const QImage saved(copy + ".png");
        QCOMPARE(saved.size(), QSize(20, 40));
        QCOMPARE(qRed(saved.pixel(10, 2)), qGreen(saved.pixel(10, 2))); // grey
        const QString note = imageHistory(copy + ".png");
        QVERIFY2(note.startsWith("Grey filter applied by Veilcase") && note.contains(recordedFile(*t.db, kCellar)->sha256),
                 qPrintable(note));
    }
};

QTEST_MAIN(PhotoInfoTest)
#include "test_photoinfo.moc"
