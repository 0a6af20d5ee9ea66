#pragma once
// The timeline of a night drawn with QPainter onto any paint device, for the
// Timeline window, its exported image and printed reports alike. No widgets.

#include "store/evidence.h"

#include <QImage>
#include <QList>
#include <QPair>
#include <QRectF>

class QPainter;

namespace veil::timeline {

enum class Lanes { Kind, Area, Investigator };

// What part of the night is shown and how.
struct View {
    qint64 fromMs = 0, toMs = 1; // ms after midnight of the night's date
    Lanes lanes = Lanes::Kind;
    int hovered = -1; // an entry drawn highlighted, by index
};

// The whole night with a little room either side (an hour around an empty one).
View wholeNight(const evidence::Timeline& t, Lanes lanes = Lanes::Kind);
// The view zoomed by `factor` (below 1 zooms in) around the time at `anchor`,
// kept between a second and a few days.
View zoomed(const View& v, double factor, qint64 anchorMs);
// The view moved by `ms`.
View panned(const View& v, qint64 ms);

// Where things landed, for hovering and clicking.
struct Drawn {
    QRectF plot;                      // the area between the lane names and the untimed list
    QList<QPair<int, QRectF>> marks;  // entry index and where it was drawn
    int entryAt(const QPointF& p) const; // -1 when nothing is there
    qint64 timeAt(double x, const View& v) const;
};

Drawn draw(QPainter& painter, const QRectF& area, const evidence::Timeline& t, const View& v);
QImage image(const evidence::Timeline& t, const View& v, const QSize& size);

// The lane an entry goes into, and how it is described on hover.
QString laneOf(const evidence::TimelineEntry& e, Lanes lanes);
QString describe(const evidence::TimelineEntry& e);

} // namespace veil::timeline
