#include "widgets/PageLayout.h"

#include "widgets/AngularGauge.h"
#include "widgets/ScrolledPage.h"

#include <QPointer>
#include <QScrollArea>
#include <QTabWidget>
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

int half(int pixels)
{
    return RoundHalfEven(pixels / 2.0);
}

struct PageLayout::Entry
{
    QPointer<QWidget> control;
    Rule rule;
    // A column: the control is its gauge.
    bool column = false;
    QPointer<QWidget> display;
    QPointer<QWidget> caption;
    ColumnRule columnRule;
};

namespace {

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

void centre(QWidget *x, const PageLayout::Frame &f, double fx)
{
    setLeft(x, f.centredLeft(x->width(), fx));
}

void sizeGauge(QWidget *g, const PageLayout::Frame &f, GaugeSize size)
{
    switch (size) {
    case GaugeSize::Unchanged:
        break;
    case GaugeSize::SmallDial:
    case GaugeSize::LargeDial: {
        // A dial keeps itself square, so its side is read back after each assignment.
        const int side = RoundHalfEven(std::min(f.W, f.H) * (size == GaugeSize::SmallDial ? 0.23 : 0.32));
        setHeight(g, side);
        setWidth(g, side);
        break;
    }
    case GaugeSize::TallBar:
        setWidth(g, RoundHalfEven(f.W * 0.07));
        setHeight(g, RoundHalfEven(f.H * 0.35));
        break;
    case GaugeSize::WideBar:
        setWidth(g, RoundHalfEven(f.W * 0.35));
        setHeight(g, RoundHalfEven(f.H * 0.1));
        break;
    }
}

void styleGauge(ScaleGauge *gauge, const PageLayout::Frame &f, const GaugeLook &look)
{
    gauge->setTickMajorLength(RoundHalfEven(f.W * look.tick));
    gauge->setTickMinorLength(RoundHalfEven(gauge->tickMajorLength() / 2.0));
    gauge->setPointerSize(RoundHalfEven(f.W * look.pointer));
    if (auto *dial = qobject_cast<AngularGauge *>(gauge))
        dial->setHubSize(RoundHalfEven(f.W * look.hub));
}

} // namespace

PageLayout::PageLayout(QWidget *page) : QLayout(page)
{}

PageLayout::~PageLayout() = default;

void PageLayout::add(QWidget *control, const QRect &design, Rule rule)
{
    control->setGeometry(design);
    if (rule) {
        auto entry = std::make_unique<Entry>();
        entry->control = control;
        entry->rule = std::move(rule);
        m_entries.push_back(std::move(entry));
    }
}

void PageLayout::addColumn(QWidget *gauge, QWidget *display, QWidget *caption, const ColumnRule &rule)
{
    auto entry = std::make_unique<Entry>();
    entry->control = gauge;
    entry->column = true;
    entry->display = display;
    entry->caption = caption;
    entry->columnRule = rule;
    m_entries.push_back(std::move(entry));
}

void PageLayout::setColumnCaption(QWidget *gauge, QWidget *caption)
{
    for (const auto &entry : m_entries)
        if (entry->column && entry->control == gauge)
            entry->caption = caption;
}

PageLayout::Frame PageLayout::frame() const
{
    const QWidget *page = parentWidget();
    const QWidget *source = m_frameSource;
    for (const QWidget *w = page; !source && w; w = w->parentWidget())
        if (qobject_cast<const QTabWidget *>(w))
            source = w;
    if (!source)
        source = page;
    QSize size = source->size();
    // A page held at its minimum in a smaller scroll area is placed as if the page control had room for it.
    if (const QScrollArea *area = ScrollAreaAround(page); area && source != page)
        size += page->size() - area->size();
    return {size.width(), size.height(), page ? page->size() : QSize()};
}

void PageLayout::place(const Entry &entry, const Frame &f) const
{
    QWidget *g = entry.control;
    if (!g)
        return;
    if (!entry.column) {
        g->setGeometry(entry.rule(f, g->geometry()));
        return;
    }
    const ColumnRule &rule = entry.columnRule;
    QWidget *d = entry.display;
    QWidget *c = entry.caption;
    sizeGauge(g, f, rule.size);
    centre(g, f, rule.fx);
    if (d)
        centre(d, f, rule.fx);
    if (c)
        centre(c, f, rule.captionFx);
    const int row = RoundHalfEven(f.H * rule.fy);
    setTop(g, row - half(g->height()));
    if (d)
        setTop(d, row - half(d->height()) + half(g->height()) + 10);
    if (c)
        setTop(c, row - half(c->height()) - half(g->height()) - rule.gap);
    if (auto *gauge = qobject_cast<ScaleGauge *>(g))
        styleGauge(gauge, f, rule.look);
}

void PageLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    const Frame f = frame();
    for (const auto &entry : m_entries)
        place(*entry, f);
}

void PageLayout::addItem(QLayoutItem *item)
{
    // Controls come with their rules through add() and addColumn(); nothing else is placed here.
    delete item;
}

QLayoutItem *PageLayout::itemAt(int) const
{
    return nullptr;
}

QLayoutItem *PageLayout::takeAt(int)
{
    return nullptr;
}

int PageLayout::count() const
{
    return 0;
}

} // namespace gencfg
