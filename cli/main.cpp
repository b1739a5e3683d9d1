// gencfg-cli: the configurator's device operations from the command line.

#include "cli/CommandRunners.h"

#include <QGuiApplication>
#include <memory>

int main(int argc, char *argv[])
{
    // The report lays out text, which needs fonts: a GUI application, on no display.
    bool report = argc > 1 && qstrcmp(argv[1], "report") == 0;
    for (int i = 2; i < argc; ++i)
        report = report && qstrcmp(argv[i], "--help") != 0 && qstrcmp(argv[i], "-h") != 0;
    std::unique_ptr<QCoreApplication> app;
    if (report) {
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
