#pragma once

namespace gencfg {

// Gives the painted instruments their accessible roles (indicator, static text, check box).
// Safe to call many times; the widgets call it from their constructors.
void installInstrumentAccessibility();

} // namespace gencfg
