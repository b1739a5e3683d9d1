#include "cli/StatusFormat.h"

namespace gencfg::cli {

QString StatusText(const TelemetryRecord &r, ShownTexts &shown)
{
    const QList<QPair<QString, QString>> rows = StatusRows(r, shown);
    QString text;
    for (const auto &[caption, value] : rows)
        text += caption + QLatin1Char(':') + (value.isEmpty() ? QString() : QLatin1Char(' ') + value) +
                QLatin1Char('\n');
    text += QStringLiteral("Флаги:\n");
    for (const StatusFlag &flag : StatusFlags()) {
        text += QStringLiteral("  [%1] %2 (%3)\n")
                    .arg(IsFlagSet(r, flag) ? QLatin1Char('x') : QLatin1Char(' '))
                    .arg(flag.key, flag.caption);
    }
    return text;
}

} // namespace gencfg::cli
