#include "widgets/InstrumentAccessibility.h"

#include "widgets/SwitchLed.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace gencfg {

namespace {

class SwitchLedAccessible : public QAccessibleWidget
{
public:
    explicit SwitchLedAccessible(SwitchLed *led) : QAccessibleWidget(led, QAccessible::CheckBox) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = led()->isActive();
        return s;
    }

    QStringList actionNames() const override
    {
        return QAccessibleWidget::actionNames() << pressAction() << toggleAction();
    }

    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction() || actionName == toggleAction())
            led()->click();
        else
            QAccessibleWidget::doAction(actionName);
    }

private:
    SwitchLed *led() const { return static_cast<SwitchLed *>(widget()); }
};

QAccessibleInterface *instrumentInterface(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (className == QLatin1String("gencfg::SwitchLed"))
        return new SwitchLedAccessible(static_cast<SwitchLed *>(widget));
    if (className == QLatin1String("gencfg::ScaleGauge") || className == QLatin1String("gencfg::RectLed"))
        return new QAccessibleWidget(widget, QAccessible::Indicator);
    if (className == QLatin1String("gencfg::LcdPanel") || className == QLatin1String("gencfg::WrapLabel"))
        return new QAccessibleWidget(widget, QAccessible::StaticText);
    return nullptr;
}

} // namespace

void installInstrumentAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(instrumentInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace gencfg
