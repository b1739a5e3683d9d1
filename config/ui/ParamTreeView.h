#pragma once

// The parameter tree with its five columns, read-only, one whole row selected
// at a time. The name column takes the width the others leave; a name too
// long for it is cut in the middle, its full path shown as a tooltip.

#include <QTreeView>

namespace gencfg {

class ParamModel;

class ParamTreeView : public QTreeView
{
    Q_OBJECT
public:
    static constexpr int DesignItemHeight = 14;
    static constexpr int HeaderHeight = 25;
    static constexpr int Indentation = 19;
    static constexpr int FontPixelSize = 13;

    explicit ParamTreeView(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;
    ParamModel *paramModel() const;

    // Absolute index of the selected node; -1 when none is selected.
    int selectedNode() const;
    // Selects and shows a node; -1 clears the selection.
    void selectNode(int node);
    // The centre of the selected row's value cell on the screen, where its value dialog goes;
    // the cursor's place when no row is selected.
    QPoint selectedValuePoint() const;

Q_SIGNALS:
    // Enter or F2 on the selected row, as a double click asks.
    void editRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace gencfg
