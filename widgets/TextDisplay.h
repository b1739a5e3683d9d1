#pragma once

#include "widgets/LcdPanel.h"

namespace gencfg {

// A line of text on the LCD-like panel ("12ч 13м", "09:05:30").
class TextDisplay : public LcdPanel
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)

public:
    explicit TextDisplay(QWidget *parent = nullptr);

    // The text set, shown unless ErrorActive; shownText() is what is on screen.
    QString text() const { return m_text; }

public Q_SLOTS:
    void setText(const QString &text);

Q_SIGNALS:
    void textChanged(const QString &text);

protected:
    QString valueText() const override { return m_text; }

private:
    QString m_text;
};

} // namespace gencfg
