#include "evidence/timelinewindow.h"

#include "evidence/clipplayer.h"
#include "shell/dashboardwindow.h"
#include "shell/investigationlinks.h"
#include "shell/mainframe.h"
#include "store/fileroutines.h"
#include "store/paths.h"
#include "store/ui.h"
#include "widgets/controls.h"
#include "widgets/imagebutton.h"

#include <QComboBox>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QVideoWidget>
#include <QWheelEvent>

namespace veil {

using evidence::TimelineEntry;

TimelineCanvas::TimelineCanvas(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TimelineCanvas"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TimelineCanvas::setTimeline(const evidence::Timeline& t, timeline::Lanes lanes) {
    m_timeline = t;
    m_view = timeline::wholeNight(t, lanes);
    update();
}

void TimelineCanvas::setLanes(timeline::Lanes lanes) {
    m_view.lanes = lanes;
    m_view.hovered = -1;
    update();
}

void TimelineCanvas::setView(const timeline::View& v) {
    m_view = v;
    update();
}

void TimelineCanvas::paintEvent(QPaintEvent*) {
    QPainter p(this);
    m_drawn = timeline::draw(p, rect(), m_timeline, m_view);
}

void TimelineCanvas::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    m_dragging = false;
    m_pressAt = e->position().toPoint();
    m_pressView = m_view;
}

void TimelineCanvas::mouseMoveEvent(QMouseEvent* e) {
    const QPoint at = e->position().toPoint();
    if (m_pressed && (m_dragging || (at - m_pressAt).manhattanLength() > 4)) {
        m_dragging = true;
        const double perPx = double(m_view.toMs - m_view.fromMs) / std::max(1.0, m_drawn.plot.width());
        m_view = timeline::panned(m_pressView, qint64(-(at.x() - m_pressAt.x()) * perPx));
        m_view.hovered = -1;
        update();
        return;
    }
    const int hit = m_drawn.entryAt(at);
    if (hit != m_view.hovered) {
        m_view.hovered = hit;
        update();
    }
    if (hit >= 0)
        QToolTip::showText(e->globalPosition().toPoint(), timeline::describe(m_timeline.entries.at(hit)), this);
    else
        QToolTip::hideText();
}

void TimelineCanvas::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    if (m_dragging)
        return;
    if (const int hit = m_drawn.entryAt(e->position()); hit >= 0)
        emit opened(hit);
}

void TimelineCanvas::wheelEvent(QWheelEvent* e) {
    const double steps = e->angleDelta().y() / 120.0;
    if (steps == 0)
        return;
    const qint64 anchor = m_drawn.timeAt(e->position().x(), m_view);
    m_view = timeline::zoomed(m_view, std::pow(0.8, steps), anchor);
    update();
}

void TimelineCanvas::leaveEvent(QEvent*) {
    if (m_view.hovered >= 0) {
        m_view.hovered = -1;
        update();
    }
}

TimelineWindow::TimelineWindow(MDIForm1& frame) : CaseWindow(frame, QStringLiteral("TimelineWindow")) {
    QWidget* c = designClient(QStringLiteral("Timeline"), 15000, 8400);
    makeLabel(c, QStringLiteral("LaneLabel"), QStringLiteral("Lanes:"), twRect(240, 150, 700, 255), true);
    LaneChoice = new QComboBox(c);
    LaneChoice->setObjectName(QStringLiteral("LaneChoice"));
    LaneChoice->addItems({QStringLiteral("By kind"), QStringLiteral("By area"), QStringLiteral("By investigator")});
    LaneChoice->setGeometry(twRect(960, 120, 2100, 315));
    Canvas = new TimelineCanvas(c);
    Canvas->setGeometry(twRect(240, 540, 14520, 6600));

    m_player = new ClipPlayer(c);
    m_player->video()->setGeometry(twRect(10560, 540, 4200, 3150));

    makeButtons(this, c, 1200, 285,
                {{&WholeButton, "WholeButton", "WholeFace", "Whole night", 240, 7500,
                  [this] { Canvas->setView(timeline::wholeNight(Canvas->data(), Canvas->view().lanes)); }},
                 {&PlayButton, "PlayButton", "PlayFace", "Play", 1560, 7500, [this] { playChosen(); }},
                 {&StopButton, "StopButton", "StopFace", "Stop", 2880, 7500, [this] { m_player->stop(); }},
                 {&CloseButton, "CloseButton", "CloseFace", "Close", 13560, 7500, [this] { unload(); }}});
    PlayButton->setEnabled(false);

    connect(LaneChoice, &QComboBox::currentIndexChanged, this,
            [this](int i) { Canvas->setLanes(static_cast<timeline::Lanes>(i)); });
    connect(Canvas, &TimelineCanvas::opened, this, &TimelineWindow::open);

    QMenu* file = addMenu(QStringLiteral("file"), QStringLiteral("&File"));
    addItem(file, QStringLiteral("exportImage"), QStringLiteral("Export image\u2026"), [this] { exportImage(); });
    addItem(file, QStringLiteral("refresh"), QStringLiteral("&Refresh"), [this] { reload(); });
    addItem(file, QStringLiteral("close"), QStringLiteral("Close"), [this] { unload(); });
    addHelpMenu();
}

void TimelineWindow::load() {
    CenterForm();
    openDatabase();
    showInvestigation(chosenInvestigation(frame()));
}

bool TimelineWindow::queryUnload() {
    m_player->stop();
    return true;
}

void TimelineWindow::showInvestigation(const QString& key) {
    if (key == m_key)
        return;
    m_key = key;
    setCaption(QStringLiteral("Timeline : ") + key);
    reload();
}

void TimelineWindow::reload() {
    const auto night = evidence::findNight(db(), m_key);
    m_chosen = -1;
    PlayButton->setEnabled(false);
    const timeline::View view = Canvas->view();
    const bool same = Canvas->data().night.key == m_key;
    Canvas->setTimeline(evidence::timeline(db(), programFolder(), night.value_or(evidence::Night(m_key))),
                        static_cast<timeline::Lanes>(LaneChoice->currentIndex()));
    if (same)
        Canvas->setView(view);
}

void TimelineWindow::logChanged(const QString& key) {
    if (key == m_key)
        reload();
}

void TimelineWindow::exportImage() {
    QString name = Ui::get().saveFileName(QStringLiteral("Export image"), QStringLiteral("PNG images (*.png)"),
                                          programPath(programFolder(), QStringLiteral("timeline.png")));
    if (name.isEmpty())
        return;
    if (!name.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        name += QStringLiteral(".png");
    timeline::View v = Canvas->view();
    v.hovered = -1;
    const QImage img = timeline::image(Canvas->data(), v, Canvas->size());
    QString error;
    if (!writeFileAtomically(name, [&img](QIODevice& out) { return img.save(&out, "PNG"); }, &error))
        message(QStringLiteral("The image could not be written to \"%1\": %2").arg(name, error));
}

void TimelineWindow::open(int entry) {
    const TimelineEntry& e = Canvas->data().entries.at(entry);
    m_chosen = entry;
    PlayButton->setEnabled(e.source == TimelineEntry::FindingEntry && !e.finding.mediaPath.isEmpty());
    if (e.source == TimelineEntry::FindingEntry) {
        if (CaseWindow* w = showForInvestigation(frame(), QStringLiteral("EvidenceWindow"), m_key))
            QMetaObject::invokeMethod(w, "selectFinding", Q_ARG(qint64, e.finding.id));
        return;
    }
    // The viewer and the interview editor learn what to show from the dashboard's lists.
    auto* dashboard = frame().formAs<Form2>(QStringLiteral("Form2"));
    if (!dashboard)
        return;
    dashboard->Combo1->setEditText(Canvas->data().night.location);
    dashboard->Combo2->setEditText(m_key);
    if (e.source == TimelineEntry::PictureEntry) {
        dashboard->Combo4->setEditText(e.what);
        frame().show(QStringLiteral("Form9"));
    } else {
        dashboard->Combo3->setEditText(e.ref);
        frame().show(QStringLiteral("Form4"));
    }
}

void TimelineWindow::playChosen() {
    if (m_chosen < 0)
        return;
    const evidence::Finding& f = Canvas->data().entries.at(m_chosen).finding;
    m_player->play(storedPicturePath(programFolder(), files::investigations, f.mediaPath), f.clipStartMs.value_or(0),
                   f.clipLengthMs.value_or(0));
}

} // namespace veil
