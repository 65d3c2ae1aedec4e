// The two-phase streams: construction and refusal of unusable embedded
// types, and one table of flash cases per flash class against values
// computed independently (StreamTwoReference.py, run once with
// /usr/bin/python3; the figures are copied below).

#include "StreamTwoTestSupport.h"

#include "velta/phases/Generic.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace streamtwotest;
using Velta::Utility::FlashMode;
using Velta::Utility::PhaseIndex;

namespace {

int index(PhaseIndex p) { return static_cast<int>(p); }

// Flashes the stream in mode and requires a clean, converged calculation.
void flash(Stream &s, const char *mode) {
  s.flashoption = mode;
  s.go(1);
  EXPECT_TRUE(s.errors.value().empty()) << (s.errors.value().empty() ? "" : s.errors.value().front());
  EXPECT_TRUE(s.converged());
}

// max over the components of |ln y_i + ln phiV_i - ln x_i - ln phiL_i| from
// the phases' own compositions at the stream's T and P.
template <class S> double fugacityMismatch(S &s) {
  std::vector<Quantity> &y = s.Vphase->fracs();
  std::vector<Quantity> &x = s.Lphase->fracs();
  auto &v = s.VphaseGeneric_->model();
  auto &l = s.LphaseGeneric_->model();
  const Value T = s.FlashBase::T, P = s.FlashBase::P;
  v.prepare(T, Vector(&y));
  l.prepare(T, Vector(&x));
  v.preparefugacity(P, T, Vector(&y), Vector(&y).sum());
  l.preparefugacity(P, T, Vector(&x), Vector(&x).sum());
  double worst = 0.0;
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const double d = std::log(y[i].value()) + v.fugacity(i).value() - std::log(x[i].value()) -
                     l.fugacity(i).value();
    worst = std::max(worst, std::fabs(d));
  }
  return worst;
}

using StreamTwoBuild = StreamTwoFixture;

TEST_F(StreamTwoBuild, FourInstancesWithTheirPhasesNamesAndIndices) {
  useFluids({&pentane, &hexane});
  struct Case {
    const char *type, *vapor, *liquid;
    PhaseIndex vi, li;
    bool ideal;
  };
  for (const Case &c : {Case{"StreamVl", "PhaseIdeal<vapor>", "PhaseIdeal<liquid>",
                             PhaseIndex::vapor, PhaseIndex::liquid1, true},
                        Case{"StreamVlT", "PhaseIdeal<vapor>", "PhaseNrtl1", PhaseIndex::vapor,
                             PhaseIndex::liquid1, true},
                        Case{"StreamVlTx", "PhasePengRobinson<vapor>", "PhasePengRobinson<liquid>",
                             PhaseIndex::vapor, PhaseIndex::liquid1, false},
                        Case{"StreamLlTx", "PhaseIdeal<liquid>", "PhaseIdeal<liquid>",
                             PhaseIndex::liquid1, PhaseIndex::liquid2, false}}) {
    SCOPED_TRACE(c.type);
    auto s = makeTwo<Stream>(c.type, c.vapor, c.liquid);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->type(), c.type);
    EXPECT_EQ(s->representation(), Stream::MassBalanceMode::Nx);
    EXPECT_EQ(s->ideal(), c.ideal);
    ASSERT_EQ(s->phases().size(), 2u);
    EXPECT_EQ(s->phases()[0]->tag(), "Vphase");
    EXPECT_EQ(s->phases()[1]->tag(), "Lphase");
    EXPECT_EQ(s->phases()[0]->phaseIndex(), index(c.vi));
    EXPECT_EQ(s->phases()[1]->phaseIndex(), index(c.li));
    EXPECT_EQ(s->S("embeddedTypePhase[0]"), c.vapor);
    EXPECT_EQ(s->S("embeddedTypePhase[1]"), c.liquid);
    const std::string flashName = std::string(c.type) == "StreamVl"     ? "FlashVl"
                                  : std::string(c.type) == "StreamVlT"  ? "FlashVlT"
                                  : std::string(c.type) == "StreamVlTx" ? "FlashVlTx"
                                                                        : "FlashLlTx";
    EXPECT_EQ(s->objectiveFunction()->name(), flashName + "/StreamTwo[Liquid:" + c.liquid +
                                                  ", Vapor:" + c.vapor + "]:" + s->fullTag());
    std::unique_ptr<Node> copy = s->clone();
    EXPECT_EQ(copy->type(), c.type);
    EXPECT_EQ(dynamic_cast<Object &>(*copy).S("embeddedTypePhase[1]"), c.liquid);
  }
}

TEST_F(StreamTwoBuild, RefusesEmbeddedTypesItCannotFlash) {
  useFluids({&pentane, &hexane});
  // A phase without property model (offered among the phase types) and a
  // second vapour phase are errors that name the type, not a crash.
  try {
    makeTwo<Stream>("StreamVlT", "PhaseSimple<vapor>", "PhaseIdeal<liquid>");
    FAIL() << "no error";
  } catch (const ErrorDynamicCast &error) {
    EXPECT_NE(std::string(error.message()).find("PhaseSimple<vapor>"), std::string::npos)
        << error.message();
  }
  try {
    makeTwo<Stream>("StreamVlTx", "PhaseIdeal<vapor>", "PhasePengRobinson<vapor>");
    FAIL() << "no error";
  } catch (const ErrorRunTime &error) {
    EXPECT_NE(std::string(error.message()).find("PhasePengRobinson<vapor>"), std::string::npos)
        << error.message();
  }
  // Blank types: the factory refuses the blank type name. Omitted ones take
  // the ideal phases that the listing shows.
  registerStreamTwoTypes();
  const Defaults blank = Defaults("S01", "d").setString("embeddedTypePhase[1]", " ");
  EXPECT_THROW(NodeFactory().create("StreamVl", blank, 0, nullptr, nullptr, nullptr), Error);
  auto bare = NodeFactory().create("StreamVl", Defaults("S01", "d"), 0, nullptr, nullptr, nullptr);
  EXPECT_EQ(bare->child("Lphase").type(), "PhaseIdeal");
}

// StreamVl (K-values as the owner sets them) and StreamVlT (K = psat / P
// from the DIPPR-101 records) over ideal phases, n-pentane + n-hexane,
// z = (0.4, 0.6) at 101325 Pa. Reference: Raoult's law,
//   PT 328 K: K = (1.8206066300784591, 0.6346423268213657),
//             Rachford-Rice root alfa = 0.363651164744
//   bubble (sum z K = 1): 324.7391082268 K; dew (sum z / K = 1): 332.6336614566 K.
struct RaoultCase {
  const char *name;
  const char *type;
  const char *mode;
  double alfa; // set point in PA, expected in PT
  double T;    // given in PT, expected in PA
};

void PrintTo(const RaoultCase &c, std::ostream *os) { *os << c.name; }

class StreamTwoRaoult : public StreamTwoFixture, public testing::WithParamInterface<RaoultCase> {};

TEST_P(StreamTwoRaoult, MatchesTheHandCalculation) {
  const RaoultCase &c = GetParam();
  useFluids({&pentane, &hexane});
  const double K[2] = {1.8206066300784591, 0.6346423268213657};
  auto s = makeTwo<Stream>(c.type, "PhaseIdeal<vapor>", "PhaseIdeal<liquid>");
  FlashVl &f = dynamic_cast<FlashVl &>(*s);
  Phase::Mass &vapour = *s->phases()[0];
  Phase::Mass &liquid = *s->phases()[1];
  setFeed(*s, {0.4, 0.6}, std::string(c.mode) == "PT" ? c.T : 330.0, 101325.0);
  vapour.fraction = Value(c.alfa);
  if (std::string(c.type) == "StreamVl") {
    // The owner's K-values: fillkvl of FlashVl leaves them alone.
    f.kVL_[0] = Value(K[0]);
    f.kVL_[1] = Value(K[1]);
  }
  flash(*s, c.mode);
  EXPECT_NEAR(s->T.value(), c.T, 1e-6);
  // Within the solver's tolerances (1e-7 on the scaled unknowns).
  EXPECT_NEAR(f.alfa.value(), c.alfa, 1e-7);
  EXPECT_NEAR(vapour.fraction.value(), c.alfa, 1e-7);
  EXPECT_NEAR(liquid.fraction.value(), 1.0 - c.alfa, 1e-7);
  // y = K x at the solution temperature, on the phases.
  const double T = s->T.value();
  auto psat = [&](const Fluid &f) {
    return std::exp(f.c1 + f.c2 / T + f.c3 * std::log(T) + f.c4 * std::pow(T, f.c5));
  };
  const double Ks[2] = {psat(pentane) / 101325.0, psat(hexane) / 101325.0};
  double sumy = 0.0, sumx = 0.0;
  for (int i = 0; i < 2; ++i) {
    const double x = liquid.fracs()[static_cast<std::size_t>(i)].value();
    const double y = vapour.fracs()[static_cast<std::size_t>(i)].value();
    EXPECT_NEAR(y, Ks[i] * x, 1e-8) << i;
    sumx += x;
    sumy += y;
  }
  EXPECT_NEAR(sumx, 1.0, 1e-8);
  EXPECT_NEAR(sumy, 1.0, 1e-8);
}

INSTANTIATE_TEST_SUITE_P(
    Flash, StreamTwoRaoult,
    testing::Values(RaoultCase{"VlPT", "StreamVl", "PT", 0.363651164744, 328.0},
                    RaoultCase{"VlTPT", "StreamVlT", "PT", 0.363651164744, 328.0},
                    RaoultCase{"VlTBubble", "StreamVlT", "PA", 0.0, 324.7391082268},
                    RaoultCase{"VlTDew", "StreamVlT", "PA", 1.0, 332.6336614566}),
    [](const testing::TestParamInfo<RaoultCase> &info) { return info.param.name; });

// StreamVlTx: PT flashes after the ideal pre-solve. Reference values:
//   methane + n-butane, z = (0.5, 0.5), 300 K, 3 MPa, by successive
//   substitution on the cubic's fugacity coefficients (no interaction
//   parameters): PR alfa 0.479089104696, x0 0.156599835596, y0 0.873377071893;
//   SRK alfa 0.479762998785, x0 0.153633235019, y0 0.875587128624.
//   n-pentane + n-hexane, z = (0.4, 0.6), 101325 Pa, ideal vapour, modified
//   Raoult y P = x gamma psat: NRTL (alpha 0.3, b01 200 K, b10 100 K) at
//   322 K alfa 0.464019258204, x0 0.235772918979, y0 0.589695904108;
//   UNIFAC (CH3/CH2, combinatorial part only) at 328 K alfa 0.352211797676,
//   x0 0.311199818792, y0 0.563321359847.
struct TxCase {
  const char *name;
  const char *vapor, *liquid;
  bool gas; // methane + n-butane, else n-pentane + n-hexane
  double T, P, z0;
  double alfa, x0, y0;
};

void PrintTo(const TxCase &c, std::ostream *os) { *os << c.name; }

class StreamTwoVlTx : public StreamTwoFixture, public testing::WithParamInterface<TxCase> {};

TEST_P(StreamTwoVlTx, ConvergesToEqualFugacities) {
  const TxCase &c = GetParam();
  if (c.gas)
    useFluids({&methane, &butane});
  else
    useFluids({&pentane, &hexane});
  setNrtlBinary(0.3, 200.0, 100.0);
  setUnifacAlkanes();
  auto s = makeTwo<StreamVlTx>("StreamVlTx", c.vapor, c.liquid);
  setFeed(*s, {c.z0, 1.0 - c.z0}, c.T, c.P);
  flash(*s, "PT");
  EXPECT_FALSE(s->ideal()) << "the ideal pre-solve gives the flag back";
  EXPECT_GT(s->NITER_NLEFlash.value(), 0);
  // Equal fugacities to the solver's tolerances (1e-8 on the residuals,
  // 1e-7 on the scaled unknowns).
  EXPECT_LT(fugacityMismatch(*s), 1e-6);
  EXPECT_NEAR(s->alfa.value(), c.alfa, 1e-6);
  EXPECT_NEAR(s->Lphase->fracs()[0].value(), c.x0, 1e-6);
  EXPECT_NEAR(s->Vphase->fracs()[0].value(), c.y0, 1e-6);
  EXPECT_NEAR(s->kVL_[0].value(), c.y0 / c.x0, 1e-5 * c.y0 / c.x0);
}

INSTANTIATE_TEST_SUITE_P(
    Flash, StreamTwoVlTx,
    testing::Values(TxCase{"PengRobinson", "PhasePengRobinson<vapor>",
                           "PhasePengRobinson<liquid>", true, 300.0, 3e6, 0.5, 0.479089104696,
                           0.156599835596, 0.873377071893},
                    TxCase{"KwongRedlichSoave", "PhaseKwongRedlichSoave<vapor>",
                           "PhaseKwongRedlichSoave<liquid>", true, 300.0, 3e6, 0.5,
                           0.479762998785, 0.153633235019, 0.875587128624},
                    TxCase{"Nrtl", "PhaseIdeal<vapor>", "PhaseNrtl1", false, 322.0, 101325.0,
                           0.4, 0.464019258204, 0.235772918979, 0.589695904108},
                    TxCase{"Unifac", "PhaseIdeal<vapor>", "PhaseUnifac", false, 328.0, 101325.0,
                           0.4, 0.352211797676, 0.311199818792, 0.563321359847}),
    [](const testing::TestParamInfo<TxCase> &info) { return info.param.name; });

TEST_F(StreamTwoBuild, FailedIdealPreSolveGivesTheFlagBack) {
  useFluids({&pentane, &hexane});
  // No NRTL parameters: the liquid model throws during the ideal solve.
  auto s = makeTwo<StreamVlTx>("StreamVlTx", "PhaseIdeal<vapor>", "PhaseNrtl1");
  setFeed(*s, {0.4, 0.6}, 322.0, 101325.0);
  s->setFlash(static_cast<int>(FlashMode::PT));
  EXPECT_THROW(s->precompute_isIdeal(), Error);
  EXPECT_FALSE(s->ideal());
}

// StreamLlTx over one NRTL liquid model (alpha 0.2, b01 1000 K, b10 700 K)
// at 300 K: the liquid-liquid equilibrium (equal activities, solved by
// scipy) has x0 = 0.990724588450 in the rich and 0.020966493430 in the lean
// liquid; an equimolar feed puts 0.493972165873 of it into the rich liquid.
// A feed of x0 = 0.01 lies outside the gap and stays one liquid (the
// K-values of the vanished side: see the test).
struct LlCase {
  const char *name;
  double z0;
  double rich;  // x0 of the rich liquid (Vphase, K0 > 1), or the feed
  double lean;  // x0 of the lean liquid (Lphase)
  double alfa;  // fraction of the rich liquid
};

void PrintTo(const LlCase &c, std::ostream *os) { *os << c.name; }

class StreamTwoLlTx : public StreamTwoFixture, public testing::WithParamInterface<LlCase> {};

TEST_P(StreamTwoLlTx, SplitsInsideTheGapOnly) {
  const LlCase &c = GetParam();
  useFluids({&pentane, &hexane});
  setNrtlBinary(0.2, 1000.0, 700.0);
  kllEstimates = {{0, 20.0}, {1, 0.05}};
  auto s = makeTwo<StreamLlTx>("StreamLlTx", "PhaseNrtl1", "PhaseNrtl1");
  setFeed(*s, {c.z0, 1.0 - c.z0}, 300.0, 101325.0);
  flash(*s, "PT");
  EXPECT_NEAR(s->Vphase->fraction.value(), c.alfa, 1e-6);
  EXPECT_NEAR(s->Lphase->fracs()[0].value(), c.lean, 1e-6);
  if (c.alfa > 0.0) {
    EXPECT_NEAR(s->Vphase->fracs()[0].value(), c.rich, 1e-6);
    EXPECT_LT(fugacityMismatch(*s), 1e-6);
  } else {
    // The rich side has vanished (sum K z < 1) and the remaining liquid is
    // the feed. With the vanished-phase correction the K-values solve
    //   ln K_i + ln gamma_i(y / sum y) - ln gamma_i(z) - ln(sum K z) z_i = 0
    // (scipy: K = (7.682337580477, 0.169370910711), sum K z =
    // 0.244500577409); without it K0 would be about 34.
    EXPECT_NEAR(s->kz()->value(), 0.244500577409, 1e-8);
    EXPECT_NEAR(s->kVL_[0].value(), 7.682337580477, 1e-6);
    EXPECT_NEAR(s->kVL_[1].value(), 0.169370910711, 1e-8);
    EXPECT_NEAR(s->Lphase->fraction.value(), 1.0, 1e-12);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Flash, StreamTwoLlTx,
    testing::Values(LlCase{"InsideTheGap", 0.5, 0.990724588450, 0.020966493430, 0.493972165873},
                    LlCase{"OutsideTheGap", 0.01, 0.0, 0.01, 0.0}),
    [](const testing::TestParamInfo<LlCase> &info) { return info.param.name; });

TEST_F(StreamTwoBuild, LiquidLiquidRefusesEveryModeButPtAndKeepsTheStoredMode) {
  useFluids({&pentane, &hexane});
  auto s = makeTwo<StreamLlTx>("StreamLlTx", "PhaseIdeal<liquid>", "PhaseIdeal<liquid>");
  for (FlashMode m : {FlashMode::PA, FlashMode::PH, FlashMode::RH, FlashMode::RT, FlashMode::PS,
                      FlashMode::SA}) {
    try {
      s->setFlash(static_cast<int>(m));
      FAIL() << "accepted " << Velta::Utility::flashModeName(static_cast<int>(m));
    } catch (const ErrorSmartEnum &error) {
      const std::string text = error.message();
      EXPECT_NE(text.find("FlashLlTx::setFlash_"), std::string::npos) << text;
      EXPECT_NE(text.find("Flash mode"), std::string::npos) << text;
      EXPECT_NE(text.find("StreamTwo<class FlashLlTx>::setFlash"), std::string::npos) << text;
    }
    EXPECT_EQ(s->flashoption.value(), "PT");
    EXPECT_EQ(s->mode, static_cast<int>(FlashMode::PT));
  }
  EXPECT_THROW(s->setFlash(9), ErrorSmartEnum);
  EXPECT_EQ(s->flashoption.value(), "PT");
  s->setFlash(static_cast<int>(FlashMode::PT));
  EXPECT_EQ(s->flashoption.value(), "PT");
}

} // namespace
