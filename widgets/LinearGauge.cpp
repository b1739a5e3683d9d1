#include "widgets/LinearGauge.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QtMath>

namespace gencfg {

namespace {

constexpr qreal LargestLabel = 13; // pixels
constexpr qreal SmallestLabel = 5;

// Centre of the pixel a one-pixel line at coordinate v falls in, so it is drawn sharp.
qreal crisp(qreal v)
{
    return qFloor(v) + 0.5;
}

} // namespace

LinearGauge::LinearGauge(QWidget *parent) : LinearGauge(Qt::Vertical, parent)
{}

LinearGauge::LinearGauge(Qt::Orientation orientation, QWidget *parent)
    : ScaleGauge(parent), m_orientation(orientation)
{
    setAccessibleName(tr("Линейный индикатор"));
}

QSize LinearGauge::sizeHint() const
{
    return m_orientation == Qt::Vertical ? QSize(70, 240) : QSize(300, 70);
}

QSize LinearGauge::minimumSizeHint() const
{
    return m_orientation == Qt::Vertical ? QSize(40, 80) : QSize(80, 40);
}

void LinearGauge::setOrientation(Qt::Orientation orientation)
{
    if (orientation == m_orientation)
        return;
    m_orientation = orientation;
    updateGeometry();
    invalidateScale();
    Q_EMIT lookChanged();
}

void LinearGauge::alongScale(QPainter &p) const
{
    if (m_orientation == Qt::Vertical) {
        p.translate(0, height());
        p.rotate(-90);
    }
}

void LinearGauge::paintScale(QPainter &p)
{
    m_marker = MarkerPlace();
    if (width() < 4 || height() < 4)
        return;

    const QRectF faceRect = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal corner = qMin<qreal>(6, qMin(width(), height()) / 6.0);
    QLinearGradient face(0, 0, 0, height());
    face.setColorAt(0, Qt::white);
    face.setColorAt(1, QColor(0xdc, 0xdf, 0xe4));
    p.setPen(QPen(QColor(0x60, 0x64, 0x6a), 1.0));
    p.setBrush(face);
    p.drawRoundedRect(faceRect, corner, corner);

    const bool vertical = m_orientation == Qt::Vertical;
    const qreal along = vertical ? height() : width();
    const qreal across = vertical ? width() : height();
    const qreal pad = qBound<qreal>(1, qMin(along, across) * 0.06, 5);

    const QList<double> majors = majorTickValues();
    QStringList labels;
    for (double v : majors)
        labels.append(tickLabel(v));

    QFont labelFont = font();
    qreal labelSize = qBound<qreal>(SmallestLabel, across * 0.19, LargestLabel);
    qreal labelExtent = 0; // across the scale
    qreal labelHalf = 0;   // along the scale
    qreal textHeight = 0;
    auto measure = [&] {
        labelFont.setPixelSize(qMax(1, qRound(labelSize)));
        const QFontMetricsF fm(labelFont);
        qreal widest = 0;
        for (const QString &l : labels)
            widest = qMax(widest, fm.horizontalAdvance(l));
        textHeight = fm.ascent() + fm.descent();
        labelExtent = vertical ? widest : textHeight;
        labelHalf = (vertical ? textHeight : widest) / 2;
    };
    measure();

    qreal marker = qMax(3, pointerSize());
    qreal bar = qBound<qreal>(3, across * 0.09, 12);
    qreal major = tickMajorLength();
    qreal minor = tickMinorLength();
    qreal gap = 2;
    const qreal room = across - 2 * pad;
    qreal needed = marker + bar + qMax(major, minor) + gap + labelExtent;
    if (needed > room) {
        // Shrink everything across the scale alike so a small gauge keeps its proportions.
        const qreal s = qMax<qreal>(0, room) / needed;
        marker *= s;
        bar *= s;
        major *= s;
        minor *= s;
        gap *= s;
        labelSize *= s;
        measure();
        needed = marker + bar + qMax(major, minor) + gap + labelExtent;
    }
    const bool showLabels =
        TickLabelReadable(labelSize, p.device()->devicePixelRatioF()) && !labels.isEmpty();
    if (!showLabels)
        needed -= gap + labelExtent;

    const qreal margin = pad + qMax(showLabels ? labelHalf : 0, marker * 0.6) + 1;
    const qreal length = along - 2 * margin;
    if (length <= 1)
        return;
    auto at = [&](double value) { return margin + scaleFraction(value) * length; };

    const qreal markerTop = pad + qMax<qreal>(0, room - needed) / 2;
    const qreal barTop = markerTop + marker;
    const qreal barBottom = barTop + bar;
    m_marker = {true, margin, length, marker, markerTop, barTop, barBottom};

    p.save();
    alongScale(p);

    p.setPen(Qt::NoPen);
    for (const Section &s : sections())
        p.fillRect(QRectF(at(s.from), barTop, at(s.to) - at(s.from), bar), s.color);
    const QColor ink(0x20, 0x22, 0x25);
    p.setPen(QPen(ink, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(at(scaleLow()), barTop, length, bar));

    auto drawTicks = [&](const QList<double> &values, qreal width, qreal length, qreal (*snap)(qreal)) {
        p.setPen(QPen(ink, width, Qt::SolidLine, Qt::FlatCap));
        for (double v : values)
            p.drawLine(QPointF(snap(at(v)), barBottom), QPointF(snap(at(v)), barBottom + length));
    };
    drawTicks(minorTickValues(), 1.0, minor, crisp);
    drawTicks(majors, 2.0, major, [](qreal v) -> qreal { return qRound(v); });

    if (showLabels) {
        p.setFont(labelFont);
        p.setPen(ink);
        const qreal labelMiddle = barBottom + qMax(major, minor) + gap + labelExtent / 2;
        for (int i = 0; i < majors.size(); ++i) {
            p.save();
            p.translate(at(majors[i]), labelMiddle);
            if (vertical) {
                p.rotate(90); // numbers stay upright
                p.drawText(QRectF(-labelExtent / 2, -textHeight / 2, labelExtent + 2, textHeight),
                           Qt::AlignLeft | Qt::AlignVCenter, labels[i]);
            } else {
                p.drawText(QRectF(-labelHalf - 2, -textHeight / 2, 2 * labelHalf + 4, textHeight),
                           Qt::AlignCenter, labels[i]);
            }
            p.restore();
        }
    }
    p.restore();
}

void LinearGauge::paintEvent(QPaintEvent *)
{
    if (width() < 4 || height() < 4)
        return;
    QPainter p(this);
    drawScale(p);
    if (!m_marker.shown)
        return;
    alongScale(p);

    // The marker points at the bar; a line of its colour crosses the bar at the reading.
    const MarkerPlace &m = m_marker;
    const qreal x = m.margin + scaleFraction(shownValue()) * m.length;
    const QPolygonF triangle({QPointF(x - m.marker * 0.6, m.markerTop),
                              QPointF(x + m.marker * 0.6, m.markerTop), QPointF(x, m.barTop)});
    p.setPen(QPen(pointerColor().darker(170), 1.0));
    p.setBrush(pointerColor());
    p.drawPolygon(triangle);
    p.setPen(QPen(pointerColor(), qMax<qreal>(1.5, m.marker * 0.15), Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(x, m.barTop), QPointF(x, m.barBottom));
}

} // namespace gencfg
