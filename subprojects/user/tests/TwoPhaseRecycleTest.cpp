// The flash drum with a purged recycle of the library's worked example, with
// Peng-Robinson vapour-liquid streams throughout, on the kernel's components
// and from the start-up a user gets: feed F and the torn recycle Rbis mixed
// (MIX), cooled (HEATER, DT), flashed (DRUM, PT), the two-phase drum outlet
// S3 divided (DIV) into the product P and the recycle R. No estimate but
// the plain one of the recycle that the cut starts from.
//
// A divider's outlets are the inlet's state in other amounts, and the torn
// copy Rbis is R's: the same temperature, pressure and phase split, also
// after the flowsheet's Newton solution, which does not flash the divider's
// outlets. Every duty closes the enthalpy balance of the whole flowsheet.

#include "velta/components/ListComponents.h"
#include "velta/flowsheet/FlowSheet.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/streams/Stream.h"
#include "velta/user/KernelComponents.h"
#include "velta/user/KernelInitialization.h"
#include "velta/utility/Diagnostic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

namespace {

constexpr const char *twoPhase = "StreamPengRobinsonLiquidVapor";

class TwoPhaseRecycle : public FlowSheet {
public:
  TwoPhaseRecycle(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root),
        Model(defaults, id, persistency, parent, root),
        VertexBase(defaults, id, persistency, parent, root),
        FlowSheet(defaults, id, persistency, parent, root) {
    setType("TwoPhaseRecycle");
    if (persistency != nullptr)
      return;
    addUnit("Mixer", Defaults("MIX", "mixer"));
    addUnit("FlashDrum", Defaults("HEATER", "heater"));
    addUnit("FlashDrum", Defaults("DRUM", "drum"));
    addUnit("Divider", Defaults("DIV", "purge divider"));
    addStream(twoPhase, Defaults("F", "feed"), "source", "out", "MIX", "in");
    addStream(twoPhase, Defaults("S1", "mixed"), "MIX", "out", "HEATER", "in");
    addStream(twoPhase, Defaults("S2", "cooled"), "HEATER", "out", "DRUM", "in");
    addStream(twoPhase, Defaults("S3", "flashed"), "DRUM", "out", "DIV", "in");
    addStream(twoPhase, Defaults("P", "product"), "DIV", "out", "sink", "in");
    addStream(twoPhase, Defaults("R", "recycle"), "DIV", "out", "MIX", "in");
  }
  void pre(int, int) override {}
  void post(int, int) override {}
  void makeUserEquations(Position &) override {}
};

void registerTypes() {
  static const bool registered = [] {
    registerLibraryTypes();
    NodeFactory().registerType<TwoPhaseRecycle>("TwoPhaseRecycle", "two-phase recycle",
                                                "flowsheet", true, {}, {}, {}, "", 100, 100);
    return true;
  }();
  (void)registered;
}

// Temperature, 20 bar and component flows in kmol/h.
void specify(FlowSheet &fs, const std::string &stream, double T,
             std::initializer_list<std::pair<const char *, double>> flows) {
  fs.Q(stream + ".T").set(T, "K");
  fs.Q(stream + ".P").set(20.0, "bar");
  fs.S(stream + ".flowoption") = "N";
  dynamic_cast<Stream &>(fs.at(stream)).clearComposition();
  for (const auto &[component, flow] : flows)
    fs.Q(stream + ":Tphase.ndotcomps", component).set(flow, "kmol/h");
}

// Water with hydrogen and Chemical1 at 350 K, cooled to 300 K, flashed at
// the drum's temperature and 15 bar; the product takes the purge share.
std::unique_ptr<FlowSheet> makeCase(double purge, double drumT) {
  registerTypes();
  std::unique_ptr<Node> node = NodeFactory().create("TwoPhaseRecycle", Defaults("FR", "recycle"),
                                                    0, nullptr, nullptr, nullptr);
  std::unique_ptr<FlowSheet> fs(dynamic_cast<FlowSheet *>(node.release()));
  fs->FlowSheet::setup();
  specify(*fs, "F", 350.0, {{"H2O", 100.0}, {"H2", 10.0}, {"Chemical1", 5.0}});
  fs->S("HEATER.option") = "DT";
  fs->Q("HEATER.T").set(300.0, "K");
  fs->Q("HEATER.deltaP").set(0.0, "Pa");
  fs->S("DRUM.option") = "PT";
  fs->Q("DRUM.T").set(drumT, "K");
  fs->Q("DRUM.P").set(15.0, "bar");
  fs->Q("DIV.outSplit[0]").set(purge, "");
  specify(*fs, "R", 280.0, {{"H2O", 50.0}, {"H2", 20.0}});
  fs->addCut("R");
  return fs;
}

void solve(FlowSheet &fs) {
  fs.resetErrors();
  fs.calculate(0);
  fs.reportMessages();
  for (const std::string &error : fs.errors.value())
    ADD_FAILURE() << error;
}

double value(FlowSheet &fs, const std::string &path) { return fs.Q(path).value(); }

double enthalpyFlow(FlowSheet &fs, const std::string &stream) {
  auto &total = dynamic_cast<Phase::MassMolarProperties &>(*dynamic_cast<Stream &>(fs.at(stream)).Tphase);
  return total.mdot.value() * total.h.value();
}

// The intensive state of a stream equals that of the stream it copies.
void expectSameState(FlowSheet &fs, const std::string &copy, const std::string &of,
                     double tolerance) {
  SCOPED_TRACE(copy + " as " + of);
  EXPECT_NEAR(value(fs, copy + ".T"), value(fs, of + ".T"), tolerance * value(fs, of + ".T"));
  EXPECT_NEAR(value(fs, copy + ".P"), value(fs, of + ".P"), tolerance * value(fs, of + ".P"));
  EXPECT_NEAR(value(fs, copy + ":Tphase.H"), value(fs, of + ":Tphase.H"),
              tolerance * std::fabs(value(fs, of + ":Tphase.H")));
  EXPECT_NEAR(value(fs, copy + ":Vphase.fraction"), value(fs, of + ":Vphase.fraction"),
              tolerance);
  for (const char *component : {"H2O", "H2", "Chemical1"})
    for (const char *phase : {":Vphase.x", ":Lphase.x"})
      EXPECT_NEAR(fs.Q(copy + phase, component).value(), fs.Q(of + phase, component).value(),
                  tolerance)
          << phase << " " << component;
}

// The heater and drum remove what the feed brings in above the product.
void expectEnergyBalance(FlowSheet &fs) {
  const double removed = enthalpyFlow(fs, "F") - enthalpyFlow(fs, "P");
  EXPECT_NEAR(value(fs, "HEATER.duty") + value(fs, "DRUM.duty"), removed,
              1e-7 * std::fabs(removed));
}

class TwoPhaseRecycleTest : public testing::TestWithParam<double> {
protected:
  void SetUp() override {
    saved_ = verbosityGlobal;
    verbosityGlobal = -10;
    addKernelComponents();
  }
  void TearDown() override {
    components.clear();
    verbosityGlobal = saved_;
  }
  int saved_ = 0;
};

} // namespace

TEST_P(TwoPhaseRecycleTest, DividerOutletsAndTornCopyKeepTheDrumState) {
  auto fs = makeCase(GetParam(), 280.0);
  solve(*fs);
  EXPECT_NEAR(value(*fs, "S3.T"), 280.0, 1e-9);
  // Two phases leave the drum.
  EXPECT_GT(value(*fs, "S3:Vphase.fraction"), 0.05);
  EXPECT_LT(value(*fs, "S3:Vphase.fraction"), 0.95);
  for (const char *outlet : {"P", "R"})
    expectSameState(*fs, outlet, "S3", 1e-12);
  expectSameState(*fs, "Rbis", "R", 1e-9);
  EXPECT_NEAR(value(*fs, "P:Tphase.mdot"), value(*fs, "F:Tphase.mdot"),
              1e-9 * value(*fs, "F:Tphase.mdot"));
  expectEnergyBalance(*fs);
}

INSTANTIATE_TEST_SUITE_P(Purges, TwoPhaseRecycleTest, testing::Values(0.1, 0.3, 0.7),
                         [](const testing::TestParamInfo<double> &info) {
                           return "purge" + std::to_string(static_cast<int>(info.param * 100));
                         });

// A reset (as a study does after a failed round) makes every stream
// pristine; the next calculation of the flowsheet is Newton's alone, in
// which the torn copy follows the cut, not its last temperature.
TEST_F(TwoPhaseRecycleTest, NewtonAfterAResetFollowsTheCut) {
  auto reset = makeCase(0.3, 280.0);
  solve(*reset);
  reset->setPristineRecursive();
  reset->Q("DRUM.T").set(290.0, "K");
  solve(*reset);
  auto fresh = makeCase(0.3, 290.0);
  solve(*fresh);
  expectSameState(*reset, "Rbis", "R", 1e-9);
  EXPECT_NEAR(value(*reset, "Rbis.T"), 290.0, 1e-9);
  for (const char *tag : {"S1", "P"}) {
    EXPECT_NEAR(value(*reset, std::string(tag) + ".T"), value(*fresh, std::string(tag) + ".T"),
                1e-6)
        << tag;
    EXPECT_NEAR(value(*reset, std::string(tag) + ":Vphase.fraction"),
                value(*fresh, std::string(tag) + ":Vphase.fraction"), 1e-8)
        << tag;
  }
  expectEnergyBalance(*reset);
}
