// A flashed stream stored in the real stores (SQLite, and PostgreSQL when a
// test server is given), read back and recalculated.

#include "OdbcTestStore.h"
#include "StreamTestSupport.h"

#include "velta/persistency/PersistencyOdbc.h"
#include "velta/phases/MassMolarProperties.h"

#include <gtest/gtest.h>

using namespace streamtest;

namespace {

class StreamStore : public odbctest::StoreTest {
protected:
  void SetUp() override {
    odbctest::StoreTest::SetUp();
    useMethanePropane();
  }
  void TearDown() override { components.clear(); }
};

Phase::MassMolarProperties &total(Stream &s) {
  return dynamic_cast<Phase::MassMolarProperties &>(*s.Tphase);
}

TEST_P(StreamStore, RestoredStreamRecalculatesToTheSameState) {
  if (dsn_.empty())
    return;
  auto original = makeStreamOne("PhasePengRobinson<vapor>", "S01");
  setFeed(*original, {0.6, 0.4}, 330.0, 3e5);
  total(*original).H = Value(-1.2e6, "J/kmol");
  original->flashoption = "PH";
  original->go(1);
  ASSERT_TRUE(original->errors.value().empty());
  const int iterations = original->NITER_NLEFlash.value();
  ASSERT_GT(iterations, 0);

  int id = 0;
  {
    PersistencyOdbc store(dsn_);
    id = original->insert(store);
  }
  PersistencyOdbc store(dsn_);
  std::unique_ptr<Node> node =
      NodeFactory().create("StreamOne", Defaults(), id, &store, nullptr, nullptr);
  auto &restored = dynamic_cast<StreamOne &>(*node);
  EXPECT_EQ(restored.embeddedTypePhase.value(), "PhasePengRobinson<vapor>");
  EXPECT_EQ(restored.flashoption.value(), "PH");
  EXPECT_EQ(restored.NITER_NLEFlash.value(), iterations);
  EXPECT_EQ(restored.T.value(), original->T.value());
  EXPECT_EQ(restored.size(), 3u);

  restored.initializeNonPersistents();
  restored.go(1);
  EXPECT_TRUE(restored.errors.value().empty());
  // Within the solver's tolerances (TOLF 1e-8 on the relative enthalpy
  // residual, TOLX 1e-7 on the scaled unknowns).
  EXPECT_NEAR(restored.T.value(), original->T.value(), 1e-5);
  EXPECT_NEAR(restored.P.value(), 3e5, 1e-6);
  EXPECT_NEAR(total(restored).rho.value() / total(*original).rho.value(), 1.0, 1e-7);
  EXPECT_NEAR(total(restored).H.value() / -1.2e6, 1.0, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Odbc, StreamStore,
                         testing::Values(odbctest::Database::sqlite,
                                         odbctest::Database::postgresql),
                         odbctest::databaseParameterName);

} // namespace
