#pragma once

#include "widgets/FitText.h"
#include "widgets/PaintCache.h"

#include <QWidget>

namespace gencfg {

// A dark, LCD-like panel showing one line of light text. While ErrorActive is set it shows
// ErrorText instead, red and bold on black. The accessible description is the shown text.
class LcdPanel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool errorActive READ errorActive WRITE setErrorActive NOTIFY errorActiveChanged)
    Q_PROPERTY(QString errorText READ errorText WRITE setErrorText NOTIFY errorTextChanged)

public:
    bool errorActive() const { return m_errorActive; }
    QString errorText() const { return m_errorText; }
    // The text on the panel now: the error text or the value text.
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public Q_SLOTS:
    void setErrorActive(bool active);
    void setErrorText(const QString &text);

Q_SIGNALS:
    void errorActiveChanged(bool active);
    void errorTextChanged(const QString &text);

protected:
    explicit LcdPanel(QWidget *parent = nullptr);

    virtual QString valueText() const = 0;
    // Call after anything valueText() depends on has changed.
    void refresh();
    // Sets field to value and, when that changed it, refreshes the panel and emits changed.
    template <typename Panel, typename T, typename Arg>
    void change(T &field, const T &value, void (Panel::*changed)(Arg))
    {
        if (value == field)
            return;
        field = value;
        refresh();
        Q_EMIT(static_cast<Panel *>(this)->*changed)(field);
    }
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_errorActive = false;
    QString m_errorText = QStringLiteral("---");
    // What refresh() last put on screen, so one that changes neither the text nor its look
    // repaints nothing.
    QString m_shown;
    bool m_shownAsError = false;
    PaintCache m_glass;
    FittedFontCache m_fit;
};

} // namespace gencfg
