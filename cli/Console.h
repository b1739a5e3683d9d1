#pragma once

// Output of gencfg-cli: UTF-8 on stdout and stderr whatever the locale, and
// progress that only a person at a terminal sees.

#include "cli/ExitStatus.h"

#include <QString>

namespace gencfg::cli {

// Once stdout fails, says why on stderr and prints nothing more there.
void PrintOut(const QString &text);
// The same with text already in UTF-8; one call is one write, however long.
void PrintOutBytes(const QByteArray &utf8);
// Errors of stderr itself go unreported: there is nowhere left to say them.
void PrintErr(const QString &text);
// Whether stdout failed to take something printed.
bool OutputLost();

// Prints message and a line end on stderr and returns status.
int Fail(ExitStatus status, const QString &message);
// Whether a file may be written at path, found out before the controller is asked: Done, or InputError
// after saying why not.
int CheckOutputFile(const QString &path);

bool StderrIsTerminal();
bool StdoutIsTerminal();

// "<text> 25%" rewritten in place on stderr; nothing at all when stderr is
// not a terminal, so pipes and logs stay clean.
class Progress
{
public:
    explicit Progress(const QString &text);
    ~Progress();
    Progress(const Progress &) = delete;
    Progress &operator=(const Progress &) = delete;

    void set(int percent);
    // Ends the line; a non-empty result is shown on a line of its own.
    void finish(const QString &result = QString());

private:
    QString m_text;
    bool m_shown = false;
    bool m_open = false;
};

} // namespace gencfg::cli
