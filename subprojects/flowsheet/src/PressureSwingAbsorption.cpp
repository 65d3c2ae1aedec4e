#include "velta/flowsheet/PressureSwingAbsorption.h"

#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

#include <cmath>

const char *const PressureSwingAbsorption::typeName = "PressureSwingAbsorption";

namespace {

const char *const calculated = "calculated";
const char *const fixed = "fixed";

} // namespace

PressureSwingAbsorption::PressureSwingAbsorption(Defaults defaults, int id,
                                                 Persistency *persistency, Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      FlowSheet(defaults, id, persistency, parent, root),
      recovery("recovery", "H2 recovery", Value(0.7), nullptr),
      purity("purity", "H2 purity", Value(0.99999), nullptr),
      option("option", "Recovery mode", calculated, nullptr) {
  static const char *const name = "PressureSwingAbsorption::PressureSwingAbsorption";
  VELTA_TRACE_BEGIN
  setType(typeName);
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag());
  maxNIn = 1;
  maxNOut = 2;
  inletRequired(0);
  addVariable(recovery);
  addVariable(purity);
  addVariable(option);
  if (persistency == nullptr) {
    VELTA_LOG(verbosity(), 1, name, "Define unit operations");
    addUnit("Separator<2>",
            defaults.relay("SEPARATOR", "PressureSwingAbsorption fixed yield separation"));
    addUnit("FlashDrum", defaults.relay("F2", "Flash offgas outlet"));
    VELTA_LOG(verbosity(), 1, name, "Define stream objects and connect");
    const std::string type = "StreamIdealLiquidVapor";
    addStream(type, defaults.relay("S03", "Offgas"), "SEPARATOR", "out2", "F2", "in");
    VELTA_LOG(verbosity(), 2, name, "Setting input streams");
    addStream(type, defaults.relay("S01", "Syngas or fluegas"), "source", "out", "SEPARATOR", "in");
    VELTA_LOG(verbosity(), 2, name, "Setting output streams");
    addStream(type, defaults.relay("S02", "H2"), "SEPARATOR", "out1", "sink", "in");
    addStream(type, defaults.relay("S04", "Flashed Offgas"), "F2", "out", "sink", "in");
    // The limits are the ports the unit has: one inlet, two outlets.
    maxNIn = 1;
    maxNOut = 2;
  }
  registerSynonym("h2", "out1");
  registerSynonym("offgas", "out2");
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

PressureSwingAbsorption::~PressureSwingAbsorption() = default;

int PressureSwingAbsorption::locationFromPort(std::string port) {
  if (port == "out1")
    return 0;
  if (port == "out2")
    return 1;
  return 3;
}

double PressureSwingAbsorption::calculatedRecovery(double pressure) {
  return 1.0 - std::pow(10.0, pressure * -0.7 / 1500000.0 - 0.07);
}

void PressureSwingAbsorption::setup() {
  VELTA_LOG(verbosity(), 1, "PressureSwingAbsorption::setup", "Entered for " << tag());
}

void PressureSwingAbsorption::pre(int, int) {
  static const char *const name = "PressureSwingAbsorption::pre";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  const Value atm(1.0, "atm");
  VELTA_LOG(verbosity(), 2, name, "Setting input values");
  S("SEPARATOR.option") = "D";
  Q("SEPARATOR.deltaP") = Value(0.4, "bar");
  Q("SEPARATOR.T") = Q("S01.T");
  if (option.value() == calculated)
    recovery = Value(calculatedRecovery(Q("S01.P").value()));
  else if (option.value() != fixed)
    throw ErrorBrowsing(name, tag().c_str(), option.description().c_str(), option.value().c_str());
  const Value x = Q("S01:Tphase.x", "H2");
  const Value f = x * recovery * (dimensionlessOne - purity) / purity / (dimensionlessOne - x);
  for (const char *impurity : {"H2O", "N2", "O2", "CH4", "CO", "CO2"})
    Q("SEPARATOR.outSplit", 0, impurity) = f;
  Q("SEPARATOR.outSplit", 0, "H2") = recovery;
  S("F2.option") = "PT";
  Q("F2.P") = atm + Value(2.0, "psi");
  Q("F2.T") = Value(313.15, "K");
  VELTA_TRACE_END(name)
}

void PressureSwingAbsorption::post(int, int) {
  static const char *const name = "PressureSwingAbsorption::post";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  const Value atm(1.0, "atm");
  const Value &p = Q("S01.P");
  const Value &t = Q("S01.T");
  const double x = Q("S01:Tphase.x", "H2").value();
  if (p > Value(300.0, "psi") + atm)
    reportWarning("Warning: inlet pressure too high");
  if (p < Value(50.0, "psi") + atm)
    reportWarning("Warning: inlet pressure too low");
  if (t > Value(323.15, "K"))
    reportWarning("Warning: inlet temperature too high");
  if (t < Value(277.15, "K"))
    reportWarning("Warning: inlet temperature too low");
  if (x > 0.99999)
    reportWarning("Warning: inlet hydrogen concentration too high");
  if (x < 0.25)
    reportWarning("Warning: inlet hydrogen concentration too low");
  VELTA_LOG(verbosity(), 2, name, "Calculating output values");
  incrementCalculations();
  VELTA_TRACE_END(name)
}
