#pragma once

// One side of a Telnet connection through libtelnet: option negotiation (what
// is not in the table is refused), IAC escaping of data going out and
// unescaping of data coming in, subnegotiations. Bytes to put on the socket
// and events come back through the callbacks, synchronously.

#include <QByteArray>
#include <functional>
#include <vector>

struct telnet_t;

namespace gencfg {

// RFC 2217: the com-port option and its commands; a server answers a command with it plus 100.
constexpr unsigned char ComPortOption = 44;
enum ComPortCommand : unsigned char {
    SetBaudRate = 1,
    SetDataSize = 2,
    SetParity = 3,
    SetStopSize = 4,
    SetControl = 5,
};
constexpr unsigned char ServerAnswerOffset = 100;

class TelnetSession
{
public:
    struct Option
    {
        unsigned char option;
        bool weMay;   // we agree to enable it on our side
        bool peerMay; // we agree the peer enables it on its side
    };
    struct Handlers
    {
        std::function<void(const QByteArray &)> data; // unescaped payload
        std::function<void(const QByteArray &)> send; // escaped bytes for the socket
        std::function<void(unsigned char command, unsigned char option)> negotiated; // WILL/WONT/DO/DONT
        std::function<void(unsigned char option, const QByteArray &)> subnegotiation;
        std::function<void(const QByteArray &)> error;
    };

    TelnetSession(const std::vector<Option> &options, Handlers handlers);
    ~TelnetSession();
    TelnetSession(const TelnetSession &) = delete;
    TelnetSession &operator=(const TelnetSession &) = delete;

    void receive(const QByteArray &bytes);
    void sendData(const QByteArray &bytes);
    void negotiate(unsigned char command, unsigned char option);
    void subnegotiate(unsigned char option, const QByteArray &payload);

private:
    static void onEvent(telnet_t *telnet, void *event, void *self);

    std::vector<unsigned char> m_table; // telnet_telopt_t rows, kept alive for libtelnet
    Handlers m_handlers;
    telnet_t *m_telnet = nullptr;
};

} // namespace gencfg
