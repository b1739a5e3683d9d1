#pragma once

// A single shot after any number of milliseconds. A QTimer holds at most
// 2^31 ms (24.8 days), so a longer wait goes in stretches towards one deadline.

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>
#include <limits>

namespace gencfg {

class LongTimer : public QObject
{
    Q_OBJECT
public:
    explicit LongTimer(QObject *parent = nullptr);

    void start(qint64 ms);
    void stop();
    bool isActive() const { return m_stretch.isActive(); }
    // Milliseconds until the shot; 0 when it is not armed.
    qint64 remainingMs() const;
    // The longest stretch waited at once; tests make it short.
    void setLongestStretchMs(int ms) { m_longestStretchMs = qMax(1, ms); }

Q_SIGNALS:
    void timeout();

private:
    void armNextStretch();

    QTimer m_stretch;
    QDeadlineTimer m_deadline;
    int m_longestStretchMs = std::numeric_limits<int>::max();
};

} // namespace gencfg
