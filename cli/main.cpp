// gencfg-cli: the configurator's device operations from the command line.

#include "cli/CommandRunners.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("gencfg-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(GENCFG_VERSION));
    return gencfg::cli::Run(QCoreApplication::arguments().mid(1));
}
