#pragma once

// Places the window's controls at fixed fractions of the page control's size;
// each page that places its own controls uses the same helpers.

#include <QWidget>

namespace gencfg {

class MainWindow;

// Nearest integer; a half goes to the even neighbour (80.5 gives 80, 81.5 gives 82).
int RoundHalfEven(double value);

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

// Runs after every size change of the window; keeps no state, so each run
// places everything again from the current sizes.
void placeChildren(MainWindow &form);

} // namespace gencfg
