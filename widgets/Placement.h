#pragma once

// The proportional placement every page applies to its own controls: each
// control keeps its place and size as fractions of the page control's size.

#include <QWidget>

namespace gencfg {

// Nearest integer; a half goes to the even neighbour (80.5 gives 80, 81.5 gives 82).
int RoundHalfEven(double value);

// Half a size in pixels, rounded the same way.
int half(int pixels);

void setLeft(QWidget *x, int left);
void setTop(QWidget *x, int top);
void setWidth(QWidget *x, int width);
void setHeight(QWidget *x, int height);

// The page control's size, read at each placement.
class Placer
{
public:
    explicit Placer(const QWidget &pageControl) : m_pageControl(pageControl) {}

    int W() const { return m_pageControl.width(); }
    int H() const { return m_pageControl.height(); }

    // Centres x on the fraction f of the page control's width.
    void centre(QWidget *x, double f) const
    {
        setLeft(x, RoundHalfEven(W() * f) - RoundHalfEven(x->width() / 2.0));
    }
    // Bottom row of a page: centred on a line 35 pixels above the status bar of height sb.
    void bottomRow(QWidget *x, int sb) const { setTop(x, H() - sb - RoundHalfEven(x->height() / 2.0) - 35); }

private:
    const QWidget &m_pageControl;
};

// How a column's gauge is sized.
enum class GaugeSize { Unchanged, SmallDial, LargeDial, TallBar, WideBar };

// A gauge's ticks, pointer and hub as fractions of the page control's width.
struct GaugeLook
{
    double tick = 0;
    double pointer = 0;
    double hub = 0;
};

// A gauge with its display under it and its caption over it, centred on one point.
struct ColumnGroup
{
    QWidget *g = nullptr;
    QWidget *d = nullptr;
    QWidget *c = nullptr;
    double fx = 0;
    double fy = 0;
    double captionFx = 0;
    int gap = 10;
    GaugeSize size = GaugeSize::Unchanged;
    GaugeLook look;
};

void placeColumn(const Placer &p, const ColumnGroup &group);

} // namespace gencfg
