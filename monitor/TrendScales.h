#pragma once

// The scales of the trend plots: value ranges in round steps that keep their
// count of labels, and time labels that differ from tick to tick.

#include <QString>
#include <optional>
#include <utility>

namespace gencfg {

// Labels on a value axis, always this many: Qt Charts does not make room again for more labels in a plot
// area placed by hand.
constexpr int ValueTicks = 5;

// A range of ValueTicks - 1 round steps (1, 2 or 5 times a power of ten) that holds low..high. Steps are
// whole numbers, so the whole-number labels never repeat.
std::pair<double, double> RoundValueRange(double low, double high);
// The range for a value axis that shows shownLow..shownHigh and now has to hold low..high (none when low
// is above high), or nothing to keep its own: relabelling costs more than the lines, so only when the
// values leave the range or shrink well within it.
std::optional<std::pair<double, double>> ValueAxisRange(double low, double high, double shownLow,
                                                        double shownHigh);
// Labels that differ from tick to tick: milliseconds once ticks lie less than a second apart
// (without the hour, so the label keeps to the room beside the plot), the date once the span
// could hold the same time of day twice.
QString TimeLabelFormat(qint64 spanMs, int ticks);

} // namespace gencfg
