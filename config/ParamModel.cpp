#include "config/ParamModel.h"

#include "config/ParamLimits.h"
#include "config/ParamValueText.h"
#include "link/DeviceText.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>

namespace gencfg {

struct ParamModel::Node
{
    CatalogueRow param;
    Node *parent = nullptr;
    std::vector<Node *> children;
    int row = 0;      // among the parent's children (or the roots)
    int absolute = 0; // pre-order position
    bool changed = false;
    int changesBelow = 0;
    bool outside = false; // the value lies outside the row's limits
    int outsideBelow = 0;
};

ParamModel::ParamModel(QObject *parent) : QAbstractItemModel(parent)
{}

ParamModel::~ParamModel() = default;

void ParamModel::clear()
{
    beginResetModel();
    m_roots.clear();
    m_nodes.clear();
    endResetModel();
    setOrigin(Origin::Catalogue);
}

void ParamModel::setOrigin(Origin origin)
{
    if (origin == m_origin)
        return;
    m_origin = origin;
    Q_EMIT originChanged(origin);
}

void ParamModel::forgetController()
{
    if (m_origin == Origin::Controller)
        setOrigin(Origin::FormerController);
}

int ParamModel::nodeCount() const
{
    return int(m_nodes.size());
}

int ParamModel::appendRoot(const CatalogueRow &row)
{
    return append(nullptr, nodeCount(), row);
}

int ParamModel::appendChild(int parentNode, const CatalogueRow &row)
{
    if (parentNode < 0 || parentNode >= nodeCount())
        return -1;
    Node *parent = m_nodes[size_t(parentNode)].get();

    // The new last child follows the parent's whole subtree in pre-order.
    int position = parent->absolute + 1;
    while (position < nodeCount()) {
        const Node *n = m_nodes[size_t(position)].get();
        while (n && n != parent)
            n = n->parent;
        if (!n)
            break;
        ++position;
    }
    return append(parent, position, row);
}

int ParamModel::append(Node *parent, int position, const CatalogueRow &row)
{
    std::vector<Node *> &siblings = parent ? parent->children : m_roots;
    auto node = std::make_unique<Node>();
    node->param = row;
    node->param.level = parent ? parent->param.level + 1 : 1;
    node->parent = parent;
    node->row = int(siblings.size());

    beginInsertRows(parent ? indexOfNode(parent->absolute) : QModelIndex(), node->row, node->row);
    Node *added = node.get();
    siblings.push_back(added);
    m_nodes.insert(m_nodes.begin() + position, std::move(node));
    for (int i = position; i < nodeCount(); ++i)
        m_nodes[size_t(i)]->absolute = i;
    endInsertRows();
    refreshChange(added);
    refreshLimits(added);
    return position;
}

const CatalogueRow &ParamModel::row(int node) const
{
    static const CatalogueRow none;
    return node >= 0 && node < nodeCount() ? m_nodes[size_t(node)]->param : none;
}

bool ParamModel::setValue(int node, const QString &text)
{
    const std::optional<ParamValue> value = ValueFromText(row(node), text);
    return value && setValue(node, *value);
}

bool ParamModel::setValue(int node, const ParamValue &value)
{
    if (node < 0 || node >= nodeCount())
        return false;
    Node *n = m_nodes[size_t(node)].get();
    if (n->param.value == value)
        return true;
    n->param.value = value;
    const QModelIndex changed = indexOfNode(node, ValueColumn);
    Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole});
    refreshChange(n);
    refreshLimits(n);
    return true;
}

void ParamModel::setBaseline(const std::optional<ConfigImageBytes> &baseline)
{
    m_baseline = baseline;
    for (const auto &node : m_nodes) {
        node->changed = differsFromBaseline(*node);
        node->changesBelow = 0;
    }
    for (const auto &node : m_nodes) {
        if (!node->changed)
            continue;
        for (Node *above = node->parent; above; above = above->parent)
            ++above->changesBelow;
    }
    for (const auto &node : m_nodes)
        emitRowChanged(node.get());
    Q_EMIT changesUpdated();
}

bool ParamModel::isChanged(int node) const
{
    return node >= 0 && node < nodeCount() && m_nodes[size_t(node)]->changed;
}

int ParamModel::changesBelow(int node) const
{
    return node >= 0 && node < nodeCount() ? m_nodes[size_t(node)]->changesBelow : 0;
}

QVector<ParamDifference> ParamModel::changes() const
{
    QVector<ParamDifference> list;
    if (!m_baseline)
        return list;
    for (const auto &node : m_nodes) {
        if (node->changed)
            list.append(
                {node->absolute, path(node->absolute), baselineText(node->absolute), ValueText(node->param)});
    }
    return list;
}

QString ParamModel::baselineText(int node) const
{
    const std::optional<ParamValue> value =
        m_baseline ? DecodedValue(*m_baseline, *this, node) : std::nullopt;
    return value ? ValueText(row(node).kind, *value) : QString();
}

void ParamModel::refreshChange(Node *node)
{
    const bool changed = differsFromBaseline(*node);
    if (changed == node->changed)
        return;
    node->changed = changed;
    emitRowChanged(node);
    for (Node *above = node->parent; above; above = above->parent) {
        above->changesBelow += changed ? 1 : -1;
        emitRowChanged(above);
    }
    Q_EMIT changesUpdated();
}

void ParamModel::refreshLimits(Node *node)
{
    const bool outside = OutsideLimits(*this, node->absolute);
    if (outside == node->outside)
        return;
    node->outside = outside;
    emitRowChanged(node);
    for (Node *above = node->parent; above; above = above->parent) {
        above->outsideBelow += outside ? 1 : -1;
        emitRowChanged(above);
    }
}

bool ParamModel::differsFromBaseline(const Node &node) const
{
    return m_baseline && DiffersFromBaseline(*this, node.absolute, *m_baseline);
}

void ParamModel::emitRowChanged(const Node *node)
{
    Q_EMIT dataChanged(
        indexOfNode(node->absolute, 0), indexOfNode(node->absolute, ShownColumns - 1),
        {Qt::FontRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole, ChangeRole, LimitsRole});
}

int ParamModel::parentNode(int node) const
{
    if (node < 0 || node >= nodeCount())
        return -1;
    const Node *parent = m_nodes[size_t(node)]->parent;
    return parent ? parent->absolute : -1;
}

QString ParamModel::path(int node) const
{
    if (node < 0 || node >= nodeCount())
        return {};
    QStringList names;
    for (const Node *n = m_nodes[size_t(node)].get(); n; n = n->parent)
        names.prepend(n->param.name);
    return names.join(QStringLiteral(" / "));
}

QModelIndex ParamModel::indexOfNode(int node, int column) const
{
    if (node < 0 || node >= nodeCount() || column < 0 || column >= ShownColumns)
        return {};
    Node *n = m_nodes[size_t(node)].get();
    return createIndex(n->row, column, n);
}

int ParamModel::nodeOf(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return -1;
    return static_cast<const Node *>(index.internalPointer())->absolute;
}

QModelIndex ParamModel::index(int row, int column, const QModelIndex &parent) const
{
    if (!hasIndex(row, column, parent))
        return {};
    const std::vector<Node *> &siblings =
        parent.isValid() ? static_cast<const Node *>(parent.internalPointer())->children : m_roots;
    return createIndex(row, column, siblings[size_t(row)]);
}

QModelIndex ParamModel::parent(const QModelIndex &child) const
{
    if (!child.isValid())
        return {};
    Node *parent = static_cast<const Node *>(child.internalPointer())->parent;
    return parent ? createIndex(parent->row, 0, parent) : QModelIndex();
}

int ParamModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return int(m_roots.size());
    if (parent.column() != 0)
        return 0;
    return int(static_cast<const Node *>(parent.internalPointer())->children.size());
}

int ParamModel::columnCount(const QModelIndex &) const
{
    return ShownColumns;
}

QVariant ParamModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const Node *n = static_cast<const Node *>(index.internalPointer());
    switch (role) {
    case Qt::DisplayRole: {
        const CatalogueRow &p = n->param;
        switch (index.column()) {
        case NameColumn:
            return p.name;
        case ValueColumn:
            return PrintableText(ValueText(p));
        case UnitsColumn:
            return p.units;
        case MinColumn:
            return MinText(p);
        default:
            return MaxText(p);
        }
    }
    case ChangeRole:
        return int(n->changed ? Change::Changed : n->changesBelow > 0 ? Change::ChangedBelow : Change::None);
    case LimitsRole:
        return int(n->outside            ? Limits::Outside
                   : n->outsideBelow > 0 ? Limits::OutsideBelow
                                         : Limits::Within);
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole: {
        QStringList marks;
        if (n->outside)
            marks << OutsideLimitsText(n->param);
        if (n->changed && m_baseline)
            marks << BaselineValueText(baselineText(n->absolute));
        else if (n->changesBelow > 0)
            marks << ChangesBelowText(n->changesBelow);
        if (n->outsideBelow > 0)
            marks << OutsideLimitsBelowText(n->outsideBelow);
        return marks.isEmpty() ? QVariant() : QVariant(marks.join(QLatin1Char('\n')));
    }
    default:
        return {};
    }
}

QVariant ParamModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const std::array<const char *, ShownColumns> titles = {
        QT_TRANSLATE_NOOP("ParamModel", "Параметр"), QT_TRANSLATE_NOOP("ParamModel", "Значение"),
        QT_TRANSLATE_NOOP("ParamModel", "Ед. измер."), QT_TRANSLATE_NOOP("ParamModel", "Мин. знач"),
        QT_TRANSLATE_NOOP("ParamModel", "Макс.знач.")};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ShownColumns)
        return {};
    return QCoreApplication::translate("ParamModel", titles[size_t(section)]);
}

Qt::ItemFlags ParamModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}

void LoadParamTree(const ParamTable &table, int highestIndex, ParamModel &tree)
{
    // The node most recently created at each level 1..3.
    std::array<int, 4> lastAtLevel = {-1, -1, -1, -1};
    const int last = std::min(highestIndex, int(table.size()) - 1);
    for (int r = 0; r <= last; ++r) {
        const CatalogueRow &row = table.at(r);
        const int level = std::clamp(row.level, 1, 3);
        const int parent = level > 1 ? lastAtLevel[size_t(level - 1)] : -1;
        // A row with no parent above it cannot hang anywhere but at the top.
        const int node =
            parent < 0 ? tree.appendRoot(ShownParam(row)) : tree.appendChild(parent, ShownParam(row));
        // Only a malformed table inserts before earlier nodes; keep the slots pointing at theirs.
        for (int &slot : lastAtLevel) {
            if (slot >= node)
                ++slot;
        }
        lastAtLevel[size_t(level)] = node;
    }
}

void LoadVariantTree(DeviceVariant variant, ParamModel &tree)
{
    LoadParamTree(CatalogueFor(variant), HighestIndexFor(variant), tree);
}

std::optional<DeviceVariant> CatalogueInTree(const ParamModel &tree)
{
    for (DeviceVariant variant : Variants) {
        const ParamTable &table = CatalogueFor(variant);
        const int rows = std::min(HighestIndexFor(variant), int(table.size()) - 1) + 1;
        if (tree.nodeCount() != rows)
            continue;
        // Names and options are translated; where a value lives and how it is coded are not.
        const auto sameRow = [&tree, &table](int r) {
            const CatalogueRow &row = table.at(r), &held = tree.row(r);
            return held.size == row.size && held.address == row.address && held.kind == row.kind &&
                   held.level == row.level;
        };
        bool whole = true;
        for (int r = 0; r < rows && whole; ++r)
            whole = sameRow(r);
        if (whole)
            return variant;
    }
    return std::nullopt;
}

} // namespace gencfg
