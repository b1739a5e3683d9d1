#include "monitor/TrendScales.h"

#include <cmath>

namespace gencfg {

std::pair<double, double> RoundValueRange(double low, double high)
{
    const double intervals = ValueTicks - 1;
    double step = std::pow(10.0, qMax(0.0, std::floor(std::log10(qMax(1e-9, (high - low) / intervals)))));
    for (;;) {
        for (double factor : {1.0, 2.0, 5.0}) {
            const double from = std::floor(low / (step * factor)) * step * factor;
            if (from + intervals * step * factor >= high)
                return {from, from + intervals * step * factor};
        }
        step *= 10;
    }
}

std::optional<std::pair<double, double>> ValueAxisRange(double low, double high, double shownLow,
                                                        double shownHigh)
{
    if (low > high) {
        low = 0;
        high = 1;
    }
    const double pad = qMax(1.0, (high - low) * 0.08);
    // Readings that cannot go below zero do not get a scale that does.
    const double wantLow = low >= 0 ? qMax(0.0, std::floor(low - pad)) : std::floor(low - pad);
    const double wantHigh = std::ceil(high + pad);
    if (wantLow < shownLow || wantHigh > shownHigh || (wantHigh - wantLow) < (shownHigh - shownLow) * 0.5)
        return RoundValueRange(wantLow, wantHigh);
    return std::nullopt;
}

QString TimeLabelFormat(qint64 spanMs, int ticks)
{
    if (spanMs < 1000LL * (ticks - 1))
        return QStringLiteral("mm:ss.zzz");
    if (spanMs >= 24LL * 3600 * 1000)
        return QStringLiteral("dd.MM hh:mm");
    return QStringLiteral("hh:mm:ss");
}

} // namespace gencfg
