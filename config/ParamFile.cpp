#include "config/ParamFile.h"
#include "config/FileWriting.h"
#include "link/DeviceText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextCodec>
#include <algorithm>
#include <optional>

namespace gencfg {

namespace {

constexpr int ValuesPerLine = 16;
constexpr int FieldWidth = 4;
constexpr int ShownTokenLength = 20;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Any other control byte means the file is no plain text, and its values cannot be trusted.
bool IsControl(char c)
{
    return (quint8(c) < 32 || quint8(c) == 127) && !IsBlank(c);
}

bool EndsToken(char c)
{
    return IsBlank(c) || IsControl(c);
}

// A mark, or a first character whose other byte is zero, as every digit and blank has in UTF-16.
bool IsUtf16(const QByteArray &content)
{
    if (content.startsWith("\xFF\xFE") || content.startsWith("\xFE\xFF"))
        return true;
    return content.size() >= 2 && (content.at(0) == '\0') != (content.at(1) == '\0');
}

std::optional<quint8> ParseByteValue(const QByteArray &token)
{
    int i = token.startsWith('+') ? 1 : 0;
    if (i == token.size())
        return std::nullopt;
    int value = 0;
    for (; i < token.size(); ++i) {
        const char c = token.at(i);
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 255)
            return std::nullopt;
    }
    return quint8(value);
}

// As the bytes were meant: UTF-8 when they are valid UTF-8, else Windows-1251 as the device texts.
QString ShownToken(const QByteArray &token)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(token);
    if (utf8.hasError())
        text = DeviceTextCodec()->toUnicode(token);
    if (text.size() <= ShownTokenLength)
        return text;
    // Cut between characters, never inside a pair of surrogates.
    const int cut = text.at(ShownTokenLength).isLowSurrogate() ? ShownTokenLength + 1 : ShownTokenLength;
    return text.left(cut) + QStringLiteral("…");
}

QString Shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

ParamFileValues Refused(const QString &error)
{
    ParamFileValues result;
    result.error = error;
    return result;
}

} // namespace

QByteArray FormatParamFile(const ConfigImageBytes &image)
{
    QByteArray text;
    text.reserve(int(image.size()) * FieldWidth + int(image.size()) / ValuesPerLine * 2);
    for (size_t i = 0; i < image.size(); ++i) {
        text += QByteArray::number(image[i]).leftJustified(FieldWidth, ' ');
        if ((i + 1) % ValuesPerLine == 0)
            text += "\r\n";
    }
    return text;
}

ParamFileValues ParseParamFile(const QByteArray &content, const QString &fileName)
{
    ParamFileValues result;
    const int count = int(content.size());
    int line = 1;
    if (IsUtf16(content))
        return Refused(
            QCoreApplication::translate(
                "ParamFile", "Файл %1 записан в UTF-16; сохраните его как текст в UTF-8 или Windows-1251")
                .arg(Shown(fileName)));
    // A byte-order mark left by a text editor is not a value.
    int i = content.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < count && result.values.size() < 256) {
        const char c = content.at(i);
        if (IsBlank(c)) {
            if (c == '\n' || (c == '\r' && (i + 1 == count || content.at(i + 1) != '\n')))
                ++line;
            ++i;
            continue;
        }
        const int start = i;
        while (i < count && !EndsToken(content.at(i)))
            ++i;
        // The byte that ends a value is checked before the value: "12<NUL>" is no 12.
        if (i < count && IsControl(content.at(i))) {
            return Refused(QCoreApplication::translate(
                               "ParamFile", "Файл %1, строка %2: недопустимый управляющий байт 0x%3")
                               .arg(Shown(fileName))
                               .arg(line)
                               .arg(QString::number(quint8(content.at(i)), 16)
                                        .toUpper()
                                        .rightJustified(2, QLatin1Char('0'))));
        }
        const QByteArray token = content.mid(start, i - start);
        const std::optional<quint8> value = ParseByteValue(token);
        if (!value) {
            return Refused(QCoreApplication::translate(
                               "ParamFile", "Файл %1, строка %2: '%3' не является числом от 0 до 255")
                               .arg(Shown(fileName))
                               .arg(line)
                               .arg(ShownToken(token)));
        }
        result.values.append(*value);
    }
    // Taken as a file that sets nothing, it would have the tree decoded from a stale image.
    if (result.values.isEmpty())
        return Refused(QCoreApplication::translate("ParamFile", "Файл %1 не содержит ни одного значения")
                           .arg(Shown(fileName)));
    result.ok = true;
    return result;
}

ParamFileValues ReadParamFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return Refused(QCoreApplication::translate("ParamFile", "Файл %1 не найден").arg(Shown(path)));
    if (info.isDir())
        return Refused(QCoreApplication::translate("ParamFile", "%1 — это папка, а не файл параметров")
                           .arg(Shown(path)));
    if (!info.isFile())
        return Refused(
            QCoreApplication::translate("ParamFile", "%1 не является обычным файлом").arg(Shown(path)));

    const QString tooLarge =
        QCoreApplication::translate("ParamFile",
                                    "Файл %1 слишком велик для файла параметров (допустимо не более %2 байт)")
            .arg(Shown(path))
            .arg(MaxParamFileSize);
    if (info.size() > MaxParamFileSize)
        return Refused(tooLarge);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Refused(QCoreApplication::translate("ParamFile", "Не удалось открыть файл %1: %2")
                           .arg(Shown(path), file.errorString()));
    // The file may have grown since it was looked at.
    const QByteArray content = file.read(MaxParamFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return Refused(QCoreApplication::translate("ParamFile", "Не удалось прочитать файл %1: %2")
                           .arg(Shown(path), file.errorString()));
    if (content.size() > MaxParamFileSize)
        return Refused(tooLarge);
    return ParseParamFile(content, path);
}

void ApplyParamValues(const QVector<quint8> &values, ConfigImageBytes &image)
{
    const int count = std::min(int(values.size()), int(image.size()));
    for (int i = 0; i < count; ++i)
        image[size_t(i)] = values.at(i);
}

QString SaveFileName(const QString &chosen, const QString &suffix)
{
    return chosen.endsWith(suffix, Qt::CaseInsensitive) ? chosen : chosen + suffix;
}

QString WriteParamFile(const QString &path, const ConfigImageBytes &image)
{
    // The save renames a new file over the name: a device or a pipe there would be replaced.
    if (const QString refusal = WriteTargetRefusal(path); !refusal.isEmpty())
        return refusal;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return QCoreApplication::translate("ParamFile", "Не удалось создать файл %1: %2")
            .arg(Shown(path), file.errorString());
    if (const QString error = WriteWhole(file, FormatParamFile(image)); !error.isEmpty()) {
        file.cancelWriting();
        return QCoreApplication::translate("ParamFile", "Не удалось записать файл %1: %2")
            .arg(Shown(path), error);
    }
    if (!file.commit())
        return QCoreApplication::translate("ParamFile", "Не удалось записать файл %1: %2")
            .arg(Shown(path), file.errorString());
    return QString();
}

} // namespace gencfg
