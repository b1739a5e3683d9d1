#include "widgets/Placement.h"

#include "widgets/AngularGauge.h"

#include <algorithm>
#include <cmath>

namespace gencfg {

int RoundHalfEven(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction < 0.5)
        return int(below);
    if (fraction > 0.5)
        return int(below) + 1;
    return std::fmod(below, 2.0) == 0 ? int(below) : int(below) + 1;
}

void setLeft(QWidget *x, int left)
{
    x->move(left, x->y());
}

void setTop(QWidget *x, int top)
{
    x->move(x->x(), top);
}

void setWidth(QWidget *x, int width)
{
    x->resize(width, x->height());
}

void setHeight(QWidget *x, int height)
{
    x->resize(x->width(), height);
}

int half(int pixels)
{
    return RoundHalfEven(pixels / 2.0);
}

namespace {

void sizeGauge(const Placer &p, QWidget *g, GaugeSize size)
{
    switch (size) {
    case GaugeSize::Unchanged:
        break;
    case GaugeSize::SmallDial:
    case GaugeSize::LargeDial: {
        // A dial keeps itself square, so its side is read back after each assignment.
        const int side = RoundHalfEven(std::min(p.W(), p.H()) * (size == GaugeSize::SmallDial ? 0.23 : 0.32));
        setHeight(g, side);
        setWidth(g, side);
        break;
    }
    case GaugeSize::TallBar:
        setWidth(g, RoundHalfEven(p.W() * 0.07));
        setHeight(g, RoundHalfEven(p.H() * 0.35));
        break;
    case GaugeSize::WideBar:
        setWidth(g, RoundHalfEven(p.W() * 0.35));
        setHeight(g, RoundHalfEven(p.H() * 0.1));
        break;
    }
}

void styleGauge(const Placer &p, ScaleGauge *gauge, const GaugeLook &look)
{
    gauge->setTickMajorLength(RoundHalfEven(p.W() * look.tick));
    gauge->setTickMinorLength(RoundHalfEven(gauge->tickMajorLength() / 2.0));
    gauge->setPointerSize(RoundHalfEven(p.W() * look.pointer));
    if (auto *dial = qobject_cast<AngularGauge *>(gauge))
        dial->setHubSize(RoundHalfEven(p.W() * look.hub));
}

} // namespace

void placeColumn(const Placer &p, const ColumnGroup &group)
{
    sizeGauge(p, group.g, group.size);
    p.centre(group.g, group.fx);
    if (group.d)
        p.centre(group.d, group.fx);
    if (group.c)
        p.centre(group.c, group.captionFx);
    const int row = RoundHalfEven(p.H() * group.fy);
    setTop(group.g, row - half(group.g->height()));
    if (group.d)
        setTop(group.d, row - half(group.d->height()) + half(group.g->height()) + 10);
    if (group.c)
        setTop(group.c, row - half(group.c->height()) - half(group.g->height()) - group.gap);
    if (auto *gauge = qobject_cast<ScaleGauge *>(group.g))
        styleGauge(p, gauge, group.look);
}

} // namespace gencfg
