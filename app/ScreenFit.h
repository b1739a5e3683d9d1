#pragma once

// A window opens whole on its screen: smaller than it asks for when the screen's free area is smaller.

#include <QMargins>
#include <QSize>

class QWidget;

namespace gencfg {

// The size a window that wants wanted takes in a free area of available, the system's frame around it
// included; never below minimum.
QSize FittedWindowSize(const QSize &wanted, const QSize &minimum, const QSize &available,
                       const QMargins &frame);

// Fits window to its screen's free area, and moves it in, the first time it is shown.
void FitToScreenWhenShown(QWidget *window);

} // namespace gencfg
