#include "config/ui/ParamTreeView.h"

#include "config/ParamModel.h"

#include <QCursor>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <array>

namespace gencfg {

namespace {

constexpr std::array<int, 5> ColumnWidths = {300, 150, 100, 100, 100};

constexpr int ValueColumn = ParamModel::ValueColumn;
const QColor MarkColour(0xE0, 0x8A, 0x00);
// Dark enough to read on white, apart from the change mark's orange.
const QColor OutsideLimitsColour(0xC6, 0x28, 0x28);

ParamModel::Change ChangeOf(const QModelIndex &index)
{
    return ParamModel::Change(index.data(ParamModel::ChangeRole).toInt());
}

ParamModel::Limits LimitsOf(const QModelIndex &index)
{
    return ParamModel::Limits(index.data(ParamModel::LimitsRole).toInt());
}

// Rows of the design height, with a line at the right edge of every cell.
// A changed row shows its value in bold with a filled mark at the cell's
// right end; a row with changes below it shows its name in bold and a ring.
// A value outside its limits is red, and so is the name of every row above it.
class ColumnLineDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        const ParamModel::Change change = ChangeOf(index);
        if (change != ParamModel::Change::None && index.column() == ValueColumn) {
            const int size = std::min(7, option.rect.height() - 4);
            const QRect mark(option.rect.right() - size - 4, option.rect.center().y() - size / 2, size, size);
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(QPen(MarkColour, 1.5));
            painter->setBrush(change == ParamModel::Change::Changed ? QBrush(MarkColour) : QBrush());
            painter->drawEllipse(mark);
        }
        painter->restore();
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const ParamModel::Change change = ChangeOf(index);
        const int boldColumn = change == ParamModel::Change::Changed ? ValueColumn : 0;
        if (change != ParamModel::Change::None && index.column() == boldColumn)
            option->font.setBold(true);
        const ParamModel::Limits limits = LimitsOf(index);
        const int redColumn = limits == ParamModel::Limits::Outside ? ValueColumn : 0;
        if (limits != ParamModel::Limits::Within && index.column() == redColumn)
            option->palette.setColor(QPalette::Text, OutsideLimitsColour);
    }

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override
    {
        const auto *tree = qobject_cast<const ParamModel *>(index.model());
        if (event->type() != QEvent::ToolTip || index.column() != ParamModel::NameColumn || !tree)
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        // The name column names the row by its whole path, above the row's marks.
        QStringList lines{tree->path(tree->nodeOf(index))};
        if (const QString marks = index.data(Qt::ToolTipRole).toString(); !marks.isEmpty())
            lines << marks;
        QToolTip::showText(event->globalPos(), lines.join(QLatin1Char('\n')), view);
        return true;
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        // The design height would clip glyphs of a taller fallback font.
        size.setHeight(std::max(ParamTreeView::DesignItemHeight, option.fontMetrics.height()));
        return size;
    }
};

class FixedHeightHeader : public QHeaderView
{
public:
    using QHeaderView::QHeaderView;

    QSize sizeHint() const override
    {
        QSize size = QHeaderView::sizeHint();
        size.setHeight(ParamTreeView::HeaderHeight);
        return size;
    }
};

} // namespace

ParamTreeView::ParamTreeView(QWidget *parent) : QTreeView(parent)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(FontPixelSize);
    font.setWeight(QFont::Normal);
    setFont(font);

    auto *header = new FixedHeightHeader(Qt::Horizontal, this);
    header->setFont(font);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    header->setHighlightSections(false);
    setHeader(header);

    setItemDelegate(new ColumnLineDelegate(this));
    setUniformRowHeights(true);
    setIndentation(Indentation);
    setRootIsDecorated(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAllColumnsShowFocus(true);
    setTextElideMode(Qt::ElideMiddle);

    // The selected row keeps its colours when the tree loses focus.
    QPalette palette = this->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    setPalette(palette);
}

void ParamTreeView::setModel(QAbstractItemModel *model)
{
    QTreeView::setModel(model);
    for (int column = 0; column < int(ColumnWidths.size()); ++column)
        header()->resizeSection(column, ColumnWidths[size_t(column)]);
    header()->setSectionResizeMode(ParamModel::NameColumn, QHeaderView::Stretch);
}

void ParamTreeView::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && selectedNode() >= 0) {
        Q_EMIT editRequested();
        return;
    }
    QTreeView::keyPressEvent(event);
}

ParamModel *ParamTreeView::paramModel() const
{
    return qobject_cast<ParamModel *>(model());
}

int ParamTreeView::selectedNode() const
{
    const ParamModel *tree = paramModel();
    if (!tree || !selectionModel())
        return -1;
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : tree->nodeOf(rows.first());
}

QPoint ParamTreeView::selectedValuePoint() const
{
    const ParamModel *tree = paramModel();
    const QRect cell =
        tree ? visualRect(tree->indexOfNode(selectedNode(), ParamModel::ValueColumn)) : QRect();
    return cell.isValid() ? viewport()->mapToGlobal(cell.center()) : QCursor::pos();
}

void ParamTreeView::selectNode(int node)
{
    const ParamModel *tree = paramModel();
    if (!tree || !selectionModel())
        return;
    const QModelIndex index = tree->indexOfNode(node);
    if (!index.isValid()) {
        selectionModel()->clearSelection();
        return;
    }
    scrollTo(index);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

} // namespace gencfg
