// Exchangers written to the real stores and read back through the factory
// keep their options, reactions and results, and recalculate to the same
// state.

#include "OdbcTestStore.h"
#include "ReactionTestSupport.h"
#include "UnitTestSupport.h"

#include "velta/persistency/PersistencyOdbc.h"
#include "velta/units/Exchanger.h"
#include "velta/units/MultiExchanger.h"
#include "velta/units/Reaction.h"
#include "velta/units/ReactionTypes.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace odbctest;
using namespace unittest;

namespace {

class ExchangerStore : public StoreTest {
protected:
  void SetUp() override {
    StoreTest::SetUp();
    if (IsSkipped())
      return;
    verbosityGlobal = 0;
    reactiontest::fillComponents();
    registerUnitTypes();
    Velta::Units::registerReactionTypes();
  }
  void TearDown() override {
    verbosityGlobal = 2;
    components.clear();
  }

  static std::unique_ptr<Node> readBack(Persistency &store, int storedId) {
    std::string uuid, tag, description, type;
    int parent = 0, root = 0;
    double createdAt = 0, updatedAt = 0;
    store.retrieveObject(storedId, uuid, tag, description, type, parent, root, createdAt,
                         updatedAt);
    return NodeFactory().create(type, Defaults(), storedId, &store, nullptr, nullptr);
  }
  // A gas of the given mole fractions (by component index, the rest N2).
  static std::unique_ptr<Stream> gas(const std::string &tag, double T, double ndot,
                                     std::vector<std::pair<int, double>> fractions) {
    std::vector<double> x(static_cast<std::size_t>(NCOMPONENTS), 0.0);
    double rest = 1.0;
    for (auto [i, f] : fractions) {
      x[static_cast<std::size_t>(i)] = f;
      rest -= f;
    }
    x[reactiontest::N2] += rest;
    std::unique_ptr<Stream> s = makeStreamOne("PhaseIdeal<vapor>", tag);
    setFeed(*s, x, T, 1e5, ndot);
    s->go(1);
    return s;
  }
  // Fresh streams on the unit's couples (in1/out1, in2/out2, ...), one
  // calculation, and the outlets' T, P, molar flow and CO2 fraction.
  static std::vector<double> run(Connectivity &unit, const std::vector<double> &temperatures) {
    unit.setVerbosity(-10); // the exchanger logs its calculation 10 levels higher
    std::vector<std::unique_ptr<Stream>> streams;
    for (std::size_t i = 0; i < temperatures.size(); ++i) {
      const std::string n = std::to_string(i + 1);
      streams.push_back(gas("I" + n, temperatures[i], 1.0 + 0.5 * static_cast<double>(i),
                            {{reactiontest::CO, 0.001}, {reactiontest::O2, 0.01}}));
      unit.attach(streams.back().get(), "in" + n);
      streams.push_back(makeStreamOne("PhaseIdeal<vapor>", "O" + n));
      unit.attach(streams.back().get(), "out" + n);
    }
    unit.go(1, 0);
    for (const std::string &e : unit.errors.value())
      ADD_FAILURE() << unit.tag() << ": " << e;
    std::vector<double> result;
    for (std::size_t i = 1; i < streams.size(); i += 2) {
      Stream &out = *streams[i];
      for (double v : {out.T.value(), out.P.value(), props(out).ndot.value(),
                       props(out).x[reactiontest::CO2].value()})
        result.push_back(v);
    }
    return result;
  }
  static void expectSame(const std::vector<double> &again, const std::vector<double> &first) {
    ASSERT_EQ(again.size(), first.size());
    for (std::size_t k = 0; k < again.size(); ++k)
      EXPECT_NEAR(again[k], first[k], 1e-7 * (1.0 + std::fabs(first[k]))) << k;
  }
};

TEST_P(ExchangerStore, ExchangersRecalculateToTheSameState) {
  PersistencyOdbc store(dsn_);
  // A hot-outlet specification and CO burnt to 50 % on the cold side.
  Defaults options("X", "exchanger");
  options.setInteger("nReactions", 1);
  options.setString("embeddedTypeReactions[0]", "ReactionOxidationCO");
  options.setInteger("reactionSides[0]", 1);
  auto x = makeUnit<Exchanger>("Exchanger", options);
  ASSERT_EQ(x->reactions.size(), 1u);
  x->reactions[0]->z = Value(0.5);
  x->option = "Thot";
  x->hotT = Value(380.0, "K");
  x->hotoption = "P";
  x->hotP = Value(0.9e5, "Pa");
  const std::vector<double> exchanged = run(*x, {450.0, 300.0});
  const int xId = x->insert(store);

  Defaults multiOptions("M", "multi-stream exchanger");
  multiOptions.setInteger("nStreams", 3);
  auto m = makeUnit<MultiExchanger>("MultiExchanger", multiOptions);
  m->option = "Ts";
  m->TsSet = Value(340.0, "K");
  m->A = Value(50.0, "m2");
  m->Qoffset[1] = Value(1000.0, "W");
  m->pressureOption[2] = "P";
  m->P[2] = Value(0.8e5, "Pa");
  const std::vector<double> multi = run(*m, {400.0, 300.0, 360.0});
  const int mId = m->insert(store);

  std::unique_ptr<Node> back = readBack(store, xId);
  auto &x2 = dynamic_cast<Exchanger &>(*back);
  EXPECT_EQ(x2.option.value(), "Thot");
  EXPECT_EQ(x2.hotoption.value(), "P");
  EXPECT_EQ(x2.nReactions.value(), 1);
  EXPECT_EQ(x2.reactionSides[0].value(), 1);
  EXPECT_EQ(x2.embeddedTypeReactions[0].value(), "ReactionOxidationCO");
  ASSERT_EQ(x2.reactions.size(), 1u);
  EXPECT_EQ(x2.reactions[0]->type(), "ReactionOxidationCO");
  EXPECT_EQ(x2.reactions[0]->z.value(), 0.5);
  EXPECT_EQ(x2.nCalculations.value(), 1);
  EXPECT_EQ(x2.A.value(), x->A.value());
  expectSame(run(x2, {450.0, 300.0}), exchanged);
  EXPECT_NEAR(x2.dutyhot.value(), x->dutyhot.value(), 1e-7 * x->dutyhot.value());
  EXPECT_NEAR(x2.A.value(), x->A.value(), 1e-7 * x->A.value());

  std::unique_ptr<Node> back2 = readBack(store, mId);
  auto &m2 = dynamic_cast<MultiExchanger &>(*back2);
  EXPECT_EQ(m2.nStreams.value(), 3);
  EXPECT_EQ(m2.option.value(), "Ts");
  EXPECT_EQ(m2.pressureOption[2].value(), "P");
  EXPECT_EQ(m2.maxT.value(), 400.0);
  EXPECT_EQ(m2.minT.value(), 300.0);
  EXPECT_EQ(m2.Qoffset[1].value(), 1000.0);
  expectSame(run(m2, {400.0, 300.0, 360.0}), multi);
  EXPECT_NEAR(m2.netDuty.value(), m->netDuty.value(), 1e-6 * std::fabs(m->netDuty.value()));
  EXPECT_NEAR(m2.apparentDuty.value(), -m2.totDuty.value(), 1e-3);
}

INSTANTIATE_TEST_SUITE_P(Odbc, ExchangerStore,
                         testing::Values(Database::sqlite, Database::postgresql),
                         databaseParameterName);

} // namespace
