#include "widgets/ScrolledPage.h"

#include <QLayout>
#include <QScrollArea>
#include <QTabWidget>

namespace gencfg {

namespace {

class PageScrollArea : public QScrollArea
{
protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QScrollArea::resizeEvent(event);
        // A page held at its minimum keeps its size, yet what it overhangs the area by has changed.
        if (QLayout *layout = widget() ? widget()->layout() : nullptr)
            layout->setGeometry(widget()->rect());
    }
};

} // namespace

QScrollArea *ScrolledPage(QWidget *page)
{
    auto *area = new PageScrollArea;
    area->setObjectName(page->objectName() + QStringLiteral("Scroll"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    // The page's own controls take the focus; the area passes it on.
    area->setFocusPolicy(Qt::NoFocus);
    area->setWidget(page);
    return area;
}

QWidget *PageIn(QWidget *tab)
{
    const auto *area = qobject_cast<QScrollArea *>(tab);
    return area && area->widget() ? area->widget() : tab;
}

int TabIndexOf(const QTabWidget *tabs, const QWidget *page)
{
    for (int i = 0; i < tabs->count(); ++i)
        if (PageIn(tabs->widget(i)) == page)
            return i;
    return -1;
}

const QScrollArea *ScrollAreaAround(const QWidget *page)
{
    const QWidget *viewport = page ? page->parentWidget() : nullptr;
    const auto *area = viewport ? qobject_cast<const QScrollArea *>(viewport->parentWidget()) : nullptr;
    return area && area->widget() == page ? area : nullptr;
}

} // namespace gencfg
