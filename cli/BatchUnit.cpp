#include "cli/BatchUnit.h"

#include "cli/ExitStatus.h"
#include "config/ParamModel.h"
#include "link/NetworkPortName.h"
#include "link/PortTransport.h"
#include "visit/VisitArchive.h"

#include <QDateTime>
#include <QFileInfo>

namespace gencfg::cli {

namespace {

// A controller unplugged briefly is silent for longer than this, however fast it reports.
constexpr qint64 SilenceMs = 1000;
constexpr int SilentPeriods = 4;

// What the port name leads to: a device node recreated or a link pointed elsewhere reads differently.
QString DeviceIdentity(const QString &port)
{
    const QFileInfo name(port);
    const QString target = name.canonicalFilePath();
    if (target.isEmpty())
        return {};
    return target + QLatin1Char('@') +
           QString::number(QFileInfo(target).metadataChangeTime().toMSecsSinceEpoch());
}

} // namespace

BatchUnit::BatchUnit(const QString &port, std::optional<DeviceVariant> variant, QObject *parent)
    : QObject(parent), m_port(port), m_wantedVariant(variant)
{
    m_statusWait.setSingleShot(true);
    connect(&m_statusWait, &QTimer::timeout, this, [this] { fail(NoAnswerText(), NoAnswer); });
    connect(&m_feed, &StatusFeed::recordDecoded, this, &BatchUnit::onStatus);
    connect(&m_link, &DeviceLink::portLost, this, [this] {
        m_portOpen = false;
        if (m_link.transport().lostWhileOpening()) {
            fail(ConnectFailureText(m_port, m_link.transport().lossReason()), PortUnavailable);
            return;
        }
        // A running operation tells the loss itself.
        if (!m_link.busy())
            fail(PortLostText(), NoAnswer);
    });
}

BatchUnit::~BatchUnit() = default;

void BatchUnit::start()
{
    if (const QString failure = m_link.openPort(m_port); !failure.isEmpty()) {
        fail(failure, PortUnavailable);
        return;
    }
    m_portOpen = true;
    m_identity = DeviceIdentity(m_port);
    // A network port is waited for from when its connection is made.
    if (m_link.transport().opening())
        connect(
            &m_link.transport(), &ByteTransport::ready, this,
            [this] { m_statusWait.start(BlockBound * m_link.tickMs()); }, Qt::SingleShotConnection);
    else
        m_statusWait.start(BlockBound * m_link.tickMs());
}

void BatchUnit::onStatus()
{
    const qint64 gap = m_sinceStatus.isValid() ? m_sinceStatus.restart() : -1;
    if (!m_sinceStatus.isValid())
        m_sinceStatus.start();
    if (m_watching && (m_reconnected || gap < 0 || gap > qMax(SilenceMs, SilentPeriods * m_statusPeriod)))
        m_replaced = true;
    if (gap >= 0)
        m_statusPeriod = m_statusPeriod > 0 ? qMin(m_statusPeriod, gap) : gap;
    if (m_stage == Stage::Opening && m_statusWait.isActive())
        onFirstStatus();
}

void BatchUnit::closePort()
{
    m_watching = false;
    m_portOpen = false;
    m_link.closePort();
}

void BatchUnit::watchDevice()
{
    m_watching = true;
}

bool BatchUnit::deviceReplaced()
{
    if (!m_watching || m_replaced)
        return m_replaced;
    if (m_portOpen) {
        m_replaced = DeviceIdentity(m_port) != m_identity;
        return m_replaced;
    }
    // A network port connects in the background: a device is back once its status frames come through.
    if (IsNetworkPortName(m_port)) {
        m_portOpen = m_reconnected = m_link.openPort(m_port).isEmpty();
        return false;
    }
    // A port that failed or was lost and opens now has a device behind it again.
    if (m_link.openPort(m_port).isEmpty()) {
        m_link.closePort();
        m_replaced = true;
    }
    return m_replaced;
}

void BatchUnit::onFirstStatus()
{
    m_statusWait.stop();
    const quint8 code = m_feed.latest().VariantCode;
    const std::optional<DeviceVariant> reported = VariantFromCode(code);
    if (!reported) {
        fail(QStringLiteral("the controller reports variant code %1, which has no catalogue").arg(code),
             InputError);
        return;
    }
    if (m_wantedVariant && *m_wantedVariant != *reported) {
        fail(QStringLiteral("the controller reports %1, not %2")
                 .arg(VariantTitle(*reported).trimmed(), VariantTitle(*m_wantedVariant).trimmed()),
             InputError);
        return;
    }
    m_variant = reported;
    m_read = std::make_unique<ConfigReadOperation>(BlankImage());
    m_read->setVariantAtStart(code);
    connect(m_read.get(), &DeviceOperation::progress, this, &BatchUnit::onProgress);
    connect(m_read.get(), &DeviceOperation::finished, this, &BatchUnit::onReadFinished);
    setStage(Stage::Reading);
    if (!m_link.start(*m_read))
        fail(NoAnswerText(), NoAnswer);
}

void BatchUnit::onReadFinished(OperationStatus status)
{
    if (m_outcome != Outcome::Pending)
        return;
    if (status != OperationStatus::Succeeded || m_stopping) {
        fail(statusText(m_stopping ? OperationStatus::Cancelled : status),
             m_stopping ? Interrupted : NoAnswer);
        return;
    }
    m_image = m_read->image();
    m_wasRead = true;
    m_serial = SerialNumberOf(m_image);
    setStage(Stage::Read);
    Q_EMIT readDone();
}

void BatchUnit::write(const UnitPlan &plan)
{
    if (m_stage != Stage::Read)
        return;
    m_plan = plan;
    if (!plan.needsWrite()) {
        finish(Outcome::AlreadyConfigured);
        return;
    }
    m_write =
        std::make_unique<ConfigWriteOperation>(plan.wanted, ConfigWriteOperation::ReadBack::Yes, plan.blocks);
    m_write->setVariantAtStart(quint8(*m_variant));
    connect(m_write.get(), &DeviceOperation::progress, this, &BatchUnit::onProgress);
    connect(m_write.get(), &DeviceOperation::finished, this, &BatchUnit::onWriteFinished);
    m_percent = 0;
    setStage(Stage::Writing);
    if (!m_link.start(*m_write))
        fail(NoAnswerText(), NoAnswer);
}

void BatchUnit::onWriteFinished(OperationStatus status)
{
    if (m_outcome != Outcome::Pending)
        return;
    const bool readBack = status == OperationStatus::Succeeded;
    const PlanReached reached = ReachedChanges(m_plan, *m_variant, m_write->blocksWritten(),
                                               readBack ? std::optional(m_write->readBack()) : std::nullopt);
    m_changes = reached.changes;
    m_uncertain = reached.uncertain;
    if (!readBack) {
        QString why = statusText(status);
        // What reached the controller, so the technician knows what the unit now holds.
        if (status != OperationStatus::VariantChanged)
            why += QStringLiteral("; ") +
                   InterruptedWriteText(m_write->blocksWritten(), m_write->blocksToWrite());
        fail(why, status == OperationStatus::Cancelled ? Interrupted : NoAnswer);
        return;
    }
    ParamModel layout;
    LoadVariantTree(*m_variant, layout);
    const QVector<ParamDifference> differing =
        DifferingParams(layout, m_write->written(), m_write->readBack(), Compare::Bytes);
    if (WriteProven(layout, differing)) {
        finish(Outcome::Proven);
        return;
    }
    QStringList paths;
    for (const ParamDifference &d : differing)
        paths.append(QStringLiteral("%1 (written \"%2\", read back \"%3\")").arg(d.path, d.first, d.second));
    fail(QStringLiteral("verify: %1 parameters read back otherwise than written: %2")
             .arg(differing.size())
             .arg(paths.join(QStringLiteral("; "))),
         VerifyMismatch);
}

void BatchUnit::onProgress(int done, int total)
{
    if (m_stage == Stage::Writing && m_write && done > m_write->blocksToWrite())
        m_stage = Stage::Proving;
    m_percent = total > 0 ? 100 * done / total : 0;
    Q_EMIT changed();
}

void BatchUnit::fail(const QString &why, int status)
{
    if (m_outcome != Outcome::Pending)
        return;
    m_failure = why;
    m_exitStatus = status;
    finish(Outcome::Failed);
}

void BatchUnit::stop()
{
    m_stopping = true;
    if (m_link.busy()) {
        m_link.cancelOperation();
        return;
    }
    if (m_outcome == Outcome::Pending)
        fail(QStringLiteral("interrupted"), Interrupted);
}

void BatchUnit::addNote(const QString &note)
{
    m_note += (m_note.isEmpty() ? QString() : QStringLiteral("; ")) + note;
    Q_EMIT changed();
}

void BatchUnit::setStage(Stage stage)
{
    m_stage = stage;
    if (stage != Stage::Finished && stage != Stage::Read)
        m_percent = 0;
    Q_EMIT changed();
}

void BatchUnit::finish(Outcome outcome)
{
    m_statusWait.stop();
    m_outcome = outcome;
    if (m_link.busy())
        m_link.cancelOperation();
    setStage(Stage::Finished);
    Q_EMIT finished();
}

QString BatchUnit::statusText(OperationStatus status) const
{
    switch (status) {
    case OperationStatus::Succeeded:
        return {};
    case OperationStatus::Cancelled:
        return QStringLiteral("interrupted");
    case OperationStatus::VariantChanged:
        return m_stage == Stage::Reading ? VariantChangedReadText() : VariantChangedWriteText();
    case OperationStatus::WriteFailed:
        return WriteFailedText();
    case OperationStatus::PortLost:
        return PortLostText();
    case OperationStatus::NoAnswer:
        break;
    }
    return NoAnswerText();
}

} // namespace gencfg::cli
