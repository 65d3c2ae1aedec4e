#include "velta/components/ComponentSolid.h"

#include "velta/value/Constants.h"

ComponentSolid::ComponentSolid(const std::string &name, const Value &mw, const ParameterBkk &r1,
                               const ParameterBkk &r2, const ParameterBkk &r3,
                               const ParameterBkk &r4, const ParameterBkk &r5,
                               const ParameterBkk &r6, const ParameterBkk &r7)
    : ComponentGeneric(name), ComponentBase(mw),
      RouteHeatLiquidDummySolidBkk(r1, r2, r3, r4, r5, r6, r7), solid_(true) {
  // Formation references from the solid data at 298.15 K (extrapolated when
  // 298.15 K lies outside the group).
  const double T0 = referenceTemperature.value();
  const double h0 = GroupBkk::h(Active(T0)).value();
  const double s0 = GroupBkk::s(Active(T0)).value();
  setFormationReferences(Value(h0, "J/kmol"), Value(h0 - T0 * s0, "J/kmol"));
}

Value ComponentSolid::kvli(const Value &, const Value &) const { return Value(1e-20); }
