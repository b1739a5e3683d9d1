// The visit report with full journals and the whole diesel parameter tree:
// the time to lay it out and write it as PDF, and its size.

#include "BenchSupport.h"
#include "config/ConfigImage.h"
#include "config/ParamModel.h"
#include "monitor/JournalBook.h"
#include "report/VisitReport.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>

using namespace gencfg;
using namespace gencfg::bench;

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const int runs = argc > 1 ? QByteArray(argv[1]).toInt() : 20;

    ParamModel tree;
    LoadVariantTree(DeviceVariant::Diesel, tree);
    const ConfigImageBytes arrival = DefaultConfigImage(DeviceVariant::Diesel);
    DecodeConfigImage(arrival, tree);
    tree.setValue(3, QStringLiteral("190"));
    JournalBook journals;
    for (int i = 0; i < EventJournalEntries; ++i)
        journals.addRecord(EventJournal, i,
                           JournalRecordFromData(QByteArray::fromHex("1405231100") + char(i % 18)));
    for (int i = 0; i < AlarmJournalEntries; ++i)
        journals.addRecord(AlarmJournal, i,
                           JournalRecordFromData(QByteArray::fromHex("10152006") + char(11 + i % 7)));
    TelemetryRecord status;
    status.VariantCode = quint8(DeviceVariant::Diesel);
    status.VoltageA = 226;

    VisitReportInput input;
    input.variantCode = quint8(DeviceVariant::Diesel);
    input.serial = QStringLiteral("21070415");
    input.time = QDateTime::currentDateTime();
    input.programVersion = QStringLiteral(GENCFG_VERSION);
    input.notes = QStringLiteral("Заменён аккумулятор ГУ; проверен запуск под нагрузкой.");
    input.status = status;
    input.tree = &tree;
    input.arrival = arrival;
    input.writeProven = input.time;
    input.journals = &journals;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    std::vector<double> ms;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        if (const QString failure = WriteVisitReportPdf(input, path); !failure.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(failure));
            return 1;
        }
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    QFile pdf(path);
    std::printf("report with full journals (%d events, %d alarms, %d parameter rows): median %.1f ms, "
                "max %.1f ms over %d runs\n",
                EventJournalEntries, AlarmJournalEntries, tree.nodeCount(), percentile(ms, 50),
                percentile(ms, 100), runs);
    std::printf("report size: %.1f KB\n", double(pdf.size()) / 1024.0);
    return 0;
}
