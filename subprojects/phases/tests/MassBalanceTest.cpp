// Balances of the molar phase in every mode, with derivatives, and the
// zero-total rules.

#include "TestPhases.h"

#include "velta/utility/Error.h"
#include "velta/value/DerivativeContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using namespace phasetest;
using Phase::MassBalanceMode;

namespace {

// A value with the derivatives (d0, d1) in the two directions of the test.
// An empty unit text stands for a dimensionless value.
Value seeded(double value, const char *unit, double d0, double d1) {
  Value v = *unit ? Value(value, unit) : Value(value);
  v.activeValue().setDerivative(0, d0);
  v.activeValue().setDerivative(1, d1);
  return v;
}

// Writes the given variables of a mode: the first perturbed input gets
// value + delta0 and derivative direction 0, the second value + delta1 and
// direction 1 (the derivatives are set only when seed is true).
using Give = std::function<void(IdealPhase &, double delta0, double delta1, bool seed)>;

struct ModeCase {
  const char *name;
  MassBalanceMode mode;
  Give give;
};

// Readable in the test names that CTest shows.
void PrintTo(const ModeCase &c, std::ostream *stream) { *stream << c.name; }

// Every case describes the same state: 1 kmol/s of an equimolar mixture of
// MW 2 and 18 kg/kmol, that is AMW 10 kg/kmol, 10 kg/s, w = (0.1, 0.9).
// Some give unnormalised fractions to exercise the normalisation.
std::vector<ModeCase> modeCases() {
  return {
      {"Nx", MassBalanceMode::Nx,
       [](IdealPhase &p, double d0, double d1, bool seed) {
         p.x[0] = seeded(1 + d0, "", seed, 0);
         p.x[1] = Value(1.0);
         p.ndot = seeded(1 + d1, "kmol/s", 0, seed);
       }},
      {"Mx", MassBalanceMode::Mx,
       [](IdealPhase &p, double d0, double d1, bool seed) {
         p.x[0] = seeded(0.5 + d0, "", seed, 0);
         p.x[1] = Value(0.5);
         p.mdot = seeded(10 + d1, "kg/s", 0, seed);
       }},
      {"Nw", MassBalanceMode::Nw,
       [](IdealPhase &p, double d0, double d1, bool seed) {
         p.w[0] = seeded(0.1 + d0, "", seed, 0);
         p.w[1] = Value(0.9);
         p.ndot = seeded(1 + d1, "kmol/s", 0, seed);
       }},
      {"Mw", MassBalanceMode::Mw,
       [](IdealPhase &p, double d0, double d1, bool seed) {
         p.w[0] = seeded(0.2 + d0, "", seed, 0);
         p.w[1] = Value(1.8);
         p.mdot = seeded(10 + d1, "kg/s", 0, seed);
       }},
      {"N", MassBalanceMode::N,
       [](IdealPhase &p, double d0, double d1, bool seed) {
         p.ndotcomps[0] = seeded(0.5 + d0, "kmol/s", seed, 0);
         p.ndotcomps[1] = seeded(0.5 + d1, "kmol/s", 0, seed);
       }},
      {"M", MassBalanceMode::M,
       [](IdealPhase &p, double d0, double d1, bool seed) {
         p.mdotcomps[0] = seeded(1 + d0, "kg/s", seed, 0);
         p.mdotcomps[1] = seeded(9 + d1, "kg/s", 0, seed);
       }},
  };
}

const std::vector<std::string> balanceTags = {
    "AMW", "ndot", "mdot", "vdot", "x[0]", "x[1]", "w[0]", "w[1]",
    "ndotcomps[0]", "ndotcomps[1]", "mdotcomps[0]", "mdotcomps[1]"};

class MassBalance : public ComponentsFixture,
                    public testing::WithParamInterface<ModeCase> {
protected:
  void SetUp() override { use(lightAndHeavy()); }

  // SI values of balanceTags after completing the case with the inputs
  // perturbed by (delta0, delta1).
  std::vector<double> solve(double delta0, double delta1) {
    auto phase = makePhase("liquid");
    GetParam().give(*phase, delta0, delta1, false);
    phase->calculateX(GetParam().mode);
    std::vector<double> values;
    for (const std::string &tag : balanceTags)
      values.push_back(phase->Q(tag).value());
    return values;
  }
};

TEST_P(MassBalance, CompletesTheEquimolarState) {
  auto phase = makePhase("liquid");
  GetParam().give(*phase, 0, 0, false);
  phase->calculateX(GetParam().mode);
  // Hand values: AMW = 0.5 * 2 + 0.5 * 18 = 10; vdot uses the stored
  // density 1000 kg/m3.
  const std::vector<double> expected = {10, 1, 10, 0.01, 0.5, 0.5, 0.1, 0.9, 0.5, 0.5, 1, 9};
  for (std::size_t k = 0; k < balanceTags.size(); ++k)
    EXPECT_NEAR(phase->Q(balanceTags[k]).value(), expected[k], 1e-12) << balanceTags[k];
  EXPECT_EQ(phase->ndotcomps[1].uom(), Value(1.0, "kmol/s").uom());
  EXPECT_EQ(phase->mdotcomps[1].uom(), Value(1.0, "kg/s").uom());
  EXPECT_EQ(phase->AMW.uom(), Value(1.0, "kg/kmol").uom());
}

TEST_P(MassBalance, DerivativesFollowTheInputs) {
  pushDerivativeContext(2);
  auto phase = makePhase("liquid");
  GetParam().give(*phase, 0, 0, true);
  phase->calculateX(GetParam().mode);
  const double h = 1e-6;
  for (int direction = 0; direction < 2; ++direction) {
    const std::vector<double> up = solve(direction == 0 ? h : 0, direction == 1 ? h : 0);
    const std::vector<double> down = solve(direction == 0 ? -h : 0, direction == 1 ? -h : 0);
    for (std::size_t k = 0; k < balanceTags.size(); ++k)
      EXPECT_NEAR(phase->Q(balanceTags[k]).activeValue().derivative(direction),
                  (up[k] - down[k]) / (2 * h), 1e-6)
          << balanceTags[k] << " direction " << direction;
  }
  phase.reset();
  popDerivativeContext();
}

INSTANTIATE_TEST_SUITE_P(EveryMode, MassBalance, testing::ValuesIn(modeCases()),
                         [](const testing::TestParamInfo<ModeCase> &info) {
                           return std::string(info.param.name);
                         });

// ---------------------------------------------------------------- zero totals

struct ZeroCase {
  const char *name;
  MassBalanceMode mode;
  std::vector<std::string> given;     // set to zero before the balance
  std::vector<std::string> zeroed;    // 0 afterwards
  std::vector<std::string> unchanged; // as before the balance
  double fractionsAfter;              // value of every x and w when not listed
};

void PrintTo(const ZeroCase &c, std::ostream *stream) { *stream << c.name; }

std::vector<ZeroCase> zeroCases() {
  const std::vector<std::string> allFlows = {"mdotcomps[0]", "mdotcomps[1]", "ndotcomps[0]",
                                             "ndotcomps[1]"};
  auto with = [](std::vector<std::string> a, std::vector<std::string> b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  return {
      {"Nx", MassBalanceMode::Nx, {"x[0]", "x[1]"}, with(allFlows, {"mdot", "w[0]", "w[1]"}),
       {"ndot", "x[0]", "x[1]", "AMW"}, -1},
      {"Mx", MassBalanceMode::Mx, {"x[0]", "x[1]"}, with(allFlows, {"ndot", "w[0]", "w[1]"}),
       {"mdot", "AMW"}, -1},
      {"Nw", MassBalanceMode::Nw, {"w[0]", "w[1]"}, with(allFlows, {"mdot", "x[0]", "x[1]"}),
       {"ndot", "AMW"}, -1},
      {"Mw", MassBalanceMode::Mw, {"w[0]", "w[1]"}, with(allFlows, {"ndot", "x[0]", "x[1]"}),
       {"mdot", "AMW"}, -1},
      // An empty phase in mode N keeps equal fractions.
      {"N", MassBalanceMode::N, {"ndotcomps[0]", "ndotcomps[1]"},
       with(allFlows, {"mdot", "ndot"}), {"AMW"}, 0.5},
      {"M", MassBalanceMode::M, {"mdotcomps[0]", "mdotcomps[1]"},
       with(allFlows, {"mdot", "ndot", "x[0]", "x[1]", "w[0]", "w[1]"}), {"AMW"}, -1},
  };
}

class ZeroTotal : public ComponentsFixture, public testing::WithParamInterface<ZeroCase> {
protected:
  void SetUp() override { use(lightAndHeavy()); }
};

TEST_P(ZeroTotal, FollowsTheRuleOfItsMode) {
  const ZeroCase &c = GetParam();
  pushDerivativeContext(1);
  auto phase = makePhase("liquid");
  setComposition(*phase, {0.25, 0.75}, 2.0);
  phase->AMW = Value(123.0, "kg/kmol"); // marks AMW as untouched
  // Zero given values that still carry a derivative: what the balance
  // zeroes must lose it too.
  for (const std::string &tag : c.given) {
    phase->Q(tag).setZero();
    phase->Q(tag).activeValue().setDerivative(0, 1.0);
  }
  std::vector<double> before;
  for (const std::string &tag : c.unchanged)
    before.push_back(phase->Q(tag).value());

  phase->calculateX(c.mode);

  for (const std::string &tag : c.zeroed) {
    EXPECT_EQ(phase->Q(tag).value(), 0.0) << tag;
    // The given flows of modes N and M are left as they were.
    if (std::find(c.given.begin(), c.given.end(), tag) == c.given.end()) {
      EXPECT_EQ(phase->Q(tag).activeValue().derivative(0), 0.0) << tag;
    }
  }
  for (std::size_t k = 0; k < c.unchanged.size(); ++k)
    EXPECT_EQ(phase->Q(c.unchanged[k]).value(), before[k]) << c.unchanged[k];
  if (c.fractionsAfter >= 0) {
    for (const char *tag : {"x[0]", "x[1]", "w[0]", "w[1]"})
      EXPECT_EQ(phase->Q(tag).value(), c.fractionsAfter) << tag;
  }
  EXPECT_EQ(phase->ndotcomps[0].uom(), Value(1.0, "kmol/s").uom());
  phase.reset();
  popDerivativeContext();
}

INSTANTIATE_TEST_SUITE_P(EveryMode, ZeroTotal, testing::ValuesIn(zeroCases()),
                         [](const testing::TestParamInfo<ZeroCase> &info) {
                           return std::string(info.param.name);
                         });

// ---------------------------------------------------------------- molar phase

class MolarPhase : public ComponentsFixture {
protected:
  void SetUp() override { use(lightAndHeavy()); }
};

TEST_F(MolarPhase, FreshPhaseHoldsTheDefaults) {
  auto phase = makePhase("vapor");
  EXPECT_DOUBLE_EQ(phase->AMW.value(), 18.0);
  EXPECT_DOUBLE_EQ(phase->ndot.value(), 555.5555555555555 / 3600);
  EXPECT_DOUBLE_EQ(phase->ndotcomps[0].value(), 555.5555555555555 / 2); // kmol/s, not kmol/h
  EXPECT_DOUBLE_EQ(phase->mdot.value(), 10000.0 / 3600);
  EXPECT_DOUBLE_EQ(phase->w[1].value(), 0.5);
  EXPECT_EQ(phase->x[1].description(), "molar fraction of Heavy");
  EXPECT_DOUBLE_EQ(phase->rho.value(), 1000.0);
  EXPECT_DOUBLE_EQ(phase->Cp.value(), 232.60000000000002);
  EXPECT_EQ(phase->representation(), MassBalanceMode::Nx);
  EXPECT_EQ(phase->category(), 1);
  EXPECT_TRUE(phase->mdot.output());
  EXPECT_TRUE(phase->w[0].output());
  EXPECT_FALSE(phase->x[0].output());
}

TEST_F(MolarPhase, SettersWriteOnlyTheirMode) {
  auto phase = makePhase("vapor");
  // Equal masses of MW 2 and 18 as mole fractions: (1/2, 1/18) / (10/18).
  phase->setEquimass(MassBalanceMode::Nx);
  EXPECT_NEAR(phase->x[0].value(), 0.9, 1e-15);
  phase->setEquimolar(MassBalanceMode::Mw);
  EXPECT_NEAR(phase->w[0].value(), 0.1, 1e-15);
  phase->setEquimolar(MassBalanceMode::M);
  EXPECT_DOUBLE_EQ(phase->mdotcomps[1].value(), 18.0);
  phase->setImpure(MassBalanceMode::N, 1, 0.1);
  EXPECT_DOUBLE_EQ(phase->ndotcomps[1].value(), 0.9);
  EXPECT_DOUBLE_EQ(phase->ndotcomps[0].value(), 0.1);
  phase->calculateX(MassBalanceMode::N);
  EXPECT_DOUBLE_EQ(phase->mdot.value(), 0.1 * 2 + 0.9 * 18);
  phase->setEquimolarNoKey(MassBalanceMode::Nx, 0);
  EXPECT_EQ(phase->x[0].value(), 0.0);
  EXPECT_EQ(phase->x[1].value(), 1.0);
}

TEST_F(MolarPhase, RejectsBadKeysAndModes) {
  auto phase = makePhase("vapor");
  try {
    phase->setPure(MassBalanceMode::Nx, 5);
    FAIL();
  } catch (const Error &e) {
    EXPECT_EQ(e.message(), "Error was thrown by function: Phase::MassMolar::setPure\n"
                           "Generic Run-Time error: Wrong component index = 5  NCOMPONENTS = 2\n");
  }
  try {
    phase->setImpure(MassBalanceMode::Mw, -1, 0.1);
    FAIL();
  } catch (const Error &e) {
    EXPECT_NE(e.message().find("Generic Run-Time error: -1\n"), std::string::npos);
  }
  try {
    phase->calculateX(static_cast<MassBalanceMode>(0));
    FAIL();
  } catch (const Error &e) {
    EXPECT_EQ(e.message(), "Error was thrown by function: Phase::MassMolar::calculateX\n"
                           "Smart enumerator error: Unrecognized massbalance: Null\n");
  }
  const IdealPhase &readOnly = *phase;
  EXPECT_THROW(readOnly.flow(7), std::out_of_range);
  EXPECT_THROW(Phase::flowonly(static_cast<MassBalanceMode>(9)), ErrorSmartEnum);
  EXPECT_EQ(Phase::flowonly(MassBalanceMode::Nw), MassBalanceMode::N);
  EXPECT_EQ(Phase::flowonly(MassBalanceMode::Mx), MassBalanceMode::M);
}

TEST_F(MolarPhase, PurityUsesATolerance) {
  auto phase = makePhase("vapor");
  struct Case {
    double x0, x1;
    bool pure;
  };
  for (const Case &c : {Case{1 - 1e-15, 1e-15, true}, Case{0.999, 0.001, false},
                        Case{1, 1, false}, Case{0, 1, true}, Case{0, 0, false}}) {
    phase->x[0] = Value(c.x0);
    phase->x[1] = Value(c.x1);
    EXPECT_EQ(phase->isPure(), c.pure) << c.x0 << " " << c.x1;
  }
}

TEST_F(MolarPhase, AddingAndSubtractingMixesEnthalpy) {
  auto a = makePhase("liquid", "A");
  auto b = makePhase("liquid", "B");
  setComposition(*a, {1, 0}, 1.0);
  setComposition(*b, {0, 1}, 1.0);
  a->H = Value(1000.0, "J/kmol");
  b->H = Value(2000.0, "J/kmol");
  *a += *b;
  // Equal molar flows: H = (1000 + 2000) / 2; AMW = (2 + 18) / 2.
  EXPECT_DOUBLE_EQ(a->H.value(), 1500.0);
  EXPECT_DOUBLE_EQ(a->AMW.value(), 10.0);
  EXPECT_DOUBLE_EQ(a->h.value(), 150.0);
  EXPECT_DOUBLE_EQ(a->ndot.value(), 2.0);
  EXPECT_DOUBLE_EQ(a->x[1].value(), 0.5);
  // vdot follows the stored density (1000 kg/m3) in the completing balance.
  EXPECT_DOUBLE_EQ(a->vdot.value(), 20.0 / 1000.0);

  // Removing more than there is clips each component at zero and zeroes H.
  auto big = makePhase("liquid", "Big");
  setComposition(*big, {0.5, 0.5}, 4.0);
  *a -= *big;
  EXPECT_EQ(a->ndotcomps[0].value(), 0.0);
  EXPECT_EQ(a->ndotcomps[0].uom(), Value(1.0, "kmol/s").uom());
  EXPECT_EQ(a->ndot.value(), 0.0);
  EXPECT_EQ(a->H.value(), 0.0);

  // Scaling by a dimensionless 2 doubles the flows only.
  setComposition(*a, {0.5, 0.5}, 1.0);
  *a *= Value(2.0);
  EXPECT_DOUBLE_EQ(a->ndot.value(), 2.0);
  EXPECT_DOUBLE_EQ(a->mdotcomps[1].value(), 18.0);
  EXPECT_DOUBLE_EQ(a->vdot.value(), 0.02);
  EXPECT_DOUBLE_EQ(a->x[1].value(), 0.5);
}

TEST_F(MolarPhase, CombinesComponentRangesOfTwoPhases) {
  auto a = makePhase("liquid", "A");
  auto b = makePhase("liquid", "B");
  setComposition(*a, {1, 0}, 1.0);
  setComposition(*b, {0.5, 0.5}, 2.0);
  a->addComponents(*b, 1, 2);
  // a: 1 kmol/s of Light plus b's 1 kmol/s of Heavy.
  EXPECT_DOUBLE_EQ(a->ndot.value(), 2.0);
  EXPECT_DOUBLE_EQ(a->x[0].value(), 0.5);
  EXPECT_DOUBLE_EQ(a->mdot.value(), 20.0);
}

TEST_F(MolarPhase, NeedsComponents) {
  auto phase = makePhase("vapor");
  components.clear();
  using Call = std::function<void(IdealPhase &)>;
  const std::vector<std::pair<const char *, Call>> calls = {
      {"Phase::MassMolar::calculateX", [](IdealPhase &p) { p.calculateX(MassBalanceMode::Nx); }},
      {"Phase::MassMolar::isPure", [](IdealPhase &p) { p.isPure(); }},
      {"Phase::Generic::calculate_rho",
       [](IdealPhase &p) { p.calculate_rho(Value(1e5, "Pa"), Value(300.0, "K")); }},
      {"Phase::Generic::mu", [](IdealPhase &p) { p.mu(Value(1e5, "Pa"), Value(300.0, "K")); }},
      {"Phase::Generic::fugacity", [](IdealPhase &p) { p.fugacity(0); }},
      {"Phase::Mass::setup", [](IdealPhase &p) { p.setup(); }},
  };
  for (const auto &[name, call] : calls) {
    try {
      call(*phase);
      ADD_FAILURE() << name;
    } catch (const Error &e) {
      EXPECT_EQ(e.message(), std::string("Error was thrown by function: ") + name +
                                 "\nGeneric Run-Time error: No components defined\n");
    }
  }
  try {
    makePhase("vapor");
    FAIL();
  } catch (const Error &e) {
    EXPECT_NE(e.message().find("no components defined"), std::string::npos);
  }
}

} // namespace
