// The decanter in a feed -> decanter -> (vapour, light, heavy liquid)
// flowsheet over nine components, water first: its children and ports,
// the set-up's drum and split row, the water-split equation by hand, and
// the light liquid brought to its water fraction.

#include "FlashDrumTestSupport.h"
#include "FlowsheetTestSupport.h"

#include "velta/flowsheet/Decanter.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using namespace flowsheettest;

namespace {

constexpr int water = 0;
constexpr int nComponents = 9;
const double lightSplits[nComponents] = {0.2, 0.5, 0.5, 1, 0.8, 0.5, 1, 1, 1};

class DecanterTest : public ComponentsFixture {
protected:
  void SetUp() override {
    verbosityGlobal = 0;
    // Water and seven organics stay liquid at 1 bar; "Gas" flashes off.
    std::vector<std::pair<std::string, PureData>> list;
    PureData liquid, gas;
    liquid.psat = 2e3;
    gas.psat = 5e6;
    list.emplace_back("H2O", liquid);
    for (int i = 1; i < nComponents - 1; ++i)
      list.emplace_back("Org" + std::to_string(i), liquid);
    list.emplace_back("Gas", gas);
    use(list);
    flashdrumtest::registerDrumTypes();
    registerFlowsheetTypes();
  }
  void TearDown() override {
    verbosityGlobal = 2;
    ComponentsFixture::TearDown();
  }

  // FEED -> DEC; DEC out1 -> V, out2 -> L1, out3 -> L2.
  std::unique_ptr<FlowSheet> flowsheet() {
    auto fs = makeFlowSheet<FlowSheet>("PlainFlowSheet");
    fs->addUnit("Decanter", Defaults("DEC", "decanter"));
    fs->addStream("StreamIdealLiquidVapor", Defaults("FEED", "feed"), "source", "out", "DEC", "in");
    fs->addStream("StreamVapor", Defaults("V", "vapour"), "DEC", "out", "sink", "in");
    fs->addStream("StreamIdealLiquidVapor", Defaults("L1", "light"), "DEC", "out", "sink", "in");
    fs->addStream("StreamIdealLiquidVapor", Defaults("L2", "heavy"), "DEC", "out", "sink", "in");
    std::vector<double> x(nComponents, 0.09);
    x[water] = 0.3;
    x[nComponents - 1] = 0.07;
    Stream &feed = streamOf(*fs, "FEED");
    setFeed(feed, x, 300.0, 1e5, 1.0);
    feed.setFlash(static_cast<int>(Velta::Utility::FlashMode::PT));
    testing::internal::CaptureStdout();
    fs->setup();
    testing::internal::GetCapturedStdout();
    return fs;
  }
  static Decanter &decanter(FlowSheet &fs) { return dynamic_cast<Decanter &>(fs.child("DEC")); }
};

TEST_F(DecanterTest, ChildrenPortsAndSetUp) {
  auto fs = flowsheet();
  Decanter &d = decanter(*fs);
  EXPECT_EQ(d.type(), "Decanter");
  EXPECT_EQ(d.xH2O.value(), 0.01);
  EXPECT_FALSE(d.xH2O.input() || d.xH2O.output());
  EXPECT_EQ(d.child("DRUM").type(), "FlashDegasser");
  EXPECT_EQ(d.child("SEP").type(), "Separator");
  struct Row {
    const char *stream, *from, *fromPort, *to, *toPort;
  };
  for (const Row &r :
       {Row{"L12", "DRUM", "out2", "SEP", "in1"}, Row{"F", "source", "out1", "DRUM", "in1"},
        Row{"V", "DRUM", "out1", "sink", "in1"}, Row{"L1", "SEP", "out1", "sink", "in2"},
        Row{"L2", "SEP", "out2", "sink", "in3"}}) {
    const Stream &s = streamOf(d, r.stream);
    EXPECT_EQ(s.fromTAG.value(), r.from) << r.stream;
    EXPECT_EQ(s.fromPort.value(), r.fromPort) << r.stream;
    EXPECT_EQ(s.toTAG.value(), r.to) << r.stream;
    EXPECT_EQ(s.toPort.value(), r.toPort) << r.stream;
  }
  EXPECT_EQ(d.maxNIn.value(), 1);
  EXPECT_EQ(d.maxNOut.value(), 3);
  for (const auto &[port, side] :
       std::vector<std::pair<const char *, int>>{{"out1", 0}, {"out2", 2}, {"out3", 1}, {"in1", 3}})
    EXPECT_EQ(d.locationFromPort(port), side) << port;

  // The set-up: an adiabatic drum at the feed pressure, the split row.
  EXPECT_EQ(d.S("DRUM.option"), "DH");
  EXPECT_EQ(d.S("SEP.option"), "D");
  for (const char *q : {"DRUM.deltaP", "DRUM.duty", "SEP.deltaP"}) {
    EXPECT_EQ(d.Q(q).value(), 0.0) << q;
    EXPECT_TRUE(d.Q(q).input()) << q;
  }
  for (int j = 0; j < nComponents; ++j) {
    EXPECT_EQ(d.Q("SEP.outSplit", 0, j).value(), lightSplits[j]) << j;
    EXPECT_TRUE(d.Q("SEP.outSplit", 0, j).input()) << j;
  }
}

struct SplitCase {
  const char *name;
  double split, x, xH2O;
  double rhs; // s (1 + (xH2O - x) / x), by hand
};

void PrintTo(const SplitCase &c, std::ostream *os) { *os << c.name; }

const SplitCase splitCases[] = {
    {"AtTheTargetUnchanged", 0.2, 0.01, 0.01, 0.2},
    {"TwiceTheWaterHalved", 0.2, 0.02, 0.01, 0.1},
    {"HalfTheWaterDoubled", 0.3, 0.005, 0.01, 0.6},
    {"OtherTarget", 0.5, 0.1, 0.04, 0.2},
};

class DecanterSplit : public DecanterTest, public testing::WithParamInterface<SplitCase> {};

TEST_P(DecanterSplit, WaterSplitEquation) {
  const SplitCase &c = GetParam();
  auto fs = flowsheet();
  Decanter &d = decanter(*fs);
  d.xH2O = Value(c.xH2O);
  Value &split = d.Q("SEP.outSplit", 0, water);
  split = Value(c.split);
  d.Q("L1:Tphase.x", water) = Value(c.x);
  SequentialAssembly::Position p = d.firstAssignment();
  verbosityGlobal = 0;
  testing::internal::CaptureStdout();
  d.makeUserEquations(p);
  const std::string log = testing::internal::GetCapturedStdout();
  // Written whatever the verbosity.
  EXPECT_NE(log.find("Entered for DEC"), std::string::npos) << log;
  std::ostringstream printed;
  printed << "SEP.outSplit[0][H2O] = " << c.split << " ";
  EXPECT_NE(log.find(printed.str()), std::string::npos) << log;
  EXPECT_NE(log.find("L1.Tphase.x[H2O] = "), std::string::npos) << log;
  ASSERT_EQ(d.assignments().size(), 1u);
  const Assignment &a = *d.assignments().front();
  EXPECT_EQ(a.LHSP, &split);
  EXPECT_NEAR(a.RHS.value(), c.rhs, 1e-15);
  EXPECT_EQ(a.tag, "water content of organic phase");
  EXPECT_EQ(a.text.size(), 100u);
  EXPECT_EQ(a.scale.value(), 1.0);
  EXPECT_TRUE(split.output());
  EXPECT_FALSE(split.input());
}

INSTANTIATE_TEST_SUITE_P(Cases, DecanterSplit, testing::ValuesIn(splitCases),
                         [](const testing::TestParamInfo<SplitCase> &info) {
                           return std::string(info.param.name);
                         });

TEST_F(DecanterTest, LightLiquidReachesItsWaterFraction) {
  auto fs = flowsheet();
  testing::internal::CaptureStdout();
  fs->calculate(0);
  testing::internal::GetCapturedStdout();
  Decanter &d = decanter(*fs);
  for (const Model *m : {static_cast<const Model *>(fs.get()), static_cast<const Model *>(&d)})
    for (const std::string &e : m->errors.value())
      ADD_FAILURE() << m->tag() << ": " << e;
  Stream &l1 = streamOf(*fs, "L1"), &l2 = streamOf(*fs, "L2"), &v = streamOf(*fs, "V");
  EXPECT_NEAR(l1.Q("Tphase.x", water).value(), 0.01, 1e-7);
  // Every component leaves the decanter; the organics split by the row.
  for (int j = 0; j < nComponents; ++j) {
    const double in = streamOf(*fs, "FEED").Tphase->flow(j).value();
    const double out =
        l1.Tphase->flow(j).value() + l2.Tphase->flow(j).value() + v.Tphase->flow(j).value();
    EXPECT_NEAR(out, in, 1e-9) << j;
  }
  const double liquid1 = l1.Tphase->flow(1).value() + l2.Tphase->flow(1).value();
  EXPECT_NEAR(l1.Tphase->flow(1).value(), 0.5 * liquid1, 1e-9);
  // The water split: xH2O = s w / (s w + organics of L1), w the liquid water.
  const double w = l1.Tphase->flow(water).value() + l2.Tphase->flow(water).value();
  const double organics = l1.Q("Tphase.ndot").value() - l1.Tphase->flow(water).value();
  const double s = 0.01 * organics / (w * 0.99);
  EXPECT_NEAR(d.Q("SEP.outSplit", 0, water).value(), s, 1e-6);
}

// With fewer than nine components the split row stops at the missing
// element, after the drum and separator settings.
TEST_F(DecanterTest, SetUpNeedsNineComponents) {
  use(lightAndHeavy());
  auto fs = makeFlowSheet<FlowSheet>("PlainFlowSheet");
  fs->addUnit("Decanter", Defaults("DEC", "decanter"));
  Decanter &d = decanter(*fs);
  testing::internal::CaptureStdout();
  try {
    d.setup();
    ADD_FAILURE() << "set up with two components";
  } catch (const ErrorRunTime &e) {
    EXPECT_NE(e.message().find("non-existant tag outSplit"), std::string::npos) << e.message();
    EXPECT_NE(e.message().find("Decanter::setup"), std::string::npos) << e.message();
  }
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(d.S("DRUM.option"), "DH");
  EXPECT_EQ(d.S("SEP.option"), "D");
  EXPECT_EQ(d.Q("SEP.outSplit", 0, 1).value(), 0.5);
}

} // namespace
