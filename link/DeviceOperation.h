#pragma once

// A device operation: a sequence of steps, each "after the next accepted
// device frame, send this frame; then nothing, or take the next accepted frame
// as the reply". The link runs one operation at a time without ever waiting in
// a nested event loop: arrivals and a deadline timer move it on, and it
// reports progress and its result by signal.

#include <QByteArray>
#include <QObject>
#include <optional>

namespace gencfg {

class DeviceLink;

// Wait bounds, in ticks of the link's wait clock (300 ms unless set otherwise).
constexpr int CommandBound = 5;
constexpr int BlockBound = 10;
constexpr int ReplyBound = 2;

struct OperationStep
{
    QByteArray frame;    // the frame text as it goes on the line
    QByteArray echoMark; // what the echo line puts before it: "<< " or "<<"
    int readyBound = BlockBound;
    quint8 replyCommand = 0; // 0: no reply is awaited
    int replyBytes = 0;      // data bytes the reply must carry at least
    int replyBound = ReplyBound;
};

// The requests of the protocol as steps.
OperationStep CommandStep(quint8 command, quint16 address, const QByteArray &data);
OperationStep WriteBlockStep(quint16 address, const QByteArray &data);
OperationStep ReadBlockStep(quint16 address, quint8 count);

enum class StepOutcome {
    Sent,        // the frame went out whole; no reply was awaited
    Replied,     // the reply came and carries the bytes asked for
    NotReady,    // no device frame within the first bound: nothing was sent
    NoReply,     // no frame within the reply bound
    WrongReply,  // the next frame was another command or too short
    WriteFailed, // the port took the frame only in part, or not at all
};

enum class OperationStatus {
    Succeeded,
    NoAnswer,       // the controller did not become ready or did not answer
    WriteFailed,    // a frame could not be written to the port
    PortLost,       // the port closed or vanished under the operation
    Cancelled,      // stopped by the user between two steps
    VariantChanged, // a status frame reported another variant than the one at the start
};

class DeviceOperation : public QObject
{
    Q_OBJECT
public:
    ~DeviceOperation() override;

    // Set once the operation has finished.
    std::optional<OperationStatus> status() const { return m_status; }
    int done() const { return m_done; }
    int total() const { return m_total; }

    // Ends the operation at the next step boundary; a frame already on the wire is never cut.
    void cancel();

Q_SIGNALS:
    void progress(int done, int total);
    void finished(gencfg::OperationStatus status);

protected:
    explicit DeviceOperation(int total, QObject *parent = nullptr);

    // The next step, or nothing when the operation is complete.
    virtual std::optional<OperationStep> nextStep() = 0;
    // How a step ended, with the reply's data when it Replied. Returns the
    // status to end with, or nothing to go on with the next step.
    virtual std::optional<OperationStatus> stepEnded(StepOutcome outcome, const QByteArray &replyData) = 0;

    void setProgress(int done, int total);
    // The variant code of every status frame that arrives while the operation runs.
    virtual void variantReported(quint8 code) { Q_UNUSED(code) }
    // A reply nobody awaited: one that came while the next request waited for
    // its turn, or a second reply to one request. Any reply taken before it may
    // have been a late one for an earlier request; afterReply says the last step
    // took one and no request has gone out since. Returns the status to end
    // with, or nothing to go on.
    virtual std::optional<OperationStatus> strayReply(bool afterReply);

private:
    friend class DeviceLink;

    DeviceLink *m_link = nullptr;
    std::optional<OperationStatus> m_status;
    int m_done = 0;
    int m_total = 0;
};

// One request: a service command, a memory write, or one read.
class SingleStepOperation : public DeviceOperation
{
    Q_OBJECT
public:
    explicit SingleStepOperation(const OperationStep &step, QObject *parent = nullptr);

    StepOutcome outcome() const { return m_outcome; }
    // The reply's data, when one was awaited and came.
    const QByteArray &replyData() const { return m_reply; }

protected:
    std::optional<OperationStep> nextStep() override;
    std::optional<OperationStatus> stepEnded(StepOutcome outcome, const QByteArray &replyData) override;

private:
    OperationStep m_step;
    bool m_sent = false;
    StepOutcome m_outcome = StepOutcome::NotReady;
    QByteArray m_reply;
};

// The status an operation ends with when a step failed this way.
OperationStatus FailureStatus(StepOutcome outcome);

} // namespace gencfg
