#pragma once

// The "Измерения" page: the live measurements of the controller's status frame.

#include "config/ConfigImage.h"
#include "link/DeviceLink.h"
#include "monitor/Telemetry.h"

#include <QList>
#include <QWidget>

class QLabel;

namespace gencfg {

class AngularGauge;
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

    void ResetMeasurementDisplays();
    void ClearDisplayErrors();
    void DecodeStatusFrame(const RxBuffer &rxBytes);
    void ShowTelemetry();
    // Each tick of the window's Timer2: one blink step of the generator gauge's pointer.
    void Timer3Timer();
    void ShowThresholdsOnGauges(const ConfigImageBytes &image);

    const TelemetryRecord &telemetry() const { return m_record; }
    bool generatorBlink() const { return GeneratorBlink; }

    // The fourteen displays that show "---" until the first status frame.
    const QList<LcdPanel *> &dataDisplays() const { return m_dataDisplays; }
    // The thirteen flag LEDs, in the order of StatusFlags().
    const QList<RectLed *> &flagLeds() const { return m_flagLeds; }

    // Mains phases and generator.
    AngularGauge *iAnalog_A = nullptr;
    AngularGauge *iAnalog_B = nullptr;
    AngularGauge *iAnalog_C = nullptr;
    AngularGauge *iAnalog_GU = nullptr;
    NumericDisplay *iDigital_A = nullptr;
    NumericDisplay *iDigital_B = nullptr;
    NumericDisplay *iDigital_C = nullptr;
    NumericDisplay *iDigital_GU = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;

    // Batteries.
    LinearGauge *iAnalog_ACC = nullptr;
    NumericDisplay *iDigital_ACC = nullptr;
    QLabel *Label5 = nullptr;
    LinearGauge *iAnalog_UPS = nullptr;
    NumericDisplay *iDigital_UPS = nullptr;
    QLabel *Label17 = nullptr;

    // GSM modem.
    LinearGauge *iAnalog_SignalStrength = nullptr;
    NumericDisplay *iDigital_SignalStrength = nullptr;
    QLabel *Label8 = nullptr;
    WrapLabel *iLabel_Carrier = nullptr;
    QLabel *Label9 = nullptr;

    // Temperature sensors 1 to 4; one caption over all four.
    LinearGauge *iAnalog_Temperature = nullptr;
    LinearGauge *iAnalog_Temperature2 = nullptr;
    LinearGauge *iAnalog_Temperature3 = nullptr;
    LinearGauge *iAnalog_Temperature4 = nullptr;
    NumericDisplay *iDigital_Temperature = nullptr;
    NumericDisplay *iDigital_Temperature2 = nullptr;
    NumericDisplay *iDigital_Temperature3 = nullptr;
    NumericDisplay *iDigital_Temperature4 = nullptr;
    QLabel *Label11 = nullptr;

    // Status column: counters, clock and flags.
    QLabel *Label6 = nullptr;
    TextDisplay *iEdit_Motoclock = nullptr;
    QLabel *Label7 = nullptr;
    TextDisplay *iEdit_TO = nullptr;
    QLabel *Label18 = nullptr;
    TextDisplay *iEdit_Time = nullptr;
    RectLed *iLed_THREE_LINE_FLAG = nullptr;
    RectLed *iLed_DIRECT_START_FLAG = nullptr;
    RectLed *iLed_SMART_START_FLAG = nullptr;
    RectLed *iLed_GU_FREQ_FLAG = nullptr;
    RectLed *iLed_TO_FLAG = nullptr;
    RectLed *iLed_ACC_VOLTAGE_CONTROL_FLAG = nullptr;
    RectLed *iLed_UPS_VOLTAGE_CONTROL_FLAG = nullptr;
    RectLed *iLed_WORK_SLEEP_FLAG = nullptr;
    RectLed *iLed_TEST_START_FLAG = nullptr;
    RectLed *iLed_SHORT_FLAG = nullptr;
    RectLed *iLed_GSM_ACTIVITY_FLAG = nullptr;
    RectLed *iLed_THERMO_FLAG = nullptr;
    RectLed *iLed_GPRS_FLAG = nullptr;

    // Operating mode and stage.
    WrapLabel *iLabel_Status = nullptr;
    QLabel *Label10 = nullptr;
    RectLed *iLed_Auto = nullptr;
    RectLed *iLed_Semiauto = nullptr;
    RectLed *iLed_Manual = nullptr;

Q_SIGNALS:
    // The controller reports automatic operation, semi-automatic or not.
    void automaticModeShown(bool semiauto);

private:
    void buildVoltages();
    void buildBatteries();
    void buildModem();
    void buildTemperatures();
    void buildStatusColumn();
    void buildMode();
    void showMode();

    TelemetryRecord m_record;
    bool GeneratorBlink = false;
    QList<LcdPanel *> m_dataDisplays;
    QList<RectLed *> m_flagLeds;
};

} // namespace gencfg
