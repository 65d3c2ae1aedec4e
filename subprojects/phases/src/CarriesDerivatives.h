#pragma once

#include "velta/value/Active.h"
#include "velta/value/DerivativeContext.h"

namespace Phase {

// True when the number has a non-zero derivative in the current context:
// the unit-free passes then carry slopes, else they run on plain doubles.
inline bool carriesDerivatives(const Active &a) {
  if (Active::sparseMode()) {
    for (const Active::Entry &entry : a.sparseDerivatives())
      if (entry.derivative != 0.0)
        return true;
    return false;
  }
  for (int d = 0; d < numdir; ++d)
    if (a.derivative(d) != 0.0)
      return true;
  return false;
}

} // namespace Phase
