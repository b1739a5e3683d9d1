#include "widgets/AngularGauge.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QResizeEvent>
#include <QtMath>

namespace gencfg {

namespace {

constexpr qreal LogicalSide = 200;
constexpr qreal ScaleRadius = 88; // outer end of the ticks
constexpr qreal StartAngle = 225; // degrees, counter-clockwise from 3 o'clock
constexpr qreal SweepAngle = 270;
constexpr qreal LabelPixelSize = 14;

QPointF polar(qreal radius, qreal degrees)
{
    const qreal a = qDegreesToRadians(degrees);
    return {radius * qCos(a), -radius * qSin(a)};
}

} // namespace

AngularGauge::AngularGauge(QWidget *parent) : ScaleGauge(parent)
{
    setAccessibleName(tr("Стрелочный индикатор"));
    refreshReading();
}

QSize AngularGauge::sizeHint() const
{
    return {160, 160};
}

QSize AngularGauge::minimumSizeHint() const
{
    return {60, 60};
}

void AngularGauge::setHubSize(int pixels)
{
    pixels = qMax(0, pixels);
    if (pixels == m_hubSize)
        return;
    m_hubSize = pixels;
    update();
    Q_EMIT lookChanged();
}

void AngularGauge::setAutoSize(bool on)
{
    if (on == m_autoSize)
        return;
    m_autoSize = on;
    if (m_autoSize && width() != height())
        resize(height(), height());
    updateGeometry();
    Q_EMIT lookChanged();
}

void AngularGauge::setUnitsText(const QString &text)
{
    if (text == m_unitsText)
        return;
    m_unitsText = text;
    refreshReading();
    invalidateScale();
    Q_EMIT lookChanged();
}

QString AngularGauge::readingText() const
{
    const QString reading = ScaleGauge::readingText();
    return m_unitsText.isEmpty() ? reading : reading + QLatin1Char(' ') + m_unitsText;
}

void AngularGauge::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QSize now = event->size();
    if (!m_autoSize || now.width() == now.height())
        return;
    const QSize before = event->oldSize();
    const bool onlyWidthChanged = before.isValid() && before.height() == now.height();
    const int side = onlyWidthChanged ? now.width() : now.height();
    resize(side, side);
}

qreal AngularGauge::dialScale() const
{
    const qreal side = qMin(width(), height());
    return side < 4 ? 0 : side / LogicalSide;
}

void AngularGauge::toDial(QPainter &p, qreal k) const
{
    p.translate(width() / 2.0, height() / 2.0);
    p.scale(k, k);
}

qreal AngularGauge::angleOf(double value) const
{
    return StartAngle - SweepAngle * scaleFraction(value);
}

void AngularGauge::paintScale(QPainter &p)
{
    const qreal k = dialScale();
    if (k <= 0)
        return;
    auto logical = [k](int pixels) { return pixels / k; };
    p.save();
    toDial(p, k);

    // Bezel and face.
    QLinearGradient bezel(0, -100, 0, 100);
    bezel.setColorAt(0, QColor(0xa4, 0xaa, 0xb0));
    bezel.setColorAt(1, QColor(0x45, 0x4a, 0x50));
    p.setPen(QPen(QColor(0x30, 0x33, 0x36), 1.0));
    p.setBrush(bezel);
    p.drawEllipse(QPointF(0, 0), 99, 99);
    QRadialGradient face(0, -20, 110);
    face.setColorAt(0, Qt::white);
    face.setColorAt(1, QColor(0xdc, 0xdf, 0xe4));
    p.setPen(QPen(QColor(0x60, 0x64, 0x6a), 0.8));
    p.setBrush(face);
    p.drawEllipse(QPointF(0, 0), 93, 93);

    const qreal majorLength = qBound<qreal>(0, logical(tickMajorLength()), 0.35 * ScaleRadius);
    const qreal minorLength = qBound<qreal>(0, logical(tickMinorLength()), 0.35 * ScaleRadius);
    const qreal band = qBound<qreal>(3, minorLength, 14);

    // Coloured sections under the ticks.
    const QRectF bandRect(-(ScaleRadius - band / 2), -(ScaleRadius - band / 2), 2 * (ScaleRadius - band / 2),
                          2 * (ScaleRadius - band / 2));
    p.setBrush(Qt::NoBrush);
    for (const Section &s : sections()) {
        p.setPen(QPen(s.color, band, Qt::SolidLine, Qt::FlatCap));
        const qreal from = angleOf(s.from);
        const qreal to = angleOf(s.to);
        p.drawArc(bandRect, qRound(from * 16), qRound((to - from) * 16));
    }

    // Scale line and ticks.
    const QColor ink(0x20, 0x22, 0x25);
    const QRectF scaleRect(-ScaleRadius, -ScaleRadius, 2 * ScaleRadius, 2 * ScaleRadius);
    p.setPen(QPen(ink, 1.2, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(scaleRect, qRound(StartAngle * 16), qRound(-SweepAngle * 16));
    auto drawTicks = [&](const QList<double> &values, qreal width, qreal length) {
        p.setPen(QPen(ink, width, Qt::SolidLine, Qt::FlatCap));
        for (double v : values)
            p.drawLine(polar(ScaleRadius, angleOf(v)), polar(ScaleRadius - length, angleOf(v)));
    };
    drawTicks(minorTickValues(), 1.2, minorLength);
    const QList<double> majors = majorTickValues();
    drawTicks(majors, 2.4, majorLength);

    // Numbers, set inside the major ticks; skipped when too small to read.
    QFont labelFont = font();
    labelFont.setPixelSize(int(LabelPixelSize));
    if (TickLabelReadable(LabelPixelSize * k, p.device()->devicePixelRatioF())) {
        p.setFont(labelFont);
        const QFontMetricsF fm(labelFont);
        const qreal textHeight = fm.ascent() + fm.descent();
        const qreal inner = ScaleRadius - majorLength - 3;
        for (double v : majors) {
            const QString text = tickLabel(v);
            const qreal textWidth = fm.horizontalAdvance(text);
            const qreal a = angleOf(v);
            const qreal rad = qDegreesToRadians(a);
            // Keep the label's box clear of the ticks whichever way the ray points.
            const qreal reach = 0.5 * (qAbs(qCos(rad)) * textWidth + qAbs(qSin(rad)) * textHeight);
            const QPointF centre = polar(inner - reach, a);
            const QRectF box(centre.x() - textWidth / 2 - 2, centre.y() - textHeight / 2, textWidth + 4,
                             textHeight);
            p.drawText(box, Qt::AlignCenter, text);
        }
        if (!m_unitsText.isEmpty()) {
            QFont unitsFont = labelFont;
            unitsFont.setBold(true);
            p.setFont(unitsFont);
            p.setPen(QColor(0x50, 0x55, 0x5a));
            p.drawText(QRectF(-40, 40, 80, 24), Qt::AlignCenter, m_unitsText);
        }
    }
    p.restore();
}

void AngularGauge::paintEvent(QPaintEvent *)
{
    const qreal k = dialScale();
    if (k <= 0)
        return;
    auto logical = [k](int pixels) { return pixels / k; };

    QPainter p(this);
    drawScale(p);
    toDial(p, k);

    // Pointer, with a soft shadow so it lifts off the face.
    const qreal halfWidth = qBound<qreal>(1, logical(pointerSize()) * 0.3, 8);
    const qreal length = ScaleRadius - 2;
    const qreal tail = 16;
    const QPolygonF needle({QPointF(-tail, -halfWidth * 0.6), QPointF(0, -halfWidth), QPointF(length, -0.6),
                            QPointF(length, 0.6), QPointF(0, halfWidth), QPointF(-tail, halfWidth * 0.6)});
    auto drawNeedle = [&](const QPointF &offset, const QPen &pen, const QColor &fill) {
        p.save();
        p.translate(offset);
        p.rotate(-angleOf(shownValue()));
        p.setPen(pen);
        p.setBrush(fill);
        p.drawPolygon(needle);
        p.restore();
    };
    drawNeedle({1.5, 2}, Qt::NoPen, QColor(0, 0, 0, 50));
    drawNeedle({0, 0}, QPen(pointerColor().darker(170), 0.8), pointerColor());

    // The hub covers the pointer's root, so it is painted over it rather than kept with the scale.
    const qreal hubRadius = qBound<qreal>(2, logical(m_hubSize) / 2, 30);
    QRadialGradient hub(-hubRadius / 3, -hubRadius / 3, hubRadius * 1.4);
    hub.setColorAt(0, QColor(0xb8, 0xbc, 0xc2));
    hub.setColorAt(1, QColor(0x25, 0x28, 0x2c));
    p.setPen(QPen(QColor(0x15, 0x17, 0x1a), 0.8));
    p.setBrush(hub);
    p.drawEllipse(QPointF(0, 0), hubRadius, hubRadius);
}

} // namespace gencfg
