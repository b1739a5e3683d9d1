#pragma once

// A generated fleet in a folder archive: controllers × visits each, the last
// visit of controller k k % 90 days before now, its status frame's time to
// maintenance spread over 0..64 days, one journal reading before the last
// visit with alarms on both sides of the visit before it.

#include "config/ConfigImage.h"
#include "config/ConfigTransfer.h"
#include "config/MemoryMap.h"
#include "visit/FleetTable.h"
#include "visit/VisitArchive.h"

#include <QJsonObject>

namespace gencfg::test {

struct GeneratedController
{
    QString serial;
    QDateTime lastVisit;
    qint64 maintenanceMinutes = 0;
};

inline QString FleetSerial(int k)
{
    return QStringLiteral("F%1").arg(k, 7, 10, QLatin1Char('0'));
}

inline ConfigImageBytes FleetImage(const QString &serial, int visit)
{
    ConfigImageBytes image = BlankImage();
    image[100] = quint8(visit);
    const QByteArray bytes = serial.toLatin1();
    for (int i = 0; i < MemoryMap::SerialNumberSize; ++i)
        image[size_t(MemoryMap::SerialNumber + i)] = i < bytes.size() ? quint8(bytes.at(i)) : quint8(' ');
    return image;
}

// Writes the fleet into archive; returns each controller as the test expects to see it, or nothing on
// failure.
inline QVector<GeneratedController> GenerateFleet(const VisitArchive &archive, int controllers, int visits,
                                                  const QDateTime &now)
{
    QVector<GeneratedController> made;
    for (int k = 0; k < controllers; ++k) {
        GeneratedController controller{FleetSerial(k), now.addSecs(-qint64(k % 90) * 86400 - 3600),
                                       qint64(k * 7919 % 64) * 1440 + k % 1440};
        for (int i = 0; i < visits; ++i) {
            const int age = visits - 1 - i; // 0: the last visit
            Visit visit;
            visit.time = controller.lastVisit.addDays(-30 * age);
            visit.kind = age == 0 && k % 2 ? VisitKind::Write
                         : age == 1        ? VisitKind::Journals
                                           : VisitKind::Read;
            visit.variantCode = quint8(200 + k % 3);
            visit.serial = controller.serial;
            visit.programVersion = QStringLiteral("2.0.0");
            visit.image = FleetImage(controller.serial, i);
            visit.technician = k % 2 ? QStringLiteral("Иванов") : QStringLiteral("Петров");
            visit.pc = QStringLiteral("pc-%1").arg(k % 4);
            visit.status = QJsonObject{
                {QStringLiteral("motoclock_minutes"), 600 * i + k},
                {QStringLiteral("maintenance_minutes"), age == 0 ? controller.maintenanceMinutes : 30000}};
            if (age == 1) {
                // One alarm before the visit before this reading, one after it.
                const QDateTime before = visit.time.addDays(-31), after = visit.time.addDays(-2);
                visit.journals = QStringLiteral("Журнал событий\n%1 Пуск\n\nЖурнал аварий\n%2 Старая авария\n"
                                                "%3 Нет топлива\n-- запись 3 не прочитана --\n")
                                     .arg(before.toString(QStringLiteral("HH:mm dd/MM")),
                                          before.toString(QStringLiteral("HH:mm dd/MM")),
                                          after.toString(QStringLiteral("HH:mm dd/MM")));
            }
            if (!archive.store(visit).isEmpty())
                return {};
        }
        // As a sync leaves a controller it pulled: its fleet row kept beside its visits.
        UpdateFleetIndex(archive, controller.serial, now);
        made.append(controller);
    }
    return made;
}

} // namespace gencfg::test
