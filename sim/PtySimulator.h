#pragma once

#include "sim/ControllerModel.h"
#include "sim/FrameLog.h"
#include "sim/LineNoise.h"
#include "sim/RequestCutter.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>
#include <optional>

class QSocketNotifier;

namespace gencfg {

// Serves a ControllerModel on a pseudo-terminal: the slave side is a serial
// device any program can open. Sends the status frame every period, answers
// the requests it reads, and sends nothing while no client has the slave open.
class PtySimulator : public QObject
{
    Q_OBJECT

public:
    explicit PtySimulator(quint8 variantCode = 200, quint32 seed = 1, QObject *parent = nullptr);
    ~PtySimulator() override;

    ControllerModel &model() { return m_model; }
    const ControllerModel &model() const { return m_model; }

    // Opens the pseudo-terminal, makes the optional symbolic link to its slave
    // and starts serving. Returns false with errorString() set on failure.
    bool start(const QString &linkPath = QString());
    QString errorString() const { return m_error; }
    bool isOpen() const { return m_master >= 0; }
    // The slave, such as /dev/pts/5; it stays known after closeDevice().
    QString devicePath() const { return m_devicePath; }
    QString linkPath() const { return m_linkPath; }
    // Closes the master: the device vanishes under an open client.
    void closeDevice();
    // Whether a client has the slave open, as last seen.
    bool hasClient() const { return m_clientPresent; }

    // Interval of the status frames, device time passing with each; 0 stops them.
    void setPeriodMs(int ms);
    // Bytes leave at the pace of a 9600-baud 8N1 line instead of all at once.
    void setPaced(bool on) { m_paced = on; }
    void setReplyDelayMs(int ms) { m_replyDelayMs = qMax(0, ms); }
    void setNoise(double rate, quint32 seed) { m_noise = LineNoise(rate, seed); }
    // Answers a request in place of the model: the text to send, or nothing to let the model answer.
    using ReplySource = std::function<std::optional<QByteArray>(const QByteArray &requestText)>;
    void setReplySource(ReplySource source) { m_replySource = std::move(source); }
    // Bytes exactly as a controller's line carried them: no framing, no noise added.
    void sendRaw(const QByteArray &bytes);

public Q_SLOTS:
    // One status frame now, without device time passing.
    void sendStatusFrame();

Q_SIGNALS:
    void frameReceived(const gencfg::FrameLogEntry &entry);
    void frameSent(const gencfg::FrameLogEntry &entry);
    void clientChanged(bool present);

private:
    struct Outgoing
    {
        QByteArray text;
        bool isFrame = false;
        bool isStatus = false;
        qint64 startUs = -1;
        int offset = 0;
    };

    void onReadable();
    void onStatusTimer();
    void checkClient();
    void clientGone();
    // A reply goes out before any status frame still waiting for the line.
    void queueFrame(const QByteArray &frameBytes, bool isStatus = false);
    void pump();
    int writeFront(int budget);
    void dropOutput();
    void flushSlave();
    bool makeLink(const QString &linkPath);
    void removeLink();

    ControllerModel m_model;
    int m_master = -1;
    QString m_devicePath;
    QString m_linkPath;
    QString m_error;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QTimer m_statusTimer;
    QTimer m_clientTimer;
    QTimer m_paceTimer;
    RequestCutter m_cutter;
    LineNoise m_noise;
    ReplySource m_replySource;
    std::deque<Outgoing> m_queue;
    int m_periodMs = 1000;
    int m_replyDelayMs = 0;
    bool m_paced = false;
    bool m_clientPresent = false;
    qint64 m_lineFreeUs = 0; // when a paced line may start its next piece
};

} // namespace gencfg
