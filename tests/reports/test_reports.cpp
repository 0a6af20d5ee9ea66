#include "exifpreview.h"
#include "reportcase.h"

#include "reports/report.h"
#include "reports/reportoutput.h"
#include "reports/thumbnails.h"

#include <QImage>

using namespace veil;
using namespace veil::test;

class ReportsTest : public QObject {
    Q_OBJECT
private slots:
    // Each row: which report, in which format, with or without contacts; the words
    // it must show and the words of other records it must not.
    void reportHoldsItsOwnCaseOnly_data() {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("contacts");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("absent");
        const QStringList night{"fog", "12 C", "81%", "Ann (Lead)", "EMF (Sensing Device)", "Cold on the stairs.",
                                "Steps heard at midnight.", "Tape 1", "Card 2", "I heard steps in the attic.",
                                "A door slammed twice.", "Interview with Carol", "3 findings", "1 unexplained",
                                "1 explained", "0 inconclusive", "1 not assessed", "2 EMF", "a fridge",
                                "23:53:20", "00:26:40 (+1 day)", "Stairs summary", "Attic", "Cellar",
                                "<script>alert(1)</script> family &amp; friends", "Built in 1820.",
                                "Timeline", "Taken 2005-10-31 23:58:00"};
        const QStringList others{"snow storm", "Only the wind.", "Barn", "barn draught", "heatwave"};
        const QStringList contacts{"Mrs Gray", "555-0101", "555-0199", "gray@example.org"};
        for (const char* file : {"r.html", "r.pdf"}) {
            QTest::addRow("night %s", file) << "night" << file << false << night << others + contacts;
            QTest::addRow("night %s with contacts", file) << "night" << file << true << night + contacts << others;
        }
        QTest::newRow("location") << "Old Mill" << "l.pdf" << false
                                  << QStringList{"fog", "snow storm", "3 findings: 1 unexplained",
                                                 "Investigation of 10-31-2005 11:45 pm", "Investigation of 1-2-06 9:5 am"}
                                  << QStringList{"heatwave"} + contacts;
        QTest::newRow("location with contacts") << "Old Mill" << "l.html" << true << contacts << QStringList{"heatwave"};
    }
    void reportHoldsItsOwnCaseOnly() {
        QFETCH(QString, which);
        QFETCH(QString, file);
        QFETCH(bool, contacts);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, absent);
        ProgramFolder pf;
        const ReportCase c = seedReportCase(pf);
        auto db = Connection::open(pf.path());
        const auto report = which == "night" ? reports::investigationReport(*db, pf.path(), c.night, "Old Mill", {contacts})
                                             : reports::locationReport(*db, pf.path(), which, {contacts});
        QVERIFY(report);
        const QString path = pf.file(file);
        QString why;
        QVERIFY2(reports::writeReport(*report, path, *reports::formatOf(path), &why), qPrintable(why));
        const QString text = reportText(path);
        for (const QString& s : shown)
            QVERIFY2(text.contains(s), qPrintable(s + " not in:\n" + text));
        for (const QString& s : absent)
            QVERIFY2(!text.contains(s), qPrintable(s));
        if (which == "Old Mill" && file.endsWith(".pdf")) // in date order, not stored order
            QVERIFY(text.indexOf("Investigation of 10-31-2005") < text.indexOf("Investigation of 1-2-06"));
        if (file.endsWith(".html")) {
            const QString html = QString::fromUtf8(fileBytes(path));
            QVERIFY(!html.contains("<script>") && !html.contains("src=\"image:") && !html.contains("http"));
            QCOMPARE(int(html.count("src=\"data:image/jpeg;base64,")), which == "night" ? 3 : 0);
            QCOMPARE(int(html.count("src=\"data:image/png;base64,")), which == "night" ? 1 : 0); // the timeline
        }
        if (which == "night") // the missing and the cut-off file
            QCOMPARE(int(text.count("Picture file missing or damaged")), 2);
    }

    void pdfHasHeadingAndNumberOnEveryPage() {
        ProgramFolder pf;
        const ReportCase c = seedReportCase(pf);
        auto db = Connection::open(pf.path());
        QStringList filler;
        for (int i = 0; i < 150; ++i)
            filler << QString("('%1', %2, 'EVP', 'explained', 'filler')").arg(c.night).arg(1000 * i);
        addFindings(pf, filler.join(','));
        const auto report = reports::investigationReport(*db, pf.path(), c.night);
        QVERIFY(reports::writeReport(*report, pf.file("r.pdf"), reports::Format::Pdf));
        const QStringList pages = reportText(pf.file("r.pdf")).split('\f', Qt::SkipEmptyParts);
        QVERIFY(pages.size() >= 3);
        for (int i = 0; i < pages.size(); ++i) {
            QVERIFY2(pages[i].contains(report->title), qPrintable(pages[i].left(200)));
            QVERIFY(pages[i].contains(QString("Page %1 of %2").arg(i + 1).arg(pages.size())));
        }
    }

    void absentSectionsAreLeftOut() {
        ProgramFolder pf;
        auto db = Connection::open(pf.path());
        const QString key = addKeyedRecord(*db, tables::investigations, {{"Location", "Nowhere"}},
                                           {"1", "2", "06", "9", "5", "am"});
        const auto report = reports::investigationReport(*db, pf.path(), key);
        QVERIFY(report);
        for (const char* heading : {"Conditions", "Team", "Interviews", "Evidence Log", "Pictures", "Media Archive",
                                    "Investigation Notes", "Contact"})
            QVERIFY2(!report->html.contains(QString(">%1").arg(heading)), heading);
        QVERIFY(report->html.contains("Nowhere"));
        QVERIFY(!reports::investigationReport(*db, pf.path(), key, "Elsewhere"));
        QVERIFY(!reports::locationReport(*db, pf.path(), "Nowhere"));
    }

    // A thumbnail fits its box and never fails: what cannot be shown is a grey stand-in. A camera's
    // preview stands in for a whole photograph only: a cut-off file, or a preview smaller than the
    // thumbnail, is not used.
    void thumbnailsAreSmallAndNeverFail_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QSize>("size"); // of the thumbnail; empty for the stand-in
        QTest::addColumn<QRgb>("shown"); // off the stand-in's cross
        const QRgb picture = qRgb(0x33, 0x66, 0x99), grey = qRgb(238, 238, 238);
        QTest::newRow("large photo") << "photo" << QSize(320, 213) << picture;
        QTest::newRow("small photo") << "small" << QSize(90, 60) << picture;
        QTest::newRow("missing") << "missing" << QSize() << grey;
        QTest::newRow("not a picture") << "text" << QSize() << grey;
        QTest::newRow("absurd header") << "huge" << QSize() << grey;
        QTest::newRow("camera preview") << "preview" << QSize(320, 240) << qRgb(0, 200, 0);
        QTest::newRow("too small a preview") << "small preview" << QSize(320, 240) << qRgb(200, 0, 0);
        QTest::newRow("cut-off photo with a preview") << "cut preview" << QSize() << grey;
    }
    void thumbnailsAreSmallAndNeverFail() {
        QFETCH(QString, kind);
        QFETCH(QSize, size);
        QFETCH(QRgb, shown);
        QTemporaryDir dir;
        const QString path = dir.filePath("p.jpg");
        if (kind == "photo")
            writePicture(path, "JPG", 3000, 2000);
        else if (kind == "small")
            writePicture(path, "JPG", 90, 60);
        else if (kind == "text")
            writeFileBytes(path, "not a picture at all");
        else if (kind == "huge") // a PNG header declaring 60000 x 60000 pixels
            writeFileBytes(path, QByteArray::fromHex("89504e470d0a1a0a0000000d49484452" "0000ea600000ea60"
                                                     "0806000000"));
        if (kind.endsWith("preview")) {
            QImage photo(1600, 1200, QImage::Format_RGB32);
            QImage preview(kind == "small preview" ? QSize(160, 120) : QSize(640, 480), QImage::Format_RGB32);
            photo.fill(qRgb(200, 0, 0));
            preview.fill(qRgb(0, 200, 0));
            QVERIFY(photo.save(path, "JPG") && embedPreview(path, preview));
            if (kind == "cut preview")
                QVERIFY(writeFileBytes(path, fileBytes(path).chopped(2000)));
        }
        const reports::Thumbnail t = reports::thumbnail(path);
        QCOMPARE(t.missing, size.isEmpty());
        const QImage got = QImage::fromData(t.bytes, "JPG");
        QVERIFY(!got.isNull());
        if (!size.isEmpty())
            QCOMPARE(got.size(), size);
        const QRgb centre = got.pixel(got.width() / 4, got.height() / 2);
        QVERIFY2(qAbs(qRed(centre) - qRed(shown)) < 12 && qAbs(qGreen(centre) - qGreen(shown)) < 12,
                 qPrintable(QString::number(centre, 16)));
    }

    void paperByLocale() {
        for (const char* letter : {"en_US", "fr_CA"})
            QCOMPARE(reports::paperFor(QLocale(letter)), QPageSize::Letter);
        for (const char* a4 : {"en_GB", "de_DE"})
            QCOMPARE(reports::paperFor(QLocale(a4)), QPageSize::A4);
    }
};

QTEST_MAIN(ReportsTest)
#include "test_reports.moc"
