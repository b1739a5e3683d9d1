#include "cli/CommandRunners.h"
#include "cli/Console.h"
#include "cli/DeviceSession.h"

#include "config/ConfigTransfer.h"
#include "link/Commands.h"
#include "link/DeviceText.h"
#include "service/ServiceChange.h"
#include "service/ServicePayloads.h"

#include <QDateTime>
#include <QRegularExpression>
#include <functional>
#include <optional>

namespace gencfg::cli {

namespace {

const QString PortOption = QStringLiteral("port");

struct NamedCommand
{
    const char *name;
    quint8 code;
};

const NamedCommand OneShotCommands[] = {
    {"test-sms", CMD_TEST_SMS},    {"test-gprs", CMD_TEST_GPRS}, {"restart-modem", CMD_RESTART_MODEM},
    {"sync-clock", CMD_SET_CLOCK}, {"mode-auto", CMD_MODE_AUTO}, {"mode-semiauto", CMD_MODE_SEMIAUTO},
};

QString commandError(const Invocation &invocation, const QString &what)
{
    return QStringLiteral("gencfg-cli %1: %2").arg(invocation.command, what);
}

// Prints why a payload cannot be sent; Done when it can.
int checkPayload(const Invocation &invocation, const ServicePayload &payload)
{
    if (payload.isOk())
        return Done;
    return Fail(InputError, commandError(invocation, payload.message));
}

int checkServiceCode(const Invocation &invocation)
{
    if (IsServiceCode(invocation.value(QStringLiteral("code"))))
        return Done;
    return Fail(InputError, commandError(invocation, QStringLiteral("wrong service code")));
}

// One frame to the controller, as the window's service buttons send it.
int sendStep(const Invocation &invocation, const OperationStep &step)
{
    DeviceSession session;
    if (const int opened = session.open(invocation.value(PortOption)); opened != Done)
        return opened;
    SingleStepOperation operation(step);
    return session.failure(session.run(operation));
}

int sendCommand(const Invocation &invocation, quint8 command, const QByteArray &data)
{
    return sendStep(invocation, CommandStep(command, 0, data));
}

// What the controller held before, as the window's question names it; nothing when it did not tell.
using FormerValue = std::function<std::optional<QString>(DeviceSession &)>;

// Writes the value, then prints the one it replaced; the exit status is the write's alone.
int replaceMemory(const Invocation &invocation, quint16 address, const QByteArray &data,
                  const FormerValue &former)
{
    DeviceSession session;
    if (const int opened = session.open(invocation.value(PortOption)); opened != Done)
        return opened;
    const std::optional<QString> before = former(session);
    SingleStepOperation operation(WriteBlockStep(address, data));
    const OperationStatus status = session.run(operation);
    if (status == OperationStatus::Succeeded)
        PrintOut(FormerValueText(before) + QLatin1Char('\n'));
    return session.failure(status);
}

std::optional<QString> formerMotorHours(DeviceSession &session)
{
    if (!session.waitForFirstStatus())
        return std::nullopt;
    return MotorHoursText(session.statusFeed().latest().MotoclockMinutes);
}

std::optional<QString> formerSerial(DeviceSession &session)
{
    SingleStepOperation read(ReadBlockStep(SerialNumberAddress, SerialNumberLength));
    if (session.run(read) != OperationStatus::Succeeded)
        return std::nullopt;
    ConfigImageBytes image = BlankImage();
    for (int i = 0; i < SerialNumberLength; ++i)
        image[size_t(SerialNumberAddress + i)] = quint8(read.replyData().at(i));
    const QString serial = SerialTextOf(image);
    return serial.isEmpty() ? UnsetSerialText() : serial;
}

// The payload built from the H:MM argument, split into the two texts the window's hour and minute edits would
// hold; Done, or the status of what is wrong with it.
int timePayload(const Invocation &invocation, ServicePayload (*build)(const QString &, const QString &),
                ServicePayload &payload)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]+):([0-5][0-9])$"));
    const QRegularExpressionMatch match = form.match(invocation.argument(0));
    if (!match.hasMatch())
        return Fail(InputError,
                    commandError(invocation, QStringLiteral("'%1' is not a time H:MM (minutes 00-59)")
                                                 .arg(invocation.argument(0))));
    payload = build(match.captured(1), match.captured(2));
    return checkPayload(invocation, payload);
}

int sendDuration(const Invocation &invocation, quint8 command)
{
    ServicePayload payload;
    if (const int checked = timePayload(invocation, &DurationPayload, payload); checked != Done)
        return checked;
    return sendCommand(invocation, command, payload.data);
}

} // namespace

int RunSend(const Invocation &invocation)
{
    const QString name = invocation.argument(0);
    for (const NamedCommand &command : OneShotCommands) {
        if (name != QLatin1String(command.name))
            continue;
        // The clock is read once, as the button reads it, just before the send waits for the controller.
        const QByteArray data =
            command.code == CMD_SET_CLOCK ? ClockPayload(QDateTime::currentDateTime()) : QByteArray();
        return sendCommand(invocation, command.code, data);
    }
    QStringList names;
    for (const NamedCommand &command : OneShotCommands)
        names << QLatin1String(command.name);
    return Fail(InputError, commandError(invocation, QStringLiteral("unknown command '%1': give one of %2")
                                                         .arg(name, names.join(QStringLiteral(", ")))));
}

int RunStart(const Invocation &invocation)
{
    return sendDuration(invocation, CMD_GENERATOR_START);
}

int RunStop(const Invocation &invocation)
{
    return sendDuration(invocation, CMD_GENERATOR_STOP);
}

int RunSetMotorHours(const Invocation &invocation)
{
    if (const int code = checkServiceCode(invocation); code != Done)
        return code;
    ServicePayload payload;
    if (const int checked = timePayload(invocation, &MotoclockPayload, payload); checked != Done)
        return checked;
    return replaceMemory(invocation, MotoclockAddress, payload.data, &formerMotorHours);
}

int RunSetSerial(const Invocation &invocation)
{
    if (const int code = checkServiceCode(invocation); code != Done)
        return code;
    const QString text = invocation.argument(0);
    if (const int characters = CharacterCount(text); characters != SerialNumberLength)
        return Fail(InputError,
                    commandError(invocation, QStringLiteral("the serial number must be exactly %1 "
                                                            "characters, '%2' has %3")
                                                 .arg(QString::number(SerialNumberLength), text,
                                                      QString::number(characters))));
    const ServicePayload payload = SerialNumberPayload(text);
    if (const int checked = checkPayload(invocation, payload); checked != Done)
        return checked;
    return replaceMemory(invocation, SerialNumberAddress, payload.data, &formerSerial);
}

} // namespace gencfg::cli
