#include "widgets/NumericDisplay.h"

#include <QLocale>
#include <cmath>

namespace gencfg {

NumericDisplay::NumericDisplay(QWidget *parent) : LcdPanel(parent)
{
    setAccessibleName(tr("Цифровой индикатор"));
    refresh();
}

QString NumericDisplay::valueText() const
{
    double shown = m_value;
    if (std::abs(shown) < 0.5 * std::pow(10.0, -m_precision))
        shown = 0; // a reading that rounds to zero shows as 0, never -0
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(shown, 'f', m_precision).trimmed() + m_unitsText;
}

void NumericDisplay::setValue(double value)
{
    if (std::isfinite(value))
        change(m_value, value, &NumericDisplay::valueChanged);
}

void NumericDisplay::setPrecision(int decimals)
{
    change(m_precision, qBound(0, decimals, 10), &NumericDisplay::precisionChanged);
}

void NumericDisplay::setUnitsText(const QString &units)
{
    change(m_unitsText, units, &NumericDisplay::unitsTextChanged);
}

} // namespace gencfg
