// Reactions embedded in a flash drum: fixed conversions in series and in
// parallel with their clipping, and an equilibrium reaction solved
// together with the outlet flash.

#include "FlashDrumTestSupport.h"
#include "ReactionTestSupport.h"

#include "velta/units/ReactionBuiltIn.h"

#include <gtest/gtest.h>

#include <map>

using namespace flashdrumtest;

namespace {

struct Rate {
  double nuA, nuB; // stoichiometric coefficients of A and B
  int key;         // key component
  double conv;     // given rate, kmol/s
};

// 2 kmol/s of (0.5, 0.5), so 1 kmol/s of A and of B, through a vapour
// drum at 400 K and 1 bar with the given reactions (option "conv").
class DrumReactions : public testing::Test {
protected:
  void SetUp() override {
    verbosityGlobal = 0;
    useClausiusPair();
  }
  void TearDown() override { components.clear(); }

  std::unique_ptr<FlashDrum> run(const std::string &mode, const std::vector<Rate> &rates) {
    in = feed("F", {0.5, 0.5}, 400.0, 1e5, 2.0);
    out = vaporLiquid("OUT");
    Defaults options("D1", "drum");
    options.setInteger("nReactions", static_cast<int>(rates.size()));
    for (std::size_t i = 0; i < rates.size(); ++i)
      options.setString("embeddedTypeReactions[" + std::to_string(i) + "]", "ReactionYield");
    auto d = makeDrum<FlashDrum>("FlashDrum", options);
    d->reactionMode = mode;
    d->T = Value(400.0, "K");
    d->P = Value(1e5, "Pa");
    join(*d, *in, "in");
    join(*d, *out, "out");
    d->setup();
    for (std::size_t i = 0; i < rates.size(); ++i) {
      auto &r = dynamic_cast<ReactionYield &>(*d->reactions[i]);
      r.setCoefficient("A", rates[i].nuA);
      r.setCoefficient("B", rates[i].nuB);
      r.keycomp = rates[i].key;
      r.option = "conv";
      r.conv = Value(rates[i].conv, "kmol/s");
    }
    d->go(1, 0);
    return d;
  }
  double outFlow(int i) const { return out->Tphase->flow(i).value(); }

  std::unique_ptr<Stream> in, out;
};

// 2 A -> B at 0.5 kmol/s consumes 1 kmol/s of A; B -> 2 A produces A.
const Rate dimerize{-2.0, 1.0, 0, 0.5};
const Rate dimerizeFast{-2.0, 1.0, 0, 1.0};
const Rate split{2.0, -1.0, 1, 0.25};

TEST_F(DrumReactions, ParallelRatesAreClippedPerConsumingReaction) {
  const struct {
    const char *label;
    std::vector<Rate> rates;
    std::vector<double> actconv; // kmol/s
    double a, b;                 // outlet flows, kmol/s
    bool warned;
  } rows[] = {
      // deltan[A] = -2 against 1 kmol/s: both reactions get 1/2.
      {"two consumers", {dimerize, dimerize}, {0.25, 0.25}, 0.0, 1.5, true},
      // The net change -0.5 leaves A positive: nothing is cut.
      {"consumer and producer", {dimerize, split}, {0.5, 0.25}, 0.5, 1.25, false},
      // Net -1.5 against 1: only the consumer is slowed, by 1/1.5;
      // A = 1 - 2 * 2/3 + 2 * 0.25 = 1/6, B = 1 + 2/3 - 0.25.
      {"producer kept", {dimerizeFast, split}, {2.0 / 3.0, 0.25}, 1.0 / 6.0, 1.0 + 2.0 / 3.0 - 0.25,
       true},
  };
  for (const auto &row : rows) {
    auto d = run("parallel", row.rates);
    EXPECT_TRUE(d->errors.value().empty()) << row.label << messages(*d);
    EXPECT_EQ(has(d->warnings, "Conversion too high for component A in FlashDrum"), row.warned)
        << row.label << messages(*d);
    for (std::size_t j = 0; j < row.actconv.size(); ++j) {
      EXPECT_NEAR(d->reactions[j]->actconv.value(), row.actconv[j], 1e-12) << row.label << j;
      EXPECT_DOUBLE_EQ(d->reactions[j]->conv.value(), row.rates[j].conv) << row.label << j;
    }
    EXPECT_NEAR(outFlow(0), row.a, 1e-12) << row.label;
    EXPECT_NEAR(outFlow(1), row.b, 1e-12) << row.label;
    // Mass is kept: 30 + 60 kg/s.
    EXPECT_NEAR(out->Tphase->mdot.value(), 90.0, 1e-9) << row.label;
  }
}

TEST_F(DrumReactions, SeriesReactionsWorkOnWhatThePreviousOnesLeft) {
  // The first dimerization uses up A; the second finds none and is cut by
  // its own bounding, with its own warning.
  auto d = run("series", {dimerize, dimerize});
  EXPECT_TRUE(d->errors.value().empty()) << messages(*d);
  EXPECT_TRUE(has(d->reactions[1]->warnings, "Conversion too high for component A in Reaction "
                                             "type ReactionYield"))
      << messages(*d->reactions[1]);
  EXPECT_NEAR(d->reactions[0]->actconv.value(), 0.5, 1e-12);
  EXPECT_NEAR(d->reactions[1]->actconv.value(), 0.0, 1e-12);
  EXPECT_NEAR(outFlow(0), 0.0, 1e-12);
  EXPECT_NEAR(outFlow(1), 1.5, 1e-12);

  // A -> B does not keep mass (30 -> 60 kg/kmol): 30 kg/s per kmol/s of
  // extent against the bounds (|s| + 0.1 kg/h) / 1000 and / 100000 with
  // s about 180 kg/s.
  const struct {
    double conv;
    bool error, warning;
  } imbalances[] = {{0.5, true, false}, {0.001, false, true}, {1e-6, false, false}};
  for (const auto &row : imbalances) {
    auto unbalanced = run("series", {{-1.0, 1.0, 0, row.conv}});
    EXPECT_EQ(has(unbalanced->errors, "unbalanced reactions"), row.error) << row.conv;
    EXPECT_EQ(has(unbalanced->warnings, "unbalanced reactions"), row.warning) << row.conv;
  }

  // A mode other than the two exact words fails even without reactions.
  auto plain = run("series", {});
  plain->reactionMode = "Series";
  try {
    plain->go(1, 0);
    ADD_FAILURE() << "no error";
  } catch (const ErrorBrowsing &e) {
    const std::string text = e.message();
    EXPECT_NE(text.find("Object Series not found in model D1 of type Reaction processing mode"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("FlashDrumBase::computeReactionConversions_"), std::string::npos);
  }
}

// A PT drum at 1000 K and 1.5 bar embedding the reactions, fed with ndot
// kmol/s of a vapour of the given mole fractions at 900 K and 2 bar, set up.
struct VaporDrum {
  std::unique_ptr<FlashDrum> drum;
  std::unique_ptr<Stream> in, out;
};

VaporDrum vaporDrum(const std::vector<std::string> &reactions, const std::map<int, double> &x,
                    double ndot) {
  Defaults options("R1", "vapour drum");
  options.setInteger("nReactions", static_cast<int>(reactions.size()));
  for (std::size_t i = 0; i < reactions.size(); ++i)
    options.setString("embeddedTypeReactions[" + std::to_string(i) + "]", reactions[i]);
  VaporDrum v{makeDrum<FlashDrum>("FlashDrum", options), makeStream<Stream>("StreamVapor", "F"),
              makeStream<Stream>("StreamVapor", "OUT")};
  std::vector<double> fractions(static_cast<std::size_t>(NCOMPONENTS), 0.0);
  for (const auto &[i, xi] : x)
    fractions[static_cast<std::size_t>(i)] = xi;
  setFeed(*v.in, fractions, 900.0, 2e5, ndot);
  v.in->go(1);
  join(*v.drum, *v.in, "in");
  join(*v.drum, *v.out, "out");
  v.drum->option = "PT";
  v.drum->T = Value(1000.0, "K");
  v.drum->P = Value(1.5e5, "Pa");
  v.drum->setup();
  return v;
}

// Carbon (a solid) gasified by steam (C + H2O -> CO + H2) and burnt
// (C + O2 -> CO2) in parallel, each at 1 kmol/s, from 1 kmol/s of carbon:
// both are halved and marked as limited by a heterogeneous reactant.
TEST(SolidInParallel, VanishingSolidMarksTheConsumingReactions) {
  reactiontest::fillComponents();
  verbosityGlobal = 0;
  using namespace reactiontest;
  VaporDrum v = vaporDrum({"ReactionWaterGasC", "ReactionOxidationC"},
                          {{C, 0.2}, {H2O, 0.4}, {O2, 0.4}}, 5.0);
  FlashDrum *d = v.drum.get();
  Stream *out = v.out.get();
  d->reactionMode = "parallel";
  for (Reaction *r : d->reactions) {
    dynamic_cast<ReactionYield &>(*r).option = "conv";
    r->conv = Value(1.0, "kmol/s");
  }
  d->go(1, 0);
  EXPECT_TRUE(has(d->warnings, "Conversion too high for component C in FlashDrum"))
      << messages(*d);
  for (Reaction *r : d->reactions) {
    EXPECT_NEAR(r->actconv.value(), 0.5, 1e-12) << r->type();
    EXPECT_EQ(r->heterogeneousLimit, -1) << r->type();
  }
  EXPECT_NEAR(out->Tphase->flow(C).value(), 0.0, 1e-12);
  EXPECT_NEAR(out->Tphase->flow(CO).value(), 0.5, 1e-12);
  EXPECT_NEAR(out->Tphase->flow(CO2).value(), 0.5, 1e-12);
  EXPECT_NEAR(out->Tphase->flow(H2O).value(), 1.5, 1e-12);
  components.clear();
}

// CO2 + H2 -> CO + H2O (the reverse shift, Δn = 0) in a vapour drum at
// 1000 K: K = 10^-f(ln T) with the reaction's own polynomial is
// 0.692736133930606, so 1 kmol/s each of CO2 and H2 react to the extent
// xi with xi^2 / (1 - xi)^2 = K: xi = sqrt K / (1 + sqrt K) =
// 0.454240141365074 kmol/s (mpmath).
class EquilibriumDrum : public reactiontest::ReactionTest {};

TEST_F(EquilibriumDrum, ExtentSolvedWithTheFlashAndDutyBalances) {
  using namespace reactiontest;
  VaporDrum v = vaporDrum({"ReactionWaterGasShiftEquilibrium"}, {{CO2, 0.5}, {H2, 0.5}}, 2.0);
  FlashDrum *d = v.drum.get();
  Stream *in = v.in.get(), *out = v.out.get();
  ASSERT_EQ(d->nreactionEquilibriums.value(), 1);
  d->go(1, 0);
  ASSERT_TRUE(d->errors.value().empty()) << messages(*d);
  EXPECT_EQ(static_cast<int>(d->size()), d->flashUnknowns() + 1);
  EXPECT_EQ(d->unknownTag(d->size() - 1), "reaction[0].conv");
  EXPECT_EQ(d->reactions[0]->S("option"), "conv");
  const double xi = 0.454240141365074;
  EXPECT_NEAR(d->reactions[0]->conv.value(), xi, 1e-9);
  EXPECT_NEAR(out->Tphase->flow(CO).value(), xi, 1e-9);
  EXPECT_NEAR(out->Tphase->flow(H2O).value(), xi, 1e-9);
  EXPECT_NEAR(out->Tphase->flow(CO2).value(), 1.0 - xi, 1e-9);
  EXPECT_NEAR(out->Tphase->flow(H2).value(), 1.0 - xi, 1e-9);
  EXPECT_NEAR(out->T.value(), 1000.0, 1e-9);
  EXPECT_GT(d->NITER.value(), 0);
  // The duty is the feed's enthalpy flow less the outlet's (formation
  // enthalpies included), and a PH drum given that duty lands on 1000 K.
  const double balance = props(*in).mdot.value() * props(*in).h.value() -
                         props(*out).mdot.value() * props(*out).h.value();
  EXPECT_NEAR(d->duty.value(), balance, 1e-9 * std::fabs(balance));

  VaporDrum second = vaporDrum({"ReactionWaterGasShiftEquilibrium"}, {{CO2, 0.5}, {H2, 0.5}}, 2.0);
  FlashDrum *ph = second.drum.get();
  ph->option = "PH";
  ph->T = Value(298.15, "K"); // the first flash starts from the feed's 900 K
  ph->duty = Value(balance, "W");
  ph->go(1, 0);
  ASSERT_TRUE(ph->errors.value().empty() && ph->warnings.value().empty()) << messages(*ph);
  EXPECT_NEAR(ph->T.value(), 1000.0, 1e-6);
  EXPECT_NEAR(ph->reactions[0]->conv.value(), xi, 1e-8);
}

} // namespace
