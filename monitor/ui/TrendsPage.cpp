#include "monitor/ui/TrendsPage.h"

#include "config/FileWriting.h"
#include "monitor/MeasurementTexts.h"
#include "monitor/TelemetryCsv.h"
#include "monitor/TrendScales.h"
#include "monitor/ui/TrendChartView.h"
#include "widgets/Messages.h"
#include "widgets/SaveFileDialog.h"
#include "widgets/SwitchLed.h"

#include <QBuffer>
#include <QChart>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QToolTip>
#include <QValueAxis>

namespace gencfg {

namespace {

enum PlotIndex { VoltagePlot, BatteryPlot, TemperaturePlot };

QString changeText(const TelemetryRecord &r)
{
    const std::optional<QString> status = StatusCaption(r);
    const QString mode = ModeDisplayCaption(ModeDisplayFor(r));
    QString text = status ? OneLineCaption(*status)
                          : QCoreApplication::translate("gencfg::TrendsPage", "Этап %1").arg(r.Stage);
    return mode.isEmpty() ? text : mode + QStringLiteral(": ") + text;
}

// Draws series in chart, on its axes.
void addToChart(QChart *chart, QAbstractSeries *series)
{
    chart->addSeries(series);
    for (QAbstractAxis *axis : chart->axes())
        series->attachAxis(axis);
}

QPushButton *makeButton(QWidget *page, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, page);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

TrendsPage::TrendsPage(const TelemetryLog &log, QWidget *parent)
    : QWidget(parent), m_log(log), m_timeline(log)
{
    setObjectName(QStringLiteral("trendsPage"));
    m_spanCombo = new QComboBox(this);
    m_spanCombo->setObjectName(QStringLiteral("spanCombo"));
    m_spanCombo->setAccessibleName(tr("Интервал"));
    m_spanCombo->addItems({tr("1 мин"), tr("10 мин"), tr("1 ч"), tr("всё")});
    m_spanCombo->setCurrentIndex(m_timeline.span());
    QPushButton *nowButton = makeButton(this, "nowButton", tr("Сейчас"));
    m_wholeRecordingButton = makeButton(this, "wholeRecordingButton", tr("Вся запись"));
    m_wholeRecordingButton->setAccessibleName(m_wholeRecordingButton->text());
    m_wholeRecordingButton->hide();
    QPushButton *saveCsvButton = makeButton(this, "saveCsvButton", tr("Сохранить CSV"));
    QPushButton *savePictureButton = makeButton(this, "savePictureButton", tr("Сохранить картинку"));
    m_recordSwitch = new SwitchLed(tr("Запись в файл"), this);
    m_recordSwitch->setObjectName(QStringLiteral("recordSwitch"));
    m_recordSwitch->setMinimumWidth(130);
    m_recordFileEdit = new QLineEdit(this);
    m_recordFileEdit->setObjectName(QStringLiteral("recordFileEdit"));
    m_recordFileEdit->setAccessibleName(tr("Файл записи"));
    m_recordFileEdit->setPlaceholderText(tr("файл записи, CSV"));

    auto *controls = new QHBoxLayout;
    controls->addWidget(m_spanCombo);
    controls->addWidget(nowButton);
    controls->addWidget(m_wholeRecordingButton);
    controls->addStretch(1);
    controls->addWidget(saveCsvButton);
    controls->addWidget(savePictureButton);
    controls->addWidget(m_recordSwitch);
    controls->addWidget(m_recordFileEdit, 1);

    m_plotArea = new QWidget(this);
    auto *plots = new QVBoxLayout(m_plotArea);
    plots->setContentsMargins(0, 0, 0, 0);
    plots->setSpacing(0);
    buildPlots();
    for (const Plot &plot : m_plots) {
        plots->addWidget(plot.header);
        plots->addWidget(plot.view, 1);
    }

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(controls);
    layout->addWidget(m_plotArea, 1);

    connect(m_spanCombo, &QComboBox::activated, this,
            [this](int index) { setSpan(TrendTimeline::Span(index)); });
    connect(nowButton, &QPushButton::clicked, this, &TrendsPage::goLive);
    connect(m_wholeRecordingButton, &QPushButton::clicked, this, [this] {
        showRange(m_recordingFrom, m_recordingTo);
        m_showsWholeRecording = true;
    });
    m_wholeRecordingRefresh.setSingleShot(true);
    m_wholeRecordingRefresh.setInterval(500);
    connect(&m_wholeRecordingRefresh, &QTimer::timeout, this, [this] {
        if (m_showsWholeRecording && isVisible())
            rebuild();
    });
    connect(saveCsvButton, &QPushButton::clicked, this, &TrendsPage::saveCsvClicked);
    connect(savePictureButton, &QPushButton::clicked, this, &TrendsPage::savePictureClicked);
    connect(m_recordSwitch, &SwitchLed::changed, this, &TrendsPage::onRecordSwitch);
}

TrendsPage::~TrendsPage() = default;

void TrendsPage::attach(Messages &messages, TelemetryRecording &recording)
{
    m_messages = &messages;
    m_recording = &recording;
    connect(&recording, &TelemetryRecording::stopped, this, &TrendsPage::recordingStopped);
    // Not from inside the receive path: a modal box there would run the dispatcher again.
    connect(&recording, &TelemetryRecording::stopped, this, &TrendsPage::report, Qt::QueuedConnection);
}

TrendsPage::Plot TrendsPage::makePlot(const QString &title, const char *name)
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
    const auto [low, high] = RoundValueRange(0, 1);
    plot.values->setRange(low, high);
    plot.chart->addAxis(time, Qt::AlignBottom);
    plot.chart->addAxis(plot.values, Qt::AlignLeft);
    plot.view = new TrendChartView(plot.chart);
    plot.view->setObjectName(QLatin1String(name));
    plot.view->setAccessibleName(title);
    connect(plot.view, &TrendChartView::rangeRequested, this, &TrendsPage::showRange);
    return plot;
}

void TrendsPage::addTrend(int plot, const QString &name, RecordValue value)
{
    auto *series = new QLineSeries;
    series->setName(name);
    series->setUseOpenGL(false);
    addToChart(m_plots[size_t(plot)].chart, series);
    m_trends.push_back({series, nullptr, nullptr, plot});
    m_timeline.addLine(value);
}

void TrendsPage::addThreshold(int plot, const QString &name)
{
    auto *line = new QLineSeries;
    line->setName(name);
    QPen pen(QColor(200, 40, 40));
    pen.setStyle(Qt::DashLine);
    line->setPen(pen);
    addToChart(m_plots[size_t(plot)].chart, line);
    m_plots[size_t(plot)].thresholds << line;
}

void TrendsPage::buildPlots()
{
    m_plots.push_back(makePlot(tr("Напряжения, ") + VoltUnits(), "voltageChart"));
    m_plots.push_back(makePlot(tr("Батареи, ") + VoltUnits(), "batteryChart"));
    m_plots.push_back(makePlot(tr("Температуры, °C"), "temperatureChart"));
    const QString names[] = {PhaseACaption(), PhaseBCaption(), PhaseCCaption(), GeneratorPhaseCaption(),
                             tr("АКБ"),       tr("ИБП"),       tr("Датчик 1"),  tr("Датчик 2"),
                             tr("Датчик 3"),  tr("Датчик 4")};
    for (int i = 0; i < 10; ++i)
        addTrend(i < 4 ? VoltagePlot : i < 6 ? BatteryPlot : TemperaturePlot, names[i], GaugedValues[i]);
    // The parts of a line are stacked together, and the lines in their order, as one series each would be;
    // the first parts took the theme's colours and are added again, each before the other parts of its line.
    for (const Trend &trend : m_trends)
        m_plots[size_t(trend.plot)].chart->removeSeries(trend.series);
    for (Trend &trend : m_trends) {
        const QPen pen = trend.series->pen();
        trend.bridge = new QLineSeries;
        trend.recent = new QLineSeries;
        for (QLineSeries *part : {trend.series, trend.bridge, trend.recent}) {
            part->setName(trend.series->name());
            part->setUseOpenGL(false);
            addToChart(m_plots[size_t(trend.plot)].chart, part);
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
    addToChart(m_plots[VoltagePlot].chart, m_changeMarks);
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
        for (const TelemetrySample &change : m_timeline.changes()) {
            if (double(change.msecs) == point.x()) {
                QToolTip::showText(QCursor::pos(), changeText(change.record), m_plots[VoltagePlot].view);
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
    applyToSeries(true);
}

void TrendsPage::setSpan(TrendTimeline::Span span)
{
    m_spanCombo->setCurrentIndex(span);
    m_timeline.setSpan(span);
    goLive();
}

void TrendsPage::showRecordingSpan(qint64 from, qint64 to)
{
    m_recordingFrom = from;
    m_recordingTo = to;
    m_wholeRecordingButton->setVisible(to > from);
    if (to <= from && m_showsWholeRecording)
        goLive();
}

void TrendsPage::setRecordingPaused(const QString &why)
{
    m_recordSwitch->setEnabled(why.isEmpty());
    m_recordSwitch->setToolTip(why);
}

void TrendsPage::goLive()
{
    m_showsWholeRecording = false;
    m_timeline.goLive();
    if (isVisible())
        rebuild();
}

void TrendsPage::showRange(qint64 from, qint64 to)
{
    m_showsWholeRecording = false;
    if (m_timeline.showRange(from, to) && isVisible())
        rebuild();
}

void TrendsPage::rebuild()
{
    m_timeline.rebuild(m_plots[VoltagePlot].chart->plotArea().toRect().width());
    applyToSeries();
}

void TrendsPage::sampleAdded()
{
    if (!isVisible())
        m_timeline.invalidate();
    else if (m_timeline.sampleAdded(m_plots[VoltagePlot].chart->plotArea().toRect().width()))
        applyToSeries();
    else if (m_showsWholeRecording && !m_wholeRecordingRefresh.isActive())
        m_wholeRecordingRefresh.start();
}

void TrendsPage::applyToSeries(bool thresholdsMoved)
{
    std::vector<std::pair<double, double>> bounds(m_plots.size(), {qInf(), -qInf()});
    for (size_t i = 0; i < m_trends.size(); ++i) {
        const Trend &trend = m_trends[i];
        const TrendLine &line = m_timeline.line(i);
        auto &[low, high] = bounds[size_t(trend.plot)];
        const auto [lineLow, lineHigh] = line.valueRange();
        low = qMin(low, lineLow);
        high = qMax(high, lineHigh);
        // Each part starts at the last point of the one before: the line has no gap.
        if (line.partsChanged) {
            trend.series->replace(line.settledPart());
            trend.bridge->replace(line.bridgePart());
        }
        trend.recent->replace(line.recentPart());
    }
    const qint64 from = m_timeline.from();
    const qint64 to = m_timeline.to();
    const bool axesMoved = m_timeline.axesMoved() || thresholdsMoved;
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
            if (axesMoved)
                line->replace(
                    QList<QPointF>{{double(from), level.toDouble()}, {double(to), level.toDouble()}});
        }
        if (const auto range = ValueAxisRange(low, high, plot.values->min(), plot.values->max()))
            plot.values->setRange(range->first, range->second);
        if (axesMoved) {
            auto *time = static_cast<QDateTimeAxis *>(plot.chart->axes(Qt::Horizontal).first());
            time->setRange(QDateTime::fromMSecsSinceEpoch(from), QDateTime::fromMSecsSinceEpoch(to));
            time->setFormat(TimeLabelFormat(to - from, time->tickCount()));
        }
    }
    const QValueAxis *volts = m_plots[VoltagePlot].values;
    const double markLevel = volts->min() + (volts->max() - volts->min()) * 0.04;
    if (m_timeline.changesChanged() ||
        (m_changeMarks->count() > 0 && m_changeMarks->at(0).y() != markLevel)) {
        QList<QPointF> marks;
        for (const TelemetrySample &change : m_timeline.changes())
            marks << QPointF(double(change.msecs), markLevel);
        m_changeMarks->replace(marks);
    }
    m_timeline.applied();
    if (const std::optional<TelemetrySample> &newest = m_timeline.newest()) {
        const TelemetryRecord &r = newest->record;
        m_plots[VoltagePlot].view->setAccessibleDescription(tr("%1 %2, %3 %4, %5 %6, %7 %8 В")
                                                                .arg(PhaseACaption())
                                                                .arg(r.VoltageA)
                                                                .arg(PhaseBCaption())
                                                                .arg(r.VoltageB)
                                                                .arg(PhaseCCaption())
                                                                .arg(r.VoltageC)
                                                                .arg(GeneratorPhaseCaption())
                                                                .arg(r.VoltageGU));
        m_plots[BatteryPlot].view->setAccessibleDescription(tr("АКБ %1 В, ИБП %2 В")
                                                                .arg(TenthsToVolts(r.AccVoltage), 0, 'f', 1)
                                                                .arg(TenthsToVolts(r.UpsVoltage), 0, 'f', 1));
        m_plots[TemperaturePlot].view->setAccessibleDescription(QStringLiteral("%1, %2, %3, %4 °C")
                                                                    .arg(r.Temperature1)
                                                                    .arg(r.Temperature2)
                                                                    .arg(r.Temperature3)
                                                                    .arg(r.Temperature4));
    }
}

void TrendsPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_timeline.isStale() || m_timeline.isLive())
        rebuild();
}

void TrendsPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_timeline.invalidate();
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
    bool refused = false;
    const QString failure = SaveWhole(path, bytes, &refused);
    return failure.isEmpty() || refused ? failure : tr("Не удалось сохранить %1: %2").arg(path, failure);
}

void TrendsPage::report(const QString &failure)
{
    if (!failure.isEmpty() && m_messages)
        m_messages->error(failure);
}

void TrendsPage::saveCsvClicked()
{
    AskSaveFileName(this, {QString(), QString(), QStringLiteral("CSV (*.csv)"), QStringLiteral("csv")}, this,
                    [this](const QString &path) {
                        if (!path.isEmpty())
                            report(saveCsv(path));
                    });
}

void TrendsPage::savePictureClicked()
{
    AskSaveFileName(this, {QString(), QString(), QStringLiteral("PNG (*.png)"), QStringLiteral("png")}, this,
                    [this](const QString &path) {
                        if (!path.isEmpty())
                            report(savePicture(path));
                    });
}

void TrendsPage::onRecordSwitch()
{
    if (!m_recording || !m_recordSwitch->isActive()) {
        // Unattached, there is nothing to record to.
        m_recording ? m_recording->stop() : recordingStopped();
        return;
    }
    if (m_recordFileEdit->text().isEmpty()) {
        // The switch stays lit while the name is asked; recording starts once there is one.
        AskSaveFileName(this,
                        {QString(), QString(), QStringLiteral("CSV (*.csv)"), QStringLiteral("csv"), true},
                        this, [this](const QString &path) {
                            if (!m_recordSwitch->isActive() || !m_recordFileEdit->text().isEmpty())
                                return;
                            if (path.isEmpty()) {
                                m_recordSwitch->setActive(false);
                                return;
                            }
                            m_recordFileEdit->setText(path);
                            onRecordSwitch();
                        });
        return;
    }
    const QString failure = m_recording->start(m_recordFileEdit->text());
    if (!failure.isEmpty()) {
        m_recordSwitch->setActive(false);
        report(failure);
        return;
    }
    m_recordFileEdit->setEnabled(false);
}

void TrendsPage::recordingStopped()
{
    m_recordSwitch->setActive(false);
    m_recordFileEdit->setEnabled(true);
}

} // namespace gencfg
