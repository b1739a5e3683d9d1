// The controller reached over the network: a real ser2net, raw TCP and Telnet
// RFC 2217, in front of a simulated controller on a pseudo-terminal, with a
// relay that delays every byte to stand in for a long line.

#include "CliSupport.h"
#include "DelayRelay.h"
#include "link/DeviceLink.h"
#include "link/NetworkPortName.h"
#include "link/TelnetSession.h"

#include <libtelnet.h>

#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace gencfg;
using namespace gencfg::test;

namespace {

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// ser2net 4 in front of one device, configured in a temporary folder.
struct Ser2net
{
    Ser2net(const QString &device, bool rfc2217) : m_device(device), m_rfc2217(rfc2217) { start(); }
    ~Ser2net() { stop(); }

    // On the port given (its own a moment ago), else on a free one.
    bool start(quint16 wanted = 0)
    {
        // The free port found may be taken before ser2net binds it: try a few.
        for (int attempt = 0; attempt < 5; ++attempt) {
            port = wanted ? wanted : freePort();
            QFile config(dir.filePath(QStringLiteral("ser2net.yaml")));
            config.open(QIODevice::WriteOnly | QIODevice::Truncate);
            config.write(QStringLiteral("%YAML 1.1\n---\nconnection: &controller\n"
                                        "  accepter: %1tcp,127.0.0.1,%2\n"
                                        "  connector: serialdev,%3,9600n81,local\n"
                                        "  options:\n    kickolduser: true\n")
                             .arg(m_rfc2217 ? QStringLiteral("telnet(rfc2217),") : QString())
                             .arg(port)
                             .arg(m_device)
                             .toUtf8());
            config.close();
            process.start(QStringLiteral("ser2net"),
                          {QStringLiteral("-n"), QStringLiteral("-u"), QStringLiteral("-c"),
                           config.fileName(), QStringLiteral("-P"), dir.filePath(QStringLiteral("pid"))});
            if (QTest::qWaitFor([this] { return listening(); }, 5000))
                return true;
            stop();
        }
        return false;
    }
    bool listening()
    {
        if (process.state() != QProcess::Running)
            return false;
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        const bool up = probe.waitForConnected(200);
        probe.abort();
        return up;
    }
    void stop()
    {
        process.kill();
        process.waitForFinished(5000);
    }
    QString name(quint16 at = 0) const
    {
        return NetworkPortName({m_rfc2217 ? NetworkProtocol::Rfc2217 : NetworkProtocol::RawTcp,
                                QStringLiteral("127.0.0.1"), at ? at : port});
    }

    QTemporaryDir dir;
    QProcess process;
    quint16 port = 0;

private:
    QString m_device;
    bool m_rfc2217;
};

} // namespace

class NetworkTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("ser2net")).isEmpty())
            QSKIP("ser2net is not installed (tools/deps.sh installs it)");
        QVERIFY(m_dir.isValid());
    }

    void portNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("normal"); // empty: refused
        QTest::newRow("raw") << "tcp://127.0.0.1:4001"
                             << "tcp://127.0.0.1:4001";
        QTest::newRow("telnet, upper case") << "RFC2217://site.example:23"
                                            << "rfc2217://site.example:23";
        QTest::newRow("IPv6") << "tcp://[::1]:4001"
                              << "tcp://[::1]:4001";
        QTest::newRow("no port") << "tcp://127.0.0.1"
                                 << "";
        QTest::newRow("a path") << "tcp://127.0.0.1:4001/x"
                                << "";
        QTest::newRow("port too big") << "tcp://127.0.0.1:70000"
                                      << "";
    }
    void portNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, normal);
        const std::optional<NetworkAddress> address = ParseNetworkPort(name);
        QCOMPARE(address ? NetworkPortName(*address) : QString(), normal);
        QVERIFY(IsNetworkPortName(name));
    }

    // Bytes equal to Telnet's IAC inside the data: doubled on the wire both ways, single at either end.
    void telnetData_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("byteByByte"); // each wire byte its own arrival
        const QByteArray noise = QByteArray::fromHex("3aff00ff0dffff0a0dfff0fffa2cfffe0dff");
        QTest::newRow("a lone IAC") << QByteArray::fromHex("ff") << false;
        QTest::newRow("noise with IAC, commands and CR NUL") << noise << false;
        QTest::newRow("the same, a byte per arrival") << noise << true;
        QTest::newRow("a frame between noise") << noise + ":0105000000040B\r" + noise << false;
    }
    void telnetData()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, byteByByte);
        // Both ends agree on the options the port asks for; the server's side is a second session.
        const std::vector<TelnetSession::Option> options{
            {TELNET_TELOPT_BINARY, true, true}, {TELNET_TELOPT_SGA, true, true}, {ComPortOption, true, true}};
        QByteArray wire[2], arrived[2];
        std::unique_ptr<TelnetSession> ends[2];
        for (int side : {0, 1}) {
            TelnetSession::Handlers handlers;
            handlers.data = [&arrived, side](const QByteArray &bytes) { arrived[side] += bytes; };
            handlers.send = [&wire, side](const QByteArray &bytes) { wire[side] += bytes; };
            handlers.error = [](const QByteArray &message) { QFAIL(message.constData()); };
            ends[side] = std::make_unique<TelnetSession>(options, std::move(handlers));
        }
        const auto pass = [&](int from) {
            const QByteArray bytes = std::exchange(wire[from], QByteArray());
            for (qsizetype at = 0; at < bytes.size(); at += byteByByte ? 1 : bytes.size())
                ends[1 - from]->receive(bytes.mid(at, byteByByte ? 1 : -1));
        };
        QByteArray escaped = data;
        escaped.replace("\xff", "\xff\xff");
        for (int from : {0, 1}) {
            ends[from]->sendData(data);
            QCOMPARE(wire[from].toHex(), escaped.toHex());
            pass(from);
            QCOMPARE(arrived[1 - from].toHex(), data.toHex());
        }
    }

    // A window that only watches sends no request: the connect's time is the first round trip shown.
    void roundTripShownFromTheConnect()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        DeviceLink link;
        QSignalSpy roundTrip(&link, &DeviceLink::roundTripChanged);
        QCOMPARE(link.openPort(NetworkPortName(
                     {NetworkProtocol::RawTcp, QStringLiteral("127.0.0.1"), server.serverPort()})),
                 QString());
        QVERIFY(QTest::qWaitFor(
            [&] { return !roundTrip.isEmpty() && roundTrip.constLast().constFirst().toInt() >= 0; }, 5000));
        QCOMPARE(roundTrip.constLast().constFirst().toInt(), link.transport().connectMs());
    }

    // A connection that cannot be made at the start is a port that cannot be opened, whatever the command.
    void firstConnectFails_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("port");
        const QString refused = QStringLiteral("127.0.0.1:%1").arg(freePort());
        QTest::newRow("read, raw, refused")
            << QStringList{"read-config", path("never.txt")} << "tcp://" + refused;
        QTest::newRow("journal, rfc2217, refused") << QStringList{"read-journal"} << "rfc2217://" + refused;
        QTest::newRow("status, unknown host") << QStringList{"status"} << "tcp://no-such-host.invalid:4001";
        QTest::newRow("batch, refused") << QStringList{"batch", path("template.txt")} << "tcp://" + refused;
    }
    void firstConnectFails()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, port);
        if (command.first() == QStringLiteral("batch") && !QFile::exists(path("template.txt"))) {
            Controller c;
            QVERIFY(c.started);
            QVERIFY(runCli({"read-config", "--port", c.port(), path("template.txt")}).exitCode == 0);
        }
        const CliResult result = runCli(command + QStringList{"--port", port}, 30000);
        QVERIFY2(result.exitCode == 3, result.describe());
        // The batch tells each unit's failure in its table, the other commands on stderr.
        QVERIFY2((result.out + result.err).contains("Can't open device " + port.toUtf8() + ": "),
                 result.describe());
    }

    // Read, proven write and journals as over the cable, at added round trips up to a second,
    // each arrival held back by a fifth more or less than the rest (seeded, in order).
    void overSer2net_data()
    {
        QTest::addColumn<bool>("rfc2217");
        QTest::addColumn<int>("roundTripMs");
        // 300 ms each way as over a cellular link; a second's round trip is tried once.
        for (const bool telnet : {false, true}) {
            for (const int rtt : {0, 300, 600, 1000}) {
                if (rtt == 1000 && !telnet)
                    continue;
                const QByteArray name = (telnet ? "rfc2217, " : "raw, ") + QByteArray::number(rtt) + " ms";
                QTest::newRow(name.constData()) << telnet << rtt;
            }
        }
    }
    void overSer2net()
    {
        QFETCH(bool, rfc2217);
        QFETCH(int, roundTripMs);
        Controller c;
        QVERIFY(c.started);
        // Over a long line each request takes two periods: a few entries in each journal, not all seeded.
        if (roundTripMs >= 600) {
            const QDateTime when = c.model().clock();
            for (ControllerJournal *journal : {&c.model().eventJournal(), &c.model().alarmJournal()})
                journal->clear();
            for (const quint8 code : {0, 1, 12}) {
                c.model().eventJournal().append(when.addSecs(-3600 + code), code);
                if (code == 12)
                    c.model().alarmJournal().append(when.addSecs(-3600 + code), code);
            }
        }
        c.sim.setPeriodMs(100);
        const CliResult local = runCli({"read-config", "--port", c.port(), "--raw", path("local.txt")});
        QVERIFY2(local.exitCode == 0, local.describe());
        const CliResult localJournal = runCli({"read-journal", "--port", c.port(), "--json"});
        QVERIFY2(localJournal.exitCode == 0, localJournal.describe());

        c.sim.setPeriodMs(roundTripMs >= 1000 ? 1000 : 200);
        Ser2net server(c.port(), rfc2217);
        QVERIFY(server.listening());
        DelayRelay relay(server.port, roundTripMs, 0.2, quint32(roundTripMs + rfc2217));
        const QString port = server.name(relay.port());
        // At a second's round trip the proven write's read-back stands for the read.
        if (roundTripMs < 1000) {
            const CliResult read = runCli({"read-config", "--port", port, "--raw", path("net.txt")});
            QVERIFY2(read.exitCode == 0, read.describe());
            QCOMPARE(fileBytes("net.txt"), fileBytes("local.txt"));
        }

        const CliResult write = runCli({"write-config", "--port", port, path("local.txt")});
        QVERIFY2(write.exitCode == 0, write.describe());

        const CliResult journal = runCli({"read-journal", "--port", port, "--json"}, 120000);
        QVERIFY2(journal.exitCode == 0, journal.describe());
        QCOMPARE(journal.out, localJournal.out);
    }

    // Several units over the server at once, and a status followed until stopped.
    void batchAndFollow_data()
    {
        QTest::addColumn<bool>("rfc2217");
        QTest::newRow("raw") << false;
        QTest::newRow("rfc2217") << true;
    }
    void batchAndFollow()
    {
        QFETCH(bool, rfc2217);
        Controller c;
        QVERIFY(c.started);
        Ser2net server(c.port(), rfc2217);
        QVERIFY(server.listening());
        QVERIFY(runCli({"read-config", "--port", c.port(), path("template.txt")}).exitCode == 0);
        const CliResult batch = runCli({"batch", path("template.txt"), "--port", server.name()});
        QVERIFY2(batch.exitCode == 0, batch.describe());

        Following follow({"status", "--port", server.name(), "--json", "--follow"});
        QVERIFY(follow.waitForLines(3));
        QVERIFY(follow.stop(SIGINT));
    }

    // Watching a network port: a server away costs no unit, one back with its controller is configured again.
    void batchWatch_serverAwayAndBack()
    {
        Controller c;
        QVERIFY(c.started);
        QVERIFY(runCli({"read-config", "--port", c.port(), path("template.txt")}).exitCode == 0);
        Ser2net server(c.port(), false);
        QVERIFY(server.listening());
        const QString ledger = path("watch-ledger.csv");
        QFile::remove(ledger);
        Following batch(
            {"batch", path("template.txt"), "--watch", "--port", server.name(), "--ledger", ledger});
        const auto unitLines = [&] { return fileBytes("watch-ledger.csv").count('\n') - 1; };
        QVERIFY2(QTest::qWaitFor([&] { return unitLines() == 1; }, 20000), batch.out.constData());

        server.stop();
        // Several polls of the port while nobody listens there.
        QTest::qWait(3000);
        QVERIFY2(unitLines() == 1, fileBytes("watch-ledger.csv").constData());
        QVERIFY(server.start(server.port));
        QVERIFY2(QTest::qWaitFor([&] { return unitLines() == 2; }, 20000), batch.out.constData());
        QVERIFY(batch.stop(SIGINT));
        QCOMPARE(unitLines(), 2);
    }

    // A server killed mid-read ends the read as a lost port; the link connects again by itself.
    void lossAndReturn()
    {
        Controller c;
        QVERIFY(c.started);
        c.model().fillJournals();
        Ser2net server(c.port(), true);
        QVERIFY(server.listening());
        DelayRelay relay(server.port, 300);
        QProcess reading;
        reading.start(cliPath(), {"read-journal", "--port", server.name(relay.port())});
        QTest::qWait(2500);
        server.stop();
        QVERIFY(reading.waitForFinished(20000));
        const QString said = QString::fromUtf8(reading.readAllStandardError());
        QVERIFY2(reading.exitCode() != 0 && said.contains(QStringLiteral("Порт закрыт")), qPrintable(said));

        DeviceLink link;
        link.setReopenReturningPort(true);
        QSignalSpy lost(&link, &DeviceLink::portLost);
        QSignalSpy returned(&link, &DeviceLink::portReturned);
        const QString name = server.name();
        QCOMPARE(link.openPort(name), QString());
        QVERIFY(lost.wait(15000)); // nobody listens there now
        QVERIFY(link.transport().lossReason().size() > 0);
        QVERIFY(server.start(server.port));
        QVERIFY(returned.wait(35000));
        QCOMPARE(returned.constFirst().constFirst().toString(), name);
        QCOMPARE(lost.size(), 1);
    }

private:
    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QByteArray fileBytes(const char *name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
};

QTEST_MAIN(NetworkTest)
#include "tst_network.moc"
