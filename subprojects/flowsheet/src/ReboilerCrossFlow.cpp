#include "velta/flowsheet/ReboilerCrossFlow.h"

#include "velta/core/MyCast.h"
#include "velta/flowsheet/OptionPresets.h"
#include "velta/flowsheet/StageTag.h"
#include "velta/flowsheet/Zone.h"
#include "velta/utility/Assert.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/WaterSaturation.h"

#include <climits>
#include <cmath>
#include <sstream>

using Velta::Utility::ScalingMode;

const char *const ReboilerCrossFlow::typeName = "ReboilerCrossFlow";

ReboilerCrossFlow::ReboilerCrossFlow(Defaults defaults, int id, Persistency *persistency,
                                     Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      FlowSheet(defaults, id, persistency, parent, root),
      coldP("coldP", "Pressure  at cold side exit", 0.0, "Pa", nullptr),
      coldAlfa("coldAlfa", "Vapor fraction at cold side exit", Value(0.5), nullptr),
      N("N", "Number of tubes", Value(1.0), nullptr), L("L", "Length of tubes", 1.0, "m", nullptr),
      de("de", "Tube external diameter", 25.0, "mm", nullptr),
      s("s", "Tube thickness", 2.0, "mm", nullptr),
      R1f("R1f", "Process side fouling thermal resistance", 0.0, "m2*K/W", nullptr),
      R2f("R2f", "Utility side fouling thermal resistance", 0.0, "m2*K/W", nullptr),
      A("A", "Available heat transfer area", 10.0, "m2", nullptr),
      Areq("Areq", "Required heat transfer area", 10.0, "m2", nullptr),
      excessArea("excessArea", "Ratio between available and required heat transfer area",
                 Value(1.0), nullptr),
      factor("factor", "Factor to multiply the inlet feed so that the heat balance holds",
             Value(1.0), nullptr),
      deltaP_1("deltaP_1", "Total pressure drop", 0.0, "Pa", nullptr),
      duty("duty", "Duty inlet - outlet", 0.0, "W", nullptr),
      MTD("MTD", "Mean temperature difference obtained from linear average across zones", 0.0, "K",
          nullptr),
      U("U", "Average overall heat transfer coefficient", 0.0, "W/(m2*K)", nullptr),
      zones("zones", "Number of zones", 0, nullptr) {
  static const char *const name = "ReboilerCrossFlow::ReboilerCrossFlow";
  setType(typeName);
  maxNIn = 2;
  maxNOut = 2;
  inletRequired(0);
  inletRequired(1);
  zones_ = retrieveInteger(defaults, id, persistency, "zones", 0, INT_MAX, -1);
  nZones_ = zones_;
  zones = zones_;
  for (Quantity *q :
       {&coldP, &coldAlfa, &N, &L, &de, &s, &R1f, &R2f, &A, &Areq, &excessArea, &factor, &deltaP_1})
    addVariable(*q);
  const auto n = static_cast<unsigned>(zones_);
  addVector(deltaPfraction, "deltaPfraction", "fraction of total pressure drop", n,
            Value(1.0 / nZones_));
  addVector(Lfraction, "Lfraction", "fraction of total length", n, Value(1.0 / nZones_));
  for (Quantity *q : {&duty, &MTD, &U})
    addVariable(*q);
  addVariable(zones);

  if (persistency == nullptr) {
    VELTA_LOG(verbosity(), 1, name, "Define unit operations");
    addUnit("Divider", Velta::Flowsheet::withPresets(defaults.relay("SPLIT", "Steam splitter"),
                                                     Defaults().setInteger("nOutlets", zones_)));
    for (int j = 0; j < zones_; ++j)
      addUnit("Zone", defaults.relay(zoneTag(j), "Zone " + std::to_string(j)));
    addUnit("Mixer", defaults.relay("MIX", "Condensate mixer"));
    VELTA_LOG(verbosity(), 1, name, "Define stream objects and connect");
    for (int j = 0; j < zones_; ++j) {
      if (j < zones_ - 1)
        addStream("StreamNrtl2LiquidSolidVapor",
                  defaults.relay(boilupTag(j), "Boilup Vapor and liquids"), zoneTag(j), "out1",
                  zoneTag(j + 1), "in1");
      addStream("StreamIapwsVapor", defaults.relay(steamTag(j), "Steam"), "SPLIT", "out",
                zoneTag(j), "in2");
      addStream("StreamIapwsLiquid", defaults.relay(condensateTag(j), "Condenses"), zoneTag(j),
                "out2", "MIX", "in");
    }
    VELTA_LOG(verbosity(), 2, name, "Setting input streams");
    addStream("StreamNrtl2LiquidSolidVapor", defaults.relay("SL", "Liquid from Stripping Section"),
              "source", "out", zoneTag(0), "in1");
    addStream("StreamIapwsVapor", defaults.relay("STMIN", "Steam"), "source", "out", "SPLIT", "in");
    VELTA_LOG(verbosity(), 2, name, "Setting output streams");
    addStream("StreamNrtl2LiquidSolidVapor",
              defaults.relay(boilupTag(zones_ - 1), "Boilup Vapor and liquids"),
              zoneTag(zones_ - 1), "out1", "sink", "in");
    addStream("StreamIapwsLiquid", defaults.relay("WATOU", "Condenses"), "MIX", "out", "sink",
              "in");
    // The limits are the ports the reboiler has: two inlets, two outlets.
    maxNIn = 2;
    maxNOut = 2;
  }
  registerSynonym("liquid", "in1");
  registerSynonym("mixture", "out1");
  registerSynonym("steam", "in2");
  registerSynonym("water", "out2");
  for (Quantity *q : {&A, &Areq, &excessArea, &factor, &deltaP_1, &U, &MTD, &duty})
    q->setOutput();
}

ReboilerCrossFlow::~ReboilerCrossFlow() = default;

std::string ReboilerCrossFlow::indexedTag(const std::string &prefix, int j) const {
  VELTA_ASSERT(j >= 0);
  VELTA_ASSERT(j < zones_);
  return Velta::Flowsheet::indexedTag(prefix, j);
}

Zone &ReboilerCrossFlow::zone(int j) {
  return *my_cast<Zone *>(&at(zoneTag(j)), "ReboilerCrossFlow::zone");
}

void ReboilerCrossFlow::setup() {
  static const char *const name = "ReboilerCrossFlow::setup";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, " entered for " << tag());
  for (int j = 0; j < zones_; ++j) {
    Zone &z = zone(j);
    z.S("HOT.option") = "DT";
    z.Q("HOT.deltaP").set(200.0, "hPa");
    const auto k = static_cast<std::size_t>(j);
    deltaPfraction[k] = Value(j == 0 ? 0.8 : (1.0 - 0.8) / (nZones_ - 1.0));
    deltaPfraction[k].setOutput();
    Lfraction[k].setOutput();
  }
  VELTA_LOG(verbosity(), 2, name, "Calling flowsheet::setup to initialize any subflowsheet");
  FlowSheet::setup();
  VELTA_TRACE_END(name)
}

void ReboilerCrossFlow::pressureProfile() {
  const Value D = Q("SL.P") - coldP;
  Value p = Q("SL.P");
  for (int j = 0; j < zones_; ++j) {
    p = p - D * deltaPfraction[static_cast<std::size_t>(j)];
    zone(j).Q("COLD.P") = p;
  }
}

void ReboilerCrossFlow::pre(int, int) {
  static const char *const name = "ReboilerCrossFlow::pre";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity() + 10, 1, name, "Entered for " << fullTag());
  pressureProfile();
  for (int j = 0; j < zones_; ++j) {
    Zone &z = zone(j);
    // A single zone is both the first and the last: it reaches coldAlfa.
    z.Q("COLD.alfa") =
        zones_ == 1 ? Value(coldAlfa) : coldAlfa * static_cast<double>(j) / (nZones_ - 1.0);
    z.Q("HOT:ratings[0].N") = N;
    z.Q("HOT:ratings[0].L") = L * Lfraction[static_cast<std::size_t>(j)];
    z.Q("HOT:ratings[0].de") = de;
    z.Q("HOT:ratings[0].s") = s;
    z.Q("HOT:ratings[0].R1f") = R1f;
    z.Q("HOT:ratings[0].R2f") = R2f;
    const double p = Q("STMIN.P").value() - z.Q("HOT.deltaP").value();
    z.Q("HOT.T") = Value(waterSaturationTemperature(p), "K");
  }
  VELTA_LOG(verbosity() + 10, 2, name, "Done");
  VELTA_TRACE_END(name)
}

namespace {

// numerator / denominator; a zero denominator keeps the fallback.
Value quotientOr(const Value &numerator, const Value &denominator, const Value &fallback) {
  return denominator.value() == 0.0 ? fallback : numerator / denominator;
}

} // namespace

void ReboilerCrossFlow::makeUserEquations(Position &position) {
  static const char *const name = "ReboilerCrossFlow::makeUserEquations";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag());
  for (Quantity *q : {&A, &Areq, &factor, &deltaP_1, &MTD, &duty})
    q->setZero();
  for (int j = 0; j < zones_; ++j) {
    Zone &z = zone(j);
    A += z.Q("HOT:ratings[0].A");
    Areq += z.Q("HOT:ratings[0].Areq");
    if (Velta::Utility::logEnabled(verbosity(), 2)) {
      std::ostringstream printed;
      z.Q("HOT.factor").print(printed);
      VELTA_LOG(verbosity(), 2, name, "HX[" << j << "]:HOT.factor = " << printed.str());
    }
    factor += z.Q("HOT.factor");
    deltaP_1 += z.Q("HOT:ratings[0].deltaP_1");
    duty += z.Q("COLD.duty");
    MTD += z.Q("HOT.MTD");
  }
  // Where a zero sum leaves a quotient undefined (nothing rated yet), the
  // previous value stands and the left-hand sides keep their values.
  excessArea = quotientOr(A, Areq, excessArea);
  factor = factor / nZones_;
  MTD = MTD / nZones_;
  if (Areq.value() != 0.0 && MTD.value() != 0.0)
    U = fabs(duty / Areq / MTD);
  const Value one(1.0);
  for (int j = 0; j < zones_; ++j) {
    Zone &z = zone(j);
    const auto k = static_cast<std::size_t>(j);
    if (j < zones_ - 1) {
      Value &split = Q("SPLIT.outSplit", j);
      makeAssignment(position, &split, quotientOr(split * z.Q("HOT.factor"), factor, split),
                     "flow partition", "Q(\"SPLIT.outSplit\", j) * hx->Q(\"HOT.factor\") / factor",
                     0, ScalingMode::noscaling, 0.0, 1.0, one);
    }
    makeAssignment(position, &Lfraction[k],
                   quotientOr(z.Q("HOT:ratings[0].Areq"), Areq, Lfraction[k]), "distribute area",
                   "hx->Q(\"HOT:ratings[0].Areq\") / Areq", 0, ScalingMode::noscaling, 0.0, 1.0,
                   one);
    makeAssignment(position, &deltaPfraction[k],
                   quotientOr(z.Q("HOT:ratings[0].deltaP_1"), deltaP_1, deltaPfraction[k]),
                   "balance pressures", "hx->Q(\"HOT:ratings[0].deltaP_1\") / deltaP_1", 0,
                   ScalingMode::noscaling, 0.0, 1.0, one);
    z.Q("HOT:ratings[0].L") = L * Lfraction[k];
  }
  pressureProfile();
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}
