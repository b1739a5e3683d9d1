#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QVector>

namespace gencfg {

// One of the controller's journals: a fixed number of 5-byte records (BCD
// hour, minute, day, month, then the code), oldest first. Past the last
// record the controller answers with an end record.
class ControllerJournal
{
public:
    static constexpr quint8 EndCode = 0xFF;

    explicit ControllerJournal(int capacity) : m_capacity(capacity) {}

    int capacity() const { return m_capacity; }
    int size() const { return int(m_records.size()); }
    void clear() { m_records.clear(); }

    // A full journal drops its oldest record.
    void append(const QDateTime &when, quint8 code);
    void appendRaw(const QByteArray &record);

    // The record at index, or the end record (all bytes EndCode) past the last.
    QByteArray record(int index) const;

    // Fills every slot with valid codes taken in turn from codes, the newest
    // record at newest and each earlier one a little before it.
    void fill(const QDateTime &newest, const QVector<quint8> &codes);

    static QByteArray makeRecord(const QDateTime &when, quint8 code);

private:
    int m_capacity = 0;
    QVector<QByteArray> m_records;
};

} // namespace gencfg
