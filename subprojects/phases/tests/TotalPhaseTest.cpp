// Total phases over the member phases of a stream, and the mass-only
// phases.

#include "TestPhases.h"

#include "velta/phases/PhaseSimple.h"
#include "velta/phases/PhaseSimpleTotal.h"
#include "velta/phases/PhaseTotal.h"
#include "velta/utility/Error.h"
#include "velta/value/DerivativeContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>

using namespace phasetest;
using Phase::MassBalanceMode;

namespace {

const Value P0(101325.0, "Pa");
const Value T0(298.15, "K");

// The member phases of a stream with the fractions of its flash.
class TestStream : public StreamInterface {
public:
  void add(Phase::Mass &phase, double fraction) {
    members_.push_back(&phase);
    fractions_.emplace(&phase, Value(fraction));
  }
  std::vector<Phase::Mass *> &phases() override { return members_; }
  const Value &phaseFraction(const Phase::Mass &phase) override { return fractions_.at(&phase); }
  Value &fraction(const Phase::Mass &phase) { return fractions_.at(&phase); }

private:
  std::vector<Phase::Mass *> members_;
  std::map<const Phase::Mass *, Value> fractions_;
};

std::unique_ptr<PhaseTotal> makeTotal() {
  return std::make_unique<PhaseTotal>(Defaults("Tphase", "total phase"), 0, nullptr, nullptr,
                                      nullptr);
}

// Pure liquids of molar density 10 and 40 kmol/m3 at every temperature.
class TotalPhase : public ComponentsFixture {
protected:
  void SetUp() override {
    PureData a;
    a.rhol = 10;
    a.rhols = 0;
    a.h0 = 1e6;
    a.s0 = 5e4;
    PureData b = a;
    b.rhol = 40;
    b.h0 = 2e6;
    b.s0 = 7e4;
    use({{"A", a}, {"B", b}});
    first = makePhase("liquid", "Lphase");
    second = makePhase("liquid", "Xphase");
    setComposition(*first, {1, 0});
    setComposition(*second, {0, 1});
    first->calculateProperties(P0, T0, true);
    second->calculateProperties(P0, T0, true);
  }

  std::unique_ptr<IdealPhase> first, second;
  TestStream stream;
};

TEST_F(TotalPhase, SumsOverTheMemberPhases) {
  stream.add(*first, 0.5);
  stream.add(*second, 0.5);
  auto total = makeTotal();
  total->setStream(&stream);
  // 1 / (0.5/10 + 0.5/40) = 16 kmol/m3.
  EXPECT_NEAR(total->calculate_rho(P0, T0).value(), 16.0, 1e-12);
  // Liquid enthalpies at T0: h0 - 4e7 J/kmol, i.e. -3.9e7 and -3.8e7.
  EXPECT_DOUBLE_EQ(total->calculate_H(P0, T0).value(), 0.5 * -3.9e7 + 0.5 * -3.8e7);
  EXPECT_DOUBLE_EQ(total->calculate_S(P0, T0).value(),
                   0.5 * first->S.value() + 0.5 * second->S.value());
  EXPECT_DOUBLE_EQ(total->calculate_Cp(P0, T0).value(), 75000.0);
  EXPECT_EQ(total->calculate_S(P0, T0).uom(), Value(1.0, "J/(kmol*K)").uom());

  // The fixed answers of a total phase.
  EXPECT_EQ(total->calculate_P(Value(1.0, "kmol/m3"), T0).value(), 1e10);
  EXPECT_EQ(total->fugacity(1).value(), 1.0);
  EXPECT_EQ(total->mu(P0, T0).value(), 1e10);
  EXPECT_EQ(total->kappa(P0, T0).value(), 1e10);
  EXPECT_EQ(total->sigma(P0, T0).value(), 0.0);
  EXPECT_EQ(total->type(), "PhaseTotal");
  EXPECT_EQ(total->representation(), MassBalanceMode::Nx);
}

TEST_F(TotalPhase, SumsKeepTheDerivativesOfTheFractions) {
  pushDerivativeContext(1);
  {
    stream.add(*first, 0.5);
    stream.add(*second, 0.5);
    stream.fraction(*first).activeValue().setDerivative(0, 1.0);
    auto total = makeTotal();
    total->setStream(&stream);
    // d(sum f H)/d f_1 = H_1 = -3.9e7 J/kmol;
    // d(1 / sum f/rho)/d f_1 = -rho^2 / rho_1 = -16^2 / 10 = -25.6 kmol/m3.
    EXPECT_DOUBLE_EQ(total->calculate_H(P0, T0).activeValue().derivative(0), -3.9e7);
    EXPECT_NEAR(total->calculate_rho(P0, T0).activeValue().derivative(0), -25.6, 1e-12);
  }
  popDerivativeContext();
}

TEST_F(TotalPhase, PhasesWithoutPositiveFractionAreSkipped) {
  // A member that would spoil every sum: no density (phase type 0) and a
  // non-finite enthalpy.
  auto spoiled = makePhase("liquid", "Spoiled");
  spoiled->setPhaseType(0);
  spoiled->H = Value(std::numeric_limits<double>::quiet_NaN(), "J/kmol");
  stream.add(*first, 1.0);
  stream.add(*spoiled, 0.0);
  stream.add(*second, -0.2);
  auto total = makeTotal();
  total->setStream(&stream);
  EXPECT_DOUBLE_EQ(total->calculate_rho(P0, T0).value(), 10.0);
  EXPECT_DOUBLE_EQ(total->calculate_H(P0, T0).value(), first->H.value());

  // Nothing contributes: no volume, density 0 rather than infinity.
  TestStream empty;
  empty.add(*first, 0.0);
  total->setStream(&empty);
  EXPECT_EQ(total->calculate_rho(P0, T0).value(), 0.0);
}

TEST_F(TotalPhase, NeedsMolarMembersAndAStream) {
  PhaseSimple simple(Defaults("Sphase"), 0, nullptr, nullptr, nullptr);
  stream.add(*first, 1.0);
  stream.add(simple, 0.0);
  auto total = makeTotal();
  EXPECT_THROW(total->calculate_H(P0, T0), ErrorRunTime);
  total->setStream(&stream);
  // Converted before its fraction is looked at.
  try {
    total->calculate_H(P0, T0);
    FAIL();
  } catch (const Error &e) {
    EXPECT_NE(e.message().find("PhaseTotal::calculate_H"), std::string::npos);
    EXPECT_NE(e.message().find("Sphase"), std::string::npos);
  }
  EXPECT_THROW(total->calculate_rho(P0, T0), ErrorDynamicCast);
}

TEST_F(TotalPhase, CloneCarriesTheVariablesButNoStream) {
  auto total = makeTotal();
  total->setStream(&stream);
  setComposition(*total, {0.25, 0.75}, 3.0);
  std::unique_ptr<Node> node = total->clone();
  auto *copy = dynamic_cast<PhaseTotal *>(node.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->stream(), nullptr);
  EXPECT_EQ(copy->tag(), "Tphase");
  EXPECT_DOUBLE_EQ(copy->ndot.value(), 3.0);
  EXPECT_DOUBLE_EQ(copy->x[1].value(), 0.75);
  EXPECT_TRUE(copy->w[1].output());
  EXPECT_EQ(copy->quantities().at("x[1]"), &copy->x[1]);
}

// ---------------------------------------------------------------- mass-only phases

class SimplePhase : public ComponentsFixture {
protected:
  void SetUp() override {
    PureData data;
    use({{"A", data}, {"B", data}, {"C", data}});
  }
};

TEST_F(SimplePhase, TypeComesFromTheOption) {
  PhaseSimple fresh(Defaults("Vphase"), 0, nullptr, nullptr, nullptr);
  EXPECT_EQ(fresh.typeP.value(), "vapor");
  EXPECT_EQ(fresh.phaseType(), 1);
  Defaults liquidOptions("Lphase");
  liquidOptions.setString("typeP", "liquid");
  PhaseSimple liquid(liquidOptions, 0, nullptr, nullptr, nullptr);
  EXPECT_EQ(liquid.phaseType(), 2);
  EXPECT_EQ(liquid.representation(), MassBalanceMode::Mw);
  EXPECT_EQ(liquid.type(), "PhaseSimple");
  std::unique_ptr<Node> copy = liquid.clone();
  EXPECT_EQ(dynamic_cast<PhaseSimple &>(*copy).phaseType(), 2);
  // A fresh mass-only phase: 10000 kg/h split equally.
  EXPECT_DOUBLE_EQ(liquid.mdotcomps[2].value(), 10000.0 / 3 / 3600);
  EXPECT_EQ(liquid.mdotcomps[1].description(), "mass flow of B");
}

TEST_F(SimplePhase, MassBalanceRules) {
  PhaseSimpleTotal phase(Defaults("Tphase"), 0, nullptr, nullptr, nullptr);
  phase.mdot = Value(4.0, "kg/s");
  for (Quantity &w : phase.w)
    w = Value(2.0);
  phase.calculateX(MassBalanceMode::Mw);
  EXPECT_DOUBLE_EQ(phase.w[0].value(), 1.0 / 3);
  EXPECT_DOUBLE_EQ(phase.mdotcomps[0].value(), 4.0 / 3);

  // Fractions summing to zero: no flows, mdot and w stay.
  phase.clearComposition(MassBalanceMode::Mw);
  phase.calculateX(MassBalanceMode::Mw);
  EXPECT_EQ(phase.mdotcomps[1].value(), 0.0);
  EXPECT_EQ(phase.mdot.value(), 4.0);

  phase.setImpure(MassBalanceMode::Mw, 0, 0.1);
  EXPECT_DOUBLE_EQ(phase.w[0].value(), 0.8);
  EXPECT_DOUBLE_EQ(phase.w[2].value(), 0.1);
  phase.setEquimassNoKey(MassBalanceMode::Mw, 2);
  EXPECT_EQ(phase.w[2].value(), 0.0);
  EXPECT_DOUBLE_EQ(phase.w[1].value(), 0.5);

  // Purity is exact on a mass-only phase.
  phase.w[0] = Value(0.9999999999);
  phase.w[1] = Value(1e-10);
  phase.w[2] = Value(0.0);
  EXPECT_FALSE(phase.isPure());
  phase.setPure(MassBalanceMode::Mw, 1);
  EXPECT_TRUE(phase.isPure());

  // Component flows: *= 2 doubles the flows, -= clips at zero.
  phase.setPure(MassBalanceMode::M, 0);
  phase.calculateX(MassBalanceMode::M);
  phase *= Value(2.0);
  EXPECT_DOUBLE_EQ(phase.mdot.value(), 2.0);
  EXPECT_DOUBLE_EQ(phase.mdotcomps[0].value(), 2.0);
  PhaseSimple other(Defaults("Other"), 0, nullptr, nullptr, nullptr);
  other.setEquimass(MassBalanceMode::M); // 1 kg/s each
  other.calculateX(MassBalanceMode::M);
  phase -= other;
  EXPECT_DOUBLE_EQ(phase.mdot.value(), 1.0);
  EXPECT_EQ(phase.mdotcomps[1].value(), 0.0);
  EXPECT_DOUBLE_EQ(phase.w[0].value(), 1.0);
  phase += other;
  EXPECT_DOUBLE_EQ(phase.mdot.value(), 4.0);
}

TEST_F(SimplePhase, RejectsMolarModesAndBadKeys) {
  PhaseSimple phase(Defaults("Vphase"), 0, nullptr, nullptr, nullptr);
  try {
    phase.calculateX(MassBalanceMode::Nx);
    FAIL();
  } catch (const Error &e) {
    EXPECT_EQ(e.message(), "Error was thrown by function: Phase::Mass::calculateX\n"
                           "Smart enumerator error: Unrecognized massbalance: Nx\n");
  }
  try {
    phase.setPure(MassBalanceMode::Nx, 3); // the key is tested first
    FAIL();
  } catch (const Error &e) {
    EXPECT_EQ(e.message(), "Error was thrown by function: Phase::Mass::setPure\n"
                           "Generic Run-Time error: 3\n");
  }
  EXPECT_THROW(phase.clearComposition(static_cast<MassBalanceMode>(0)), ErrorSmartEnum);
}

TEST_F(SimplePhase, AddsComponentRangesOnItsOwnBasis) {
  PhaseSimple a(Defaults("A"), 0, nullptr, nullptr, nullptr);
  PhaseSimple b(Defaults("B"), 0, nullptr, nullptr, nullptr);
  a.setPure(MassBalanceMode::M, 0);
  b.setEquimass(MassBalanceMode::M);
  a.addComponents(b, 1, 3);
  // 1 kg/s of A plus b's 1 kg/s each of B and C.
  EXPECT_DOUBLE_EQ(a.mdot.value(), 3.0);
  EXPECT_DOUBLE_EQ(a.w[2].value(), 1.0 / 3);
}

} // namespace
