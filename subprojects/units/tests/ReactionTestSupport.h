#pragma once
// Test support: a component list of the species the built-in reactions
// name, with real ideal-gas data for the species of the equilibrium
// reactions, and phases to attach reactions to.
//
// Ideal-gas data: DIPPR equation 107 heat capacities and the enthalpies and
// Gibbs energies of formation at 298.15 K as tabulated in Perry's Chemical
// Engineers' Handbook, 8th ed., Tables 2-156 and 2-179 (hydrogen and water
// are the library's own built-in components). Species used only for
// stoichiometry get a constant heat capacity and zero formation data.

#include "velta/components/ComponentDippr.h"
#include "velta/components/Formula.h"
#include "velta/components/ListComponents.h"
#include "velta/components/PureComponents.h"
#include "velta/phases/PhaseSimple.h"
#include "velta/phases/PhaseTotal.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/value/Constants.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace reactiontest {

inline Value formulaMass(const std::string &formula) {
  return Value(formulaMolarMass(parseFormula(formula)), "kg/kmol");
}

struct GasData {
  const char *formula;
  double dh0, dg0;           // J/kmol
  double c1, c2, c3, c4, c5; // DIPPR 107, J/(kmol*K) and K
};

inline ComponentGeneric *makeGas(const GasData &d) {
  const ParametersDippr placeholder(1, 0, 0, 0, 0, 100, 1000);
  return new ComponentDippr(
      d.formula, formulaMass(d.formula), Value(5e6, "Pa"), Value(300, "K"), Value(300, "kg/m3"),
      dimensionlessZero, Value(0.03, "m3/kmol"), Value(d.dh0, "J/kmol"), Value(d.dg0, "J/kmol"),
      Value(1e7, "J/kmol"), Value(0.29), Value(0.1),
      ParametersAntoine(10, -1000, 0, 0, 0, 0, 1, 100, 1000),
      ParametersDippr(d.c1, d.c2, d.c3, d.c4, d.c5, 100, 1500), placeholder, placeholder,
      placeholder, placeholder, placeholder, placeholder, ParametersHenry());
}

// A solid with an arbitrary heat record: only its solid flag and molar mass
// matter here.
class SolidCarbon : public ComponentSolid {
public:
  SolidCarbon()
      : ComponentSolid("C", formulaMass("C"),
                       ParameterBkk(298.15, 1373, -7.28149e8, 578462, -62955.8, -19.8288,
                                    0.00425834, -4.77325e-7, 3.91277e8, -1.88227e10)) {}
};

// Component indices of the list below.
enum Index { CO, O2, CO2, H2O, H2, CH4, N2, NH3, NO2, C2H6, C3H8, CH4O, C6H6O, C };

inline void fillComponents() {
  components.clear();
  const GasData gases1[] = {
      {"CO", -1.1053e8, -1.3715e8, 29108, 8773, 3085.1, 8455.3, 1538.2},
      {"O2", 0, 0, 29103, 10040, 2526.5, 9356, 1153.8},
      {"CO2", -3.9351e8, -3.9437e8, 29370, 34540, 1428, 26400, 588},
  };
  for (const GasData &g : gases1)
    components.add(makeGas(g));
  components.add(new purecomps::water("H2O"));
  components.add(new purecomps::H2("H2", false));
  const GasData gases2[] = {
      {"CH4", -7.452e7, -5.049e7, 33298, 79933, 2086.9, 41602, 991.96},
      {"N2", 0, 0, 29105, 8614.9, 1701.6, 103.47, 909.79},
      {"NH3", -4.5898e7, -1.6401e7, 33427, 48980, 2036, 22560, 882},
      {"NO2", 0, 0, 30000, 0, 1, 0, 1},
      {"C2H6", -8.382e7, -3.192e7, 40326, 134220, 1655.5, 73223, 752.87},
      {"C3H8", -1.0468e8, -2.439e7, 51920, 192450, 1626.5, 116800, 723.6},
      {"CH4O", -2.0094e8, -1.6232e8, 39252, 87900, 1916.5, 53654, 896.7},
      {"C6H6O", 0, 0, 30000, 0, 1, 0, 1},
  };
  for (const GasData &g : gases2)
    components.add(makeGas(g));
  components.add(new SolidCarbon());
  for (const char *fuel : {"C2H4", "C4H10", "C5H12", "C6H14", "C10H8"})
    components.add(makeGas({fuel, 0, 0, 30000, 0, 1, 0, 1}));
}

// A stand-alone total phase (molar flows) holding the given flows.
inline std::unique_ptr<PhaseTotal> molarPhase(const std::map<int, double> &kmolPerSecond) {
  auto phase =
      std::make_unique<PhaseTotal>(Defaults("Tphase", "total phase"), 0, nullptr, nullptr, nullptr);
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const auto found = kmolPerSecond.find(i);
    phase->flow(i) = Value(found == kmolPerSecond.end() ? 0.0 : found->second, "kmol/s");
  }
  phase->calculateX(Velta::Utility::MassBalanceMode::N);
  return phase;
}

// A mass-balance-only phase holding the given mass flows.
inline std::unique_ptr<PhaseSimple> massPhase(const std::map<int, double> &kgPerSecond) {
  auto phase =
      std::make_unique<PhaseSimple>(Defaults("Sphase", "mass phase"), 0, nullptr, nullptr, nullptr);
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const auto found = kgPerSecond.find(i);
    phase->flow(i) = Value(found == kgPerSecond.end() ? 0.0 : found->second, "kg/s");
  }
  phase->calculateX(Velta::Utility::MassBalanceMode::M);
  return phase;
}

// Fills the component list once per test; logs are off during the test
// and the verbosity is put back afterwards for the tests that follow.
class ReactionTest : public ::testing::Test {
protected:
  void SetUp() override {
    savedVerbosity_ = verbosityGlobal;
    verbosityGlobal = 0;
    fillComponents();
  }
  void TearDown() override {
    components.clear();
    verbosityGlobal = savedVerbosity_;
  }

private:
  int savedVerbosity_ = 0;
};

} // namespace reactiontest
