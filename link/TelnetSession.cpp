#include "link/TelnetSession.h"

#include <libtelnet.h>

namespace gencfg {

namespace {

std::vector<telnet_telopt_t> optionTable(const std::vector<TelnetSession::Option> &options)
{
    std::vector<telnet_telopt_t> table;
    for (const TelnetSession::Option &option : options)
        table.push_back({short(option.option), (unsigned char)(option.weMay ? TELNET_WILL : TELNET_WONT),
                         (unsigned char)(option.peerMay ? TELNET_DO : TELNET_DONT)});
    table.push_back({-1, 0, 0});
    return table;
}

} // namespace

TelnetSession::TelnetSession(const std::vector<Option> &options, Handlers handlers)
    : m_handlers(std::move(handlers))
{
    const std::vector<telnet_telopt_t> table = optionTable(options);
    const auto *raw = reinterpret_cast<const unsigned char *>(table.data());
    m_table.assign(raw, raw + table.size() * sizeof(telnet_telopt_t));
    m_telnet = telnet_init(
        reinterpret_cast<const telnet_telopt_t *>(m_table.data()),
        [](telnet_t *telnet, telnet_event_t *event, void *self) {
            TelnetSession::onEvent(telnet, event, self);
        },
        0, this);
}

TelnetSession::~TelnetSession()
{
    if (m_telnet)
        telnet_free(m_telnet);
}

void TelnetSession::receive(const QByteArray &bytes)
{
    telnet_recv(m_telnet, bytes.constData(), size_t(bytes.size()));
}

void TelnetSession::sendData(const QByteArray &bytes)
{
    telnet_send(m_telnet, bytes.constData(), size_t(bytes.size()));
}

void TelnetSession::negotiate(unsigned char command, unsigned char option)
{
    telnet_negotiate(m_telnet, command, option);
}

void TelnetSession::subnegotiate(unsigned char option, const QByteArray &payload)
{
    telnet_subnegotiation(m_telnet, option, payload.constData(), size_t(payload.size()));
}

void TelnetSession::onEvent(telnet_t *, void *rawEvent, void *rawSelf)
{
    auto *self = static_cast<TelnetSession *>(rawSelf);
    const auto *event = static_cast<const telnet_event_t *>(rawEvent);
    const Handlers &h = self->m_handlers;
    switch (event->type) {
    case TELNET_EV_DATA:
        if (h.data)
            h.data(QByteArray(event->data.buffer, qsizetype(event->data.size)));
        break;
    case TELNET_EV_SEND:
        if (h.send)
            h.send(QByteArray(event->data.buffer, qsizetype(event->data.size)));
        break;
    case TELNET_EV_WILL:
    case TELNET_EV_WONT:
    case TELNET_EV_DO:
    case TELNET_EV_DONT: {
        static constexpr unsigned char commands[] = {TELNET_WILL, TELNET_WONT, TELNET_DO, TELNET_DONT};
        if (h.negotiated)
            h.negotiated(commands[event->type - TELNET_EV_WILL], event->neg.telopt);
        break;
    }
    case TELNET_EV_SUBNEGOTIATION:
        if (h.subnegotiation)
            h.subnegotiation(event->sub.telopt, QByteArray(event->sub.buffer, qsizetype(event->sub.size)));
        break;
    case TELNET_EV_ERROR:
        if (h.error)
            h.error(QByteArray(event->error.msg));
        break;
    default:
        break;
    }
}

} // namespace gencfg
