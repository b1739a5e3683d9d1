#pragma once

// One controller of a batch on its own port and link: opened, its variant
// taken from its first status frame, its parameters read; then, told what to
// write, the blocks written and the whole memory read back to prove them.
// Everything moves on signals of the one event loop every unit shares.

#include "config/ConfigTransfer.h"
#include "config/UnitPlan.h"
#include "link/DeviceLink.h"
#include "monitor/StatusFeed.h"

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
    void closePort() { m_link.closePort(); }

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
    const QVector<ParamDifference> &changes() const { return m_changes; }
    const QString &note() const { return m_note; }
    void setNote(const QString &note);

Q_SIGNALS:
    void changed();
    void readDone();
    void finished();

private:
    void onFirstStatus();
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
    QVector<ParamDifference> m_changes;
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
