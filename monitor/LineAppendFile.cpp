#include "monitor/LineAppendFile.h"

#include "config/FileWriting.h"

namespace gencfg {

namespace {

// The last byte of a file, or nothing when it is empty or cannot be read.
char LastByte(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0 || !file.seek(file.size() - 1))
        return '\0';
    const QByteArray last = file.read(1);
    return last.isEmpty() ? '\0' : last.at(0);
}

} // namespace

bool LineAppendFile::open(const QString &path)
{
    close();
    m_error.clear();
    m_file.setFileName(path);
    // Unbuffered: a write the disk takes only in part is seen at once and can be taken back.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        m_error = m_file.errorString();
        return false;
    }
    if (m_file.size() == 0)
        return true;
    const char last = LastByte(path);
    if (last == '\n')
        return true;
    return append(last == '\r' ? QByteArray("\n") : QByteArray("\r\n"));
}

bool LineAppendFile::append(const QByteArray &lines)
{
    const qint64 whole = m_file.size();
    m_error = WriteWhole(m_file, lines);
    if (m_error.isEmpty())
        return true;
    m_file.resize(whole);
    close();
    return false;
}

void LineAppendFile::close()
{
    if (m_file.isOpen())
        m_file.close();
}

} // namespace gencfg
