#include "widgets/art.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cmath>

namespace veil::art {

namespace {
const QColor kNight(0x1d, 0x26, 0x3b);
const QColor kSlate(0x4a, 0x5a, 0x74);
const QColor kMist(0xd9, 0xde, 0xe7);
const QColor kAmber(0xe8, 0xa8, 0x4c);

QImage canvas(QSize s) {
    QImage img(s, QImage::Format_RGB32);
    img.fill(kNight);
    return img;
}

// `outline`, when given, is the shape the picture stays inside, followed by
// its shapes rather than by clipping so that an SVG painter keeps it too.
void sky(QPainter& p, QRectF r, const QPainterPath& outline = {}) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, kNight);
    g.setColorAt(1, kSlate);
    if (outline.isEmpty())
        p.fillRect(r, g);
    else
        p.fillPath(outline, g);
}

// A lone house on a hill under a moon: the program's motif.
void house(QPainter& p, QRectF r, bool lit, const QPainterPath& outline = {}) {
    sky(p, r, outline);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal u = std::min(r.width(), r.height());
    p.setPen(Qt::NoPen);
    p.setBrush(kMist);
    p.drawEllipse(QPointF(r.left() + r.width() * 0.78, r.top() + r.height() * 0.25), u * 0.09, u * 0.09);
    QPainterPath hill;
    hill.moveTo(r.left(), r.bottom());
    hill.cubicTo(r.left() + r.width() * 0.3, r.top() + r.height() * 0.62,
                 r.left() + r.width() * 0.7, r.top() + r.height() * 0.7, r.right(), r.top() + r.height() * 0.78);
    hill.lineTo(r.right(), r.bottom());
    hill.closeSubpath();
    p.setBrush(QColor(0x12, 0x18, 0x26));
    p.drawPath(outline.isEmpty() ? hill : hill.intersected(outline));
    const QPointF base(r.left() + r.width() * 0.38, r.top() + r.height() * 0.68);
    const qreal w = u * 0.34, h = u * 0.22;
    QPainterPath body;
    body.addRect(QRectF(base.x() - w / 2, base.y() - h, w, h));
    QPainterPath roof;
    roof.moveTo(base.x() - w * 0.62, base.y() - h);
    roof.lineTo(base.x(), base.y() - h - u * 0.17);
    roof.lineTo(base.x() + w * 0.62, base.y() - h);
    roof.closeSubpath();
    p.setBrush(QColor(0x0c, 0x10, 0x1a));
    p.drawPath(body);
    p.drawPath(roof);
    if (lit) {
        p.setBrush(kAmber);
        p.drawRect(QRectF(base.x() - w * 0.28, base.y() - h * 0.7, w * 0.16, h * 0.3));
    }
}

void caption(QPainter& p, QRectF r, const QString& text, qreal px, QColor c = kMist) {
    QFont f = p.font();
    f.setPixelSize(std::max(8, int(px)));
    f.setBold(true);
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter | Qt::TextWordWrap, text);
}

// A database drawn as a stack of disks, mist on slate.
void cylinder(QPainter& p, QRectF r) {
    p.setRenderHint(QPainter::Antialiasing);
    const int disks = 3;
    const qreal lid = r.height() * 0.22;
    const qreal step = (r.height() - lid) / disks;
    p.setPen(QPen(kNight, std::max(1.0, r.width() * 0.02)));
    for (int i = disks - 1; i >= 0; --i) {
        const qreal top = r.top() + i * step;
        QPainterPath body;
        body.moveTo(r.left(), top + lid / 2);
        body.lineTo(r.left(), top + step + lid / 2);
        body.arcTo(QRectF(r.left(), top + step, r.width(), lid), 180, 180);
        body.lineTo(r.right(), top + lid / 2);
        body.closeSubpath();
        p.setBrush(i % 2 ? kSlate : QColor(0x5d, 0x6e, 0x8a));
        p.drawPath(body);
    }
    p.setBrush(kMist);
    p.drawEllipse(QRectF(r.left(), r.top(), r.width(), lid));
}

// A round arrow in lantern amber: copying back and forth.
void turnArrow(QPainter& p, QPointF centre, qreal radius) {
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(kAmber, std::max(1.5, radius * 0.22), Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    p.drawArc(box, 30 * 16, 280 * 16);
    const qreal a = qDegreesToRadians(30.0);
    const QPointF tip(centre.x() + radius * std::cos(a), centre.y() - radius * std::sin(a));
    p.setPen(Qt::NoPen);
    p.setBrush(kAmber);
    const qreal h = radius * 0.55;
    QPolygonF head;
    head << QPointF(tip.x() - h * 0.7, tip.y() - h * 0.2) << QPointF(tip.x() + h * 0.7, tip.y() - h * 0.2)
         << QPointF(tip.x(), tip.y() + h * 0.8);
    p.drawPolygon(head);
}
} // namespace

QSize naturalSize(Picture which) {
    switch (which) {
    case Picture::Splash: return {633, 344};
    case Picture::FrameBackground: return {220, 160};
    case Picture::DashboardBanner: return {206, 70};
    case Picture::AboutPicture: return {120, 120};
    case Picture::ToolsPicture: return {171, 106};
    case Picture::ConfirmBanner: return {360, 40};
    case Picture::ConfirmSide: return {80, 90};
    case Picture::EquipmentPicture: return {200, 120};
    case Picture::InvestigatorDefault:
    case Picture::InvestigatorPlaceholder: return {224, 168};
    case Picture::AddPictureDefault:
    case Picture::NewImage: return {640, 480};
    case Picture::LocationPlaceholder:
    case Picture::NoImages:
    case Picture::NoRecords: return {320, 240};
    }
    return {320, 240};
}

QImage draw(Picture which, QSize size) {
    if (!size.isValid())
        size = naturalSize(which);
    QImage img = canvas(size);
    QPainter p(&img);
    const QRectF r(QPointF(0, 0), QSizeF(size));
    const qreal u = std::min(r.width(), r.height());
    switch (which) {
    case Picture::Splash:
        house(p, r, true);
        caption(p, QRectF(r.width() * 0.5, r.height() * 0.35, r.width() * 0.48, u * 0.2), "Veilcase", u * 0.14);
        caption(p, QRectF(r.width() * 0.5, r.height() * 0.52, r.width() * 0.48, u * 0.1),
                "case files for haunted places", u * 0.05, kAmber);
        break;
    case Picture::LocationPlaceholder:
        house(p, r, false);
        caption(p, QRectF(0, r.height() * 0.8, r.width(), r.height() * 0.18), "Drop a photo of the place here", u * 0.07);
        break;
    case Picture::NoImages:
        house(p, r, false);
        caption(p, QRectF(0, r.height() * 0.8, r.width(), r.height() * 0.18), "No picture", u * 0.08);
        break;
    case Picture::NoRecords:
        house(p, r, false);
        caption(p, QRectF(0, r.height() * 0.8, r.width(), r.height() * 0.18), "Choose a location", u * 0.08);
        break;
    case Picture::ToolsPicture:
        house(p, r, true);
        cylinder(p, QRectF(r.width() * 0.66, r.height() * 0.42, r.width() * 0.2, r.height() * 0.42));
        turnArrow(p, QPointF(r.width() * 0.76, r.height() * 0.22), u * 0.11);
        break;
    case Picture::ConfirmBanner: {
        QLinearGradient g(r.topLeft(), r.topRight());
        g.setColorAt(0, kNight);
        g.setColorAt(1, kSlate);
        p.fillRect(r, g);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(kMist);
        p.drawEllipse(QPointF(r.width() - r.height() * 0.9, r.height() * 0.45), r.height() * 0.22, r.height() * 0.22);
        p.fillRect(QRectF(0, r.height() - std::max(2.0, r.height() * 0.08), r.width(), r.height()), kAmber);
        break;
    }
    case Picture::ConfirmSide:
        sky(p, r);
        cylinder(p, QRectF(r.width() * 0.2, r.height() * 0.4, r.width() * 0.6, r.height() * 0.5));
        turnArrow(p, QPointF(r.width() * 0.5, r.height() * 0.2), u * 0.14);
        break;
    default:
        house(p, r, true);
        break;
    }
    return img;
}

QImage buttonFace(QSize size, bool pressed) {
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, size.height());
    // Light at rest so the system's button text reads on it; night blue while
    // pressed, under white text.
    g.setColorAt(0, pressed ? kNight : QColor(0xf4, 0xf1, 0xea));
    g.setColorAt(1, pressed ? kSlate : kMist);
    p.setBrush(g);
    p.setPen(QPen(pressed ? kNight : kSlate, 1));
    p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 4, 4);
    return img;
}

void paintIcon(QPainter& p, int size) {
    QPainterPath outline;
    outline.addRoundedRect(QRectF(0, 0, size, size), size * 0.18, size * 0.18);
    p.setRenderHint(QPainter::Antialiasing);
    house(p, QRectF(0, 0, size, size), true, outline);
}

QImage icon(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    paintIcon(p, size);
    return img;
}

const PlaceholderFile* placeholderFiles(int* count) {
    static const PlaceholderFile files[] = {
        {"location.jpg", Picture::LocationPlaceholder},
        {"no_images.jpg", Picture::NoImages},
        {"No_Records.jpg", Picture::NoRecords},
        {"investigator.jpg", Picture::InvestigatorPlaceholder},
        {"new_image.jpg", Picture::NewImage},
    };
    *count = int(std::size(files));
    return files;
}

} // namespace veil::art
