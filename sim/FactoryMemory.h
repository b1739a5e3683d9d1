#pragma once

#include <QByteArray>

namespace gencfg {

// The parameter memory of a controller as it leaves the factory: the
// catalogue defaults of its variant, plus the counters and serial number that
// only the factory sets. Codes other than 201 and 202 get the petrol table.
QByteArray FactoryMemory(quint8 variantCode);

// The serial number a simulated controller leaves the factory with; gensim --count numbers on from it.
constexpr int FactorySerialNumber = 21070415;

} // namespace gencfg
