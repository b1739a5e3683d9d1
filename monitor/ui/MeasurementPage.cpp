#include "monitor/ui/MeasurementPage.h"

namespace gencfg {

MeasurementPage::MeasurementPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet1"));
}

void MeasurementPage::setModeSwitches(SwitchLed *autoSwitch, SwitchLed *semiautoSwitch)
{
    m_autoSwitch = autoSwitch;
    m_semiautoSwitch = semiautoSwitch;
}

void MeasurementPage::ResetMeasurementDisplays() {}

void MeasurementPage::ClearDisplayErrors() {}

void MeasurementPage::DecodeStatusFrame(const RxBuffer &rxBytes)
{
    m_record = gencfg::DecodeStatusFrame(rxBytes);
}

void MeasurementPage::ShowTelemetry() {}

void MeasurementPage::Timer3Timer() {}

void MeasurementPage::ShowThresholdsOnGauges(const ConfigImageBytes &) {}

} // namespace gencfg
