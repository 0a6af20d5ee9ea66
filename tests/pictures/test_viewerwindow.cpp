#include "framefixture.h"

#include "pictures/viewerwindow.h"
#include "widgets/imagebutton.h"
#include "widgets/picturebox.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QTest>
#include <QTextEdit>

using namespace veil;
using namespace veil::test;
using filters::Kind;

namespace {

const QString kCase = QStringLiteral("12/5/2026_21:30");

// A viewer over one investigation whose pictures are flat colours (or any image).
struct Viewer {
    Frame f;
    std::unique_ptr<Connection> db = Connection::open(f.folder.path());

    void addPicture(const QString& title, const QImage& image, const QString& investigation = kCase,
                    const QString& history = {}) {
        const QString rel = QStringLiteral("\\Investigations\\17\\") + title + QStringLiteral(".png");
        QDir().mkpath(f.folder.file(QStringLiteral("Investigations/17")));
        QVERIFY(image.isNull() || image.save(f.folder.file(rel), "PNG"));
        db->add(tables::pictures, {{QStringLiteral("Investigation"), investigation},
                                   {QStringLiteral("Title"), title},
                                   {QStringLiteral("History"), history},
                                   {QStringLiteral("Path"), rel}});
    }
    void addPicture(const QString& title, QRgb colour, const QString& investigation = kCase) {
        addPicture(title, flat(40, 30, colour), investigation, title + QStringLiteral(" summary"));
    }
    Form9* open(const QString& title, const QString& investigation = kCase) {
        f.dashboard()->Combo2->setEditText(investigation);
        f.dashboard()->Combo4->setEditText(title);
        f.frame->show(QStringLiteral("Form9"));
        return f.window<Form9>(QStringLiteral("Form9"));
    }
    static QImage flat(int w, int h, QRgb colour) {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(colour);
        return img;
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

QAction* item(Form9* v, const char* name) { return v->findChild<QAction*>(QLatin1String(name)); }

QImage gradient(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, (x * y) % 256));
    return img;
}

} // namespace

class ViewerTest : public QObject {
    Q_OBJECT
private slots:
    void stepsThroughTitlesAndWraps() {
        Viewer t;
        t.addPicture(QStringLiteral("A"), 0xffff0000);
        t.addPicture(QStringLiteral("B"), 0xff00ff00);
        t.addPicture(QStringLiteral("Elsewhere"), 0xff000000, QStringLiteral("1/1/2026_10:00"));
        t.addPicture(QStringLiteral("Near miss"), 0xff000000, QStringLiteral("12/5/2026_21:30 "));
        t.addPicture(QStringLiteral("C"), 0xff0000ff);
        Form9* v = t.open(QStringLiteral("B"));
        QCOMPARE(v->titleList(), QStringList({"A", "B", "C"}));
        QCOMPARE(v->selectedTitle(), 0);

        // The list position starts at 0 whichever title is shown first.
        const struct {
            const char* press;
            const char* title;
            QRgb colour;
            const char* position;
        } steps[] = {
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

    void onePictureAndNone() {
        Viewer t;
        // A photograph of another shape fills the display, stretched.
        QImage wide = Viewer::flat(1000, 200, 0xff0000ff);
        for (int y = 0; y < 200; ++y)
            for (int x = 500; x < 1000; ++x)
                wide.setPixel(x, y, 0xffffff00);
        t.addPicture(QStringLiteral("Only"), wide);
        Form9* v = t.open(QStringLiteral("Only"));
        for (const char* step : {"Next", "Previous"}) {
            button(v, step)->click();
            QCOMPARE(v->caption(), QStringLiteral("Picture - Only"));
            QCOMPARE(v->listPosition(), QStringLiteral("0"));
            QCOMPARE(shownAt(v, 0, 0), 0xff0000ffu);
            QCOMPARE(shownAt(v, 639, 479), 0xffffff00u);
        }
        QCOMPARE(pictureSize().width, qint16(1000));
        QVERIFY(v->unload());
        Frame::flush();

        // No record names the investigation: an empty window that nothing breaks,
        // while the picture size of the last photograph is still about.
        Form9* empty = t.open(QStringLiteral("Missing"), QStringLiteral("2/2/2020_02:00"));
        QVERIFY(empty->caption().isEmpty() && empty->titleList().isEmpty() && empty->selectedTitle() == -1);
        button(empty, "Next")->click();
        button(empty, "Previous")->click();
        for (const char* f : {"Invert", "Solarize", "Emboss", "Grey", "Red", "Green", "Blue"})
            button(empty, QLatin1String(f))->click();
        QVERIFY(!empty->busy());
        QVERIFY(empty->Image1->picture().isNull());
        QVERIFY(t.f.ui.messages.isEmpty());
    }

    void missingFileKeepsThePreviousPhotograph() {
        Viewer t;
        t.addPicture(QStringLiteral("A"), 0xffff0000);
        t.addPicture(QStringLiteral("B"), 0xff00ff00);
        QVERIFY(QFile::remove(t.f.folder.file(QStringLiteral("Investigations/17/B.png"))));
        Form9* v = t.open(QStringLiteral("A"));
        button(v, "Next")->click(); // position 1: B, whose file is gone
        QCOMPARE(t.f.ui.lastText(), QStringLiteral("I could not find this photo"));
        QCOMPARE(v->caption(), QStringLiteral("Picture - B"));
        QCOMPARE(v->Text4->toPlainText(), QStringLiteral("B summary"));
        QVERIFY(v->currentTitle() == "B" && v->selectedTitle() == 1);
        QCOMPARE(shownAt(v, 320, 240), 0xffff0000u);
        // The filters still work on the photograph that is there.
        button(v, "Red")->click();
        QCOMPARE(shownAt(v, 320, 240), 0xffff0000u);
        button(v, "Green")->click();
        QCOMPARE(shownAt(v, 320, 240), 0xff000000u);
        QVERIFY(v->unload());
        Frame::flush();

        // Failing on the first photograph leaves the display empty.
        t.f.ui.clear();
        Form9* first = t.open(QStringLiteral("B"));
        QCOMPARE(t.f.ui.texts(), QStringList{"I could not find this photo"});
        QCOMPARE(first->caption(), QStringLiteral("Picture - B"));
        QVERIFY(first->Image1->picture().isNull());
        QCOMPARE(first->selectedTitle(), 0);
    }

    void filtersStartFromTheUnfilteredPhotograph() {
        Viewer t;
        const QImage photo = gradient(64, 48);
        t.addPicture(QStringLiteral("G"), photo, kCase);
        Form9* v = t.open(QStringLiteral("G"));
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
        // The embossed picture is framed by the cleared background.
        v->runFilter(Kind::Emboss);
        QCOMPARE(shownAt(v, 0, 0), filters::Enhancer::kBackground);
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
        Viewer t;
        t.addPicture(QStringLiteral("A"), gradient(64, 48), kCase);
        t.addPicture(QStringLiteral("B"), 0xff00ff00);
        Form9* v = t.open(QStringLiteral("A"));
        v->setYieldInterval(0);
        QMdiSubWindow* sub = v->subWindow();

        bool ran = false;
        QMetaObject::invokeMethod(v, [&] {
            ran = true;
            QVERIFY(v->busy());
            QVERIFY(v->pictures().running());
            for (const char* f : {"Invert", "Solarize", "Emboss", "Grey", "Red", "Green", "Blue"})
                button(v, QLatin1String(f))->click();
            for (const char* m : {"inve", "sola", "embos", "gray", "rer", "gree", "gh"})
                item(v, m)->trigger();
            QVERIFY(v->pictures().running()); // no second filter started, none finished early
            button(v, "Next")->click();
            button(v, "Previous")->click();
            QCOMPARE(v->caption(), QStringLiteral("Picture - A"));
            QCOMPARE(v->listPosition(), QStringLiteral("0"));
            button(v, "Close")->click();
            item(v, "exity")->trigger();
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
        QCOMPARE(v->pictures().workPicture(), gradient(64, 48));
        QVERIFY(sub->close());
        QVERIFY(!t.f.window<Form9>(QStringLiteral("Form9")));
        QCOMPARE(t.f.ui.messages.size(), 4);
    }
};

QTEST_MAIN(ViewerTest)
#include "test_viewerwindow.moc"
