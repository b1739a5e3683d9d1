#pragma once

// The proportional placement as a layout: a page registers each control once,
// with its rule, and every geometry the page gets places them all again from
// the page control's size. Nothing is kept between placements but the rules.

#include <QLayout>
#include <QRect>
#include <functional>
#include <memory>
#include <vector>

namespace gencfg {

// Nearest integer; a half goes to the even neighbour (80.5 gives 80, 81.5 gives 82).
int RoundHalfEven(double value);

// Half a size in pixels, rounded the same way.
int half(int pixels);

// How a column's gauge is sized.
enum class GaugeSize { Unchanged, SmallDial, LargeDial, TallBar, WideBar };

// A gauge's ticks, pointer and hub as fractions of the page control's width.
struct GaugeLook
{
    double tick = 0;
    double pointer = 0;
    double hub = 0;
};

// A gauge with its display under it and its caption over it, centred on one point of the page control.
struct ColumnRule
{
    double fx = 0;
    double fy = 0;
    double captionFx = 0;
    int gap = 10;
    GaugeSize size = GaugeSize::Unchanged;
    GaugeLook look;
};

class PageLayout : public QLayout
{
    Q_OBJECT
public:
    // The window's status bar, which the pages' bottom rows keep clear of.
    static constexpr int StatusBarHeight = 18;

    // What a rule reads: the page control's size (the window's, for the window itself) and the page's own.
    struct Frame
    {
        int W = 0;
        int H = 0;
        QSize page;

        // The left edge that centres a control of this width on the fraction f of the width.
        int centredLeft(int width, double f) const
        {
            return RoundHalfEven(W * f) - RoundHalfEven(width / 2.0);
        }
        // The top of a control in a page's bottom row: centred 35 pixels above the status bar.
        int bottomRowTop(int height) const { return H - StatusBarHeight - RoundHalfEven(height / 2.0) - 35; }
    };

    // A control's place from the frame and its current place; the controls registered before it are placed.
    using Rule = std::function<QRect(const Frame &frame, const QRect &current)>;

    explicit PageLayout(QWidget *page);
    ~PageLayout() override;

    // A control at its design place; a rule, when given, places it again at every placement.
    void add(QWidget *control, const QRect &design, Rule rule = {});
    // A column whose gauge the rule sizes and styles; display and caption may be none.
    void addColumn(QWidget *gauge, QWidget *display, QWidget *caption, const ColumnRule &rule);
    // The caption of a column registered before, shared by the columns after it.
    void setColumnCaption(QWidget *gauge, QWidget *caption);
    // The widget whose size the rules read; by default the nearest tab widget around the page, else the page.
    void setFrameSource(const QWidget *source) { m_frameSource = source; }

    Frame frame() const;

    void addItem(QLayoutItem *item) override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override { return {}; }
    QSize minimumSize() const override { return {}; }
    void setGeometry(const QRect &rect) override;

private:
    struct Entry;
    void place(const Entry &entry, const Frame &frame) const;

    std::vector<std::unique_ptr<Entry>> m_entries;
    const QWidget *m_frameSource = nullptr;
};

} // namespace gencfg
