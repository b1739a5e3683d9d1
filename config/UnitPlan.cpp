#include "config/UnitPlan.h"

#include "config/CsvCells.h"
#include "config/ParamEditRules.h"
#include "config/ParamLimits.h"
#include "config/ParamModel.h"
#include "config/UnitValues.h"

#include <QStringList>

namespace gencfg {

QString ColumnNode(const UnitValues &values, int column, const ParamModel &tree, int &node)
{
    const QString &path = values.paths.at(column);
    node = -1;
    for (int candidate = 0; candidate < tree.nodeCount() && node < 0; ++candidate) {
        if (tree.path(candidate) == path)
            node = candidate;
    }
    if (node < 0)
        return values.where(1, column + 2,
                            QStringLiteral("no parameter \"%1\" in the %2 catalogue")
                                .arg(QuotedInput(path), VariantTitle(*CatalogueInTree(tree)).trimmed()));
    if (!CodedSpan(tree, node))
        return values.where(1, column + 2,
                            QStringLiteral("\"%1\" is not a parameter a write sets").arg(QuotedInput(path)));
    return {};
}

QString TemplateRefusal(const ConfigImageBytes &templateImage, DeviceVariant variant)
{
    ParamModel tree;
    LoadVariantTree(variant, tree);
    DecodeConfigImage(templateImage, tree);
    const QVector<ValueOutsideLimits> outside = ValuesOutsideLimits(tree);
    if (outside.isEmpty())
        return {};
    QStringList lines;
    for (const ValueOutsideLimits &v : outside)
        lines.append(QStringLiteral("%1: %2 is outside the limits %3…%4").arg(v.path, v.value, v.min, v.max));
    return lines.join(QLatin1Char('\n'));
}

UnitPlan PlanUnit(const ConfigImageBytes &templateImage, DeviceVariant variant, const UnitValues *values,
                  const UnitRow *row, const ConfigImageBytes &unitImage)
{
    UnitPlan plan;
    plan.wanted = unitImage;
    ParamModel tree;
    LoadVariantTree(variant, tree);
    DecodeConfigImage(templateImage, tree);

    if (values && row) {
        for (int column = 0; column < values->paths.size(); ++column) {
            int node = -1;
            if (const QString error = ColumnNode(*values, column, tree, node); !error.isEmpty()) {
                plan.error = error;
                return plan;
            }
            const QString text = row->cells.value(column);
            if (text.isEmpty()) {
                tree.setValue(node, DecodedValue(unitImage, tree, node).value_or(ParamValue()));
                continue;
            }
            const CatalogueRow &param = tree.row(node);
            const EditVerdict verdict = IsOptionKind(param.kind) ? CheckChosenOption(param, text)
                                                                 : CheckTypedValue(param, text, QLocale::c());
            if (!verdict.accepted) {
                plan.error =
                    values->where(row->line, int(column) + 2,
                                  QStringLiteral("%1: \"%2\": %3")
                                      .arg(values->paths.at(column), QuotedInput(text), verdict.warning));
                return plan;
            }
            tree.setValue(node, text);
        }
    }

    for (int node = 0; node < tree.nodeCount(); ++node) {
        const std::optional<ByteSpan> span = CodedSpan(tree, node);
        if (!span || DecodedValue(unitImage, tree, node) == tree.row(node).value ||
            !DiffersFromBaseline(tree, node, unitImage))
            continue;
        std::fill_n(plan.wanted.begin() + span->start, span->width, quint8(0xFF));
        if (const EncodeResult coded = EncodeNode(tree, node, plan.wanted); !coded.ok) {
            plan.error = coded.error;
            return plan;
        }
        plan.blocks[size_t(span->start / MemoryMap::BlockSize)] = true;
        plan.blocks[size_t((span->start + span->width - 1) / MemoryMap::BlockSize)] = true;
    }
    plan.changes = DifferingParams(tree, unitImage, plan.wanted, Compare::Bytes);
    return plan;
}

PlanReached ReachedChanges(const UnitPlan &plan, DeviceVariant variant, int blocksWritten,
                           const std::optional<ConfigImageBytes> &readBack)
{
    // The write sends the selected blocks in plan order, so those sent are the first ones selected.
    BlockSelection sent{};
    for (size_t block = 0; block < sent.size() && blocksWritten > 0; ++block) {
        if (plan.blocks[block]) {
            sent[block] = true;
            --blocksWritten;
        }
    }
    ParamModel layout;
    LoadVariantTree(variant, layout);
    PlanReached reached;
    for (const ParamDifference &change : plan.changes) {
        const std::optional<ByteSpan> span = CodedSpan(layout, change.node);
        if (!span || !sent[size_t(span->start / MemoryMap::BlockSize)] ||
            !sent[size_t((span->start + span->width - 1) / MemoryMap::BlockSize)])
            continue;
        if (!readBack) {
            reached.changes.append(change);
            reached.uncertain.append(change.path);
        } else if (std::equal(plan.wanted.cbegin() + span->start,
                              plan.wanted.cbegin() + span->start + span->width,
                              readBack->cbegin() + span->start)) {
            reached.changes.append(change);
        }
    }
    return reached;
}

} // namespace gencfg
