#include "cli/InterruptWatch.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace gencfg::cli {

namespace {

int wakeSockets[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeSockets[1], &byte, 1);
}

void restoreDefaults()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

} // namespace

InterruptWatch::InterruptWatch(QObject *parent) : QObject(parent)
{}

InterruptWatch::~InterruptWatch()
{
    if (!m_notifier)
        return;
    restoreDefaults();
    delete m_notifier;
    ::close(wakeSockets[0]);
    ::close(wakeSockets[1]);
    wakeSockets[0] = wakeSockets[1] = -1;
}

bool InterruptWatch::install()
{
    if (m_notifier)
        return true;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, wakeSockets) != 0)
        return false;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(SIGINT, &action, nullptr) != 0 || ::sigaction(SIGTERM, &action, nullptr) != 0) {
        restoreDefaults();
        ::close(wakeSockets[0]);
        ::close(wakeSockets[1]);
        return false;
    }
    m_notifier = new QSocketNotifier(wakeSockets[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &InterruptWatch::onNotified);
    return true;
}

void InterruptWatch::onNotified()
{
    char byte = 0;
    [[maybe_unused]] const ssize_t n = ::read(wakeSockets[0], &byte, 1);
    m_interrupted = true;
    Q_EMIT interrupted();
}

} // namespace gencfg::cli
