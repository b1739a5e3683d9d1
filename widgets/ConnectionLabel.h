#pragma once

// The status bar's connection panel: port, adapter and state, shortened to
// its width with the whole text in its tooltip and for assistive technology.

#include <QLabel>

namespace gencfg {

class ConnectionState;

class ConnectionLabel : public QLabel
{
    Q_OBJECT
public:
    // Never wider than this: the status bar's transfer text needs the room more.
    static constexpr int MaxWidth = 220;

    explicit ConnectionLabel(const ConnectionState &state, QWidget *parent = nullptr);

    // The whole text, however much of it fits.
    QString fullText() const { return m_fullText; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void showText(const QString &text);
    void fitText();

    QString m_fullText;
};

} // namespace gencfg
