#pragma once

// The "Графики" page: the telemetry record plotted over time in three plots
// on one time axis (voltages, batteries, temperatures), live by default,
// with the alarm thresholds dashed and the mode and stage changes marked;
// exported as CSV or PNG, and recorded to a CSV file frame by frame.

#include "config/ConfigImage.h"
#include "monitor/TelemetryCsv.h"
#include "monitor/TrendColumns.h"

#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

class QChart;
class QComboBox;
class QLabel;
class QLineEdit;
class QLineSeries;
class QPushButton;
class QScatterSeries;
class QValueAxis;

namespace gencfg {

class Messages;
class SwitchLed;
class TrendChartView;

class TrendsPage : public QWidget
{
    Q_OBJECT
public:
    // Returns the chosen path, or an empty text when the user cancels.
    using ChooseSaveFile = std::function<QString(const QString &filter)>;
    enum Span { OneMinute, TenMinutes, OneHour, Everything };

    explicit TrendsPage(const TelemetryLog &log, QWidget *parent = nullptr);
    ~TrendsPage() override;

    void attach(Messages &messages) { m_messages = &messages; }
    void setChooseSaveFile(ChooseSaveFile choose) { m_chooseSaveFile = std::move(choose); }

    // The newest sample of the record was just appended.
    void sampleAdded();
    void showThresholds(const ConfigImageBytes &image);

    void setSpan(Span span);
    bool isLive() const { return m_live; }
    // Follows the newest frame again over the chosen span ("Сейчас").
    void goLive();
    // Shows from..to, in milliseconds since the epoch, and stops following.
    void showRange(qint64 from, qint64 to);
    qint64 rangeFrom() const { return m_from; }
    qint64 rangeTo() const { return m_to; }
    // The points a plot's series draws now; 0..3 phases and generator, 4..5 batteries, 6..9 sensors.
    QList<QPointF> plottedPoints(int trend) const;
    // The mode and stage changes marked in the visible span, as "time: text".
    QStringList markedChanges() const;

    // Atomic saves, never onto a name that is not a regular file; return the failure text, or an empty one.
    QString saveCsv(const QString &path) const;
    QString savePicture(const QString &path);
    // Ends continuous recording, as the switch going off.
    void stopRecording();
    bool isRecording() const { return m_recording.isOpen(); }

    QComboBox *ComboSpan = nullptr;
    QPushButton *nowButton = nullptr;         // "Сейчас"
    QPushButton *saveCsvButton = nullptr;     // "Сохранить CSV"
    QPushButton *savePictureButton = nullptr; // "Сохранить картинку"
    SwitchLed *SwitchRecord = nullptr;        // "Запись в файл"
    QLineEdit *EditRecordFile = nullptr;
    TrendChartView *ChartVoltages = nullptr;
    TrendChartView *ChartBatteries = nullptr;
    TrendChartView *ChartTemperatures = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Trend
    {
        // One line in three series of one pen, each from the last point of the one before: series draws the
        // settled columns, bridge the few after them, recent the newest. A frame sets recent again and
        // repaints it and bridge; series, too far left to be repainted, changes only when columns settle
        // or go.
        QLineSeries *series = nullptr;
        QLineSeries *bridge = nullptr;
        QLineSeries *recent = nullptr;
        double (*value)(const TelemetryRecord &) = nullptr;
        std::vector<MinMaxColumn> columns;
        // What the three series draw, and how many of those points each column gave.
        QList<QPointF> points;
        std::vector<int> counts;
        // The columns before settledColumns are settled, those from recentColumn on recent, those between
        // the bridge's; settledPoints and recentPoint count the points before the bridge's and the recent.
        size_t settledColumns = 0;
        size_t recentColumn = 0;
        qsizetype settledPoints = 0;
        qsizetype recentPoint = 0;
        // The lowest and highest value of the settled columns.
        double settledLow = qInf();
        double settledHigh = -qInf();
        bool partsChanged = true; // series and bridge
        int plot = 0;
    };
    struct Plot
    {
        QChart *chart = nullptr;
        TrendChartView *view = nullptr;
        QValueAxis *values = nullptr;
        QList<QLineSeries *> thresholds;
        QString title;
        QLabel *header = nullptr; // the title and what each line is
    };
    struct Change
    {
        qint64 msecs;
        QString text;
    };

    void buildPlots();
    Plot makePlot(const QString &title);
    void addTrend(int plot, const QString &name, double (*value)(const TelemetryRecord &));
    QLineSeries *addThreshold(int plot, const QString &name);
    // Everything from the record again: after a zoom, a new span, a resize, a page shown.
    void rebuild();
    void addToColumns(const TelemetrySample &sample);
    // Settles the columns before settled; recent ones start at recent.
    static void split(Trend &trend, size_t settled, size_t recent);
    void dropBefore(qint64 msecs);
    void noteChange(const TelemetrySample &sample);
    void applyToSeries();
    qint64 liveTo(qint64 newest) const;
    qint64 liveFrom(qint64 to) const;
    qint64 columnMsFor(qint64 from, qint64 to) const;
    void onRecordSwitch();
    void saveCsvClicked();
    void savePictureClicked();
    void report(const QString &failure);
    // Replaces path with bytes whole or not at all; returns the failure text, or an empty one.
    QString saveFile(const QString &path, const QByteArray &bytes) const;

    const TelemetryLog &m_log;
    Messages *m_messages = nullptr;
    ChooseSaveFile m_chooseSaveFile;
    std::vector<Plot> m_plots;
    std::vector<Trend> m_trends;
    QScatterSeries *m_changeMarks = nullptr;
    std::vector<Change> m_changes;
    bool m_marksChanged = true;
    QWidget *m_plotArea = nullptr;
    TelemetryCsvFile m_recording;
    Span m_span = TenMinutes;
    bool m_live = true;
    bool m_stale = true;
    bool m_axesMoved = true;
    qint64 m_from = 0;
    qint64 m_to = 0;
    qint64 m_columnMs = 1;
    std::optional<TelemetrySample> m_newest; // the newest sample in the columns
};

} // namespace gencfg
