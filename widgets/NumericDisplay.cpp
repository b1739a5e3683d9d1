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
    if (!std::isfinite(value) || value == m_value)
        return;
    m_value = value;
    refresh();
    Q_EMIT valueChanged(m_value);
}

void NumericDisplay::setPrecision(int decimals)
{
    decimals = qBound(0, decimals, 10);
    if (decimals == m_precision)
        return;
    m_precision = decimals;
    refresh();
    Q_EMIT precisionChanged(m_precision);
}

void NumericDisplay::setUnitsText(const QString &units)
{
    if (units == m_unitsText)
        return;
    m_unitsText = units;
    refresh();
    Q_EMIT unitsTextChanged(m_unitsText);
}

} // namespace gencfg
