#include "sim/PtySimulator.h"

#include <algorithm>

#include "link/FrameCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QSocketNotifier>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace gencfg {

namespace {

// 9600 baud, 8N1: ten bits a byte.
constexpr qint64 LineBytesPerSecond = 960;
// A late tick catches up at most this many bytes at a time.
constexpr qint64 MaxPacedBurst = 8;
// A client that does not read loses frames beyond this many queued.
constexpr std::size_t MaxQueued = 256;
constexpr int ClientPollMs = 50;
constexpr int PaceTickMs = 2;

QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

PtySimulator::PtySimulator(quint8 variantCode, quint32 seed, QObject *parent)
    : QObject(parent), m_model(variantCode, seed)
{
    m_statusTimer.setTimerType(Qt::PreciseTimer);
    m_paceTimer.setTimerType(Qt::PreciseTimer);
    m_paceTimer.setInterval(PaceTickMs);
    m_clientTimer.setInterval(ClientPollMs);
    connect(&m_statusTimer, &QTimer::timeout, this, &PtySimulator::onStatusTimer);
    connect(&m_paceTimer, &QTimer::timeout, this, &PtySimulator::pump);
    connect(&m_clientTimer, &QTimer::timeout, this, &PtySimulator::checkClient);
}

PtySimulator::~PtySimulator()
{
    const QSignalBlocker quiet(this);
    closeDevice();
}

bool PtySimulator::start(const QString &linkPath)
{
    if (isOpen()) {
        m_error = QStringLiteral("already serving %1").arg(m_devicePath);
        return false;
    }
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) {
        m_error = systemError("posix_openpt");
        return false;
    }
    char name[128] = {};
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 ||
        ::ptsname_r(m_master, name, sizeof name) != 0) {
        m_error = systemError("pseudo-terminal");
        closeDevice();
        return false;
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    m_devicePath = QString::fromLocal8Bit(name);

    // Termios set on the master apply to the slave: no echo, no line editing,
    // no CR/LF translation of the frames' end byte.
    termios settings{};
    if (::tcgetattr(m_master, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::cfsetispeed(&settings, B9600);
        ::cfsetospeed(&settings, B9600);
        ::tcsetattr(m_master, TCSANOW, &settings);
    }
    // Until its slave has been open once, a master cannot tell that nobody
    // listens; one open and close puts it in the hung-up state a client clears.
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave >= 0)
        ::close(slave);

    if (!linkPath.isEmpty() && !makeLink(linkPath)) {
        closeDevice();
        return false;
    }

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    m_readNotifier->setEnabled(false);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtySimulator::onReadable);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtySimulator::pump);

    m_clientPresent = false;
    m_clientTimer.start();
    checkClient();
    setPeriodMs(m_periodMs);
    return true;
}

void PtySimulator::closeDevice()
{
    m_statusTimer.stop();
    m_clientTimer.stop();
    m_paceTimer.stop();
    // A notifier may be the sender of the signal that got us here.
    for (QSocketNotifier **notifier : {&m_readNotifier, &m_writeNotifier}) {
        if (*notifier) {
            (*notifier)->setEnabled(false);
            (*notifier)->deleteLater();
            *notifier = nullptr;
        }
    }
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
    m_queue.clear();
    m_cutter.clear();
    removeLink();
    if (m_clientPresent) {
        m_clientPresent = false;
        Q_EMIT clientChanged(false);
    }
}

void PtySimulator::setPeriodMs(int ms)
{
    m_periodMs = qMax(0, ms);
    if (m_periodMs > 0 && isOpen())
        m_statusTimer.start(m_periodMs);
    else
        m_statusTimer.stop();
}

void PtySimulator::sendStatusFrame()
{
    if (!m_model.isSilent())
        queueFrame(m_model.statusFrameBytes(), true);
}

void PtySimulator::onStatusTimer()
{
    m_model.advance(m_periodMs);
    // A controller whose line is still busy with a waiting frame skips this
    // status frame instead of piling it up behind the others.
    const bool frameWaiting = std::any_of(m_queue.cbegin(), m_queue.cend(),
                                          [](const Outgoing &out) { return out.isFrame && out.offset == 0; });
    if (!frameWaiting)
        sendStatusFrame();
}

void PtySimulator::onReadable()
{
    char buffer[512];
    while (isOpen()) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (n <= 0) {
            // EIO: the client closed the slave.
            clientGone();
            return;
        }
        const auto frames = m_cutter.feed(QByteArray(buffer, int(n)), MonotonicMicroseconds());
        for (const RequestCutter::Frame &frame : frames) {
            const QByteArray reply = m_model.receiveFrameText(frame.text, frame.startUs, frame.endUs);
            Q_EMIT frameReceived(m_model.receivedLog().constLast());
            if (!isOpen())
                return;
            if (m_replySource) {
                if (const std::optional<QByteArray> given = m_replySource(frame.text)) {
                    sendRaw(*given);
                    continue;
                }
            }
            if (reply.isEmpty())
                continue;
            const int delay = m_replyDelayMs + m_model.replyDelayMs(m_model.receivedLog().constLast().bytes);
            if (delay > 0)
                QTimer::singleShot(delay, this, [this, reply] { queueFrame(reply); });
            else
                queueFrame(reply);
        }
    }
}

void PtySimulator::checkClient()
{
    if (!isOpen())
        return;
    pollfd poller{m_master, POLLIN, 0};
    if (::poll(&poller, 1, 0) < 0 || (poller.revents & (POLLHUP | POLLNVAL)))
        return;
    m_clientTimer.stop();
    m_clientPresent = true;
    m_readNotifier->setEnabled(true);
    Q_EMIT clientChanged(true);
}

void PtySimulator::clientGone()
{
    // A hung-up master stays readable; watching it now would spin.
    m_readNotifier->setEnabled(false);
    dropOutput();
    m_cutter.clear();
    flushSlave();
    m_clientTimer.start();
    if (m_clientPresent) {
        m_clientPresent = false;
        Q_EMIT clientChanged(false);
    }
}

void PtySimulator::queueFrame(const QByteArray &frameBytes, bool isStatus)
{
    if (!isOpen() || !m_clientPresent || m_queue.size() >= MaxQueued)
        return;
    QByteArray text = FrameBytesToText(frameBytes);
    std::deque<Outgoing> pieces;
    if (m_noise.isActive()) {
        const QByteArray garbage = m_noise.garbageBefore(text.size());
        if (!garbage.isEmpty())
            pieces.push_back({garbage, false});
        text = m_noise.corrupt(text);
    }
    pieces.push_back({text, true, isStatus});
    auto at = m_queue.end();
    if (!isStatus)
        at = std::find_if(m_queue.begin(), m_queue.end(),
                          [](const Outgoing &out) { return out.isStatus && out.offset == 0; });
    m_queue.insert(at, pieces.begin(), pieces.end());
    pump();
}

void PtySimulator::sendRaw(const QByteArray &text)
{
    if (!isOpen() || !m_clientPresent || m_queue.size() >= MaxQueued || text.isEmpty())
        return;
    m_queue.push_back({text, false});
    pump();
}

void PtySimulator::pump()
{
    if (!isOpen())
        return;
    if (!m_paced) {
        while (!m_queue.empty() && writeFront(INT_MAX) > 0) {
        }
        if (isOpen())
            m_writeNotifier->setEnabled(!m_queue.empty());
        return;
    }

    // Each piece is paced from its own first byte, so no byte ever leaves
    // before its time, however late a tick comes.
    while (!m_queue.empty()) {
        const qint64 now = MonotonicMicroseconds();
        Outgoing &out = m_queue.front();
        if (out.startUs < 0) {
            if (now < m_lineFreeUs)
                break;
            out.startUs = now;
        }
        const qint64 due = (now - out.startUs) * LineBytesPerSecond / 1000000 + 1 - out.offset;
        if (due <= 0 || writeFront(int(qMin(due, MaxPacedBurst))) <= 0)
            break;
    }
    if (m_queue.empty())
        m_paceTimer.stop();
    else if (!m_paceTimer.isActive())
        m_paceTimer.start();
}

int PtySimulator::writeFront(int budget)
{
    Outgoing &out = m_queue.front();
    if (out.startUs < 0)
        out.startUs = MonotonicMicroseconds();
    const int chunk = qMin(budget, int(out.text.size()) - out.offset);
    ssize_t n;
    do {
        n = ::write(m_master, out.text.constData() + out.offset, size_t(chunk));
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            clientGone();
        return 0;
    }
    out.offset += int(n);
    if (out.offset < out.text.size())
        return int(n);

    const qint64 endUs = MonotonicMicroseconds();
    m_lineFreeUs = endUs + 1000000 / LineBytesPerSecond;
    const FrameLogEntry entry = LoggedFrame(out.text, out.startUs, endUs);
    const bool isFrame = out.isFrame;
    m_queue.pop_front();
    if (isFrame) {
        m_model.logSentFrame(entry);
        Q_EMIT frameSent(entry);
    }
    return int(n);
}

void PtySimulator::dropOutput()
{
    m_queue.clear();
    m_paceTimer.stop();
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(false);
}

void PtySimulator::flushSlave()
{
    // What the departed client left unread would reach the next one as stale frames.
    const QByteArray name = m_devicePath.toLocal8Bit();
    const int slave = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0)
        return;
    ::tcflush(slave, TCIOFLUSH);
    ::close(slave);
}

bool PtySimulator::makeLink(const QString &linkPath)
{
    const QFileInfo existing(linkPath);
    if (existing.isSymLink()) {
        QFile::remove(linkPath);
    } else if (existing.exists()) {
        m_error = QStringLiteral("%1 exists and is not a symbolic link").arg(linkPath);
        return false;
    }
    if (!QFile::link(m_devicePath, linkPath)) {
        m_error = QStringLiteral("cannot make the link %1").arg(linkPath);
        return false;
    }
    m_linkPath = linkPath;
    return true;
}

void PtySimulator::removeLink()
{
    if (m_linkPath.isEmpty())
        return;
    // Only our own link: another simulator may have taken the name since.
    const QFileInfo link(m_linkPath);
    if (link.isSymLink() && link.symLinkTarget() == m_devicePath)
        QFile::remove(m_linkPath);
    m_linkPath.clear();
}

} // namespace gencfg
