// The phase splitter and the degasser, and their revert, on the simple
// mass-balance streams (vapour, liquid and solid phases by component).

#include "UnitTestSupport.h"

#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <vector>

using namespace unittest;

namespace {

// Nitrogen goes to the vapour, water to the liquid, salt to the solid: an
// inlet of 10 kg/s with mass fractions 0.5, 0.3, 0.2 has phase fractions
// 0.5, 0.3 and 0.2 (their mass shares).
class PhaseUnits : public ComponentsFixture {
protected:
  void SetUp() override {
    components.clear();
    components.add(new CriticalComponent("Nitrogen", PureData(), 126.2, 33.9e5, 0.04));
    components.add(new CriticalComponent("Water", PureData(), 647.1, 220.6e5, 0.344));
    components.add(new SolidComponent("Salt", PureData(), 3000.0, 100e5, 0.1));
  }
  std::unique_ptr<Stream> inlet(std::vector<double> w = {0.5, 0.3, 0.2}, double mdot = 10.0) {
    auto s = makeStream("StreamSimpleLiquidSolidVapor", "IN");
    s->Tphase->mdot = Value(mdot, "kg/s");
    for (std::size_t i = 0; i < 3; ++i)
      s->Tphase->w[i] = Value(w[i]);
    s->T = Value(330.0, "K");
    s->P = Value(3e5, "Pa");
    s->go(1);
    return s;
  }
  static void join(Connectivity &unit, Stream &s, std::string port) { unit.attach(&s, port); }
};

TEST_F(PhaseUnits, SplitterSendsEachPhaseToItsOutlet) {
  auto in = inlet();
  auto splitter = makeUnit<Splitter>("Splitter");
  join(*splitter, *in, "in");
  std::vector<std::unique_ptr<Stream>> outs;
  for (const char *type : {"StreamSimpleVapor", "StreamSimpleLiquid", "StreamSimpleSolid"}) {
    outs.push_back(makeStream(type, std::string("O") + std::to_string(outs.size())));
    join(*splitter, *outs.back(), "out");
  }
  splitter->go(1, 0);
  ASSERT_TRUE(splitter->errors.value().empty()) << splitter->errors.value().front();
  const double mdot[] = {5.0, 3.0, 2.0};
  for (std::size_t i = 0; i < 3; ++i) {
    flash(*outs[i]);
    EXPECT_NEAR(outs[i]->Tphase->mdot.value(), mdot[i], 1e-12) << i;
    EXPECT_NEAR(outs[i]->Tphase->mdotcomps[i].value(), mdot[i], 1e-12) << i;
    EXPECT_DOUBLE_EQ(outs[i]->Tphase->fraction.value(), 1.0);
    EXPECT_DOUBLE_EQ(outs[i]->T.value(), 330.0);
    EXPECT_DOUBLE_EQ(outs[i]->P.value(), 3e5);
  }
  EXPECT_EQ(splitter->nCalculations.value(), 1);

  // Composing back: outlet flows 1, 3 and 4 kg/s give the shares 1/8, 3/8, 1/2.
  const double flows[] = {1.0, 3.0, 4.0};
  for (std::size_t i = 0; i < 3; ++i)
    *outs[i] *= Value(flows[i] / mdot[i]);
  splitter->revert();
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_NEAR(in->phases()[i]->fraction.value(), flows[i] / 8.0, 1e-15) << i;
    EXPECT_NEAR(in->phases()[i]->mdot.value(), flows[i], 1e-12) << i;
  }
}

TEST_F(PhaseUnits, SplitterIntoMultiPhaseOutletsEmptiesTheOtherPhases) {
  auto in = inlet();
  auto splitter = makeUnit<Splitter>("Splitter");
  join(*splitter, *in, "in");
  std::vector<std::unique_ptr<Stream>> outs;
  for (int i = 0; i < 3; ++i) {
    outs.push_back(makeStream("StreamSimpleLiquidSolidVapor", "O" + std::to_string(i)));
    join(*splitter, *outs.back(), "out");
  }
  splitter->go(1, 0);
  ASSERT_TRUE(splitter->errors.value().empty()) << splitter->errors.value().front();
  for (std::size_t i = 0; i < 3; ++i)
    for (std::size_t j = 0; j < 3; ++j) {
      const Phase::Mass &p = *outs[i]->phases()[j];
      EXPECT_DOUBLE_EQ(p.fraction.value(), i == j ? 1.0 : 0.0) << i << "," << j;
      EXPECT_NEAR(p.mdot.value(), i == j ? in->phases()[j]->mdot.value() : 0.0, 1e-12);
    }
}

TEST_F(PhaseUnits, SplitterFaults) {
  auto in = inlet();
  auto wrong = makeUnit<Splitter>("Splitter");
  join(*wrong, *in, "in");
  std::vector<std::unique_ptr<Stream>> outs;
  for (const char *type : {"StreamSimpleLiquid", "StreamSimpleVapor", "StreamSimpleSolid"}) {
    outs.push_back(makeStream(type, std::string("O") + std::to_string(outs.size())));
    join(*wrong, *outs.back(), "out");
  }
  try {
    wrong->go(1, 0);
    FAIL() << "no error";
  } catch (const ErrorRunTime &e) {
    EXPECT_NE(e.message().find("incompatible phase type vapor for stream O0"), std::string::npos)
        << e.message();
  }
  // Fewer outlets than phases: an error of the unit, no abort.
  auto few = makeUnit<Splitter>("Splitter");
  join(*few, *in, "in");
  join(*few, *outs[0], "out");
  few->go(1, 0);
  EXPECT_EQ(few->errors.value().size(), 1u);
  EXPECT_EQ(few->nCalculations.value(), 0);
  // An empty inlet: a warning and outlets without flow at its T and P.
  auto empty = inlet({0.5, 0.3, 0.2}, 0.0);
  auto bypass = makeUnit<Splitter>("Splitter");
  join(*bypass, *empty, "in");
  std::vector<std::unique_ptr<Stream>> zeros;
  for (int i = 0; i < 3; ++i) {
    zeros.push_back(makeStream("StreamSimpleLiquidSolidVapor", "Z" + std::to_string(i)));
    zeros.back()->Tphase->mdot = Value(1.0, "kg/s");
    join(*bypass, *zeros.back(), "out");
  }
  bypass->go(1, 0);
  EXPECT_TRUE(has(bypass->warnings, "Empty inlet stream, bypassing block"));
  for (auto &z : zeros) {
    EXPECT_EQ(z->Tphase->mdot.value(), 0.0);
    EXPECT_DOUBLE_EQ(z->T.value(), 330.0);
  }
}

TEST_F(PhaseUnits, DegasserSeparatesTheVapourFromTheCondensate) {
  auto in = inlet();
  auto degasser = makeUnit<Degasser>("Degasser");
  auto vapor = makeStream("StreamSimpleVapor", "V");
  auto condensate = makeStream("StreamSimpleLiquidSolid", "C");
  join(*degasser, *in, "in");
  std::string port = "vapor";
  degasser->translate(port);
  EXPECT_EQ(port, "out1");
  degasser->attach(vapor.get(), port);
  port = "condensate";
  degasser->translate(port);
  degasser->attach(condensate.get(), port);
  EXPECT_EQ(port, "out2");
  degasser->go(1, 0);
  ASSERT_TRUE(degasser->errors.value().empty()) << degasser->errors.value().front();
  EXPECT_NEAR(condensate->phases()[0]->fraction.value(), 0.6, 1e-15);
  EXPECT_NEAR(condensate->phases()[1]->fraction.value(), 0.4, 1e-15);
  flash(*vapor);
  flash(*condensate);
  EXPECT_NEAR(vapor->Tphase->mdot.value(), 5.0, 1e-12);
  EXPECT_NEAR(condensate->Tphase->mdot.value(), 5.0, 1e-12);
  EXPECT_NEAR(condensate->phases()[0]->mdot.value(), 3.0, 1e-12);
  EXPECT_DOUBLE_EQ(condensate->T.value(), 330.0);
  EXPECT_DOUBLE_EQ(vapor->P.value(), 3e5);
  EXPECT_EQ(degasser->locationFromPort("out1"), 0);
  EXPECT_EQ(degasser->locationFromPort("out2"), 1);
  EXPECT_EQ(degasser->locationFromPort("in1"), 3);

  // Vapour 1 kg/s and condensate 3 kg/s: the inlet's vapour share is 1/4.
  *vapor *= Value(0.2);
  *condensate *= Value(0.6);
  degasser->revert();
  EXPECT_NEAR(in->phases()[0]->fraction.value(), 0.25, 1e-15);
  EXPECT_NEAR(in->phases()[1]->fraction.value(), 0.45, 1e-15);
  EXPECT_NEAR(in->Tphase->mdot.value(), 4.0, 1e-12);
}

TEST_F(PhaseUnits, DegasserOfAnAllVapourInletAndItsFaults) {
  auto in = inlet({1.0, 0.0, 0.0});
  auto degasser = makeUnit<Degasser>("Degasser");
  auto vapor = makeStream("StreamSimpleVapor", "V");
  auto condensate = makeStream("StreamSimpleLiquidSolid", "C");
  join(*degasser, *in, "in");
  join(*degasser, *vapor, "out1");
  join(*degasser, *condensate, "out2");
  degasser->go(1, 0);
  for (Phase::Mass *p : condensate->phases())
    EXPECT_EQ(p->fraction.value(), 0.0);
  // A condensate without the inlet's solid phase, a vapour outlet without
  // vapour phase: errors of the unit, no abort.
  auto liquidOnly = makeStream("StreamSimpleLiquid", "L");
  auto noSolid = makeUnit<Degasser>("Degasser");
  join(*noSolid, *in, "in");
  join(*noSolid, *vapor, "out1");
  join(*noSolid, *liquidOnly, "out2");
  noSolid->go(1, 0);
  auto noVapour = makeUnit<Degasser>("Degasser");
  join(*noVapour, *in, "in");
  join(*noVapour, *liquidOnly, "out1");
  join(*noVapour, *condensate, "out2");
  noVapour->go(1, 0);
  for (Degasser *d : {noSolid.get(), noVapour.get()}) {
    EXPECT_EQ(d->errors.value().size(), 1u);
    EXPECT_EQ(d->nCalculations.value(), 0);
  }
}

} // namespace
