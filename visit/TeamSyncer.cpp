#include "visit/TeamSyncer.h"

namespace gencfg {

namespace {
constexpr int SyncIntervalMs = 5 * 60 * 1000;
}

TeamSyncer::TeamSyncer(QObject *parent) : QObject(parent)
{
    m_worker.setMaxThreadCount(1);
    m_timer.setInterval(SyncIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &TeamSyncer::syncSoon);
}

TeamSyncer::~TeamSyncer()
{
    m_worker.waitForDone();
}

QString TeamSyncer::WaitingText(int pending)
{
    return tr("Архив команды: %1 визитов ждут отправки").arg(pending);
}

void TeamSyncer::start(const TeamArchive &team)
{
    m_team = team;
    m_timer.start();
    syncSoon();
}

void TeamSyncer::syncSoon()
{
    if (!m_team)
        return;
    if (m_running) {
        m_again = true;
        return;
    }
    m_running = true;
    const TeamArchive team = *m_team;
    m_worker.start([this, team] {
        const TeamSyncResult result = team.sync();
        // The syncer outlives its worker's run: the destructor waits for it.
        QMetaObject::invokeMethod(
            this, [this, result] { finished(result); }, Qt::QueuedConnection);
    });
}

void TeamSyncer::finished(const TeamSyncResult &result)
{
    m_running = false;
    if (m_pending != result.pending) {
        m_pending = result.pending;
        Q_EMIT pendingChanged(m_pending);
    }
    if (!result.error.isEmpty() && m_pending > 0)
        Q_EMIT message(WaitingText(m_pending));
    else if (!result.skipped.isEmpty())
        Q_EMIT message(tr("Архив команды: не приняты визиты (%1): %2")
                           .arg(result.skipped.size())
                           .arg(result.skipped.first()));
    Q_EMIT synced(result);
    if (m_again) {
        m_again = false;
        syncSoon();
    }
}

} // namespace gencfg
