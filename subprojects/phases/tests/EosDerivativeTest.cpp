// Identities of the cubic models, for each of the three engines: ln phi as
// the amount derivative of the residual Helmholtz energy F, the residual
// properties as temperature derivatives of F, and the derivatives that the
// automatic differentiation carries against central finite differences.

#include "EosTestSupport.h"

#include "velta/phases/EosCubicKwongRedlichSoave.h"
#include "velta/phases/EosCubicPengRobinson.h"
#include "velta/phases/EosCubicVanDerWaals.h"
#include "velta/value/Constants.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace eostest;

namespace {

const double R = 8314.4;
constexpr int vapor = 1;

template <class C> class CubicIdentities : public EosFixture {
protected:
  void SetUp() override { useTernary(); }

  // Reduced residual Helmholtz energy of the amounts n in the volume V.
  double F(C &engine, double T, const std::vector<double> &n, double V) {
    std::vector<Value> amounts(n.begin(), n.end());
    engine.precompute(Value(T, "K"), Vector(&amounts));
    const Value beta = engine.B() / Value(V, "m3/kmol");
    return engine.helmholtz(Vector(&amounts).sum(), Value(T, "K"), beta).value();
  }
  // Pressure at T and V of the amounts n.
  double P(C &engine, double T, const std::vector<double> &n, double V) {
    std::vector<Value> amounts(n.begin(), n.end());
    engine.precompute(Value(T, "K"), Vector(&amounts));
    const Value sumx = Vector(&amounts).sum();
    return engine.eos(Value(T, "K"), engine.B() / Value(V, "m3/kmol"), sumx).value();
  }
};

using Engines = testing::Types<Phase::EosCubic::VanDerWaals, Phase::EosCubic::KwongRedlichSoave,
                               Phase::EosCubic::PengRobinson>;
TYPED_TEST_SUITE(CubicIdentities, Engines);

// Amounts not summing to 1, a gas-like and a liquid-like packing fraction.
const std::vector<double> amounts = {0.39, 0.65, 0.26};
const double packingFractions[] = {0.08, 0.55};

TYPED_TEST(CubicIdentities, LnPhiIsTheAmountDerivativeOfF) {
  TypeParam engine;
  const double T = 320.0;
  for (double beta0 : packingFractions) {
    std::vector<Value> n(amounts.begin(), amounts.end());
    const Value sumx = Vector(&n).sum();
    engine.precompute(Value(T, "K"), Vector(&n));
    const double V = engine.B().value() / beta0;
    engine.beta = Value(beta0);
    const Value P = engine.eos(Value(T, "K"), engine.beta, sumx);
    std::vector<Value> lnphi(3);
    engine.preparefugacity_eos(P, Value(T, "K"), Vector(&n), sumx, vapor, lnphi);
    const double Z = P.value() * V / (sumx.value() * R * T);
    for (int i = 0; i < 3; ++i) {
      const double h = 1e-5 * amounts[i];
      std::vector<double> up = amounts, down = amounts;
      up[i] += h;
      down[i] -= h;
      const double dFdn = (this->F(engine, T, up, V) - this->F(engine, T, down, V)) / (2 * h);
      EXPECT_NEAR(lnphi[i].value(), dFdn - std::log(Z), 1e-7) << "beta " << beta0 << " i " << i;
    }
  }
}

TYPED_TEST(CubicIdentities, ResidualsAreTemperatureDerivativesOfF) {
  TypeParam engine;
  const double T = 320.0, h = 0.01;
  for (double beta0 : packingFractions) {
    std::vector<Value> n(amounts.begin(), amounts.end());
    const Value sumx = Vector(&n).sum();
    engine.precompute(Value(T, "K"), Vector(&n));
    const double V = engine.B().value() / beta0; // the covolume does not depend on T
    const double dV = 1e-6 * V;
    engine.beta = Value(beta0);
    const Value P = engine.eos(Value(T, "K"), engine.beta, sumx);
    engine.calculateResiduals(P, Value(T, "K"), sumx);
    const double s = engine.sResidual_.value(), hres = engine.hResidual_.value(),
                 cp = engine.cpResidual_.value();

    const double F0 = this->F(engine, T, amounts, V);
    const double Fp = this->F(engine, T + h, amounts, V), Fm = this->F(engine, T - h, amounts, V);
    const double FT = (Fp - Fm) / (2 * h), FTT = (Fp - 2 * F0 + Fm) / (h * h);
    const double dPdT =
        (this->P(engine, T + h, amounts, V) - this->P(engine, T - h, amounts, V)) / (2 * h);
    const double dPdV =
        (this->P(engine, T, amounts, V + dV) - this->P(engine, T, amounts, V - dV)) / (2 * dV);
    const double nn = sumx.value(), Z = P.value() * V / (nn * R * T);
    // S = -(dA/dT)_V + n R ln Z, H = A + T S + P V - n R T with A = R T F,
    // Cp = Cv - T (dP/dT)^2 / (dP/dV) - n R with Cv = -T (d2A/dT2)_V.
    EXPECT_NEAR(s, -R * T * FT - R * F0 + nn * R * std::log(Z), 1e-7 * R) << beta0;
    EXPECT_NEAR(hres, -R * T * T * FT + P.value() * V - nn * R * T, 1e-7 * R * T) << beta0;
    EXPECT_NEAR(cp, -R * T * (T * FTT + 2 * FT) - T * dPdT * dPdT / dPdV - nn * R, 1e-5 * R)
        << beta0;
  }
}

// Derivatives in T, P, beta and the three mole fractions (six directions)
// of density, enthalpy, entropy and ln phi through the property model.
TYPED_TEST(CubicIdentities, AutomaticDerivativesMatchFiniteDifferences) {
  auto phase = makeEosPhase<TypeParam>("liquid", {0.2, 0.5, 0.3});
  Phase::Eos<TypeParam> &model = phase->eos();
  constexpr int directions = 6;
  const double base[directions] = {330.0, 3e6, 0.45, 0.2, 0.5, 0.3};
  const char *names[directions] = {"T", "P", "beta", "x0", "x1", "x2"};
  constexpr int outputs = 7;

  // The outputs at the inputs; with seed, also their derivatives.
  auto evaluate = [&](const double *in, bool seed, double *value, double(*derivative)[directions]) {
    ScopedContext context(directions);
    Value T(in[0], "K"), P(in[1], "Pa");
    std::vector<Value> x = {Value(in[3]), Value(in[4]), Value(in[5])};
    model.beta = Value(in[2]);
    if (seed) {
      T.activeValue().setActive(0);
      P.activeValue().setActive(1);
      model.beta.activeValue().setActive(2);
      for (int i = 0; i < 3; ++i)
        x[static_cast<std::size_t>(i)].activeValue().setActive(3 + i);
    }
    Vector xv(&x);
    model.prepare(T, xv);
    Value result[outputs];
    result[0] = model.calculate_rho_(P, T, xv);
    result[1] = model.calculate_H_(P, T, xv);
    result[2] = model.calculate_S_(P, T, xv);
    result[3] = model.cpResidual_;
    model.preparefugacity(P, T, xv, model.sumx);
    for (int i = 0; i < 3; ++i)
      result[4 + i] = model.fugacity(i);
    for (int k = 0; k < outputs; ++k) {
      value[k] = result[k].value();
      if (seed)
        for (int d = 0; d < directions; ++d)
          derivative[k][d] = result[k].activeValue().derivative(d);
    }
    if (seed) {
      model.beta.activeValue().setInactive(2);
      T.activeValue().setInactive(0);
      P.activeValue().setInactive(1);
      for (int i = 0; i < 3; ++i)
        x[static_cast<std::size_t>(i)].activeValue().setInactive(3 + i);
    }
  };

  double value[outputs], derivative[outputs][directions];
  evaluate(base, true, value, derivative);
  for (int d = 0; d < directions; ++d) {
    double up[directions], down[directions];
    std::copy(base, base + directions, up);
    std::copy(base, base + directions, down);
    const double h = 1e-6 * base[d];
    up[d] += h;
    down[d] -= h;
    double vUp[outputs], vDown[outputs];
    evaluate(up, false, vUp, nullptr);
    evaluate(down, false, vDown, nullptr);
    for (int k = 0; k < outputs; ++k) {
      const double fd = (vUp[k] - vDown[k]) / (2 * h);
      EXPECT_NEAR(derivative[k][d], fd, 1e-6 * std::fabs(fd) + 1e-9 * std::fabs(value[k]) / base[d])
          << "output " << k << " in " << names[d];
    }
  }
}

} // namespace
