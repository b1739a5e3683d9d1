#pragma once

// A page shown in a page control through a frameless scroll area: the page follows the area's size and
// scrolls only where the area is smaller than the page's minimum.

class QScrollArea;
class QTabWidget;
class QWidget;

namespace gencfg {

// The scroll area to add to the page control in the page's place.
QScrollArea *ScrolledPage(QWidget *page);

// The page a page control's tab shows: the page inside its scroll area, or the tab itself.
QWidget *PageIn(QWidget *tab);

// The index of the tab that shows page, or -1.
int TabIndexOf(const QTabWidget *tabs, const QWidget *page);

// The scroll area around page, or none.
const QScrollArea *ScrollAreaAround(const QWidget *page);

} // namespace gencfg
