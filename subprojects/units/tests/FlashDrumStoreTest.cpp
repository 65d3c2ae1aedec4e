// Flash drums written to the real stores and read back through the factory
// keep their configuration, reactions and results, and recalculate to the
// same state; reactions of a user's type of any name come back in index
// order; the flash degasser rebuilds its internal stream from its stored
// outlets.

#include "FlashDrumTestSupport.h"
#include "OdbcTestStore.h"

#include "velta/persistency/PersistencyOdbc.h"
#include "velta/units/Reaction.h"

#include <gtest/gtest.h>

using namespace odbctest;
using namespace flashdrumtest;

namespace {

// 2 A -> B with a fixed conversion of A: a reaction type of the user's own,
// whose name does not begin with "Reaction".
class Dimerisation : public virtual ReactionYield {
public:
  Dimerisation(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root),
        Model(defaults, id, persistency, parent, root),
        ReactionYield(defaults, id, persistency, parent, root) {
    setType("Dimerisation");
    setStoichiometry("A", {{"A", -2.0}, {"B", 1.0}});
  }
};

class FlashDrumStore : public StoreTest {
protected:
  void SetUp() override {
    StoreTest::SetUp();
    if (IsSkipped())
      return;
    verbosityGlobal = 0;
    useClausiusPair();
    registerDrumTypes();
    NodeFactory factory;
    if (!factory.isRegistered("Dimerisation"))
      factory.registerType<Dimerisation>("Dimerisation", "2 A -> B with a fixed conversion",
                                         "option", false, {}, {}, {}, "", 100, 100);
  }
  void TearDown() override { components.clear(); }

  template <class T> static std::unique_ptr<T> readBack(Persistency &store, int storedId) {
    std::string uuid, tag, description, type;
    int parent = 0, root = 0;
    double createdAt = 0, updatedAt = 0;
    store.retrieveObject(storedId, uuid, tag, description, type, parent, root, createdAt,
                         updatedAt);
    std::unique_ptr<Node> node =
        NodeFactory().create(type, Defaults(), storedId, &store, nullptr, nullptr);
    auto *object = dynamic_cast<T *>(node.get());
    EXPECT_NE(object, nullptr) << type;
    node.release();
    return std::unique_ptr<T>(object);
  }
  void feeds(Connectivity &unit) {
    f1 = feed("F1", {0.5, 0.5}, 300.0, 2e5);
    f2 = feed("F2", {0.3, 0.7}, 400.0, 3e5);
    join(unit, *f1, "in");
    join(unit, *f2, "in");
  }
  static std::vector<double> state(FlashDrumBase &d, Stream &out) {
    return {d.T.value(),        d.P.value(),         d.alfa.value(),
            d.duty.value(),     d.deltas.value(),    out.T.value(),
            out.Tphase->flow(0).value(), out.Tphase->flow(1).value(),
            out.phases()[0]->fraction.value()};
  }
  static void expectSame(const std::vector<double> &a, const std::vector<double> &b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t k = 0; k < a.size(); ++k)
      EXPECT_NEAR(a[k], b[k], 1e-7 * (1.0 + std::fabs(b[k]))) << k;
  }

  std::unique_ptr<Stream> f1, f2;
};

} // namespace

TEST_P(FlashDrumStore, DrumWithReactionRecalculatesToTheSameState) {
  PersistencyOdbc store(dsn_);
  Defaults options("D1", "drum");
  options.setInteger("nReactions", 1);
  options.setString("embeddedTypeReactions[0]", "ReactionYield");
  auto d = makeDrum<FlashDrum>("FlashDrum", options);
  auto out = vaporLiquid("OUT");
  feeds(*d);
  join(*d, *out, "out");
  d->option = "DH";
  d->reactionMode = "parallel";
  d->deltaP = Value(0.8e5, "Pa");
  d->duty = Value(-1.0e6, "W");
  d->setup();
  auto &r = dynamic_cast<ReactionYield &>(*d->reactions[0]);
  r.setCoefficient("A", -2.0); // 2 A -> B, a tenth of A
  r.setCoefficient("B", 1.0);
  r.keycomp = 0;
  r.z = Value(0.1);
  d->go(1, 0);
  ASSERT_TRUE(d->errors.value().empty()) << messages(*d);
  const std::vector<double> before = state(*d, *out);
  const int drumId = d->insert(store);
  const int outId = out->insert(store);

  auto d2 = readBack<FlashDrum>(store, drumId);
  auto out2 = readBack<Stream>(store, outId);
  EXPECT_EQ(d2->option.value(), "DH");
  EXPECT_EQ(d2->reactionMode.value(), "parallel");
  EXPECT_EQ(d2->nReactions.value(), 1);
  EXPECT_EQ(d2->nreactionEquilibriums.value(), 0);
  EXPECT_EQ(d2->reactions.empty() ? "" : d2->reactions[0]->type(), "ReactionYield");
  ASSERT_EQ(d2->reactions.size(), 1u);
  EXPECT_EQ(d2->reactions[0]->tag(), "reactions[0]");
  EXPECT_EQ(d2->reactions[0]->z.value(), 0.1);
  EXPECT_EQ(d2->nCalculations.value(), d->nCalculations.value());
  EXPECT_EQ(d2->NITER.value(), d->NITER.value());
  expectSame(state(*d2, *out2), before);

  feeds(*d2);
  join(*d2, *out2, "out");
  d2->initializeNonPersistents();
  d2->setup();
  d2->go(1, 0);
  ASSERT_TRUE(d2->errors.value().empty()) << messages(*d2);
  expectSame(state(*d2, *out2), before);
  EXPECT_NEAR(out2->Tphase->flow(0).value(), 0.8 - 0.08, 1e-12); // A: 0.8 less a tenth
}

// Eleven reactions of the user's type: read back, the drum finds them again
// in index order also past ten (where the order of the tags,
// "reactions[10]" before "reactions[2]", parts from it).
TEST_P(FlashDrumStore, ReactionsOfAnyTypeNameComeBackInIndexOrder) {
  constexpr int count = 11;
  const auto z = [](int i) { return 0.01 * (i + 1); };
  PersistencyOdbc store(dsn_);
  Defaults options("D1", "drum");
  options.setInteger("nReactions", count);
  for (int i = 0; i < count; ++i)
    options.setString("embeddedTypeReactions[" + std::to_string(i) + "]", "Dimerisation");
  auto d = makeDrum<FlashDrum>("FlashDrum", options);
  auto out = vaporLiquid("OUT");
  feeds(*d);
  join(*d, *out, "out");
  d->T = Value(400.0, "K");
  d->P = Value(1e5, "Pa");
  d->setup();
  for (int i = 0; i < count; ++i)
    d->reactions[static_cast<std::size_t>(i)]->z = Value(z(i));
  d->go(1, 0);
  ASSERT_TRUE(d->errors.value().empty()) << messages(*d);
  // In series each reaction converts its fraction of the A that the ones
  // before left: from the feeds' 0.8 kmol/s of A, A = 0.8 times the product
  // of (1 - z_i); B gains half of the A consumed.
  double a = 0.8;
  for (int i = 0; i < count; ++i)
    a *= 1.0 - z(i);
  EXPECT_NEAR(out->Tphase->flow(0).value(), a, 1e-12);
  EXPECT_NEAR(out->Tphase->flow(1).value(), 1.2 + (0.8 - a) / 2.0, 1e-12);
  const std::vector<double> before = state(*d, *out);
  const int drumId = d->insert(store);
  const int outId = out->insert(store);

  auto d2 = readBack<FlashDrum>(store, drumId);
  auto out2 = readBack<Stream>(store, outId);
  ASSERT_EQ(d2->reactions.size(), static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const Reaction &reaction = *d2->reactions[static_cast<std::size_t>(i)];
    EXPECT_EQ(reaction.tag(), "reactions[" + std::to_string(i) + "]");
    EXPECT_EQ(reaction.type(), "Dimerisation");
    EXPECT_EQ(reaction.z.value(), z(i));
  }
  feeds(*d2);
  join(*d2, *out2, "out");
  d2->initializeNonPersistents();
  d2->setup();
  d2->go(1, 0);
  ASSERT_TRUE(d2->errors.value().empty()) << messages(*d2);
  expectSame(state(*d2, *out2), before);
}

TEST_P(FlashDrumStore, DegasserRebuildsItsInternalStreamFromTheStoredOutlets) {
  PersistencyOdbc store(dsn_);
  auto d = makeDrum<FlashDegasser>("FlashDegasser", Defaults("FD", "degasser"));
  auto vapor = vaporLiquid("V"), condensate = vaporLiquid("C");
  feeds(*d);
  join(*d, *vapor, "out1");
  join(*d, *condensate, "out2");
  d->option = "PA";
  d->P = Value(1.2e5, "Pa");
  d->alfa = Value(0.3);
  d->go(1, 0);
  ASSERT_TRUE(d->errors.value().empty()) << messages(*d);
  const std::vector<double> before = state(*d, d->internalStream());
  const int id = d->insert(store);
  const int vaporId = vapor->insert(store);
  const int condensateId = condensate->insert(store);

  auto d2 = readBack<FlashDegasser>(store, id);
  auto vapor2 = readBack<Stream>(store, vaporId);
  auto condensate2 = readBack<Stream>(store, condensateId);
  EXPECT_EQ(d2->embeddedTypeStream.value(), "StreamIdealLiquidVapor");
  feeds(*d2);
  join(*d2, *vapor2, "out1");
  join(*d2, *condensate2, "out2");
  d2->initializeNonPersistents();
  // Before any calculation the internal stream holds the stored outlets.
  Stream &internal = d2->internalStream();
  EXPECT_NEAR(internal.Tphase->flow(0).value(), 0.8, 1e-9);
  EXPECT_NEAR(internal.Tphase->flow(1).value(), 1.2, 1e-9);
  EXPECT_NEAR(internal.phases()[0]->fraction.value(), 0.3, 1e-12);
  EXPECT_NEAR(internal.T.value(), d->T.value(), 1e-12);
  d2->go(1, 0);
  ASSERT_TRUE(d2->errors.value().empty()) << messages(*d2);
  expectSame(state(*d2, d2->internalStream()), before);
  EXPECT_NEAR(vapor2->Tphase->totalFlow().value(), 0.6, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Odbc, FlashDrumStore,
                         testing::Values(Database::sqlite, Database::postgresql),
                         databaseParameterName);
