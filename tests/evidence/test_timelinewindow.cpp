#include "../records/casetesting.h"
#include "evidencenight.h"

#include "evidence/evidencemodel.h"
#include "evidence/evidencewindow.h"
#include "evidence/timelinewindow.h"

#include <QImageReader>
#include <QPainter>
#include <QWheelEvent>

using namespace veil;
using namespace veil::test;
using evidence::Finding;

class TimelineWindowTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheLogInOrderAndOpensWhatIsClicked() {
        Frame f;
        QString key;
        {
            auto db = Connection::open(f.folder.path());
            seedCase(*db);
            key = seedKeyed(*db, tables::investigations, {"10", "31", "2008", "11", "30", "pm"}, {});
            QList<Finding> fs;
            for (int i = 0; i < 6; ++i) {
                Finding x;
                x.investigation = key;
                x.atMs = (23 * 60 + 40 + (5 - i) * 7) * 60000LL; // stored newest first
                x.kind = i % 2 ? "EMF" : "EVP";
                x.area = i < 3 ? "Cellar" : "Attic";
                x.clipLengthMs = i % 2 ? std::nullopt : std::optional<qint64>(120000);
                fs << x;
            }
            evidence::save(*db, fs);
        }
        menu(dashboardOn(f, {"Old Mill", key}), "timeline");
        auto* w = f.window<TimelineWindow>("TimelineWindow");
        QVERIFY(w);
        TimelineCanvas* c = w->Canvas;

        // Every finding is drawn, left to right in the log's order.
        const QList<Finding> log = evidence::findings(*Connection::open(f.folder.path()), key);
        QTRY_COMPARE(c->drawn().marks.size(), log.size());
        QList<QPair<double, qint64>> drawnOrder;
        for (const auto& [i, r] : c->drawn().marks)
            drawnOrder.append({r.left(), c->data().entries[i].finding.id});
        std::sort(drawnOrder.begin(), drawnOrder.end());
        for (int i = 0; i < log.size(); ++i)
            QCOMPARE(drawnOrder[i].second, log[i].id);

        // Hover, then a click opens the finding in the Evidence window.
        const auto [entry, where] = c->drawn().marks.first();
        QTest::mouseMove(c, where.center().toPoint());
        QTRY_COMPARE(c->hovered(), entry);
        QTest::mouseClick(c, Qt::LeftButton, {}, where.center().toPoint());
        auto* ev = f.window<EvidenceWindow>("EvidenceWindow");
        QVERIFY(ev);
        QCOMPARE(ev->model()->at(ev->currentRow()).id, c->data().entries[entry].finding.id);

        // A delete there shows on the open timeline at once, which stays where it was.
        const timeline::View before = c->view();
        f.ui.setNextAnswer(true);
        ev->DeleteButton->click();
        QCOMPARE(c->data().entries.size(), log.size() - 1);
        QCOMPARE(c->view().toMs, before.toMs);

        // The wheel zooms in about the pointer, dragging pans.
        const qint64 span = c->view().toMs - c->view().fromMs;
        QPoint mid = c->rect().center();
        QWheelEvent wheel(mid, c->mapToGlobal(mid), {}, {0, 240}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(c, &wheel);
        QVERIFY(c->view().toMs - c->view().fromMs < span);
        const qint64 from = c->view().fromMs;
        QTest::mousePress(c, Qt::LeftButton, {}, mid);
        QTest::mouseMove(c, mid + QPoint(100, 0));
        QTest::mouseRelease(c, Qt::LeftButton, {}, mid + QPoint(100, 0));
        QVERIFY(c->view().fromMs < from);

        // Export image writes a PNG of what is shown; lanes by area redraw.
        w->LaneChoice->setCurrentIndex(1);
        const QString png = f.folder.file("out/night");
        QDir().mkpath(f.folder.file("out"));
        f.ui.setNextSaveFileName(png);
        menu(w, "exportImage");
        QImageReader r(png + ".png");
        QCOMPARE(r.format(), QByteArray("png"));
        QCOMPARE(r.size(), c->size());
    }

    void zoomStaysWithinASecondAndFourDays_data() {
        QTest::addColumn<double>("factor");
        QTest::addColumn<qint64>("span");
        QTest::newRow("in, far") << 1e-9 << qint64(1000);
        QTest::newRow("out, far") << 1e9 << qint64(4 * evidence::kDayMs);
        QTest::newRow("halved") << 0.5 << qint64(1800000);
    }
    void zoomStaysWithinASecondAndFourDays() {
        QFETCH(double, factor);
        QFETCH(qint64, span);
        const timeline::View hour{23 * 3600000LL, 24 * 3600000LL};
        const qint64 anchor = hour.fromMs + 900000; // a quarter in, kept under the pointer
        const timeline::View z = timeline::zoomed(hour, factor, anchor);
        QCOMPARE(z.toMs - z.fromMs, span);
        QVERIFY(qAbs(double(anchor - z.fromMs) / double(span) - 0.25) < 1e-6);
    }

    void aCrowdedNightKeepsEveryLaneAndUntimedPictures() {
        evidence::Timeline t;
        t.night.date = QDate(2008, 10, 31);
        t.untimedPictures = {"Add", "New"};
        for (int i = 0; i < 4000; ++i) {
            evidence::TimelineEntry e;
            e.atMs = 23 * 3600000LL + i * 1000;
            e.kind = evidence::kinds()[i % 5];
            t.entries << e;
        }
        QImage img(900, 400, QImage::Format_RGB32);
        QPainter p(&img);
        const timeline::Drawn d = timeline::draw(p, QRectF(img.rect()), t, timeline::wholeNight(t));
        p.end();
        QSet<QString> kinds;
        for (const auto& [i, r] : d.marks) {
            kinds.insert(t.entries[i].kind);
            QVERIFY(d.plot.contains(r.center()));
        }
        QCOMPARE(kinds.size(), 5);
        QVERIFY(d.marks.size() < 4000); // one a pixel column and lane
        QVERIFY(d.plot.right() < img.width() - 150); // room for the untimed list
        QCOMPARE(d.entryAt(d.marks.last().second.center()), d.marks.last().first);
    }
};

QTEST_MAIN(TimelineWindowTest)
#include "test_timelinewindow.moc"
