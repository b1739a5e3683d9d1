#include "app/ScreenFit.h"

#include <QEvent>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>

namespace gencfg {

namespace {

// Waits for the window's first show, fits it, and goes.
class ScreenFitter : public QObject
{
public:
    explicit ScreenFitter(QWidget *window) : QObject(window), m_window(window) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Show) {
            fit();
            m_window->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    void fit()
    {
        const QRect available = m_window->screen()->availableGeometry();
        QMargins frame = m_window->windowHandle() ? m_window->windowHandle()->frameMargins() : QMargins();
        // The window manager tells its frame only once the window is up: until then, allow for a title bar.
        if (frame.isNull())
            frame.setTop(m_window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, m_window));
        const QSize size =
            FittedWindowSize(m_window->size(), m_window->minimumSize(), available.size(), frame,
                             m_window->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_window));
        if (size != m_window->size())
            m_window->resize(size);
        // Only a window placed by the program is moved; the window manager places the others on the screen.
        if (!m_window->testAttribute(Qt::WA_Moved))
            return;
        const QRect outer(m_window->pos(), size.grownBy(frame));
        QPoint inside = outer.topLeft();
        inside.setX(qBound(available.left(), outer.left(), available.right() + 1 - outer.width()));
        inside.setY(qBound(available.top(), outer.top(), available.bottom() + 1 - outer.height()));
        if (inside != outer.topLeft())
            m_window->move(m_window->pos() + (inside - outer.topLeft()));
    }

    QWidget *m_window = nullptr;
};

} // namespace

QSize FittedWindowSize(const QSize &wanted, const QSize &minimum, const QSize &available,
                       const QMargins &frame, int scrollBar)
{
    const QSize room = available.shrunkBy(frame);
    QSize size = wanted.boundedTo(room);
    if (size.height() < wanted.height())
        size.setWidth(qMin(wanted.width() + scrollBar, room.width()));
    return size.expandedTo(minimum);
}

void FitToScreenWhenShown(QWidget *window)
{
    window->installEventFilter(new ScreenFitter(window));
}

} // namespace gencfg
