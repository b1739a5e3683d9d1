#pragma once

#include "widgets/PaintCache.h"

#include <QColor>
#include <QList>
#include <QLocale>
#include <QWidget>

namespace gencfg {

// What the painted gauges share: a scale from PositionMin to PositionMax with up to three
// coloured sections (min..SectionEnd1, SectionEnd1..SectionEnd2, SectionEnd2..max), major
// ticks with numbers, minor ticks between them and a pointer. Lengths are device pixels.
//
// Position keeps the value it is given; the pointer is painted at shownPosition(), the value
// clamped to the scale. Non-finite numbers are ignored by every setter.
//
// The face, sections, ticks and numbers are painted once into a pixmap that is reused until
// the size, the pixel ratio, the font, the locale or a property they show changes; a new
// reading repaints only the pointer over it.
class ScaleGauge : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(double Position READ position WRITE setPosition NOTIFY positionChanged)
    Q_PROPERTY(double PositionMin READ positionMin WRITE setPositionMin NOTIFY scaleChanged)
    Q_PROPERTY(double PositionMax READ positionMax WRITE setPositionMax NOTIFY scaleChanged)
    Q_PROPERTY(double SectionEnd1 READ sectionEnd1 WRITE setSectionEnd1 NOTIFY scaleChanged)
    Q_PROPERTY(double SectionEnd2 READ sectionEnd2 WRITE setSectionEnd2 NOTIFY scaleChanged)
    Q_PROPERTY(int SectionCount READ sectionCount WRITE setSectionCount NOTIFY scaleChanged)
    Q_PROPERTY(int TickMajorCount READ tickMajorCount WRITE setTickMajorCount NOTIFY scaleChanged)
    Q_PROPERTY(int TickMinorCount READ tickMinorCount WRITE setTickMinorCount NOTIFY scaleChanged)
    Q_PROPERTY(QColor SectionColor1 READ sectionColor1 WRITE setSectionColor1 NOTIFY lookChanged)
    Q_PROPERTY(QColor SectionColor2 READ sectionColor2 WRITE setSectionColor2 NOTIFY lookChanged)
    Q_PROPERTY(QColor SectionColor3 READ sectionColor3 WRITE setSectionColor3 NOTIFY lookChanged)
    Q_PROPERTY(QColor PointerColor READ pointerColor WRITE setPointerColor NOTIFY pointerColorChanged)
    Q_PROPERTY(int TickMajorLength READ tickMajorLength WRITE setTickMajorLength NOTIFY lookChanged)
    Q_PROPERTY(int TickMinorLength READ tickMinorLength WRITE setTickMinorLength NOTIFY lookChanged)
    Q_PROPERTY(int PointerSize READ pointerSize WRITE setPointerSize NOTIFY lookChanged)

public:
    struct Section
    {
        double from = 0;
        double to = 0;
        QColor color;
    };

    double position() const { return m_position; }
    double shownPosition() const;
    double positionMin() const { return m_positionMin; }
    double positionMax() const { return m_positionMax; }
    double sectionEnd1() const { return m_sectionEnd1; }
    double sectionEnd2() const { return m_sectionEnd2; }
    int sectionCount() const { return m_sectionCount; }
    int tickMajorCount() const { return m_tickMajorCount; }
    int tickMinorCount() const { return m_tickMinorCount; }
    QColor sectionColor1() const { return m_sectionColor1; }
    QColor sectionColor2() const { return m_sectionColor2; }
    QColor sectionColor3() const { return m_sectionColor3; }
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
    void setPosition(double value);
    void setPositionMin(double value);
    void setPositionMax(double value);
    void setSectionEnd1(double value);
    void setSectionEnd2(double value);
    // 1: SectionColor1 throughout; 2: colours 1 and 2 split at SectionEnd1; 3: all three.
    void setSectionCount(int count);
    // Major ticks including both ends of the scale; below 2 there are none.
    void setTickMajorCount(int count);
    // Minor ticks between two neighbouring major ticks.
    void setTickMinorCount(int count);
    void setSectionColor1(const QColor &color);
    void setSectionColor2(const QColor &color);
    void setSectionColor3(const QColor &color);
    void setPointerColor(const QColor &color);
    void setTickMajorLength(int pixels);
    void setTickMinorLength(int pixels);
    // A dial's needle is 0.6 x PointerSize wide at the hub; a straight gauge's marker is
    // PointerSize long.
    void setPointerSize(int pixels);

Q_SIGNALS:
    void positionChanged(double position);
    void scaleChanged();
    void pointerColorChanged(const QColor &color);
    void lookChanged();

protected:
    explicit ScaleGauge(QWidget *parent = nullptr);

    double scaleLow() const { return qMin(m_positionMin, m_positionMax); }
    double scaleHigh() const { return qMax(m_positionMin, m_positionMax); }
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

    double m_position = 0;
    double m_positionMin = 0;
    double m_positionMax = 100;
    double m_sectionEnd1 = 25;
    double m_sectionEnd2 = 75;
    int m_sectionCount = 3;
    int m_tickMajorCount = 6;
    int m_tickMinorCount = 3;
    QColor m_sectionColor1{220, 40, 40};
    QColor m_sectionColor2{40, 170, 60};
    QColor m_sectionColor3{220, 40, 40};
    QColor m_pointerColor{0, 0, 255};
    int m_tickMajorLength = 10;
    int m_tickMinorLength = 5;
    int m_pointerSize = 8;
    PaintCache m_scale;
    // Tick numbers follow the default locale, which can change without telling the widget.
    QLocale m_scaleLocale;
};

} // namespace gencfg
