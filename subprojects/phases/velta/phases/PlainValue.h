#pragma once
// The plain value at the bottom of a number that may carry derivatives
// (each gradient record adds its own overload next to its class).

#include "velta/value/Active.h"

namespace Phase {

inline double plainValue(double x) { return x; }
inline double plainValue(const Active &x) { return x.value(); }

} // namespace Phase
