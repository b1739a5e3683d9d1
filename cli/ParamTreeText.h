#pragma once

// The parameter tree as indented text: a heading per group, and
// "name: value units" for every parameter.

#include <QString>

namespace gencfg {
class ParamModel;
}

namespace gencfg::cli {

QString ParamTreeText(const ParamModel &tree);

} // namespace gencfg::cli
