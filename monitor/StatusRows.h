#pragma once

// A decoded status frame as captions and values, as the measurement page shows
// them: for gencfg-cli's status text and the visit report.

#include "monitor/Telemetry.h"

#include <QList>
#include <QPair>
#include <QString>

namespace gencfg {

// The texts the page keeps between frames when a frame leaves them unchanged.
struct ShownTexts
{
    QString status;
    QString mode;
    QString registration;
};

// Updates shown from record, as the page would, then lists every display: caption and value.
QList<QPair<QString, QString>> StatusRows(const TelemetryRecord &record, ShownTexts &shown);
// The thirteen flags as words, each ticked (☑) or not (☐).
QString FlagWords(const TelemetryRecord &record);

} // namespace gencfg
