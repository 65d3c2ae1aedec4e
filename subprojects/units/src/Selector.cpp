#include "velta/units/Selector.h"

#include "velta/streams/Stream.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

const char *const Selector::typeName = "Selector";

Selector::Selector(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      SimpleUnit(defaults, id, persistency, typeName),
      selectedInlet("selectedInlet", "Selected inlet stream", -1, nullptr) {
  maxNIn = -1;
  maxNOut = 1;
  inletRequired(0);
  addVariable(selectedInlet);
}

Selector::~Selector() = default;

void Selector::go(int, int) {
  static const char *const name = "Selector::go";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  if (!outletConnected(0)) {
    setError("no outlet connected, nothing to do");
    return;
  }
  const int k = selectedInlet.value();
  if (k < 0 || k >= nIn.value() || !inletConnected(static_cast<unsigned>(k))) {
    setError("selected inlet " + std::to_string(k) + " is not a connected inlet, nothing to do");
    return;
  }
  Stream *out = outletStream(0, name);
  out->assign(*inletStream(static_cast<unsigned>(k), name));
  prepareOutletFlash(*out);
  incrementCalculations();
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

Value Selector::discarded(bool enthalpy) {
  const char *const name = enthalpy ? "Selector::energyBalance" : "Selector::massBalance";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), -1, name, "Entered for " << fullTag());
  Value sum = enthalpy ? Value(0.0, "W") : Value(0.0, "kg/h");
  for (std::size_t i = 0; i < inlets_.size(); ++i) {
    if (selectedInlet.value() >= 0 && i == static_cast<std::size_t>(selectedInlet.value()))
      continue;
    // An empty slot carries nothing away.
    if (!inlets_[i])
      continue;
    Stream *in = my_cast<Stream *>(inlets_[i], name);
    if (enthalpy)
      sum += enthalpyFlow(*in);
    else
      sum += in->Tphase->mdot;
  }
  return sum;
  VELTA_TRACE_END(name)
}

Value Selector::massBalance() { return discarded(false); }
Value Selector::energyBalance() { return discarded(true); }
