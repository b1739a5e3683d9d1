#include "cli/Console.h"

#include <cstdio>
#include <unistd.h>

namespace gencfg::cli {

namespace {

void write(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    // A follower reading a pipe sees each frame as it comes.
    std::fflush(stream);
}

} // namespace

void PrintOut(const QString &text)
{
    write(stdout, text);
}

void PrintErr(const QString &text)
{
    write(stderr, text);
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

} // namespace gencfg::cli
