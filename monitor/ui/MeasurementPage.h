#pragma once

// The "Измерения" page: the live measurements of the controller's status frame.

#include "config/ConfigImage.h"
#include "link/DeviceLink.h"
#include "monitor/Telemetry.h"

#include <QWidget>

namespace gencfg {

class SwitchLed;

class MeasurementPage : public QWidget
{
    Q_OBJECT
public:
    explicit MeasurementPage(QWidget *parent = nullptr);

    // The mode switches of the "Дополнительно" page, which the status frame drives.
    void setModeSwitches(SwitchLed *autoSwitch, SwitchLed *semiautoSwitch);

    void ResetMeasurementDisplays();
    void ClearDisplayErrors();
    void DecodeStatusFrame(const RxBuffer &rxBytes);
    void ShowTelemetry();
    void Timer3Timer();
    void ShowThresholdsOnGauges(const ConfigImageBytes &image);

    const TelemetryRecord &telemetry() const { return m_record; }
    bool generatorBlink() const { return GeneratorBlink; }

private:
    TelemetryRecord m_record;
    bool GeneratorBlink = false;
    SwitchLed *m_autoSwitch = nullptr;
    SwitchLed *m_semiautoSwitch = nullptr;
};

} // namespace gencfg
