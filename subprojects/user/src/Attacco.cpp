#include "velta/user/Attacco.h"

#include "velta/user/Stadio.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/value/Constants.h"

#include <string>

template <> const char *const Attacco<1>::typeName = "Attacco<1>";
template <> const char *const Attacco<3>::typeName = "Attacco<3>";

namespace {

// "Attacco<N>::" + function.
template <int N> std::string qualified(const char *function) {
  return "Attacco<" + std::to_string(N) + ">::" + function;
}

// The attack stage gets only the options meant for it (prefix "A_R_"
// removed) and the liquid-solid streams unless those name another type.
Defaults attackStageOptions(const Defaults &given) {
  Defaults options = given.subset("A_R_").relay("A", "Acid attack stage");
  options.setString("stream_type", "StreamSimpleLiquidSolid");
  return options;
}

// The washing cascade gets every option, and these where they are missing.
template <int N> Defaults washingOptions(const Defaults &given) {
  Defaults options = given.relay("L", "Washing");
  options.setInteger("nStage", N)
      .setInteger("nStreams", 2)
      .setString("option[1]", "bottomtop")
      .setString("stream_type", "StreamSimpleLiquidSolid")
      .setString("typeT", Stadio::typeName)
      .setString("typeU", "StreamSimpleLiquidSolid")
      .setString("typeV", "StreamSimpleLiquidSolid");
  return options;
}

} // namespace

template <int N>
Attacco<N>::Attacco(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      FlowSheet(defaults, id, persistency, parent, root),
      hum("hum", "Cake liquid fraction", 0.45, "", nullptr) {
  const std::string name = qualified<N>("Attacco");
  VELTA_TRACE_BEGIN
  setType(typeName);
  VELTA_LOG(verbosity(), 1, name.c_str(), "Entered for " << tag());
  addVariable(hum);
  if (persistency == nullptr) {
    VELTA_LOG(verbosity(), 1, name.c_str(), "Define unit operations");
    addUnit(Stadio::typeName, attackStageOptions(defaults));
    addUnit("MultiStage", washingOptions<N>(defaults));
    const char *const type = "StreamSimpleLiquidSolid";
    addStream(type, defaults.relay("S01", "Inlet solid"), "source", "out", "A", "in1");
    addStream(type, defaults.relay("S02", "Inlet reactant"), "source", "out", "A", "in2");
    addStream(type, defaults.relay("S03", "Inlet water"), "source", "out", "L", "in2");
    addStream(type, defaults.relay("S04", "Solid outlet from attack"), "A", "out1", "L", "in1");
    addStream(type, defaults.relay("S05", "Washed solid outlet"), "L", "out1", "sink", "in");
    addStream(type, defaults.relay("S06", "Concentrated filtrate"), "A", "out2", "sink", "in");
    addStream(type, defaults.relay("S07", "Diluted filtrate"), "L", "out2", "sink", "in");
  }
  VELTA_TRACE_END(name.c_str())
}

template <int N> Attacco<N>::~Attacco() = default;

template <int N> void Attacco<N>::makeUserEquations(Position &position) {
  const std::string name = qualified<N>("makeUserEquations");
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name.c_str(), "Entered for " << tag());
  const Value imposed = hum;
  const auto assign = [&](Value &stageHum) {
    makeAssignment(position, &stageHum, imposed, "set humidity", "hum", 0,
                   Velta::Utility::ScalingMode::noscaling, 0.0, 1.0, dimensionlessOne);
  };
  assign(Q("A.hum"));
  for (int i = 0; i < N; ++i)
    assign(at("L:S", i).Q("hum"));
  VELTA_TRACE_END(name.c_str())
}

template <int N> void Attacco<N>::setup() {
  const std::string name = qualified<N>("setup");
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name.c_str(), "Entered for " << tag());
  VELTA_LOG(verbosity(), 2, name.c_str(), "Calling flowsheet::setup to initialize any subflowsheet");
  FlowSheet::setup();
  VELTA_TRACE_END(name.c_str())
}

template class Attacco<1>;
template class Attacco<3>;
