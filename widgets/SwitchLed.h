#pragma once

#include "widgets/FitText.h"
#include "widgets/Led.h"

namespace gencfg {

// A push button with a round lamp and a caption; each click turns the lamp on or off.
//
// Signals:
//  - activeChanged(bool): the lamp changed, by the user or by setActive().
//  - clicked(): the user clicked it (mouse, Space, or an assistive action), after the lamp flipped.
//  - changed(bool): the user changed it; emitted right after clicked() with the new state.
// setActive() emits only activeChanged(), so code that mirrors a device state does not
// send it back to the device.
class SwitchLed : public Led
{
    Q_OBJECT

public:
    explicit SwitchLed(QWidget *parent = nullptr);
    explicit SwitchLed(const QString &caption, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The font the caption is painted in: the widget's own, smaller only when the caption
    // does not fit beside the lamp even on two lines.
    QFont captionFont() const;

public Q_SLOTS:
    // Does what a user click does: flips the lamp and emits clicked() and changed().
    void click();

Q_SIGNALS:
    void clicked();
    void changed(bool active);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void setDown(bool down);
    QRectF captionBox() const;

    bool m_down = false;
    mutable FittedFontCache m_fit;
};

} // namespace gencfg
