// A converged counter-current cascade written to the real stores and read
// back: its options and couple directions come back, it builds no child of
// its own, its set-up restores the cuts without drawing, and it
// recalculates to the same state.

#include "FlashDrumTestSupport.h"
#include "FlowsheetTestSupport.h"
#include "OdbcTestStore.h"

#include "velta/flowsheet/MultiCompressorIntercooled.h"
#include "velta/flowsheet/MultiStage.h"
#include "velta/persistency/PersistencyOdbc.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

using namespace odbctest;
using namespace flowsheettest;

namespace {

class CompositeStore : public StoreTest {
protected:
  void SetUp() override {
    StoreTest::SetUp();
    if (IsSkipped())
      return;
    verbosityGlobal = 0;
    flashdrumtest::useClausiusPair();
    flashdrumtest::registerDrumTypes();
    registerFlowsheetTypes();
  }
  void TearDown() override {
    verbosityGlobal = 2;
    components.clear();
  }
};

TEST_P(CompositeStore, RestoredCascadeKeepsItsCutsAndState) {
  PersistencyOdbc store(dsn_);
  Defaults options("W", "washing");
  options.setInteger("nStage", 3).setInteger("referenceStream", 0);
  options.setString("option[1]", "bottomtop").setString("typeU", "StreamVapor");
  std::unique_ptr<Node> created =
      NodeFactory().create("MultiStage", options, 0, nullptr, nullptr, nullptr);
  auto &ms = dynamic_cast<MultiStage &>(*created);
  for (int i = 0; i < 3; ++i) {
    ms.Q(ms.stageTag(i) + ".T") = Value(298.15, "K");
    ms.Q(ms.stageTag(i) + ".P") = Value(1e5, "Pa");
  }
  ms.deltaP[1] = Value(2000.0, "Pa");
  setFeed(streamOf(ms, "FA"), {0.8, 0.2}, 298.15, 1e5, 1.0);
  setFeed(streamOf(ms, "FB"), {0.1, 0.9}, 298.15, 1e5, 2.0);
  ms.setup();
  std::remove("W_Q1.dot");
  std::remove("W_Q2.dot");
  ms.calculate(0);
  const int storedId = ms.insert(store);

  std::unique_ptr<Node> node =
      NodeFactory().create("MultiStage", Defaults(), storedId, &store, nullptr, nullptr);
  auto &back = dynamic_cast<MultiStage &>(*node);
  EXPECT_EQ(back.nStage.value(), 3);
  EXPECT_EQ(back.nStreams.value(), 2);
  EXPECT_EQ(back.option[1].value(), "bottomtop");
  EXPECT_EQ(back.typeU.value(), "StreamVapor");
  EXPECT_EQ(back.deltaP[1].value(), 2000.0);
  EXPECT_EQ(back.childCount(), ms.childCount());
  EXPECT_TRUE(back.cuts().empty());
  back.setup();
  EXPECT_EQ(back.cuts().size(), 2u);
  EXPECT_FALSE(std::ifstream("W_Q1.dot").good());
  back.initializeNonPersistents();
  back.calculate(0);
  for (const std::string &e : back.errors.value())
    ADD_FAILURE() << e;
  for (const char *s : {"A", "B", "B[1]bis", "B[2]bis"}) {
    const Stream &a = streamOf(ms, s), &b = streamOf(back, s);
    EXPECT_NEAR(b.Tphase->flow(0).value(), a.Tphase->flow(0).value(), 1e-9) << s;
    EXPECT_NEAR(b.Tphase->flow(1).value(), a.Tphase->flow(1).value(), 1e-9) << s;
  }
}

// The series arrangement of a compressor train stores its own variables
// (stage count, the two pressure differences, the pressure option and the
// three types) and takes them back from the store, with its children.
TEST_P(CompositeStore, RestoredTrainKeepsItsArrangementVariables) {
  PersistencyOdbc store(dsn_);
  std::unique_ptr<Node> created = NodeFactory().create(
      "MultiCompressorIntercooled2", Defaults("K", "train"), 0, nullptr, nullptr, nullptr);
  auto &train = dynamic_cast<MultiStageOneTwo &>(*created);
  train.deltaP[1] = Value(500.0, "Pa");
  train.pressureoption = "separate";
  const int storedId = train.insert(store);

  std::unique_ptr<Node> node = NodeFactory().create("MultiCompressorIntercooled2", Defaults(),
                                                    storedId, &store, nullptr, nullptr);
  auto &back = dynamic_cast<MultiStageOneTwo &>(*node);
  EXPECT_EQ(back.nStage.value(), 2);
  EXPECT_EQ(back.I("nStage"), 2);
  ASSERT_EQ(back.deltaP.size(), 2u);
  EXPECT_EQ(back.Q("deltaP[0]").value(), 0.0);
  EXPECT_EQ(back.Q("deltaP[1]").value(), 500.0);
  EXPECT_EQ(back.deltaP[1].description(), "Pressure difference of item 1");
  EXPECT_EQ(back.S("pressureoption"), "separate");
  EXPECT_EQ(back.S("typeT"), "CompressionStage");
  EXPECT_EQ(back.S("typeU"), "StreamVapor");
  EXPECT_EQ(back.S("typeV"), "StreamLiquid");
  EXPECT_EQ(back.childCount(), train.childCount());
}

INSTANTIATE_TEST_SUITE_P(Odbc, CompositeStore,
                         testing::Values(Database::sqlite, Database::postgresql),
                         databaseParameterName);

} // namespace
