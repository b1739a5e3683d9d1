#pragma once

#include "widgets/PaintCache.h"

#include <QColor>
#include <QList>
#include <QLocale>
#include <QWidget>

namespace gencfg {

// Whether tick numbers this many pixels high can be read where each pixel is ratio device pixels: a gauge
// too small for them at 100 % may show them on a screen at 200 %.
bool TickLabelReadable(qreal pixels, qreal ratio);

// What the painted gauges share: a scale from minimum to maximum with up to three
// coloured sections (min..lowAlarm, lowAlarm..highAlarm, highAlarm..max), major
// ticks with numbers, minor ticks between them and a pointer. Lengths are device pixels.
//
// Position keeps the value it is given; the pointer is painted at shownValue(), the value
// clamped to the scale. Non-finite numbers are ignored by every setter.
//
// The face, sections, ticks and numbers are painted once into a pixmap that is reused until
// the size, the pixel ratio, the font, the locale or a property they show changes; a new
// reading repaints only the pointer over it.
class ScaleGauge : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(double minimum READ minimum WRITE setMinimum NOTIFY scaleChanged)
    Q_PROPERTY(double maximum READ maximum WRITE setMaximum NOTIFY scaleChanged)
    Q_PROPERTY(double lowAlarm READ lowAlarm WRITE setLowAlarm NOTIFY scaleChanged)
    Q_PROPERTY(double highAlarm READ highAlarm WRITE setHighAlarm NOTIFY scaleChanged)
    Q_PROPERTY(int sectionCount READ sectionCount WRITE setSectionCount NOTIFY scaleChanged)
    Q_PROPERTY(int tickMajorCount READ tickMajorCount WRITE setTickMajorCount NOTIFY scaleChanged)
    Q_PROPERTY(int tickMinorCount READ tickMinorCount WRITE setTickMinorCount NOTIFY scaleChanged)
    Q_PROPERTY(QColor lowColor READ lowColor WRITE setLowColor NOTIFY lookChanged)
    Q_PROPERTY(QColor normalColor READ normalColor WRITE setNormalColor NOTIFY lookChanged)
    Q_PROPERTY(QColor highColor READ highColor WRITE setHighColor NOTIFY lookChanged)
    Q_PROPERTY(QColor pointerColor READ pointerColor WRITE setPointerColor NOTIFY pointerColorChanged)
    Q_PROPERTY(int tickMajorLength READ tickMajorLength WRITE setTickMajorLength NOTIFY lookChanged)
    Q_PROPERTY(int tickMinorLength READ tickMinorLength WRITE setTickMinorLength NOTIFY lookChanged)
    Q_PROPERTY(int pointerSize READ pointerSize WRITE setPointerSize NOTIFY lookChanged)

public:
    struct Section
    {
        double from = 0;
        double to = 0;
        QColor color;
    };

    double value() const { return m_value; }
    double shownValue() const;
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    double lowAlarm() const { return m_lowAlarm; }
    double highAlarm() const { return m_highAlarm; }
    int sectionCount() const { return m_sectionCount; }
    int tickMajorCount() const { return m_tickMajorCount; }
    int tickMinorCount() const { return m_tickMinorCount; }
    QColor lowColor() const { return m_lowColor; }
    QColor normalColor() const { return m_normalColor; }
    QColor highColor() const { return m_highColor; }
    QColor pointerColor() const { return m_pointerColor; }
    int tickMajorLength() const { return m_tickMajorLength; }
    int tickMinorLength() const { return m_tickMinorLength; }
    int pointerSize() const { return m_pointerSize; }

    // The coloured sections as painted: clipped to the scale, empty ones left out.
    QList<Section> sections() const;
    QList<double> majorTickValues() const;
    QList<double> minorTickValues() const;
    // A major tick's number, in the locale's notation with as few decimals as the ticks need.
    QString tickLabel(double value) const;

public Q_SLOTS:
    void setValue(double value);
    void setMinimum(double value);
    void setMaximum(double value);
    void setLowAlarm(double value);
    void setHighAlarm(double value);
    // 1: lowColor throughout; 2: colours 1 and 2 split at lowAlarm; 3: all three.
    void setSectionCount(int count);
    // Major ticks including both ends of the scale; below 2 there are none.
    void setTickMajorCount(int count);
    // Minor ticks between two neighbouring major ticks.
    void setTickMinorCount(int count);
    void setLowColor(const QColor &color);
    void setNormalColor(const QColor &color);
    void setHighColor(const QColor &color);
    void setPointerColor(const QColor &color);
    void setTickMajorLength(int pixels);
    void setTickMinorLength(int pixels);
    // A dial's needle is 0.6 x PointerSize wide at the hub; a straight gauge's marker is
    // PointerSize long.
    void setPointerSize(int pixels);

Q_SIGNALS:
    void valueChanged(double position);
    void scaleChanged();
    void pointerColorChanged(const QColor &color);
    void lookChanged();

protected:
    explicit ScaleGauge(QWidget *parent = nullptr);

    double scaleLow() const { return qMin(m_minimum, m_maximum); }
    double scaleHigh() const { return qMax(m_minimum, m_maximum); }
    // Where value lies on the scale, 0 at the low end and 1 at the high end.
    double scaleFraction(double value) const;
    // The reading given to assistive technology.
    virtual QString readingText() const;
    void refreshReading();

    // Paints what a new reading leaves unchanged, in widget coordinates.
    virtual void paintScale(QPainter &p) = 0;
    // Draws what paintScale() painted with p, a painter just begun on this widget; redraws it
    // first if it is stale. Leaves p antialiased for the pointer.
    void drawScale(QPainter &p);
    // Call when something paintScale() draws has changed; schedules a repaint.
    void invalidateScale();
    void changeEvent(QEvent *event) override;

private:
    void setScaleValue(double &field, double value);
    void setScaleCount(int &field, int count);
    void setLookValue(int &field, int value);
    void setLookColor(QColor &field, const QColor &color);
    int labelDecimals() const;

    double m_value = 0;
    double m_minimum = 0;
    double m_maximum = 100;
    double m_lowAlarm = 25;
    double m_highAlarm = 75;
    int m_sectionCount = 3;
    int m_tickMajorCount = 6;
    int m_tickMinorCount = 3;
    QColor m_lowColor{220, 40, 40};
    QColor m_normalColor{40, 170, 60};
    QColor m_highColor{220, 40, 40};
    QColor m_pointerColor{0, 0, 255};
    int m_tickMajorLength = 10;
    int m_tickMinorLength = 5;
    int m_pointerSize = 8;
    PaintCache m_scale;
    // Tick numbers follow the default locale, which can change without telling the widget.
    QLocale m_scaleLocale;
};

} // namespace gencfg
