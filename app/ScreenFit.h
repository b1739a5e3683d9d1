#pragma once

// A window opens whole on its screen: smaller than it asks for when the screen's free area is smaller.

#include <QMargins>
#include <QSize>

class QWidget;

namespace gencfg {

// The size a window that wants wanted takes in a free area of available, the system's frame around it
// included; never below minimum. Cut short, its pages scroll down: it is widened by scrollBar where the area
// has the room, so that they need not scroll across as well.
QSize FittedWindowSize(const QSize &wanted, const QSize &minimum, const QSize &available,
                       const QMargins &frame, int scrollBar);

// Fits window to its screen's free area, and moves it in, the first time it is shown.
void FitToScreenWhenShown(QWidget *window);

} // namespace gencfg
