#pragma once

// The parameter tree as indented text: a heading per group, and
// "name: value units" for every parameter, marked "[outside the limits min…max]"
// where the value lies outside its row's limits.

#include <QString>

namespace gencfg {
class ParamModel;
}

namespace gencfg::cli {

QString ParamTreeText(const ParamModel &tree);

} // namespace gencfg::cli
