#include "velta/components/ComponentBkk.h"

#include "velta/value/Constants.h"

ComponentBkk::ComponentBkk(const std::string &name, const Value &mw, GroupBkk liquid,
                           GroupBkk solid)
    : ComponentGeneric(name), ComponentBase(mw), RouteHeatLiquidBkk(liquid),
      RouteHeatSolidBkk(solid) {
  const Value &T0 = referenceTemperature;
  const Value h0 = hs(T0, referencePressure);
  setFormationReferences(h0, h0 - T0 * ss(T0, referencePressure));
}

Value ComponentBkk::kvli(const Value &, const Value &) const { return Value(1e-20); }
