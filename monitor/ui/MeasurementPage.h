#pragma once

// The "Измерения" page: the live measurements of the controller's status frame.

#include "config/ConfigImage.h"
#include "monitor/Telemetry.h"

#include <QList>
#include <QWidget>

class QLabel;

namespace gencfg {

class AngularGauge;
class Placer;
class LcdPanel;
class LinearGauge;
class NumericDisplay;
class RectLed;
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
    // Places every control at its fractions of the page control's size.
    void placeChildren(const Placer &p);

    bool generatorBlink() const { return m_generatorBlink; }

    // The fourteen displays that show "---" until the first status frame.
    const QList<LcdPanel *> &dataDisplays() const { return m_dataDisplays; }
    // The thirteen flag LEDs, in the order of StatusFlags().
    const QList<RectLed *> &flagLeds() const { return m_flagLeds; }

    // Mains phases and generator.

    // Batteries.

    // GSM modem.

    // Temperature sensors 1 to 4; one caption over all four.

    // Status column: counters, clock and flags.

    // Operating mode and stage.

Q_SIGNALS:
    // The controller reports automatic operation, semi-automatic or not.
    void automaticModeShown(bool semiauto);

private:
    AngularGauge *phaseAGauge = nullptr;
    AngularGauge *phaseBGauge = nullptr;
    AngularGauge *phaseCGauge = nullptr;
    AngularGauge *generatorGauge = nullptr;
    NumericDisplay *phaseADisplay = nullptr;
    NumericDisplay *phaseBDisplay = nullptr;
    NumericDisplay *phaseCDisplay = nullptr;
    NumericDisplay *generatorDisplay = nullptr;
    QLabel *phaseACaption = nullptr;
    QLabel *phaseBCaption = nullptr;
    QLabel *phaseCCaption = nullptr;
    QLabel *generatorCaption = nullptr;
    LinearGauge *starterBatteryGauge = nullptr;
    NumericDisplay *starterBatteryDisplay = nullptr;
    QLabel *starterBatteryCaption = nullptr;
    LinearGauge *upsBatteryGauge = nullptr;
    NumericDisplay *upsBatteryDisplay = nullptr;
    QLabel *upsBatteryCaption = nullptr;
    LinearGauge *signalGauge = nullptr;
    NumericDisplay *signalDisplay = nullptr;
    QLabel *signalCaption = nullptr;
    WrapLabel *registrationLabel = nullptr;
    QLabel *registrationCaption = nullptr;
    LinearGauge *temperature1Gauge = nullptr;
    LinearGauge *temperature2Gauge = nullptr;
    LinearGauge *temperature3Gauge = nullptr;
    LinearGauge *temperature4Gauge = nullptr;
    NumericDisplay *temperature1Display = nullptr;
    NumericDisplay *temperature2Display = nullptr;
    NumericDisplay *temperature3Display = nullptr;
    NumericDisplay *temperature4Display = nullptr;
    QLabel *temperaturesCaption = nullptr;
    QLabel *motoclockCaption = nullptr;
    TextDisplay *motoclockDisplay = nullptr;
    QLabel *maintenanceCaption = nullptr;
    TextDisplay *maintenanceDisplay = nullptr;
    QLabel *clockCaption = nullptr;
    TextDisplay *clockDisplay = nullptr;
    RectLed *threeLineLed = nullptr;
    RectLed *directStartLed = nullptr;
    RectLed *smartStartLed = nullptr;
    RectLed *generatorFrequencyLed = nullptr;
    RectLed *maintenanceLed = nullptr;
    RectLed *starterBatteryControlLed = nullptr;
    RectLed *upsBatteryControlLed = nullptr;
    RectLed *workSleepLed = nullptr;
    RectLed *testStartLed = nullptr;
    RectLed *shortLed = nullptr;
    RectLed *gsmActivityLed = nullptr;
    RectLed *thermoLed = nullptr;
    RectLed *gprsLed = nullptr;
    WrapLabel *stageLabel = nullptr;
    QLabel *modeCaption = nullptr;
    RectLed *autoLed = nullptr;
    RectLed *semiautoLed = nullptr;
    RectLed *manualLed = nullptr;

    void buildVoltages();
    void buildBatteries();
    void buildModem();
    void buildTemperatures();
    void buildStatusColumn();
    void buildMode();
    void showMode(const TelemetryRecord &record);
    bool m_generatorBlink = false;
    QList<LcdPanel *> m_dataDisplays;
    QList<RectLed *> m_flagLeds;
};

} // namespace gencfg
