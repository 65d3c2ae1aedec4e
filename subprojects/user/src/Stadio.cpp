#include "velta/user/Stadio.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/core/MyCast.h"
#include "velta/phases/Mass.h"
#include "velta/streams/Stream.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/value/Constants.h"

#include <numbers>
#include <string>

const char *const Stadio::typeName = "Stadio";

namespace {

// Phase indices of the stage's streams.
constexpr int firstLiquid = 2;
constexpr int firstSolid = 5;

// Solids that dissolve in the filtrate like the liquid.
bool isSolubleSalt(const std::string &name) {
  return name == "FeF2" || name == "FeCl2" || name == "NaF" || name == "NaCl" || name == "NaOH";
}

// The phase of a stage stream; the stage needs it, so a stream type without
// it is the stage's error, not a missing phase followed further.
Value &phaseFlow(Object &stage, const char *streamTag, int phaseIndex, const char *caller) {
  Stream *stream = my_cast<Stream *>(&stage.at(streamTag), caller);
  Phase::Mass *phase = stream->findPhase(phaseIndex);
  if (phase == nullptr)
    throw ErrorRunTime(caller, (std::string("stream ") + streamTag + " of type " +
                                stream->type() + " has no " +
                                (phaseIndex == firstSolid ? "solid" : "liquid") +
                                " phase: the stage needs a liquid-solid stream type")
                                   .c_str());
  return phase->mdot;
}

} // namespace

Stadio::Stadio(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      FlowSheet(defaults, id, persistency, parent, root),
      H("H", "Vessel height", 1400, "mm", nullptr),
      h("h", "Candle height", 1200, "mm", nullptr),
      D("D", "Vessel inner diameter", 200, "mm", nullptr),
      d("d", "Candle outer diameter", 85, "mm", nullptr),
      rho("rho", "Wet cake density", 1250, "kg/m3", nullptr),
      hum("hum", "Cake liquid fraction", 0.45, "", nullptr),
      m("m", "Number of filter candles per vessel", 1, "", nullptr),
      t("t", "Wet cake thickness", 15, "mm", nullptr),
      A("A", "GenericActive filter area", 0.32, "m2", nullptr),
      tauF("tauF", "Filtration cycle time", 318, "s", nullptr),
      tauD("tauD", "Drying cycle time", 5, "min", nullptr),
      tauO("tauO", "Overheads cycle time", 15, "min", nullptr),
      w("w", "Number of washings per cycle", 3, "", nullptr),
      tau("tau", "Total cycle time", 0, "s", nullptr),
      Vk("Vk", "Wet cake volume", 0, "m3", nullptr),
      Vv("Vv", "Average vessel net volume", 0, "m3", nullptr),
      mk("mk", "Mass of cake solid on each candle", 0, "kg", nullptr),
      Qk("Qk", "Mass flow of cake solid", 0, "kg/s", nullptr),
      n("n", "Required number of vessels", 0, "", nullptr),
      Qw("Qw", "Required volume flow of washings", 0, "m3/s", nullptr),
      stream_type("stream_type", "the stream type", "", nullptr) {
  static const char *const name = "Stadio::Stadio";
  VELTA_TRACE_BEGIN
  setType(typeName);
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag());
  stream_type =
      retrieveString(defaults, id, persistency, "stream_type", "StreamSimpleLiquidSolid");
  for (Quantity *q : {&H, &h, &D, &d, &rho, &hum, &m, &t, &A, &tauF, &tauD, &tauO, &w, &tau, &Vk,
                      &Vv, &mk, &Qk, &n, &Qw})
    addVariable(*q);
  addVariable(stream_type);
  if (persistency == nullptr) {
    VELTA_LOG(verbosity(), 1, name, "Define unit operations");
    addUnit("Mixer", defaults.relay("M", "Mixer"));
    addUnit("FlashDrum", defaults.relay("R", "Resuspension reactor"));
    addUnit("Separator<2>", defaults.relay("F", "Filter"));
    const std::string &type = stream_type.value();
    addStream(type, defaults.relay("S01", "Inlet solid"), "source", "out", "M", "in");
    addStream(type, defaults.relay("S02", "Inlet reactant"), "source", "out", "M", "in");
    addStream(type, defaults.relay("S03", "Reactor inlet"), "M", "out", "R", "in");
    addStream(type, defaults.relay("S04", "Reactor outlet"), "R", "out", "F", "in");
    addStream(type, defaults.relay("S05", "Solid outlet"), "F", "out2", "sink", "in");
    addStream(type, defaults.relay("S06", "Filtrate"), "F", "out1", "sink", "in");
  }
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

Stadio::~Stadio() = default;

void Stadio::makeUserEquations(Position &position) {
  static const char *const name = "Stadio::makeUserEquations";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  VELTA_LOG(verbosity(), 2, name, "Setting input values");
  const double pi = std::numbers::pi;
  tau = tauF + tauD + tauO;
  A = d * h * pi;
  Vk = A * t;
  Vv = (H * D * D - h * (d + t) * (d + t)) * pi / 4.0;
  mk = (1.0 - hum) * Vk * rho;
  Qk = phaseFlow(*this, "S01", firstSolid, name);
  n = Qk * tau / (m * mk);
  Qw = (w * Vk + Vv) / tau;

  const Value &water = Q("F.outSplit", 0, "H2O");
  for (int i = 0; i < components.count(); ++i) {
    const ComponentGeneric &component = *components[i];
    const std::string &componentName = component.name();
    const bool follows =
        component.isSolid() ? isSolubleSalt(componentName) : componentName != "H2O";
    if (follows)
      Q("F.outSplit", 0, i) = water;
  }

  VELTA_LOG(verbosity(), 2, name, "Stadio flowsheet specific equations");
  const Value liq = phaseFlow(*this, "S04", firstLiquid, name);
  const Value tobeliqs = phaseFlow(*this, "S04", firstSolid, name) * hum / (dimensionlessOne - hum);
  Value &split = Q("F.outSplit", 0, "H2O");
  makeAssignment(position, &split, dimensionlessOne - tobeliqs / liq,
                 "Imposta umidita cake da F", "One - tobeliqs / liq", 0,
                 Velta::Utility::ScalingMode::noscaling, 0.0, 1.0, dimensionlessOne);
  VELTA_LOG(verbosity(), 2, name, "liq = " << liq);
  VELTA_LOG(verbosity(), 2, name, "tobeliqs = " << tobeliqs);
  VELTA_LOG(verbosity(), 2, name, "F.outSplit[0, H2O] = " << split);
  VELTA_TRACE_END(name)
}

void Stadio::setup() {
  static const char *const name = "Stadio::setup";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag());
  VELTA_LOG(verbosity(), 2, name, "Calling flowsheet::setup to initialize any subflowsheet");
  FlowSheet::setup();
  VELTA_LOG(verbosity(), 2, name, "Setting input variables");
  for (int i = 0; i < components.count(); ++i) {
    const ComponentGeneric &component = *components[i];
    if (component.isSolid())
      Q("F.outSplit", 0, i).set(isSolubleSalt(component.name()) ? 0.9 : 0.0005, "");
  }
  Q("F.outSplit", 0, "H2O").set(0.9, "");
  VELTA_TRACE_END(name)
}
