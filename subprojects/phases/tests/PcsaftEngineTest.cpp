// The PC-SAFT engine: its constants, a table of pure states against an
// independent evaluation of the published equations, and the identities
// between the pressure, the Helmholtz energy and ln phi.

#include "PcsaftTestSupport.h"

#include "velta/phases/PcsaftEngine.h"
#include "velta/phases/PcsaftEquations.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace pcsafttest;

namespace {

class PcsaftEngine : public PcsaftFixture {};

// The engine at T and composition x, with beta at the packing fraction of
// the molar density (kmol/m3) and the pressure evaluated there.
struct EngineAt {
  EngineAt(const std::vector<double> &fractions, double T, double density) {
    for (double xi : fractions)
      x.emplace_back(xi);
    engine.precompute(Value(T, "K"), Vector(&x));
    engine.setbeta(Value(density, "kmol/m3"));
    P = engine.pressure(engine.beta).value();
  }
  std::vector<Value> x;
  Phase::EosPcsaft engine;
  double P = 0.0;
};

} // namespace

TEST_F(PcsaftEngine, ConstantsOfTheModel) {
  use({{"CH4", methane}});
  Phase::Pcsaft model;
  EXPECT_EQ(model.betamax(), 0.7404804896930609);
  EXPECT_EQ(model.betamin(), 0.0);
  // The critical packing fraction of one segment, written on every call.
  std::vector<Value> x{Value(1.0)};
  model.precompute(Value(150.0, "K"), Vector(&x));
  testing::internal::CaptureStdout();
  const double critical = model.betac(Value(1.0)).value();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "betac[0] = 0.142195\n");
  EXPECT_NEAR(critical, 0.1421949390537992, 1e-16);
  // One segment: C1 in closed form.
  const double eta = 0.3;
  const double C1 = model.state().dispersion(Active(eta)).C1.value();
  EXPECT_NEAR(C1, 1.0 / (1.0 + (8 * eta - 2 * eta * eta) / std::pow(1 - eta, 4)), 1e-15);
}

// Pure methane and n-butane at T and molar density. Reference: the
// published equations in 40-digit mpmath (Python), written from the paper
// independently of this code: a_res(T, rho, N) alone, Z = 1 + rho da/drho
// and ln phi = d(N a_res)/dN (T, V) - ln Z by mpmath.diff, P = Z k T rho.
struct PureState {
  const char *name;
  double T, density; // K, kmol/m3
  double eta, ares, P, lnphi;
  bool liquid;
};

const PureState pureStates[] = {
    {"methane_200K", 200, 1, 0.01542211862971192, -0.10616514225011098, 1490603.6245395807,
     -0.10039634106629914, false},
    {"methane_150K_liquid", 150, 25, 0.39342117194797824, -2.5553203253113215, 27961024.893368553,
     -2.5495966781375264, true},
    {"methane_300K", 300, 10, 0.14769645436669831, -0.32195396274851306, 20633094.036983397,
     -0.30504564127834171, false},
    {"butane_300K", 300, 0.1, 0.003606493467924545, -0.061826374319450626, 234122.37558194401,
     -0.059861867141863653, false},
    {"butane_300K_liquid", 300, 10, 0.36064934679245448, -3.6424471907660236, 7094191.7712690724,
     -3.1007076198772744, true},
    {"butane_400K", 400, 2, 0.07003829838232085, -0.64090204850891452, 2964355.1548436532,
     -0.38704967890956406, false},
};

class PcsaftPureStates : public PcsaftFixture, public testing::WithParamInterface<PureState> {};

TEST_P(PcsaftPureStates, PressureDensityAndFugacityAgreeWithTheReference) {
  const PureState &s = GetParam();
  use({{"pure", std::string(s.name).starts_with("methane") ? methane : butane}});
  EngineAt at({1.0}, s.T, s.density);
  Phase::EosPcsaft &engine = at.engine;
  EXPECT_NEAR(engine.beta.value(), s.eta, 1e-9 * s.eta);
  EXPECT_NEAR(at.P, s.P, 1e-8 * s.P);
  std::vector<Value> lnphi(1);
  engine.preparefugacity_eos(Value(), Value(), Vector(&at.x), Value(1.0), 1, lnphi);
  const double ares = engine.state().ares.value();
  const double Z = engine.state().Z.value();
  EXPECT_NEAR(ares, s.ares, 1e-8);
  EXPECT_NEAR(lnphi[0].value(), s.lnphi, 1e-8);
  // The pure-component form of ln phi.
  EXPECT_NEAR(lnphi[0].value(), ares + Z - 1.0 - std::log(Z), 1e-13);
  EXPECT_NEAR(std::log(engine.phi(0).value()), lnphi[0].value(), 1e-13);

  // And back: the density at the reference pressure, by Newton in beta
  // from a vapour-like or a liquid-like start.
  double beta = s.liquid ? 0.5 : 1e-3 * s.eta;
  for (int i = 0; i < 60; ++i) {
    const double p = engine.pressure(Value(beta)).value();
    beta -= (p - s.P) / engine.deosdbeta(Value(), Value(), Value()).value();
  }
  engine.pressure(Value(beta));
  EXPECT_NEAR(engine.density().value(), s.density, 1e-8 * s.density);
}

INSTANTIATE_TEST_SUITE_P(Table, PcsaftPureStates, testing::ValuesIn(pureStates),
                         [](const testing::TestParamInfo<PureState> &info) {
                           return std::string(info.param.name);
                         });

// Identities at fixed T and x over the packing fraction, on the plain-double
// instance of the equations, and the engine's automatic derivatives: Z =
// 1 + eta da/deta, dP/deta, C2 = dC1/deta, C3 = dC2/deta, and ln phi of a
// binary with a k_ij against the amount derivative of N a_res at constant
// T and V, less ln Z.
TEST_F(PcsaftEngine, DerivativeIdentities) {
  use({{"CH4", methane}, {"C4H10", butane}});
  Phase::pcsaftKij[0][1] = Phase::pcsaftKij[1][0] = 0.03;
  Phase::PcsaftParameters p;
  p.load("test");
  const double T = 450.0; // above the critical point: P > 0 at every eta
  const std::vector<double> x{0.3, 0.7};
  auto at = [&](const std::vector<double> &amounts) {
    Phase::PcsaftEquations<double> eq;
    eq.T = T;
    double total = 0.0;
    for (double a : amounts)
      total += a;
    for (std::size_t i = 0; i < amounts.size(); ++i)
      eq.x[i] = amounts[i] / total;
    eq.precompute(p);
    return eq;
  };
  const double h = 1e-6;
  for (double eta : {0.01, 0.2, 0.45}) {
    SCOPED_TRACE(eta);
    Phase::PcsaftEquations<double> eq = at(x);
    auto ares = [&](double e) {
      Phase::PcsaftEquations<double> c = eq;
      c.pressure(p, e);
      return c.helmholtz(p);
    };
    auto P = [&](double e) {
      Phase::PcsaftEquations<double> c = eq;
      c.pressure(p, e);
      return c.P;
    };
    eq.pressure(p, eta);
    EXPECT_NEAR(eq.Z, 1.0 + eta * (ares(eta + h) - ares(eta - h)) / (2 * h), 1e-8);
    EXPECT_NEAR(eq.dPdeta, (P(eta + h) - P(eta - h)) / (2 * h), 1e-7 * std::fabs(eq.dPdeta));
    const auto c = eq.dispersion(eta), up = eq.dispersion(eta + h), down = eq.dispersion(eta - h);
    EXPECT_NEAR(c.C2, (up.C1 - down.C1) / (2 * h), 1e-8);
    EXPECT_NEAR(c.C3, (up.C2 - down.C2) / (2 * h), 1e-8);

    // ln phi: N = x (1 kmol in all), V fixed by the number density rho.
    double lnphi[Phase::NC];
    eq.lnphi(p, lnphi);
    const double rho = eq.rho;
    for (int k = 0; k < 2; ++k) {
      auto F = [&](double dN) {
        std::vector<double> amounts = x;
        amounts[static_cast<std::size_t>(k)] += dN;
        const double total = amounts[0] + amounts[1];
        Phase::PcsaftEquations<double> c = at(amounts);
        c.pressure(p, rho * total * c.zetat[3]);
        return total * c.helmholtz(p);
      };
      const double g = 1e-5;
      EXPECT_NEAR(lnphi[k], (F(g) - F(-g)) / (2 * g) - std::log(eq.Z), 1e-8) << k;
    }

    // The engine gives the same numbers, with dP/dbeta also as the
    // automatic derivative of the pressure.
    ScopedContext context(1);
    std::vector<Value> xv{Value(x[0]), Value(x[1])};
    Phase::EosPcsaft engine;
    engine.precompute(Value(T, "K"), Vector(&xv));
    engine.beta = Value(eta);
    engine.beta.activeValue().setActive(0);
    const Value pressure = engine.pressure(engine.beta);
    engine.beta.activeValue().setInactive(0);
    EXPECT_NEAR(pressure.value(), eq.P, 1e-12 * eq.P);
    EXPECT_NEAR(pressure.activeValue().derivative(0), eq.dPdeta, 1e-10 * std::fabs(eq.dPdeta));
    std::vector<Value> out(2);
    engine.preparefugacity_eos(Value(), Value(), Vector(&xv), Value(1.0), 2, out);
    EXPECT_NEAR(out[0].value(), lnphi[0], 1e-12);
    EXPECT_NEAR(out[1].value(), lnphi[1], 1e-12);
    // The Helmholtz operations of the interface: N a_res and its amount
    // derivative at beta, leaving the engine's state as it was.
    const Value temperature(T, "K");
    EXPECT_NEAR(engine.helmholtz(Value(2.0), temperature, Value(eta)).value(), 2.0 * eq.ares,
                1e-12);
    EXPECT_NEAR(engine.helmholtzi(Value(1.0), temperature, Value(eta), 1).value(),
                lnphi[1] + std::log(eq.Z), 1e-12);
    const double slope = engine.deosdbeta(Value(), Value(), Value()).value();
    engine.helmholtz(Value(1.0), temperature, Value(0.6));
    EXPECT_EQ(engine.deosdbeta(Value(), Value(), Value()).value(), slope);
  }
}

// The engine evaluates on plain partials in T and eta when the composition
// carries no derivatives, and on derivative-carrying numbers otherwise:
// both give the same values, and their derivatives in T, beta and x_0 agree
// with central differences of the plain-double instance.
TEST_F(PcsaftEngine, BothEvaluationsGiveTheFiniteDifferenceDerivatives) {
  use({{"CH4", methane}, {"C4H10", butane}});
  Phase::pcsaftKij[0][1] = Phase::pcsaftKij[1][0] = 0.03;
  Phase::PcsaftParameters p;
  p.load("test");
  const double T = 250.0, eta = 0.42, x0 = 0.3;
  // P and ln phi_0 on doubles at (T, eta, x_0) with x_1 = 0.7.
  auto plain = [&](double t, double e, double first) {
    Phase::PcsaftEquations<double> eq;
    eq.T = t;
    eq.x[0] = first;
    eq.x[1] = 0.7;
    eq.precompute(p);
    eq.pressure(p, e);
    double lnphi[Phase::NC];
    eq.lnphi(p, lnphi);
    return std::pair{eq.P, lnphi[0]};
  };
  const double h = 1e-6;
  const auto dT = [&](int which) {
    auto f = [&](double t) {
      auto r = plain(t, eta, x0);
      return which ? r.second : r.first;
    };
    return (f(T + h) - f(T - h)) / (2 * h);
  };
  const auto deta = [&](int which) {
    auto f = [&](double e) {
      auto r = plain(T, e, x0);
      return which ? r.second : r.first;
    };
    return (f(eta + h) - f(eta - h)) / (2 * h);
  };
  const auto dx = [&](int which) {
    auto f = [&](double a) {
      auto r = plain(T, eta, a);
      return which ? r.second : r.first;
    };
    return (f(x0 + h) - f(x0 - h)) / (2 * h);
  };
  const double expected[3][2] = {{dT(0), dT(1)}, {deta(0), deta(1)}, {dx(0), dx(1)}};
  const auto reference = plain(T, eta, x0);

  for (bool seedComposition : {false, true}) {
    SCOPED_TRACE(seedComposition ? "derivative-carrying numbers" : "plain partials");
    ScopedContext context(3);
    Value temperature(T, "K");
    std::vector<Value> x{Value(x0), Value(0.7)};
    temperature.activeValue().setActive(0);
    if (seedComposition)
      x[0].activeValue().setActive(2);
    Phase::EosPcsaft engine;
    engine.precompute(temperature, Vector(&x));
    engine.beta = Value(eta);
    engine.beta.activeValue().setActive(1);
    const Value P = engine.pressure(engine.beta);
    std::vector<Value> lnphi(2);
    engine.preparefugacity_eos(Value(), Value(), Vector(&x), Value(1.0), 2, lnphi);
    engine.beta.activeValue().setInactive(1);
    temperature.activeValue().setInactive(0);
    if (seedComposition)
      x[0].activeValue().setInactive(2);
    EXPECT_NEAR(P.value(), reference.first, 1e-12 * reference.first);
    EXPECT_NEAR(lnphi[0].value(), reference.second, 1e-12);
    const int seeded = seedComposition ? 3 : 2;
    for (int d = 0; d < seeded; ++d) {
      SCOPED_TRACE(d);
      EXPECT_NEAR(P.activeValue().derivative(d), expected[d][0], 1e-6 * std::fabs(expected[d][0]));
      EXPECT_NEAR(lnphi[0].activeValue().derivative(d), expected[d][1],
                  1e-6 * std::fabs(expected[d][1]) + 1e-8);
    }
    if (!seedComposition) {
      EXPECT_EQ(P.activeValue().derivative(2), 0.0);
    }
  }
}

// Inside the two-phase region the computed pressure is negative: the
// engine returns 4e-5/3 Pa with one ninth of its derivatives, on both
// evaluations, and keeps the unregularised dP/deta.
TEST_F(PcsaftEngine, NegativePressureIsKeptPositive) {
  use({{"C4H10", butane}});
  Phase::PcsaftParameters p;
  p.load("test");
  Phase::PcsaftEquations<double> eq;
  eq.T = 300.0;
  eq.x[0] = 1.0;
  eq.precompute(p);
  eq.pressure(p, 0.2);
  ASSERT_LT(eq.P, -1e5);
  for (bool seedComposition : {false, true}) {
    SCOPED_TRACE(seedComposition ? "derivative-carrying numbers" : "plain partials");
    ScopedContext context(2);
    std::vector<Value> x{Value(1.0)};
    if (seedComposition)
      x[0].activeValue().setActive(1);
    Phase::EosPcsaft engine;
    engine.precompute(Value(300.0, "K"), Vector(&x));
    engine.beta = Value(0.2);
    engine.beta.activeValue().setActive(0);
    const Value P = engine.pressure(engine.beta);
    engine.beta.activeValue().setInactive(0);
    if (seedComposition)
      x[0].activeValue().setInactive(1);
    EXPECT_EQ(P.value(), 1.3333333333333335e-5);
    EXPECT_NEAR(P.activeValue().derivative(0), eq.dPdeta / 9.0, 1e-9 * std::fabs(eq.dPdeta));
    EXPECT_NEAR(engine.deosdbeta(Value(), Value(), Value()).value(), eq.dPdeta,
                1e-9 * std::fabs(eq.dPdeta));
  }
  // A composition shorter than the tables' component count is refused.
  std::vector<Value> none;
  Phase::EosPcsaft engine;
  EXPECT_THROW(engine.precompute(Value(300.0, "K"), Vector(&none)), ErrorRunTime);
}
