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

    ScaleGauge *phaseAGauge = nullptr;
    ScaleGauge *phaseBGauge = nullptr;
    ScaleGauge *phaseCGauge = nullptr;
    ScaleGauge *generatorGauge = nullptr;
    ScaleGauge *starterBatteryGauge = nullptr;
    ScaleGauge *upsBatteryGauge = nullptr;
    ScaleGauge *signalGauge = nullptr;
    ScaleGauge *temperature1Gauge = nullptr;
    NumericDisplay *signalDisplay = nullptr;
    WrapLabel *registrationLabel = nullptr;
    TextDisplay *motoclockDisplay = nullptr;
    TextDisplay *maintenanceDisplay = nullptr;
    TextDisplay *clockDisplay = nullptr;
    WrapLabel *stageLabel = nullptr;
    RectLed *autoLed = nullptr;
    RectLed *semiautoLed = nullptr;
    RectLed *manualLed = nullptr;

    bool m_generatorBlink = false;
    std::vector<Reading> m_readings;
    QList<LcdPanel *> m_dataDisplays;
    QList<RectLed *> m_flagLeds;
};

} // namespace gencfg
