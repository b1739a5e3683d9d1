#pragma once

// Places the window's controls at fixed fractions of the page control's size.

namespace gencfg {

class MainWindow;

// Nearest integer; a half goes to the even neighbour (80.5 gives 80, 81.5 gives 82).
int RoundHalfEven(double value);

// Runs after every size change of the window; keeps no state, so each run
// places everything again from the current sizes.
void placeChildren(MainWindow &form);

} // namespace gencfg
