#pragma once

// Keeps the window's visits in step with the team archive: a sync on start,
// after each visit kept and every few minutes, each on a worker thread with a
// connection of its own, so the network never holds up the window.

#include "visit/TeamArchive.h"

#include <QObject>
#include <QThreadPool>
#include <QTimer>

namespace gencfg {

class TeamSyncer : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int pending READ pending NOTIFY pendingChanged)
public:
    explicit TeamSyncer(QObject *parent = nullptr);
    ~TeamSyncer() override;

    // Starts syncing with team; nothing happens until then.
    void start(const TeamArchive &team);
    // A sync soon; one already running is followed by one more.
    void syncSoon();
    int pending() const { return m_pending; }
    void waitForSync() { m_worker.waitForDone(); }

    // "Архив команды: 3 визитов ждут отправки"
    static QString WaitingText(int pending);

Q_SIGNALS:
    void pendingChanged(int pending);
    // A text for the status bar: visits wait, or some from the server were not taken.
    void message(const QString &text);
    void synced(const gencfg::TeamSyncResult &result);

private:
    void finished(const TeamSyncResult &result);

    std::optional<TeamArchive> m_team;
    int m_pending = 0;
    bool m_running = false;
    bool m_again = false;
    QTimer m_timer;
    QThreadPool m_worker;
};

} // namespace gencfg
