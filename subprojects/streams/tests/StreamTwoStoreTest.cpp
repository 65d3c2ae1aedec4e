// A flashed two-phase stream stored in the real stores, read back and
// restored: the K-values, which are not stored, are rebuilt from the
// stored phases and agree with them and with the original flash.

#include "OdbcTestStore.h"
#include "StreamTwoTestSupport.h"

#include "velta/persistency/PersistencyOdbc.h"

#include <gtest/gtest.h>

using namespace streamtwotest;

namespace {

class StreamTwoStore : public odbctest::StoreTest {
protected:
  void SetUp() override {
    odbctest::StoreTest::SetUp();
    useFluids({&methane, &butane});
  }
  void TearDown() override { components.clear(); }
};

TEST_P(StreamTwoStore, RestoredStreamRebuildsItsKValues) {
  if (dsn_.empty())
    return;
  auto original =
      makeTwo<StreamVlTx>("StreamVlTx", "PhasePengRobinson<vapor>", "PhasePengRobinson<liquid>");
  setFeed(*original, {0.5, 0.5}, 300.0, 3e6);
  original->go(1);
  ASSERT_TRUE(original->errors.value().empty());

  int id = 0;
  {
    PersistencyOdbc store(dsn_);
    id = original->insert(store);
  }
  PersistencyOdbc store(dsn_);
  // The option set names other types: the stored ones win.
  Defaults options;
  options.setString("embeddedTypePhase[0]", "PhaseIdeal<vapor>");
  options.setString("embeddedTypePhase[1]", "PhaseIdeal<liquid>");
  std::unique_ptr<Node> node = NodeFactory().create("StreamVlTx", options, id, &store, nullptr,
                                                    nullptr);
  auto &restored = dynamic_cast<StreamVlTx &>(*node);
  EXPECT_EQ(restored.embeddedTypePhase[0].value(), "PhasePengRobinson<vapor>");
  EXPECT_EQ(restored.embeddedTypePhase[1].value(), "PhasePengRobinson<liquid>");
  EXPECT_EQ(restored.Vphase->phaseIndex(), static_cast<int>(Velta::Utility::PhaseIndex::vapor));
  restored.initializeNonPersistents();
  for (std::size_t i = 0; i < 2; ++i) {
    const double K = restored.kVL_[i].value();
    // K = y / x of the stored phases (equal fugacities at the solution)
    // and the original flash's K within its tolerances.
    EXPECT_NEAR(K, restored.Vphase->fracs()[i].value() / restored.Lphase->fracs()[i].value(),
                1e-6 * K)
        << i;
    EXPECT_NEAR(K, original->kVL_[i].value(), 1e-6 * K) << i;
  }
  EXPECT_NEAR(restored.alfa.value(), original->alfa.value(), 1e-12);

  restored.go(1);
  EXPECT_TRUE(restored.errors.value().empty());
  EXPECT_NEAR(restored.alfa.value(), original->alfa.value(), 1e-7);
}

INSTANTIATE_TEST_SUITE_P(Odbc, StreamTwoStore,
                         testing::Values(odbctest::Database::sqlite,
                                         odbctest::Database::postgresql),
                         odbctest::databaseParameterName);

} // namespace
