#include "cli/CommandRunners.h"
#include "cli/Console.h"

#include <QSerialPortInfo>

namespace gencfg::cli {

int RunPorts(const Invocation &)
{
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_WIN
        QString line = info.portName();
#else
        QString line = info.systemLocation();
#endif
        if (!info.description().isEmpty())
            line += QLatin1Char('\t') + info.description();
        PrintOut(line + QLatin1Char('\n'));
    }
    return Done;
}

} // namespace gencfg::cli
