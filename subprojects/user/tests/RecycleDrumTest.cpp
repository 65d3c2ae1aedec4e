// A Peng-Robinson flash drum with a recycle on the kernel's components,
// from the start-up a user gets: feed F and recycle R mixed (M), cooled
// (C, PT), flashed (DR, PT drum), the vapour divided (D) into purge P and
// recycle R, the liquid L out. The streams are vapours but for the
// cooled two-phase S2 and the drum's liquid L. Sequential passes alone, the default
// sequential-then-Newton solve, and a recalculation after a store and
// reload (SQLite through ODBC) give the same state, and every converged
// duty is the enthalpy balance of the unit's own streams.

#include "velta/components/ListComponents.h"
#include "velta/flowsheet/FlowSheet.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/persistency/PersistencyOdbc.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/streams/Stream.h"
#include "velta/units/Divider.h"
#include "velta/units/FlashDegasser.h"
#include "velta/units/FlashDrum.h"
#include "velta/user/KernelComponents.h"
#include "velta/user/KernelInitialization.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/SharedEnumerations.h"

#include "../../persistency/tests/OdbcTestStore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

using namespace odbctest;

namespace {

constexpr const char *twoPhase = "StreamPengRobinsonLiquidVapor";
constexpr const char *vapour = "StreamPengRobinsonVapor";
constexpr const char *liquid = "StreamPengRobinsonLiquid";

class PengRobinsonRecycle : public FlowSheet {
public:
  PengRobinsonRecycle(Defaults defaults, int id, Persistency *persistency, Node *parent,
                      Node *root)
      : Object(defaults, id, persistency, parent, root),
        Model(defaults, id, persistency, parent, root),
        VertexBase(defaults, id, persistency, parent, root),
        FlowSheet(defaults, id, persistency, parent, root) {
    setType("PengRobinsonRecycle");
    if (persistency != nullptr)
      return;
    addUnit("Mixer", Defaults("M", "mixer"));
    addUnit("FlashDrum", Defaults("C", "cooler"));
    Defaults drum("DR", "drum");
    drum.setString("embeddedTypeStream", twoPhase);
    addUnit("FlashDegasser", drum);
    addUnit("Divider", Defaults("D", "divider"));
    addStream(vapour, Defaults("F", "feed"), "source", "out", "M", "in");
    addStream(vapour, Defaults("S1", "mixed"), "M", "out", "C", "in");
    addStream(twoPhase, Defaults("S2", "cooled"), "C", "out", "DR", "in");
    addStream(vapour, Defaults("V", "vapour"), "DR", "vapor", "D", "in");
    addStream(liquid, Defaults("L", "liquid"), "DR", "condensate", "sink", "in");
    addStream(vapour, Defaults("P", "purge"), "D", "out", "sink", "in");
    addStream(vapour, Defaults("R", "recycle"), "D", "out", "M", "in");
  }
  void pre(int, int) override {}
  void post(int, int) override {}
  void makeUserEquations(Position &) override {}
};

void registerTypes() {
  static const bool registered = [] {
    registerLibraryTypes();
    NodeFactory().registerType<PengRobinsonRecycle>("PengRobinsonRecycle",
                                                    "Peng-Robinson drum with a recycle", "flowsheet",
                                                    true, {}, {}, {}, "", 100, 100);
    return true;
  }();
  (void)registered;
}

Stream &stream(FlowSheet &fs, const char *tag) { return dynamic_cast<Stream &>(fs.child(tag)); }

double enthalpyFlow(FlowSheet &fs, const char *tag) {
  auto &total = dynamic_cast<Phase::MassMolarProperties &>(*stream(fs, tag).Tphase);
  return total.mdot.value() * total.h.value();
}

// Feed of 1 kmol/s at 350 K and 21 bar (H2, Chemical1, Chemical2);
// cooler to 290 K and drum at 280 K, both at 20 bar; 20 % of the vapour
// purged. Nothing else is set: no estimates of the recycle.
std::unique_ptr<FlowSheet> makeCase() {
  registerTypes();
  std::unique_ptr<Node> node = NodeFactory().create(
      "PengRobinsonRecycle", Defaults("FS", "recycle drum"), 0, nullptr, nullptr, nullptr);
  std::unique_ptr<FlowSheet> fs(dynamic_cast<FlowSheet *>(node.release()));
  Stream &feed = stream(*fs, "F");
  auto &total = dynamic_cast<Phase::MassMolar &>(*feed.Tphase);
  total.ndot = Value(1.0, "kmol/s");
  const double x[] = {0.0, 0.3, 0.3, 0.4};
  for (int i = 0; i < NCOMPONENTS; ++i)
    total.x[i] = Value(i < 4 ? x[i] : 0.0);
  feed.T = Value(350.0, "K");
  feed.P = Value(21e5, "Pa");
  feed.setFlash(static_cast<int>(Velta::Utility::FlashMode::PT));
  for (const auto &[tag, T] : {std::pair{"C", 290.0}, std::pair{"DR", 280.0}}) {
    auto &unit = dynamic_cast<FlashDrumBase &>(fs->child(tag));
    unit.option = "PT";
    unit.T = Value(T, "K");
    unit.P = Value(20e5, "Pa");
  }
  auto &divider = dynamic_cast<Divider &>(fs->child("D"));
  divider.outSplit[0] = Value(0.2);
  divider.outSplit[1] = Value(0.8);
  fs->addCut("R");
  fs->setup();
  return fs;
}

double duty(FlowSheet &fs, const char *unit) {
  return dynamic_cast<FlashDrumBase &>(fs.child(unit)).duty.value();
}

void expectBalancedDuties(FlowSheet &fs) {
  const double cooler = enthalpyFlow(fs, "S1") - enthalpyFlow(fs, "S2");
  EXPECT_NEAR(duty(fs, "C"), cooler, 1e-9 * std::fabs(cooler));
  const double drum = enthalpyFlow(fs, "S2") - enthalpyFlow(fs, "V") - enthalpyFlow(fs, "L");
  EXPECT_NEAR(duty(fs, "DR"), drum, 1e-6 * std::fabs(cooler));
}

void expectNoErrors(FlowSheet &fs) {
  for (const std::string &e : fs.errors.value())
    ADD_FAILURE() << e;
  for (const char *unit : {"M", "C", "DR", "D"})
    for (const std::string &e : dynamic_cast<Model &>(fs.child(unit)).errors.value())
      ADD_FAILURE() << unit << ": " << e;
}

// The two states agree to the relative tolerance.
void expectSameState(FlowSheet &a, FlowSheet &b, double tolerance) {
  for (const char *tag : {"S1", "S2", "V", "L", "P", "R"}) {
    Stream &x = stream(a, tag), &y = stream(b, tag);
    EXPECT_NEAR(x.T.value(), y.T.value(), tolerance * y.T.value()) << tag;
    EXPECT_NEAR(x.Tphase->mdot.value(), y.Tphase->mdot.value(), tolerance * y.Tphase->mdot.value())
        << tag;
    EXPECT_NEAR(enthalpyFlow(a, tag), enthalpyFlow(b, tag),
                tolerance * std::fabs(enthalpyFlow(b, tag)))
        << tag;
  }
  for (const char *unit : {"C", "DR"})
    EXPECT_NEAR(duty(a, unit), duty(b, unit), tolerance * std::fabs(duty(b, "C"))) << unit;
}

class RecycleDrum : public StoreTest {
protected:
  void SetUp() override {
    StoreTest::SetUp();
    if (IsSkipped())
      return;
    saved_ = verbosityGlobal;
    verbosityGlobal = 0;
    addKernelComponents();
  }
  void TearDown() override {
    components.clear();
    verbosityGlobal = saved_;
  }
  int saved_ = 0;
};

} // namespace

TEST_P(RecycleDrum, SequentialNewtonAndReloadedCaseAgree) {
  // Sequential passes alone, the default five passes at a time, until the
  // torn stream is within the flowsheet's tolerance.
  auto sequential = makeCase();
  for (int call = 0; call < 60; ++call) {
    sequential->go(1, 0);
    if (sequential->seqErr.value() < sequential->seqTol.value())
      break;
  }
  ASSERT_LT(sequential->seqErr.value(), sequential->seqTol.value());
  expectNoErrors(*sequential);
  auto simultaneous = makeCase();
  simultaneous->calculate(0);
  expectNoErrors(*simultaneous);

  // The recycle enters the mixer (through its torn copy Rbis) at the
  // drum's temperature; the sequential passes stop at their tolerance
  // (1e-6 on the torn stream).
  for (FlowSheet *fs : {sequential.get(), simultaneous.get()}) {
    EXPECT_NEAR(stream(*fs, "R").T.value(), 280.0, 1e-6);
    EXPECT_NEAR(stream(*fs, "Rbis").T.value(), 280.0, 1e-5);
    EXPECT_NEAR(stream(*fs, "S2").T.value(), 290.0, 1e-6);
    expectBalancedDuties(*fs);
  }
  expectSameState(*sequential, *simultaneous, 1e-5);
  // Two phases in the drum and a real recycle.
  EXPECT_GT(stream(*simultaneous, "L").Tphase->mdot.value(), 1.0);
  EXPECT_GT(stream(*simultaneous, "R").Tphase->mdot.value(), 1.0);

  PersistencyOdbc store(dsn_);
  const int id = simultaneous->insert(store);
  std::unique_ptr<Node> node =
      NodeFactory().create("PengRobinsonRecycle", Defaults(), id, &store, nullptr, nullptr);
  auto &back = dynamic_cast<FlowSheet &>(*node);
  back.restoreCuts();
  back.initializeNonPersistents();
  back.calculate(0);
  expectNoErrors(back);
  expectBalancedDuties(back);
  expectSameState(back, *simultaneous, 1e-8);
}

INSTANTIATE_TEST_SUITE_P(Odbc, RecycleDrum, testing::Values(Database::sqlite),
                         databaseParameterName);
