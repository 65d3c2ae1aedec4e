// The water-steam, fluid-solid and solid-bearing two-phase streams stored
// in the real stores, read back under their base type names and restored:
// the phase fractions and the flash's vapour fraction come back, and the
// restored stream recalculates to the same state.

#include "OdbcTestStore.h"
#include "StreamMoreTypesSupport.h"

#include "velta/persistency/PersistencyOdbc.h"

#include <gtest/gtest.h>

using namespace streammoretest;

namespace {

class StreamMoreTypesStore : public odbctest::StoreTest {
protected:
  void TearDown() override { components.clear(); }

  // Stores the stream, reads it back by its type name and restores it.
  template <class S> std::unique_ptr<S> roundTrip(S &original) {
    int id = 0;
    {
      PersistencyOdbc store(dsn_);
      id = original.insert(store);
    }
    PersistencyOdbc store(dsn_);
    std::unique_ptr<Node> node =
        NodeFactory().create(original.type(), Defaults(), id, &store, nullptr, nullptr);
    auto restored = std::unique_ptr<S>(dynamic_cast<S *>(node.release()));
    EXPECT_TRUE(restored);
    if (restored)
      restored->initializeNonPersistents();
    return restored;
  }
};

void calculate(Stream &s) {
  s.go(1);
  ASSERT_TRUE(s.errors.value().empty()) << s.errors.value().front();
}

TEST_P(StreamMoreTypesStore, WaterSteam) {
  if (dsn_.empty())
    return;
  components.clear();
  PureData water;
  water.mw = 18.015268;
  components.add(new CriticalComponent("H2O", water, 647.096, 22.064e6, 0.3443));
  auto s = makeNamed<StreamIapwsLiquidVapor>("StreamIapwsLiquidVapor");
  setFeed(*s, {1.0}, 370.0, 101325.0);
  s->VphaseGeneric_->fraction = 0.25;
  s->flashoption = "PA";
  calculate(*s);
  auto restored = roundTrip(*s);
  ASSERT_TRUE(restored);
  EXPECT_EQ(restored->alfa.value(), 0.25);
  EXPECT_EQ(restored->flashoption.value(), "PA");
  calculate(*restored);
  EXPECT_NEAR(restored->T.value(), s->T.value(), 1e-6);
}

TEST_P(StreamMoreTypesStore, FluidSolidUnderItsAlias) {
  if (dsn_.empty())
    return;
  useFluids({&pentane, &hexane});
  components.add(new SolidComponent("salt", PureData(), 3400.0, 1e8, 0.0));
  auto s = makeNamed<StreamOneSolid>("StreamIdealLiquidSolid");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->type(), "StreamOneSolid");
  setFeed(*s, {0.3, 0.3, 0.4}, 300.0, 1e5);
  calculate(*s);
  auto restored = roundTrip(*s);
  ASSERT_TRUE(restored);
  EXPECT_EQ(restored->embeddedTypePhase.value(), "PhaseIdeal<liquid>");
  EXPECT_EQ(restored->Sphase->fraction.value(), 0.4);
  calculate(*restored);
  EXPECT_NEAR(restored->Xphase->fracs()[0].value(), 0.5, 1e-15);
}

TEST_P(StreamMoreTypesStore, SolidBearingTwoPhase) {
  if (dsn_.empty())
    return;
  useFluids({&methane, &butane});
  components.add(new SolidComponent("catalyst", PureData(), 3000.0, 1e8, 0.0));
  auto s = makeNamed<StreamSolidVlTx>("StreamKwongRedlichSoaveLiquidSolidVapor");
  ASSERT_TRUE(s);
  setFeed(*s, {0.25, 0.25, 0.5}, 300.0, 3e6);
  s->flashoption = "PT";
  calculate(*s);
  auto restored = roundTrip(*s);
  ASSERT_TRUE(restored);
  EXPECT_EQ(restored->type(), "StreamSolidVlTx");
  EXPECT_EQ(restored->embeddedTypePhase[0].value(), "PhaseKwongRedlichSoave<vapor>");
  // The fluid-basis alfa from the stored whole-stream fractions.
  EXPECT_NEAR(restored->alfa.value(), s->alfa.value(), 1e-12);
  EXPECT_NEAR(restored->fluidFraction_.value(), 0.5, 1e-15);
  calculate(*restored);
  EXPECT_NEAR(restored->alfa.value(), s->alfa.value(), 1e-7);
}

INSTANTIATE_TEST_SUITE_P(Odbc, StreamMoreTypesStore,
                         testing::Values(odbctest::Database::sqlite,
                                         odbctest::Database::postgresql),
                         odbctest::databaseParameterName);

} // namespace
