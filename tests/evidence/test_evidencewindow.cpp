#include "recordtesting.h"
#include "evidencenight.h"

#include "evidence/clipplayer.h"
#include "evidence/evidencemodel.h"
#include "evidence/evidencewindow.h"
#include "evidence/timelinewindow.h"

#include <QImageReader>
#include <QMediaPlayer>
#include <QPainter>
#include <QProcess>
#include <QTableView>
#include <QWheelEvent>

using namespace veil;
using namespace veil::test;
using evidence::Finding;

namespace {

// One night's log, opened by the dashboard's menu item (the Evidence window, or the timeline).
struct Evidence {
    Frame f;
    QString key;
    EvidenceWindow* w = nullptr;
    explicit Evidence(const QList<Finding>& seeded = {}, const char* item = "evidenceLog") {
        auto db = Connection::open(f.folder.path());
        seedCase(*db);
        key = addNight(*db);
        QList<Finding> fs = seeded;
        for (Finding& x : fs)
            x.investigation = key;
        evidence::save(*db, fs);
        menu(dashboardOn(f, {"Old Mill", key}), item);
        w = f.window<EvidenceWindow>("EvidenceWindow");
    }
    QList<Finding> stored() { return evidence::findings(*Connection::open(f.folder.path()), key); }
    int shown() { return w->FindingsTable->model()->rowCount(); }
};

Finding at(qint64 ms, const QString& kind, const QString& area, std::optional<qint64> clipMs = {}) {
    return {.atMs = ms, .kind = kind, .area = area, .clipLengthMs = clipMs};
}
} // namespace

class EvidenceWindowTest : public QObject {
    Q_OBJECT
private slots:
    void aFindingGoesRoundThroughTheWindow() {
        Evidence e;
        QVERIFY(e.w);
        QCOMPARE(e.w->caption(), "Evidence : " + e.key);
        e.w->AddButton->click();
        typeInto(e.w->TimeBox, "00:05:10.5");
        e.w->KindBox->setCurrentText("EMF");
        e.w->AreaBox->setCurrentText("Add New");
        typeInto(e.w->ReadingBox, "4.25");
        typeInto(e.w->ExplanationBox, "wiring");
        e.w->NoteBox->setPlainText("by the stairs,\nlow");
        QVERIFY(e.w->hasUnsavedChanges());
        e.w->SaveButton->click();
        QVERIFY(!e.w->hasUnsavedChanges());
        const QList<Finding> s = e.stored();
        QCOMPARE(s.size(), 1);
        QCOMPARE(s[0].atMs, evidence::kDayMs + 310500); // after midnight of the night's date
        QCOMPARE(s[0].area, QString("Add New"));
        QCOMPARE(s[0].reading, std::optional<double>(4.25));
        QCOMPARE(s[0].note, QString("by the stairs,\nlow"));

        // Opened again, the editor shows what was stored, exactly.
        e.w->unload();
        Frame::flush();
        menu(e.f.dashboard(), "evidenceLog");
        e.w = e.f.window<EvidenceWindow>("EvidenceWindow");
        QCOMPARE(e.w->TimeBox->text(), QString("+1d 00:05:10.500"));
        QCOMPARE(e.w->AreaBox->currentText(), QString("Add New"));
        QCOMPARE(e.w->ExplanationBox->text(), QString("wiring"));
        QVERIFY(!e.w->hasUnsavedChanges());

        // A box that is not understood keeps the finding from being stored.
        typeInto(e.w->ReadingBox, "4,25 mG");
        e.w->SaveButton->click();
        QVERIFY(e.f.ui.lastText().contains("not a number"));
        QCOMPARE(e.stored(), s);

        // Shown for no stored investigation, the log takes nothing.
        e.w->showInvestigation("New");
        e.w->AddButton->click();
        QCOMPARE(e.f.ui.lastText(), QString("Please select an investigation"));
        QCOMPARE(e.shown(), 0);
    }

    void deleteAsksAndCanBeUndone() {
        Evidence e({at(1000, "EVP", "Cellar"), at(2000, "sound", "Attic")});
        for (bool yes : {false, true}) {
            e.f.ui.setNextAnswer(yes);
            e.w->DeleteButton->click();
            QVERIFY(e.f.ui.questions.last().text.contains("EVP"));
            QCOMPARE(e.stored().size(), yes ? 1 : 2);
        }
        QCOMPARE(e.shown(), 1);
        e.w->UndoButton->click();
        QCOMPARE(e.shown(), 2);
        QCOMPARE(e.stored().first().area, QString("Cellar"));
    }

    void filterAndSort_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("rows");
        QTest::newRow("all") << "" << "All kinds" << 3;
        QTest::newRow("text in any column, any case") << "cellar" << "All kinds" << 2;
        QTest::newRow("kind") << "" << "sound" << 1;
        QTest::newRow("both") << "attic" << "EVP" << 0;
    }
    void filterAndSort() {
        QFETCH(QString, text);
        QFETCH(QString, kind);
        QFETCH(int, rows);
        Evidence e({at(3000, "EVP", "Cellar"), at(1000, "sound", "Attic"), at(2000, "EVP", "cellar stairs")});
        typeInto(e.w->FilterBox, text);
        e.w->KindFilter->setCurrentText(kind);
        QCOMPARE(e.shown(), rows);
        // Sorted by time, newest last, whatever the order they were stored in.
        QAbstractItemModel* m = e.w->FindingsTable->model();
        for (int r = 1; r < rows; ++r)
            QVERIFY(m->index(r - 1, 0).data(EvidenceModel::SortRole).toLongLong() <
                    m->index(r, 0).data(EvidenceModel::SortRole).toLongLong());
    }

    void importsFromTheMenuAskAboutBadLines() {
        Evidence e;
        QVERIFY(writeFileBytes(e.f.folder.file("in/meter.csv"), "time,value,unit\n23:58,1,mG\n23:59,x,mG\n"));
        for (bool goOn : {false, true}) { // only a yes takes the good line
            e.f.ui.setNextFileName(e.f.folder.file("in/meter.csv"));
            e.f.ui.setNextAnswer(goOn);
            menu(e.w, "importReadings");
            QVERIFY(e.f.ui.questions.last().text.contains("line 3"));
            QCOMPARE(e.shown(), int(goOn));
        }

        QVERIFY(writeFileBytes(e.f.folder.file("in/night.wav"), wavWithBext("2008-10-31", "23:55:00")));
        QVERIFY(writeFileBytes(e.f.folder.file("in/labels.txt"), "1.5\t3\tclass B whisper\n"));
        for (int i = 0; i < 2; ++i) {
            e.f.ui.setNextFileName(e.f.folder.file("in/night.wav"));
            e.f.ui.setNextFileName(e.f.folder.file("in/labels.txt"));
            menu(e.w, "importLabels");
        }
        QCOMPARE(e.f.ui.lastText(), QString("0 findings added, 1 were there already."));
        QCOMPARE(e.shown(), 2);
        QCOMPARE(e.stored().first().mediaPath, QString("\\Investigations\\1\\media\\night.wav"));
    }

    void anotherProcessImportsWhileTheWindowEdits() {
        Evidence e({at(1000, "EVP", "Cellar")});
        typeInto(e.w->ExplanationBox, "a draught");
        QVERIFY(writeFileBytes(e.f.folder.file("in/meter.csv"), "time,value,unit\n23:58,1,mG\n00:02,2,mG\n"));
        QProcess cli;
        cli.start(builtProgramFolder() + "/veilcase-cli",
                  {"--folder", e.f.folder.path(), "evidence", "import-readings", e.key, e.f.folder.file("in/meter.csv")});
        QVERIFY(cli.waitForFinished(30000));
        QCOMPARE(cli.exitCode(), 0);
        e.w->SaveButton->click();
        const QList<Finding> s = e.stored();
        QCOMPARE(s.size(), 3);
        QCOMPARE(s.first().explanation, QString("a draught"));
        // The window shows the imported readings once it reads the log again.
        e.w->showInvestigation("New");
        e.w->showInvestigation(e.key);
        QCOMPARE(e.shown(), 3);
    }

    void playbackSeeksAndStops() {
        Evidence e;
        ClipPlayer* p = e.w->clipPlayer();
        p->play(e.f.folder.file("nowhere.wav"), 0, 0);
        QVERIFY(e.f.ui.lastText().contains("is not there"));
        QVERIFY(!p->isActive());
        QVERIFY(writeFileBytes(e.f.folder.file("in/night.wav"), wavWithBext("2008-10-31", "23:55:00")));
        p->play(e.f.folder.file("in/night.wav"), 1500, 250);
        QCOMPARE(p->endMs(), 1750);
        QVERIFY(p->player()->source().isLocalFile());
        if (p->isActive()) { // a system without a decoder has already said so
            p->positionReached(1800);
            QVERIFY(!p->isActive());
        }
        QCOMPARE(p->player()->playbackState(), QMediaPlayer::StoppedState);
    }

    void timelineShowsTheLogInOrderAndOpensWhatIsClicked() {
        QList<Finding> fs;
        for (int i = 0; i < 6; ++i) // stored newest first
            fs << at((23 * 60 + 40 + (5 - i) * 7) * 60000LL, i % 2 ? "EMF" : "EVP", i < 3 ? "Cellar" : "Attic",
                     i % 2 ? std::nullopt : std::optional<qint64>(120000));
        Evidence e(fs, "timeline");
        Frame& f = e.f;
        auto* w = f.window<TimelineWindow>("TimelineWindow");
        QVERIFY(w);
        TimelineCanvas* c = w->Canvas;

        // Every finding is drawn, left to right in the log's order.
        const QList<Finding> log = e.stored();
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
        f.ui.setNextSaveFileName(f.folder.file("night"));
        menu(w, "exportImage");
        QImageReader r(f.folder.file("night.png"));
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
        for (int i = 0; i < 4000; ++i)
            t.entries << evidence::TimelineEntry{.atMs = 23 * 3600000LL + i * 1000, .kind = evidence::kinds()[i % 5]};
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

QTEST_MAIN(EvidenceWindowTest)
#include "test_evidencewindow.moc"
