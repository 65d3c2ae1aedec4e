// The stream base: flash specification, balances over the phases and their
// checks, the services for units, and the simple mass-balance streams.

#include "StreamTestSupport.h"

#include "velta/phases/MassMolarProperties.h"
#include "velta/streams/StreamSimple.h"
#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace streamtest;
using Velta::Utility::FlashMode;

namespace {

bool has(const StringVector &messages, const std::string &text) {
  const auto &v = messages.value();
  return std::find(v.begin(), v.end(), text) != v.end();
}

// Water-like (Tc 647 K), nitrogen-like (126 K), a component at exactly
// 298.15 K and a solid.
class SimpleStreams : public ComponentsFixture {
protected:
  void SetUp() override {
    components.clear();
    components.add(new CriticalComponent("Water", PureData(), 647.1, 220.6e5, 0.344));
    components.add(new CriticalComponent("Nitrogen", PureData(), 126.2, 33.9e5, 0.04));
    components.add(new CriticalComponent("Exact", PureData(), 298.15, 50e5, 0.1));
    components.add(new SolidComponent("Salt", PureData(), 3000.0, 100e5, 0.1));
  }
  // 1, 2, 3 and 4 kg/s of the four components.
  static void feed(Stream &s) {
    s.Tphase->mdot = Value(10.0, "kg/s");
    for (int i = 0; i < 4; ++i)
      s.Tphase->w[static_cast<std::size_t>(i)] = Value((i + 1) / 10.0);
  }
};

struct Routing {
  const char *type;
  // Tag of the phase that receives Water, Nitrogen, Exact, Salt.
  const char *home[4];
};

class SimpleRouting : public SimpleStreams, public testing::WithParamInterface<Routing> {};

TEST_P(SimpleRouting, EachComponentGoesToItsPhase) {
  const Routing &r = GetParam();
  auto s = makeStream(r.type);
  feed(*s);
  s->go(1);
  EXPECT_TRUE(s->errors.value().empty());
  Value fractions(0.0);
  for (Phase::Mass *p : s->phases()) {
    fractions += p->fraction;
    for (int i = 0; i < 4; ++i) {
      const double expected = p->tag() == r.home[i] ? i + 1.0 : 0.0;
      EXPECT_NEAR(p->mdotcomps[static_cast<std::size_t>(i)].value(), expected, 1e-12)
          << p->tag() << " component " << i;
    }
    EXPECT_NEAR(p->fraction.value(), p->mdot.value() / 10.0, 1e-15) << p->tag();
  }
  EXPECT_NEAR(fractions.value(), 1.0, 1e-15);
}

INSTANTIATE_TEST_SUITE_P(
    Instances, SimpleRouting,
    testing::Values(
        Routing{"StreamSimpleLiquidSolidVapor", {"Lphase[0]", "Vphase[0]", "Lphase[0]", "Sphase[0]"}},
        Routing{"StreamSimpleVapor", {"Vphase[0]", "Vphase[0]", "Vphase[0]", "Vphase[0]"}},
        Routing{"StreamSimpleLiquidSolid", {"Lphase[0]", "Lphase[0]", "Lphase[0]", "Sphase[0]"}},
        Routing{"StreamSimpleLiquid", {"Lphase[0]", "Lphase[0]", "Lphase[0]", "Lphase[0]"}},
        Routing{"StreamSimpleSolid", {"Sphase[0]", "Sphase[0]", "Sphase[0]", "Sphase[0]"}}),
    [](const auto &info) { return std::string(info.param.type); });

TEST_F(SimpleStreams, PhaseFractionChecksAndTheLastPhaseClosingTheSum) {
  const struct {
    double first;
    bool error;
  } cases[] = {{-1e-7, false}, {-2e-7, true}};
  for (const auto &c : cases) {
    auto s = makeStream("StreamSimpleLiquidSolidVapor");
    feed(*s);
    s->phases()[0]->fraction = Value(c.first);
    s->phases()[1]->fraction = Value(0.4);
    s->phases()[2]->fraction = Value(0.9);
    s->calculateXnoFlash(Stream::MassBalanceMode::Mw);
    EXPECT_EQ(has(s->errors, "negative phase fraction in Stream::calculateXnoFlash"), c.error)
        << c.first;
    // The last fraction is 1 - the others, and its flows follow it.
    EXPECT_NEAR(s->phases()[2]->fraction.value(), 0.6 - c.first, 1e-15);
    double flow = 0;
    for (Phase::Mass *p : s->phases())
      flow += p->mdot.value();
    EXPECT_NEAR(flow, 10.0, 1e-12);
  }
  auto s = makeStream("StreamSimpleLiquidSolidVapor");
  feed(*s);
  s->phases()[0]->fraction = Value(0.7);
  s->phases()[1]->fraction = Value(0.5);
  s->calculateXnoFlash(Stream::MassBalanceMode::Mw);
  EXPECT_TRUE(has(s->errors, "sum of phase fractions exceeds one"));
}

TEST_F(SimpleStreams, AStreamWithoutFlowSkipsTheFlashAndSharesTheFractions) {
  auto s = makeStream("StreamSimpleLiquidSolidVapor");
  s->Tphase->mdot = Value(0.0, "kg/s");
  s->T = Value(350.0, "K");
  s->go(1);
  EXPECT_TRUE(has(s->warnings, "zero material flow"));
  EXPECT_TRUE(s->errors.value().empty());
  for (Phase::Mass *p : s->phases())
    EXPECT_NEAR(p->fraction.value(), 1.0 / 3.0, 1e-15);
  EXPECT_EQ(s->iterations(), 0u);
  EXPECT_DOUBLE_EQ(s->T.value(), 350.0);
}

TEST_F(SimpleStreams, ClonesKeepQuantitiesButNotIntegersAndStrings) {
  auto s = makeStream("StreamSimpleLiquidSolid", "S07");
  feed(*s);
  s->go(1);
  s->flashoption = "PH";
  s->T = Value(333.0, "K");
  auto copy = s->clone();
  auto &c = dynamic_cast<Stream &>(*copy);
  EXPECT_EQ(c.type(), "StreamSimpleLiquidSolid");
  EXPECT_DOUBLE_EQ(c.T.value(), 333.0);
  EXPECT_DOUBLE_EQ(c.Tphase->mdot.value(), 10.0);
  EXPECT_EQ(c.NITER_NLEFlash.value(), -1);
  EXPECT_EQ(c.flashoption.value(), "PT");
  EXPECT_EQ(c.flowoption.value(), "Mw");
}

TEST_F(SimpleStreams, TotalsOfPhasesWithoutPropertiesAreZero) {
  auto s = makeStream("StreamSimpleLiquidSolidVapor");
  feed(*s);
  EXPECT_EQ(s->calculateTotalH().value(), 0.0);
  EXPECT_EQ(s->calculateTotalS().value(), 0.0);
  EXPECT_EQ(s->calculateTotalRho().value(), 0.0);
  std::vector<Value> y(2);
  EXPECT_EQ(s->calculateResidualsEos(y, 0), 0);
}

TEST_F(SimpleStreams, InertSolidsSplitFromTheFluid) {
  auto s = makeStreamOne("PhaseIdeal<liquid>");
  auto &x = dynamic_cast<Phase::MassMolar &>(*s->Tphase).x;
  std::vector<Quantity> inert = x;
  std::vector<Value> fluid(4);
  Value inertFraction, fluidFraction;
  const struct {
    std::vector<double> total, inert, fluid;
    double inertFraction, fluidFraction;
  } cases[] = {{{0.2, 0.3, 0.0, 0.5}, {0, 0, 0, 1}, {0.4, 0.6, 0, 0}, 0.5, 0.5},
               {{0.5, 0.5, 0.0, 0.0}, {0, 0, 0, 0}, {0.5, 0.5, 0, 0}, 0.0, 1.0},
               {{0.0, 0.0, 0.0, 1.0}, {0, 0, 0, 1}, {0, 0, 0, 0}, 1.0, 0.0}};
  for (const auto &c : cases) {
    for (int i = 0; i < 4; ++i)
      x[static_cast<std::size_t>(i)] = Value(c.total[static_cast<std::size_t>(i)]);
    s->calculateInertSolids(x, inert, Vector(&fluid), inertFraction, fluidFraction);
    EXPECT_DOUBLE_EQ(inertFraction.value(), c.inertFraction);
    EXPECT_DOUBLE_EQ(fluidFraction.value(), c.fluidFraction);
    for (std::size_t i = 0; i < 4; ++i) {
      EXPECT_DOUBLE_EQ(inert[i].value(), c.inert[i]) << i;
      EXPECT_DOUBLE_EQ(fluid[i].value(), c.fluid[i]) << i;
    }
  }
}

// Services of the stream base on single-phase ideal streams.
class StreamServices : public ComponentsFixture {
protected:
  void SetUp() override { use(lightAndHeavy()); }
};

TEST_F(StreamServices, GatherWeighsTemperaturesByMassFlow) {
  auto a = makeStreamOne("PhaseIdeal<liquid>", "A");
  auto b = makeStreamOne("PhaseIdeal<liquid>", "B");
  auto empty = makeStreamOne("PhaseIdeal<liquid>", "E");
  auto out = makeStreamOne("PhaseIdeal<liquid>", "O");
  // 1 kg/s at 300 K and 3e5 Pa, 3 kg/s at 400 K and 2e5 Pa (different
  // molar flows), an empty inlet at 1e5 Pa.
  setFeed(*a, {0.5, 0.5}, 300.0, 3e5, 0.1);
  setFeed(*b, {0.1, 0.9}, 400.0, 2e5, 0.1);
  a->Tphase->mdot = Value(1.0, "kg/s");
  a->Tphase->calculateX(Stream::MassBalanceMode::Mx);
  b->Tphase->mdot = Value(3.0, "kg/s");
  b->Tphase->calculateX(Stream::MassBalanceMode::Mx);
  setFeed(*empty, {0.5, 0.5}, 500.0, 1e5, 0.0);
  Value P, T;
  gather(0, out.get(), {a.get(), empty.get(), b.get()}, P, T);
  EXPECT_NEAR(T.value(), 375.0, 1e-12);
  EXPECT_DOUBLE_EQ(P.value(), 2e5);
  EXPECT_NEAR(out->Tphase->mdot.value(), 4.0, 1e-12);

  gather(0, out.get(), {empty.get()}, P, T);
  EXPECT_EQ(T.value(), 298.15);
  EXPECT_EQ(P.value(), 101325.0);
  EXPECT_EQ(out->Tphase->totalFlow().value(), 0.0);

  auto simple = makeStream("StreamSimpleLiquid", "L");
  EXPECT_THROW(gather(0, out.get(), {simple.get()}, P, T), ErrorRunTime);
}

TEST_F(StreamServices, AddingTakesTheLowerPressureOfStreamsWithFlow) {
  auto lhs = makeStreamOne("PhaseIdeal<vapor>", "L");
  auto rhs = makeStreamOne("PhaseIdeal<vapor>", "R");
  setFeed(*lhs, {1.0, 0.0}, 300.0, 2e5, 1.0);
  setFeed(*rhs, {0.0, 1.0}, 300.0, 1e5, 0.0);
  *lhs += *rhs; // empty: changes nothing
  EXPECT_DOUBLE_EQ(lhs->P.value(), 2e5);
  EXPECT_NEAR(dynamic_cast<Phase::MassMolar &>(*lhs->Tphase).ndot.value(), 1.0, 1e-15);
  setFeed(*rhs, {0.0, 1.0}, 300.0, 3e5, 2.0);
  *lhs += *rhs;
  EXPECT_DOUBLE_EQ(lhs->P.value(), 2e5);
  EXPECT_NEAR(dynamic_cast<Phase::MassMolar &>(*lhs->Tphase).ndot.value(), 3.0, 1e-12);
  setFeed(*rhs, {0.0, 1.0}, 300.0, 1.5e5, 1.0);
  *lhs += *rhs;
  EXPECT_DOUBLE_EQ(lhs->P.value(), 1.5e5);
}

TEST_F(StreamServices, FlashSpecificationAndUpdate) {
  auto s = makeStreamOne("PhaseIdeal<vapor>");
  try {
    s->setFlash(static_cast<int>(FlashMode::PA));
    ADD_FAILURE() << "PA accepted";
  } catch (const ErrorSmartEnum &e) {
    EXPECT_EQ(e.message(), "Error was thrown by function: Stream::setFlash\n"
                           "Smart enumerator error: Unrecognized Flash mode: PA\n"
                           "Called from function: Stream::setFlash\n");
  }
  s->setFlash(static_cast<int>(FlashMode::PS));
  EXPECT_EQ(s->flashoption.value(), "PS");
  s->flashoption = "PH";
  s->setFlash(0);
  EXPECT_EQ(s->mode, static_cast<int>(FlashMode::PH));

  s->setFlash(static_cast<int>(FlashMode::RT));
  s->FlashBase::T = Value(400.0, "K");
  s->FlashBase::P = Value(5e5, "Pa");
  s->updateFlash();
  EXPECT_DOUBLE_EQ(s->T.value(), 298.15);
  EXPECT_DOUBLE_EQ(s->P.value(), 5e5);
}

TEST_F(StreamServices, SequentialAndSimultaneousGo) {
  auto s = makeStreamOne("PhaseIdeal<vapor>");
  setFeed(*s, {0.5, 0.5}, 350.0, 2e5);
  s->go(2);
  EXPECT_EQ(s->NITER_NLEFlash.value(), -1);
  EXPECT_EQ(s->nCalculations.value(), 0);
  s->go(1);
  EXPECT_EQ(s->NITER_NLEFlash.value(), 0);
  EXPECT_EQ(s->nCalculations.value(), 1);
  EXPECT_NEAR(dynamic_cast<Phase::MassMolarProperties &>(*s->Tphase).H.value(),
              30000.0 * (350.0 - 298.15), 1e-6);
}

TEST_F(StreamServices, RefusedPhasesAndModes) {
  EXPECT_THROW(makeStreamOne("PhaseSimple<vapor>"), ErrorRunTime);
  EXPECT_THROW(makeStreamOne(" "), ErrorObjectFactory);
  auto liquid = makeStreamOne("PhaseIdeal<liquid>");
  setFeed(*liquid, {0.5, 0.5}, 300.0, 1e5);
  liquid->flashoption = "RT";
  EXPECT_THROW(liquid->go(1), ErrorRunTime);
  auto s = makeStreamOne("PhaseIdeal<vapor>");
  EXPECT_THROW(s->setphase(static_cast<int>(Velta::Utility::PhaseIndex::solid1)), ErrorBrowsing);
  EXPECT_EQ(s->findPhaseIndex(static_cast<int>(Velta::Utility::PhaseIndex::liquid1)), -1);
  EXPECT_EQ(s->findPhase(static_cast<int>(Velta::Utility::PhaseIndex::vapor)), s->Tphase);
}

TEST_F(StreamServices, ClonesKeepTheEmbeddedPhase) {
  auto s = makeStreamOne("PhaseIdeal<liquid>");
  setFeed(*s, {0.2, 0.8}, 330.0, 3e5);
  s->go(1);
  auto copy = s->clone();
  auto &c = dynamic_cast<StreamOne &>(*copy);
  EXPECT_EQ(c.embeddedTypePhase.value(), "PhaseIdeal<liquid>");
  EXPECT_DOUBLE_EQ(c.T.value(), 330.0);
  EXPECT_DOUBLE_EQ(c.P.value(), 3e5);
  EXPECT_EQ(c.NITER_NLEFlash.value(), -1);
  EXPECT_EQ(c.Tphase->phaseType(), 2);
  EXPECT_EQ(c.Fraction(static_cast<int>(Velta::Utility::PhaseIndex::vapor), false).value(), 1.0);
}

} // namespace
