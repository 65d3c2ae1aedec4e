// A designed packed column written to the real stores and read back
// through the factory keeps its configuration and results and recalculates
// to the same state.

#include "HtuNtuTestSupport.h"
#include "OdbcTestStore.h"

#include "velta/persistency/PersistencyOdbc.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace odbctest;
using namespace htuntutest;

namespace {

class HtuNtuStore : public StoreTest {
protected:
  void SetUp() override {
    StoreTest::SetUp();
    if (IsSkipped())
      return;
    verbosityGlobal = 0;
    useAbsorberComponents();
    registerDrumTypes();
  }
  void TearDown() override { components.clear(); }

  static std::unique_ptr<HtuNtu> readBack(Persistency &store, int storedId) {
    std::string uuid, tag, description, type;
    int parent = 0, root = 0;
    double createdAt = 0, updatedAt = 0;
    store.retrieveObject(storedId, uuid, tag, description, type, parent, root, createdAt,
                         updatedAt);
    EXPECT_EQ(type, "HtuNtu");
    std::unique_ptr<Node> node =
        NodeFactory().create(type, Defaults(), storedId, &store, nullptr, nullptr);
    auto *unit = dynamic_cast<HtuNtu *>(node.get());
    EXPECT_NE(unit, nullptr);
    node.release();
    return std::unique_ptr<HtuNtu>(unit);
  }
  static std::vector<double> state(HtuNtu &u) {
    std::vector<double> values = {u.D.value(),       u.H.value(),    u.deltaP.value(),
                                  u.deltaP0.value(), u.uVS.value(),  u.uVFl.value(),
                                  u.hL.value(),      u.hLFl.value(), u.ae.value(),
                                  u.ap.value(),      u.psiL.value(), u.duty.value()};
    for (int i = 0; i < NCOMPONENTS; ++i)
      for (const auto *v : {&u.outSplit[0], &u.outSplit[1], &u.KVL, &u.Hcomps})
        values.push_back((*v)[i].value());
    return values;
  }
  static void expectSame(const std::vector<double> &a, const std::vector<double> &b,
                         double tolerance) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t k = 0; k < a.size(); ++k)
      EXPECT_NEAR(a[k], b[k], tolerance * (1.0 + std::fabs(b[k]))) << k;
  }
};

} // namespace

TEST_P(HtuNtuStore, DesignedColumnRecalculatesToTheSameState) {
  PersistencyOdbc store(dsn_);
  Absorber a(Defaults("C1", "absorber").setInteger("startID", 2));
  HtuNtu &u = *a.unit;
  u.packing = "Plastic PallRing 35";
  u.hydraulics_calc = "Design";
  u.masstransfer_calc = "Design";
  u.fractfloodV = Value(0.6);
  u.outSplit[0][2] = Value(0.1);
  u.go(1, 0);
  ASSERT_TRUE(u.errors.value().empty()) << messages(u);
  const std::vector<double> before = state(u);
  const int id = u.insert(store);

  auto u2 = readBack(store, id);
  EXPECT_EQ(u2->packing.value(), "Plastic PallRing 35");
  EXPECT_EQ(u2->hydraulics_calc.value(), "Design");
  EXPECT_EQ(u2->masstransfer_calc.value(), "Design");
  EXPECT_EQ(u2->startID.value(), 2);
  EXPECT_EQ(u2->NITER_flood.value(), u.NITER_flood.value());
  EXPECT_EQ(u2->nCalculations.value(), 1);
  EXPECT_EQ(u2->maxNIn.value(), 2);
  expectSame(state(*u2), before, 1e-15);

  // Joined to the same feeds, it designs the same column again, within the
  // tolerance of the loading and flooding solves (which start from the
  // stored flooding velocity).
  u2->outSplit[0][2] = Value(0.1);
  auto vapor = vaporLiquid("V2"), liquid = vaporLiquid("L2");
  join(*u2, *a.gas, "in1");
  join(*u2, *a.water, "in2");
  join(*u2, *vapor, "out1");
  join(*u2, *liquid, "out2");
  u2->initializeNonPersistents();
  u2->go(1, 0);
  ASSERT_TRUE(u2->errors.value().empty()) << messages(*u2);
  expectSame(state(*u2), before, 1e-5);
  EXPECT_NEAR(u2->outSplit[0][2].value(), 0.1, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Odbc, HtuNtuStore, testing::Values(Database::sqlite, Database::postgresql),
                         databaseParameterName);
