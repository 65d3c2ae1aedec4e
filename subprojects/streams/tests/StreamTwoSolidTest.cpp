// The vapour-liquid streams with an inert solid phase: the fluid splits as
// a two-phase stream of the fluid alone would (the KRS case also against
// the independent reference of StreamTwoReference.py: methane + n-butane
// at 300 K and 30 bar, alfa 0.479762998785), the fractions sum to 1 over
// the three phases, PA returns to the PT state, and the fluid-basis alfa
// restored from stored whole-stream fractions.

#include "StreamMoreTypesSupport.h"

#include "velta/phases/MassMolarProperties.h"
#include "velta/utility/SharedEnumerations.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace streammoretest;
using Velta::Utility::FlashMode;
using Velta::Utility::PhaseIndex;

namespace {

template <class S> std::unique_ptr<S> makeByName(const std::string &type, const char *tag) {
  return makeNamed<S>(type, Defaults(tag, "test stream"));
}

// The fluids of a case and, last, an inert solid.
void useFluidsAndSolid(const Fluid &a, const Fluid &b) {
  useFluids({&a, &b});
  components.add(new SolidComponent("catalyst", PureData(), 3000.0, 1e8, 0.0));
}

void flash(Stream &s, FlashMode mode) {
  s.flashoption = Velta::Utility::flashModeName(static_cast<int>(mode));
  s.go(1);
  ASSERT_TRUE(s.errors.value().empty()) << s.errors.value().front();
}

struct SolidCase {
  const char *name;
  const char *alias, *twoPhase, *vapor, *liquid;
  bool gas;
  double T, P, alfa; // alfa of the fluid alone, < 0 when taken from the reference stream
};

void PrintTo(const SolidCase &c, std::ostream *os) { *os << c.name; }

class StreamTwoSolidFlash : public StreamTwoFixture,
                            public testing::WithParamInterface<SolidCase> {};

template <class S, class R> void checkAgainstFluidAlone(const SolidCase &c) {
  if (c.gas)
    useFluidsAndSolid(methane, butane);
  else
    useFluidsAndSolid(pentane, hexane);
  auto reference = makeTwo<R>(c.twoPhase, c.vapor, c.liquid, "R");
  setFeed(*reference, {0.5, 0.5, 0.0}, c.T, c.P);
  flash(*reference, FlashMode::PT);
  const double alfa = c.alfa > 0.0 ? c.alfa : reference->alfa.value();
  EXPECT_NEAR(reference->alfa.value(), alfa, 1e-6);

  auto s = makeByName<S>(c.alias, "S");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->type(), S::typeName()) << "an alias is its base type";
  EXPECT_EQ(s->embeddedTypePhase[1].value(), c.liquid);
  setFeed(*s, {0.25, 0.25, 0.5}, c.T, c.P);
  flash(*s, FlashMode::PT);
  const double V = s->Vphase->fraction.value(), L = s->Lphase->fraction.value(),
               S_ = s->Sphase->fraction.value();
  EXPECT_NEAR(V + L + S_, 1.0, 1e-14);
  EXPECT_NEAR(S_, 0.5, 1e-15);
  EXPECT_NEAR(s->alfa.value(), alfa, 1e-6);
  EXPECT_NEAR(V, 0.5 * alfa, 1e-6);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_NEAR(s->Vphase->fracs()[i].value(), reference->Vphase->fracs()[i].value(), 1e-6);
    EXPECT_NEAR(s->Lphase->fracs()[i].value(), reference->Lphase->fracs()[i].value(), 1e-6);
  }
  EXPECT_EQ(s->Sphase->fracs()[2].value(), 1.0);
  EXPECT_EQ(s->Vphase->fracs()[2].value(), 0.0);

  // PA at the PT state's whole-stream vapour fraction returns to its T.
  auto pa = makeByName<S>(c.alias, "PA");
  setFeed(*pa, {0.25, 0.25, 0.5}, c.T - 5.0, c.P);
  pa->Vphase->fraction = V;
  pa->Lphase->fraction = L;
  pa->Sphase->fraction = S_;
  flash(*pa, FlashMode::PA);
  EXPECT_NEAR(pa->T.value(), c.T, 1e-4);
  EXPECT_NEAR(pa->Vphase->fraction.value(), V, 1e-15) << "PA keeps the set point";
  EXPECT_NEAR(pa->Vphase->fraction.value() + pa->Lphase->fraction.value() +
                  pa->Sphase->fraction.value(),
              1.0, 1e-9);
}

TEST_P(StreamTwoSolidFlash, FluidSplitsAsTheTwoPhaseStreamOfTheFluidAlone) {
  const SolidCase &c = GetParam();
  if (std::string(c.twoPhase) == "StreamVlT")
    checkAgainstFluidAlone<StreamSolidVlT, StreamVlT>(c);
  else
    checkAgainstFluidAlone<StreamSolidVlTx, StreamVlTx>(c);
}

INSTANTIATE_TEST_SUITE_P(
    Flash, StreamTwoSolidFlash,
    testing::Values(SolidCase{"Ideal", "StreamIdealLiquidSolidVapor", "StreamVlT",
                              "PhaseIdeal<vapor>", "PhaseIdeal<liquid>", false, 322.0, 101325.0,
                              -1.0},
                    SolidCase{"KwongRedlichSoave", "StreamKwongRedlichSoaveLiquidSolidVapor",
                              "StreamVlTx", "PhaseKwongRedlichSoave<vapor>",
                              "PhaseKwongRedlichSoave<liquid>", true, 300.0, 3e6,
                              0.479762998785}),
    [](const testing::TestParamInfo<SolidCase> &info) { return info.param.name; });

class StreamTwoSolidState : public StreamTwoFixture {
protected:
  void SetUp() override {
    StreamTwoFixture::SetUp();
    useFluidsAndSolid(pentane, hexane);
  }
};

TEST_F(StreamTwoSolidState, RestoredFractionsGiveTheFluidAlfa) {
  const struct {
    double V, L, S, alfa, fluid;
  } rows[] = {{0.3, 0.5, 0.2, 0.375, 0.8},
              {1.0 / 3.0, 1.0 / 3.0, 1.0 / 3.0, 0.5, 2.0 / 3.0},
              {0.0, 0.0, 1.0, 0.5, 0.0},
              {0.0, 0.7, 0.3, 0.0, 0.7},
              // Fractions that do not add up: no fluid side, no NaN.
              {0.0, 0.0, 0.5, 0.5, 0.5}};
  for (const auto &r : rows) {
    SCOPED_TRACE(testing::Message() << r.V << " " << r.L << " " << r.S);
    auto s = makeByName<StreamSolidVlT>("StreamIdealLiquidSolidVapor", "S");
    s->Vphase->fraction = r.V;
    s->Lphase->fraction = r.L;
    s->Sphase->fraction = r.S;
    s->initializeNonPersistentsCommon();
    EXPECT_NEAR(s->alfa.value(), r.alfa, 1e-15);
    EXPECT_NEAR(s->fluidFraction_.value(), r.fluid, 1e-15);
    EXPECT_NEAR(s->vaporFraction_.value(), r.alfa * r.fluid, 1e-15);
    EXPECT_NEAR(s->liquidFraction_.value(), (1.0 - r.alfa) * r.fluid, 1e-15);
  }
}

TEST_F(StreamTwoSolidState, PaEstimateTakesTheFluidBasis) {
  const struct {
    double V, L, S, alfa;
  } rows[] = {{0.0, 0.8, 0.2, 0.0}, {0.2, 0.6, 0.2, 0.25}, {0.2, 0.0, 1.0, 0.5}};
  for (const auto &r : rows) {
    auto s = makeByName<StreamSolidVlT>("StreamIdealLiquidSolidVapor", "S");
    setFeed(*s, {0.4, 0.4, 0.2}, 322.0, 101325.0);
    s->Vphase->fraction = r.V;
    s->Lphase->fraction = r.L;
    s->Sphase->fraction = r.S;
    s->setFlash(static_cast<int>(FlashMode::PA));
    s->estimateEquilibrium(s->P, s->T);
    EXPECT_NEAR(s->alfa.value(), r.alfa, 1e-15) << r.V << " " << r.L;
  }
}

TEST_F(StreamTwoSolidState, PhasesByIndex) {
  auto s = makeByName<StreamSolidVlTx>("StreamKwongRedlichSoaveLiquidSolidVapor", "S");
  EXPECT_EQ(s->Vphase->phaseIndex(), static_cast<int>(PhaseIndex::vapor));
  EXPECT_EQ(s->Lphase->phaseIndex(), static_cast<int>(PhaseIndex::liquid1));
  EXPECT_EQ(s->Sphase->phaseIndex(), static_cast<int>(PhaseIndex::solid1));
  s->Sphase->fraction = 0.25;
  EXPECT_EQ(s->Fraction(static_cast<int>(PhaseIndex::solid1), false).value(), 0.25);
  EXPECT_EQ(s->Fraction(static_cast<int>(PhaseIndex::liquid2), true).value(), 0.0);
  EXPECT_EQ(&s->X(static_cast<int>(PhaseIndex::solid1))[0], &s->Sphase->fracs()[0]);
  EXPECT_THROW(s->X(static_cast<int>(PhaseIndex::liquid2)), ErrorBrowsing);
  // One residual per component after the Rachford-Rice one; a solid's
  // is its K-value.
  std::vector<Value> residuals(s->size());
  setFeed(*s, {0.25, 0.25, 0.5}, 300.0, 3e6);
  s->setFlash(static_cast<int>(FlashMode::PT));
  s->estimate(s->P, s->T);
  s->prepare_residuals();
  EXPECT_EQ(s->calculateResidualsEquilibrium(residuals, 0), 4);
  EXPECT_EQ(residuals[3].value(), s->kVL_[2].value());
}

TEST_F(StreamTwoSolidState, NoFluidLeavesAlfaAlone) {
  auto s = makeByName<StreamSolidVlT>("StreamIdealLiquidSolidVapor", "S");
  std::vector<Value> residuals(s->size());
  setFeed(*s, {0.0, 0.0, 1.0}, 322.0, 101325.0);
  s->setFlash(static_cast<int>(FlashMode::PT));
  s->FlashBase::T = s->T;
  s->FlashBase::P = s->P;
  s->prepare_residuals();
  EXPECT_EQ(s->fluidFraction_.value(), 0.0);
  EXPECT_EQ(s->Sphase->fraction.value(), 1.0);
  EXPECT_EQ(s->vaporFraction_.value(), 0.0);
  EXPECT_EQ(s->calculateResidualsEquilibrium(residuals, 0), 1);
  EXPECT_EQ(residuals[0].value(), 0.0);
}

} // namespace
