#include "meters/Gauge.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <cmath>

namespace {

const QString kDefaultUnit = QStringLiteral("لیتر");

constexpr int kMajorDivisions = 5;
constexpr int kMinorPerMajor = 5;
// The scale runs clockwise over 270 degrees, from lower left to lower right.
constexpr double kStartAngle = 225.0;
constexpr double kSweep = 270.0;

// Scale label text: whole numbers without grouping, so that 500000 stays one short word.
QString ScaleLabel(double v)
{
    if (std::fabs(v - std::round(v)) < 1e-9)
        return QString::number(qint64(std::llround(v)));
    return QString::number(v, 'g', 6);
}

QPointF OnCircle(const QPointF& centre, double radius, double angleDeg)
{
    const double a = qDegreesToRadians(angleDeg);
    return QPointF(centre.x() + radius * std::cos(a), centre.y() - radius * std::sin(a));
}

}  // namespace

QString GaugeValueText(double value)
{
    return QString::asprintf("%05.1f", value);
}

double GaugeNeedleFraction(double value, double maximum)
{
    if (!(maximum > 0) || std::isnan(value))
        return 0.0;
    return qBound(0.0, value / maximum, 1.0);
}

TGauge::TGauge(QWidget* parent)
    : QWidget(parent), m_unit(kDefaultUnit)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TGauge::setMaximum(double maximum)
{
    if (!(maximum > 0) || maximum == m_maximum)
        return;
    m_maximum = maximum;
    update();
}

void TGauge::setValue(double value)
{
    if (value == m_value)
        return;
    m_value = value;
    setToolTip(valueText());
    update();
}

void TGauge::setUnit(const QString& unit)
{
    m_unit = unit;
    update();
}

QSize TGauge::sizeHint() const
{
    return QSize(190, 190);
}

QSize TGauge::minimumSizeHint() const
{
    return QSize(120, 120);
}

int TGauge::heightForWidth(int width) const
{
    return width;
}

void TGauge::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const double side = qMin(width(), height()) - 4.0;
    if (side < 20)
        return;
    const QPointF c(width() / 2.0, height() / 2.0);
    const double r = side / 2.0;

    // Bezel and face.
    QRadialGradient bezel(c, r);
    bezel.setColorAt(0.90, QColor(0xd5, 0xdd, 0xe6));
    bezel.setColorAt(0.97, QColor(0x8a, 0x9b, 0xae));
    bezel.setColorAt(1.00, QColor(0x5e, 0x6f, 0x82));
    p.setPen(Qt::NoPen);
    p.setBrush(bezel);
    p.drawEllipse(c, r, r);
    QRadialGradient face(QPointF(c.x(), c.y() - r * 0.3), r * 1.1);
    face.setColorAt(0.0, QColor(0xff, 0xff, 0xff));
    face.setColorAt(1.0, QColor(0xe9, 0xef, 0xf5));
    p.setBrush(face);
    const double fr = r * 0.90;
    p.drawEllipse(c, fr, fr);

    // Coloured band under the scale: calm blue rising to a deep blue at the end.
    const double bandR = fr * 0.86;
    const double bandW = fr * 0.07;
    QRectF bandRect(c.x() - bandR, c.y() - bandR, 2 * bandR, 2 * bandR);
    QConicalGradient band(c, kStartAngle - kSweep);
    band.setColorAt(0.0, QColor(0x0d, 0x47, 0xa1));
    band.setColorAt(kSweep / 360.0, QColor(0x90, 0xca, 0xf9));
    QPen bandPen(QBrush(band), bandW, Qt::SolidLine, Qt::FlatCap);
    p.setPen(bandPen);
    p.setBrush(Qt::NoBrush);
    p.drawArc(bandRect, int(kStartAngle * 16), int(-kSweep * 16));

    // Ticks and scale labels.
    const int steps = kMajorDivisions * kMinorPerMajor;
    const QColor tickColour(0x33, 0x3d, 0x4a);
    // Six-digit scale labels (500000) get a smaller type so they stay clear of each other.
    const int longest = ScaleLabel(m_maximum).size();
    QFont labelFont = font();
    labelFont.setPixelSize(qMax(7, int(fr * (longest > 5 ? 0.095 : longest > 4 ? 0.105 : 0.115))));
    p.setFont(labelFont);
    const QFontMetricsF lfm(labelFont);
    for (int i = 0; i <= steps; ++i) {
        const double angle = kStartAngle - kSweep * i / steps;
        const bool major = i % kMinorPerMajor == 0;
        const double outer = bandR + bandW / 2.0;
        const double inner = major ? bandR - bandW * 1.6 : bandR - bandW / 2.0;
        p.setPen(QPen(tickColour, major ? qMax(1.5, fr * 0.022) : qMax(0.8, fr * 0.009), Qt::SolidLine, Qt::FlatCap));
        p.drawLine(OnCircle(c, inner, angle), OnCircle(c, outer, angle));
        if (major) {
            const QString text = ScaleLabel(m_maximum * i / steps);
            const double w = lfm.horizontalAdvance(text);
            // Keep the label's nearest edge a fixed distance inside the ticks, whatever its width.
            const double reach = std::fabs(std::cos(qDegreesToRadians(angle))) * w / 2
                + std::fabs(std::sin(qDegreesToRadians(angle))) * lfm.height() / 2;
            const QPointF at = OnCircle(c, bandR - bandW * 1.9 - reach, angle);
            p.setPen(tickColour);
            p.drawText(QRectF(at.x() - w / 2 - 2, at.y() - lfm.height() / 2, w + 4, lfm.height()),
                       Qt::AlignCenter, text);
        }
    }

    // Value window under the centre.
    QFont valueFont = font();
    valueFont.setPixelSize(qMax(9, int(fr * 0.17)));
    valueFont.setBold(true);
    valueFont.setStyleHint(QFont::Monospace);
    const QFontMetricsF vfm(valueFont);
    const QString text = valueText();
    // Under the hub, below the level of the scale's two end labels.
    const double vw = qMax(vfm.horizontalAdvance(text) + fr * 0.12, fr * 0.62);
    const double vh = vfm.height() + fr * 0.03;
    const QRectF valueRect(c.x() - vw / 2, c.y() + fr * 0.50, vw, vh);
    p.setPen(QPen(QColor(0x9a, 0xa8, 0xb8), 1));
    p.setBrush(QColor(0x1f, 0x2a, 0x36));
    p.drawRoundedRect(valueRect, vh * 0.2, vh * 0.2);
    p.setFont(valueFont);
    p.setPen(m_value > m_maximum ? QColor(0xff, 0xb7, 0x4d) : QColor(0x7f, 0xe8, 0xff));
    p.drawText(valueRect, Qt::AlignCenter, text);

    if (!m_unit.isEmpty()) {
        QFont unitFont = font();
        unitFont.setPixelSize(qMax(8, int(fr * 0.12)));
        p.setFont(unitFont);
        p.setPen(QColor(0x5a, 0x68, 0x77));
        const QRectF unitRect(c.x() - fr * 0.5, c.y() + fr * 0.24, fr, fr * 0.16);
        QTextOption opt(Qt::AlignCenter);
        opt.setTextDirection(Qt::RightToLeft);
        p.drawText(unitRect, m_unit, opt);
    }

    // Needle, stopping at the ends of the scale.
    const double angle = kStartAngle - kSweep * GaugeNeedleFraction(m_value, m_maximum);
    const double len = bandR - bandW * 0.4;
    const double baseW = fr * 0.045;
    QPainterPath needle;
    needle.moveTo(OnCircle(c, len, angle));
    needle.lineTo(OnCircle(c, baseW, angle + 90));
    needle.lineTo(OnCircle(c, fr * 0.16, angle + 180));
    needle.lineTo(OnCircle(c, baseW, angle - 90));
    needle.closeSubpath();
    p.setPen(QPen(QColor(0x8e, 0x1b, 0x1b), 1));
    p.setBrush(QColor(0xd3, 0x2f, 0x2f));
    p.drawPath(needle);

    QRadialGradient hub(c, fr * 0.09);
    hub.setColorAt(0.0, QColor(0x90, 0x9c, 0xa8));
    hub.setColorAt(1.0, QColor(0x37, 0x41, 0x4d));
    p.setPen(Qt::NoPen);
    p.setBrush(hub);
    p.drawEllipse(c, fr * 0.085, fr * 0.085);
}
