#include "sim/ControllerJournal.h"

#include "link/FrameCodec.h"

namespace gencfg {

void ControllerJournal::append(const QDateTime &when, quint8 code)
{
    appendRaw(makeRecord(when, code));
}

void ControllerJournal::appendRaw(const QByteArray &record)
{
    if (m_capacity <= 0)
        return;
    if (m_records.size() >= m_capacity)
        m_records.removeFirst();
    m_records.append(record.left(5).leftJustified(5, char(EndCode)));
}

QByteArray ControllerJournal::record(int index) const
{
    if (index < 0 || index >= m_records.size())
        return QByteArray(5, char(EndCode));
    return m_records.at(index);
}

void ControllerJournal::fill(const QDateTime &newest, const QVector<quint8> &codes)
{
    m_records.clear();
    if (codes.isEmpty())
        return;
    for (int i = 0; i < m_capacity; ++i) {
        const int age = m_capacity - 1 - i;
        append(newest.addSecs(-qint64(age) * 37 * 60), codes.at(i % codes.size()));
    }
}

QByteArray ControllerJournal::makeRecord(const QDateTime &when, quint8 code)
{
    const QTime time = when.time();
    const QDate date = when.date();
    QByteArray record(5, '\0');
    record[0] = char(ByteToBcd(quint8(time.hour())));
    record[1] = char(ByteToBcd(quint8(time.minute())));
    record[2] = char(ByteToBcd(quint8(date.day())));
    record[3] = char(ByteToBcd(quint8(date.month())));
    record[4] = char(code);
    return record;
}

} // namespace gencfg
