// The pipe, the pump and the heat transfer unit with a rating, written to
// the real stores and read back through the factory, keep their inputs and
// options and recalculate to the same results.

#include "OdbcTestStore.h"
#include "PipeTestSupport.h"

#include "velta/persistency/PersistencyOdbc.h"

#include <gtest/gtest.h>

using namespace odbctest;
using namespace pipetest;

namespace {

class PipePumpHeatTransferStore : public StoreTest {
protected:
  void SetUp() override {
    StoreTest::SetUp();
    if (IsSkipped())
      return;
    verbosityGlobal = 0;
    useWater();
  }
  void TearDown() override { components.clear(); }

  static std::unique_ptr<Node> readBack(Persistency &store, int storedId) {
    std::string uuid, tag, description, type;
    int parent = 0, root = 0;
    double createdAt = 0, updatedAt = 0;
    store.retrieveObject(storedId, uuid, tag, description, type, parent, root, createdAt,
                         updatedAt);
    return NodeFactory().create(type, Defaults(), storedId, &store, nullptr, nullptr);
  }
  // Joins the unit to a fresh liquid inlet of 2 kg/s at 300 K and 5 bar and
  // a fresh outlet, and calculates it; returns the outlet pressure.
  static double run(FlashDrum &unit) {
    auto in = single("StreamLiquid", "IN", 2.0, 300.0, 5e5);
    auto out = makeStream<Stream>("StreamLiquid", "OUT");
    join(unit, *in, "in");
    join(unit, *out, "out");
    unit.go(1, 0);
    EXPECT_TRUE(unit.errors.value().empty()) << messages(unit);
    return out->P.value();
  }

  // COLD heats 1 kmol/s of liquid from 300 to 350 K; the unit cools 1
  // kmol/s of vapour from 400 to 380 K.
  struct Exchange {
    Holder holder{"FS"};
    std::unique_ptr<Stream> f1, o1, f2, o2;
    FlashDrum *cold = nullptr;

    void calculate(HeatTransfer &hot) {
      f1 = single("StreamLiquid", "F1", 18.0, 300.0, 2e5);
      o1 = makeStream<Stream>("StreamLiquid", "O1");
      f2 = single("StreamVapor", "F2", 18.0, 400.0, 1e5);
      o2 = makeStream<Stream>("StreamVapor", "O2");
      cold = &holder.add<FlashDrum>("FlashDrum", Defaults("COLD", "process side"));
      join(*cold, *f1, "in");
      join(*cold, *o1, "out");
      join(hot, *f2, "in");
      join(hot, *o2, "out");
      cold->T = Value(350.0, "K");
      cold->P = Value(2e5, "Pa");
      cold->go(1, 0);
      hot.go(1, 0);
      EXPECT_TRUE(hot.errors.value().empty()) << messages(hot);
    }
  };
};

} // namespace

TEST_P(PipePumpHeatTransferStore, StoredUnitsRecalculateToTheSameResults) {
  PersistencyOdbc store(dsn_);

  auto pipe = makeUnit<Pipe>("Pipe", Defaults("P1", "pipe"));
  pipe->h = Value(5.0, "m");
  pipe->eps = Value(0.1, "mm");
  pipe->vhConcentrated = Value(2.0);
  const double pipeOut = run(*pipe);
  const int pipeId = pipe->insert(store);

  auto pump = makeUnit<Pump>("Pump", Defaults("PU", "pump"));
  pump->P = Value(8e5, "Pa");
  pump->T = Value(300.0, "K");
  pump->etaM = Value(0.8);
  run(*pump);
  const int pumpId = pump->insert(store);

  Exchange first;
  auto &hot = first.holder.add<HeatTransfer>("HeatTransfer", heatTransferOptions("HOT", 1));
  hot.T = Value(380.0, "K");
  hot.P = Value(1e5, "Pa");
  hot.eta = Value(0.9);
  hot.flowoption1 = "mixed";
  hot.MTDoption = "linear";
  first.calculate(hot);
  const int hotId = hot.insert(store);

  std::unique_ptr<Node> node = readBack(store, pipeId);
  auto &pipe2 = dynamic_cast<Pipe &>(*node);
  EXPECT_EQ(pipe2.type(), "Pipe");
  EXPECT_EQ(pipe2.option.value(), "DH");
  EXPECT_EQ(pipe2.tpfm.value(), "beggs-brill");
  EXPECT_EQ(pipe2.maxNIn.value(), 1);
  EXPECT_EQ(pipe2.h.value(), 5.0);
  EXPECT_EQ(pipe2.vhConcentrated.value(), 2.0);
  EXPECT_EQ(pipe2.deltaP.value(), pipe->deltaP.value());
  EXPECT_NEAR(run(pipe2), pipeOut, 1e-9 * pipeOut);
  EXPECT_NEAR(pipe2.deltaP.value(), pipe->deltaP.value(), 1e-9 * pipe->deltaP.value());
  EXPECT_NEAR(pipe2.theta.value(), pipe->theta.value(), 1e-15);

  node = readBack(store, pumpId);
  auto &pump2 = dynamic_cast<Pump &>(*node);
  EXPECT_EQ(pump2.etaM.value(), 0.8);
  EXPECT_EQ(pump2.Wf.value(), pump->Wf.value());
  EXPECT_EQ(pump2.maxNIn.value(), 1);
  run(pump2);
  for (auto [again, before] : {std::pair{&pump2.Wf, &pump->Wf}, {&pump2.We, &pump->We},
                               {&pump2.i, &pump->i}, {&pump2.cr, &pump->cr}})
    EXPECT_NEAR(again->value(), before->value(), 1e-9 * std::fabs(before->value()));

  node = readBack(store, hotId);
  auto *restored = dynamic_cast<HeatTransfer *>(node.get());
  ASSERT_NE(restored, nullptr);
  EXPECT_EQ(restored->processSide.value(), "COLD");
  EXPECT_EQ(restored->flowoption1.value(), "mixed");
  EXPECT_EQ(restored->MTDoption.value(), "linear");
  EXPECT_EQ(restored->nRatings.value(), 1);
  ASSERT_EQ(restored->ratings.size(), 1u);
  EXPECT_EQ(restored->ratings[0]->type(), CountingRating::typeName);
  EXPECT_EQ(restored->ratings[0]->Areq.value(), hot.ratings[0]->Areq.value());
  EXPECT_EQ(restored->MTD.value(), hot.MTD.value());

  Exchange second;
  auto &hot2 = dynamic_cast<HeatTransfer &>(second.holder.addChild(std::move(node)));
  second.calculate(hot2);
  for (auto [again, before] :
       {std::pair{&hot2.duty2, &hot.duty2}, {&hot2.factor, &hot.factor}, {&hot2.MTD, &hot.MTD},
        {&hot2.approach2, &hot.approach2}, {&hot2.ratings[0]->Areq, &hot.ratings[0]->Areq}})
    EXPECT_NEAR(again->value(), before->value(), 1e-9 * std::fabs(before->value()));
  // Mixed against backward flow, averaged linearly: approaches 30 and 50 K.
  EXPECT_NEAR(hot2.MTD.value(), 40.0, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Odbc, PipePumpHeatTransferStore,
                         testing::Values(Database::sqlite, Database::postgresql),
                         databaseParameterName);
