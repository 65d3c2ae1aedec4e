// A heat transfer unit with a shell-and-tube rating, written to the real
// stores and read back through the factory: the rating comes back as its
// composite type with its geometry and its tube-side correlation, and
// recalculates to the same overall coefficient and required area.

#include "OdbcTestStore.h"
#include "PipeTestSupport.h"

#include "velta/persistency/PersistencyOdbc.h"
#include "velta/units/RatingHeatShellAndTube.h"

#include <gtest/gtest.h>

using namespace odbctest;
using namespace pipetest;

namespace {

class ShellAndTubeStore : public StoreTest {
protected:
  void SetUp() override {
    StoreTest::SetUp();
    if (IsSkipped())
      return;
    verbosityGlobal = 0;
    useWater();
  }
  void TearDown() override { components.clear(); }

  // COLD heats 18 kg/s of water from 300 to 350 K; the unit cools 1.8 kg/s
  // of steam from 400 to 380 K.
  struct Exchange {
    Holder holder{"FS"};
    std::unique_ptr<Stream> f1, o1, f2, o2;

    void calculate(HeatTransfer &hot) {
      f1 = single("StreamLiquid", "F1", 18.0, 300.0, 2e5);
      o1 = makeStream<Stream>("StreamLiquid", "O1");
      f2 = single("StreamVapor", "F2", 1.8, 400.0, 1e5);
      o2 = makeStream<Stream>("StreamVapor", "O2");
      auto &cold = holder.add<FlashDrum>("FlashDrum", Defaults("COLD", "process side"));
      join(cold, *f1, "in");
      join(cold, *o1, "out");
      join(hot, *f2, "in");
      join(hot, *o2, "out");
      cold.T = Value(350.0, "K");
      cold.P = Value(2e5, "Pa");
      hot.T = Value(380.0, "K");
      hot.P = Value(1e5, "Pa");
      cold.go(1, 0);
      hot.go(1, 0);
      EXPECT_TRUE(hot.errors.value().empty()) << messages(hot);
    }
  };
};

} // namespace

TEST_P(ShellAndTubeStore, StoredRatingRecalculatesToTheSameArea) {
  PersistencyOdbc store(dsn_);
  Exchange first;
  Defaults options("HOT", "utility side");
  options.setString("processSide", "COLD");
  options.setInteger("nRatings", 1);
  options.setString("embeddedTypeRatings[0]", RatingHeatShellAndTubeRecovery::typeName);
  auto &hot = first.holder.add<HeatTransfer>("HeatTransfer", options);
  auto &rating = dynamic_cast<RatingHeatShellAndTubeRecovery &>(*hot.ratings.at(0));
  rating.N = Value(100.0);
  rating.L = Value(3.0, "m");
  rating.b = Value(4.0);
  rating.c = Value(0.25);
  rating.correlation = "SiederTate";
  first.calculate(hot);
  const int id = hot.insert(store);

  std::string uuid, tag, description, type;
  int parent = 0, root = 0;
  double createdAt = 0, updatedAt = 0;
  store.retrieveObject(id, uuid, tag, description, type, parent, root, createdAt, updatedAt);
  std::unique_ptr<Node> node = NodeFactory().create(type, Defaults(), id, &store, nullptr, nullptr);
  auto &restored = dynamic_cast<HeatTransfer &>(*node);
  ASSERT_EQ(restored.ratings.size(), 1u);
  auto &again = dynamic_cast<RatingHeatShellAndTubeRecovery &>(*restored.ratings[0]);
  EXPECT_EQ(again.type(), "RatingHeatShellAndTubeRecovery");
  EXPECT_EQ(again.correlation.value(), "SiederTate");
  EXPECT_EQ(again.N.value(), 100.0);
  EXPECT_EQ(again.c.value(), 0.25);
  EXPECT_EQ(again.U.value(), rating.U.value());

  Exchange second;
  auto &hot2 = dynamic_cast<HeatTransfer &>(second.holder.addChild(std::move(node)));
  second.calculate(hot2);
  for (auto [after, before] :
       {std::pair{&again.U, &rating.U}, {&again.U1, &rating.U1}, {&again.U2, &rating.U2},
        {&again.Areq, &rating.Areq}, {&again.deltaP_2, &rating.deltaP_2}})
    EXPECT_NEAR(after->value(), before->value(), 1e-9 * std::fabs(before->value()));
}

INSTANTIATE_TEST_SUITE_P(Odbc, ShellAndTubeStore,
                         testing::Values(Database::sqlite, Database::postgresql),
                         databaseParameterName);
