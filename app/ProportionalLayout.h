#pragma once

// Places the window's controls at fixed fractions of the page control's size.

namespace gencfg {

class TForm1;

void FormConstrainedResize(TForm1 &form);

} // namespace gencfg
