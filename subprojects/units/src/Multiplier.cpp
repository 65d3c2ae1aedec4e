#include "velta/units/Multiplier.h"

#include "velta/streams/Stream.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

const char *const Multiplier::typeName = "Multiplier";

Multiplier::Multiplier(Defaults defaults, int id, Persistency *persistency, Node *parent,
                       Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      SimpleUnit(defaults, id, persistency, typeName) {
  maxNIn = 1;
  maxNOut = -1;
  inletRequired(0);
}

Multiplier::~Multiplier() = default;

void Multiplier::go(int, int) {
  static const char *const name = "Multiplier::go";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  if (nIn.value() == 0) {
    setError("no inlet connected, nothing to do");
    return;
  }
  if (nOut.value() == 0) {
    setError("no outlet connected, nothing to do");
    return;
  }
  const Stream *in = inletStream(0, name);
  for (EdgeBase *edge : outlets_) {
    Stream *out = my_cast<Stream *>(edge, name);
    out->assign(*in);
    prepareOutletFlash(*out);
  }
  incrementCalculations();
  VELTA_TRACE_END(name)
}

Value Multiplier::massBalance() {
  static const char *const name = "Multiplier::massBalance";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), -1, name, "Entered for " << fullTag());
  if (!inletConnected(0))
    return Value(0.0, "kg/s");
  const Stream *in = inletStream(0, name);
  return in->Tphase->mdot * -static_cast<double>(nOut.value() - 1);
  VELTA_TRACE_END(name)
}

Value Multiplier::energyBalance() {
  static const char *const name = "Multiplier::energyBalance";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), -1, name, "Entered for " << fullTag());
  if (!inletConnected(0))
    return Value(0.0, "W");
  Stream *in = inletStream(0, name);
  return enthalpyFlow(*in) * -static_cast<double>(nOut.value() - 1);
  VELTA_TRACE_END(name)
}
