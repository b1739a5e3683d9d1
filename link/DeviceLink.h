#pragma once

// The link to the controller: the receive dispatcher that cuts frames out of
// the byte stream, and the engine that runs one device operation at a time.
// The controller sends a frame on its own again and again; a request is sent
// right after one of its frames, and a read takes the very next frame as its
// reply. Nothing here waits in a nested event loop.

#include "link/ByteTransport.h"
#include "link/DeviceOperation.h"
#include "link/PortReturn.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <array>
#include <memory>

namespace gencfg {

using RxBuffer = std::array<quint8, 256>;

class DeviceLink : public QObject
{
    Q_OBJECT
    // An operation holds the link; nothing else may start until it ends.
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)
    Q_PROPERTY(int packetCount READ packetCount NOTIFY packetCountChanged)
    Q_PROPERTY(int badFrameCount READ badFrameCount NOTIFY badFrameCountChanged)
public:
    static constexpr int DefaultTickMs = 300;
    // Text without a start byte, or an unfinished frame, longer than this is noise.
    static constexpr int MaxPendingText = 4096;
    static constexpr int MaxFrameText = 2 * (255 + 6) + 2;

    // Without a transport the link uses the serial port.
    explicit DeviceLink(QObject *parent = nullptr);
    ~DeviceLink() override;

    ByteTransport &transport() { return *m_transport; }
    const ByteTransport &transport() const { return *m_transport; }
    // Only while no operation runs; the old transport is closed, and handed to previous when one is given.
    bool setTransport(std::unique_ptr<ByteTransport> transport,
                      std::unique_ptr<ByteTransport> *previous = nullptr);
    // Forgets the received text and counts: what arrives next is another stream.
    void restartReceiving();

    // Opens a port; refused while an operation runs. Returns the failure text, or an empty string.
    QString openPort(const QString &name);
    // Closes the port; a running operation ends at once.
    void closePort();

    // A port lost with its device is opened again when the same adapter comes
    // back, until another port is opened or the port is closed. An operation
    // the loss ended stays ended.
    void setReopenReturningPort(bool on);
    static constexpr int ReturnPollMs = 500;
    // A network port is connected again after growing pauses, the longest this long.
    static constexpr int FirstReconnectPauseMs = 1000;
    static constexpr int LongestReconnectPauseMs = 30000;
    // The pause before the next connect after this many failed in a row: doubling from the first.
    static int ReconnectPauseMs(int failedConnects);
    // Over a network a reply may come this much later than over a cable, assumed until measured.
    static constexpr int AssumedRoundTripMs = 1500;

    // The round trip of a port reached over the network, smoothed over requests and their
    // replies; -1 for a local port or before the port is open. Until a reply has been timed,
    // roundTripChanged tells the time the connect took.
    int roundTripMs() const { return m_roundTripMs; }
    // How much longer than over a cable a reply may take now.
    int replyAllowanceMs() const;

    // One arrival of bytes from the port.
    void receive(const QByteArray &s);

    // Starts an operation; refused (false) while another one runs.
    bool start(DeviceOperation &operation);
    // Starts an operation the link then owns and deletes once it has told its
    // result; a refused one is deleted at once.
    bool startOwned(DeviceOperation *operation);
    // Ends the running operation at its next step boundary.
    void cancelOperation();
    bool busy() const { return m_operation != nullptr; }
    DeviceOperation *operation() const { return m_operation; }

    void setTickMs(int ms) { m_tickMs = ms; }
    int tickMs() const { return m_tickMs; }

    const QByteArray &rxText() const { return m_rxText; }
    const QByteArray &lineText() const { return m_lineText; }
    const RxBuffer &rxBytes() const { return m_rxBytes; }
    int packetCount() const { return m_packetCount; }
    int badFrameCount() const { return m_badFrames; }

Q_SIGNALS:
    // Every arrival that delivered bytes.
    void bytesArrived();
    // The bytes of that arrival, before any frame is cut out of them.
    void bytesReceived(const QByteArray &bytes);
    // What the transport took of a request.
    void bytesSent(const QByteArray &bytes);
    // The received text since the last line, now holding a carriage return.
    void terminalStep(const QByteArray &lineText);
    // A request as sent: "<< " or "<<" followed by the frame text.
    void echoLine(const QByteArray &line);
    // An accepted status frame; its data begin at rxBytes[5].
    void statusFrameReceived(const gencfg::RxBuffer &rxBytes);
    void packetCountChanged(int count);
    void badFrameCountChanged(int count);
    void busyChanged(bool busy);
    void portLost(const QString &portName);
    void portReturned(const QString &portName);
    void roundTripChanged(int ms);

private:
    friend class DeviceOperation;
    enum class Phase { Idle, AwaitReady, Sending, AwaitReply, Finishing };

    void connectTransport();
    void takeFrames();
    void handleFrameText(const QByteArray &text);
    void onPortLost(const QString &name);
    void pollReturn();
    void reconnect();
    void stopReturning();
    void noteRoundTrip(int sampleMs);
    bool onNetwork() const { return m_transport->connectMs() >= 0 || m_roundTripMs >= 0; }

    // The engine.
    void nextStep();
    void sendStep();
    void takeReply(const QByteArray &frame);
    void endStep(StepOutcome outcome, const QByteArray &replyData = {});
    void onDeadline();
    void finish(OperationStatus status);
    void forgetOperation(DeviceOperation *operation);
    // The link is free again for the next operation.
    void releaseOperation();
    void awaitFrame(int bound);
    // Whether the request being written still belongs to this run of the engine.
    bool stillSending(quint64 run) const;
    // Whether a frame of this command, arriving while a step waits to send, lets it send.
    bool readies(quint8 command) const;
    // A reply nobody awaits: what the operation took before may have been a late reply.
    // Returns false when the operation ended on it.
    bool tellStrayReply();

    std::unique_ptr<ByteTransport> m_transport;
    QByteArray m_rxText;
    QByteArray m_lineText;
    RxBuffer m_rxBytes{};
    int m_packetCount = 0;
    int m_badFrames = 0;
    int m_tickMs = DefaultTickMs;

    DeviceOperation *m_operation = nullptr;
    Phase m_phase = Phase::Idle;
    OperationStep m_step;
    bool m_cancelRequested = false;
    // Counts operations started, so a step can tell its operation is gone.
    quint64 m_run = 0;
    // Set after a step that got no usable reply in time.
    bool m_statusBeforeNextRequest = false;
    // The last step took a reply, and no request has gone out since.
    bool m_lastStepReplied = false;
    // A second reply came in the arrival that brought the awaited one.
    bool m_secondReply = false;
    // The first frame accepted since the current wait began.
    std::optional<QByteArray> m_firstFrame;
    QTimer m_deadline;

    bool m_reopenReturning = false;
    // The open port as the system showed it; what a returning adapter must match.
    PortIdentity m_openedPort;
    QTimer m_returnPoll;
    QTimer m_reconnect;
    int m_failedConnects = 0;
    // A reconnect was started and no byte has come through it yet.
    bool m_reconnecting = false;

    // Since the last request went out.
    QElapsedTimer m_sinceRequest;
    int m_roundTripMs = -1;
    int m_roundTripVarianceMs = 0;
};

} // namespace gencfg
