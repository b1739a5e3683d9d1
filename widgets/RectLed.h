#pragma once

#include "widgets/Led.h"
#include "widgets/PaintCache.h"

namespace gencfg {

// A rectangular lamp with its caption in the middle.
class RectLed : public Led
{
    Q_OBJECT
    Q_PROPERTY(QColor inactiveColor READ inactiveColor WRITE setInactiveColor NOTIFY inactiveColorChanged)

public:
    explicit RectLed(QWidget *parent = nullptr);
    explicit RectLed(const QString &caption, QWidget *parent = nullptr);

    QColor inactiveColor() const { return m_inactiveColor; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public Q_SLOTS:
    void setInactiveColor(const QColor &color);

Q_SIGNALS:
    void inactiveColorChanged(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void paintLamp(QPainter &p, bool lit, const QColor &fill) const;

    // The whole lamp with its caption, kept once dark and once lit so a flag changing only
    // swaps the pictures; each remembers the caption and colour it was painted with.
    struct Lamp
    {
        PaintCache picture;
        QString caption;
        QColor fill;
    };

    QColor m_inactiveColor{52, 72, 56};
    Lamp m_lamps[2];
};

} // namespace gencfg
