// Two-phase reaction blocks: the reaction spread over two phases with its
// conversion cut, the transfer with its common factor, the checks before
// any term is written, and the electrochemical block's numbers.

#include "ReactionTestSupport.h"

#include "velta/core/Vector.h"
#include "velta/units/MultiReaction.h"
#include "velta/units/MultiReactionElectrochemical.h"
#include "velta/utility/Error.h"

#include <cmath>

using namespace reactiontest;

namespace {

double kmolPerSecond(const Value &v) { return v.toDouble("kmol/s"); }

template <class B> std::unique_ptr<B> makeBlock() {
  return std::make_unique<B>(Defaults("B1", "block"), 1, nullptr, nullptr, nullptr);
}

class MultiReactionBlock : public ReactionTest {
protected:
  // Two reacting sides: CO and CO2 on side 0, O2 on side 1;
  // CO + 0.5 O2 -> CO2 with the oxygen taken from side 1.
  void SetUp() override {
    ReactionTest::SetUp();
    side0 = molarPhase({{CO, 10}});
    side1 = molarPhase({{O2, 10}});
  }
  template <class B> std::unique_ptr<B> oxidation(double oxygenCoefficient) {
    auto block = makeBlock<B>();
    block->outp = {side0.get(), side1.get()};
    block->Q("coeffv[0][0]") = -1.0;
    block->Q("coeffv[0][2]") = 1.0;
    block->Q("coeffv[1][1]") = oxygenCoefficient;
    block->keyphase = 0;
    block->keycomp = CO; // index 0
    return block;
  }
  double term(const MultiReaction<2> &block, int k, int j) const {
    return kmolPerSecond(
        block.phases[static_cast<std::size_t>(k)]->ndotcomps[static_cast<std::size_t>(j)]);
  }

  std::unique_ptr<PhaseTotal> side0;
  std::unique_ptr<PhaseTotal> side1;
};

} // namespace

TEST_F(MultiReactionBlock, FreshBlock) {
  auto block = makeBlock<MultiReaction<2>>();
  EXPECT_EQ(block->nPhases.value(), 2);
  EXPECT_EQ(block->keyphase.value(), -1);
  EXPECT_EQ(block->keycomp.value(), -1);
  EXPECT_EQ(block->Q("coeffv[1][" + std::to_string(NCOMPONENTS - 1) + "]").value(), 0.0);
  EXPECT_EQ(block->phases[1]->tag(), "phases[1]");
  EXPECT_EQ(block->type(), "MultiReaction<2>");
}

TEST_F(MultiReactionBlock, SecondReactantInTheOtherPhaseCutsTheConversion) {
  // nu_K = -1, z = 1, O2 with nu = -2 and the key's flow: actz = 0.5.
  auto block = oxidation<MultiReaction<2>>(-2.0);
  block->z = 1.0;
  block->calculate(0);
  EXPECT_DOUBLE_EQ(block->actz.value(), 0.5);
  EXPECT_DOUBLE_EQ(kmolPerSecond(block->conv), 5.0);
  EXPECT_EQ(block->errors.value(),
            std::vector<std::string>{"Conversion too high for component O2;"});
  EXPECT_DOUBLE_EQ(term(*block, 0, CO), -5.0);
  EXPECT_DOUBLE_EQ(term(*block, 0, CO2), 5.0);
  EXPECT_DOUBLE_EQ(term(*block, 1, O2), -10.0);
  EXPECT_DOUBLE_EQ(kmolPerSecond(block->phases[0]->ndot), 0.0);
  EXPECT_EQ(block->nCalculations.value(), 1);
  // Without the other reactant the key cuts z = 1.2 back to 1.
  auto alone = oxidation<MultiReaction<2>>(0.0);
  alone->z = 1.2;
  alone->calculate(0);
  EXPECT_DOUBLE_EQ(alone->actz.value(), 1.0);
  EXPECT_DOUBLE_EQ(kmolPerSecond(alone->conv), 10.0);
}

TEST_F(MultiReactionBlock, UnusableKeyOrConnectionWritesNoTerm) {
  struct Case {
    const char *name;
    int keyphase, keycomp;
    double keyCoefficient;
    int nPhases;
    bool connected;
    const char *error;
  };
  const Case cases[] = {
      {"keyphase 2", 2, CO, -1, 2, true, "incorrect keyphase, bypassing block"},
      {"keyphase -1", -1, CO, -1, 2, true, "incorrect keyphase, bypassing block"},
      {"keycomp -1", 0, -1, -1, 2, true, "keycomp uninitialized, bypassing block"},
      {"keycomp beyond list", 0, NCOMPONENTS, -1, 2, true, "incorrect keycomp, bypassing block"},
      {"zero key coefficient", 0, CO, 0, 2, true,
       "zero coefficient of key component, bypassing block"},
      {"three phases", 0, CO, -1, 3, true, "Number of reacting phases does not match"},
      {"no phases", 0, CO, -1, 0, true, "No phases, nothing to do"},
      {"outp[1] unset", 0, CO, -1, 2, false, "Nothing connected, nothing to do"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    auto block = oxidation<MultiReaction<2>>(-0.5);
    block->keyphase = c.keyphase;
    block->keycomp = c.keycomp;
    block->Q("coeffv[0][0]") = c.keyCoefficient;
    block->nPhases = c.nPhases;
    if (!c.connected)
      block->outp[1] = nullptr;
    block->z = 0.5;
    const double before = term(*block, 0, CO);
    block->calculate(0);
    EXPECT_EQ(block->errors.value(), std::vector<std::string>{c.error});
    EXPECT_EQ(term(*block, 0, CO), before);
    EXPECT_EQ(block->nCalculations.value(), 0);
  }
}

TEST_F(MultiReactionBlock, NoFlowOnEitherSide) {
  side0 = molarPhase({});
  side1 = molarPhase({});
  auto block = oxidation<MultiReaction<2>>(-0.5);
  block->z = 0.5;
  block->calculate(0);
  EXPECT_EQ(block->errors.value(),
            std::vector<std::string>(2, "Zero inlet streams, bypassing block"));
  EXPECT_EQ(block->conv.value(), 0.0);
  EXPECT_EQ(term(*block, 0, CO), 0.0);
  // The transfer stops at once, keeping its previous terms.
  auto transfer = makeBlock<MultiReactionTransfer>();
  transfer->outp = {side0.get(), side1.get()};
  transfer->phases[0]->ndotcomps[CO] = Value(3.0, "kmol/s");
  transfer->calculate(0);
  EXPECT_EQ(transfer->errors.value(),
            std::vector<std::string>{"Zero inlet streams, bypassing block"});
  EXPECT_EQ(term(*transfer, 0, CO), 3.0);
}

TEST_F(MultiReactionBlock, TransferIsScaledDownWhenASideWouldRunOut) {
  side0 = molarPhase({{CO, 10}, {N2, 4}});
  side1 = molarPhase({{CO, 10}});
  auto transfer = makeBlock<MultiReactionTransfer>();
  transfer->outp = {side0.get(), side1.get()};
  // theta 1: side 1 takes all of N2; theta 1.5 on equal CO flows would take
  // twice what side 0 holds.
  transfer->theta[N2] = 1.0;
  transfer->theta[CO] = 1.5;
  transfer->calculate(0);
  EXPECT_DOUBLE_EQ(transfer->factor.value(), 0.5);
  EXPECT_EQ(
      transfer->warnings.value(),
      std::vector<std::string>{"Conversion too high for component CO in MultiReactionTransfer"});
  EXPECT_DOUBLE_EQ(term(*transfer, 1, CO), 10.0);
  EXPECT_DOUBLE_EQ(term(*transfer, 0, CO), -10.0);
  EXPECT_DOUBLE_EQ(term(*transfer, 1, N2), 2.0);
  EXPECT_DOUBLE_EQ(term(*transfer, 0, N2), -2.0);
  // theta 1 alone: no cut, the whole N2 flow moves.
  transfer->theta[CO] = 0.5;
  transfer->calculate(0);
  EXPECT_DOUBLE_EQ(transfer->factor.value(), 1.0);
  EXPECT_DOUBLE_EQ(term(*transfer, 1, N2), 4.0);
  EXPECT_DOUBLE_EQ(term(*transfer, 1, CO), 0.0);
  EXPECT_TRUE(transfer->warnings.value().empty());
}

namespace {

// H2 + 0.5 O2 -> H2O: hydrogen from side 0, oxygen from side 1.
class Electrochemical : public MultiReactionBlock {
protected:
  void SetUp() override {
    MultiReactionBlock::SetUp();
    side0 = molarPhase({{H2, 8}, {H2O, 2}});
    side1 = molarPhase({{O2, 3}, {N2, 7}});
    cell = makeBlock<MultiReactionElectrochemical>();
    cell->outp = {side0.get(), side1.get()};
    cell->Q("coeffv[0][" + std::to_string(H2) + "]") = -1.0;
    cell->Q("coeffv[0][" + std::to_string(H2O) + "]") = 1.0;
    cell->Q("coeffv[1][" + std::to_string(O2) + "]") = -0.5;
    cell->keyphase = 0;
    cell->keycomp = H2;
    cell->E0 = Value(1.2, "V");
    cell->Tact = Value(1000, "K");
    cell->specificResistance = Value(2e-8, "ohm*m2");
    cell->areaFactor1 = Value(2, "m");
    cell->areaFactor2 = Value(5, "m");
  }
  std::unique_ptr<MultiReactionElectrochemical> cell;
};

constexpr double F = 96485309.0; // C/kmol
constexpr double R = 8314.4;     // J/(kmol K)

} // namespace

TEST_F(Electrochemical, PotentialIsTheStandardOneAtUnitQuotient) {
  // No reaction coefficients: K = 1 and conv = 0.
  for (int k = 0; k < 2; ++k)
    for (Quantity &nu : cell->coeffv[static_cast<std::size_t>(k)])
      nu = 0.0;
  cell->Koption = "outlet";
  cell->Voffset = Value(0.1, "V");
  cell->calculateEquilibrium(Value(1.0), Value(1.0));
  EXPECT_DOUBLE_EQ(cell->Kout.value(), 1.0);
  EXPECT_DOUBLE_EQ(cell->E.toDouble("V"), 1.2);
  EXPECT_EQ(cell->I.value(), 0.0);
  EXPECT_EQ(cell->power.value(), 0.0);
  EXPECT_DOUBLE_EQ(cell->V.toDouble("V"), 1.3);
  EXPECT_DOUBLE_EQ(cell->Vset.value(), cell->V.value());
}

TEST_F(Electrochemical, NernstPotentialCurrentAndPower) {
  cell->z = 0.25;
  cell->calculate(0); // conv = 0.25 * 8 = 2 kmol/s
  cell->nCells = 10.0;
  cell->Koption = "outlet";
  cell->calculateEquilibrium(Value(2.0), Value(1.5));
  // K = 1 / ((x_H2 P0)^-1 (x_H2O P0) (x_O2 P1)^-0.5), fractions of the sides.
  const double K = (0.8 * 2.0) * std::sqrt(0.3 * 1.5) / (0.2 * 2.0);
  EXPECT_NEAR(cell->Kout.value(), K, 1e-12);
  const double E = 1.2 + R * 1000 / (2 * F) * std::log(K);
  EXPECT_NEAR(cell->E.toDouble("V"), E, 1e-12);
  const double I = 2 * F * 2.0 / 10;
  EXPECT_NEAR(cell->I.toDouble("A"), I, 1e-6);
  EXPECT_NEAR(cell->J.toDouble("A/m2"), I / 10, 1e-7);
  const double V = E - 2e-8 * I / 10;
  EXPECT_NEAR(cell->V.toDouble("V"), V, 1e-12);
  EXPECT_NEAR(cell->Vstack.toDouble("V"), 10 * V, 1e-11);
  // Whatever the number of cells, power = V 2 F conv.
  EXPECT_NEAR(cell->power.toDouble("W") / (V * 2 * F * 2.0), 1.0, 1e-14);
  EXPECT_NEAR(cell->powerDensity.toDouble("W/m2"), cell->power.value() / 10 / 10, 1e-6);
}

TEST_F(Electrochemical, QuotientChoicesAndSpecifiedVariable) {
  cell->z = 0.25;
  cell->calculate(0);
  cell->Koption = "outlet";
  cell->calculateEquilibrium(Value(1.0), Value(1.0));
  const double outlet = cell->E.value();
  // Kin = Kout: the linear and the logarithmic mean both give the outlet
  // value (the logarithmic mean by its limit, not 0/0).
  cell->Kin = cell->Kout.value();
  for (const char *choice : {"linear", "log"}) {
    cell->Koption = choice;
    cell->calculateEquilibrium(Value(1.0), Value(1.0));
    EXPECT_NEAR(cell->E.value(), outlet, 1e-14) << choice;
  }
  cell->Kin = 1.0;
  cell->calculateEquilibrium(Value(1.0), Value(1.0));
  const double Kout = cell->Kout.value();
  EXPECT_NEAR(cell->E.value(), 1.2 + R * 1000 / (2 * F) * std::log((Kout - 1.0) / std::log(Kout)),
              1e-12);
  // "J" keeps the set current density; the others follow the results.
  cell->option = "J";
  cell->Jset = Value(123.0, "A/m2");
  cell->calculateEquilibrium(Value(1.0), Value(1.0));
  EXPECT_EQ(cell->Jset.value(), 123.0);
  EXPECT_EQ(cell->Iset.value(), cell->I.value());
  EXPECT_EQ(cell->Vset.value(), cell->V.value());
  // An unknown option fails after the results are written.
  cell->option = "v";
  cell->V = Value(0.0, "V");
  EXPECT_THROW(cell->calculateEquilibrium(Value(1.0), Value(1.0)), ErrorBrowsing);
  EXPECT_NE(cell->V.value(), 0.0);
  cell->option = "z";
  cell->Koption = "mean";
  try {
    cell->calculateEquilibrium(Value(1.0), Value(1.0));
    FAIL() << "no error";
  } catch (const ErrorBrowsing &e) {
    EXPECT_NE(e.message().find("Object mean not found in model B1"), std::string::npos);
    EXPECT_NE(e.message().find(
                  "Called from function: MultiReactionElectrochemical::calculateEquilibrium"),
              std::string::npos);
  }
}

TEST_F(Electrochemical, DetailedLogWithoutOxygenInTheList) {
  components.clear();
  components.add(new purecomps::H2("H2", false));
  components.add(new purecomps::water("H2O"));
  auto h2 = molarPhase({{0, 1}, {1, 1}});
  auto water = molarPhase({{1, 1}});
  auto block = makeBlock<MultiReactionElectrochemical>();
  block->outp = {h2.get(), water.get()};
  verbosityGlobal = 4;
  testing::internal::CaptureStdout();
  EXPECT_NO_THROW(block->calculateEquilibrium(Value(1.0), Value(1.0)));
  const std::string log = testing::internal::GetCapturedStdout();
  verbosityGlobal = 0;
  EXPECT_NE(log.find("Teq = 298.15 K P0 = 1  P1 = 1 \n"), std::string::npos) << log;
}
