#pragma once

#include "shell/casewindow.h"
#include "timeline/timelinedrawing.h"

class QComboBox;

namespace veil {

class ClipPlayer;
class ImageButton;

// The drawing area of the Timeline window: hover shows an entry, a click
// opens it, the wheel zooms about the pointer and dragging pans.
class TimelineCanvas : public QWidget {
    Q_OBJECT
public:
    explicit TimelineCanvas(QWidget* parent);

    void setTimeline(const evidence::Timeline& t, timeline::Lanes lanes);
    void setLanes(timeline::Lanes lanes);
    const evidence::Timeline& data() const { return m_timeline; }
    const timeline::View& view() const { return m_view; }
    void setView(const timeline::View& v);
    const timeline::Drawn& drawn() const { return m_drawn; }
    int hovered() const { return m_view.hovered; }

signals:
    void opened(int entry);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void leaveEvent(QEvent*) override;

private:
    evidence::Timeline m_timeline;
    timeline::View m_view;
    timeline::Drawn m_drawn;
    QPoint m_pressAt;
    timeline::View m_pressView;
    bool m_dragging = false;
    bool m_pressed = false;
};

// One investigation's night on one time axis (Controls: LaneChoice,
// TimelineCanvas, ClipVideo, buttons WholeButton, PlayButton, StopButton,
// CloseButton; File menu exportImage "Export image…").
class TimelineWindow : public CaseWindow {
    Q_OBJECT
public:
    explicit TimelineWindow(MDIForm1& frame);

    void load() override;
    bool queryUnload() override;

    Q_INVOKABLE void showInvestigation(const QString& key);
    const QString& investigation() const { return m_key; }
    // Reads the night again; the view stays where it is.
    void reload();
    // The Evidence window changed this investigation's log.
    void logChanged(const QString& key);
    void exportImage();
    // Opens an entry where it lives: a finding in the Evidence window, a
    // picture in the viewer, an interview in its editor.
    void open(int entry);
    void playChosen();

    ClipPlayer* clipPlayer() const { return m_player; }

    QComboBox* LaneChoice = nullptr;
    TimelineCanvas* Canvas = nullptr;
    ImageButton* WholeButton = nullptr;
    ImageButton* PlayButton = nullptr;
    ImageButton* StopButton = nullptr;
    ImageButton* CloseButton = nullptr;

private:
    QString m_key;
    ClipPlayer* m_player = nullptr;
    int m_chosen = -1; // the entry clicked last
};

} // namespace veil
