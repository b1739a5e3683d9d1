#include "app/ProportionalLayout.h"

#include "app/TForm1.h"

namespace gencfg {

void FormConstrainedResize(TForm1 &) {}

} // namespace gencfg
