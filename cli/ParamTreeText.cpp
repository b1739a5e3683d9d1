#include "cli/ParamTreeText.h"

#include "config/ParamLimits.h"
#include "config/ParamModel.h"
#include "config/ParamValueText.h"
#include "link/DeviceText.h"

namespace gencfg::cli {

QString ParamTreeText(const ParamModel &tree)
{
    QString text;
    for (int node = 0; node < tree.nodeCount(); ++node) {
        const CatalogueRow &row = tree.row(node);
        QString line = QString(2 * (row.level - 1), QLatin1Char(' ')) + row.name;
        if (row.kind != ParamKind::Group) {
            line += QLatin1Char(':');
            // A value without text gets no units either: "Вольт" alone would read as the value.
            if (const QString value = ValueText(row); !value.isEmpty())
                line += QLatin1Char(' ') + PrintableText(value) +
                        (row.units.isEmpty() ? QString() : QLatin1Char(' ') + row.units);
            if (OutsideLimits(row))
                line += QStringLiteral(" [outside the limits %1…%2]").arg(MinText(row), MaxText(row));
        }
        text += line + QLatin1Char('\n');
    }
    return text;
}

} // namespace gencfg::cli
