#pragma once

#include "widgets/LcdPanel.h"

namespace gencfg {

// A number with a fixed count of decimals in the locale's notation, immediately followed by
// UnitsText: 220В, 13.6В (13,6В with a comma locale), 24.5 В, -87дБм, -10 C.
class NumericDisplay : public LcdPanel
{
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(int precision READ precision WRITE setPrecision NOTIFY precisionChanged)
    Q_PROPERTY(QString unitsText READ unitsText WRITE setUnitsText NOTIFY unitsTextChanged)

public:
    explicit NumericDisplay(QWidget *parent = nullptr);

    double value() const { return m_value; }
    int precision() const { return m_precision; }
    QString unitsText() const { return m_unitsText; }
    // The text shown now, the error text included.
    QString text() const { return shownText(); }

public Q_SLOTS:
    // Non-finite values are ignored.
    void setValue(double value);
    // Decimals after the separator, 0 to 10.
    void setPrecision(int decimals);
    void setUnitsText(const QString &units);

Q_SIGNALS:
    void valueChanged(double value);
    void precisionChanged(int decimals);
    void unitsTextChanged(const QString &units);

protected:
    QString valueText() const override;

private:
    double m_value = 0;
    int m_precision = 0;
    QString m_unitsText;
};

} // namespace gencfg
