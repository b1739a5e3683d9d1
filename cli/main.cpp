// gencfg-cli: the configurator's device operations from the command line.

#include "cli/CommandRunners.h"

#include <QGuiApplication>
#include <memory>

int main(int argc, char *argv[])
{
    // The report lays out text, which needs fonts: a GUI application, on no display.
    std::unique_ptr<QCoreApplication> app;
    if (argc > 1 && qstrcmp(argv[1], "report") == 0) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("gencfg-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(GENCFG_VERSION));
    return gencfg::cli::Run(QCoreApplication::arguments().mid(1));
}
