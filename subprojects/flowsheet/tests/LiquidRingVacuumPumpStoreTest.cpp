// A calculated liquid-ring vacuum pump, written to the real stores inside
// its flowsheet and read back: its values and flags, children and torn
// ring come back, a set-up of the restored pump keeps the one cut, and it
// recalculates to the same state.

#include "FlowsheetTestSupport.h"
#include "OdbcTestStore.h"

#include "velta/flowsheet/LiquidRingVacuumPump.h"
#include "velta/persistency/PersistencyOdbc.h"
#include "velta/units/ReactionTypes.h"

#include <gtest/gtest.h>

using namespace odbctest;
using namespace flowsheettest;

namespace {

class VacuumPumpStore : public StoreTest {
protected:
  void SetUp() override {
    StoreTest::SetUp();
    if (IsSkipped())
      return;
    verbosityGlobal = 0;
    components.clear();
    PureData liquid, gas;
    liquid.psat = 2e3;
    gas.psat = 1e9;
    gas.mw = 29.0;
    components.add(new LinearComponent("H2O", liquid));
    components.add(new LinearComponent("Air", gas));
    registerFlowsheetTypes();
    Velta::Units::registerReactionTypes();
  }
  void TearDown() override {
    verbosityGlobal = 2;
    components.clear();
  }
  static LiquidRingVacuumPump &pump(FlowSheet &fs) {
    return dynamic_cast<LiquidRingVacuumPump &>(fs.child("LRVP"));
  }
};

TEST_P(VacuumPumpStore, RestoredPumpRecalculatesToTheSameState) {
  PersistencyOdbc store(dsn_);
  auto fs = makeFlowSheet<FlowSheet>("PlainFlowSheet");
  fs->addUnit("LiquidRingVacuumPump", Defaults("LRVP", "vacuum pump"));
  fs->addStream("StreamIdealLiquidVapor", Defaults("VAC", "vacuum gas"), "source", "out", "LRVP",
                "in");
  fs->addStream("StreamIdealLiquidVapor", Defaults("MAKEUP", "makeup"), "source", "out", "LRVP",
                "in");
  fs->addStream("StreamIdealLiquidVapor", Defaults("GAS", "gas"), "LRVP", "out", "sink", "in");
  fs->addStream("StreamIdealLiquidVapor", Defaults("PURGE", "purge"), "LRVP", "out", "sink", "in");
  setFeed(streamOf(*fs, "VAC"), {0.05, 0.95}, 300.0, 20265.0, 0.01);
  setFeed(streamOf(*fs, "MAKEUP"), {1.0, 0.0}, 290.0, 101325.0, 0.02);
  for (const char *s : {"VAC", "MAKEUP"})
    streamOf(*fs, s).setFlash(static_cast<int>(Velta::Utility::FlashMode::PT));
  pump(*fs).purge = Value(0.2);
  testing::internal::CaptureStdout();
  fs->setup();
  fs->calculate(0);
  testing::internal::GetCapturedStdout();
  const LiquidRingVacuumPump &before = pump(*fs);
  ASSERT_NEAR(before.cr.value(), 5.0, 1e-12);
  const int storedId = fs->insert(store);

  std::unique_ptr<Node> node =
      NodeFactory().create("PlainFlowSheet", Defaults(), storedId, &store, nullptr, nullptr);
  auto &back = dynamic_cast<FlowSheet &>(*node);
  LiquidRingVacuumPump &after = pump(back);
  EXPECT_EQ(after.type(), "LiquidRingVacuumPump");
  EXPECT_EQ(after.purge.value(), 0.2);
  EXPECT_EQ(after.cr.value(), before.cr.value());
  EXPECT_EQ(after.We.value(), before.We.value());
  EXPECT_TRUE(after.purge.input());
  EXPECT_TRUE(after.We.output());
  EXPECT_EQ(after.maxNIn.value(), 2);
  // Children back from the store (none built), the ring torn again.
  EXPECT_EQ(after.child("COMPRL").type(), "Pump");
  EXPECT_EQ(streamOf(after, "S08bis").toTAG.value(), "MIX1");
  back.restoreCuts();
  ASSERT_EQ(after.cuts().size(), 1u);
  testing::internal::CaptureStdout();
  after.setup();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(after.cuts().size(), 1u);
  back.initializeNonPersistents();

  testing::internal::CaptureStdout();
  back.calculate(0);
  testing::internal::GetCapturedStdout();
  for (const Model *m : {static_cast<const Model *>(&back), static_cast<const Model *>(&after)})
    for (const std::string &e : m->errors.value())
      ADD_FAILURE() << m->tag() << ": " << e;
  EXPECT_NEAR(after.cr.value(), 5.0, 1e-12);
  EXPECT_NEAR(after.We.value(), before.We.value(), 1e-4 * std::fabs(before.We.value()));
  for (const char *s : {"GAS", "PURGE"}) {
    const double a = streamOf(*fs, s).Q("Tphase.mdot").value();
    EXPECT_NEAR(streamOf(back, s).Q("Tphase.mdot").value(), a, 1e-4 * a) << s;
  }
}

INSTANTIATE_TEST_SUITE_P(Odbc, VacuumPumpStore,
                         testing::Values(Database::sqlite, Database::postgresql),
                         databaseParameterName);

} // namespace
