#pragma once

#include <QColor>
#include <QWidget>

namespace gencfg {

// A rectangular lamp with its caption in the middle; a caption may span two lines.
// Its accessible name follows the caption and its description is "вкл." or "выкл.".
class RectLed : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool Active READ isActive WRITE setActive NOTIFY activeChanged)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption NOTIFY captionChanged)
    Q_PROPERTY(QColor ActiveColor READ activeColor WRITE setActiveColor NOTIFY colorsChanged)
    Q_PROPERTY(QColor InactiveColor READ inactiveColor WRITE setInactiveColor NOTIFY colorsChanged)

public:
    explicit RectLed(QWidget *parent = nullptr);
    explicit RectLed(const QString &caption, QWidget *parent = nullptr);

    bool isActive() const { return m_active; }
    QString caption() const { return m_caption; }
    // The caption as painted: lines broken by "\n", no carriage returns.
    QString shownCaption() const;
    QColor activeColor() const { return m_activeColor; }
    QColor inactiveColor() const { return m_inactiveColor; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    void setActive(bool active);
    void setCaption(const QString &caption);
    void setActiveColor(const QColor &color);
    void setInactiveColor(const QColor &color);

signals:
    void activeChanged(bool active);
    void captionChanged(const QString &caption);
    void colorsChanged();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_active = false;
    QString m_caption;
    QColor m_activeColor{40, 230, 60};
    QColor m_inactiveColor{52, 72, 56};
};

} // namespace gencfg
