#include "app/ProportionalLayout.h"

#include "app/MainWindow.h"
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

namespace {

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

void placeMeasurements(const Placer &p, MeasurementPage &m)
{
    const GaugeLook phase{0.015, 0.01, 0.015};
    const GaugeLook generator{0.02, 0.015, 0.02};
    const GaugeLook bar{0.02, 0.015, 0};
    const ColumnGroup groups[] = {
        {m.phaseAGauge, m.phaseADisplay, m.phaseACaption, 0.08, 0.3, 0.08, 10, GaugeSize::SmallDial, phase},
        {m.phaseBGauge, m.phaseBDisplay, m.phaseBCaption, 0.24, 0.3, 0.24, 10, GaugeSize::SmallDial, phase},
        {m.phaseCGauge, m.phaseCDisplay, m.phaseCCaption, 0.4, 0.3, 0.4, 10, GaugeSize::SmallDial, phase},
        {m.generatorGauge, m.generatorDisplay, m.generatorCaption, 0.72, 0.25, 0.72, 10, GaugeSize::LargeDial,
         generator},
        {m.starterBatteryGauge, m.starterBatteryDisplay, m.starterBatteryCaption, 0.92, 0.24, 0.92, 10,
         GaugeSize::TallBar, bar},
        {m.signalGauge, m.signalDisplay, m.signalCaption, 0.24, 0.75, 0.24, 5, GaugeSize::WideBar, bar},
        {m.registrationLabel, nullptr, m.registrationCaption, 0.24, 0.92, 0.24, 10, GaugeSize::Unchanged, {}},
        {m.upsBatteryGauge, m.upsBatteryDisplay, m.upsBatteryCaption, 0.24, 0.55, 0.24, 5, GaugeSize::WideBar,
         bar},
        // One caption over the four temperature gauges.
        {m.temperature1Gauge, m.temperature1Display, m.temperaturesCaption, 0.68, 0.7, 0.8, 10,
         GaugeSize::TallBar, bar},
        {m.temperature2Gauge, m.temperature2Display, nullptr, 0.76, 0.7, 0, 10, GaugeSize::TallBar, bar},
        {m.temperature3Gauge, m.temperature3Display, nullptr, 0.84, 0.7, 0, 10, GaugeSize::TallBar, bar},
        {m.temperature4Gauge, m.temperature4Display, nullptr, 0.92, 0.7, 0, 10, GaugeSize::TallBar, bar},
    };
    for (const ColumnGroup &group : groups)
        placeColumn(p, group);

    // The status column moves sideways only; its rows stay where they were designed.
    for (QWidget *x : std::initializer_list<QWidget *>{
             m.motoclockCaption, m.motoclockDisplay, m.maintenanceCaption, m.maintenanceDisplay,
             m.clockCaption, m.clockDisplay, m.threeLineLed, m.directStartLed, m.smartStartLed,
             m.generatorFrequencyLed, m.maintenanceLed, m.starterBatteryControlLed, m.upsBatteryControlLed,
             m.workSleepLed, m.testStartLed, m.shortLed, m.gsmActivityLed, m.thermoLed, m.gprsLed})
        p.centre(x, 0.55);

    placeColumn(p, {m.stageLabel, nullptr, m.modeCaption, 0.18, 0.07, 0.18, 10, GaugeSize::Unchanged, {}});
    for (QWidget *x : {m.autoLed, m.semiautoLed, m.manualLed})
        p.centre(x, 0.4);
    const int modeRow = RoundHalfEven(p.H() * 0.07);
    setTop(m.autoLed, modeRow - half(m.autoLed->height()) - 24);
    setTop(m.semiautoLed, modeRow - half(m.semiautoLed->height()));
    setTop(m.manualLed, modeRow - half(m.manualLed->height()) + 24);
}

void placeParameters(const Placer &p, ParamsPage &page, int sb)
{
    const int W = p.W();
    const int H = p.H();
    setWidth(page.paramTree, W - 14);
    setHeight(page.paramTree, H - sb - 86);
    for (QWidget *x : std::initializer_list<QWidget *>{page.saveButton, page.openButton, page.writeButton})
        p.bottomRow(x, sb);
    setLeft(page.writeButton, W - page.writeButton->width() - page.readButton->width() - 19);
    p.bottomRow(page.readButton, sb);
    setLeft(page.readButton, W - page.readButton->width() - 14);
    p.bottomRow(page.progressBar, sb);
    setWidth(page.progressBar, RoundHalfEven(W / 2.0) - 60);
    setLeft(page.progressBar, RoundHalfEven(W / 2.0 - page.progressBar->width() / 2.0) - 10);
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
    halfColumn(page.eventsCaption, page.eventList, 0);
    halfColumn(page.alarmsCaption, page.alarmList, 0.5);
    p.bottomRow(page.readJournalsButton, sb);
    setLeft(page.readJournalsButton, RoundHalfEven(W / 2.0) - half(page.readJournalsButton->width()) - 7);
}

} // namespace

void placeChildren(MainWindow &form)
{
    // The status bar is docked to the bottom edge; the formulas below read its height.
    const int sb = form.statusBar->height();
    form.statusBar->setGeometry(0, form.height() - sb, form.width(), sb);

    setWidth(form.pageTabs, form.width());
    setHeight(form.pageTabs, form.height() - 50);
    const Placer p(*form.pageTabs);
    setLeft(form.variantCombo, p.W() - form.variantCombo->width() - MainWindow::VariantComboRightGap);

    placeMeasurements(p, *form.measurementPage);
    placeParameters(p, *form.paramsPage, sb);
    setLeft(form.portCombo, p.W() - form.portCombo->width() - 14);
    form.terminalPage->placeChildren(p, sb);
    placeJournal(p, *form.journalPage, sb);
}

} // namespace gencfg
