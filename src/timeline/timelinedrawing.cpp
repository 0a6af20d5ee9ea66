#include "timeline/timelinedrawing.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>

namespace veil::timeline {

using evidence::kDayMs;
using evidence::Timeline;
using evidence::TimelineEntry;

namespace {

constexpr double kNameWidth = 120;
constexpr double kUntimedWidth = 170;
constexpr double kAxisHeight = 26;
constexpr double kLaneHeight = 26;
constexpr double kPlotHeight = 64;
constexpr qint64 kMinSpan = 1000;
constexpr qint64 kMaxSpan = 4 * kDayMs;

bool isReading(const TimelineEntry& e) { return e.source == TimelineEntry::FindingEntry && e.finding.reading; }

QColor colourOf(const QString& kind) {
    static const QColor palette[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28), QColor(0x2c, 0xa0, 0x2c),
                                     QColor(0x94, 0x67, 0xbd), QColor(0xff, 0x7f, 0x0e), QColor(0x8c, 0x56, 0x4b),
                                     QColor(0xe3, 0x77, 0xc2), QColor(0x17, 0xbe, 0xcf), QColor(0xbc, 0xbd, 0x22)};
    const qsizetype i = evidence::kinds().indexOf(kind);
    if (i >= 0)
        return palette[i % std::size(palette)];
    return kind == QLatin1String("picture") ? QColor(0x44, 0x44, 0x44) : QColor(0x80, 0x00, 0x00);
}

// A tick step that leaves at least `minPx` between ticks.
qint64 tickStep(qint64 span, double width, double minPx) {
    static const qint64 steps[] = {100,    500,     1000,    5000,    10000,    30000,    60000,    300000,
                                   600000, 900000, 1800000, 3600000, 7200000, 10800000, 21600000, 43200000};
    for (qint64 s : steps)
        if (width * double(s) / double(span) >= minPx)
            return s;
    return kDayMs;
}

} // namespace

QString laneOf(const TimelineEntry& e, Lanes lanes) {
    switch (lanes) {
    case Lanes::Kind:
        return e.kind;
    case Lanes::Area:
        return e.area.isEmpty() ? QStringLiteral("(no area)") : e.area;
    case Lanes::Investigator:
        return e.investigator.isEmpty() ? QStringLiteral("(nobody named)") : e.investigator;
    }
    return {};
}

QString describe(const TimelineEntry& e) {
    QString text = evidence::formatClock(e.atMs) + QStringLiteral("  ") + e.kind;
    if (e.lengthMs > 0)
        text += QStringLiteral(" (%1 s)").arg(double(e.lengthMs) / 1000.0, 0, 'f', 1);
    if (!e.what.isEmpty())
        text += QStringLiteral(": ") + e.what;
    return text;
}

View wholeNight(const Timeline& t, Lanes lanes) {
    View v;
    v.lanes = lanes;
    if (t.entries.isEmpty()) {
        const qint64 start = t.night.startMs.value_or(20 * 3600000);
        v.fromMs = start - 1800000;
        v.toMs = start + 1800000;
        return v;
    }
    qint64 from = t.entries.first().atMs, to = from;
    for (const TimelineEntry& e : t.entries)
        to = std::max(to, e.atMs + e.lengthMs);
    const qint64 room = std::max<qint64>((to - from) / 20, 30000);
    v.fromMs = from - room;
    v.toMs = to + room;
    return v;
}

View zoomed(const View& v, double factor, qint64 anchorMs) {
    View z = v;
    const double span = std::clamp(double(v.toMs - v.fromMs) * factor, double(kMinSpan), double(kMaxSpan));
    const double share = double(anchorMs - v.fromMs) / double(v.toMs - v.fromMs);
    z.fromMs = anchorMs - qint64(span * share);
    z.toMs = z.fromMs + qint64(span);
    return z;
}

View panned(const View& v, qint64 ms) {
    View p = v;
    p.fromMs += ms;
    p.toMs += ms;
    return p;
}

int Drawn::entryAt(const QPointF& p) const {
    for (qsizetype i = marks.size() - 1; i >= 0; --i)
        if (marks[i].second.adjusted(-3, -3, 3, 3).contains(p))
            return marks[i].first;
    return -1;
}

qint64 Drawn::timeAt(double x, const View& v) const {
    return v.fromMs + qint64((x - plot.left()) / plot.width() * double(v.toMs - v.fromMs));
}

Drawn draw(QPainter& p, const QRectF& area, const Timeline& t, const View& v) {
    Drawn d;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.fillRect(area, Qt::white);
    const QFontMetricsF fm(p.font());

    // Lanes: those of the choice for marks, then one small plot per unit.
    // Each entry's lane (or unit, for readings) is looked up once per frame.
    QStringList lanes, units;
    QList<QPair<double, double>> range; // per unit: min, max
    QHash<QString, int> laneIds, unitIds;
    QList<int> slot(t.entries.size()); // lane id, or -1 - unit id for a reading
    for (qsizetype i = 0; i < t.entries.size(); ++i) {
        const TimelineEntry& e = t.entries[i];
        if (isReading(e)) {
            const QString unit = e.finding.unit.isEmpty() ? QStringLiteral("(no unit)") : e.finding.unit;
            const double r = *e.finding.reading;
            auto it = unitIds.find(unit);
            if (it == unitIds.end()) {
                it = unitIds.insert(unit, int(units.size()));
                units << unit;
                range << QPair<double, double>(r, r);
            }
            auto& mm = range[*it];
            mm = {std::min(mm.first, r), std::max(mm.second, r)};
            slot[i] = -1 - *it;
        } else {
            const QString lane = laneOf(e, v.lanes);
            auto it = laneIds.find(lane);
            if (it == laneIds.end()) {
                it = laneIds.insert(lane, int(lanes.size()));
                lanes << lane;
            }
            slot[i] = *it;
        }
    }
    // Lanes in alphabetical order.
    QList<int> order(lanes.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) { return lanes[a].compare(lanes[b], Qt::CaseInsensitive) < 0; });
    QList<int> laneRow(lanes.size());
    QStringList sorted;
    for (int r = 0; r < order.size(); ++r) {
        laneRow[order[r]] = r;
        sorted << lanes[order[r]];
    }
    lanes = sorted;

    const double right = t.untimedPictures.isEmpty() ? area.right() - 8 : area.right() - kUntimedWidth;
    d.plot = QRectF(area.left() + kNameWidth, area.top() + kAxisHeight, std::max(10.0, right - area.left() - kNameWidth),
                    std::max(10.0, area.height() - kAxisHeight - 4));
    const double wanted = lanes.size() * kLaneHeight + units.size() * kPlotHeight;
    const double scale = wanted > d.plot.height() && wanted > 0 ? d.plot.height() / wanted : 1.0;
    const double laneH = kLaneHeight * scale, plotH = kPlotHeight * scale;
    const qint64 span = std::max<qint64>(1, v.toMs - v.fromMs);
    auto x = [&](qint64 ms) { return d.plot.left() + double(ms - v.fromMs) / double(span) * d.plot.width(); };

    // Lane names and bands.
    auto laneTop = [&](qsizetype i) { return d.plot.top() + double(i) * laneH; };
    auto plotTop = [&](qsizetype i) { return d.plot.top() + double(lanes.size()) * laneH + double(i) * plotH; };
    p.setPen(Qt::black);
    for (qsizetype i = 0; i < lanes.size(); ++i) {
        if (i % 2)
            p.fillRect(QRectF(d.plot.left(), laneTop(i), d.plot.width(), laneH), QColor(0xf4, 0xf4, 0xf8));
        p.drawText(QRectF(area.left() + 4, laneTop(i), kNameWidth - 8, laneH), Qt::AlignVCenter | Qt::AlignLeft,
                   fm.elidedText(lanes[i], Qt::ElideRight, kNameWidth - 8));
    }
    for (qsizetype i = 0; i < units.size(); ++i) {
        p.fillRect(QRectF(d.plot.left(), plotTop(i), d.plot.width(), plotH), QColor(0xf8, 0xf8, 0xee));
        p.setPen(QColor(0xcc, 0xcc, 0xbb));
        p.drawLine(QPointF(area.left() + 4, plotTop(i)), QPointF(d.plot.right(), plotTop(i)));
        p.setPen(Qt::black);
        const auto [lo, hi] = range[i];
        p.drawText(QRectF(area.left() + 4, plotTop(i), kNameWidth - 8, plotH), Qt::AlignVCenter | Qt::AlignLeft,
                   QStringLiteral("%1\n%2 .. %3").arg(units[i]).arg(lo).arg(hi));
    }

    // Axis: ticks and their times.
    const qint64 step = tickStep(span, d.plot.width(), 90);
    p.setPen(QColor(0xdd, 0xdd, 0xdd));
    const qint64 first = (v.fromMs >= 0 ? v.fromMs / step : v.fromMs / step - 1) * step;
    for (qint64 ms = first; ms <= v.toMs; ms += step) {
        if (ms < v.fromMs)
            continue;
        const double tx = x(ms);
        p.setPen(QColor(0xdd, 0xdd, 0xdd));
        p.drawLine(QPointF(tx, d.plot.top()), QPointF(tx, d.plot.bottom()));
        p.setPen(Qt::black);
        QString label = evidence::formatClock(ms);
        label = step >= 60000 ? label.left(label.size() - 7) : step >= 1000 ? label.left(label.size() - 4) : label;
        if (tx + 2 + fm.horizontalAdvance(label) <= area.right())
            p.drawText(QPointF(tx + 2, area.top() + fm.ascent() + 4), label);
    }
    if (t.night.date.isValid()) {
        // Midnight stands out.
        for (qint64 mid = (v.fromMs / kDayMs) * kDayMs; mid <= v.toMs; mid += kDayMs)
            if (mid > v.fromMs) {
                p.setPen(QPen(QColor(0x80, 0, 0), 1.5, Qt::DashLine));
                p.drawLine(QPointF(x(mid), d.plot.top()), QPointF(x(mid), d.plot.bottom()));
                p.drawText(QPointF(x(mid) + 3, d.plot.top() + fm.ascent()),
                           t.night.date.addDays(mid / kDayMs).toString(QStringLiteral("d MMM yyyy")));
            }
    }

    // Marks, clipped to the plot; only what is in view is drawn.
    p.setClipRect(d.plot);
    QList<QPolygonF> lines(units.size()); // per unit: points in view (and one either side)
    QList<std::optional<QPointF>> before(units.size());
    // A whole night holds thousands of marks: where they crowd, one per pixel
    // column and lane is drawn, and without antialiasing.
    qsizetype inView = 0;
    for (const TimelineEntry& e : t.entries)
        inView += e.atMs + e.lengthMs >= v.fromMs && e.atMs <= v.toMs;
    const bool crowded = inView > 1500;
    p.setRenderHint(QPainter::Antialiasing, !crowded);
    QList<int> lastColumn(lanes.size(), std::numeric_limits<int>::min());
    for (qsizetype i = 0; i < t.entries.size(); ++i) {
        const TimelineEntry& e = t.entries[i];
        if (slot[i] < 0) {
            const int u = -1 - slot[i];
            const auto [lo, hi] = range[u];
            const double share = hi > lo ? (*e.finding.reading - lo) / (hi - lo) : 0.5;
            const QPointF pt(x(e.atMs), plotTop(u) + plotH - 4 - share * (plotH - 8));
            if (e.atMs < v.fromMs) {
                before[u] = pt;
                continue;
            }
            QPolygonF& line = lines[u];
            if (line.isEmpty() && before[u])
                line << *before[u];
            if (!line.isEmpty() && line.last().x() > d.plot.right())
                continue;
            line << pt;
            if (e.atMs <= v.toMs)
                d.marks.append({int(i), QRectF(pt - QPointF(2.5, 2.5), QSizeF(5, 5))});
            continue;
        }
        if (e.atMs + e.lengthMs < v.fromMs || e.atMs > v.toMs)
            continue;
        const int lane = laneRow[slot[i]];
        const double top = laneTop(lane);
        const bool hot = int(i) == v.hovered;
        const int column = int(x(e.atMs));
        if (crowded && !hot && x(e.atMs + e.lengthMs) - x(e.atMs) < 2 && column == lastColumn[lane])
            continue;
        lastColumn[lane] = column;
        const QColor c = colourOf(e.kind);
        p.setPen(hot ? QPen(Qt::black, 2) : QPen(c.darker(130), 1));
        p.setBrush(hot ? c.lighter(130) : c);
        QRectF shape;
        if (e.lengthMs > 0) {
            shape = QRectF(x(e.atMs), top + laneH * 0.2, std::max(3.0, x(e.atMs + e.lengthMs) - x(e.atMs)), laneH * 0.6);
            p.drawRect(shape);
        } else {
            const double r = std::max(3.0, laneH * 0.22);
            const QPointF mid(x(e.atMs), top + laneH / 2);
            shape = QRectF(mid - QPointF(r, r), QSizeF(2 * r, 2 * r));
            if (e.source == TimelineEntry::PictureEntry || crowded)
                p.drawRect(shape);
            else if (e.source == TimelineEntry::InterviewEntry)
                p.drawPolygon(QPolygonF{QPointF(mid.x(), shape.top()), shape.bottomRight(), shape.bottomLeft()});
            else
                p.drawEllipse(shape);
        }
        d.marks.append({int(i), shape});
    }
    p.setBrush(Qt::NoBrush);
    for (qsizetype u = 0; u < lines.size(); ++u) {
        const QPolygonF& line = lines[u];
        static const QColor plotColours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28),
                                             QColor(0x2c, 0xa0, 0x2c), QColor(0x94, 0x67, 0xbd)};
        p.setPen(QPen(plotColours[u % std::size(plotColours)], crowded ? 0 : 1.5));
        p.drawPolyline(line);
        if (line.size() < 300)
            for (const QPointF& pt : line)
                p.drawEllipse(pt, 2, 2);
    }
    if (v.hovered >= 0)
        for (const auto& [i, r] : std::as_const(d.marks))
            if (i == v.hovered) {
                p.setPen(QPen(Qt::black, 2));
                p.drawRect(r.adjusted(-2, -2, 2, 2));
            }
    p.setClipping(false);
    p.setPen(Qt::gray);
    p.drawRect(d.plot);

    // Pictures that have no time are listed beside the axis.
    if (!t.untimedPictures.isEmpty()) {
        const QRectF list(right + 8, d.plot.top(), kUntimedWidth - 12, d.plot.height());
        p.setPen(Qt::black);
        QFont bold = p.font();
        bold.setBold(true);
        p.save();
        p.setFont(bold);
        p.drawText(QPointF(list.left(), list.top() + fm.ascent()), QStringLiteral("Pictures without a time"));
        p.restore();
        double y = list.top() + fm.height() * 2;
        for (const QString& title : t.untimedPictures) {
            if (y > list.bottom())
                break;
            p.drawText(QPointF(list.left(), y), fm.elidedText(title, Qt::ElideRight, list.width()));
            y += fm.height();
        }
    }
    if (t.entries.isEmpty()) {
        p.setPen(Qt::gray);
        p.drawText(d.plot, Qt::AlignCenter, QStringLiteral("Nothing is logged for this investigation yet."));
    }
    p.restore();
    return d;
}

QImage image(const Timeline& t, const View& v, const QSize& size) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    draw(p, QRectF(QPointF(0, 0), QSizeF(size)), t, v);
    return img;
}

} // namespace veil::timeline
