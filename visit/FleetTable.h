#pragma once

// The fleet: one row per controller the visit archive knows, with its last
// visit, the engine hours and time to maintenance that visit's status frame
// showed, the alarms its last journal reading found newer than the visit
// before, and the parameters its last visit changed; soonest maintenance first.
// Shared by gencfg-cli fleet and the "Парк" dialog.

#include "visit/VisitArchive.h"

#include <QDateTime>
#include <QStringList>
#include <QVector>
#include <optional>

namespace gencfg {

struct FleetRow
{
    QString serial; // empty: the unset one
    quint8 variantCode = 0;
    QDateTime lastVisit;
    VisitKind kind = VisitKind::Read;
    QString technician;
    QString pc;
    std::optional<qint64> engineMinutes;      // at the last visit, when its status frame came
    std::optional<qint64> maintenanceMinutes; // engine minutes left until maintenance then
    QStringList alarms;                       // "hh:mm dd/mm text" as the journal lists them
    QStringList changed;                      // tree paths of the parameters the last visit changed

    // The earliest the maintenance can fall due: the engine running round the clock from the visit on.
    std::optional<QDateTime> dueBy() const;
    // Whole days from now until dueBy, negative when overdue.
    std::optional<qint64> dueInDays(const QDateTime &now) const;
};

// Every controller of the archive, soonest maintenance first; those without a status frame last.
// A visit dated in the future is never taken as last.
QVector<FleetRow> FleetRows(const VisitArchive &archive, const QDateTime &now = QDateTime::currentDateTime());
// Keeps the fleet's row of one controller beside its visits, as the fleet would on its next run, so that
// run reads none of them: for the window's visit when stored, for a sync's once per controller pulled.
void UpdateFleetIndex(const VisitArchive &archive, const QString &serial,
                      const QDateTime &now = QDateTime::currentDateTime());
// Those due within days of now, overdue ones included.
QVector<FleetRow> DueWithin(const QVector<FleetRow> &rows, qint64 days,
                            const QDateTime &now = QDateTime::currentDateTime());

// The alarm lines of a visit's journals dated after since; the year is the latest that puts them no later
// than the reading.
QStringList AlarmsAfter(const QString &journals, const QDateTime &readAt, const QDateTime &since);

// As gencfg-cli prints them: a tab-separated table with a heading line, CSV, or one JSON array.
QByteArray FleetText(const QVector<FleetRow> &rows, const QDateTime &now);
QByteArray FleetCsv(const QVector<FleetRow> &rows, const QDateTime &now);
QByteArray FleetJson(const QVector<FleetRow> &rows, const QDateTime &now);

} // namespace gencfg
