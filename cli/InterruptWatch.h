#pragma once

// Ctrl+C and SIGTERM as a signal on the event loop, so a command that runs
// until interrupted ends cleanly and closes its port.

#include <QObject>

class QSocketNotifier;

namespace gencfg::cli {

class InterruptWatch : public QObject
{
    Q_OBJECT
public:
    explicit InterruptWatch(QObject *parent = nullptr);
    ~InterruptWatch() override;

    // Returns false when the signals cannot be watched.
    bool install();
    bool isInterrupted() const { return m_interrupted; }

Q_SIGNALS:
    void interrupted();

private:
    void onNotified();

    QSocketNotifier *m_notifier = nullptr;
    bool m_interrupted = false;
};

} // namespace gencfg::cli
