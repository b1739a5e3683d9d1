#pragma once

// The parameter tree as a headless item model: the program's working copy of
// the parameter values. Every node holds the eight fields of one catalogue row
// as texts (name, value, units, min, max, size, address, kind); columns 0-4
// show the first five. Nodes are addressed by their absolute index, their
// position in a pre-order walk, which equals the catalogue row number.

#include "config/Catalogue.h"

#include <QAbstractItemModel>
#include <QStringList>
#include <memory>
#include <vector>

namespace gencfg {

enum NodeField : int {
    FieldName = 0,
    FieldValue = 1,
    FieldUnits = 2,
    FieldMin = 3,
    FieldMax = 4,
    FieldSize = 5,
    FieldAddress = 6,
    FieldKind = 7,
};

class ParamModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    explicit ParamModel(QObject *parent = nullptr);
    ~ParamModel() override;

    void clear();
    int nodeCount() const;

    // NodeText: the fields joined by ";".
    int appendRoot(const QString &nodeText);
    int appendChild(int parentNode, const QString &nodeText);

    // Field i of a node; empty for a missing node or field.
    QString field(int node, int i) const;
    // Keeps every other field; a value holding ";" is refused (returns false).
    bool setField(int node, int i, const QString &text);
    QString nodeText(int node) const;
    int level(int node) const;      // 1 for roots
    int parentNode(int node) const; // -1 for roots
    // Names from the root down, joined by " / ".
    QString path(int node) const;

    QModelIndex indexOfNode(int node, int column = 0) const;
    int nodeOf(const QModelIndex &index) const; // -1 when invalid

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    struct Node;
    std::vector<std::unique_ptr<Node>> m_nodes; // in absolute order
    std::vector<Node *> m_roots;
};

// The eight fields of a catalogue row joined by ";", numbers as plain decimals.
QString NodeTextFor(const TParam_record &row);

// Appends one node per catalogue row 0..highestIndex; never clears.
void LoadParamTree(const ParamTable &table, int highestIndex, ParamModel &tree);

} // namespace gencfg
