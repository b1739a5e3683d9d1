#pragma once

// The controller's event and alarm journals: one five-byte entry per request,
// listed as "hh:mm dd/mm text" lines.

#include "link/TextUse.h"

#include <QByteArray>
#include <QString>

namespace gencfg {

enum JournalSelector : quint8 { EventJournal = 0, AlarmJournal = 1 };

constexpr int EventJournalEntries = 105;
constexpr int AlarmJournalEntries = 50;

// Bytes 0..3 packed BCD hour, minute, day, month; byte 4 the event code.
struct JournalRecord
{
    quint8 bytes[5] = {};

    quint8 code() const { return bytes[4]; }
};

// The first five bytes of a reply's data; missing bytes read as 0.
JournalRecord JournalRecordFromData(const QByteArray &data);

// The data of a CMD_JOURNAL_RECORD request: [selector, index].
QByteArray JournalRequestData(JournalSelector journal, quint8 index);

// How many indices of a journal are read.
int JournalEntryCount(JournalSelector journal);

bool IsJournalEnd(quint8 code);

// The text after the time stamp: "код N" for codes 18 and 19, and 10 in the alarm journal;
// empty for the other codes below 11 in the alarm journal and for the end codes.
QString JournalText(JournalSelector journal, quint8 code, TextUse use = TextUse::Shown);

// "hh:mm dd/mm text", with "--" for a stamp field that is no valid time.
QString JournalLine(JournalSelector journal, const JournalRecord &record);

// "Журнал событий" or "Журнал аварий".
QString JournalCaption(JournalSelector journal, TextUse use = TextUse::Shown);

} // namespace gencfg
