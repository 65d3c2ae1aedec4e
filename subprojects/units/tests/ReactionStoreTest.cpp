// Reactions written to the real stores and read back through the factory
// keep their options, stoichiometry and results.

#include "OdbcTestStore.h"
#include "ReactionTestSupport.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/persistency/PersistencyOdbc.h"
#include "velta/units/MultiReaction.h"
#include "velta/units/ReactionBuiltIn.h"
#include "velta/units/ReactionTypes.h"

using namespace odbctest;
using namespace reactiontest;

namespace {

class ReactionStore : public StoreTest {
protected:
  void SetUp() override {
    StoreTest::SetUp();
    if (IsSkipped())
      return;
    verbosityGlobal = 0;
    fillComponents();
    Velta::Units::registerReactionTypes();
    Velta::Units::registerMultiReactionTypes();
  }
  void TearDown() override { components.clear(); }

  // The stored tree read back as the front end does: by id, with the type
  // of its row.
  static std::unique_ptr<Node> readBack(Persistency &store, int storedId) {
    std::string uuid, tag, description, type;
    int parent = 0, root = 0;
    double createdAt = 0, updatedAt = 0;
    store.retrieveObject(storedId, uuid, tag, description, type, parent, root, createdAt,
                         updatedAt);
    return NodeFactory().create(type, Defaults(), storedId, &store, nullptr, nullptr);
  }
};

} // namespace

TEST_P(ReactionStore, OptionsStoichiometryAndResultsSurviveTheRoundTrip) {
  PersistencyOdbc store(dsn_);
  auto phase = molarPhase({{C2H6, 4}, {O2, 20}});
  std::unique_ptr<Node> node = NodeFactory().create(
      "ReactionOxidationC2H6", Defaults("R1", "burner"), 0, nullptr, nullptr, nullptr);
  auto &burner = dynamic_cast<ReactionYield &>(*node);
  burner.setOutlet(phase.get());
  burner.option = "conv";
  burner.conv = Value(1.0, "kmol/s");
  burner.calculate(0);
  const int id = node->insert(store);

  std::unique_ptr<Node> back = readBack(store, id);
  auto &restored = dynamic_cast<ReactionYield &>(*back);
  EXPECT_EQ(restored.type(), "ReactionOxidationHydrocarbon");
  EXPECT_EQ(restored.tag(), "R1");
  EXPECT_EQ(restored.I("x"), 2);
  EXPECT_EQ(restored.I("y"), 6);
  EXPECT_EQ(restored.keycomp.value(), C2H6);
  EXPECT_EQ(restored.option.value(), "conv");
  EXPECT_EQ(restored.conv.toDouble("kmol/s"), 1.0);
  EXPECT_EQ(restored.actconv.units(), burner.actconv.units());
  EXPECT_DOUBLE_EQ(restored.z.value(), 0.25);
  EXPECT_EQ(restored.coeff[O2].value(), -3.5);
  EXPECT_EQ(restored.coeffm[CO2].value(), burner.coeffm[CO2].value());
  EXPECT_EQ(restored.nCalculations.value(), 1);
}

TEST_P(ReactionStore, EquilibriumReactionKeepsItsTemperatureApproach) {
  PersistencyOdbc store(dsn_);
  std::unique_ptr<Node> node = NodeFactory().create(
      "ReactionWaterGasShiftEquilibrium", Defaults("WGS", "shift"), 0, nullptr, nullptr, nullptr);
  auto &shift = dynamic_cast<ReactionWaterGasShiftEquilibrium &>(*node);
  shift.deltaT = Value(-25.0, "K");
  shift.Kgibbs = 3.0;
  const int id = node->insert(store);
  std::unique_ptr<Node> back = readBack(store, id);
  auto &restored = dynamic_cast<ReactionWaterGasShiftEquilibrium &>(*back);
  EXPECT_EQ(restored.deltaT.value(), -25.0);
  EXPECT_EQ(restored.Kgibbs.value(), 3.0);
  EXPECT_EQ(restored.P.toDouble("Pa"), 101325.0);
  EXPECT_EQ(restored.keycomp.value(), CO2);
  EXPECT_EQ(restored.option.value(), "z");
}

TEST_P(ReactionStore, TransferBlockKeepsItsCoefficientsAndSplits) {
  PersistencyOdbc store(dsn_);
  std::unique_ptr<Node> node = NodeFactory().create(
      "MultiReactionTransfer", Defaults("B1", "block"), 0, nullptr, nullptr, nullptr);
  auto &block = dynamic_cast<MultiReactionTransfer &>(*node);
  block.Q("coeffv[1][2]") = -0.5;
  block.keyphase = 1;
  block.keycomp = 0;
  block.theta[3] = 0.4;
  block.factor = 0.25;
  const int id = node->insert(store);
  std::unique_ptr<Node> back = readBack(store, id);
  auto &restored = dynamic_cast<MultiReactionTransfer &>(*back);
  EXPECT_EQ(restored.coeffv[1][2].value(), -0.5);
  EXPECT_EQ(restored.coeffv[0][2].value(), 0.0);
  EXPECT_EQ(restored.keyphase.value(), 1);
  EXPECT_EQ(restored.keycomp.value(), 0);
  EXPECT_EQ(restored.theta[3].value(), 0.4);
  EXPECT_EQ(restored.factor.value(), 0.25);
  EXPECT_EQ(restored.nPhases.value(), 2);
}

INSTANTIATE_TEST_SUITE_P(Odbc, ReactionStore,
                         testing::Values(Database::sqlite, Database::postgresql),
                         databaseParameterName);
