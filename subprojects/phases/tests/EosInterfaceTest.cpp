// The corrected pressure of the engine interface in every region, on an
// engine with a linear pressure whose every value is known by hand, and the
// error trace of the two routines of the interface.

#include "EosTestSupport.h"

#include "velta/phases/EosInterface.h"
#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

#include <gtest/gtest.h>

using namespace eostest;

namespace {

const double R = 8314.4;

// P = c0 + c1 beta; betac 0.25 (bounds 0.2 and 0.3), Tcm 400 K, covolume
// 0.1 m3/kmol, so rho_(1, 1) = 10 kmol/m3 and the floor at 300 K is
// R 300 10 / 50 = 498864 Pa.
class LinearEngine : public Phase::EosInterface {
public:
  LinearEngine(double c0, double c1) : c0_(c0, "Pa"), c1_(c1, "Pa") {
    betac_ = 0.25;
    betamin_ = 0.2;
    betamax_ = 0.3;
  }
  Value &betac(const Value &) override { return betac_; }
  void estimate(const Value &, const Value &, Vector, int) override {}
  void precompute(const Value &, Vector) override {}
  Value rho_(const Value &beta, const Value &sumx) override {
    return beta * sumx / Value(0.1, "m3/kmol");
  }
  Value eos(const Value &, const Value &beta, const Value &) override { return c0_ + c1_ * beta; }
  Value deosdbeta(const Value &, const Value &, const Value &) override { return c1_; }
  Value deosdv(const Value &, const Value &, const Value &) override { return Value(0.0, "Pa"); }
  Value deosdT(const Value &, const Value &, const Value &) override { return Value(0.0, "Pa/K"); }
  Value Tcm(const Value &) override { return Value(400.0, "K"); }
  void preparefugacity_eos(const Value &, const Value &, Vector, const Value &, int,
                           std::vector<Value> &) override {}
  Value helmholtz(const Value &, const Value &, const Value &) override { return Value(0.0); }
  Value helmholtzi(const Value &, const Value &, const Value &, int) override { return Value(0.0); }
  Value helmholtzT(const Value &, const Value &, const Value &) override {
    return Value(0.0, "1/K");
  }
  Value helmholtzT2(const Value &, const Value &, const Value &) override {
    return Value(0.0, "1/K2");
  }

private:
  Value c0_, c1_;
};

struct Region {
  const char *name;
  int phaseType;
  double T, beta, slope;
  double expected; // corrected pressure, Pa
  double dPdbeta;  // its derivative in beta, Pa
};

void PrintTo(const Region &region, std::ostream *stream) { *stream << region.name; }

const double c0 = 1e6;
const double floor300 = R * 300.0 * 10.0 / 50.0;
const double steep = 1e7, flat = 1e5;
double eosAt(double beta, double slope) { return c0 + slope * beta; }
constexpr int vapor = 1, liquid = 2, solid = 3;

const Region regions[] = {
    // Above Tcm a vapour keeps the equation's pressure, even beyond betac.
    {"VaporAboveTcm", vapor, 500, 0.28, steep, eosAt(0.28, steep), steep},
    // Below Tcm beyond betac: Pcm (betac - betamax)/(beta - betamax).
    {"VaporBeyondBetac", vapor, 300, 0.28, steep, eosAt(0.25, steep) * (-0.05) / (-0.02),
     -eosAt(0.25, steep) * (-0.05) / (0.02 * 0.02)},
    // A liquid below betac at any temperature: Pcm ((beta - betamin)/(betac - betamin))^3.
    {"LiquidBelowBetacAboveTcm", liquid, 500, 0.22, steep, eosAt(0.25, steep) * 0.064,
     eosAt(0.25, steep) * 3 * 0.4 * 0.4 / 0.05},
    {"LiquidBelowBetacBelowTcm", liquid, 300, 0.22, steep, eosAt(0.25, steep) * 0.064,
     eosAt(0.25, steep) * 3 * 0.4 * 0.4 / 0.05},
    // A liquid at or beyond betac with a steep slope keeps the pressure.
    {"LiquidBeyondBetac", liquid, 300, 0.27, steep, eosAt(0.27, steep), steep},
    // Slopes below the floor: a pole at the phase's bound, the start
    // pressure a constant.
    {"LiquidFlatBelowBetac", liquid, 300, 0.22, flat,
     eosAt(0.25, flat) + (flat - floor300) / 0.02 / 10, -(flat - floor300) / (0.02 * 0.02) / 10},
    {"VaporFlat", vapor, 300, 0.1, flat, eosAt(0.1, flat) + (flat - floor300) / (-0.2) / 10,
     -(flat - floor300) / (0.2 * 0.2) / 10},
    {"SolidFlat", solid, 300, 0.28, -1e6, eosAt(0.28, -1e6) + (-1e6 - floor300) / (-0.02) / 10,
     -(-1e6 - floor300) / (0.02 * 0.02) / 10},
    // On the bound itself the pole is 1e-10 away on the phase's side: finite.
    {"LiquidFlatOnBetamin", liquid, 300, 0.2, flat,
     eosAt(0.25, flat) + (flat - floor300) / 1e-10 / 10, 0.0},
    {"VaporFlatOnBetamax", vapor, 300, 0.3, flat,
     eosAt(0.25, flat) + (flat - floor300) / -1e-10 / 10, 0.0},
    // A solid never takes the corrections of a steep slope.
    {"SolidSteepBeyondBetac", solid, 300, 0.28, steep, eosAt(0.28, steep), steep},
};

class CorrectedPressure : public testing::TestWithParam<Region> {};

} // namespace

TEST_P(CorrectedPressure, FollowsTheClosedFormOfItsRegion) {
  const Region &region = GetParam();
  LinearEngine engine(c0, region.slope);
  std::vector<Value> amounts = {Value(1.0)};
  Value P(0.0, "Pa");
  ScopedContext context(1);
  engine.beta = Value(region.beta);
  engine.beta.activeValue().setActive(0);
  engine.calculatePressureEos_(Value(region.T, "K"), Vector(&amounts), Value(1.0), region.phaseType,
                               P);
  engine.beta.activeValue().setInactive(0);
  EXPECT_NEAR(P.value(), region.expected, 1e-9 * std::fabs(region.expected));
  EXPECT_NEAR(P.activeValue().derivative(0), region.dPdbeta, 1e-9 * std::fabs(region.dPdbeta));
  // The uncorrected pressure is kept whatever the correction.
  EXPECT_DOUBLE_EQ(engine.Pcalc_.value(), eosAt(region.beta, region.slope));
  EXPECT_DOUBLE_EQ(engine.Pcm.value(), eosAt(0.25, region.slope));
}

INSTANTIATE_TEST_SUITE_P(Eos, CorrectedPressure, testing::ValuesIn(regions),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(EosInterfaceErrors, RoutinesAppendTheirNamesToTheTrace) {
  LinearEngine engine(c0, steep);
  std::vector<Value> amounts = {Value(1.0)};
  engine.beta = Value(0.1);
  // A pressure in the wrong units fails in the value arithmetic.
  Value wrong(0.0, "K");
  try {
    engine.calculatePressureEos_(Value(300.0, "K"), Vector(&amounts), Value(1.0), vapor, wrong);
    FAIL() << "no error";
  } catch (const Error &error) {
    EXPECT_NE(
        error.message().find("Called from function: Phase::EosInterface::calculatePressureEos_\n"),
        std::string::npos)
        << error.message();
  }
  try {
    engine.calculateResiduals(Value(300.0, "K"), Value(300.0, "K"), Value(1.0));
    FAIL() << "no error";
  } catch (const Error &error) {
    EXPECT_NE(
        error.message().find("Called from function: Phase::EosInterface::calculateResiduals\n"),
        std::string::npos)
        << error.message();
  }
}
