// What the heat transfer unit, the pipe and the pump share as flash drums
// with one inlet: a second inlet is refused when it is attached, and their
// embedded reactions are attached by their set-up as the flash drum's are.

#include "PipeTestSupport.h"

#include "velta/units/Reaction.h"

#include <gtest/gtest.h>

using namespace pipetest;

namespace {

const char *const oneInletTypes[] = {"HeatTransfer", "Pipe", "Pump"};

class OneInletUnits : public testing::Test {
protected:
  void SetUp() override {
    verbosityGlobal = 0;
    useClausiusPair();
  }
  void TearDown() override { components.clear(); }
};

TEST_F(OneInletUnits, ASecondInletIsRefusedWhenAttached) {
  for (const char *type : oneInletTypes) {
    auto unit = makeDrum<FlashDrum>(type, Defaults("U1", "unit"));
    auto first = feed("F1", {0.5, 0.5}, 400.0, 1e5, 0.001);
    auto second = feed("F2", {0.5, 0.5}, 400.0, 1e5, 0.001);
    join(*unit, *first, "in");
    EXPECT_THROW(join(*unit, *second, "in"), ErrorConnectivity) << type;
    EXPECT_THROW(join(*unit, *second, "in2"), ErrorConnectivity) << type;
    EXPECT_EQ(unit->nIn.value(), 1) << type;
  }
}

// 0.001 kmol/s of (0.5, 0.5) vapour at 400 K and 1 bar with 2 A -> B at a
// given rate of 2e-4 kmol/s: the outlet carries 1e-4 kmol/s of A and 7e-4
// of B, whichever unit embeds the reaction.
TEST_F(OneInletUnits, EmbeddedReactionsAreAppliedToTheOutlet) {
  for (const char *type : oneInletTypes) {
    Holder holder("FS");
    auto coldIn = feed("F1", {0.5, 0.5}, 400.0, 1e5, 0.001);
    auto coldOut = vaporLiquid("O1");
    auto &cold = holder.add<FlashDrum>("FlashDrum", Defaults("COLD", "process side"));
    join(cold, *coldIn, "in");
    join(cold, *coldOut, "out");
    cold.setup();
    cold.T = Value(400.0, "K");
    cold.P = Value(1e5, "Pa");
    cold.go(1, 0);

    Defaults options = heatTransferOptions("U1", 0);
    options.setInteger("nReactions", 1);
    options.setString("embeddedTypeReactions[0]", "ReactionYield");
    auto &unit = holder.add<FlashDrum>(type, options);
    auto in = feed("F2", {0.5, 0.5}, 400.0, 1e5, 0.001);
    auto out = vaporLiquid("O2");
    join(unit, *in, "in");
    join(unit, *out, "out");
    unit.setup();
    unit.T = Value(400.0, "K");
    unit.P = Value(1e5, "Pa");
    auto &reaction = dynamic_cast<ReactionYield &>(*unit.reactions.at(0));
    reaction.setCoefficient("A", -2.0);
    reaction.setCoefficient("B", 1.0);
    reaction.keycomp = 0;
    reaction.option = "conv";
    reaction.conv = Value(2e-4, "kmol/s");
    unit.go(1, 0);
    EXPECT_TRUE(unit.errors.value().empty()) << type << "\n" << messages(unit);
    EXPECT_TRUE(reaction.errors.value().empty()) << type << "\n" << messages(reaction);
    EXPECT_NEAR(out->Tphase->flow(0).value(), 1e-4, 1e-12) << type;
    EXPECT_NEAR(out->Tphase->flow(1).value(), 7e-4, 1e-12) << type;
  }
}

} // namespace
