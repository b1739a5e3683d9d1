#pragma once

// The parameter tree with its five columns, read-only, one whole row selected
// at a time.

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
};

} // namespace gencfg
