// Cost of one Peng-Robinson property pass over a mixture of n components
// (2, 10, 50): the pressure of the flash residual with its corrections, the
// molar density, the residual entropy, enthalpy and heat capacity, and
// every ln phi, at the converged packing fraction. The same pass runs on
// physical values without directions, with the three directions of a
// single-phase flash (T, P, beta: dense store), with T, P, beta and every
// mole fraction (n + 3 directions: sparse from 10 components), and
// hand-written on plain doubles, in the same run.

#include "velta/components/ComponentBase.h"
#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/components/RouteHeatSolidDummy.h"
#include "velta/components/RouteHeatVaporDummy.h"
#include "velta/components/RouteSaturationDummy.h"
#include "velta/components/RouteTransportDummy.h"
#include "velta/components/RouteVolumeSolidDummy.h"
#include "velta/components/RouteVolumeVaporDummy.h"
#include "velta/phases/EosCubicPengRobinson.h"
#include "velta/value/Constants.h"
#include "velta/value/DerivativeContext.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr double R = 8314.4;
constexpr int vapor = 1;

// Only the critical constants matter here; the routes are placeholders.
class BenchComponent : public ComponentGeneric,
                       public ComponentBase,
                       public RouteSaturationDummy,
                       public RouteHeatVaporDummy,
                       public RouteHeatSolidDummy,
                       public RouteTransportDummy,
                       public RouteVolumeVaporDummy,
                       public RouteVolumeSolidDummy {
public:
  BenchComponent(const std::string &name, double mw, double Tc, double Pc, double omega)
      : ComponentGeneric(name),
        ComponentBase(Value(mw, "kg/kmol"), Value(Pc, "Pa"), Value(Tc, "K"),
                      Value(Pc * mw / (0.28 * R * Tc), "kg/m3"), Value(0.0),
                      Value(0.28 * R * Tc / Pc * 1.2, "m3/kmol"), Value(0.0, "J/kmol"),
                      Value(0.0, "J/kmol"), Value(0.28), Value(omega)) {}
  bool isSolid() const override { return false; }
  Value hl(const Value &, const Value &) const override { return Value(0.0, "J/kmol"); }
  Value sl(const Value &, const Value &) const override { return Value(0.0, "J/(kmol*K)"); }
  Value cpl(const Value &, const Value &) const override { return Value(0.0, "J/(kmol*K)"); }
  Value rhol(const Value &, const Value &, double * = nullptr) const override {
    return Value(10.0, "kmol/m3");
  }
};

struct Pure {
  double Tc, Pc, omega;
};

// n light-to-heavy components (omega up to 0.5, the heavy-component slope).
std::vector<Pure> mixture(int n) {
  std::vector<Pure> list;
  for (int k = 0; k < n; ++k)
    list.push_back({190.0 + 8.0 * k, 4.6e6 - 5e4 * k, 0.01 + 0.01 * k});
  return list;
}

void fillComponents(const std::vector<Pure> &list) {
  components.clear();
  for (std::size_t k = 0; k < list.size(); ++k)
    components.add(new BenchComponent("C" + std::to_string(k), 16.0 + 14.0 * static_cast<double>(k),
                                      list[k].Tc, list[k].Pc, list[k].omega));
}

// ---------------------------------------------------------------- doubles

// The same pass hand-written on doubles: the Peng-Robinson engine's
// formulas (the same factorised mixing rule) without units, derivatives,
// logging or virtual calls.
struct PlainPengRobinson {
  std::vector<Pure> pure;
  std::vector<double> sqrta, da, d2a, amix, damix, d2amix, b, lnphi;
  double A = 0, dA = 0, d2A = 0, B = 0;
  const double OmegaA = 0.4572355289, OmegaB = 0.0777960739;
  const double d1 = 1 + std::sqrt(2.0), d2 = 1 - std::sqrt(2.0);

  explicit PlainPengRobinson(std::vector<Pure> list)
      : pure(std::move(list)), sqrta(pure.size()), da(pure.size()), d2a(pure.size()),
        amix(pure.size()), damix(pure.size()), d2amix(pure.size()), b(pure.size()),
        lnphi(pure.size()) {}

  static double m(double w) {
    return w < 0.5 ? 0.37464 + 1.54226 * w - 0.26992 * w * w
                   : 0.3796 + 1.485 * w - 0.1644 * w * w + 0.01666 * w * w * w;
  }
  void precompute(double T, const std::vector<double> &x) {
    const std::size_t n = pure.size();
    for (std::size_t i = 0; i < n; ++i) {
      const double Tc = pure[i].Tc, Pc = pure[i].Pc, mi = m(pure[i].omega);
      const double s = std::sqrt(T / Tc), alpha = 1 + mi * (1 - s), scale = OmegaA * R * R / Pc;
      sqrta[i] = std::sqrt(scale * Tc * Tc * alpha * alpha);
      da[i] = -scale * mi * Tc * alpha / s;
      d2a[i] = scale * mi * alpha / (2 * s * s * s) + scale * mi * mi * Tc / (2 * T);
      b[i] = OmegaB * R * Tc / Pc;
    }
    A = dA = d2A = B = 0;
    // The geometric mean factorises: four sums over the mixture.
    double S0 = 0, S1 = 0, S2 = 0, S3 = 0;
    for (std::size_t i = 0; i < n; ++i) {
      if (x[i] == 0)
        continue;
      const double si = sqrta[i], slope = da[i] / si;
      S0 += x[i] * si;
      S1 += x[i] * slope;
      S2 += x[i] * d2a[i] / si;
      S3 += x[i] * slope * slope / si;
    }
    for (std::size_t k = 0; k < n; ++k) {
      const double sk = sqrta[k], half = sk / 2, r = da[k] / (2 * sk);
      amix[k] = sk * S0;
      damix[k] = r * S0 + half * S1;
      d2amix[k] = half * S2 - half * S3 / 2 + r * S1 + (d2a[k] / (2 * sk) - r * r / sk) * S0;
    }
    for (std::size_t i = 0; i < n; ++i) {
      A += x[i] * amix[i];
      dA += x[i] * damix[i];
      d2A += x[i] * d2amix[i];
      B += x[i] * b[i];
    }
  }
  double eos(double T, double beta, double sumx) const {
    const double v = B / (beta * sumx), a = A / (sumx * sumx), bb = B / sumx;
    return R * T / (v - bb) - a / ((v + d1 * bb) * (v + d2 * bb));
  }
  // Returns a checksum of the pass: P, rho, S, H, Cp and the ln phi.
  double pass(double T, double P, double beta, const std::vector<double> &x) {
    double sumx = 0;
    for (double xi : x)
      sumx += xi;
    precompute(T, x);
    const double p = eos(T, beta, sumx);
    const double Pcm = eos(T, 0.25321709393744, sumx);
    const double Tcm = A * OmegaB / (R * B * OmegaA * sumx);
    const double rho = beta * sumx / B;
    const double V = B / beta, v = V / sumx, bb = B / sumx;
    const double I = std::log((1 + d1 * B / V) / (1 + d2 * B / V)) / (R * B * (d1 - d2));
    const double F = sumx * std::log(V / (V - B)) - A * I / T;
    const double FT = (A / T - dA) * I / T;
    const double FTT = (2 * (dA - A / T) / T - d2A) * I / T;
    const double dPdT = R / (v - bb) - dA / (sumx * sumx) / ((v + d1 * bb) * (v + d2 * bb));
    const double a = A / (sumx * sumx);
    const double dPdv = -R * T / ((v - bb) * (v - bb)) +
                        a / ((v + d1 * bb) * (v + d1 * bb) * (v + d2 * bb)) +
                        a / ((v + d1 * bb) * (v + d2 * bb) * (v + d2 * bb));
    const double dPdV = dPdv / sumx;
    const double Z = P / (rho * R * T);
    const double S = -R * T * FT - R * F + sumx * R * std::log(Z);
    const double H = -R * T * T * FT + P * V - sumx * R * T;
    const double Cp = -R * T * (T * FTT + 2 * FT) - T * dPdT * dPdT / dPdV - sumx * R;
    const double dIdV = -1 / (R * (V + d1 * B) * (V + d2 * B));
    double sum = p + Pcm + Tcm + rho + S + H + Cp;
    const double common = -std::log(Z) + std::log(V / (V - B));
    const double covolumeFactor = sumx / (V - B) + A * (I + V * dIdV) / (B * T);
    const double attractionFactor = 2 * I / T;
    for (std::size_t i = 0; i < pure.size(); ++i) {
      lnphi[i] = common + b[i] * covolumeFactor - attractionFactor * amix[i];
      sum += lnphi[i];
    }
    return sum;
  }
};

void PlainDoubles(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  PlainPengRobinson engine(mixture(n));
  const std::vector<double> x(static_cast<std::size_t>(n), 1.0 / n);
  for (auto _ : state)
    benchmark::DoNotOptimize(engine.pass(350.0, 2e6, 0.02, x));
  state.SetComplexityN(n);
}
BENCHMARK(PlainDoubles)->Arg(2)->Arg(10)->Arg(50)->Complexity();

// ---------------------------------------------------------------- values

// The pass on the engine; directions: 0 (values only), 3 (T, P, beta) or
// n + 3 (T, P, beta and every mole fraction).
void valuePass(benchmark::State &state, bool withComposition, int flashDirections) {
  const int n = static_cast<int>(state.range(0));
  fillComponents(mixture(n));
  const int directions = flashDirections + (withComposition ? n : 0);
  pushDerivativeContext(directions);
  {
    Phase::EosCubic::PengRobinson engine;
    Value T(350.0, "K"), P(2e6, "Pa");
    std::vector<Value> x(static_cast<std::size_t>(n), Value(1.0 / n));
    engine.beta = Value(0.02);
    if (directions > 0) {
      T.activeValue().setActive(0);
      P.activeValue().setActive(1);
      engine.beta.activeValue().setActive(2);
    }
    if (withComposition)
      for (int i = 0; i < n; ++i)
        x[static_cast<std::size_t>(i)].activeValue().setActive(3 + i);
    const Value sumx = Vector(&x).sum();
    Value Pcalc(0.0, "Pa");
    std::vector<Value> lnphi(static_cast<std::size_t>(n));
    for (auto _ : state) {
      engine.calculatePressureEos_(T, Vector(&x), sumx, vapor, Pcalc);
      Value rho = engine.rho_(engine.beta, sumx);
      engine.calculateResiduals(P, T, sumx);
      engine.preparefugacity_eos(P, T, Vector(&x), sumx, vapor, lnphi);
      benchmark::DoNotOptimize(rho);
      benchmark::DoNotOptimize(lnphi.data());
    }
    if (directions > 0) {
      T.activeValue().setInactive(0);
      P.activeValue().setInactive(1);
      engine.beta.activeValue().setInactive(2);
    }
    if (withComposition)
      for (int i = 0; i < n; ++i)
        x[static_cast<std::size_t>(i)].activeValue().setInactive(3 + i);
  }
  popDerivativeContext();
  components.clear();
  state.SetComplexityN(n);
}

void ValuesWithoutDirections(benchmark::State &state) { valuePass(state, false, 0); }
BENCHMARK(ValuesWithoutDirections)->Arg(2)->Arg(10)->Arg(50)->Complexity();

void FlashDirectionsTPBeta(benchmark::State &state) { valuePass(state, false, 3); }
BENCHMARK(FlashDirectionsTPBeta)->Arg(2)->Arg(10)->Arg(50)->Complexity();

void AllDirectionsTPBetaX(benchmark::State &state) { valuePass(state, true, 3); }
BENCHMARK(AllDirectionsTPBetaX)->Arg(2)->Arg(10)->Arg(50)->Complexity();

} // namespace
