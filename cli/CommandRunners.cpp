#include "cli/CommandRunners.h"

#include "cli/Console.h"

namespace gencfg::cli {

int Run(const QStringList &arguments)
{
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    switch (parsed.outcome) {
    case ParsedCommandLine::Help:
    case ParsedCommandLine::Version:
        PrintOut(parsed.text);
        return OutputLost() ? OutputFailed : Done;
    case ParsedCommandLine::Invalid:
        return Fail(InputError, parsed.text);
    case ParsedCommandLine::Run:
        break;
    }

    using Runner = int (*)(const Invocation &);
    static const QHash<QString, Runner> runners = {
        {QStringLiteral("ports"), RunPorts},
        {QStringLiteral("status"), RunStatus},
        {QStringLiteral("read-config"), RunReadConfig},
        {QStringLiteral("write-config"), RunWriteConfig},
        {QStringLiteral("show-config"), RunShowConfig},
        {QStringLiteral("diff-config"), RunDiffConfig},
        {QStringLiteral("batch"), RunBatch},
        {QStringLiteral("read-journal"), RunReadJournal},
        {QStringLiteral("send"), RunSend},
        {QStringLiteral("start"), RunStart},
        {QStringLiteral("stop"), RunStop},
        {QStringLiteral("set-motor-hours"), RunSetMotorHours},
        {QStringLiteral("set-serial"), RunSetSerial},
        {QStringLiteral("history"), RunHistory},
        {QStringLiteral("archive"), RunArchive},
        {QStringLiteral("fleet"), RunFleet},
        {QStringLiteral("report"), RunReport},
        {QStringLiteral("record"), RunRecord},
    };
    const Runner runner = runners.value(parsed.invocation.command);
    Q_ASSERT(runner);
    const int status = runner ? runner(parsed.invocation) : InputError;
    // A result that never reached its reader is no success.
    return status == Done && OutputLost() ? OutputFailed : status;
}

} // namespace gencfg::cli
