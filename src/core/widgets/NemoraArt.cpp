#include "core/widgets/NemoraArt.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {
// A drop: a circle at the bottom whose upper half is drawn out into a point at the top.
QPainterPath dropPath(const QRectF& box)
{
    const qreal w = box.width(), h = box.height();
    const qreal r = w * 0.36;
    const QPointF centre(box.center().x(), box.top() + h * 0.62);
    QPainterPath path;
    path.moveTo(centre.x(), box.top() + h * 0.06);
    path.cubicTo(centre.x() + r * 0.35, centre.y() - r * 1.25, centre.x() + r, centre.y() - r * 0.55,
                 centre.x() + r, centre.y());
    path.arcTo(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), 0, -180);
    path.cubicTo(centre.x() - r, centre.y() - r * 0.55, centre.x() - r * 0.35, centre.y() - r * 1.25,
                 centre.x(), box.top() + h * 0.06);
    path.closeSubpath();
    return path;
}

QPixmap blank(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}
}  // namespace

QPixmap NemoraLogoPixmap(int size, const QColor& drop)
{
    QPixmap pixmap = blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(size * 0.12, size * 0.04, size * 0.76, size * 0.92);
    const QPainterPath outline = dropPath(box);
    p.fillPath(outline, drop);

    // Two waves cut through the drop in the bar's colour: the metered water.
    p.setClipPath(outline);
    QColor wave = drop == Qt::white ? NemoraColors::Sea : QColor(Qt::white);
    for (int band = 0; band < 2; ++band) {
        const qreal y = box.top() + box.height() * (0.60 + band * 0.16);
        QPainterPath path;
        path.moveTo(box.left(), y);
        const qreal step = box.width() / 4.0;
        for (int i = 0; i < 4; ++i) {
            const qreal x = box.left() + i * step;
            path.cubicTo(x + step * 0.3, y - size * 0.05, x + step * 0.7, y + size * 0.05, x + step, y);
        }
        wave.setAlphaF(band == 0 ? 0.95 : 0.6);
        p.setPen(QPen(wave, qMax(1.5, size * 0.055), Qt::SolidLine, Qt::RoundCap));
        p.drawPath(path);
    }
    p.setClipping(false);

    // Highlight on the upper left.
    QColor shine = drop == Qt::white ? NemoraColors::Sea : QColor(Qt::white);
    shine.setAlphaF(0.55);
    p.setPen(QPen(shine, qMax(1.2, size * 0.045), Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(box.left() + box.width() * 0.26, box.top() + box.height() * 0.42, box.width() * 0.3,
                     box.height() * 0.3),
              100 * 16, 70 * 16);
    return pixmap;
}

QPixmap NemoraGlyphPixmap(NemoraGlyph glyph, int size, const QColor& colour)
{
    QPixmap pixmap = blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const qreal pen = qMax(1.5, s / 13.0);
    p.setPen(QPen(colour, pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    auto pt = [s](qreal x, qreal y) { return QPointF(x * s, y * s); };
    auto rc = [s](qreal x, qreal y, qreal w, qreal h) { return QRectF(x * s, y * s, w * s, h * s); };

    switch (glyph) {
    case NemoraGlyph::Minimise:
        p.drawLine(pt(0.25, 0.68), pt(0.75, 0.68));
        break;
    case NemoraGlyph::Exit:   // a power symbol
        p.drawArc(rc(0.22, 0.24, 0.56, 0.56), 120 * 16, 300 * 16);
        p.drawLine(pt(0.5, 0.14), pt(0.5, 0.48));
        break;
    case NemoraGlyph::BaseData: {   // stacked records
        for (int i = 0; i < 3; ++i)
            p.drawEllipse(rc(0.22, 0.16 + i * 0.22, 0.56, 0.18));
        p.drawLine(pt(0.22, 0.25), pt(0.22, 0.69));
        p.drawLine(pt(0.78, 0.25), pt(0.78, 0.69));
        break;
    }
    case NemoraGlyph::Register:   // a meter with a plus
        p.drawRoundedRect(rc(0.16, 0.2, 0.5, 0.6), s * 0.08, s * 0.08);
        p.drawEllipse(rc(0.26, 0.3, 0.3, 0.3));
        p.drawLine(pt(0.78, 0.52), pt(0.78, 0.84));
        p.drawLine(pt(0.62, 0.68), pt(0.94, 0.68));
        break;
    case NemoraGlyph::MyDevices:   // two meters
        p.drawRoundedRect(rc(0.12, 0.3, 0.36, 0.5), s * 0.06, s * 0.06);
        p.drawRoundedRect(rc(0.52, 0.2, 0.36, 0.5), s * 0.06, s * 0.06);
        p.drawEllipse(rc(0.2, 0.4, 0.2, 0.2));
        p.drawEllipse(rc(0.6, 0.3, 0.2, 0.2));
        break;
    case NemoraGlyph::MeterStatus:   // a gauge with its needle
        p.drawArc(rc(0.12, 0.2, 0.76, 0.76), 0, 180 * 16);
        p.drawLine(pt(0.12, 0.58), pt(0.88, 0.58));
        p.drawLine(pt(0.5, 0.58), pt(0.7, 0.36));
        p.setBrush(colour);
        p.drawEllipse(pt(0.5, 0.58), s * 0.04, s * 0.04);
        break;
    case NemoraGlyph::Dashboard:   // bars
        p.drawLine(pt(0.14, 0.84), pt(0.86, 0.84));
        p.drawLine(pt(0.28, 0.74), pt(0.28, 0.5));
        p.drawLine(pt(0.5, 0.74), pt(0.5, 0.22));
        p.drawLine(pt(0.72, 0.74), pt(0.72, 0.4));
        break;
    case NemoraGlyph::FetchData:   // a cloud with a downward arrow
        p.drawArc(rc(0.14, 0.28, 0.34, 0.34), 90 * 16, 180 * 16);
        p.drawArc(rc(0.3, 0.14, 0.42, 0.42), 20 * 16, 150 * 16);
        p.drawArc(rc(0.56, 0.3, 0.3, 0.3), -90 * 16, 180 * 16);
        p.drawLine(pt(0.31, 0.62), pt(0.4, 0.62));
        p.drawLine(pt(0.6, 0.62), pt(0.71, 0.6));
        p.drawLine(pt(0.5, 0.44), pt(0.5, 0.88));
        p.drawLine(pt(0.38, 0.76), pt(0.5, 0.88));
        p.drawLine(pt(0.62, 0.76), pt(0.5, 0.88));
        break;
    case NemoraGlyph::MeterSettings: {   // sliders
        const qreal xs[3] = {0.26, 0.5, 0.74};
        const qreal knobs[3] = {0.62, 0.34, 0.54};
        for (int i = 0; i < 3; ++i) {
            p.drawLine(pt(xs[i], 0.16), pt(xs[i], 0.84));
            p.setBrush(colour);
            p.drawEllipse(pt(xs[i], knobs[i]), s * 0.075, s * 0.075);
            p.setBrush(Qt::NoBrush);
        }
        break;
    }
    case NemoraGlyph::ChangeUser:   // a person with a turning arrow
        p.drawEllipse(rc(0.3, 0.12, 0.3, 0.3));
        p.drawArc(rc(0.16, 0.48, 0.58, 0.6), 0, 180 * 16);
        p.drawArc(rc(0.6, 0.5, 0.3, 0.3), -60 * 16, 250 * 16);
        break;
    case NemoraGlyph::Eye:
        p.drawArc(rc(0.08, 0.26, 0.84, 0.76), 35 * 16, 110 * 16);
        p.drawArc(rc(0.08, -0.02, 0.84, 0.76), 215 * 16, 110 * 16);
        p.setBrush(colour);
        p.drawEllipse(pt(0.5, 0.5), s * 0.12, s * 0.12);
        break;
    case NemoraGlyph::TabClose:
        p.drawLine(pt(0.3, 0.3), pt(0.7, 0.7));
        p.drawLine(pt(0.7, 0.3), pt(0.3, 0.7));
        break;
    }
    return pixmap;
}
