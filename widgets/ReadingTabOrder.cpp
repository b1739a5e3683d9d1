#include "widgets/ReadingTabOrder.h"

#include <QWidget>
#include <algorithm>

namespace gencfg {

namespace {

// Controls of one row may stand a little higher or lower than each other.
constexpr int RowTolerance = 12;

// The controls Tab reaches inside parent; a control's own parts (a combo's edit) are its own business.
void collect(QWidget *parent, QList<QWidget *> &controls)
{
    for (QWidget *child : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow())
            continue;
        if (child->focusPolicy() & Qt::TabFocus)
            controls << child;
        else
            collect(child, controls);
    }
}

} // namespace

void SetReadingTabOrder(QWidget *container)
{
    QList<QWidget *> controls;
    collect(container, controls);
    const auto place = [container](const QWidget *w) {
        return QRect(w->mapTo(container, QPoint(0, 0)), w->size());
    };
    std::stable_sort(controls.begin(), controls.end(), [&place](const QWidget *a, const QWidget *b) {
        return place(a).center().y() < place(b).center().y();
    });
    // Rows from the top, each read from the left.
    for (auto rowStart = controls.begin(); rowStart != controls.end();) {
        const int rowMiddle = place(*rowStart).center().y();
        auto rowEnd = std::find_if(rowStart, controls.end(), [&place, rowMiddle](const QWidget *w) {
            return place(w).center().y() - rowMiddle > RowTolerance;
        });
        std::stable_sort(rowStart, rowEnd, [&place](const QWidget *a, const QWidget *b) {
            return place(a).x() < place(b).x();
        });
        rowStart = rowEnd;
    }
    for (qsizetype i = 1; i < controls.size(); ++i)
        QWidget::setTabOrder(controls.at(i - 1), controls.at(i));
}

} // namespace gencfg
