#include "service/ServicePayloads.h"

#include "link/DeviceText.h"
#include "link/FrameCodec.h"

#include <QCoreApplication>
#include <QDateTime>
#include <optional>

namespace gencfg {

namespace {

const char ServiceCode[] = "41730962";

ServicePayload refused(const QString &message)
{
    return {ServicePayload::Warning, {}, message};
}

ServicePayload conversionFailed(const QString &message)
{
    return {ServicePayload::Error, {}, message};
}

QByteArray bigEndian(quint32 value, int width)
{
    QByteArray data;
    for (int shift = 8 * (width - 1); shift >= 0; shift -= 8)
        data.append(char((value >> shift) & 0xFF));
    return data;
}

} // namespace

ParsedInteger parseIntegerField(const QString &text)
{
    ParsedInteger result;
    bool digitsOnly = !text.isEmpty();
    for (int i = 0; i < text.size() && digitsOnly; ++i) {
        const QChar c = text.at(i);
        const bool sign = i == 0 && (c == QLatin1Char('+') || c == QLatin1Char('-'));
        digitsOnly = sign || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
    }
    if (digitsOnly)
        result.value = text.toInt(&result.ok, 10);
    if (!result.ok)
        result.error = QStringLiteral("'%1' is not a valid integer value").arg(text);
    return result;
}

namespace {

// Hours, then minutes, converted in that order as the edits are read; the total of perHour a hour and
// perMinute a minute is refused above most, else sent high byte first in width bytes.
ServicePayload hoursMinutesPayload(const QString &hoursText, const QString &minutesText, int perHour,
                                   int perMinute, qint64 most, const QString &limitText, int width)
{
    const ParsedInteger hours = parseIntegerField(hoursText);
    if (!hours.ok)
        return conversionFailed(hours.error);
    const ParsedInteger minutes = parseIntegerField(minutesText);
    if (!minutes.ok)
        return conversionFailed(minutes.error);
    const qint64 total = qint64(hours.value) * perHour + qint64(minutes.value) * perMinute;
    if (hours.value < 0 || minutes.value < 0 || total > most)
        return refused(limitText);
    return {ServicePayload::Ok, bigEndian(quint32(total), width), {}};
}

} // namespace

ServicePayload DurationPayload(const QString &hoursText, const QString &minutesText)
{
    const QString limit =
        QCoreApplication::translate("ServicePayloads", "Длительность должна быть не больше %1 ч %2 мин")
            .arg(MaxDurationSeconds / 3600)
            .arg(MaxDurationSeconds % 3600 / 60);
    return hoursMinutesPayload(hoursText, minutesText, 3600, 60, MaxDurationSeconds, limit, 2);
}

ServicePayload MotoclockPayload(const QString &hoursText, const QString &minutesText)
{
    const QString limit =
        QCoreApplication::translate("ServicePayloads", "Счетчик моточасов должен быть от 0 до %1 ч %2 мин")
            .arg(MaxMotoclockMinutes / 60)
            .arg(MaxMotoclockMinutes % 60);
    return hoursMinutesPayload(hoursText, minutesText, 60, 1, MaxMotoclockMinutes, limit, 4);
}

ServicePayload SerialNumberPayload(const QString &text)
{
    // The same rule as the text parameters: the controller ends a stored text at its first byte of 0x7B or
    // more.
    const int characters = CharacterCount(text);
    if (characters != SerialNumberLength)
        return refused(QCoreApplication::translate(
                           "ServicePayloads", "Серийный номер должен состоять из %1 символов, введено %2")
                           .arg(SerialNumberLength)
                           .arg(characters));
    if (const QString unstorable = FirstUnstorableCharacter(text); !unstorable.isEmpty())
        return refused(QCoreApplication::translate("ServicePayloads",
                                                   "Символ «%1» нельзя записать в серийный номер устройства")
                           .arg(unstorable));
    return {ServicePayload::Ok, text.toLatin1(), {}};
}

QByteArray ClockPayload(const QDateTime &now)
{
    if (!now.isValid())
        return {};
    const QDate date = now.date();
    const QTime time = now.time();
    QByteArray data;
    for (int value : {time.hour(), time.minute(), time.second(), date.day(), date.month(),
                      (date.year() % 100 + 100) % 100})
        data.append(char(ByteToBcd(quint8(value))));
    return data;
}

bool IsServiceCode(const QString &text)
{
    return text == QLatin1String(ServiceCode);
}

} // namespace gencfg
