#include "cli/DeviceSession.h"

#include "monitor/JournalBook.h"
#include "monitor/JournalReading.h"

#include "cli/Console.h"
#include "cli/StatusFormat.h"
#include "config/ConfigTransfer.h"
#include "link/LinkTexts.h"
#include "link/PortTransport.h"

#include <QEventLoop>
#include <QTimer>

namespace gencfg::cli {

DeviceSession::DeviceSession(QObject *parent) : QObject(parent)
{
    connect(&m_link, &DeviceLink::portLost, this, [this] {
        m_portLost = true;
        quit();
    });
    m_interrupt.install();
    connect(&m_interrupt, &InterruptWatch::interrupted, this, [this] {
        quit();
        m_link.cancelOperation();
    });
}

int DeviceSession::open(const QString &port)
{
    if (const QString failure = m_link.openPort(port); !failure.isEmpty())
        return Fail(PortUnavailable, failure);
    // A network port connects in the background; every wait of the command starts once it has.
    ByteTransport &transport = m_link.transport();
    if (transport.opening()) {
        QEventLoop loop;
        connect(&transport, &ByteTransport::ready, &loop, &QEventLoop::quit);
        m_quitWait = [&loop] { loop.quit(); };
        loop.exec();
        m_quitWait = nullptr;
    }
    if (m_portLost && transport.lostWhileOpening())
        return Fail(PortUnavailable, ConnectFailureText(port, transport.lossReason()));
    if (interrupted())
        return Fail(Interrupted, QStringLiteral("interrupted"));
    return Done;
}

bool DeviceSession::waitFor(const std::function<bool()> &done, int ticks)
{
    if (done())
        return true;
    if (!m_link.transport().isOpen())
        return false;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    const QMetaObject::Connection frames = connect(&m_statusFeed, &StatusFeed::recordDecoded, &loop, [&] {
        if (done())
            loop.quit();
    });
    m_quitWait = [&loop] { loop.quit(); };
    deadline.start(ticks * m_link.tickMs());
    loop.exec();
    m_quitWait = nullptr;
    disconnect(frames);
    return done();
}

void DeviceSession::quit()
{
    if (m_quitWait)
        m_quitWait();
}

bool DeviceSession::waitForFirstStatus()
{
    return waitFor([this] { return statusSeen(); }, BlockBound);
}

OperationStatus DeviceSession::run(DeviceOperation &operation, Progress *progress)
{
    if (interrupted())
        return OperationStatus::Cancelled;
    QEventLoop loop;
    connect(&operation, &DeviceOperation::finished, &loop, &QEventLoop::quit);
    if (progress) {
        connect(&operation, &DeviceOperation::progress, &loop,
                [progress](int done, int total) { progress->set(total > 0 ? 100 * done / total : 0); });
    }
    if (!m_link.start(operation))
        return OperationStatus::NoAnswer;
    loop.exec();
    // Stopped by a signal is stopped, even when the last reply still came.
    if (interrupted())
        return OperationStatus::Cancelled;
    return operation.status().value_or(OperationStatus::NoAnswer);
}

int DeviceSession::noAnswer() const
{
    if (m_portLost)
        PrintErr(PortLostText() + QLatin1Char('\n'));
    // A network port tells what became of the connection.
    if (const QString reason = m_link.transport().lossReason(); m_portLost && !reason.isEmpty())
        PrintErr(ConnectionLostText(reason) + QLatin1Char('\n'));
    return Fail(NoAnswer, NoAnswerText());
}

int DeviceSession::failure(OperationStatus status) const
{
    if (interrupted())
        return Fail(Interrupted, QStringLiteral("interrupted"));
    switch (status) {
    case OperationStatus::Succeeded:
        return Done;
    case OperationStatus::VariantChanged:
        return Fail(NoAnswer, VariantChangedReadText());
    case OperationStatus::Cancelled:
        return Fail(Interrupted, QStringLiteral("interrupted"));
    case OperationStatus::WriteFailed:
        return Fail(NoAnswer, WriteFailedText());
    case OperationStatus::NoAnswer:
    case OperationStatus::PortLost:
        break;
    }
    return noAnswer();
}

int DeviceSession::chooseVariant(const Invocation &invocation, DeviceVariant &variant)
{
    if (invocation.has(QStringLiteral("variant"))) {
        variant = *VariantFromName(invocation.value(QStringLiteral("variant")));
        return Done;
    }
    if (!waitForFirstStatus())
        return failure(interrupted() ? OperationStatus::Cancelled : OperationStatus::NoAnswer);
    const quint8 code = reportedVariantCode();
    if (VariantName(code).isEmpty())
        return Fail(InputError,
                    QStringLiteral("the controller reports variant code %1, which has no catalogue; "
                                   "name one with --variant petrol|diesel|dry")
                        .arg(code));
    variant = DeviceVariant(code);
    return Done;
}

OperationStatus DeviceSession::readJournals(JournalBook &book)
{
    JournalReadOperation reading;
    QObject::connect(&reading, &JournalReadOperation::recordRead,
                     [&book](JournalSelector journal, int index, const JournalRecord &record) {
                         book.addRecord(journal, index, record);
                     });
    QObject::connect(&reading, &JournalReadOperation::recordMissing,
                     [&book](JournalSelector journal, int index) { book.addMissing(journal, index); });
    Progress progress(QStringLiteral("Чтение журнала"));
    const OperationStatus status = run(reading, &progress);
    progress.finish();
    for (JournalSelector journal : {EventJournal, AlarmJournal})
        book.setComplete(journal, reading.isComplete(journal));
    return status;
}

} // namespace gencfg::cli
