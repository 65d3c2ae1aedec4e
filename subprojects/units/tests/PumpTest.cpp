// The pump: fluid, shaft and electrical power, current and compression
// ratio from the inlet flow of the calculation itself, and its flags.

#include "PipeTestSupport.h"

#include <gtest/gtest.h>

using namespace pipetest;

namespace {

class PumpTest : public testing::Test {
protected:
  void SetUp() override {
    verbosityGlobal = 0;
    useWater(); // 1000 kg/m3
  }
  void TearDown() override { components.clear(); }
};

// Water from Pin to Pout at 300 K with etaM = etaE = 0.9, 380 V and cosphi
// 0.9: Wf = (Pin - Pout) mdot / 1000, Wm = Wf / 0.9, We = Wf / 0.81,
// i = We / (sqrt(3) 380 0.9), cr = Pout / Pin. Every row is the pump's
// first calculation, whose balance quantity mdotin still reads 1 kg/s.
TEST_F(PumpTest, PowersCurrentAndRatioFromTheCurrentInletFlow) {
  const struct {
    double mdot, Pin, Pout;
    double Wf, Wm, We, i, cr;
  } rows[] = {
      {2.0, 1e5, 2e5, -200.0, -200.0 / 0.9, -200.0 / 0.81, -0.4168293041582743, 2.0},
      {5.0, 3e5, 10e5, -3500.0, -3500.0 / 0.9, -3500.0 / 0.81, -7.2945128227698, 10.0 / 3.0},
      {2.0, 3e5, 3e5, 0.0, 0.0, 0.0, 0.0, 1.0},
  };
  for (const auto &row : rows) {
    auto in = single("StreamLiquid", "IN", row.mdot, 300.0, row.Pin);
    auto out = makeStream<Stream>("StreamLiquid", "OUT");
    auto pump = makeUnit<Pump>("Pump", Defaults("PU", "pump"));
    join(*pump, *in, "in");
    join(*pump, *out, "out");
    pump->setup();
    pump->T = Value(300.0, "K");
    pump->P = Value(row.Pout, "Pa");
    EXPECT_EQ(pump->mdotin.value(), 1.0);
    pump->go(1, 0);
    const std::string label = std::to_string(row.mdot) + " kg/s to " + std::to_string(row.Pout);
    ASSERT_TRUE(pump->errors.value().empty()) << label << messages(*pump);
    EXPECT_NEAR(pump->rho.value(), 1000.0, 1e-9) << label;
    EXPECT_NEAR(pump->deltaP.value(), row.Pin - row.Pout, 1e-9) << label;
    EXPECT_NEAR(pump->Wf.value(), row.Wf, 1e-9) << label;
    EXPECT_NEAR(pump->Wm.value(), row.Wm, 1e-9) << label;
    EXPECT_NEAR(pump->We.value(), row.We, 1e-9) << label;
    EXPECT_NEAR(pump->i.value(), row.i, 1e-12) << label;
    EXPECT_NEAR(pump->cr.value(), row.cr, 1e-12) << label;
    EXPECT_NEAR(out->P.value(), row.Pout, 1e-9) << label;
  }
}

TEST_F(PumpTest, SetupFlagsAndIcon) {
  auto in = single("StreamLiquid", "IN", 2.0, 300.0, 1e5);
  auto out = makeStream<Stream>("StreamLiquid", "OUT");
  auto pump = makeUnit<Pump>("Pump", Defaults("PU", "pump"));
  join(*pump, *in, "in");
  join(*pump, *out, "out");
  pump->setup();
  EXPECT_TRUE(pump->etaM.input() && pump->etaE.input());
  EXPECT_TRUE(pump->rho.output() && pump->Wf.output() && pump->Wm.output());
  EXPECT_FALSE(pump->cr.input() || pump->cr.output());
  EXPECT_FALSE(pump->We.input());
  EXPECT_TRUE(pump->We.output());
  EXPECT_EQ(pump->type(), "Pump");
  EXPECT_EQ(pump->iconFile(false), "Pump.svg");
  EXPECT_EQ(pump->iconWidth(), 80.0);
  EXPECT_EQ(pump->iconHeight(), 85.0);
}

} // namespace
