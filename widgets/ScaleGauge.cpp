#include "widgets/ScaleGauge.h"

#include "widgets/InstrumentAccessibility.h"

#include <QEvent>
#include <cmath>

namespace gencfg {

bool TickLabelReadable(qreal pixels, qreal ratio)
{
    // The smallest numbers still legible, in device pixels.
    constexpr qreal SmallestReadable = 5;
    return pixels * ratio >= SmallestReadable;
}

namespace {

constexpr int MaxMajorTicks = 200;
constexpr int MaxMinorTicks = 50;
constexpr int MaxLength = 10000;

} // namespace

ScaleGauge::ScaleGauge(QWidget *parent) : QWidget(parent)
{
    installInstrumentAccessibility();
    refreshReading();
}

double ScaleGauge::shownValue() const
{
    return qBound(scaleLow(), m_value, scaleHigh());
}

double ScaleGauge::scaleFraction(double value) const
{
    const double span = scaleHigh() - scaleLow();
    if (span <= 0)
        return 0;
    return qBound(0.0, (value - scaleLow()) / span, 1.0);
}

QList<ScaleGauge::Section> ScaleGauge::sections() const
{
    const double low = scaleLow();
    const double high = scaleHigh();
    const double end1 = m_sectionCount >= 2 ? qBound(low, m_lowAlarm, high) : high;
    const double end2 = m_sectionCount >= 3 ? qBound(end1, m_highAlarm, high) : high;
    const Section all[] = {{low, end1, m_lowColor}, {end1, end2, m_normalColor}, {end2, high, m_highColor}};
    QList<Section> shown;
    for (const Section &s : all) {
        if (s.to > s.from)
            shown.append(s);
    }
    return shown;
}

QList<double> ScaleGauge::majorTickValues() const
{
    QList<double> values;
    const double low = scaleLow();
    const double span = scaleHigh() - low;
    if (m_tickMajorCount < 2 || span <= 0)
        return values;
    for (int i = 0; i < m_tickMajorCount; ++i)
        values.append(low + span * i / (m_tickMajorCount - 1));
    return values;
}

QList<double> ScaleGauge::minorTickValues() const
{
    QList<double> values;
    const QList<double> majors = majorTickValues();
    for (int i = 0; i + 1 < majors.size(); ++i) {
        const double step = (majors[i + 1] - majors[i]) / (m_tickMinorCount + 1);
        for (int j = 1; j <= m_tickMinorCount; ++j)
            values.append(majors[i] + step * j);
    }
    return values;
}

int ScaleGauge::labelDecimals() const
{
    const QList<double> majors = majorTickValues();
    const double tolerance = 1e-6 * qMax(1.0, scaleHigh() - scaleLow());
    for (int decimals = 0; decimals < 3; ++decimals) {
        const double unit = std::pow(10.0, decimals);
        bool exact = true;
        for (double v : majors) {
            if (std::abs(std::round(v * unit) / unit - v) > tolerance)
                exact = false;
        }
        if (exact)
            return decimals;
    }
    return 3;
}

QString ScaleGauge::tickLabel(double value) const
{
    const int decimals = labelDecimals();
    if (std::abs(value) < 0.5 * std::pow(10.0, -decimals))
        value = 0; // no "-0"
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', decimals);
}

QString ScaleGauge::readingText() const
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(shownValue(), 'g', 6);
}

void ScaleGauge::refreshReading()
{
    const QString reading = readingText();
    if (accessibleDescription() != reading)
        setAccessibleDescription(reading);
}

void ScaleGauge::drawScale(QPainter &p)
{
    if (m_scaleLocale != QLocale()) {
        m_scaleLocale = QLocale();
        m_scale.clear();
    }
    m_scale.draw(p, this, [this](QPainter &scalePainter) {
        scalePainter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        paintScale(scalePainter);
    });
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
}

void ScaleGauge::invalidateScale()
{
    m_scale.clear();
    update();
}

void ScaleGauge::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        invalidateScale();
    QWidget::changeEvent(event);
}

void ScaleGauge::setValue(double value)
{
    if (!std::isfinite(value) || value == m_value)
        return;
    const double shownBefore = shownValue();
    m_value = value;
    if (shownValue() != shownBefore) {
        refreshReading();
        update();
    }
    Q_EMIT valueChanged(m_value);
}

void ScaleGauge::setScaleValue(double &field, double value)
{
    if (!std::isfinite(value) || value == field)
        return;
    field = value;
    refreshReading();
    invalidateScale();
    Q_EMIT scaleChanged();
}

void ScaleGauge::setMinimum(double value)
{
    setScaleValue(m_minimum, value);
}

void ScaleGauge::setMaximum(double value)
{
    setScaleValue(m_maximum, value);
}

void ScaleGauge::setLowAlarm(double value)
{
    setScaleValue(m_lowAlarm, value);
}

void ScaleGauge::setHighAlarm(double value)
{
    setScaleValue(m_highAlarm, value);
}

void ScaleGauge::setScaleCount(int &field, int count)
{
    if (count == field)
        return;
    field = count;
    invalidateScale();
    Q_EMIT scaleChanged();
}

void ScaleGauge::setSectionCount(int count)
{
    setScaleCount(m_sectionCount, qBound(1, count, 3));
}

void ScaleGauge::setTickMajorCount(int count)
{
    setScaleCount(m_tickMajorCount, qBound(0, count, MaxMajorTicks));
}

void ScaleGauge::setTickMinorCount(int count)
{
    setScaleCount(m_tickMinorCount, qBound(0, count, MaxMinorTicks));
}

void ScaleGauge::setLookValue(int &field, int value)
{
    value = qBound(0, value, MaxLength);
    if (value == field)
        return;
    field = value;
    invalidateScale();
    Q_EMIT lookChanged();
}

void ScaleGauge::setLookColor(QColor &field, const QColor &color)
{
    if (color == field)
        return;
    field = color;
    invalidateScale();
    Q_EMIT lookChanged();
}

void ScaleGauge::setLowColor(const QColor &color)
{
    setLookColor(m_lowColor, color);
}

void ScaleGauge::setNormalColor(const QColor &color)
{
    setLookColor(m_normalColor, color);
}

void ScaleGauge::setHighColor(const QColor &color)
{
    setLookColor(m_highColor, color);
}

void ScaleGauge::setPointerColor(const QColor &color)
{
    if (color == m_pointerColor)
        return;
    m_pointerColor = color;
    update();
    Q_EMIT pointerColorChanged(m_pointerColor);
}

void ScaleGauge::setTickMajorLength(int pixels)
{
    setLookValue(m_tickMajorLength, pixels);
}

void ScaleGauge::setTickMinorLength(int pixels)
{
    setLookValue(m_tickMinorLength, pixels);
}

void ScaleGauge::setPointerSize(int pixels)
{
    setLookValue(m_pointerSize, pixels);
}

} // namespace gencfg
