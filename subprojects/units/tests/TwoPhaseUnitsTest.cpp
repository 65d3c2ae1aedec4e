// The splitter and the degasser on a vapour-liquid stream.

#include "StreamTwoTestSupport.h"
#include "UnitTestSupport.h"

#include <gtest/gtest.h>

using namespace unittest;
using streamtwotest::makeTwo;

namespace {

// Ideal phases, vapour pressures 5e5 and 2e4 Pa at every temperature: at
// 1e5 Pa the K-values are 5 and 0.2, and an equimolar feed splits by
// Rachford-Rice 0.5 * 4 / (1 + 4a) = 0.5 * 0.8 / (1 - 0.8a) into a = 0.5,
// vapour y = (5/6, 1/6), liquid x = (1/6, 5/6).
class VaporLiquid : public ComponentsFixture {
protected:
  void SetUp() override {
    PureData light;
    light.mw = 2.0;
    light.psat = 5e5;
    PureData heavy;
    heavy.mw = 18.0;
    heavy.psat = 2e4;
    use({{"Light", light}, {"Heavy", heavy}});
  }
  std::unique_ptr<Stream> feed() {
    auto s = makeTwo<Stream>("StreamVlT", "PhaseIdeal<vapor>", "PhaseIdeal<liquid>", "IN");
    setFeed(*s, {0.5, 0.5}, 300.0, 1e5, 2.0);
    s->go(1);
    EXPECT_TRUE(s->errors.value().empty());
    return s;
  }
  std::unique_ptr<Stream> two(const std::string &tag) {
    return makeTwo<Stream>("StreamVlT", "PhaseIdeal<vapor>", "PhaseIdeal<liquid>", tag);
  }
  static void join(Connectivity &unit, Stream &s, std::string port) { unit.attach(&s, port); }
  static Phase::MassMolar &molar(Phase::Mass *p) { return dynamic_cast<Phase::MassMolar &>(*p); }
};

TEST_F(VaporLiquid, SplitterIntoSinglePhaseAndTwoPhaseOutlets) {
  auto in = feed();
  ASSERT_NEAR(in->phases()[0]->fraction.value(), 0.5, 1e-8);
  auto splitter = makeUnit<Splitter>("Splitter");
  auto vapor = makeStreamOne("PhaseIdeal<vapor>", "V");
  auto liquid = makeStreamOne("PhaseIdeal<liquid>", "L");
  join(*splitter, *in, "in");
  join(*splitter, *vapor, "out");
  join(*splitter, *liquid, "out");
  splitter->go(1, 0);
  ASSERT_TRUE(splitter->errors.value().empty()) << splitter->errors.value().front();
  for (Stream *out : {vapor.get(), liquid.get()}) {
    EXPECT_DOUBLE_EQ(out->P.value(), 1e5);
    flash(*out);
    EXPECT_NEAR(out->T.value(), 300.0, 1e-6) << out->tag();
    EXPECT_NEAR(molar(out->Tphase).ndot.value(), 1.0, 1e-8) << out->tag();
  }
  EXPECT_NEAR(molar(vapor->Tphase).x[0].value(), 5.0 / 6.0, 1e-8);

  auto twoOuts = makeUnit<Splitter>("Splitter");
  auto first = two("A"), second = two("B");
  join(*twoOuts, *in, "in");
  join(*twoOuts, *first, "out");
  join(*twoOuts, *second, "out");
  twoOuts->go(1, 0);
  ASSERT_TRUE(twoOuts->errors.value().empty()) << twoOuts->errors.value().front();
  EXPECT_DOUBLE_EQ(first->phases()[0]->fraction.value(), 1.0);
  EXPECT_DOUBLE_EQ(first->phases()[1]->fraction.value(), 0.0);
  EXPECT_EQ(molar(first->phases()[1]).ndot.value(), 0.0);
  EXPECT_DOUBLE_EQ(second->phases()[1]->fraction.value(), 1.0);
  EXPECT_NEAR(molar(second->phases()[1]).x[1].value(), 5.0 / 6.0, 1e-8);

  // A vapour phase into a single-phase liquid outlet.
  auto wrong = makeUnit<Splitter>("Splitter");
  auto liquid2 = makeStreamOne("PhaseIdeal<liquid>", "L2");
  join(*wrong, *in, "in");
  join(*wrong, *liquid2, "out");
  join(*wrong, *vapor, "out");
  EXPECT_THROW(wrong->go(1, 0), ErrorRunTime);
}

TEST_F(VaporLiquid, DegasserSendsTheVapourUpAndTheLiquidDown) {
  auto in = feed();
  auto degasser = makeUnit<Degasser>("Degasser");
  auto vapor = two("V"), condensate = two("C");
  join(*degasser, *in, "in");
  join(*degasser, *vapor, "out1");
  join(*degasser, *condensate, "out2");
  degasser->go(1, 0);
  ASSERT_TRUE(degasser->errors.value().empty()) << degasser->errors.value().front();
  EXPECT_DOUBLE_EQ(vapor->phases()[0]->fraction.value(), 1.0);
  EXPECT_EQ(molar(vapor->phases()[1]).ndot.value(), 0.0);
  EXPECT_NEAR(molar(vapor->Tphase).ndot.value(), 1.0, 1e-8);
  EXPECT_NEAR(condensate->phases()[1]->fraction.value(), 1.0, 1e-8);
  EXPECT_DOUBLE_EQ(condensate->phases()[0]->fraction.value(), 0.0);
  EXPECT_NEAR(molar(condensate->Tphase).ndot.value(), 1.0, 1e-8);
  EXPECT_NEAR(molar(condensate->Tphase).x[1].value(), 5.0 / 6.0, 1e-8);
  EXPECT_DOUBLE_EQ(condensate->T.value(), 300.0);

  // Back: vapour 1 and condensate 1 kmol/s give the inlet's vapour share 1/2.
  degasser->revert();
  EXPECT_NEAR(in->phases()[0]->fraction.value(), 0.5, 1e-8);
  EXPECT_NEAR(molar(in->Tphase).ndot.value(), 2.0, 1e-8);
}

} // namespace
