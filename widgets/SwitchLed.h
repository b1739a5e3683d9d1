#pragma once

#include <QColor>
#include <QWidget>

namespace gencfg {

// A push button with a round lamp and a caption; each click turns the lamp on or off.
//
// Signals:
//  - activeChanged(bool): the lamp changed, by the user or by setActive().
//  - clicked(): the user clicked it (mouse, Space, or an assistive action), after the lamp flipped.
//  - changed(bool): the user changed it; emitted right after clicked() with the new state.
// setActive() emits only activeChanged(), so code that mirrors a device state does not
// send it back to the device.
class SwitchLed : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool Active READ isActive WRITE setActive NOTIFY activeChanged)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption NOTIFY captionChanged)
    Q_PROPERTY(QColor ActiveColor READ activeColor WRITE setActiveColor NOTIFY activeColorChanged)

public:
    explicit SwitchLed(QWidget *parent = nullptr);
    explicit SwitchLed(const QString &caption, QWidget *parent = nullptr);

    bool isActive() const { return m_active; }
    QString caption() const { return m_caption; }
    // The caption as painted: lines broken by "\n", no carriage returns.
    QString shownCaption() const;
    QColor activeColor() const { return m_activeColor; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    void setActive(bool active);
    void setCaption(const QString &caption);
    void setActiveColor(const QColor &color);
    // Does what a user click does: flips the lamp and emits clicked() and changed().
    void click();

signals:
    void activeChanged(bool active);
    void clicked();
    void changed(bool active);
    void captionChanged(const QString &caption);
    void activeColorChanged(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool applyActive(bool active);
    void setDown(bool down);

    bool m_active = false;
    bool m_down = false;
    QString m_caption;
    QColor m_activeColor{40, 230, 60};
};

} // namespace gencfg
