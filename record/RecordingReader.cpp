#include "record/RecordingReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <zlib.h>

namespace gencfg {

namespace {

constexpr int BlockSize = 64 * 1024;

QString Shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// A mark, or a first character whose other byte is zero, as every digit and sign has in UTF-16.
bool IsUtf16(const QByteArray &content)
{
    if (content.startsWith("\xFF\xFE") || content.startsWith("\xFE\xFF"))
        return true;
    return content.size() >= 2 && (content.at(0) == '\0') != (content.at(1) == '\0');
}

} // namespace

struct RecordingReader::Inflater
{
    Inflater() { ok = inflateInit2(&stream, 15 + 16) == Z_OK; }
    ~Inflater() { inflateEnd(&stream); }
    z_stream stream{};
    QByteArray input; // what stream.next_in points into
    bool ok = false;
    // A member has ended and nothing of another one has come out yet.
    bool betweenMembers = false;
};

RecordingReader::RecordingReader() = default;
RecordingReader::~RecordingReader() = default;

QString RecordingReader::open(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QCoreApplication::translate("Recording", "Файл %1 не найден").arg(Shown(path));
    if (info.isDir())
        return QCoreApplication::translate("Recording", "%1 — это папка, а не запись сеанса")
            .arg(Shown(path));
    if (!info.isFile())
        return QCoreApplication::translate("Recording", "%1 не является обычным файлом").arg(Shown(path));
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly))
        return QCoreApplication::translate("Recording", "Не удалось открыть файл %1: %2")
            .arg(Shown(path), file->errorString());
    return open(std::move(file), path);
}

QString RecordingReader::open(std::unique_ptr<QIODevice> device, const QString &name)
{
    m_device = std::move(device);
    m_name = name;
    m_header = RecordingHeader();
    m_text.clear();
    m_pos = 0;
    m_line = 0;
    m_lastMs = 0;
    m_error.clear();
    m_failureAtEnd.clear();
    m_lastAllowedMs = MaxChunkMs;
    m_endedInsideLine = false;
    m_atEnd = false;
    m_inflater.reset();
    if (m_device->peek(2) == QByteArray("\x1F\x8B")) {
        m_inflater = std::make_unique<Inflater>();
        if (!m_inflater->ok) {
            failRead(QStringLiteral("zlib"));
            return m_error;
        }
    }
    while (m_text.size() < 2 && fill()) {
    }
    if (!m_error.isEmpty())
        return m_error;
    if (IsUtf16(m_text)) {
        fail(QCoreApplication::translate("Recording", "Файл %1 записан в UTF-16 и не является записью сеанса")
                 .arg(Shown(m_name)));
        return m_error;
    }
    // A byte-order mark left by a text editor is not the header.
    if (m_text.startsWith("\xEF\xBB\xBF"))
        m_pos = 3;
    bool got = false;
    const QByteArray first = takeLine(&got);
    if (!m_error.isEmpty())
        return m_error;
    const std::optional<RecordingHeader> header = got ? ParseRecordingHeader(first) : std::nullopt;
    if (!header) {
        fail(QCoreApplication::translate("Recording", "Файл %1 не является записью сеанса")
                 .arg(Shown(m_name)));
        return m_error;
    }
    if (header->formatVersion > RecordingFormatVersion) {
        fail(QCoreApplication::translate("Recording", "Файл %1: запись сеанса версии %2 не поддерживается")
                 .arg(Shown(m_name))
                 .arg(header->formatVersion));
        return m_error;
    }
    m_header = *header;
    // Every time stays a date of four-digit years in any time zone.
    const qint64 lastInstant = QDateTime(QDate(9999, 12, 31), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
    m_lastAllowedMs = qMin(MaxChunkMs, lastInstant - m_header.start.toMSecsSinceEpoch());
    return {};
}

bool RecordingReader::next(RecordedChunk &chunk)
{
    if (!m_error.isEmpty() || !m_device)
        return false;
    for (;;) {
        bool got = false;
        const QByteArray line = takeLine(&got);
        if (!got)
            return false;
        // Blank lines and notes are for people reading the file.
        if (line.isEmpty() || line == "\r" || line.startsWith('#'))
            continue;
        std::optional<RecordedChunk> parsed = ParseChunkLine(line);
        if (!parsed)
            return fail(
                QCoreApplication::translate("Recording", "Файл %1, строка %2: неверная строка записи сеанса")
                    .arg(Shown(m_name))
                    .arg(m_line));
        if (parsed->ms < m_lastMs)
            return fail(QCoreApplication::translate(
                            "Recording", "Файл %1, строка %2: время меньше, чем в предыдущей строке")
                            .arg(Shown(m_name))
                            .arg(m_line));
        if (parsed->ms > m_lastAllowedMs)
            return fail(QCoreApplication::translate("Recording", "Файл %1, строка %2: время позже 9999 года")
                            .arg(Shown(m_name))
                            .arg(m_line));
        m_lastMs = parsed->ms;
        chunk = std::move(*parsed);
        return true;
    }
}

QByteArray RecordingReader::takeLine(bool *got)
{
    *got = false;
    int searched = m_pos;
    for (;;) {
        const int end = int(m_text.indexOf('\n', searched));
        if ((end < 0 ? m_text.size() : end) - m_pos > MaxLineLength) {
            fail(QCoreApplication::translate("Recording", "Файл %1, строка %2: строка слишком длинная")
                     .arg(Shown(m_name))
                     .arg(m_line + 1));
            return {};
        }
        if (end >= 0) {
            const QByteArray line = m_text.mid(m_pos, end - m_pos);
            m_pos = end + 1;
            ++m_line;
            *got = true;
            return line;
        }
        const int kept = int(m_text.size()) - m_pos;
        if (!fill()) {
            // The file was cut inside this line: what came before it stands.
            m_endedInsideLine = m_error.isEmpty() && m_text.size() > m_pos;
            return {};
        }
        searched = kept;
    }
}

bool RecordingReader::fill()
{
    if (m_pos > 0) {
        m_text.remove(0, m_pos);
        m_pos = 0;
    }
    if (!m_error.isEmpty())
        return false;
    if (m_atEnd) {
        if (!m_failureAtEnd.isEmpty())
            fail(m_failureAtEnd);
        return false;
    }
    if (m_inflater)
        return inflateMore();
    QByteArray block(BlockSize, Qt::Uninitialized);
    const qint64 got = m_device->read(block.data(), BlockSize);
    if (got < 0)
        return failRead(m_device->errorString());
    if (got == 0) {
        m_atEnd = true;
        return false;
    }
    m_text.append(block.constData(), int(got));
    return true;
}

bool RecordingReader::inflateMore()
{
    z_stream &stream = m_inflater->stream;
    for (;;) {
        if (stream.avail_in == 0) {
            QByteArray &input = m_inflater->input;
            input.resize(BlockSize);
            const qint64 got = m_device->read(input.data(), BlockSize);
            if (got < 0)
                return failRead(m_device->errorString());
            // The end of the file, whether or not the compressed stream had ended: a cut file stops here.
            if (got == 0) {
                m_atEnd = true;
                return false;
            }
            stream.next_in = reinterpret_cast<Bytef *>(input.data());
            stream.avail_in = uInt(got);
        }
        char out[BlockSize];
        stream.next_out = reinterpret_cast<Bytef *>(out);
        stream.avail_out = BlockSize;
        const int rc = inflate(&stream, Z_NO_FLUSH);
        const int produced = BlockSize - int(stream.avail_out);
        if (produced > 0) {
            m_inflater->betweenMembers = false;
            m_text.append(out, produced);
        }
        if (rc == Z_STREAM_END) {
            // Another member may follow, as "cat a.gz b.gz" makes.
            inflateReset(&stream);
            m_inflater->betweenMembers = true;
        } else if (rc == Z_DATA_ERROR || rc == Z_NEED_DICT || rc == Z_MEM_ERROR || rc == Z_STREAM_ERROR) {
            // Padding after the last member, as some tools leave, is no damage.
            if (m_inflater->betweenMembers) {
                m_atEnd = true;
                return produced > 0;
            }
            // The lines inflated before the damage are whole and play; the failure comes after them.
            m_atEnd = true;
            m_failureAtEnd =
                QCoreApplication::translate("Recording", "Файл %1: сжатые данные повреждены после строки %2")
                    .arg(Shown(m_name))
                    .arg(m_line + int(m_text.count('\n')));
            return produced > 0 || fail(m_failureAtEnd);
        }
        if (produced > 0)
            return true;
    }
}

bool RecordingReader::failRead(const QString &reason)
{
    return fail(QCoreApplication::translate("Recording", "Не удалось прочитать файл %1: %2")
                    .arg(Shown(m_name), reason));
}

bool RecordingReader::fail(const QString &text)
{
    m_error = text;
    return false;
}

} // namespace gencfg
