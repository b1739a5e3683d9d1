#include "cli/Console.h"

#include "config/FileWriting.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace gencfg::cli {

namespace {

bool outputLost = false;

// 0 when the stream took all of bytes, else the system's error number.
int write(std::FILE *stream, const QByteArray &bytes)
{
    errno = 0;
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) != size_t(bytes.size()))
        return errno != 0 ? errno : EIO;
    // A follower reading a pipe sees each frame as it comes.
    if (std::fflush(stream) != 0)
        return errno != 0 ? errno : EIO;
    return 0;
}

} // namespace

void PrintOut(const QString &text)
{
    PrintOutBytes(text.toUtf8());
}

void PrintOutBytes(const QByteArray &utf8)
{
    if (outputLost)
        return;
    const int error = write(stdout, utf8);
    if (error == 0)
        return;
    outputLost = true;
    PrintErr(QStringLiteral("gencfg-cli: the output cannot be written: %1\n")
                 .arg(QString::fromLocal8Bit(std::strerror(error))));
}

void PrintErr(const QString &text)
{
    write(stderr, text.toUtf8());
}

bool OutputLost()
{
    return outputLost;
}

int Fail(ExitStatus status, const QString &message)
{
    PrintErr(message + QLatin1Char('\n'));
    return status;
}

bool StderrIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

bool StdoutIsTerminal()
{
    return ::isatty(STDOUT_FILENO) == 1;
}

Progress::Progress(const QString &text) : m_text(text), m_shown(StderrIsTerminal())
{
    m_open = m_shown;
    set(0);
}

Progress::~Progress()
{
    if (m_open)
        PrintErr(QStringLiteral("\n"));
}

void Progress::set(int percent)
{
    if (m_open)
        PrintErr(QStringLiteral("\r%1 %2%").arg(m_text).arg(percent));
}

void Progress::finish(const QString &result)
{
    if (!m_shown)
        return;
    if (m_open)
        PrintErr(QStringLiteral("\n"));
    m_open = false;
    if (!result.isEmpty())
        PrintErr(result + QLatin1Char('\n'));
}

int CheckOutputFile(const QString &path)
{
    if (path.isEmpty())
        return Fail(InputError, QStringLiteral("no output file named: give its path"));
    // Written through, a link to nothing would fail only after the controller was read.
    if (const QFileInfo link(path); link.isSymLink() && !link.exists())
        return Fail(
            InputError,
            QStringLiteral("%1 is a link to %2, which does not exist").arg(path, link.symLinkTarget()));
    if (const QString refusal = WriteTargetRefusal(path); !refusal.isEmpty())
        return Fail(InputError, refusal);
    const QFileInfo target(path);
    if (!target.absoluteDir().exists())
        return Fail(InputError, QStringLiteral("folder %1 does not exist").arg(target.absolutePath()));
    return Done;
}

} // namespace gencfg::cli
