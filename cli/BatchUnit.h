#pragma once

// One controller of a batch on its own port and link: opened, its variant
// taken from its first status frame, its parameters read; then, told what to
// write, the blocks written and the whole memory read back to prove them.
// Everything moves on signals of the one event loop every unit shares.

#include "config/ConfigTransfer.h"
#include "config/UnitPlan.h"
#include "link/DeviceLink.h"
#include "monitor/StatusFeed.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>

namespace gencfg::cli {

class BatchUnit : public QObject
{
    Q_OBJECT
public:
    enum class Stage { Opening, Reading, Read, Writing, Proving, Finished };
    enum class Outcome { Pending, Proven, AlreadyConfigured, Failed };

    // With a variant given, a controller that reports another one fails.
    BatchUnit(const QString &port, std::optional<DeviceVariant> variant, QObject *parent = nullptr);
    ~BatchUnit() override;

    void start();
    // From Read: writes the plan's blocks and proves them, or finishes as
    // already configured when the plan changes nothing.
    void write(const UnitPlan &plan);
    // Ends without writing (anything further); status is the exit status it stands for.
    void fail(const QString &why, int status);
    // Stops after the request on the line.
    void stop();
    // Closes the port, so a bench can see the unit unplugged.
    void closePort();
    // Once finished: keeps the port open to tell when another controller answers on it.
    void watchDevice();
    // Whether the port now leads to another device than the one this unit was:
    // the link's target or its change time differ, the port opens again after
    // failing (over a network: once status frames come through again), or status frames came
    // back after a silence of several periods.
    bool deviceReplaced();

    const QString &port() const { return m_port; }
    const QString &serial() const { return m_serial; }
    std::optional<DeviceVariant> variant() const { return m_variant; }
    Stage stage() const { return m_stage; }
    int percent() const { return m_percent; }
    Outcome outcome() const { return m_outcome; }
    const QString &failure() const { return m_failure; }
    int exitStatus() const { return m_exitStatus; }
    // What the unit held when read.
    const ConfigImageBytes &image() const { return m_image; }
    bool wasRead() const { return m_wasRead; }
    // The changes that reached the controller, and those of them no read-back proved.
    const QVector<ParamDifference> &changes() const { return m_changes; }
    const QStringList &uncertain() const { return m_uncertain; }
    const QString &note() const { return m_note; }
    // Adds to the note the table and the ledger show.
    void addNote(const QString &note);

Q_SIGNALS:
    void changed();
    void readDone();
    void finished();

private:
    void onFirstStatus();
    void onStatus();
    void onReadFinished(OperationStatus status);
    void onWriteFinished(OperationStatus status);
    void onProgress(int done, int total);
    void setStage(Stage stage);
    void finish(Outcome outcome);
    QString statusText(OperationStatus status) const;

    QString m_port;
    std::optional<DeviceVariant> m_wantedVariant;
    std::optional<DeviceVariant> m_variant;
    DeviceLink m_link;
    StatusFeed m_feed{m_link};
    QTimer m_statusWait;
    std::unique_ptr<ConfigReadOperation> m_read;
    std::unique_ptr<ConfigWriteOperation> m_write;
    ConfigImageBytes m_image{};
    QString m_serial;
    UnitPlan m_plan;
    QVector<ParamDifference> m_changes;
    QStringList m_uncertain;
    QString m_identity; // the port's device when opened
    QElapsedTimer m_sinceStatus;
    qint64 m_statusPeriod = 0; // the shortest interval seen between status frames
    bool m_portOpen = false;
    bool m_watching = false;
    bool m_replaced = false;
    // A network port connected again while watching: its next status frame is another device's.
    bool m_reconnected = false;
    Stage m_stage = Stage::Opening;
    int m_percent = 0;
    Outcome m_outcome = Outcome::Pending;
    QString m_failure;
    QString m_note;
    int m_exitStatus = 0;
    bool m_stopping = false;
    bool m_wasRead = false;
};

} // namespace gencfg::cli
