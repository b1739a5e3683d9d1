#pragma once

// The parameter tree as a headless item model: the program's working copy of
// the parameter values. Every node holds one catalogue row, its level being
// the node's depth; columns 0-4 show its name, value, units, min and max.
// Nodes are addressed by their absolute index, their position in a pre-order
// walk, which equals the catalogue row number.

#include "config/Catalogue.h"
#include "config/ParamChanges.h"

#include <QAbstractItemModel>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace gencfg {

class ParamModel : public QAbstractItemModel
{
    Q_OBJECT
    Q_PROPERTY(Origin origin READ origin WRITE setOrigin NOTIFY originChanged)
public:
    // Where the values come from since the catalogue was last loaded: its defaults, a read of the
    // controller on the line, a parameter file, or a controller that is no longer known to be on the line.
    enum class Origin { Catalogue, Controller, File, FormerController };
    Q_ENUM(Origin)

    // ChangeRole: what a row shows of the changes against the baseline.
    // LimitsRole: whether a row's value, or one below it, lies outside its limits.
    enum Role { ChangeRole = Qt::UserRole + 1, LimitsRole };
    enum class Change { None, Changed, ChangedBelow };
    enum class Limits { Within, Outside, OutsideBelow };
    enum Column : int { NameColumn, ValueColumn, UnitsColumn, MinColumn, MaxColumn, ShownColumns };

    explicit ParamModel(QObject *parent = nullptr);
    ~ParamModel() override;

    // Empties the tree; its values are the catalogue's again once one is loaded.
    void clear();
    int nodeCount() const;

    Origin origin() const { return m_origin; }
    void setOrigin(Origin origin);
    // The port changed or was lost: values read there may belong to another controller now.
    void forgetController();
    // Only a controller's own values or a file's may go to the controller, never bare defaults.
    bool mayBeWritten() const { return m_origin == Origin::Controller || m_origin == Origin::File; }

    int appendRoot(const CatalogueRow &row);
    int appendChild(int parentNode, const CatalogueRow &row);

    // A node's row, its level 1 for roots; an empty row for a missing node.
    const CatalogueRow &row(int node) const;
    // Keeps the rest of the row; a missing node is refused (false).
    bool setValue(int node, const ParamValue &value);
    // The value a text gives the row (see ValueFromText); a text the row cannot hold is refused.
    bool setValue(int node, const QString &text);
    int parentNode(int node) const; // -1 for roots
    // Names from the root down, joined by " / ".
    QString path(int node) const;

    // The values last read from the controller or last proven written to it;
    // empty when there is none. Rows whose value codes otherwise are changed.
    // The baseline outlives clear(): a reloaded catalogue is compared with it.
    void setBaseline(const std::optional<ConfigImageBytes> &baseline);
    const std::optional<ConfigImageBytes> &baseline() const { return m_baseline; }
    bool isChanged(int node) const;
    int changesBelow(int node) const;
    // The changed rows in tree order: path, the baseline's value, the tree's value.
    QVector<ParamDifference> changes() const;

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

Q_SIGNALS:
    void originChanged(gencfg::ParamModel::Origin origin);
    // A row became changed or unchanged, or the baseline was set or dropped.
    void changesUpdated();

private:
    struct Node;
    int append(Node *parent, int position, const CatalogueRow &row);
    bool differsFromBaseline(const Node &node) const;
    QString baselineText(int node) const;
    void refreshChange(Node *node);
    void refreshLimits(Node *node);
    void emitRowChanged(const Node *node);
    std::optional<ConfigImageBytes> m_baseline;
    Origin m_origin = Origin::Catalogue;
    std::vector<std::unique_ptr<Node>> m_nodes; // in absolute order
    std::vector<Node *> m_roots;
};

// Appends one node per catalogue row 0..highestIndex; never clears.
void LoadParamTree(const ParamTable &table, int highestIndex, ParamModel &tree);
// Appends a variant's whole catalogue.
void LoadVariantTree(DeviceVariant variant, ParamModel &tree);
// The variant whose whole catalogue the tree holds, row for row; nothing for
// an empty or partial tree, which cannot be coded into a whole image.
std::optional<DeviceVariant> CatalogueInTree(const ParamModel &tree);

} // namespace gencfg
