// The tabular streams: constant user K-values. kVL = (2, 0.5) with
// z = (0.5, 0.5) splits, by hand from Rachford-Rice
//   0.5 (2 - 1) / (1 + a) + 0.5 (0.5 - 1) / (1 - 0.5 a) = 0  =>  a = 0.5,
// to x = (1/3, 2/3) and y = (2/3, 1/3), at any P and T; the K-values are
// stored with the case.

#include "OdbcTestStore.h"
#include "StreamMoreTypesSupport.h"

#include "velta/persistency/PersistencyOdbc.h"

#include <gtest/gtest.h>

using namespace streammoretest;

namespace {

template <class S>
std::unique_ptr<S> makeTabular(const Defaults &options = Defaults("S01", "test stream")) {
  return makeNamed<S>(S::typeName(), options);
}

void flashPt(Stream &s) {
  s.flashoption = "PT";
  s.go(1);
  ASSERT_TRUE(s.errors.value().empty()) << s.errors.value().front();
}

class StreamTabularTest : public StreamTwoFixture {
protected:
  void SetUp() override {
    StreamTwoFixture::SetUp();
    useFluids({&pentane, &hexane});
  }
};

TEST_F(StreamTabularTest, ConstantKValuesSplitAtAnyState) {
  for (const auto &[T, P] : {std::pair{300.0, 1e5}, std::pair{450.0, 3e6}}) {
    auto s = makeTabular<StreamTabularLiquidVapor>();
    EXPECT_EQ(s->type(), "StreamTabularLiquidVapor");
    s->kVL[0] = 2.0;
    s->kVL[1] = 0.5;
    setFeed(*s, {0.5, 0.5}, T, P);
    flashPt(*s);
    EXPECT_EQ(s->kVL_[0].value(), 2.0);
    EXPECT_EQ(s->kVL_[1].value(), 0.5);
    EXPECT_NEAR(s->alfa.value(), 0.5, 1e-9) << T;
    EXPECT_NEAR(s->Lphase->fracs()[0].value(), 1.0 / 3.0, 1e-9);
    EXPECT_NEAR(s->Vphase->fracs()[0].value(), 2.0 / 3.0, 1e-9);
  }
}

TEST_F(StreamTabularTest, DefaultsAndTags) {
  auto vl = makeTabular<StreamTabularLiquidVapor>();
  EXPECT_EQ(vl->embeddedTypePhase[0].value(), "PhaseIdeal<vapor>");
  EXPECT_EQ(vl->kVL[1].tag(), "kVL[1]");
  EXPECT_EQ(vl->kVL[0].value(), 1.0);

  auto ll = makeTabular<StreamTabularLiquidLiquid>();
  EXPECT_EQ(ll->embeddedTypePhase[0].value(), "PhaseIdeal<liquid>");
  EXPECT_EQ(ll->embeddedTypePhase[1].value(), "PhaseIdeal<liquid>");
  Defaults options("S02", "test stream");
  options.setString("embeddedTypePhase[1]", "PhaseNrtl1");
  auto given = makeTabular<StreamTabularLiquidLiquid>(options);
  EXPECT_EQ(given->embeddedTypePhase[1].value(), "PhaseNrtl1");

  // All K-values 1: both sides get the feed composition.
  setFeed(*ll, {0.3, 0.7}, 320.0, 1e5);
  flashPt(*ll);
  EXPECT_NEAR(ll->Vphase->fracs()[0].value(), 0.3, 1e-12);
  EXPECT_NEAR(ll->Lphase->fracs()[0].value(), 0.3, 1e-12);
}

class StreamTabularStore : public odbctest::StoreTest {
protected:
  void SetUp() override {
    odbctest::StoreTest::SetUp();
    useFluids({&pentane, &hexane});
  }
  void TearDown() override { components.clear(); }
};

TEST_P(StreamTabularStore, KValuesSurviveStorage) {
  if (dsn_.empty())
    return;
  auto original = makeTabular<StreamTabularLiquidVapor>();
  original->kVL[0] = 2.0;
  original->kVL[1] = 0.5;
  setFeed(*original, {0.5, 0.5}, 320.0, 1e5);
  flashPt(*original);
  int id = 0;
  {
    PersistencyOdbc store(dsn_);
    id = original->insert(store);
  }
  PersistencyOdbc store(dsn_);
  std::unique_ptr<Node> node =
      NodeFactory().create("StreamTabularLiquidVapor", Defaults(), id, &store, nullptr, nullptr);
  auto &restored = dynamic_cast<StreamTabularLiquidVapor &>(*node);
  EXPECT_EQ(restored.kVL[0].value(), 2.0);
  EXPECT_EQ(restored.kVL[1].value(), 0.5);
  restored.initializeNonPersistents();
  EXPECT_NEAR(restored.alfa.value(), 0.5, 1e-9);
  restored.go(1);
  EXPECT_TRUE(restored.errors.value().empty());
  EXPECT_NEAR(restored.alfa.value(), 0.5, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Odbc, StreamTabularStore,
                         testing::Values(odbctest::Database::sqlite,
                                         odbctest::Database::postgresql),
                         odbctest::databaseParameterName);

} // namespace
