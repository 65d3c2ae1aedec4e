#include "velta/flowsheet/Decanter.h"

#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/value/Constants.h"

#include <array>

const char *const Decanter::typeName = "Decanter";

namespace {

// Fractions of the first nine components sent to the light liquid.
constexpr std::array<double, 9> lightSplits = {0.2, 0.5, 0.5, 1.0, 0.8, 0.5, 1.0, 1.0, 1.0};

} // namespace

Decanter::Decanter(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      FlowSheet(defaults, id, persistency, parent, root),
      xH2O("xH2O", "Molar fraction of water in the light phase", Value(0.01), nullptr) {
  static const char *const name = "Decanter::Decanter";
  VELTA_TRACE_BEGIN
  setType(typeName);
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag());
  maxNIn = 1;
  maxNOut = 3;
  inletRequired(0);
  addVariable(xH2O);
  if (persistency == nullptr) {
    VELTA_LOG(verbosity(), 1, name, "Define unit operations");
    addUnit("FlashDegasser<StreamIdealLiquidVapor>", defaults.relay("DRUM", "VL Flash"));
    addUnit("Separator<2>", defaults.relay("SEP", "Split organics"));
    VELTA_LOG(verbosity(), 1, name, "Define stream objects and connect");
    addStream("StreamIdealLiquidVapor", defaults.relay("L12", "Liquid"), "DRUM", "out2", "SEP",
              "in");
    VELTA_LOG(verbosity(), 2, name, "Setting input streams");
    addStream("StreamIdealLiquidVapor", defaults.relay("F", "Feed stream"), "source", "out", "DRUM",
              "in");
    VELTA_LOG(verbosity(), 2, name, "Setting output streams");
    addStream("StreamVapor", defaults.relay("V", "Vapor Phase"), "DRUM", "out1", "sink", "in");
    addStream("StreamIdealLiquidVapor", defaults.relay("L1", "Light Liquid Phase"), "SEP", "out1",
              "sink", "in");
    addStream("StreamIdealLiquidVapor", defaults.relay("L2", "Heavy Liquid Phase"), "SEP", "out2",
              "sink", "in");
    // The limits are the ports the decanter has: one inlet, three outlets.
    maxNIn = 1;
    maxNOut = 3;
  }
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

Decanter::~Decanter() = default;

int Decanter::locationFromPort(std::string port) {
  if (port == "out1")
    return 0;
  if (port == "out2")
    return 2;
  if (port == "out3")
    return 1;
  return 3;
}

void Decanter::makeUserEquations(Position &position) {
  static const char *const name = "Decanter::makeUserEquations";
  VELTA_TRACE_BEGIN
  // Written at every assembly whatever the verbosity.
  const int always = verbosity() + 100;
  VELTA_LOG(always, 1, name, "Entered for " << tag());
  Value &split = Q("SEP.outSplit", 0, "H2O");
  const Value &x = Q("L1:Tphase.x", "H2O");
  VELTA_LOG(always, 2, name, "SEP.outSplit[0][H2O] = " << split);
  VELTA_LOG(always, 2, name, "L1.Tphase.x[H2O] = " << x);
  const Value rhs = split * (dimensionlessOne + (xH2O - x) / x);
  makeAssignment(position, &split, rhs, "water content of organic phase",
                 "Q(\"SEP.outSplit\", 0, \"H2O\") * (One + (xH2O - (Q(\"L1:Tphase.x\", \"H2O\"))) "
                 "/ (Q(\"L1:Tphase.x\", \"H2O\")))",
                 0, Velta::Utility::ScalingMode::arctangent, 0.0, 1.0, dimensionlessOne);
  VELTA_TRACE_END(name)
}

void Decanter::setup() {
  static const char *const name = "Decanter::setup";
  VELTA_TRACE_BEGIN
  const int always = verbosity() + 100;
  VELTA_LOG(always, 1, name, "Entered for " << tag());
  S("DRUM.option") = "DH";
  Q("DRUM.deltaP").set(0.0, "Pa");
  Q("DRUM.duty").set(0.0, "W");
  S("SEP.option") = "D";
  Q("SEP.deltaP").set(0.0, "Pa");
  for (std::size_t j = 0; j < lightSplits.size(); ++j)
    Q("SEP.outSplit", 0, static_cast<int>(j)).set(Value(lightSplits[j]));
  FlowSheet::setup();
  VELTA_LOG(always, 2, name, "Done");
  VELTA_TRACE_END(name)
}
