// Journal lines from arbitrary records: always the time stamp, then the text.

#include "monitor/Journal.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 6)
        return 0;
    const gencfg::JournalSelector journal = data[0] % 2 ? gencfg::AlarmJournal : gencfg::EventJournal;
    const gencfg::JournalRecord record =
        gencfg::JournalRecordFromData(QByteArray(reinterpret_cast<const char *>(data + 1), 5));
    const QString line = gencfg::JournalLine(journal, record);
    if (line.size() < 12 || line.at(2) != QLatin1Char(':') || line.at(8) != QLatin1Char('/'))
        std::abort();
    return 0;
}
