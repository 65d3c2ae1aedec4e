// A stream that a unit fills from a solved state and prepares for its own
// flash keeps that state: in the flowsheet's simultaneous solution such an
// outlet is not flashed, and its properties are recomputed from its phases'
// models (Stream::go with mode 2). Equation-of-state phases, whose density
// is a variable of the model, must report the state they were given.

#include "FlashDrumTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace flashdrumtest;

namespace {

struct OutletCase {
  const char *type;
  double T, P; // K, Pa
};

std::ostream &operator<<(std::ostream &os, const OutletCase &c) { return os << c.type; }

using OutletState = CriticalPairTest<OutletCase>;

} // namespace

TEST_P(OutletState, SimultaneousPassAfterPreparationKeepsTheFlashedState) {
  const OutletCase &c = GetParam();
  auto s = makeStream<Stream>(c.type, "S");
  setFeed(*s, {0.4, 0.6}, c.T, c.P);
  s->go(1);
  ASSERT_TRUE(s->errors.value().empty()) << messages(*s);
  auto &total = props(*s);
  const double H = total.H.value(), S = total.S.value(), rho = total.rho.value();
  prepareOutletFlash(*s);
  s->go(2);
  EXPECT_DOUBLE_EQ(s->T.value(), c.T);
  EXPECT_NEAR(total.H.value(), H, 1e-12 * std::fabs(H));
  EXPECT_NEAR(total.S.value(), S, 1e-12 * std::fabs(S));
  EXPECT_NEAR(total.rho.value(), rho, 1e-12 * rho);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, OutletState,
    testing::Values(OutletCase{"StreamPengRobinsonVapor", 280.0, 20e5},
                    OutletCase{"StreamPengRobinsonLiquid", 280.0, 20e5},
                    OutletCase{"StreamKwongRedlichSoaveVapor", 400.0, 2e5},
                    OutletCase{"StreamKwongRedlichSoaveLiquid", 300.0, 10e5},
                    OutletCase{"StreamPengRobinsonLiquidVapor", 320.0, 1.2e5}),
    [](const testing::TestParamInfo<OutletCase> &info) { return std::string(info.param.type); });
