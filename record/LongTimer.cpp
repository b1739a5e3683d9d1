#include "record/LongTimer.h"

namespace gencfg {

LongTimer::LongTimer(QObject *parent) : QObject(parent)
{
    m_stretch.setSingleShot(true);
    m_stretch.setTimerType(Qt::PreciseTimer);
    connect(&m_stretch, &QTimer::timeout, this, [this] {
        if (m_deadline.hasExpired())
            Q_EMIT timeout();
        else
            armNextStretch();
    });
}

void LongTimer::start(qint64 ms)
{
    m_deadline = QDeadlineTimer(qMax<qint64>(0, ms), Qt::PreciseTimer);
    armNextStretch();
}

void LongTimer::stop()
{
    m_stretch.stop();
}

qint64 LongTimer::remainingMs() const
{
    return isActive() ? m_deadline.remainingTime() : 0;
}

void LongTimer::armNextStretch()
{
    m_stretch.start(int(qMin<qint64>(m_deadline.remainingTime(), m_longestStretchMs)));
}

} // namespace gencfg
