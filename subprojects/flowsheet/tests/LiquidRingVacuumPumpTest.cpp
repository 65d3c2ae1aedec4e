// The liquid-ring vacuum pump between a vacuum gas and a makeup water feed:
// its children and torn ring liquid, the set-up's estimate, the pass hooks,
// and the pump converged sequentially on its cut.

#include "FlashDrumTestSupport.h"
#include "FlowsheetTestSupport.h"

#include "velta/flowsheet/LiquidRingVacuumPump.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace flowsheettest;

namespace {

enum { water, air };

class VacuumPumpTest : public ComponentsFixture {
protected:
  void SetUp() override {
    verbosityGlobal = 0;
    // Water stays liquid down to the suction pressure, air is a gas.
    PureData liquid, gas;
    liquid.psat = 2e3;
    gas.psat = 1e9;
    gas.mw = 29.0;
    use({{"H2O", liquid}, {"Air", gas}});
    flashdrumtest::registerDrumTypes();
    registerFlowsheetTypes();
  }
  void TearDown() override {
    verbosityGlobal = 2;
    ComponentsFixture::TearDown();
  }

  // VAC (in1) and MAKEUP (in2) -> LRVP -> GAS (out1), PURGE (out2).
  std::unique_ptr<FlowSheet> flowsheet(double suction = 10132.5) {
    auto fs = makeFlowSheet<FlowSheet>("PlainFlowSheet");
    fs->addUnit("LiquidRingVacuumPump", Defaults("LRVP", "vacuum pump"));
    fs->addStream("StreamIdealLiquidVapor", Defaults("VAC", "vacuum gas"), "source", "out", "LRVP",
                  "in");
    fs->addStream("StreamIdealLiquidVapor", Defaults("MAKEUP", "makeup"), "source", "out", "LRVP",
                  "in");
    fs->addStream("StreamIdealLiquidVapor", Defaults("GAS", "gas"), "LRVP", "out", "sink", "in");
    fs->addStream("StreamIdealLiquidVapor", Defaults("PURGE", "purge"), "LRVP", "out", "sink",
                  "in");
    Stream &vac = streamOf(*fs, "VAC"), &makeup = streamOf(*fs, "MAKEUP");
    setFeed(vac, {0.05, 0.95}, 300.0, suction, 0.01);
    setFeed(makeup, {1.0, 0.0}, 290.0, 101325.0, 0.02);
    for (Stream *s : {&vac, &makeup})
      s->setFlash(static_cast<int>(Velta::Utility::FlashMode::PT));
    testing::internal::CaptureStdout();
    fs->setup();
    testing::internal::GetCapturedStdout();
    return fs;
  }
  static LiquidRingVacuumPump &pump(FlowSheet &fs) {
    return dynamic_cast<LiquidRingVacuumPump &>(fs.child("LRVP"));
  }
};

TEST_F(VacuumPumpTest, ChildrenAndTheTornRing) {
  auto fs = flowsheet();
  LiquidRingVacuumPump &p = pump(*fs);
  EXPECT_EQ(p.type(), "LiquidRingVacuumPump");
  EXPECT_EQ(p.maxNIn.value(), 2);
  EXPECT_EQ(p.maxNOut.value(), 2);
  EXPECT_EQ(p.sequential(), 100);
  EXPECT_FALSE(p.supportsSimultaneous());
  for (Quantity *q : {&p.P, &p.T, &p.purge})
    EXPECT_TRUE(q->input()) << q->tag();
  for (Quantity *q : {&p.cr, &p.We})
    EXPECT_TRUE(q->output()) << q->tag();
  const std::vector<std::pair<const char *, const char *>> units = {
      {"COMPRV", "Compressor"}, {"DRUM2", "FlashDegasser"}, {"TEE", "Divider"}, {"HX", "FlashDrum"},
      {"MIX1", "Mixer"},        {"DRUM1", "FlashDegasser"}, {"COMPRL", "Pump"}, {"MIX2", "Mixer"}};
  for (const auto &[tag, type] : units)
    EXPECT_EQ(p.child(tag).type(), type) << tag;
  EXPECT_EQ(p.I("TEE.nOutlets"), 2);
  EXPECT_NE(p.child("COMPRL").iconFile(false).find("Compressor"), std::string::npos);
  EXPECT_EQ(p.child("COMPRL").iconWidth(), 62);
  EXPECT_EQ(p.child("COMPRL").iconHeight(), 81.499969);
  struct Row {
    const char *stream, *from, *fromPort, *to, *toPort;
  };
  for (const Row &r :
       {Row{"S02", "MIX1", "out1", "DRUM1", "in1"}, Row{"S02V", "DRUM1", "out1", "COMPRV", "in1"},
        Row{"S02L", "DRUM1", "out2", "COMPRL", "in1"}, Row{"S03V", "COMPRV", "out1", "MIX2", "in1"},
        Row{"S03L", "COMPRL", "out1", "MIX2", "in2"}, Row{"S03", "MIX2", "out1", "DRUM2", "in1"},
        Row{"S05", "DRUM2", "out2", "TEE", "in1"}, Row{"S07", "TEE", "out2", "HX", "in1"},
        Row{"S01", "source", "out1", "MIX1", "in1"}, Row{"S00", "source", "out2", "MIX2", "in3"},
        Row{"S04", "DRUM2", "out1", "sink", "in1"}, Row{"S06", "TEE", "out1", "sink", "in2"},
        // The set-up tore the ring liquid.
        Row{"S08", "HX", "out1", "sink", "in3"}, Row{"S08bis", "source", "out3", "MIX1", "in2"}}) {
    const Stream &s = streamOf(p, r.stream);
    EXPECT_EQ(s.fromTAG.value(), r.from) << r.stream;
    EXPECT_EQ(s.fromPort.value(), r.fromPort) << r.stream;
    EXPECT_EQ(s.toTAG.value(), r.to) << r.stream;
    EXPECT_EQ(s.toPort.value(), r.toPort) << r.stream;
  }
  // The first ring liquid: 5000 kg/h of the first component.
  Stream &s08 = streamOf(p, "S08");
  EXPECT_NEAR(s08.Q("Tphase.mdot").value(), 5000.0 / 3600.0, 1e-12);
  EXPECT_EQ(s08.Q("Tphase.x", water).value(), 1.0);
  EXPECT_EQ(s08.Q("Tphase.x", air).value(), 0.0);
  EXPECT_EQ(p.S("COMPRV.option"), "P");
  EXPECT_EQ(p.S("HX.option"), "DT");
  for (const char *drum : {"DRUM1", "DRUM2"})
    EXPECT_EQ(p.S(std::string(drum) + ".option"), "DH") << drum;

  // A second set-up finds the ring torn already.
  testing::internal::CaptureStdout();
  p.setup();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(p.cuts().size(), 1u);
  EXPECT_FALSE(p.hasChild("S08bisbis"));
}

TEST_F(VacuumPumpTest, PassHooks) {
  auto fs = flowsheet();
  LiquidRingVacuumPump &p = pump(*fs);
  p.purge = Value(0.25);
  p.T = Value(285.0, "K");
  p.pre(1, 0);
  EXPECT_EQ(p.Q("TEE.outSplit", 0).value(), 0.25);
  EXPECT_EQ(p.Q("S08bis.T").value(), 285.0);
  EXPECT_EQ(p.Q("HX.T").value(), 285.0);
  for (const char *q : {"S08bis.P", "COMPRL.P", "COMPRV.P"})
    EXPECT_EQ(p.Q(q).value(), 101325.0) << q;

  // cr is the discharge over the suction pressure of the pump's inlet 1;
  // We the sum of the two powers whatever their signs.
  p.Q("COMPRL.We") = Value(-120.0, "W");
  p.Q("COMPRV.We") = Value(-3000.0, "W");
  p.post(1, 0);
  EXPECT_NEAR(p.cr.value(), 10.0, 1e-12);
  EXPECT_EQ(p.We.value(), -3120.0);
  p.Q("COMPRL.We") = Value(50.0, "W");
  p.post(1, 0);
  EXPECT_EQ(p.We.value(), -2950.0);

  // Calculated alone, the pump has no inlet in a parent.
  auto alone = makeFlowSheet<LiquidRingVacuumPump>("LiquidRingVacuumPump", "ALONE");
  try {
    alone->post(1, 0);
    ADD_FAILURE() << "post without a parent";
  } catch (const ErrorConnectivity &e) {
    EXPECT_NE(e.message().find("the inlet is not connected"), std::string::npos) << e.message();
    EXPECT_NE(e.message().find("LiquidRingVacuumPump::post"), std::string::npos) << e.message();
  }
}

// The enclosing flowsheet solves sequentially, then simultaneously with the
// pump as a block that converges its ring at every evaluation (its pass
// hook writes the torn ring liquid, which therefore is no unknown there).
TEST_F(VacuumPumpTest, ConvergesSequentiallyOnItsCut) {
  auto fs = flowsheet();
  testing::internal::CaptureStdout();
  fs->calculate(0);
  const std::string log = testing::internal::GetCapturedStdout();
  LiquidRingVacuumPump &p = pump(*fs);
  for (const Model *m : {static_cast<const Model *>(fs.get()), static_cast<const Model *>(&p)})
    for (const std::string &e : m->errors.value())
      ADD_FAILURE() << m->tag() << ": " << e;
  EXPECT_LE(p.NITER.value(), 100);
  EXPECT_NEAR(p.cr.value(), 10.0, 1e-12);
  EXPECT_NEAR(p.We.value(), p.Q("COMPRL.We").value() + p.Q("COMPRV.We").value(), 1e-9);
  EXPECT_NE(p.We.value(), 0.0);
  // The torn halves agree, to the tolerance of the sequential loop (the
  // ring is renewed by a tenth per pass); the recycle holds 1 - purge of
  // the liquids.
  const double tolerance = 1e-4;
  Stream &s08 = streamOf(p, "S08"), &bis = streamOf(p, "S08bis");
  const double ring = s08.Q("Tphase.mdot").value();
  EXPECT_NEAR(bis.Q("Tphase.mdot").value(), ring, tolerance * ring);
  EXPECT_NEAR(bis.T.value(), 278.15, 1e-6);
  const double purged = streamOf(*fs, "PURGE").Q("Tphase.mdot").value();
  EXPECT_NEAR(purged / (purged + ring), 0.1, tolerance);
  // What enters leaves.
  double in = 0.0, out = 0.0;
  for (const char *s : {"VAC", "MAKEUP"})
    in += streamOf(*fs, s).Q("Tphase.mdot").value();
  for (const char *s : {"GAS", "PURGE"})
    out += streamOf(*fs, s).Q("Tphase.mdot").value();
  EXPECT_NEAR(out, in, tolerance * in);
  EXPECT_NEAR(streamOf(*fs, "GAS").P.value(), 101325.0, 1e-6);
}

} // namespace
