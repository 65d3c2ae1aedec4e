#include "velta/user/Inorganic.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/core/MyCast.h"
#include "velta/streams/Stream.h"
#include "velta/user/Attacco.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/value/Constants.h"

#include <cmath>
#include <string>

const char *const Inorganic::typeName = "Inorganic";

namespace {

const Value &MW(const char *component) { return components[component]->MW(); }

// The solid basis of every flow and ratio: 1000 kg/h of Metal1.
Value basis() { return Value(1000.0, "kg/h"); }

// An attack unit's options: the flowsheet's, and its reactor's reactions
// where the flowsheet names none.
Defaults attackOptions(const Defaults &given, const char *tag, const char *description,
                       std::initializer_list<const char *> reactions) {
  Defaults options = given.relay(tag, description);
  options.setInteger("A_R_nReactions", static_cast<int>(reactions.size()));
  int i = 0;
  for (const char *reaction : reactions)
    options.setString("A_R_embeddedTypeReactions[" + std::to_string(i++) + "]", reaction);
  return options;
}

// Ratio of liquid to solid mass flow at a stream of the tree.
Value liquidToSolid(Object &flowsheet, const std::string &stream) {
  return flowsheet.Q(stream + ":Lphase[0].mdot") / flowsheet.Q(stream + ":Sphase[0].mdot");
}

} // namespace

Inorganic::Inorganic(Defaults defaults, int id, Persistency *persistency, Node *parent,
                     Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      FlowSheet(defaults, id, persistency, parent, root),
      hum("hum", "Water content in cake", 0.3, "", nullptr),
      inert_fraction("inert_fraction", "Mass fraction of inert in the feed", 0.4, "", nullptr),
      metal2_fraction("metal2_fraction", "Mass fraction of the metals as Metal2 in the feed",
                      0.0001, "", nullptr),
      pH("pH", "pH of the osmotic water to washings", 2.0, "", nullptr),
      w_C1("w_C1", "mass fraction of commercial Chemical1", 0.4, "", nullptr),
      w_C2("w_C2", "mass fraction of commercial Chemical2", 0.33, "", nullptr),
      w_C4("w_C4", "mass fraction of commercial Chemical4", 0.33, "", nullptr),
      k0("k0", "resuspension ratio", 3.0, "", nullptr),
      k1C1("k1C1", "first attack mass ratio of pure Chemical1 to solid inlet to section 100", 0.3,
           "", nullptr),
      k1C2("k1C2", "first attack mass ratio of pure Chemical2 to solid inlet to section 100", 0.3,
           "", nullptr),
      k2C4("k2C4", "second attack mass ratio of pure Chemical4 to solid inlet to section 100",
           0.165, "", nullptr),
      k2C2("k2C2", "second attack mass ratio of pure Chemical2 to solid inlet to section 100", 0.1,
           "", nullptr),
      k3C1("k3C1", "third attack mass ratio of pure Chemical1 to solid inlet to section 100", 0.01,
           "", nullptr),
      K1C1_eff("K1C1_eff", "first attack mass ratio of commercial Chemical1", 0, "", nullptr),
      K1C2_eff("K1C2_eff", "first attack mass ratio of commercial Chemical2", 0, "", nullptr),
      K2C4_eff("K2C4_eff", "second attack mass ratio of commercial Chemical4", 0, "", nullptr),
      K2C2_eff("K2C2_eff", "second attack mass ratio of commercial Chemical2", 0, "", nullptr),
      K3C1_eff("K3C1_eff", "third attack mass ratio of commercial Chemical1", 0, "", nullptr) {
  static const char *const name = "Inorganic::Inorganic";
  setType(typeName);
  for (Quantity *q : {&hum, &inert_fraction, &metal2_fraction, &pH, &w_C1, &w_C2, &w_C4, &k0,
                      &k1C1, &k1C2, &k2C4, &k2C2, &k3C1, &K1C1_eff, &K1C2_eff, &K2C4_eff,
                      &K2C2_eff, &K3C1_eff})
    addVariable(*q);
  if (persistency != nullptr)
    return;
  VELTA_LOG(verbosity(), 1, name, "Define unit operations");
  addUnit(Attacco<1>::typeName,
          attackOptions(defaults, "A1", "First attack",
                        {"ReactionMetal1Decomposition", "ReactionSalt2", "ReactionInert"}));
  addUnit(Attacco<1>::typeName, attackOptions(defaults, "A2", "Second attack",
                                              {"ReactionMetal1", "ReactionChemical4"}));
  addUnit(Attacco<3>::typeName,
          attackOptions(defaults, "A3", "Third attack", {"ReactionInert"}));
  addUnit("Mixer", defaults.relay("MIX1", "High acidity water mixer"));
  addUnit("Mixer", defaults.relay("MIX2", "Low acidity water mixer"));

  VELTA_LOG(verbosity(), 1, name, "Define stream objects and connect");
  struct Connection {
    const char *tag;
    const char *type;
    const char *description;
    const char *fromTag;
    const char *fromPort;
    const char *toTag;
    const char *toPort;
  };
  const char *const slurry = "StreamSimpleLiquidSolid";
  const char *const liquid = "StreamSimpleLiquid";
  const Connection streams[] = {
      {"S01", slurry, "Metal1 and Inert", "source", "out", "A1", "in1"},
      {"S02", slurry, "Solid from first attack", "A1", "out1", "A2", "in1"},
      {"S03", slurry, "Solid from second attack", "A2", "out1", "A3", "in1"},
      {"S04", slurry, "Solid from third attack", "A3", "out1", "sink", "in"},
      {"S10", liquid, "Reactants to first attack", "source", "out", "A1", "in2"},
      {"S11", liquid, "Reactants to second attack", "source", "out", "A2", "in2"},
      {"S12", liquid, "Reactants to third attack", "source", "out", "A3", "in2"},
      {"S20", slurry, "Diluted filtrate from countercurrent washings from third attack", "A3",
       "out3", "A1", "in3"},
      {"S21", slurry, "Osmotic water to second attack washing", "source", "out", "A2", "in3"},
      {"S22", slurry, "Osmotic water to third attack washing", "source", "out", "A3", "in3"},
      {"S30", slurry, "Concentrated filtrate from first attack", "A1", "out2", "MIX1", "in"},
      {"S31", slurry, "Diluted filtrate from first attack washing", "A1", "out3", "MIX2", "in"},
      {"S32", slurry, "Concentrated filtrate from second attack", "A2", "out2", "MIX1", "in"},
      {"S33", slurry, "Diluted filtrate from second attack washing", "A2", "out3", "MIX2", "in"},
      {"S34", slurry, "Concentrated filtrate from third attack", "A3", "out2", "MIX1", "in"},
      {"S40", slurry, "High acidity waters", "MIX1", "out", "sink", "in"},
      {"S41", slurry, "Low acidity waters", "MIX2", "out", "sink", "in"},
  };
  for (const Connection &s : streams)
    addStream(s.type, defaults.relay(s.tag, s.description), s.fromTag, s.fromPort, s.toTag,
              s.toPort);
}

Inorganic::~Inorganic() = default;

Value Inorganic::acidFraction() const {
  return Value(std::pow(10.0, -pH.value()) * 36.4606 / 1000.0);
}

Value Inorganic::firstAttackChemical1() {
  return 1.25 * 6.0 * MW("Chemical1") * Q("S01:Tphase.mdotcomps", "Inert") /
         Q("S01:Tphase.mdotcomps", "Metal1") / MW("Inert");
}

void Inorganic::feedFlows(const Value &c) {
  const Value D = dimensionlessOne - inert_fraction - metal2_fraction;
  const Value wet = basis() / D * hum / (dimensionlessOne - hum);
  Q("S01:Tphase.mdotcomps", "Metal2") = basis() * metal2_fraction / D;
  Q("S01:Tphase.mdotcomps", "Inert") = basis() * inert_fraction / D;
  Q("S01:Tphase.mdotcomps", "H2O") = (dimensionlessOne - c) * wet;
  Q("S01:Tphase.mdotcomps", "Chemical2") = c * wet;
}

void Inorganic::effectiveRatios() {
  K1C1_eff = k1C1 / w_C1;
  K1C2_eff = k1C2 / w_C2;
  K2C4_eff = k2C4 / w_C4;
  K2C2_eff = k2C2 / w_C2;
  K3C1_eff = k3C1 / w_C1;
}

void Inorganic::washWaterFractions(const Value &c) {
  for (const char *stream : {"S21", "S22"}) {
    Q(std::string(stream) + ":Tphase.w", "H2O").set(dimensionlessOne - c);
    Q(std::string(stream) + ":Tphase.w", "Chemical2").set(c);
  }
}

void Inorganic::makeUserEquations(Position &position) {
  static const char *const name = "Inorganic::makeUserEquations";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, " entered for " << tag());
  VELTA_LOG(verbosity(), 2, name, "Inorganic flowsheet specific equations");
  const auto assign = [&](Value &lhs, const Value &rhs, const char *assignmentTag,
                          const char *text) {
    makeAssignment(position, &lhs, rhs, assignmentTag, text, 0,
                   Velta::Utility::ScalingMode::noscaling, 0.0, 1.0, dimensionlessOne);
  };
  const auto current = [&](const char *stream) {
    return Q(std::string(stream) + ":Tphase.mdot").withoutDerivatives();
  };
  assign(k3C1,
         1.25 * 6.0 * MW("Chemical1") *
             (Q("S03:Tphase.mdotcomps", "Inert") +
              MW("Inert") * Q("S03:Tphase.mdotcomps", "Chemical4") / MW("Chemical4") / 2.0) /
             Q("S01:Tphase.mdotcomps", "Metal1") / MW("Inert"),
         "Sets the ratio of pure Chemical1 to third attack",
         "1.25 * 6.0 * components[\"Chemical1\"]->MW() * (Q(\"S03:Tphase.mdotcomps\", "
         "\"Inert\") + components[\"Inert\"]->MW() * Q(\"S03:Tphase.mdotcomps\", "
         "\"Chemical4\") / components[\"Chemical4\"]->MW() / 2.0) / "
         "Q(\"S01:Tphase.mdotcomps\", \"Metal1\") / components[\"Inert\"]->MW()");
  assign(k1C1, firstAttackChemical1(), "Sets the ratio of pure Chemical1 to first attack",
         "1.25 * 6.0 * components[\"Chemical1\"]->MW() * Q(\"S01:Tphase.mdotcomps\", "
         "\"Inert\") / Q(\"S01:Tphase.mdotcomps\", \"Metal1\") / components[\"Inert\"]->MW()");
  assign(Q("S11:Tphase.mdotcomps", "H2O"), current("S11") / (liquidToSolid(*this, "A2:A:S04") / k0),
         "Sets the resuspension ration in A2:A:S04",
         "current11 / ((Q(\"A2:A:S04:Lphase[0].mdot\") / Q(\"A2:A:S04:Sphase[0].mdot\")) / k0)");
  assign(Q("S12:Tphase.mdotcomps", "H2O"), current("S12") / (liquidToSolid(*this, "A3:A:S04") / k0),
         "Sets the resuspension ration in A3:A:S04",
         "current12 / ((Q(\"A3:A:S04:Lphase[0].mdot\") / Q(\"A3:A:S04:Sphase[0].mdot\")) / k0)");
  assign(Q("S21:Tphase.mdot"), current("S21") / (liquidToSolid(*this, "A2:L:S[0]:S03") / k0),
         "Sets the resuspension ration in A2:L:S[0]:S03",
         "current21 / ((Q(\"A2:L:S[0]:S03:Lphase[0].mdot\") / "
         "Q(\"A2:L:S[0]:S03:Sphase[0].mdot\")) / k0)");
  assign(Q("S22:Tphase.mdot"), current("S22") / (liquidToSolid(*this, "A3:L:S[0]:S03") / k0),
         "Sets the resuspension ration in A3:L:S[0]:S03",
         "current22 / ((Q(\"A3:L:S[0]:S03:Lphase[0].mdot\") / "
         "Q(\"A3:L:S[0]:S03:Sphase[0].mdot\")) / k0)");

  for (const char *unit : {"A1.hum", "A2.hum", "A3.hum"})
    Q(unit) = hum;
  const Value c = acidFraction();
  feedFlows(c);
  washWaterFractions(c);
  effectiveRatios();
  // The reactant solutions bring the water of their commercial forms.
  Q("S10:Tphase.mdotcomps", "Chemical2") = basis() * k1C2;
  Q("S10:Tphase.mdotcomps", "H2O") = basis() * (K1C1_eff + K1C2_eff - k1C1 - k1C2);
  Q("S11:Tphase.mdotcomps", "Chemical4") = basis() * k2C4;
  Q("S11:Tphase.mdotcomps", "Chemical2") = basis() * k2C2;
  Q("S12:Tphase.mdotcomps", "Chemical1") = basis() * k3C1;
  VELTA_TRACE_END(name)
}

void Inorganic::setup() {
  static const char *const name = "Inorganic::setup";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, " entered for " << tag());
  VELTA_LOG(verbosity(), 2, name, "Calling flowsheet::setup to initialize any subflowsheet");
  FlowSheet::setup();

  hum.set(0.3, "");
  inert_fraction.set(0.15, "");
  metal2_fraction.set(0.0001, "");
  pH.set(10.0, "");
  w_C1.set(0.2, "");
  w_C2.set(0.2, "");
  w_C4.set(0.33, "");
  k0.set(3.0, "");
  k1C2.set(0.2, "");
  k2C4.set(0.165, "");
  k2C2.set(0.1, "");
  const Value c = acidFraction();

  // Pressure, temperature and flow option of a feed, its composition cleared.
  const auto feed = [&](const char *stream, double atm, const char *flowoption) {
    const std::string tagText(stream);
    Q(tagText + ".P").set(atm, "atm");
    Q(tagText + ".T").set(298.15, "K");
    S(tagText + ".flowoption") = flowoption;
    my_cast<Stream *>(&at(tagText), name)->clearComposition();
  };

  feed("S01", 1.0, "M");
  Q("S01:Tphase.mdotcomps", "Metal1") = basis();
  feedFlows(c);

  for (const char *stream : {"S21", "S22"}) {
    feed(stream, 1.0, "Mw");
    Q(std::string(stream) + ":Tphase.mdot") =
        basis() * (1.5 - hum / (dimensionlessOne - hum));
  }
  washWaterFractions(c);

  k1C1 = firstAttackChemical1();
  effectiveRatios();
  const double E1 = K1C1_eff.value() + K1C2_eff.value();
  const double E2 = K2C4_eff.value() + K2C2_eff.value();
  const double E3 = K3C1_eff.value();

  feed("S10", 5.0, "M");
  Q("S10:Tphase.mdotcomps", "Chemical1").set(1000.0 * k1C1.value(), "kg/h");
  Q("S10:Tphase.mdotcomps", "Chemical2").set(1000.0 * k1C2.value(), "kg/h");
  Q("S10:Tphase.mdotcomps", "H2O")
      .set(1000.0 * E1 - 1000.0 * k1C1.value() - 1000.0 * k1C2.value(), "kg/h");
  feed("S11", 5.0, "M");
  Q("S11:Tphase.mdotcomps", "Chemical4").set(1000.0 * k2C4.value(), "kg/h");
  Q("S11:Tphase.mdotcomps", "Chemical2").set(1000.0 * k2C2.value(), "kg/h");
  Q("S11:Tphase.mdotcomps", "H2O")
      .set(1000.0 * E2 - 1000.0 * k2C4.value() - 1000.0 * k2C2.value(), "kg/h");
  feed("S12", 5.0, "M");
  Q("S12:Tphase.mdotcomps", "Chemical1").set(1000.0 * k3C1.value(), "kg/h");
  Q("S12:Tphase.mdotcomps", "H2O").set(1000.0 * E3 - 1000.0 * k3C1.value(), "kg/h");

  struct Conversion {
    const char *reactions;
    int index;
    double z;
  };
  const Conversion conversions[] = {
      {"A1:A:R:reactions", 0, 0.001}, {"A1:A:R:reactions", 1, 1.0}, {"A1:A:R:reactions", 2, 0.98},
      {"A2:A:R:reactions", 0, 1.0},   {"A2:A:R:reactions", 1, 0.05}, {"A3:A:R:reactions", 0, 1.0},
  };
  for (const Conversion &conversion : conversions)
    at(conversion.reactions, conversion.index).Q("z").set(conversion.z, "");

  // The first estimate of the torn recycle.
  feed("S20", 5.0, "M");
  Q("S20:Tphase.mdotcomps", "H2O").set(1000.0, "kg/h");
  VELTA_LOG(verbosity(), 2, name, "Defining cut streams");
  addCut("S20");
  VELTA_TRACE_END(name)
}
