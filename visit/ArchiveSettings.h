#pragma once

// Where this PC keeps its visits and whom it shares them with: the [archive]
// section of the settings file, read by the window and gencfg-cli alike.
// Credentials are never here: libpq takes them from ~/.pgpass, its service
// file or the environment.

#include "visit/VisitArchive.h"

namespace gencfg {

struct ArchiveSettings
{
    bool enabled = true;
    QString folder;       // the visit archive's folder; empty for the one in the data folder
    QString server;       // postgresql://HOST[:PORT]/DB?sslmode=…; empty for none
    QString technician;   // the name kept with each visit
    QString pc;           // this computer's name, kept with each visit
    bool pullAll = false; // pull every controller's visits, not only those this PC has met

    static ArchiveSettings Read();
    // Keeps the technician's name for every later visit.
    static void StoreTechnician(const QString &name);
    // The team's history names who made each visit: a PC sharing it without a name asks for one.
    bool asksTechnician() const { return enabled && !server.isEmpty() && technician.isEmpty(); }
    VisitArchive archive() const
    {
        return VisitArchive(folder.isEmpty() ? VisitArchive::DefaultRoot() : folder);
    }
};

} // namespace gencfg
