#include "link/DeviceLink.h"

#include "link/Commands.h"
#include "link/FrameCodec.h"
#include "link/NetworkPortName.h"
#include "link/PortTransport.h"

#include <utility>

namespace gencfg {

DeviceLink::DeviceLink(QObject *parent) : QObject(parent), m_transport(std::make_unique<PortTransport>())
{
    m_deadline.setSingleShot(true);
    m_deadline.setTimerType(Qt::PreciseTimer);
    connect(&m_deadline, &QTimer::timeout, this, &DeviceLink::onDeadline);
    m_returnPoll.setInterval(ReturnPollMs);
    connect(&m_returnPoll, &QTimer::timeout, this, &DeviceLink::pollReturn);
    m_reconnect.setSingleShot(true);
    connect(&m_reconnect, &QTimer::timeout, this, &DeviceLink::reconnect);
    connectTransport();
}

DeviceLink::~DeviceLink()
{
    if (m_operation)
        m_operation->m_link = nullptr;
}

void DeviceLink::connectTransport()
{
    connect(m_transport.get(), &ByteTransport::bytesArrived, this, &DeviceLink::receive);
    connect(m_transport.get(), &ByteTransport::lost, this, &DeviceLink::onPortLost);
    // A window that only watches sends no request: the connect is the first round trip it sees.
    connect(m_transport.get(), &ByteTransport::ready, this, [this] {
        if (m_roundTripMs < 0 && m_transport->connectMs() >= 0)
            Q_EMIT roundTripChanged(m_transport->connectMs());
    });
}

bool DeviceLink::setTransport(std::unique_ptr<ByteTransport> transport,
                              std::unique_ptr<ByteTransport> *previous)
{
    if (busy() || !transport)
        return false;
    stopReturning();
    m_transport->close();
    m_transport->disconnect(this);
    if (previous)
        *previous = std::move(m_transport);
    m_transport = std::move(transport);
    connectTransport();
    return true;
}

void DeviceLink::restartReceiving()
{
    m_rxText.clear();
    m_lineText.clear();
    m_firstFrame.reset();
    m_packetCount = 0;
    m_badFrames = 0;
    Q_EMIT packetCountChanged(m_packetCount);
    Q_EMIT badFrameCountChanged(m_badFrames);
}

QString DeviceLink::openPort(const QString &name)
{
    // An operation never outlives the port it started on.
    if (busy())
        return QStringLiteral("Can't open device %1").arg(name);
    const QString failure = m_transport->open(name);
    // The user's own try at the awaited port, failed, leaves the wait on.
    if (failure.isEmpty() || name != m_openedPort.name)
        stopReturning();
    if (failure.isEmpty()) {
        m_statusBeforeNextRequest = false;
        m_roundTripMs = -1;
        Q_EMIT roundTripChanged(m_roundTripMs);
    }
    if (failure.isEmpty() && m_reopenReturning)
        m_openedPort = IdentifyPort(name);
    return failure;
}

void DeviceLink::closePort()
{
    stopReturning();
    m_transport->close();
    if (m_operation && m_phase != Phase::Finishing)
        finish(OperationStatus::PortLost);
}

void DeviceLink::onPortLost(const QString &name)
{
    if (m_operation && m_phase != Phase::Finishing)
        finish(OperationStatus::PortLost);
    if (m_reconnecting) {
        // Still away: try again after a longer pause; the loss has been told.
        m_reconnect.start(ReconnectPauseMs(++m_failedConnects));
        return;
    }
    if (m_reopenReturning && name == m_openedPort.name && IsNetworkPortName(name)) {
        m_failedConnects = 0;
        m_reconnect.start(ReconnectPauseMs(m_failedConnects));
        Q_EMIT portLost(name);
        return;
    }
    if (m_reopenReturning && name == m_openedPort.name && AwaitsReturn(m_openedPort)) {
        m_openedPort.lostNs = WallClockNs();
        m_returnPoll.start();
    }
    Q_EMIT portLost(name);
}

void DeviceLink::setReopenReturningPort(bool on)
{
    m_reopenReturning = on;
    if (!on)
        stopReturning();
    else if (m_transport->isOpen())
        m_openedPort = IdentifyPort(m_transport->portName());
}

void DeviceLink::pollReturn()
{
    // The operation the loss ended tells its result first; nothing is resumed.
    if (busy())
        return;
    if (m_transport->isOpen()) {
        m_returnPoll.stop();
        return;
    }
    if (!IsSameAdapter(m_openedPort, PresentPort(m_openedPort.name)))
        return;
    // A device node can be there before the system lets anyone open it: try again next time.
    if (!m_transport->open(m_openedPort.name).isEmpty())
        return;
    m_returnPoll.stop();
    Q_EMIT portReturned(m_openedPort.name);
}

void DeviceLink::stopReturning()
{
    m_returnPoll.stop();
    m_reconnect.stop();
    m_reconnecting = false;
}

void DeviceLink::reconnect()
{
    // The operation the loss ended tells its result first; nothing is resumed.
    if (busy()) {
        m_reconnect.start(ReconnectPauseMs(m_failedConnects));
        return;
    }
    // The connection is made in the background; it has returned once bytes come through it.
    m_reconnecting = m_transport->open(m_openedPort.name).isEmpty();
}

int DeviceLink::ReconnectPauseMs(int failedConnects)
{
    int pauseMs = FirstReconnectPauseMs;
    for (int i = 0; i < failedConnects && pauseMs < LongestReconnectPauseMs; ++i)
        pauseMs *= 2;
    return qMin(pauseMs, LongestReconnectPauseMs);
}

int DeviceLink::replyAllowanceMs() const
{
    if (!onNetwork())
        return 0;
    if (m_roundTripMs < 0)
        return qMax(AssumedRoundTripMs, 2 * m_transport->connectMs());
    return m_roundTripMs + qMax(4 * m_roundTripVarianceMs, 50);
}

void DeviceLink::noteRoundTrip(int sampleMs)
{
    if (!onNetwork())
        return;
    // Smoothed as TCP smooths its own round trip: the mean and the mean deviation.
    if (m_roundTripMs < 0) {
        m_roundTripMs = sampleMs;
        m_roundTripVarianceMs = sampleMs / 2;
    } else {
        m_roundTripVarianceMs = (3 * m_roundTripVarianceMs + qAbs(m_roundTripMs - sampleMs)) / 4;
        m_roundTripMs = (7 * m_roundTripMs + sampleMs) / 8;
    }
    Q_EMIT roundTripChanged(m_roundTripMs);
}

void DeviceLink::receive(const QByteArray &s)
{
    if (s.isEmpty())
        return;
    if (m_reconnecting) {
        m_reconnecting = false;
        m_failedConnects = 0;
        m_statusBeforeNextRequest = false;
        Q_EMIT portReturned(m_openedPort.name);
    }
    Q_EMIT bytesArrived();
    Q_EMIT bytesReceived(s);
    m_rxText.append(s);
    m_lineText.append(s);
    if (m_lineText.contains(FrameEnd)) {
        const QByteArray line = m_lineText;
        m_lineText.clear();
        Q_EMIT terminalStep(line);
    } else if (m_lineText.size() > MaxPendingText) {
        m_lineText = m_lineText.right(MaxPendingText);
    }
    takeFrames();
    // Frames that came in one read were all on the line before any request the
    // engine sends now, so the engine acts once, after all of them.
    if (!m_firstFrame)
        return;
    const QByteArray frame = *m_firstFrame;
    m_firstFrame.reset();
    if (m_phase == Phase::AwaitReady) {
        sendStep();
    } else if (m_phase == Phase::AwaitReply && m_secondReply) {
        // Two replies to one request: which of them is its own can't be told.
        m_deadline.stop();
        if (tellStrayReply())
            endStep(StepOutcome::WrongReply);
    } else if (m_phase == Phase::AwaitReply) {
        takeReply(frame);
    }
}

void DeviceLink::takeFrames()
{
    for (;;) {
        const int start = int(m_rxText.indexOf(FrameStart));
        if (start < 0) {
            if (m_rxText.size() > MaxPendingText)
                m_rxText.clear();
            return;
        }
        m_rxText.remove(0, start);
        const int end = int(m_rxText.indexOf(FrameEnd));
        if (end < 0) {
            // A start byte whose frame never ended: look for the next start.
            if (m_rxText.size() > MaxFrameText) {
                const int next = int(m_rxText.indexOf(FrameStart, 1));
                m_rxText.remove(0, next < 0 ? m_rxText.size() : next);
                continue;
            }
            return;
        }
        // A start byte after the first one means the earlier frame lost its end.
        const int from = int(m_rxText.lastIndexOf(FrameStart, end));
        const QByteArray text = m_rxText.mid(from, end - from + 1);
        m_rxText.remove(0, end + 1);
        handleFrameText(text);
    }
}

void DeviceLink::handleFrameText(const QByteArray &text)
{
    const std::optional<QByteArray> frame = ParseValidFrame(text);
    if (!frame) {
        ++m_badFrames;
        Q_EMIT badFrameCountChanged(m_badFrames);
        return;
    }
    const int count = qMin<int>(int(frame->size()), int(m_rxBytes.size()));
    std::copy(frame->cbegin(), frame->cbegin() + count, m_rxBytes.begin());
    if (count < int(m_rxBytes.size()))
        m_rxBytes[count] = 0;
    if (m_rxBytes[0] != 1)
        return;

    ++m_packetCount;
    Q_EMIT packetCountChanged(m_packetCount);
    if (m_rxBytes[1] == CMD_STATUS) {
        if (m_operation && m_phase != Phase::Finishing)
            m_operation->variantReported(m_rxBytes[5]);
        Q_EMIT statusFrameReceived(m_rxBytes);
    }
    const bool reply = IsReplyCommand(m_rxBytes[1]);
    // A reply nobody awaits answers the last request still: it tells how long replies take now.
    if (reply && m_phase != Phase::AwaitReply && m_statusBeforeNextRequest && m_sinceRequest.isValid())
        noteRoundTrip(int(m_sinceRequest.elapsed()));
    if (reply && m_phase == Phase::AwaitReply && m_firstFrame)
        m_secondReply = true;
    else if (reply && m_phase == Phase::AwaitReady)
        tellStrayReply();
    // Over a network the frames the device sent before the request reached it are still on
    // their way to us: within a round trip, only a reply can be the reply.
    const bool sentBeforeRequest = m_phase == Phase::AwaitReply && !reply && onNetwork() &&
                                   m_sinceRequest.elapsed() < replyAllowanceMs();
    if (!m_firstFrame && !sentBeforeRequest &&
        (m_phase == Phase::AwaitReply || (m_phase == Phase::AwaitReady && readies(m_rxBytes[1]))))
        m_firstFrame = *frame;
}

bool DeviceLink::tellStrayReply()
{
    const bool afterReply = std::exchange(m_lastStepReplied, false);
    const quint64 run = m_run;
    const Phase phase = m_phase;
    const std::optional<OperationStatus> verdict = m_operation->strayReply(afterReply);
    if (!m_operation || m_run != run || m_phase != phase)
        return false;
    if (!verdict)
        return true;
    finish(*verdict);
    return false;
}

bool DeviceLink::readies(quint8 command) const
{
    // A reply nobody awaits is late: it answers a request that has already failed.
    if (IsReplyCommand(command))
        return false;
    if (!m_statusBeforeNextRequest)
        return true;
    // Over a network a frame come sooner than a round trip after the request may have left the
    // device before the request reached it, and the late reply be still on its way.
    return command == CMD_STATUS &&
           (!m_sinceRequest.isValid() || m_sinceRequest.elapsed() >= replyAllowanceMs());
}

bool DeviceLink::start(DeviceOperation &operation)
{
    if (m_operation || operation.m_link || operation.m_status)
        return false;
    m_operation = &operation;
    ++m_run;
    operation.m_link = this;
    m_cancelRequested = false;
    Q_EMIT busyChanged(true);
    nextStep();
    return true;
}

bool DeviceLink::startOwned(DeviceOperation *operation)
{
    operation->setParent(this);
    connect(operation, &DeviceOperation::finished, operation, &QObject::deleteLater);
    if (start(*operation))
        return true;
    delete operation;
    return false;
}

void DeviceLink::cancelOperation()
{
    if (!m_operation || m_phase == Phase::Finishing)
        return;
    m_cancelRequested = true;
    // Nothing of this step is on the line yet: stop now.
    if (m_phase == Phase::AwaitReady)
        finish(OperationStatus::Cancelled);
}

void DeviceLink::awaitFrame(int bound)
{
    m_firstFrame.reset();
    m_secondReply = false;
    m_deadline.start(bound * m_tickMs);
}

void DeviceLink::nextStep()
{
    // An operation whose last step completed has succeeded, even when a stop came meanwhile.
    const std::optional<OperationStep> step = m_operation->nextStep();
    if (!step) {
        finish(OperationStatus::Succeeded);
        return;
    }
    if (m_cancelRequested) {
        finish(OperationStatus::Cancelled);
        return;
    }
    m_step = *step;
    // A closed port can bring no frame; failing at once spares the user the wait.
    if (!m_transport->isOpen()) {
        endStep(StepOutcome::NotReady);
        return;
    }
    m_phase = Phase::AwaitReady;
    awaitFrame(m_step.readyBound);
}

void DeviceLink::sendStep()
{
    m_deadline.stop();
    if (m_step.frame.isEmpty()) {
        endStep(StepOutcome::WriteFailed);
        return;
    }
    // From here on the request goes out whole, whatever the echo's handlers ask for.
    m_phase = Phase::Sending;
    m_statusBeforeNextRequest = false;
    m_lastStepReplied = false;
    const quint64 run = m_run;
    Q_EMIT echoLine(m_step.echoMark + m_step.frame);
    if (!stillSending(run))
        return; // the port was closed under the echo
    const qint64 written = m_transport->write(m_step.frame);
    m_sinceRequest.start();
    if (written > 0)
        Q_EMIT bytesSent(m_step.frame.left(int(written)));
    // A port lost inside the write has ended the operation, and whoever was told
    // of the loss may have let the link release it or start another one.
    if (!stillSending(run))
        return;
    if (written != m_step.frame.size()) {
        endStep(StepOutcome::WriteFailed);
        return;
    }
    if (m_step.replyCommand == 0) {
        endStep(StepOutcome::Sent);
        return;
    }
    m_phase = Phase::AwaitReply;
    awaitFrame(m_step.replyBound);
    // Over a network the reply comes a round trip later than over a cable.
    if (const int allowance = replyAllowanceMs(); allowance > 0)
        m_deadline.start(m_deadline.interval() + allowance);
}

bool DeviceLink::stillSending(quint64 run) const
{
    return m_operation && m_run == run && m_phase == Phase::Sending;
}

void DeviceLink::takeReply(const QByteArray &frame)
{
    m_deadline.stop();
    // The reply must be the command asked for and carry every byte asked for.
    const int carried = int(frame.size()) - 6;
    if (frame.size() < 6 || quint8(frame.at(1)) != m_step.replyCommand || carried < m_step.replyBytes) {
        endStep(StepOutcome::WrongReply);
        return;
    }
    noteRoundTrip(int(m_sinceRequest.elapsed()));
    endStep(StepOutcome::Replied, frame.mid(5, m_step.replyBytes));
}

void DeviceLink::onDeadline()
{
    if (m_phase == Phase::AwaitReady)
        endStep(StepOutcome::NotReady);
    else if (m_phase == Phase::AwaitReply)
        endStep(StepOutcome::NoReply);
}

void DeviceLink::endStep(StepOutcome outcome, const QByteArray &replyData)
{
    m_phase = Phase::Idle;
    // A reply that never came may still be on its way: the next request waits
    // for a status frame, so that late reply cannot be taken for its own.
    if (outcome == StepOutcome::NoReply || outcome == StepOutcome::WrongReply)
        m_statusBeforeNextRequest = true;
    m_lastStepReplied = outcome == StepOutcome::Replied;
    const quint64 run = m_run;
    const std::optional<OperationStatus> verdict = m_operation->stepEnded(outcome, replyData);
    if (!m_operation || m_run != run || m_phase != Phase::Idle)
        return; // the operation was destroyed or ended from its own handler
    // A stop asked for while the reply was awaited: what failed since is the stop's doing.
    if (verdict && m_cancelRequested && *verdict != OperationStatus::Succeeded)
        finish(OperationStatus::Cancelled);
    else if (verdict)
        finish(*verdict);
    else
        nextStep();
}

void DeviceLink::finish(OperationStatus status)
{
    m_deadline.stop();
    m_phase = Phase::Finishing;
    m_firstFrame.reset();
    m_operation->m_status = status;
    // The result is told from the event loop, never from inside an arrival or a
    // caller's cancel; the link stays busy until then, so nothing can start between.
    QMetaObject::invokeMethod(
        this,
        [this, operation = QPointer<DeviceOperation>(m_operation)] {
            if (!operation || operation != m_operation)
                return;
            releaseOperation();
            operation->m_link = nullptr;
            // Idle before the result is told, so its handler may start the next operation.
            Q_EMIT busyChanged(false);
            Q_EMIT operation->finished(*operation->m_status);
        },
        Qt::QueuedConnection);
}

void DeviceLink::releaseOperation()
{
    m_deadline.stop();
    m_operation = nullptr;
    m_phase = Phase::Idle;
    m_cancelRequested = false;
    m_lastStepReplied = false;
    m_firstFrame.reset();
}

void DeviceLink::forgetOperation(DeviceOperation *operation)
{
    if (operation != m_operation)
        return;
    m_deadline.stop();
    releaseOperation();
    Q_EMIT busyChanged(false);
}

} // namespace gencfg
