// The built-in reactions and the hydrocarbon aliases, created by type name:
// key component, stoichiometry as tabulated, and conservation of every
// element by the components' formulas.

#include "ReactionTestSupport.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/units/ReactionBuiltIn.h"
#include "velta/units/ReactionTypes.h"
#include "velta/utility/Error.h"

#include <cmath>
#include <map>

using namespace reactiontest;

namespace {

std::unique_ptr<Reaction> create(const std::string &type, const Defaults &options) {
  Velta::Units::registerReactionTypes();
  std::unique_ptr<Node> node = NodeFactory().create(type, options, 1, nullptr, nullptr, nullptr);
  auto *reaction = dynamic_cast<Reaction *>(node.get());
  EXPECT_NE(reaction, nullptr) << type;
  node.release();
  return std::unique_ptr<Reaction>(reaction);
}

struct BuiltIn {
  const char *type;
  const char *reportedType;
  std::map<std::string, int> options;
  const char *key;
  std::map<std::string, double> coefficients;
};

// Transcribed from the reaction tables (the direction of a positive extent).
// clang-format off
const BuiltIn builtIns[] = {
    {"ReactionWaterGasShift", nullptr, {}, "CO2", {{"CO", 1}, {"H2O", 1}, {"CO2", -1}, {"H2", -1}}},
    {"ReactionWaterGasC", nullptr, {}, "C", {{"C", -1}, {"H2O", -1}, {"CO", 1}, {"H2", 1}}},
    {"ReactionOxidationEquilibriumCH4", nullptr, {}, "CH4",
     {{"CH4", -1}, {"O2", -2}, {"CO2", 1}, {"H2O", 2}}},
    {"ReactionOxidationEquilibriumCH4", nullptr, {{"x", 2}}, "C2H4",
     {{"C2H4", -1}, {"O2", -3}, {"CO2", 2}, {"H2O", 2}}},
    {"ReactionOxidationCO", nullptr, {}, "CO", {{"CO", -1}, {"O2", -0.5}, {"CO2", 1}}},
    {"ReactionReformingCH4", nullptr, {}, "CH4", {{"CH4", -1}, {"H2O", -1}, {"CO", 1}, {"H2", 3}}},
    {"ReactionReformingC3H8", nullptr, {}, "C3H8",
     {{"C3H8", -1}, {"H2O", -3}, {"CO", 3}, {"H2", 7}}},
    {"ReactionWaterGasShiftEquilibrium", nullptr, {}, "CO2",
     {{"CO", 1}, {"H2O", 1}, {"CO2", -1}, {"H2", -1}}},
    {"ReactionReformingEquilibriumCH4", nullptr, {}, "CH4",
     {{"CH4", -1}, {"H2O", -1}, {"CO", 1}, {"H2", 3}}},
    {"ReactionReformingEquilibriumC3H8", nullptr, {}, "C3H8",
     {{"C3H8", -1}, {"H2O", -3}, {"CO", 3}, {"H2", 7}}},
    {"ReactionReformingC2H6", nullptr, {}, "C2H6",
     {{"C2H6", -1}, {"H2O", -2}, {"CO", 2}, {"H2", 5}}},
    {"ReactionReformingEquilibriumC2H6", nullptr, {}, "C2H6",
     {{"C2H6", -1}, {"H2O", -2}, {"CO", 2}, {"H2", 5}}},
    {"ReactionOxidationMeOH", nullptr, {}, "CH4O",
     {{"CH4O", -1}, {"O2", -1.5}, {"CO2", 1}, {"H2O", 2}}},
    {"ReactionReformingMeOH", nullptr, {}, "CH4O",
     {{"CH4O", -1}, {"H2O", -1}, {"CO2", 1}, {"H2", 3}}},
    {"ReactionReformingEquilibriumMeOH", nullptr, {}, "CH4O",
     {{"CH4O", -1}, {"H2O", -1}, {"CO2", 1}, {"H2", 3}}},
    {"ReactionSynthesisNH3", nullptr, {}, "NH3", {{"N2", 0.5}, {"H2", 1.5}, {"NH3", -1}}},
    {"ReactionSynthesisEquilibriumNH3", nullptr, {}, "NH3", {{"N2", 0.5}, {"H2", 1.5}, {"NH3", -1}}},
    {"ReactionOxidationN2", nullptr, {}, "N2", {{"N2", -0.5}, {"O2", -1}, {"NO2", 1}}},
    {"ReactionOxidationEquilibriumN2", nullptr, {}, "N2", {{"N2", -0.5}, {"O2", -1}, {"NO2", 1}}},
    {"ReactionOxidationNH3", nullptr, {}, "NH3",
     {{"NH3", -1}, {"O2", -0.75}, {"N2", 0.5}, {"H2O", 1.5}}},
    {"ReactionOxidationPhenol", nullptr, {}, "C6H6O",
     {{"C6H6O", -1}, {"O2", -7}, {"CO2", 6}, {"H2O", 3}}},
    {"ReactionOxidationHydrocarbon", nullptr, {}, "CH4",
     {{"CH4", -1}, {"O2", -2}, {"CO2", 1}, {"H2O", 2}}},
    {"ReactionOxidationHydrocarbon", nullptr, {{"x", -5}}, "CH4",
     {{"CH4", -1}, {"O2", -2}, {"CO2", 1}, {"H2O", 2}}},
    {"ReactionOxidationHydrocarbon", nullptr, {{"x", 3}, {"y", 8}}, "C3H8",
     {{"C3H8", -1}, {"O2", -5}, {"CO2", 3}, {"H2O", 4}}},
    {"ReactionOxidationC", "ReactionOxidationHydrocarbon", {}, "C",
     {{"C", -1}, {"O2", -1}, {"CO2", 1}}},
    {"ReactionOxidationH2", "ReactionOxidationHydrocarbon", {}, "H2",
     {{"H2", -1}, {"O2", -0.5}, {"H2O", 1}}},
    {"ReactionOxidationCH4", "ReactionOxidationHydrocarbon", {}, "CH4",
     {{"CH4", -1}, {"O2", -2}, {"CO2", 1}, {"H2O", 2}}},
    {"ReactionOxidationC2H6", "ReactionOxidationHydrocarbon", {}, "C2H6",
     {{"C2H6", -1}, {"O2", -3.5}, {"CO2", 2}, {"H2O", 3}}},
    {"ReactionOxidationC2H4", "ReactionOxidationHydrocarbon", {}, "C2H4",
     {{"C2H4", -1}, {"O2", -3}, {"CO2", 2}, {"H2O", 2}}},
    {"ReactionOxidationHydrocarbon<3,8>", "ReactionOxidationHydrocarbon", {}, "C3H8",
     {{"C3H8", -1}, {"O2", -5}, {"CO2", 3}, {"H2O", 4}}},
    {"ReactionOxidationHydrocarbon<4,10>", "ReactionOxidationHydrocarbon", {}, "C4H10",
     {{"C4H10", -1}, {"O2", -6.5}, {"CO2", 4}, {"H2O", 5}}},
    {"ReactionOxidationHydrocarbon<5,12>", "ReactionOxidationHydrocarbon", {}, "C5H12",
     {{"C5H12", -1}, {"O2", -8}, {"CO2", 5}, {"H2O", 6}}},
    {"ReactionOxidationHydrocarbon<6,14>", "ReactionOxidationHydrocarbon", {}, "C6H14",
     {{"C6H14", -1}, {"O2", -9.5}, {"CO2", 6}, {"H2O", 7}}},
    {"ReactionOxidationNaphthalene", "ReactionOxidationHydrocarbon", {}, "C10H8",
     {{"C10H8", -1}, {"O2", -12}, {"CO2", 10}, {"H2O", 4}}},
};
// clang-format on

std::string caseName(const BuiltIn &b) {
  std::string name = b.type;
  for (const auto &[option, value] : b.options)
    name += " " + option + "=" + std::to_string(value);
  return name;
}

class BuiltIns : public ReactionTest {};

} // namespace

TEST_F(BuiltIns, StoichiometryAndElementBalance) {
  for (const BuiltIn &b : builtIns) {
    SCOPED_TRACE(caseName(b));
    Defaults options("R1", "reaction");
    for (const auto &[option, value] : b.options)
      options.setInteger(option, value);
    auto r = create(b.type, options);
    EXPECT_EQ(r->type(), b.reportedType ? b.reportedType : b.type);
    EXPECT_EQ(r->keycomp.value(), components.lookup(b.key));
    std::map<std::string, double> elements;
    double mass = 0.0;
    for (int i = 0; i < NCOMPONENTS; ++i) {
      const std::string &name = components[i]->name();
      const auto expected = b.coefficients.find(name);
      const double nu = expected == b.coefficients.end() ? 0.0 : expected->second;
      EXPECT_EQ(r->coeff[i].value(), nu) << name;
      EXPECT_DOUBLE_EQ(r->coeffm[i].value(), nu * components[i]->MW().value()) << name;
      for (const auto &[element, count] : parseFormula(name))
        elements[element] += nu * count;
      mass += r->coeffm[i].value();
    }
    for (const auto &[element, balance] : elements)
      EXPECT_NEAR(balance, 0.0, 1e-12) << element;
    EXPECT_NEAR(mass, 0.0, 1e-9);
  }
}

TEST_F(BuiltIns, EquilibriumClassesShareTheirBaseStoichiometry) {
  const std::pair<const char *, const char *> pairs[] = {
      {"ReactionOxidationN2", "ReactionOxidationEquilibriumN2"},
      {"ReactionReformingCH4", "ReactionReformingEquilibriumCH4"},
      {"ReactionSynthesisNH3", "ReactionSynthesisEquilibriumNH3"},
      {"ReactionWaterGasShift", "ReactionWaterGasShiftEquilibrium"},
  };
  for (const auto &[fixed, equilibrium] : pairs) {
    auto base = create(fixed, Defaults("R1"));
    auto derived = create(equilibrium, Defaults("R1"));
    ASSERT_NE(dynamic_cast<ReactionEquilibrium *>(derived.get()), nullptr) << equilibrium;
    for (int i = 0; i < NCOMPONENTS; ++i)
      EXPECT_EQ(derived->coeff[i].value(), base->coeff[i].value()) << equilibrium << " " << i;
    // One shared set of reaction variables.
    EXPECT_EQ(&derived->Q("conv"), static_cast<Value *>(&derived->conv));
  }
}

TEST_F(BuiltIns, AtomCountsOutOfRangeOrWithoutComponentFail) {
  try {
    create("ReactionOxidationHydrocarbon", Defaults("R1").setInteger("x", 999));
    FAIL() << "x = 999 accepted";
  } catch (const ErrorRunTime &e) {
    EXPECT_NE(e.message().find("Integer parameter x = 999 must be stricly smaller than 999"),
              std::string::npos)
        << e.message();
  }
  // 998 is in range; there is no C998H4 in the list.
  EXPECT_THROW(create("ReactionOxidationHydrocarbon", Defaults("R1").setInteger("x", 998)),
               ErrorNoComponent);
  // No atoms, no formula.
  EXPECT_THROW(
      create("ReactionOxidationHydrocarbon", Defaults("R1").setInteger("x", 0).setInteger("y", 0)),
      ErrorNoComponent);
  EXPECT_EQ(ReactionOxidationHydrocarbon::fuelFormula(10, 8), "C10H8");
  EXPECT_EQ(ReactionOxidationHydrocarbon::fuelFormula(0, 2), "H2");
}

TEST_F(BuiltIns, AmmoniaDecompositionAtTenPercent) {
  auto phase = molarPhase({{NH3, 10}, {N2, 1}});
  auto r = create("ReactionSynthesisNH3", Defaults("R1"));
  r->setOutlet(phase.get());
  r->z = 0.1;
  r->calculate(0);
  EXPECT_NEAR(phase->flow(NH3).toDouble("kmol/s"), 9.0, 1e-12);
  EXPECT_NEAR(phase->flow(N2).toDouble("kmol/s"), 1.5, 1e-12);
  EXPECT_NEAR(phase->flow(H2).toDouble("kmol/s"), 1.5, 1e-12);
}
