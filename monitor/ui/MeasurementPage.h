#pragma once

// The "Измерения" page: the live measurements of the controller's status frame.

#include "config/ConfigImage.h"
#include "monitor/Telemetry.h"

#include <QList>
#include <QWidget>
#include <vector>

namespace gencfg {

class LcdPanel;
class NumericDisplay;
class RectLed;
class ScaleGauge;
class TextDisplay;
class WrapLabel;

class MeasurementPage : public QWidget
{
    Q_OBJECT
public:
    explicit MeasurementPage(QWidget *parent = nullptr);

    // Every display as before the first status frame.
    void showNoData();
    // One status record: every display leaves its no-data state and shows it.
    void show(const TelemetryRecord &record);
    // Each tick of the window's faultBlinkTimer: one blink step of the generator gauge's pointer.
    void blinkStep();
    void ShowThresholdsOnGauges(const ConfigImageBytes &image);

Q_SIGNALS:
    // The controller reports automatic operation, semi-automatic or not.
    void automaticModeShown(bool semiauto);

private:
    struct ColumnDesign;
    // A gauge and the number under it, both showing one value of a record.
    struct Reading
    {
        ScaleGauge *gauge = nullptr;
        NumericDisplay *display = nullptr;
        double (*value)(const TelemetryRecord &) = nullptr;
    };

    // Makes the columns of one group as designed, and keeps them for placement.
    void addColumns(std::initializer_list<ColumnDesign> designs);
    void buildStatusColumn();
    void buildMode();
    void showMode(const TelemetryRecord &record);

    ScaleGauge *m_phaseAGauge = nullptr;
    ScaleGauge *m_phaseBGauge = nullptr;
    ScaleGauge *m_phaseCGauge = nullptr;
    ScaleGauge *m_generatorGauge = nullptr;
    ScaleGauge *m_starterBatteryGauge = nullptr;
    ScaleGauge *m_upsBatteryGauge = nullptr;
    ScaleGauge *m_signalGauge = nullptr;
    ScaleGauge *m_temperature1Gauge = nullptr;
    NumericDisplay *m_signalDisplay = nullptr;
    WrapLabel *m_registrationLabel = nullptr;
    TextDisplay *m_motoclockDisplay = nullptr;
    TextDisplay *m_maintenanceDisplay = nullptr;
    TextDisplay *m_clockDisplay = nullptr;
    WrapLabel *m_stageLabel = nullptr;
    RectLed *m_autoLed = nullptr;
    RectLed *m_semiautoLed = nullptr;
    RectLed *m_manualLed = nullptr;

    bool m_generatorBlink = false;
    std::vector<Reading> m_readings;
    QList<LcdPanel *> m_dataDisplays;
    QList<RectLed *> m_flagLeds;
};

} // namespace gencfg
