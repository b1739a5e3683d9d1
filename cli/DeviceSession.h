#pragma once

// The controller on its serial port, for one command: the window's link with
// its operations, and what the controller's status frames have told so far.
// Ctrl+C or SIGTERM ends any wait and stops a running operation between two
// steps.

#include "cli/CommandLine.h"
#include "cli/InterruptWatch.h"
#include "config/Catalogue.h"
#include "link/DeviceLink.h"
#include "monitor/StatusFeed.h"

#include <QObject>
#include <functional>

namespace gencfg {
class JournalBook;
}

namespace gencfg::cli {

class Progress;

class DeviceSession : public QObject
{
    Q_OBJECT
public:
    explicit DeviceSession(QObject *parent = nullptr);

    // Opens port at 9600 8N1 as the window does. Returns Done, or prints why
    // it failed and returns PortUnavailable.
    int open(const QString &port);
    DeviceLink &link() { return m_link; }
    const StatusFeed &statusFeed() const { return m_statusFeed; }

    // Runs the event loop until done() holds after a status frame, the port is lost,
    // quit() is called or ticks of the link's wait clock have passed; returns done().
    bool waitFor(const std::function<bool()> &done, int ticks);
    void quit();

    // Waits, up to the bound of a block transfer, for the first status frame since open.
    bool waitForFirstStatus();
    bool statusSeen() const { return m_statusFeed.seen(); }
    quint8 reportedVariantCode() const { return m_statusFeed.latest().VariantCode; }
    bool portLost() const { return m_portLost; }
    bool interrupted() const { return m_interrupt.isInterrupted(); }

    // A transfer fails when the controller reports another variant than it did before it.
    template <typename Transfer> void watchVariant(Transfer &transfer) const
    {
        if (statusSeen())
            transfer.setVariantAtStart(reportedVariantCode());
    }

    // Runs an operation to its end, showing its progress.
    OperationStatus run(DeviceOperation &operation, Progress *progress = nullptr);

    // The catalogue to decode with: --variant, else the one the controller reports; prints why there is none.
    int chooseVariant(const Invocation &invocation, DeviceVariant &variant);
    // Reads both journals into book, showing the progress; the book tells what is missing or incomplete.
    OperationStatus readJournals(JournalBook &book);
    // Prints why the controller could not be reached and returns NoAnswer.
    int noAnswer() const;
    // Prints why an operation did not succeed and returns the exit status for it.
    int failure(OperationStatus status) const;

private:
    DeviceLink m_link;
    StatusFeed m_statusFeed{m_link};
    InterruptWatch m_interrupt;
    bool m_portLost = false;
    std::function<void()> m_quitWait;
};

} // namespace gencfg::cli
