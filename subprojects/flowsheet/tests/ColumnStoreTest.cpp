// A calculated column with two sieve-tray ratings written to the real
// stores and read back: its options, profiles and ratings come back, the
// ratings point at their sections again, the set-up restores its cuts, and
// it recalculates to the same state. The sections' liquid feeds are of the
// column's vapour-liquid type and take over the column's liquid streams:
// they must still be stored under their own type.

#include "ColumnTestSupport.h"
#include "OdbcTestStore.h"

#include "velta/flowsheet/ColumnSection.h"
#include "velta/flowsheet/RatingColumnTraySieve.h"
#include "velta/persistency/PersistencyOdbc.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace odbctest;
using namespace columntest;

namespace {

class ColumnStore : public StoreTest {
protected:
  void SetUp() override {
    StoreTest::SetUp();
    if (IsSkipped())
      return;
    verbosityGlobal = 0;
    useConstantVolatilityPair();
    flashdrumtest::registerDrumTypes();
    registerFlowsheetTypes();
  }
  void TearDown() override {
    verbosityGlobal = 2;
    for (const char *f : {"ENRICH_Q1.dot", "ENRICH_Q2.dot", "STRIP_Q1.dot", "STRIP_Q2.dot"})
      std::remove(f);
    components.clear();
  }
};

TEST_P(ColumnStore, RestoredColumnKeepsItsRatingsCutsAndState) {
  PersistencyOdbc store(dsn_);
  Defaults options = columnOptions(4, 2);
  options.setInteger("nRatings", 2);
  options.setString("embeddedTypeRatings[0]", "RatingColumnTraySieve");
  options.setString("embeddedTypeRatings[1]", "RatingColumnTraySieve");
  options.setString("ratingTarget[0]", "ENRICH");
  options.setString("ratingTarget[1]", "STRIP");
  auto column = makeColumn(options);
  column->P1 = Value(1e5, "Pa");
  column->RR = Value(3.0);
  Stream &feed = streamOf(*column, "F");
  setFeed(feed, {0.5, 0.5}, 250.0, 1e5, 1.0);
  feed.go(1);
  column->setup();
  column->calculate(0);
  for (const std::string &e : column->errors.value())
    EXPECT_EQ(e.find("convergence"), std::string::npos) << e;
  EXPECT_GT(column->ratings[0]->Q("Un").value(), 0.0);
  const int storedId = column->insert(store);

  std::unique_ptr<Node> node =
      NodeFactory().create("Column", Defaults(), storedId, &store, nullptr, nullptr);
  auto &back = dynamic_cast<Column &>(*node);
  EXPECT_EQ(back.stages.value(), 4);
  EXPECT_EQ(back.feedStage.value(), 2);
  EXPECT_EQ(back.typeU.value(), "StreamIdealLiquidVapor");
  EXPECT_EQ(back.RR.value(), 3.0);
  EXPECT_EQ(back.childCount(), column->childCount());
  ASSERT_EQ(back.ratings.size(), 2u);
  EXPECT_EQ(back.ratings[0]->target_, &back.child("ENRICH"));
  EXPECT_EQ(back.ratings[1]->target_, &back.child("STRIP"));
  EXPECT_EQ(back.ratings[1]->Q("Un").value(), column->ratings[1]->Q("Un").value());
  for (std::size_t i = 0; i < back.T.size(); ++i)
    EXPECT_EQ(back.T[i].value(), column->T[i].value()) << i;
  EXPECT_FALSE(back.isPristine());
  back.setup();
  EXPECT_EQ(back.cuts().size(), 3u);
  back.initializeNonPersistents();
  back.calculate(0);
  for (const std::string &e : back.errors.value())
    EXPECT_EQ(e.find("convergence"), std::string::npos) << e;
  for (std::size_t i = 0; i < back.T.size(); ++i) {
    EXPECT_NEAR(back.T[i].value(), column->T[i].value(), 1e-6) << i;
    EXPECT_NEAR(back.V[i].value(), column->V[i].value(), 1e-8) << i;
  }
  EXPECT_NEAR(back.Q("D:Tphase.x[0]").value(), column->Q("D:Tphase.x[0]").value(), 1e-8);
  EXPECT_NEAR(back.ratings[0]->Q("FA").value(), column->ratings[0]->Q("FA").value(), 1e-8);
}

INSTANTIATE_TEST_SUITE_P(Odbc, ColumnStore,
                         testing::Values(Database::sqlite, Database::postgresql),
                         databaseParameterName);

} // namespace
