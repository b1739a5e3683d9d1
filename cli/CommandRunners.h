#pragma once

// The commands of gencfg-cli. Each checks its input before it opens a port,
// prints its result and returns the exit status.

#include "cli/CommandLine.h"

#include <array>

namespace gencfg::cli {

// Parses arguments (without the program name) and runs the command.
int Run(const QStringList &arguments);

int RunPorts(const Invocation &invocation);
int RunStatus(const Invocation &invocation);
int RunReadConfig(const Invocation &invocation);
int RunWriteConfig(const Invocation &invocation);
int RunShowConfig(const Invocation &invocation);
int RunDiffConfig(const Invocation &invocation);
int RunReadJournal(const Invocation &invocation);
int RunSend(const Invocation &invocation);
int RunStart(const Invocation &invocation);
int RunStop(const Invocation &invocation);
int RunSetMotorHours(const Invocation &invocation);
int RunSetSerial(const Invocation &invocation);
int RunHistory(const Invocation &invocation);
int RunArchive(const Invocation &invocation);
int RunFleet(const Invocation &invocation);
int RunReport(const Invocation &invocation);
int RunBatch(const Invocation &invocation);

// A parameter file's values over a blank image; prints why it cannot be used and returns InputError.
int ReadParamImage(const QString &path, std::array<quint8, 256> &image);
int RunRecord(const Invocation &invocation);
// status --from-recording: every status frame of a session recording.
int RunStatusFromRecording(const Invocation &invocation);

} // namespace gencfg::cli
