#include "cli/ParamTreeText.h"

#include "config/ParamLimits.h"
#include "config/ParamModel.h"

namespace gencfg::cli {

QString ParamTreeText(const ParamModel &tree)
{
    QString text;
    for (int node = 0; node < tree.nodeCount(); ++node) {
        QString line = QString(2 * (tree.level(node) - 1), QLatin1Char(' ')) + tree.field(node, FieldName);
        if (tree.field(node, FieldKind).toInt() != Group) {
            line += QLatin1Char(':');
            const QString value = tree.field(node, FieldValue);
            const QString units = tree.field(node, FieldUnits);
            // A value without text gets no units either: "Вольт" alone would read as the value.
            if (!value.isEmpty())
                line += QLatin1Char(' ') + value + (units.isEmpty() ? QString() : QLatin1Char(' ') + units);
            if (OutsideLimits(tree, node))
                line += QStringLiteral(" [outside the limits %1…%2]")
                            .arg(tree.field(node, FieldMin), tree.field(node, FieldMax));
        }
        text += line + QLatin1Char('\n');
    }
    return text;
}

} // namespace gencfg::cli
