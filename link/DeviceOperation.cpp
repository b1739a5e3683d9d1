#include "link/DeviceOperation.h"

#include "link/Commands.h"
#include "link/DeviceLink.h"
#include "link/FrameCodec.h"

namespace gencfg {

OperationStep CommandStep(quint8 command, quint16 address, const QByteArray &data)
{
    return {BuildCommandFrame(command, address, quint8(data.size()), data), "<< ", CommandBound};
}

OperationStep WriteBlockStep(quint16 address, const QByteArray &data)
{
    return {BuildWriteFrame(address, quint8(data.size()), data), "<< ", BlockBound};
}

OperationStep ReadBlockStep(quint16 address, quint8 count)
{
    return {BuildReadFrame(address, count), "<<", BlockBound, CMD_READ_MEMORY, count};
}

OperationStatus FailureStatus(StepOutcome outcome)
{
    switch (outcome) {
    case StepOutcome::Sent:
    case StepOutcome::Replied:
        return OperationStatus::Succeeded;
    case StepOutcome::WriteFailed:
        return OperationStatus::WriteFailed;
    case StepOutcome::NotReady:
    case StepOutcome::NoReply:
    case StepOutcome::WrongReply:
        break;
    }
    return OperationStatus::NoAnswer;
}

DeviceOperation::DeviceOperation(int total, QObject *parent) : QObject(parent), m_total(total)
{}

DeviceOperation::~DeviceOperation()
{
    if (m_link)
        m_link->forgetOperation(this);
}

void DeviceOperation::cancel()
{
    if (m_link)
        m_link->cancelOperation();
}

std::optional<OperationStatus> DeviceOperation::strayReply(bool afterReply)
{
    if (!afterReply)
        return std::nullopt;
    return FailureStatus(StepOutcome::WrongReply);
}

void DeviceOperation::setProgress(int done, int total)
{
    if (done == m_done && total == m_total)
        return;
    m_done = done;
    m_total = total;
    Q_EMIT progress(done, total);
}

SingleStepOperation::SingleStepOperation(const OperationStep &step, QObject *parent)
    : DeviceOperation(1, parent), m_step(step)
{}

std::optional<OperationStep> SingleStepOperation::nextStep()
{
    if (m_sent)
        return std::nullopt;
    m_sent = true;
    return m_step;
}

std::optional<OperationStatus> SingleStepOperation::stepEnded(StepOutcome outcome,
                                                              const QByteArray &replyData)
{
    m_outcome = outcome;
    m_reply = replyData;
    setProgress(1, 1);
    return FailureStatus(outcome);
}

} // namespace gencfg
