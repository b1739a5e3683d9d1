// Grabs every page of the window at the design size and a large one, for comparing layouts pixel by pixel;
// the "resized" set comes from a window shown large first, so its hidden pages were placed after a resize.

#include "app/MainWindow.h"
#include "widgets/ScrolledPage.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>

namespace {

void grabPages(gencfg::MainWindow &form, const QString &prefix)
{
    auto *tabs = form.findChild<QTabWidget *>(QStringLiteral("pageTabs"));
    for (int i = 0; i < tabs->count(); ++i) {
        form.setTabVisible(gencfg::PageIn(tabs->widget(i)), true);
        tabs->setCurrentIndex(i);
        QCoreApplication::processEvents();
        form.grab().save(QStringLiteral("%1-page%2.png").arg(prefix).arg(i));
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(dir);
    for (const QSize size : {QSize(800, 600), QSize(1300, 950)}) {
        gencfg::MainWindow form;
        form.show();
        form.resize(size);
        QCoreApplication::processEvents();
        grabPages(form, QStringLiteral("%1/%2x%3").arg(dir).arg(size.width()).arg(size.height()));
    }
    gencfg::MainWindow form;
    form.show();
    form.resize(1300, 950);
    QCoreApplication::processEvents();
    form.resize(800, 600);
    QCoreApplication::processEvents();
    grabPages(form, QStringLiteral("%1/800x600-resized").arg(dir));
    return 0;
}
