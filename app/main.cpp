#include "app/TForm1.h"
#include "config/Catalogue.h"
#include "sim/PtySimulator.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("gencfg"));
    QApplication::setApplicationVersion(QStringLiteral(GENCFG_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Configurator and monitor for generator auto-start controllers v2.0."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Open DEVICE at start, as if picked in the port list."),
                                        QStringLiteral("DEVICE"));
    const QCommandLineOption simulateOption(
        QStringLiteral("simulate"), QStringLiteral("Run a simulated controller (petrol, diesel or dry) and open it."));
    parser.addOption(portOption);
    parser.addOption(simulateOption);
    parser.addPositionalArgument(QStringLiteral("variant"), QStringLiteral("With --simulate: petrol (default), diesel or dry."),
                                 QStringLiteral("[variant]"));
    parser.process(app);

    QString port = parser.value(portOption);
    std::unique_ptr<gencfg::PtySimulator> simulator;
    if (parser.isSet(simulateOption)) {
        const QString name = parser.positionalArguments().value(0, QStringLiteral("petrol"));
        const std::optional<gencfg::DeviceVariant> variant = gencfg::VariantFromName(name);
        if (!variant) {
            qCritical("Unknown variant '%s': use petrol, diesel or dry.", qPrintable(name));
            return 2;
        }
        simulator = std::make_unique<gencfg::PtySimulator>(quint8(*variant), 1);
        if (!simulator->start()) {
            qCritical("Cannot start the simulated controller: %s", qPrintable(simulator->errorString()));
            return 1;
        }
        port = simulator->devicePath();
    } else if (!parser.positionalArguments().isEmpty()) {
        parser.showHelp(2);
    }

    gencfg::TForm1 form;
    form.show();
    if (!port.isEmpty()) {
        form.addExtraPort(port);
        QTimer::singleShot(0, &form, [&form, port] { form.pickPort(port); });
    }
    return app.exec();
}
