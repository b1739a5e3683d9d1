// Start-up: from the program's start to the first painted main window, and
// the resident memory then.

#include "BenchSupport.h"
#include "app/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPaintEvent>
#include <QTimer>
#include <cstdio>

namespace {

class FirstPaint : public QObject
{
public:
    bool painted = false;
    qint64 nanoseconds = 0;
    QElapsedTimer *clock = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!painted && event->type() == QEvent::Paint) {
            painted = true;
            nanoseconds = clock->nsecsElapsed();
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    gencfg::MainWindow form;
    FirstPaint probe;
    probe.clock = &clock;
    form.installEventFilter(&probe);
    form.show();
    while (!probe.painted && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    std::printf("start-up to the first painted window: %.1f ms\n", double(probe.nanoseconds) / 1e6);
    std::printf("resident memory after start: %.1f MB\n", gencfg::bench::residentMegabytes());
    return probe.painted ? 0 : 1;
}
