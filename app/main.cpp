#include "app/TForm1.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

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
    parser.addOption(portOption);
    parser.process(app);

    gencfg::TForm1 form;
    form.show();
    if (parser.isSet(portOption)) {
        const QString port = parser.value(portOption);
        form.addExtraPort(port);
        QTimer::singleShot(0, &form, [&form, port] { form.pickPort(port); });
    }
    return app.exec();
}
