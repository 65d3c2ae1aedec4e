#include "velta/units/ElectricalConsumption.h"

#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

ElectricalConsumption::ElectricalConsumption(Defaults)
    : cosphi("cosphi", "cosine of phi", Value(0.9), nullptr),
      We("We", "Electrical power", 1.0, "W", nullptr), V("V", "Voltage", 380.0, "V", nullptr),
      i("i", "Current", 0.0, "A", nullptr) {
  VELTA_TRACE_BEGIN
  addVariable(cosphi);
  addVariable(We);
  addVariable(V);
  addVariable(i);
  cosphi.setInput();
  We.setInput();
  V.setInput();
  i.setOutput();
  VELTA_TRACE_END("ElectricalConsumption::ElectricalConsumption")
}

ElectricalConsumption::~ElectricalConsumption() = default;

void ElectricalConsumption::calculateElectricalConsumption() {
  static const char *const name = "ElectricalConsumption::calculateElectricalConsumption";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  const Value apparent = V * cosphi * 1.7320508075688772;
  if (apparent.value() == 0.0) {
    // A current from a zero voltage or power factor would be infinite.
    setError("zero voltage or power factor, current not computed");
    return;
  }
  i = We / apparent;
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}
