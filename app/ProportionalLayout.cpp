#include "app/ProportionalLayout.h"

#include "app/TForm1.h"
#include "app/TerminalPage.h"
#include "config/ui/ParamTreeView.h"
#include "config/ui/ParamsPage.h"
#include "monitor/ui/JournalPage.h"
#include "monitor/ui/MeasurementPage.h"
#include "widgets/AngularGauge.h"
#include "widgets/LinearGauge.h"
#include "widgets/NumericDisplay.h"
#include "widgets/PortComboBox.h"
#include "widgets/RectLed.h"
#include "widgets/SwitchLed.h"
#include "widgets/TextDisplay.h"
#include "widgets/WrapLabel.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
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

int half(int pixels)
{
    return RoundHalfEven(pixels / 2.0);
}

// How a column's gauge is sized.
enum class GaugeSize { Unchanged, SmallDial, LargeDial, TallBar, WideBar };

struct GaugeLook
{
    double tick = 0;
    double pointer = 0;
    double hub = 0;
};

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

class Placer
{
public:
    explicit Placer(const QWidget &pageControl)
        : m_pageControl(pageControl), m_s(std::min(pageControl.width(), pageControl.height()))
    {}

    int W() const { return m_pageControl.width(); }
    int H() const { return m_pageControl.height(); }

    void centre(QWidget *x, double f) const { setLeft(x, RoundHalfEven(W() * f) - half(x->width())); }

    void column(const ColumnGroup &group) const
    {
        sizeGauge(group.g, group.size);
        centre(group.g, group.fx);
        if (group.d)
            centre(group.d, group.fx);
        if (group.c)
            centre(group.c, group.captionFx);
        const int row = RoundHalfEven(H() * group.fy);
        setTop(group.g, row - half(group.g->height()));
        if (group.d)
            setTop(group.d, row - half(group.d->height()) + half(group.g->height()) + 10);
        if (group.c)
            setTop(group.c, row - half(group.c->height()) - half(group.g->height()) - group.gap);
        if (auto *gauge = qobject_cast<ScaleGauge *>(group.g))
            styleGauge(gauge, group.look);
    }

    // Bottom row of a page: centred on a line 35 pixels above the status bar.
    void bottomRow(QWidget *x, int statusBarHeight) const
    {
        setTop(x, H() - statusBarHeight - half(x->height()) - 35);
    }

private:
    void sizeGauge(QWidget *g, GaugeSize size) const
    {
        switch (size) {
        case GaugeSize::Unchanged:
            break;
        case GaugeSize::SmallDial:
        case GaugeSize::LargeDial: {
            // A dial keeps itself square, so its side is read back after each assignment.
            const int side = RoundHalfEven(m_s * (size == GaugeSize::SmallDial ? 0.23 : 0.32));
            setHeight(g, side);
            setWidth(g, side);
            break;
        }
        case GaugeSize::TallBar:
            setWidth(g, RoundHalfEven(W() * 0.07));
            setHeight(g, RoundHalfEven(H() * 0.35));
            break;
        case GaugeSize::WideBar:
            setWidth(g, RoundHalfEven(W() * 0.35));
            setHeight(g, RoundHalfEven(H() * 0.1));
            break;
        }
    }

    void styleGauge(ScaleGauge *gauge, const GaugeLook &look) const
    {
        gauge->setTickMajorLength(RoundHalfEven(W() * look.tick));
        gauge->setTickMinorLength(RoundHalfEven(gauge->tickMajorLength() / 2.0));
        gauge->setPointerSize(RoundHalfEven(W() * look.pointer));
        if (auto *dial = qobject_cast<AngularGauge *>(gauge))
            dial->setHubSize(RoundHalfEven(W() * look.hub));
    }

    const QWidget &m_pageControl;
    const int m_s;
};

void placeMeasurements(const Placer &p, MeasurementPage &m)
{
    const GaugeLook phase{0.015, 0.01, 0.015};
    const GaugeLook generator{0.02, 0.015, 0.02};
    const GaugeLook bar{0.02, 0.015, 0};
    const ColumnGroup groups[] = {
        {m.iAnalog_A, m.iDigital_A, m.Label1, 0.08, 0.3, 0.08, 10, GaugeSize::SmallDial, phase},
        {m.iAnalog_B, m.iDigital_B, m.Label2, 0.24, 0.3, 0.24, 10, GaugeSize::SmallDial, phase},
        {m.iAnalog_C, m.iDigital_C, m.Label3, 0.4, 0.3, 0.4, 10, GaugeSize::SmallDial, phase},
        {m.iAnalog_GU, m.iDigital_GU, m.Label4, 0.72, 0.25, 0.72, 10, GaugeSize::LargeDial, generator},
        {m.iAnalog_ACC, m.iDigital_ACC, m.Label5, 0.92, 0.24, 0.92, 10, GaugeSize::TallBar, bar},
        {m.iAnalog_SignalStrength, m.iDigital_SignalStrength, m.Label8, 0.24, 0.75, 0.24, 5,
         GaugeSize::WideBar, bar},
        {m.iLabel_Carrier, nullptr, m.Label9, 0.24, 0.92, 0.24, 10, GaugeSize::Unchanged, {}},
        {m.iAnalog_UPS, m.iDigital_UPS, m.Label17, 0.24, 0.55, 0.24, 5, GaugeSize::WideBar, bar},
        // One caption over the four temperature gauges.
        {m.iAnalog_Temperature, m.iDigital_Temperature, m.Label11, 0.68, 0.7, 0.8, 10, GaugeSize::TallBar,
         bar},
        {m.iAnalog_Temperature2, m.iDigital_Temperature2, nullptr, 0.76, 0.7, 0, 10, GaugeSize::TallBar, bar},
        {m.iAnalog_Temperature3, m.iDigital_Temperature3, nullptr, 0.84, 0.7, 0, 10, GaugeSize::TallBar, bar},
        {m.iAnalog_Temperature4, m.iDigital_Temperature4, nullptr, 0.92, 0.7, 0, 10, GaugeSize::TallBar, bar},
    };
    for (const ColumnGroup &group : groups)
        p.column(group);

    // The status column moves sideways only; its rows stay where they were designed.
    for (QWidget *x : std::initializer_list<QWidget *>{
             m.Label6, m.iEdit_Motoclock, m.Label7, m.iEdit_TO, m.Label18, m.iEdit_Time,
             m.iLed_THREE_LINE_FLAG, m.iLed_DIRECT_START_FLAG, m.iLed_SMART_START_FLAG, m.iLed_GU_FREQ_FLAG,
             m.iLed_TO_FLAG, m.iLed_ACC_VOLTAGE_CONTROL_FLAG, m.iLed_UPS_VOLTAGE_CONTROL_FLAG,
             m.iLed_WORK_SLEEP_FLAG, m.iLed_TEST_START_FLAG, m.iLed_SHORT_FLAG, m.iLed_GSM_ACTIVITY_FLAG,
             m.iLed_THERMO_FLAG, m.iLed_GPRS_FLAG})
        p.centre(x, 0.55);

    p.column({m.iLabel_Status, nullptr, m.Label10, 0.18, 0.07, 0.18, 10, GaugeSize::Unchanged, {}});
    for (QWidget *x : {m.iLed_Auto, m.iLed_Semiauto, m.iLed_Manual})
        p.centre(x, 0.4);
    const int modeRow = RoundHalfEven(p.H() * 0.07);
    setTop(m.iLed_Auto, modeRow - half(m.iLed_Auto->height()) - 24);
    setTop(m.iLed_Semiauto, modeRow - half(m.iLed_Semiauto->height()));
    setTop(m.iLed_Manual, modeRow - half(m.iLed_Manual->height()) + 24);
}

void placeParameters(const Placer &p, ParamsPage &page, int sb)
{
    const int W = p.W();
    const int H = p.H();
    setWidth(page.TreeList1, W - 14);
    setHeight(page.TreeList1, H - sb - 86);
    for (QWidget *x : std::initializer_list<QWidget *>{page.Button1, page.Button2, page.Button3})
        p.bottomRow(x, sb);
    setLeft(page.Button3, W - page.Button3->width() - page.Button4->width() - 19);
    p.bottomRow(page.Button4, sb);
    setLeft(page.Button4, W - page.Button4->width() - 14);
    p.bottomRow(page.ProgressBar1, sb);
    setWidth(page.ProgressBar1, RoundHalfEven(W / 2.0) - 60);
    setLeft(page.ProgressBar1, RoundHalfEven(W / 2.0 - page.ProgressBar1->width() / 2.0) - 10);
}

void placeTerminal(const Placer &p, TerminalPage &page, QWidget *portChooser, int sb)
{
    const int W = p.W();
    setWidth(page.Memo1, W - 14);
    setHeight(page.Memo1, p.H() - sb - 60);
    setLeft(portChooser, W - portChooser->width() - 14);
    p.bottomRow(page.iSwitchLed2, sb);
    p.bottomRow(page.Button5, sb);
    setLeft(page.iSwitchLed1, W - page.iSwitchLed1->width() - 14);
    p.bottomRow(page.iSwitchLed1, sb);
    setLeft(page.Button6, W - page.Button6->width() - page.iSwitchLed1->width() - 19);
    p.bottomRow(page.Button6, sb);
}

void placeJournal(const Placer &p, JournalPage &page, int sb)
{
    const int W = p.W();
    auto halfColumn = [&](QLabel *label, QPlainTextEdit *memo, double start) {
        const int left = RoundHalfEven(W * start);
        setLeft(label, left + RoundHalfEven((W / 2.0 - 14) / 2) - half(label->width()));
        setLeft(memo, left);
        setWidth(memo, RoundHalfEven(W / 2.0 - 14));
        setHeight(memo, p.H() - sb - 90);
    };
    halfColumn(page.Label19, page.Memo3, 0);
    halfColumn(page.Label20, page.Memo4, 0.5);
    p.bottomRow(page.Button13, sb);
    setLeft(page.Button13, RoundHalfEven(W / 2.0) - half(page.Button13->width()) - 7);
}

} // namespace

void FormConstrainedResize(TForm1 &form)
{
    // The status bar is docked to the bottom edge; the formulas below read its height.
    const int sb = form.StatusBar1->height();
    form.StatusBar1->setGeometry(0, form.height() - sb, form.width(), sb);

    setWidth(form.PageControl1, form.width());
    setHeight(form.PageControl1, form.height() - 50);
    const Placer p(*form.PageControl1);
    setLeft(form.ComboBox_DeviceVersions,
            p.W() - form.ComboBox_DeviceVersions->width() - TForm1::VariantComboRightGap);

    placeMeasurements(p, *form.TabSheet1);
    placeParameters(p, *form.TabSheet2, sb);
    placeTerminal(p, *form.TabSheet3, form.AfPortComboBox1, sb);
    placeJournal(p, *form.TabSheet5, sb);
}

} // namespace gencfg
