#pragma once
// Process-wide constant values, built during start-up and never modified.
// Their numbers carry no derivatives (they are built while the start-up
// derivative context has no directions). The exponent set `dimensionless`
// lives in velta/value/Value.h.

#include "velta/value/Value.h"

extern const Value &referencePressure;    // 101325 Pa
extern const Value &maximumPressure;      // 1e10 Pa, upper clipping bound of flashes
extern const Value &minimumPressure;      // 1e-5 Pa, lower clipping bound of flashes
extern const Value &gasConstant;          // 8314.4 J/(kmol*K)
extern const Value &referenceTemperature; // 298.15 K
extern const Value &maximumTemperature;   // 1500 K
extern const Value &minimumTemperature;   // 50 K
extern const Value &dimensionlessOne;     // 1, dimensionless
extern const Value &dimensionlessZero;    // 0, dimensionless

// Start-up counter: one instance in every source file that includes this
// header. The first construction builds the constants (after the units
// engine, which Value.h's counter in the same file has already secured), so
// start-up initialisers of any including file may use them; the last
// destruction at exit destroys them.
class ConstantsInit {
public:
  ConstantsInit();
  ~ConstantsInit();
  ConstantsInit(const ConstantsInit &) = delete;
  ConstantsInit &operator=(const ConstantsInit &) = delete;
};

static ConstantsInit constantsInit;
