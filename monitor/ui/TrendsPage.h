#pragma once

// The "Графики" page: the telemetry record plotted over time in three plots
// on one time axis (voltages, batteries, temperatures), live by default,
// with the alarm thresholds dashed and the mode and stage changes marked;
// exported as CSV or PNG; its switch records to a CSV file frame by frame.

#include "config/ConfigImage.h"
#include "monitor/TelemetryRecording.h"
#include "monitor/TrendTimeline.h"

#include <QTimer>
#include <QWidget>
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
    explicit TrendsPage(const TelemetryLog &log, QWidget *parent = nullptr);
    ~TrendsPage() override;

    // The "Запись в файл" switch starts and stops recording; the page reports failures to messages.
    void attach(Messages &messages, TelemetryRecording &recording);

    // The newest sample of the record was just appended.
    void sampleAdded();
    void showThresholds(const ConfigImageBytes &image);
    // Follows the newest frame again over the chosen span ("Сейчас").
    void goLive();
    // While why is not empty the "Запись в файл" switch cannot be turned and tells why in its tip.
    void setRecordingPaused(const QString &why);
    // The span of the recording being played, in milliseconds since the epoch, offered as "Вся запись";
    // an empty span withdraws it.
    void showRecordingSpan(qint64 from, qint64 to);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void setSpan(TrendTimeline::Span span);
    // Shows from..to, in milliseconds since the epoch, and stops following.
    void showRange(qint64 from, qint64 to);
    // Atomic saves, never onto a name that is not a regular file; return the failure text, or an empty one.
    QString saveCsv(const QString &path) const;
    QString savePicture(const QString &path);

    // One line on the chart in three series of one pen: its settled part, the bridge and the recent part.
    struct Trend
    {
        QLineSeries *series = nullptr;
        QLineSeries *bridge = nullptr;
        QLineSeries *recent = nullptr;
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

    void buildPlots();
    Plot makePlot(const QString &title, const char *name);
    void addTrend(int plot, const QString &name, RecordValue value);
    void addThreshold(int plot, const QString &name);
    // Everything from the record again: after a zoom, a new span, a resize, a page shown.
    void rebuild();
    void applyToSeries(bool thresholdsMoved = false);
    void onRecordSwitch();
    void recordingStopped();
    void saveCsvClicked();
    void savePictureClicked();
    void report(const QString &failure);
    // Replaces path with bytes whole or not at all; returns the failure text, or an empty one.
    QString saveFile(const QString &path, const QByteArray &bytes) const;

    const TelemetryLog &m_log;
    TrendTimeline m_timeline;
    Messages *m_messages = nullptr;
    TelemetryRecording *m_recording = nullptr;
    QComboBox *m_spanCombo = nullptr;
    SwitchLed *m_recordSwitch = nullptr; // "Запись в файл"
    QLineEdit *m_recordFileEdit = nullptr;
    std::vector<Plot> m_plots;
    std::vector<Trend> m_trends;
    QScatterSeries *m_changeMarks = nullptr;
    QWidget *m_plotArea = nullptr;
    QPushButton *m_wholeRecordingButton = nullptr; // "Вся запись"
    qint64 m_recordingFrom = 0;
    qint64 m_recordingTo = 0;
    // The whole recording is shown while it plays: the plots fill in a few times a second, not per frame.
    bool m_showsWholeRecording = false;
    QTimer m_wholeRecordingRefresh;
};

} // namespace gencfg
