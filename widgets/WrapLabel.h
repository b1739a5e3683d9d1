#pragma once

#include "widgets/PaintCache.h"

#include <QWidget>

namespace gencfg {

// A caption centred in its rectangle and wrapped at word boundaries; "\n\r" in the caption
// starts a new line. The font shrinks when the text would not fit. The accessible
// description is the caption on one line.
class WrapLabel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption NOTIFY captionChanged)

public:
    explicit WrapLabel(QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    // The caption as painted: lines broken by "\n", no carriage returns.
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public Q_SLOTS:
    void setCaption(const QString &caption);

Q_SIGNALS:
    void captionChanged(const QString &caption);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QString m_caption;
    // Wrapping and fitting the caption is the costly part, so the painted caption is kept.
    PaintCache m_text;
    QColor m_textInk;
};

} // namespace gencfg
