#include "app/MainWindow.h"
#include "config/Catalogue.h"
#include "report/Language.h"
#ifdef GENCFG_WITH_SIMULATOR
#include "sim/PtySimulator.h"
#endif

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <memory>

namespace {

// --help and --version print and exit; they must work without a display.
bool onlyPrints(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--help" || arg == "-h" || arg == "--help-all" || arg == "--version" || arg == "-v")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    std::unique_ptr<QCoreApplication> application;
    if (onlyPrints(argc, argv))
        application = std::make_unique<QCoreApplication>(argc, argv);
    else
        application = std::make_unique<QApplication>(argc, argv);
    QCoreApplication &app = *application;
    QCoreApplication::setApplicationName(QStringLiteral("gencfg"));
    QCoreApplication::setApplicationVersion(QStringLiteral(GENCFG_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Configurator and monitor for generator auto-start controllers v2.0."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption portOption(
        QStringLiteral("port"), QStringLiteral("Open DEVICE at start, as if picked in the port list."),
        QStringLiteral("DEVICE"));
#ifdef GENCFG_WITH_SIMULATOR
    const QCommandLineOption simulateOption(
        QStringLiteral("simulate"),
        QStringLiteral("Run a simulated controller (petrol, diesel or dry) and open it."));
    parser.addOption(simulateOption);
    parser.addPositionalArgument(QStringLiteral("variant"),
                                 QStringLiteral("With --simulate: petrol (default), diesel or dry."),
                                 QStringLiteral("[variant]"));
#endif
    parser.addOption(portOption);
    const QCommandLineOption recordOption(
        QStringLiteral("record"),
        QStringLiteral(
            "Record the session to FILE from the port's opening, as the terminal page's switch does."),
        QStringLiteral("FILE"));
    parser.addOption(recordOption);
    const QCommandLineOption langOption(
        QStringLiteral("lang"),
        QStringLiteral("Interface language: ru (default) or en. Without it, GENCFG_LANG is used."),
        QStringLiteral("LANG"));
    parser.addOption(langOption);
    parser.process(app);

    const QString langValue = parser.value(langOption);
    const QString langEnvironment = qEnvironmentVariable("GENCFG_LANG");
    const std::optional<gencfg::InterfaceLanguage> language =
        gencfg::ChosenLanguage(langValue, langEnvironment);
    if (!language) {
        qCritical("Unknown language '%s': use ru or en.",
                  qPrintable(langValue.isEmpty() ? langEnvironment : langValue));
        return 2;
    }
    // Installed before any window exists, so every text is created in the chosen language.
    const gencfg::InterfaceTranslators translators(*language);
    for (const QString &name : translators.missing())
        qWarning("Translation %s not found: its texts stay as written.", qPrintable(name));

    QString port = parser.value(portOption);
#ifdef GENCFG_WITH_SIMULATOR
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
#else
    if (!parser.positionalArguments().isEmpty())
        parser.showHelp(2);
#endif

    gencfg::MainWindow form;
    form.show();
    if (parser.isSet(recordOption))
        form.recordSession(parser.value(recordOption));
    if (!port.isEmpty()) {
        form.addExtraPort(port);
        QTimer::singleShot(0, &form, [&form, port] { form.pickPort(port); });
    }
    return app.exec();
}
