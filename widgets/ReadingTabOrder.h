#pragma once

// Tab goes through a page as it is read: left to right, top to bottom.

class QWidget;

namespace gencfg {

// Orders the controls on container that take focus by Tab by where they stand now; controls
// whose middles lie within one row's height of each other count as one row.
void SetReadingTabOrder(QWidget *container);

} // namespace gencfg
