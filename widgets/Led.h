#pragma once

#include <QColor>
#include <QWidget>

namespace gencfg {

// What the lamps share: a lit state, a caption that may span two lines, and
// the colour of the lit lamp. The accessible name follows the caption and the
// description is "вкл." or "выкл.".
class Led : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool active READ isActive WRITE setActive NOTIFY activeChanged)
    Q_PROPERTY(QString caption READ caption WRITE setCaption NOTIFY captionChanged)
    Q_PROPERTY(QColor activeColor READ activeColor WRITE setActiveColor NOTIFY activeColorChanged)

public:
    bool isActive() const { return m_active; }
    QString caption() const { return m_caption; }
    // The caption as painted: lines broken by "\n", no carriage returns.
    QString shownCaption() const;
    QColor activeColor() const { return m_activeColor; }

public Q_SLOTS:
    void setActive(bool active);
    void setCaption(const QString &caption);
    void setActiveColor(const QColor &color);

Q_SIGNALS:
    void activeChanged(bool active);
    void captionChanged(const QString &caption);
    void activeColorChanged(const QColor &color);

protected:
    Led(const QString &caption, QWidget *parent);
    // Lights or darkens the lamp; true when that changed anything.
    bool applyActive(bool active);

private:
    bool m_active = false;
    QString m_caption;
    QColor m_activeColor{40, 230, 60};
};

} // namespace gencfg
