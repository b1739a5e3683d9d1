// The per-unit values reader over arbitrary content: it either refuses the file
// naming why, or gives rows of exactly as many cells as parameter columns, each
// key once; and planning a unit with any row it gives never writes outside the
// blocks it names nor past the read-only fields.

#include "config/ConfigTransfer.h"
#include "config/CsvCells.h"
#include "config/UnitPlan.h"
#include "config/UnitValues.h"

#include <QSet>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace gencfg;
    const QByteArray content(reinterpret_cast<const char *>(data), int(size));
    const UnitValuesRead read = ParseUnitValues(content, QStringLiteral("units.csv"));
    if (!read.values) {
        if (!read.error.startsWith(QLatin1String("units.csv")))
            std::abort();
        return 0;
    }
    const UnitValues &values = *read.values;
    QSet<QString> keys;
    for (const UnitRow &row : values.rows) {
        if (row.cells.size() != values.paths.size() || row.key.isEmpty() || keys.contains(row.key))
            std::abort();
        keys.insert(row.key);
        // A cell written back reads as itself.
        for (const QString &cell : row.cells) {
            QVector<CsvRecord> records;
            int badLine = 0;
            if (!SplitCsvRecords(QStringLiteral("k,") + CsvCell(cell), QLatin1Char(','), records, badLine) ||
                records.size() != 1 || records.first().cells.value(1) != cell)
                std::abort();
        }
    }
    const ConfigImageBytes unit = DefaultConfigImage(DeviceVariant::Diesel);
    for (const UnitRow &row : values.rows) {
        const UnitPlan plan = PlanUnit(unit, DeviceVariant::Diesel, &values, &row, unit);
        if (!plan.error.isEmpty())
            continue;
        for (int address = 0; address < MemoryMap::Size; ++address) {
            if (plan.wanted[size_t(address)] == unit[size_t(address)])
                continue;
            const bool readOnly = address < MemoryMap::EngineMinutesSize ||
                                  (address >= MemoryMap::SuccessfulSends && address < MemoryMap::ReadOnlyEnd);
            if (readOnly || !plan.blocks[size_t(address / MemoryMap::BlockSize)])
                std::abort();
        }
    }
    return 0;
}
