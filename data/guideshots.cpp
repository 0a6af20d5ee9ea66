// Takes the user guide's screenshots from the real windows over a sample case
// that it builds itself:  veil_guideshots <built program folder> <output folder>
// Run through scripts/guide-screenshots.sh (under Xvfb).
#include "store/casedb.h"
#include "evidence/evidencewindow.h"
#include "evidence/evidencewindows.h"
#include "evidence/timelinewindow.h"
#include "store/evidence.h"
#include "shell/casewindow.h"
#include "shell/dashboardwindow.h"
#include "records/investigatorswindow.h"
#include "records/equipmentwindow.h"
#include "pictures/viewerwindow.h"
#include "shell/mainframe.h"
#include "store/paths.h"
#include "widgets/picturebox.h"
#include "pictures/picturewindows.h"
#include "records/recordwindows.h"
#include "search/searchwindow.h"
#include "search/searchwindows.h"
#include "tools/toolwindows.h"
#include "store/ui.h"
#include "shell/windowregistry.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPainterPath>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextEdit>

#include <cstdio>

using namespace veil;

namespace {

// Nothing may wait on a person while the pictures are taken.
class QuietUi final : public Ui {
public:
    void message(const QString& text, const QString&) override { std::fprintf(stderr, "message: %s\n", qPrintable(text)); }
    bool question(const QString&, const QString&) override { return false; }
    bool confirmReplace(const QString&) override { return true; }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    bool openUrl(const QUrl&) override { return true; }
};

// A sample "photograph": a mill at dusk, with colour enough to show the filters.
QImage samplePhoto(int w, int h, int variant) {
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(40, 60, 120));
    sky.setColorAt(0.6, QColor(230, 140, 90));
    sky.setColorAt(1, QColor(250, 210, 150));
    p.fillRect(img.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 90, 50));
    p.drawRect(0, h * 2 / 3, w, h / 3);
    p.setBrush(QColor(110, 70, 50));
    p.drawRect(w / 4 + variant * 40, h / 3, w / 3, h / 3 + 10);
    QPainterPath roof;
    roof.moveTo(w / 4 - 20 + variant * 40, h / 3);
    roof.lineTo(w / 4 + w / 6 + variant * 40, h / 8);
    roof.lineTo(w / 4 + w / 3 + 20 + variant * 40, h / 3);
    p.setBrush(QColor(70, 40, 40));
    p.drawPath(roof);
    p.setBrush(QColor(255, 220, 120));
    p.drawRect(w / 4 + 30 + variant * 40, h / 3 + 40, 40, 50);
    p.setBrush(QColor(30, 50, 30));
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(w * 0.75 + i * 25, h * 0.62 - (i % 2) * 20), 30, 60);
    p.setBrush(QColor(245, 245, 230));
    p.drawEllipse(QPointF(w * 0.85, h * 0.15), 22, 22);
    return img;
}

void settle() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

bool save(QWidget* w, const QDir& out, const QString& name) {
    settle();
    const bool ok = w->grab().save(out.filePath(name), "PNG");
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(name));
    return ok;
}

bool shoot(MDIForm1& frame, const QString& form, const QDir& out, const QString& file,
           const std::function<void(CaseWindow*)>& prepare = {}) {
    CaseWindow* w = frame.show(form);
    if (!w) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(form));
        return false;
    }
    if (prepare)
        prepare(w);
    const bool ok = save(w->subWindow(), out, file);
    w->unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return ok;
}

void choose(QComboBox* box, const QString& text) {
    box->setCurrentIndex(box->findText(text));
    emit box->activated(box->currentIndex());
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: veil_guideshots <built program folder> <output folder>\n");
        return 2;
    }
    QuietUi ui;
    Ui::install(&ui);
    registerAppWindows();
    registerRecordWindows();
    registerPictureWindows();
    registerToolWindows();
    registerSearchWindows();
    registerEvidenceWindows();

    const QDir built(QString::fromLocal8Bit(argv[1]));
    QDir out(QString::fromLocal8Bit(argv[2]));
    out.mkpath(QStringLiteral("."));
    QTemporaryDir tmp;
    const QDir pf(tmp.path());
    for (const char* f : {"Clean_DB", "location.jpg", "no_images.jpg", "No_Records.jpg", "investigator.jpg", "new_image.jpg"})
        QFile::copy(built.filePath(QLatin1String(f)), pf.filePath(QLatin1String(f)));
    QFile::copy(pf.filePath(QStringLiteral("Clean_DB")), pf.filePath(QStringLiteral("Veilcase.mdb")));
    QFile(pf.filePath(QStringLiteral("Veilcase.mdb"))).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    for (const char* d : {"locations", "investigators", "Investigations/1"})
        pf.mkpath(QLatin1String(d));

    // The sample case.
    const QString key = QStringLiteral("10-31-2008 11:30 pm-1");
    {
        auto db = Connection::open(pf.path());
        db->add(tables::investigators, {{"Name", "Ann Avery"}, {"Title", "Case lead"}, {"Active", "1"},
                                        {"Email", "ann@example.org"}, {"Phone", "555-0101"}, {"Image", "none"},
                                        {"Notes", "Keeps the case files in order."}});
        db->add(tables::investigators, {{"Name", "Ben Okafor"}, {"Title", "Sound"}, {"Active", "1"}, {"Image", "none"}});
        db->add(tables::investigators, {{"Name", "Cora Lindqvist"}, {"Title", "Photography"}, {"Active", "1"}, {"Image", "none"}});
        db->add(tables::investigators, {{"Name", "Dev Patel"}, {"Title", "Research"}, {"Active", "0"}, {"Image", "none"}});
        db->add(tables::equipment, {{"Nick_Name", "Recorder 1"}, {"Type", "Audio Recorder"}, {"Manufacturer", "Tanager"},
                                    {"Model", "DR-7"}, {"Battery_type", "2 x AA"}, {"Media_type", "SD card"},
                                    {"Quirks", "Hisses for the first second of every take."}});
        db->add(tables::equipment, {{"Nick_Name", "Night camera"}, {"Type", "Video Camera"}});
        db->add(tables::equipment, {{"Nick_Name", "EMF meter"}, {"Type", "Sensing Device"}});
        samplePhoto(640, 480, 0).save(pf.filePath(QStringLiteral("locations/Old Mill.jpg")), "JPG", 92);
        db->add(tables::location, {{"LocationName", "Old Mill"}, {"LocationAddress1", "1 Millrace Lane"},
                                   {"LocationAddress2", "Eastbrook"}, {"ContactName", "Ruth Hale"},
                                   {"Phone", "555-0199"}, {"Email", "ruth@example.org"},
                                   {"Background", "A water mill from 1790, closed in 1961."},
                                   {"History", "The miller's family lived upstairs until 1932."},
                                   {"Notes", "Ask for the key at the farm."},
                                   {"Directions", "Follow the river road north for two miles."},
                                   {"Image", "Old Mill.jpg"}});
        db->add(tables::location, {{"LocationName", "Grey House"}});
        db->add(tables::investigations, {{"ID", "1"}, {"FullDate_Time", key}, {"Location", "Old Mill"},
                                         {"Date_Month", "10"}, {"Date_Day", "31"}, {"Date_Year", "2008"},
                                         {"Time_Hour", "11"}, {"Time_Min", "30"}, {"Time_AP", "pm"},
                                         {"Outside_Temp", "41 F"}, {"Inside_Temp", "48 F"}, {"Humidity", "70%"},
                                         {"Moon_Phase", "Waning crescent"}, {"Wind_Speed", "5 mph"},
                                         {"Weather", "Clear"}, {"Barometer", "30.1"},
                                         {"investigators", "Ann Avery,Cora Lindqvist,"},
                                         {"equipment", "Recorder 1,EMF meter,"},
                                         {"Initial_Thoughts", "Cold spot on the stairs to the loft."},
                                         {"Investigation_Notes", "Footsteps heard at 11:52 pm; nothing on the recorder."},
                                         {"Tape_Archive", "Card A1,Card A2,"}});
        db->add(tables::interview, {{"ID", "1"}, {"FullDate_Time", "10-31-2008 11:45 pm-1"}, {"Location", "Old Mill"},
                                    {"Investigation", key}, {"Date_Month", "10"}, {"Date_Day", "31"},
                                    {"Date_Year", "2008"}, {"Time_Hour", "11"}, {"Time_Min", "45"},
                                    {"Time_AP", "pm"}, {"Name", "Ruth Hale"}, {"Affiliation", "Owner"},
                                    {"Interviewer", "Ann Avery,"},
                                    {"Interview", "Ruth has heard the mill wheel turn on still nights."}});
        for (int i = 0; i < 2; ++i) {
            const QString title = i ? QStringLiteral("Loft") : QStringLiteral("Stairs");
            samplePhoto(800, 600, i + 1).save(pf.filePath(QStringLiteral("Investigations/1/%1.jpg").arg(title)), "JPG", 92);
            db->add(tables::pictures, {{"Investigation", key}, {"Title", title},
                                       {"History", "Taken from the mill door."},
                                       {"Path", QStringLiteral("\\Investigations\\1\\%1.jpg").arg(title)}});
        }
    }

    // The night's evidence: a recorder's review marks, two meters' readings and what people noticed.
    {
        auto db = Connection::open(pf.path());
        const evidence::Night night = *evidence::findNight(*db, key);
        const QString take = QStringLiteral("\\Investigations\\1\\media\\Recorder 1 take 3.wav");
        evidence::apply(*db, evidence::planLabels("712.0\t715.5\tclass B whisper by the loft door\n"
                                                  "1510.0\t1512.0\tsound: three knocks\n"
                                                  "1895.2\t1899.0\tclass A \"get out\"\n"
                                                  "2710.0\t2722.5\tclass C voices under the hiss\n",
                                                  night, take, (23 * 60 + 40) * 60000LL));
        QByteArray csv = "time,value,unit,area,device\n";
        for (int m = 0; m <= 110; m += 5) {
            const QTime at = QTime(23, 35).addSecs(m * 60);
            const double emf = m == 30 ? 6.8 : m == 35 ? 4.1 : 0.4 + (m % 3) * 0.1;
            const double temp = m >= 15 && m <= 25 ? 9.5 - (m - 15) * 0.3 : 12.0 - m * 0.01;
            csv += at.toString("HH:mm").toLatin1() + ',' + QByteArray::number(emf) + ",mG,Loft,EMF meter\n";
            csv += at.toString("HH:mm").toLatin1() + ',' + QByteArray::number(temp, 'f', 1) + ",\xc2\xb0" "C,Stairs,EMF meter\n";
        }
        evidence::apply(*db, evidence::planReadings(csv, QStringLiteral("meters.csv"), night));
        QList<evidence::Finding> typed;
        auto note = [&](int h, int m, const char* kind, const char* area, const char* who, const char* text,
                        const char* status = "", const char* why = "") {
            evidence::Finding f;
            f.investigation = key;
            f.atMs = evidence::placeTimeOfDay((h * 60 + m) * 60000LL, night);
            f.kind = QLatin1String(kind);
            f.area = QLatin1String(area);
            f.investigator = QLatin1String(who);
            f.note = QLatin1String(text);
            f.status = QLatin1String(status);
            f.explanation = QLatin1String(why);
            typed << f;
        };
        note(23, 52, "sound", "Stairs", "Cora Lindqvist", "Footsteps on the stairs, nobody there", "unexplained");
        note(23, 53, "sighting", "Stairs", "Cora Lindqvist", "Shadow crossing the landing", "inconclusive");
        note(0, 20, "touch", "Loft", "Ann Avery", "Cold touch on the arm");
        note(0, 40, "equipment fault", "Mill room", "Ben Okafor", "Night camera battery drained", "explained",
             "The cold: the spare was in the van");
        evidence::save(*db, typed);
        for (evidence::Finding& f : evidence::findings(*db, key))
            if (f.source.startsWith(QLatin1String("labels:"))) {
                f.area = QStringLiteral("Loft");
                f.investigator = QStringLiteral("Ben Okafor");
                f.device = QStringLiteral("Recorder 1");
                QList<evidence::Finding> one{f};
                evidence::save(*db, one);
            }
    }

    auto* frame = new MDIForm1(pf.path());
    frame->resize(1280, 860);
    frame->show();
    frame->loadFrame();
    Form2* d = frame->loadedAs<Form2>(QStringLiteral("Form2"));
    choose(d->Combo1, QStringLiteral("Old Mill"));
    choose(d->Combo2, key);
    bool ok = save(frame, out, QStringLiteral("frame.png"));
    ok &= save(d->subWindow(), out, QStringLiteral("dashboard.png"));

    ok &= shoot(*frame, QStringLiteral("Form1"), out, QStringLiteral("form1.png"));
    ok &= shoot(*frame, QStringLiteral("Form3"), out, QStringLiteral("form3.png"));
    choose(d->Combo3, QStringLiteral("10-31-2008 11:45 pm-1"));
    ok &= shoot(*frame, QStringLiteral("Form4"), out, QStringLiteral("form4.png"));
    ok &= shoot(*frame, QStringLiteral("Form5"), out, QStringLiteral("form5.png"), [](CaseWindow* w) {
        auto* list = w->findChild<QListWidget*>(QStringLiteral("List1"));
        list->setCurrentRow(0);
        static_cast<Form5*>(w)->List1_Click();
    });
    ok &= shoot(*frame, QStringLiteral("Form7"), out, QStringLiteral("form7.png"), [](CaseWindow* w) {
        auto* list = w->findChild<QListWidget*>(QStringLiteral("List1"));
        list->setCurrentRow(list->count() - 1);
        static_cast<Form7*>(w)->List1_Click();
    });
    d = frame->formAs<Form2>(QStringLiteral("Form2"));
    choose(d->Combo1, QStringLiteral("Old Mill"));
    choose(d->Combo2, key);
    ok &= shoot(*frame, QStringLiteral("Form10"), out, QStringLiteral("form10.png"), [](CaseWindow* w) {
        if (auto* title = w->findChild<QLineEdit*>(QStringLiteral("Text1")))
            title->setText(QStringLiteral("Mill wheel"));
    });
    choose(d->Combo4, QStringLiteral("Stairs"));
    auto* viewer = qobject_cast<Form9*>(frame->show(QStringLiteral("Form9")));
    if (viewer) {
        ok &= save(viewer->subWindow(), out, QStringLiteral("form9.png"));
        ok &= save(viewer->Image1, out, QStringLiteral("filter-original.png"));
        const std::pair<filters::Kind, const char*> shots[] = {
            {filters::Kind::Invert, "filter-invert.png"}, {filters::Kind::Solarize, "filter-solarize.png"},
            {filters::Kind::Emboss, "filter-emboss.png"}, {filters::Kind::Grey, "filter-grey.png"},
            {filters::Kind::Red, "filter-red.png"}};
        for (const auto& [kind, file] : shots) {
            viewer->runFilter(kind);
            QElapsedTimer t;
            t.start();
            while (viewer->busy() && t.elapsed() < 30000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            ok &= save(viewer->Image1, out, QLatin1String(file));
        }
        viewer->unload();
    } else {
        ok = false;
    }
    ok &= shoot(*frame, QStringLiteral("SearchWindow"), out, QStringLiteral("search.png"), [](CaseWindow* w) {
        auto* find = static_cast<SearchWindow*>(w);
        find->QueryBox->setText(QStringLiteral("mill*"));
        find->runSearch();
    });
    d = frame->formAs<Form2>(QStringLiteral("Form2"));
    choose(d->Combo1, QStringLiteral("Old Mill"));
    choose(d->Combo2, key);
    ok &= shoot(*frame, QStringLiteral("EvidenceWindow"), out, QStringLiteral("evidence.png"), [](CaseWindow* w) {
        auto* e = static_cast<EvidenceWindow*>(w);
        e->KindFilter->setCurrentText(QStringLiteral("EVP"));
        e->FindingsTable->selectRow(1);
    });
    ok &= shoot(*frame, QStringLiteral("TimelineWindow"), out, QStringLiteral("timeline.png"));
    ok &= shoot(*frame, QStringLiteral("TimelineWindow"), out, QStringLiteral("timeline-areas.png"), [](CaseWindow* w) {
        auto* t = static_cast<TimelineWindow*>(w);
        t->LaneChoice->setCurrentIndex(1);
        const timeline::View v = t->Canvas->view();
        t->Canvas->setView(timeline::zoomed(v, 0.45, v.fromMs));
    });
    for (const char* f : {"Form11", "Form12", "Form13", "Form14"})
        ok &= shoot(*frame, QLatin1String(f), out, QString::fromLatin1(f).toLower() + QStringLiteral(".png"));
    delete frame;
    Ui::install(nullptr);
    return ok ? 0 : 1;
}
