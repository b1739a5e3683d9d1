#include "monitor/ui/TrendsPage.h"

#include "config/FileWriting.h"
#include "monitor/MeasurementTexts.h"
#include "monitor/ui/TrendChartView.h"
#include "widgets/Messages.h"
#include "widgets/SwitchLed.h"

#include <QBuffer>
#include <QChart>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QSaveFile>
#include <QScatterSeries>
#include <QTimer>
#include <QToolTip>
#include <QValueAxis>
#include <cmath>

namespace gencfg {

namespace {

constexpr qint64 SpanMs[] = {60 * 1000, 10 * 60 * 1000, 60 * 60 * 1000, 0};
// A live time axis moves on by this share of its span at a time.
constexpr qint64 LiveSteps = 30;
constexpr int ValueTicks = 5;
// Completed columns the recent part of a line gathers before they settle: a frame sets these again, not
// the whole line.
constexpr size_t RecentColumns = 16;
// Columns between the settled part of a line and the recent one: at a pixel or more each, they keep the
// settled part clear of what a frame repaints.
constexpr size_t BridgeColumns = 12;
enum PlotIndex { VoltagePlot, BatteryPlot, TemperaturePlot };

// A range of ValueTicks - 1 round steps (1, 2 or 5 times a power of ten) that holds low..high.
// The count of labels never changes: Qt Charts does not make room again for more labels
// in a plot area placed by hand. Steps are whole numbers, so the whole-number labels never repeat.
std::pair<double, double> niceRange(double low, double high)
{
    const double intervals = ValueTicks - 1;
    double step = std::pow(10.0, qMax(0.0, std::floor(std::log10(qMax(1e-9, (high - low) / intervals)))));
    for (;;) {
        for (double factor : {1.0, 2.0, 5.0}) {
            const double from = std::floor(low / (step * factor)) * step * factor;
            if (from + intervals * step * factor >= high)
                return {from, from + intervals * step * factor};
        }
        step *= 10;
    }
}

// Labels that differ from tick to tick: milliseconds once ticks lie less than a second apart
// (without the hour, so the label keeps to the room beside the plot), the date once the span
// could hold the same time of day twice.
QString timeLabelFormat(qint64 spanMs, int ticks)
{
    if (spanMs < 1000LL * (ticks - 1))
        return QStringLiteral("mm:ss.zzz");
    if (spanMs >= 24LL * 3600 * 1000)
        return QStringLiteral("dd.MM hh:mm");
    return QStringLiteral("hh:mm:ss");
}

QString changeText(const TelemetryRecord &r)
{
    const std::optional<QString> status = StatusCaption(r);
    const QString mode = ModeDisplayCaption(ModeDisplayFor(r));
    QString text = status ? OneLineCaption(*status)
                          : QCoreApplication::translate("gencfg::TrendsPage", "Этап %1").arg(r.Stage);
    return mode.isEmpty() ? text : mode + QStringLiteral(": ") + text;
}

QPushButton *makeButton(QWidget *page, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, page);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

TrendsPage::TrendsPage(const TelemetryLog &log, QWidget *parent) : QWidget(parent), m_log(log)
{
    setObjectName(QStringLiteral("trendsPage"));
    ComboSpan = new QComboBox(this);
    ComboSpan->setObjectName(QStringLiteral("ComboSpan"));
    ComboSpan->setAccessibleName(tr("Интервал"));
    ComboSpan->addItems({tr("1 мин"), tr("10 мин"), tr("1 ч"), tr("всё")});
    ComboSpan->setCurrentIndex(m_span);
    nowButton = makeButton(this, "nowButton", tr("Сейчас"));
    saveCsvButton = makeButton(this, "saveCsvButton", tr("Сохранить CSV"));
    savePictureButton = makeButton(this, "savePictureButton", tr("Сохранить картинку"));
    SwitchRecord = new SwitchLed(tr("Запись в файл"), this);
    SwitchRecord->setObjectName(QStringLiteral("SwitchRecord"));
    SwitchRecord->setMinimumWidth(130);
    EditRecordFile = new QLineEdit(this);
    EditRecordFile->setObjectName(QStringLiteral("EditRecordFile"));
    EditRecordFile->setAccessibleName(tr("Файл записи"));
    EditRecordFile->setPlaceholderText(tr("файл записи, CSV"));

    auto *controls = new QHBoxLayout;
    controls->addWidget(ComboSpan);
    controls->addWidget(nowButton);
    controls->addStretch(1);
    controls->addWidget(saveCsvButton);
    controls->addWidget(savePictureButton);
    controls->addWidget(SwitchRecord);
    controls->addWidget(EditRecordFile, 1);

    m_plotArea = new QWidget(this);
    auto *plots = new QVBoxLayout(m_plotArea);
    plots->setContentsMargins(0, 0, 0, 0);
    plots->setSpacing(0);
    buildPlots();
    for (const Plot &plot : m_plots) {
        plots->addWidget(plot.header);
        plots->addWidget(plot.view, 1);
    }
    ChartVoltages = m_plots[VoltagePlot].view;
    ChartBatteries = m_plots[BatteryPlot].view;
    ChartTemperatures = m_plots[TemperaturePlot].view;

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(controls);
    layout->addWidget(m_plotArea, 1);

    connect(ComboSpan, &QComboBox::activated, this, [this](int index) { setSpan(Span(index)); });
    connect(nowButton, &QPushButton::clicked, this, &TrendsPage::goLive);
    connect(saveCsvButton, &QPushButton::clicked, this, &TrendsPage::saveCsvClicked);
    connect(savePictureButton, &QPushButton::clicked, this, &TrendsPage::savePictureClicked);
    connect(SwitchRecord, &SwitchLed::changed, this, &TrendsPage::onRecordSwitch);
    m_chooseSaveFile = [this](const QString &filter) {
        return QFileDialog::getSaveFileName(this, QString(), QString(), filter);
    };
}

TrendsPage::~TrendsPage() = default;

TrendsPage::Plot TrendsPage::makePlot(const QString &title)
{
    Plot plot;
    plot.chart = new QChart;
    plot.chart->setAnimationOptions(QChart::NoAnimation);
    // The header above names the plot and its lines; the plot areas keep one width.
    plot.chart->legend()->hide();
    plot.chart->setMargins(QMargins());
    plot.title = title;
    plot.header = new QLabel(title);
    plot.header->setTextFormat(Qt::RichText);
    auto *time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("hh:mm:ss"));
    time->setTickCount(7);
    plot.values = new QValueAxis;
    plot.values->setLabelFormat(QStringLiteral("%d"));
    plot.values->setTickCount(ValueTicks);
    const auto [low, high] = niceRange(0, 1);
    plot.values->setRange(low, high);
    plot.chart->addAxis(time, Qt::AlignBottom);
    plot.chart->addAxis(plot.values, Qt::AlignLeft);
    plot.view = new TrendChartView(plot.chart);
    plot.view->setAccessibleName(title);
    connect(plot.view, &TrendChartView::rangeRequested, this, &TrendsPage::showRange);
    return plot;
}

void TrendsPage::addTrend(int plot, const QString &name, double (*value)(const TelemetryRecord &))
{
    auto *series = new QLineSeries;
    series->setName(name);
    series->setUseOpenGL(false);
    m_plots[size_t(plot)].chart->addSeries(series);
    for (QAbstractAxis *axis : m_plots[size_t(plot)].chart->axes())
        series->attachAxis(axis);
    Trend trend;
    trend.series = series;
    trend.value = value;
    trend.plot = plot;
    m_trends.push_back(std::move(trend));
}

QLineSeries *TrendsPage::addThreshold(int plot, const QString &name)
{
    auto *line = new QLineSeries;
    line->setName(name);
    QPen pen(QColor(200, 40, 40));
    pen.setStyle(Qt::DashLine);
    line->setPen(pen);
    m_plots[size_t(plot)].chart->addSeries(line);
    for (QAbstractAxis *axis : m_plots[size_t(plot)].chart->axes())
        line->attachAxis(axis);
    m_plots[size_t(plot)].thresholds << line;
    return line;
}

void TrendsPage::buildPlots()
{
    m_plots.push_back(makePlot(tr("Напряжения, ") + VoltUnits()));
    m_plots.push_back(makePlot(tr("Батареи, ") + VoltUnits()));
    m_plots.push_back(makePlot(tr("Температуры, °C")));
    addTrend(VoltagePlot, PhaseACaption(), [](const TelemetryRecord &r) -> double { return r.VoltageA; });
    addTrend(VoltagePlot, PhaseBCaption(), [](const TelemetryRecord &r) -> double { return r.VoltageB; });
    addTrend(VoltagePlot, PhaseCCaption(), [](const TelemetryRecord &r) -> double { return r.VoltageC; });
    addTrend(VoltagePlot, GeneratorPhaseCaption(),
             [](const TelemetryRecord &r) -> double { return r.VoltageGU; });
    addTrend(BatteryPlot, tr("АКБ"),
             [](const TelemetryRecord &r) -> double { return TenthsToVolts(r.AccVoltage); });
    addTrend(BatteryPlot, tr("ИБП"),
             [](const TelemetryRecord &r) -> double { return TenthsToVolts(r.UpsVoltage); });
    addTrend(TemperaturePlot, tr("Датчик 1"),
             [](const TelemetryRecord &r) -> double { return r.Temperature1; });
    addTrend(TemperaturePlot, tr("Датчик 2"),
             [](const TelemetryRecord &r) -> double { return r.Temperature2; });
    addTrend(TemperaturePlot, tr("Датчик 3"),
             [](const TelemetryRecord &r) -> double { return r.Temperature3; });
    addTrend(TemperaturePlot, tr("Датчик 4"),
             [](const TelemetryRecord &r) -> double { return r.Temperature4; });
    // The parts of a line are stacked together, and the lines in their order, as one series each would be;
    // the first parts took the theme's colours and are added again, each before the other parts of its line.
    for (const Trend &trend : m_trends)
        m_plots[size_t(trend.plot)].chart->removeSeries(trend.series);
    for (Trend &trend : m_trends) {
        QChart *chart = m_plots[size_t(trend.plot)].chart;
        const QPen pen = trend.series->pen();
        trend.bridge = new QLineSeries;
        trend.recent = new QLineSeries;
        for (QLineSeries *part : {trend.series, trend.bridge, trend.recent}) {
            part->setName(trend.series->name());
            part->setUseOpenGL(false);
            chart->addSeries(part);
            for (QAbstractAxis *axis : chart->axes())
                part->attachAxis(axis);
            part->setPen(pen);
        }
    }
    for (const char *name : {"mainsLow", "mainsHigh", "generatorLow", "generatorHigh"})
        addThreshold(VoltagePlot, QLatin1String(name));
    for (const char *name : {"starterBatteryLow", "upsLow", "upsHigh"})
        addThreshold(BatteryPlot, QLatin1String(name));
    addThreshold(TemperaturePlot, QStringLiteral("temperatureLow"));

    m_changeMarks = new QScatterSeries;
    m_changeMarks->setName(tr("Режим и этап"));
    m_changeMarks->setMarkerSize(9);
    m_changeMarks->setColor(QColor(30, 30, 30));
    QChart *voltages = m_plots[VoltagePlot].chart;
    voltages->addSeries(m_changeMarks);
    for (QAbstractAxis *axis : voltages->axes())
        m_changeMarks->attachAxis(axis);
    for (Plot &plot : m_plots) {
        QString header = QStringLiteral("<b>%1</b>").arg(plot.title.toHtmlEscaped());
        QStringList names;
        for (const Trend &trend : m_trends) {
            if (&m_plots[size_t(trend.plot)] != &plot)
                continue;
            header += QStringLiteral("&nbsp;&nbsp;<span style=\"color:%1\">&#9632;</span>&nbsp;%2")
                          .arg(trend.series->color().name(), trend.series->name().toHtmlEscaped());
            names << trend.series->name();
        }
        if (&plot == &m_plots[VoltagePlot])
            header +=
                QStringLiteral("&nbsp;&nbsp;&#9679;&nbsp;%1").arg(m_changeMarks->name().toHtmlEscaped());
        header += QStringLiteral("&nbsp;&nbsp;<span style=\"color:#c82828\">- - -</span>&nbsp;%1")
                      .arg(tr("пороги"));
        plot.header->setText(header);
        plot.header->setAccessibleName(plot.title);
        plot.header->setAccessibleDescription(names.join(QStringLiteral(", ")));
    }
    connect(m_changeMarks, &QScatterSeries::hovered, this, [this](const QPointF &point, bool state) {
        if (!state) {
            QToolTip::hideText();
            return;
        }
        for (const Change &change : m_changes) {
            if (double(change.msecs) == point.x()) {
                QToolTip::showText(QCursor::pos(), change.text, ChartVoltages);
                return;
            }
        }
    });
}

void TrendsPage::showThresholds(const ConfigImageBytes &image)
{
    const GaugeThresholds t = ThresholdsFromImage(image);
    const double levels[] = {t.mainsLow,          t.mainsHigh, t.generatorLow, t.generatorHigh,
                             t.starterBatteryLow, t.upsLow,    t.upsHigh,      t.temperatureLow};
    int i = 0;
    for (const Plot &plot : m_plots) {
        for (QLineSeries *line : plot.thresholds)
            line->setProperty("level", levels[i++]);
    }
    m_axesMoved = true;
    applyToSeries();
}

void TrendsPage::setSpan(Span span)
{
    m_span = span;
    ComboSpan->setCurrentIndex(span);
    goLive();
}

void TrendsPage::goLive()
{
    m_live = true;
    m_stale = true;
    if (isVisible())
        rebuild();
}

void TrendsPage::showRange(qint64 from, qint64 to)
{
    if (to <= from)
        return;
    m_live = false;
    m_from = from;
    m_to = to;
    m_stale = true;
    if (isVisible())
        rebuild();
}

qint64 TrendsPage::liveTo(qint64 newest) const
{
    const qint64 span =
        SpanMs[m_span] > 0 ? SpanMs[m_span]
                           : qMax<qint64>(60 * 1000, newest - (m_log.isEmpty() ? newest : m_log.at(0).msecs));
    const qint64 step = qMax<qint64>(1000, span / LiveSteps);
    return (newest / step + 1) * step;
}

qint64 TrendsPage::liveFrom(qint64 to) const
{
    const qint64 span = SpanMs[m_span];
    if (span > 0)
        return to - span;
    return m_log.isEmpty() ? to - SpanMs[OneMinute] : qMin(m_log.at(0).msecs, to - 1000);
}

qint64 TrendsPage::columnMsFor(qint64 from, qint64 to) const
{
    // A power of two at least as wide as one pixel: it changes seldom, so a growing
    // span rarely forces the columns to be built again.
    const int pixels = qMax(50, ChartVoltages->chart()->plotArea().toRect().width());
    const qint64 exact = qMax<qint64>(1, (to - from) / pixels);
    qint64 width = 1;
    while (width < exact)
        width *= 2;
    return width;
}

void TrendsPage::noteChange(const TelemetrySample &sample)
{
    const TelemetryRecord &r = sample.record;
    if (m_newest && m_newest->record.Mode == r.Mode && m_newest->record.Stage == r.Stage)
        return;
    m_changes.push_back({sample.msecs, changeText(r)});
    m_marksChanged = true;
}

void TrendsPage::addToColumns(const TelemetrySample &sample)
{
    for (Trend &trend : m_trends) {
        const size_t before = trend.columns.size();
        AddToColumns(trend.columns, m_columnMs, sample.msecs, trend.value(sample.record));
        // Only the newest column's points change; a column that stops being the newest drops its last sample.
        if (!trend.counts.empty()) {
            trend.points.remove(trend.points.size() - trend.counts.back(), trend.counts.back());
            trend.counts.pop_back();
            if (trend.columns.size() != before)
                trend.counts.push_back(AppendColumnPoints(trend.columns[before - 1], false, trend.points));
        }
        trend.counts.push_back(AppendColumnPoints(trend.columns.back(), true, trend.points));
        const size_t newest = trend.columns.size() - 1;
        if (newest > trend.recentColumn + RecentColumns)
            split(trend, newest - qMin(newest, BridgeColumns), newest);
    }
    noteChange(sample);
    m_newest = sample;
}

void TrendsPage::split(Trend &trend, size_t settled, size_t recent)
{
    if (settled < trend.settledColumns) {
        trend.settledColumns = 0;
        trend.settledPoints = 0;
        trend.settledLow = qInf();
        trend.settledHigh = -qInf();
    }
    for (; trend.settledColumns < settled; ++trend.settledColumns) {
        const MinMaxColumn &column = trend.columns[trend.settledColumns];
        trend.settledPoints += trend.counts[trend.settledColumns];
        trend.settledLow = qMin(trend.settledLow, column.min);
        trend.settledHigh = qMax(trend.settledHigh, column.max);
    }
    trend.recentColumn = recent;
    trend.recentPoint = trend.settledPoints;
    for (size_t i = settled; i < recent; ++i)
        trend.recentPoint += trend.counts[i];
    trend.partsChanged = true;
}

void TrendsPage::dropBefore(qint64 msecs)
{
    for (Trend &trend : m_trends) {
        const size_t before = trend.columns.size();
        DropColumnsBefore(trend.columns, m_columnMs, msecs);
        const size_t dropped = before - trend.columns.size();
        int points = 0;
        for (size_t i = 0; i < dropped; ++i)
            points += trend.counts[i];
        trend.counts.erase(trend.counts.begin(), trend.counts.begin() + qsizetype(dropped));
        trend.points.remove(0, points);
        if (dropped > 0) {
            const auto kept = [dropped](size_t column) { return column - qMin(dropped, column); };
            split(trend, kept(trend.settledColumns), kept(trend.recentColumn));
        }
    }
    while (!m_changes.empty() && m_changes.front().msecs < msecs) {
        m_changes.erase(m_changes.begin());
        m_marksChanged = true;
    }
}

void TrendsPage::rebuild()
{
    m_stale = false;
    m_axesMoved = true;
    const qint64 newest = m_log.isEmpty() ? QDateTime::currentMSecsSinceEpoch() : m_log.newest().msecs;
    if (m_live) {
        m_to = liveTo(newest);
        m_from = liveFrom(m_to);
    }
    m_columnMs = columnMsFor(m_from, m_to);
    for (Trend &trend : m_trends) {
        trend.columns.clear();
        trend.points.clear();
        trend.counts.clear();
        split(trend, 0, 0);
    }
    m_changes.clear();
    m_marksChanged = true;
    m_newest.reset();
    const int first = qMax(0, m_log.firstAtOrAfter(m_from) - 1);
    const int last = m_live ? m_log.size() : qMin(m_log.size(), m_log.firstAtOrAfter(m_to) + 1);
    for (int i = first; i < last; ++i)
        addToColumns(m_log.at(i));
    for (Trend &trend : m_trends) {
        const size_t newest = qMax<size_t>(1, trend.columns.size()) - 1;
        split(trend, newest - qMin(newest, BridgeColumns), newest);
    }
    applyToSeries();
}

void TrendsPage::sampleAdded()
{
    if (m_log.isEmpty())
        return;
    if (m_recording.isOpen()) {
        const QString failure = m_recording.append(m_log.newest().msecs, m_log.newest().record);
        if (!failure.isEmpty()) {
            stopRecording();
            // Not from inside the receive path: a modal box there would run the dispatcher again.
            QTimer::singleShot(0, this, [this, failure] { report(failure); });
        }
    }
    if (!isVisible() || !m_live) {
        m_stale = true;
        return;
    }
    const TelemetrySample &sample = m_log.newest();
    // The time axis moves on in steps, not with every frame: between steps only the lines change.
    if (sample.msecs > m_to) {
        m_to = liveTo(sample.msecs);
        const qint64 from = liveFrom(m_to);
        if (columnMsFor(from, m_to) != m_columnMs)
            m_stale = true;
        m_from = from;
        m_axesMoved = true;
    }
    if (m_stale) {
        rebuild();
        return;
    }
    addToColumns(sample);
    dropBefore(m_from);
    applyToSeries();
}

void TrendsPage::applyToSeries()
{
    std::vector<std::pair<double, double>> bounds(m_plots.size(), {qInf(), -qInf()});
    for (Trend &trend : m_trends) {
        auto &[low, high] = bounds[size_t(trend.plot)];
        low = qMin(low, trend.settledLow);
        high = qMax(high, trend.settledHigh);
        for (size_t i = trend.settledColumns; i < trend.columns.size(); ++i) {
            low = qMin(low, trend.columns[i].min);
            high = qMax(high, trend.columns[i].max);
        }
        // Each part starts at the last point of the one before: the line has no gap.
        if (trend.partsChanged) {
            const qsizetype bridgeFrom = qMax<qsizetype>(0, trend.settledPoints - 1);
            trend.series->replace(trend.points.first(trend.settledPoints));
            trend.bridge->replace(trend.points.sliced(bridgeFrom, trend.recentPoint - bridgeFrom));
            trend.partsChanged = false;
        }
        trend.recent->replace(trend.points.sliced(qMax<qsizetype>(0, trend.recentPoint - 1)));
    }
    for (size_t p = 0; p < m_plots.size(); ++p) {
        const Plot &plot = m_plots[p];
        auto [low, high] = bounds[p];
        for (QLineSeries *line : plot.thresholds) {
            const QVariant level = line->property("level");
            if (!level.isValid())
                continue;
            low = qMin(low, level.toDouble());
            high = qMax(high, level.toDouble());
            // The dashed line spans what is shown, no further: points far off the plot are not drawn well.
            if (m_axesMoved)
                line->replace(
                    QList<QPointF>{{double(m_from), level.toDouble()}, {double(m_to), level.toDouble()}});
        }
        if (low > high) {
            low = 0;
            high = 1;
        }
        const double pad = qMax(1.0, (high - low) * 0.08);
        // Readings that cannot go below zero do not get a scale that does.
        const double wantLow = low >= 0 ? qMax(0.0, std::floor(low - pad)) : std::floor(low - pad);
        const double wantHigh = std::ceil(high + pad);
        // Relabelling an axis costs more than the lines: only when the values leave its range or shrink well
        // within it.
        const double shown = plot.values->max() - plot.values->min();
        if (wantLow < plot.values->min() || wantHigh > plot.values->max() ||
            (wantHigh - wantLow) < shown * 0.5) {
            const auto [niceLow, niceHigh] = niceRange(wantLow, wantHigh);
            plot.values->setRange(niceLow, niceHigh);
        }
        if (m_axesMoved) {
            auto *time = static_cast<QDateTimeAxis *>(plot.chart->axes(Qt::Horizontal).first());
            time->setRange(QDateTime::fromMSecsSinceEpoch(m_from), QDateTime::fromMSecsSinceEpoch(m_to));
            time->setFormat(timeLabelFormat(m_to - m_from, time->tickCount()));
        }
    }
    m_axesMoved = false;
    const QValueAxis *volts = m_plots[VoltagePlot].values;
    const double markLevel = volts->min() + (volts->max() - volts->min()) * 0.04;
    if (m_marksChanged || (m_changeMarks->count() > 0 && m_changeMarks->at(0).y() != markLevel)) {
        QList<QPointF> marks;
        for (const Change &change : m_changes)
            marks << QPointF(double(change.msecs), markLevel);
        m_changeMarks->replace(marks);
        m_marksChanged = false;
    }
    if (m_newest) {
        const TelemetryRecord &r = m_newest->record;
        ChartVoltages->setAccessibleDescription(tr("%1 %2, %3 %4, %5 %6, %7 %8 В")
                                                    .arg(PhaseACaption())
                                                    .arg(r.VoltageA)
                                                    .arg(PhaseBCaption())
                                                    .arg(r.VoltageB)
                                                    .arg(PhaseCCaption())
                                                    .arg(r.VoltageC)
                                                    .arg(GeneratorPhaseCaption())
                                                    .arg(r.VoltageGU));
        ChartBatteries->setAccessibleDescription(tr("АКБ %1 В, ИБП %2 В")
                                                     .arg(TenthsToVolts(r.AccVoltage), 0, 'f', 1)
                                                     .arg(TenthsToVolts(r.UpsVoltage), 0, 'f', 1));
        ChartTemperatures->setAccessibleDescription(QStringLiteral("%1, %2, %3, %4 °C")
                                                        .arg(r.Temperature1)
                                                        .arg(r.Temperature2)
                                                        .arg(r.Temperature3)
                                                        .arg(r.Temperature4));
    }
}

QList<QPointF> TrendsPage::plottedPoints(int trend) const
{
    const Trend &line = m_trends.at(size_t(trend));
    QList<QPointF> points;
    for (const QLineSeries *part : {line.series, line.bridge, line.recent}) {
        const QList<QPointF> more = part->points();
        // A part repeats the last point of the one before.
        points.append(points.isEmpty() ? more : more.sliced(qMin<qsizetype>(1, more.size())));
    }
    return points;
}

QStringList TrendsPage::markedChanges() const
{
    QStringList texts;
    for (const Change &change : m_changes)
        texts << CsvTime(change.msecs) + QStringLiteral(": ") + change.text;
    return texts;
}

void TrendsPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_stale || m_live)
        rebuild();
}

void TrendsPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_stale = true;
    if (isVisible())
        rebuild();
}

QString TrendsPage::saveCsv(const QString &path) const
{
    return saveFile(path, TelemetryCsv(m_log, 0, m_log.size()));
}

QString TrendsPage::savePicture(const QString &path)
{
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !m_plotArea->grab().save(&buffer, "PNG"))
        return tr("Не удалось сохранить %1: %2").arg(path, buffer.errorString());
    return saveFile(path, png);
}

QString TrendsPage::saveFile(const QString &path, const QByteArray &bytes) const
{
    if (const QString refusal = WriteTargetRefusal(path); !refusal.isEmpty())
        return refusal;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return tr("Не удалось сохранить %1: %2").arg(path, file.errorString());
    if (const QString error = WriteWhole(file, bytes); !error.isEmpty())
        return tr("Не удалось сохранить %1: %2").arg(path, error);
    if (!file.commit())
        return tr("Не удалось сохранить %1: %2").arg(path, file.errorString());
    return {};
}

void TrendsPage::report(const QString &failure)
{
    if (!failure.isEmpty() && m_messages)
        m_messages->error(failure);
}

void TrendsPage::saveCsvClicked()
{
    const QString path = m_chooseSaveFile(QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty())
        report(saveCsv(path));
}

void TrendsPage::savePictureClicked()
{
    const QString path = m_chooseSaveFile(QStringLiteral("PNG (*.png)"));
    if (!path.isEmpty())
        report(savePicture(path));
}

void TrendsPage::onRecordSwitch()
{
    if (!SwitchRecord->isActive()) {
        stopRecording();
        return;
    }
    if (EditRecordFile->text().isEmpty())
        EditRecordFile->setText(m_chooseSaveFile(QStringLiteral("CSV (*.csv)")));
    if (EditRecordFile->text().isEmpty()) {
        SwitchRecord->setActive(false);
        return;
    }
    const QString failure = m_recording.open(EditRecordFile->text());
    if (!failure.isEmpty()) {
        SwitchRecord->setActive(false);
        report(failure);
        return;
    }
    EditRecordFile->setEnabled(false);
}

void TrendsPage::stopRecording()
{
    m_recording.close();
    SwitchRecord->setActive(false);
    EditRecordFile->setEnabled(true);
}

} // namespace gencfg
