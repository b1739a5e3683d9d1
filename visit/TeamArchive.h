#pragma once

// The team's archive on a PostgreSQL server (tools/team-archive.sql), synced
// with this PC's folder archive as a set union: the server gets the visits it
// lacks, the folder gets the server's visits of the controllers this PC has met.
// Every visit is identified by (serial, time, PC, kind), so a visit pushed or
// pulled twice is kept once. A sync blocks on the network: run it on a worker
// thread; each run opens and closes a connection of its own.

#include "visit/VisitArchive.h"

#include <QSet>

namespace gencfg {

// The schema version this program reads and writes; a newer server is refused.
constexpr int TeamSchemaVersion = 1;
// Visits sent in one transaction: a push cut short loses at most this batch, never half a visit.
constexpr int TeamPushBatch = 200;

// postgresql://HOST[:PORT]/DB?key=value&…, the libpq keys (sslmode, host for a socket folder, service…)
// passed on as they are. No password: libpq finds it.
struct TeamServer
{
    QString host;
    int port = -1;
    QString database;
    QStringList options; // key=value
    // Nothing, with error filled in, for a text that is no such URL or carries a password.
    static std::optional<TeamServer> Parse(const QString &url, QString &error);
};

struct TeamSyncResult
{
    bool reached = false; // the server answered and its schema is one this program knows
    int pushed = 0;
    int pulled = 0;
    int pending = 0;     // local visits the server is not known to hold, after the run
    QStringList skipped; // server visits not taken, each named with why
    QString error;       // why the sync stopped; empty when it finished
};

// A visit's identity: the same on every PC that holds it.
QString VisitIdentity(const Visit &visit);

class TeamArchive
{
public:
    // statePath: where the identities known to be on the server are remembered, for the pending count.
    TeamArchive(VisitArchive local, TeamServer server, QString pc, bool pullAll,
                QString statePath = DefaultStatePath());
    static QString DefaultStatePath();

    TeamSyncResult sync() const;
    // Local visits the server is not known to hold; needs no network.
    int pendingCount() const;

private:
    QVector<Visit> localVisits() const;
    QSet<QString> rememberedOnServer() const;
    VisitArchive m_local;
    TeamServer m_server;
    QString m_pc;
    bool m_pullAll = false;
    QString m_statePath;
};

} // namespace gencfg
