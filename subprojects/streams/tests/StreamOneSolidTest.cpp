// The fluid-solid stream: the split of the total composition by component
// before every residual evaluation, the PH flash on the stream totals over
// both phases, the phases by PhaseIndex and the refused fluid types.

#include "StreamMoreTypesSupport.h"

#include "velta/phases/MassMolarProperties.h"
#include "velta/utility/SharedEnumerations.h"

#include <gtest/gtest.h>

using namespace streammoretest;
using Velta::Utility::FlashMode;
using Velta::Utility::PhaseIndex;

namespace {

std::unique_ptr<StreamOneSolid> makeOneSolid(const std::string &fluid,
                                             const std::string &tag = "S01") {
  Defaults options(tag, "test stream");
  if (!fluid.empty())
    options.setString("embeddedTypePhase", fluid);
  return makeNamed<StreamOneSolid>("StreamOneSolid", options);
}

class StreamOneSolidTest : public ComponentsFixture {
protected:
  // A liquid, a solid and a second liquid component.
  void SetUp() override {
    components.clear();
    PureData liquid;
    components.add(new CriticalComponent("water", liquid, 647.1, 220.6e5, 0.344));
    components.add(new SolidComponent("salt", PureData(), 3400.0, 1e8, 0.0));
    PureData other;
    other.mw = 46.0;
    components.add(new CriticalComponent("ethanol", other, 514.0, 61.4e5, 0.645));
  }
  static Phase::MassMolarProperties &total(Stream &s) {
    return dynamic_cast<Phase::MassMolarProperties &>(*s.Tphase);
  }
};

TEST_F(StreamOneSolidTest, SplitsTheTotalCompositionByComponent) {
  const struct {
    const char *name;
    std::vector<double> z, fluidx, solidx;
    double fluidFraction, solidFraction;
  } cases[] = {
      {"mixed", {0.5, 0.3, 0.2}, {0.5 / 0.7, 0.0, 0.2 / 0.7}, {0.0, 1.0, 0.0}, 0.7, 0.3},
      {"no solid", {0.6, 0.0, 0.4}, {0.6, 0.0, 0.4}, {0.0, 0.0, 0.0}, 1.0, 0.0},
      {"solid only", {0.0, 1.0, 0.0}, {0.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, 0.0, 1.0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    auto s = makeOneSolid("PhaseIdeal<liquid>");
    setFeed(*s, c.z, 300.0, 1e5);
    s->FlashBase::T = s->T;
    s->prepare_residuals();
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_NEAR(s->Xphase->fracs()[i].value(), c.fluidx[i], 1e-15) << i;
      EXPECT_NEAR(s->Sphase->fracs()[i].value(), c.solidx[i], 1e-15) << i;
    }
    EXPECT_NEAR(s->Xphase->fraction.value(), c.fluidFraction, 1e-15);
    EXPECT_NEAR(s->Sphase->fraction.value(), c.solidFraction, 1e-15);
    EXPECT_NEAR(s->sumx(static_cast<int>(PhaseIndex::liquid1)).value(),
                c.fluidFraction > 0.0 ? 1.0 : 0.0, 1e-15);
  }
}

TEST_F(StreamOneSolidTest, PhFlashUsesTheStreamTotals) {
  // PT at 320 K, then PH at that total enthalpy from 300 K: back at 320 K
  // only when the solid's enthalpy counts too.
  auto pt = makeOneSolid("PhaseIdeal<liquid>", "A");
  setFeed(*pt, {0.5, 0.3, 0.2}, 320.0, 2e5);
  pt->go(1);
  ASSERT_TRUE(pt->errors.value().empty()) << pt->errors.value().front();
  EXPECT_NEAR(pt->Sphase->fraction.value(), 0.3, 1e-15);
  EXPECT_EQ(pt->size(), 2u); // T and P: no equilibrium unknowns

  auto ph = makeOneSolid("PhaseIdeal<liquid>", "B");
  setFeed(*ph, {0.5, 0.3, 0.2}, 300.0, 2e5);
  total(*ph).H = total(*pt).H;
  ph->flashoption = "PH";
  ph->go(1);
  ASSERT_TRUE(ph->errors.value().empty()) << ph->errors.value().front();
  EXPECT_NEAR(ph->T.value(), 320.0, 1e-6);
}

TEST_F(StreamOneSolidTest, PhasesByIndexAndName) {
  auto s = makeOneSolid("PhaseIdeal<liquid>");
  EXPECT_EQ(s->type(), "StreamOneSolid");
  EXPECT_EQ(s->Xphase->tag(), "Xphase");
  EXPECT_EQ(s->Xphase->phaseIndex(), static_cast<int>(PhaseIndex::liquid1));
  EXPECT_EQ(s->Sphase->phaseIndex(), static_cast<int>(PhaseIndex::solid1));
  const std::string suffix = "StreamOneSolid[liquid:PhaseIdeal<liquid>]:" + s->fullTag();
  const std::string name = s->name();
  ASSERT_GE(name.size(), suffix.size());
  EXPECT_EQ(name.substr(name.size() - suffix.size()), suffix);
  const int vapor = static_cast<int>(PhaseIndex::vapor);
  EXPECT_EQ(s->Fraction(vapor, false).value(), 0.0);
  EXPECT_THROW(s->X(vapor), ErrorBrowsing);
}

TEST_F(StreamOneSolidTest, RefusesMissingAndNonGenericFluidTypes) {
  try {
    makeOneSolid(" ");
    FAIL() << "no error";
  } catch (const ErrorObjectFactory &e) {
    EXPECT_NE(e.message().find("embeddedTypePhase"), std::string::npos) << e.message();
  }
  // A phase without a property model, whatever its balance, names its type.
  for (const char *type : {"PhaseSimple<liquid>", "PhaseTotal"}) {
    try {
      makeOneSolid(type);
      ADD_FAILURE() << type;
    } catch (const Error &e) {
      EXPECT_NE(e.message().find(type), std::string::npos) << e.message();
    }
  }
}

TEST_F(StreamOneSolidTest, CloneKeepsTheFluidType) {
  auto s = makeOneSolid("PhaseIdeal<vapor>");
  std::unique_ptr<Node> copy = s->clone();
  auto &c = dynamic_cast<StreamOneSolid &>(*copy);
  EXPECT_EQ(c.embeddedTypePhase.value(), "PhaseIdeal<vapor>");
  EXPECT_EQ(c.Xphase->phaseIndex(), static_cast<int>(PhaseIndex::vapor));
}

} // namespace

namespace {

// A bare stream type takes the phase types its listing shows; a blank one
// given for them is an error naming the option.
TEST_F(StreamOneSolidTest, BareTypesTakeTheirListedPhasesAndNameABlankOne) {
  registerMoreStreamTypes();
  const struct {
    const char *type, *option, *phase;
  } cases[] = {{"StreamOne", "embeddedTypePhase", "Tphase"},
               {"StreamOneSolid", "embeddedTypePhase", "Xphase"},
               {"StreamVlT", "embeddedTypePhase[0]", "Vphase"},
               {"StreamSolidVlTx", "embeddedTypePhase[0]", "Vphase"}};
  for (const auto &c : cases) {
    auto bare = NodeFactory().create(c.type, Defaults("S01", "bare"), 0, nullptr, nullptr, nullptr);
    EXPECT_EQ(bare->child(c.phase).type(), "PhaseIdeal") << c.type;
    try {
      NodeFactory().create(c.type, Defaults("S01", "blank").setString(c.option, " "), 0, nullptr,
                           nullptr, nullptr);
      ADD_FAILURE() << c.type;
    } catch (const ErrorObjectFactory &e) {
      EXPECT_NE(e.message().find(std::string("\"") + c.option + "\""), std::string::npos)
          << c.type << ": " << e.message();
    }
  }
}

} // namespace
