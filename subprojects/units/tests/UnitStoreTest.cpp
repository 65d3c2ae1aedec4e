// Units written to the real stores and read back through the factory keep
// their options and inputs and recalculate to the same outlets.

#include "OdbcTestStore.h"
#include "UnitTestSupport.h"

#include "velta/persistency/PersistencyOdbc.h"

#include <gtest/gtest.h>

using namespace odbctest;
using namespace unittest;

namespace {

class UnitStore : public StoreTest {
protected:
  void SetUp() override {
    StoreTest::SetUp();
    if (IsSkipped())
      return;
    verbosityGlobal = 0;
    components.clear();
    PureData light;
    light.mw = 2.0;
    PureData heavy;
    heavy.mw = 18.0;
    heavy.cpv = 35000.0;
    components.add(new phasetest::LinearComponent("Light", light));
    components.add(new phasetest::LinearComponent("Heavy", heavy));
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
  static std::unique_ptr<Stream> gas(const std::string &tag) {
    auto s = makeStreamOne("PhaseIdeal<vapor>", tag);
    setFeed(*s, {0.3, 0.7}, 340.0, 5e5, 2.0);
    s->go(1);
    return s;
  }
  // The outlets of the unit joined to a fresh inlet and n fresh outlets.
  static std::vector<double> run(Connectivity &unit, int n) {
    auto in = gas("IN");
    std::vector<std::unique_ptr<Stream>> outs;
    std::string port = "in";
    unit.attach(in.get(), port);
    for (int i = 0; i < n; ++i) {
      outs.push_back(makeStreamOne("PhaseIdeal<vapor>", "O" + std::to_string(i)));
      port = "out";
      unit.attach(outs.back().get(), port);
    }
    unit.go(1, 0);
    std::vector<double> result;
    for (auto &out : outs)
      for (double v : {out->T.value(), out->P.value(), props(*out).ndot.value(),
                       props(*out).x[0].value()})
        result.push_back(v);
    return result;
  }
};

} // namespace

TEST_P(UnitStore, SeparatorAndCompressorRecalculateToTheSameOutlets) {
  PersistencyOdbc store(dsn_);
  Defaults options("X1", "separator");
  options.setInteger("nOutlets", 3);
  auto sep = makeUnit<Separator>("Separator", options);
  sep->option = "S";
  sep->T = Value(310.0, "K");
  sep->deltaPstream[1] = Value(2e5, "Pa");
  sep->outSplit[0][0] = Value(0.6);
  sep->outSplit[1][1] = Value(0.25);
  const std::vector<double> separated = run(*sep, 3);
  const int sepId = sep->insert(store);

  auto comp = makeUnit<Compressor>("Compressor");
  comp->option = "D";
  comp->deltaP = Value(-1e6, "Pa");
  comp->theta = Value(0.75);
  const std::vector<double> compressed = run(*comp, 1);
  const int compId = comp->insert(store);

  std::unique_ptr<Node> back = readBack(store, sepId);
  auto &sep2 = dynamic_cast<Separator &>(*back);
  EXPECT_EQ(sep2.type(), "Separator");
  EXPECT_EQ(sep2.nOutlets.value(), 3);
  EXPECT_EQ(sep2.maxNOut.value(), 3);
  EXPECT_EQ(sep2.option.value(), "S");
  // The normalised splits, as the calculation rewrote them.
  EXPECT_EQ(sep2.outSplit[1][1].value(), sep->outSplit[1][1].value());
  EXPECT_EQ(sep2.nCalculations.value(), 1);
  const std::vector<double> again = run(sep2, 3);
  ASSERT_EQ(again.size(), separated.size());
  for (std::size_t k = 0; k < again.size(); ++k)
    EXPECT_NEAR(again[k], separated[k], 1e-9 * (1.0 + std::fabs(separated[k]))) << k;

  std::unique_ptr<Node> back2 = readBack(store, compId);
  auto &comp2 = dynamic_cast<Compressor &>(*back2);
  EXPECT_EQ(comp2.option.value(), "D");
  EXPECT_EQ(comp2.theta.value(), 0.75);
  EXPECT_EQ(comp2.constraints.value(), "R");
  const std::vector<double> recompressed = run(comp2, 1);
  for (std::size_t k = 0; k < recompressed.size(); ++k)
    EXPECT_NEAR(recompressed[k], compressed[k], 1e-9 * (1.0 + std::fabs(compressed[k]))) << k;
  EXPECT_NEAR(comp2.Wf.value(), comp->Wf.value(), 1e-6 * std::fabs(comp->Wf.value()));
}

INSTANTIATE_TEST_SUITE_P(Odbc, UnitStore, testing::Values(Database::sqlite, Database::postgresql),
                         databaseParameterName);
