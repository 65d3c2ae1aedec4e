#include "velta/phases/CubicTerms.h"

#include "CarriesDerivatives.h"

#include "velta/phases/DenseDual.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/value/Constants.h"
#include "velta/value/DerivativeContext.h"

#include <cmath>

namespace Phase::EosCubic {

CubicTerms::~CubicTerms() = default;

namespace {

using Velta::Utility::PhaseType;

// A pure parameter: its value and its slope in T.
struct Sloped {
  double v = 0.0;
  double t = 0.0;
};

constexpr double R = 8314.4; // gasConstant, J/(kmol*K)
constexpr double minimumPressureValue = 1e-5;

UnitArray unitsFrom(const char *unit) { return Value(0.0, unit).units(); }
const UnitArray &pascal() {
  static const UnitArray u = unitsFrom("Pa");
  return u;
}
const UnitArray &attraction() {
  static const UnitArray u = unitsFrom("Pa*m6/kmol2");
  return u;
}
const UnitArray &attractionSlope() {
  static const UnitArray u = unitsFrom("Pa*m6/kmol2/K");
  return u;
}
const UnitArray &attractionCurvature() {
  static const UnitArray u = unitsFrom("Pa*m6/kmol2/K2");
  return u;
}
const UnitArray &covolume() {
  static const UnitArray u = unitsFrom("m3/kmol");
  return u;
}
const UnitArray &molarEnthalpy() {
  static const UnitArray u = unitsFrom("J/kmol");
  return u;
}
const UnitArray &molarEntropy() {
  static const UnitArray u = unitsFrom("J/(kmol*K)");
  return u;
}
const UnitArray &rootOfAttraction() {
  static const UnitArray u = sqrt(Value(1.0, "Pa*m6/kmol2") * Value(1.0, "kg/m3")).units();
  return u;
}

// --- the operations the terms need of each number type

double valueOf(double x) { return x; }
double valueOf(const Active &x) { return x.value(); }
template <int K> double valueOf(const DenseDual<K> &x) { return x.value(); }

template <class N> N numberOf(const Active &a);
template <> double numberOf<double>(const Active &a) { return a.value(); }
template <> Active numberOf<Active>(const Active &a) { return a; }
template <> DenseDual<1> numberOf<DenseDual<1>>(const Active &a) { return DenseDual<1>(a); }
template <> DenseDual<2> numberOf<DenseDual<2>>(const Active &a) { return DenseDual<2>(a); }
template <> DenseDual<3> numberOf<DenseDual<3>>(const Active &a) { return DenseDual<3>(a); }
template <> DenseDual<4> numberOf<DenseDual<4>>(const Active &a) { return DenseDual<4>(a); }
template <> DenseDual<5> numberOf<DenseDual<5>>(const Active &a) { return DenseDual<5>(a); }

Active activeOf(double x) { return Active(x); }
Active activeOf(const Active &x) { return x; }
Active activeOf(Active &&x) { return std::move(x); }
template <int K> Active activeOf(const DenseDual<K> &x) { return x.toActive(); }

// r += c x, with x one of the process-wide numbers of the composition.
void addScaled(double &r, const Active &x, double c) { r += c * x.value(); }
void addScaled(Active &r, const Active &x, double c) { r.addScaled(x, c); }
template <int K> void addScaled(DenseDual<K> &r, const Active &x, double c) { r.addScaled(x, c); }
void addScaled(double &r, double x, double c) { r += c * x; }
template <int K> void addScaled(DenseDual<K> &r, const DenseDual<K> &x, double c) {
  r.addScaled(x, c);
}

// r' += c x' (the value of r stays).
void addScaledDerivatives(double &, double, double) {}
void addScaledDerivatives(Active &r, const Active &x, double c) {
  if (c == 0.0)
    return;
  const double v = r.value();
  r.addScaled(x, c);
  r.value() = v;
}
template <int K> void addScaledDerivatives(DenseDual<K> &r, const DenseDual<K> &x, double c) {
  r.addScaledDerivatives(x, c);
}

double withoutDerivatives(double x) { return x; }
template <int K> DenseDual<K> withoutDerivatives(const DenseDual<K> &x) {
  return DenseDual<K>(x.value());
}

using std::log;
using std::sqrt;

// The positive regularisation of a pressure (regularizePositive of
// velta/core/ValueHelpers.h) on the terms' numbers.
template <class N> N keptPositive(const N &x) {
  constexpr double eps = minimumPressureValue;
  if (valueOf(x) < 0.0) {
    N slope = x;
    slope -= withoutDerivatives(x);
    return eps * 4.0 / 3.0 + slope / 9.0;
  }
  if (valueOf(x) < 2.0 * eps)
    return ((x - eps * 4.0) * eps) / (x - eps * 3.0);
  return x;
}

// The distance of beta from the pole of a corrected pressure (see
// EosInterface.cpp): 1e-10 on the phase's side when beta sits on the bound.
template <class N> N poleDistance(const N &beta, double bound, double side) {
  N distance = beta - bound;
  if (std::fabs(valueOf(distance)) < 1e-10)
    distance = N(side * 1e-10);
  return distance;
}

// The local variables of the formulas below, in a sparse context.
enum Slot {
  slotT,
  slotBeta,
  slotSumx,
  slotP,
  slotPcalc,
  slotA,
  slotSlopeA,
  slotCurvatureA,
  slotB,
  slotS0,
  slots
};

// How the state enters the formulas of a pass: as the context's numbers
// themselves (no directions, or dense), or, in a sparse context, as local
// variables with fixed slots whose partials are chained to the lists once
// per result, instead of every operation merging lists.
template <class N> struct Local {
  using Number = N;
  static const N &in(const N &x, int) { return x; }
  static const N &out(const Number &r, const N *const *) { return r; }
};
template <> struct Local<Active> {
  using Number = DenseDual<slots>;
  static Number in(const Active &x, int slot) { return Number::variable(x.value(), slot); }
  static Active out(const Number &r, const Active *const *inputs) {
    Active result(0.0);
    for (int l = 0; l < slots; ++l)
      if (inputs[l] && r.derivative(l) != 0.0)
        result.addScaled(*inputs[l], r.derivative(l));
    result.value() = r.value();
    return result;
  }
};

// The equation's formulas in (T, v, a, b) and in beta with the mixture
// parameters of a precompute (see the engines and the engine interface).
template <class L> struct Formulas {
  CubicConstants c;
  L A, dA, d2A, B;

  L eos(const L &T, const L &beta, const L &sumx) const {
    const L v = B / (beta * sumx), a = A / (sumx * sumx), b = B / sumx;
    if (c.vanDerWaals)
      return (R * T * v * v - a * v + a * b) / (v * v * v - b * v * v);
    return R * T / (v - b) - a / (v + c.d1 * b) / (v + c.d2 * b);
  }
  L deosdv(const L &T, const L &v, const L &a, const L &b) const {
    if (c.vanDerWaals)
      return -(((R * T * v * v - 2.0 * a * v + 4.0 * a * b) * v - 2.0 * a * b * b) /
               ((v * v - 2.0 * b * v + b * b) * v * v * v));
    const L vb = v - b, v1 = v + c.d1 * b, v2 = v + c.d2 * b;
    return -R * T / (vb * vb) + a / (v1 * v1 * v2) + a / (v1 * v2 * v2);
  }
  L deosdbeta(const L &T, const L &beta, const L &sumx) const {
    // dv/dbeta = -B / (sumx beta^2).
    return -deosdv(T, B / (beta * sumx), A / (sumx * sumx), B / sumx) * B / (sumx * beta * beta);
  }
  L deosdT(const L &v, const L &ap, const L &b) const {
    if (c.vanDerWaals)
      return (ap * (b - v) + R * v * v) / (v * v * v - b * v * v);
    return R / (v - b) - ap / ((v + c.d1 * b) * (v + c.d2 * b));
  }
  L integral(const L &v, const L &b) const {
    if (c.vanDerWaals)
      return 1.0 / (v * R);
    return log((1.0 + c.d1 * b / v) / (1.0 + c.d2 * b / v)) / (R * b * (c.d1 - c.d2));
  }
  L dintegraldv(const L &v, const L &b) const {
    if (c.vanDerWaals)
      return -1.0 / (v * v * R);
    return -1.0 / (R * (v + c.d1 * b) * (v + c.d2 * b));
  }
};

template <class N> class Terms final : public CubicTerms {
  using In = Local<N>;
  using L = typename In::Number;

public:
  explicit Terms(int directions) : directions_(directions) {}

  int directions() const override { return directions_; }

  void precompute(const CubicConstants &constants, const std::vector<PureParameters> &pure,
                  const Value &T, Vector x) override {
    c_ = constants;
    const int n = static_cast<int>(pure.size());
    T_ = numberOf<N>(T.activeValue());
    root_.resize(pure.size());
    slope_.resize(pure.size());
    curvature_.resize(pure.size());
    covolume_.resize(pure.size());
    // Slopes in T only where T carries derivatives.
    const bool slopes = carriesDerivatives(T.activeValue());
    pureTerms(T.value(), slopes, pure);
    // The sums over the present components; the slopes in T of their
    // coefficients add up separately and enter through T's derivatives.
    S0_ = S1_ = S2_ = S3_ = B_ = N(0.0);
    double t0 = 0.0, t1 = 0.0, t2 = 0.0, t3 = 0.0;
    for (int i = 0; i < n; ++i) {
      const Active &xi = x[i].activeValue();
      const double xv = xi.value();
      if (xv == 0.0)
        continue;
      const std::size_t k = static_cast<std::size_t>(i);
      const Sloped &s = root_[k], &da = slope_[k], &d2a = curvature_[k];
      const double c1 = da.v / s.v, c2 = d2a.v / s.v, c3 = c1 * c1 / s.v;
      addScaled(S0_, xi, s.v);
      addScaled(S1_, xi, c1);
      addScaled(S2_, xi, c2);
      addScaled(S3_, xi, c3);
      addScaled(B_, xi, covolume_[k]);
      if (slopes) {
        const double inverse = 1.0 / s.v;
        const double c1T = (da.t - c1 * s.t) * inverse;
        t0 += xv * s.t;
        t1 += xv * c1T;
        t2 += xv * (d2a.t - c2 * s.t) * inverse;
        t3 += xv * (2.0 * c1 * c1T - c3 * s.t) * inverse;
      }
    }
    addScaledDerivatives(S0_, T_, t0);
    addScaledDerivatives(S1_, T_, t1);
    addScaledDerivatives(S2_, T_, t2);
    addScaledDerivatives(S3_, T_, t3);
    A_ = S0_ * S0_;
    dA_ = S0_ * S1_;
    d2A_ = S0_ * S2_ + S1_ * S1_ / 2.0 - S0_ * S3_ / 2.0;
  }

  void mixture(Value &A, Value &dAdT, Value &d2AdT2, Value &B) const override {
    A = Value(activeOf(A_), attraction());
    dAdT = Value(activeOf(dA_), attractionSlope());
    d2AdT2 = Value(activeOf(d2A_), attractionCurvature());
    B = Value(activeOf(B_), covolume());
  }

  void component(int i, Value &sqrtai, Value &dai, Value &d2ai, Value &amixi, Value &damixi,
                 Value &d2amixi) const override {
    const std::size_t k = static_cast<std::size_t>(i);
    const N s = ofT(root_[k]), da = ofT(slope_[k]), d2a = ofT(curvature_[k]);
    const N half = s / 2.0;
    const N slopeOverRoot = da / (2.0 * s);
    sqrtai = Value(activeOf(s), rootOfAttraction());
    dai = Value(activeOf(da), attractionSlope());
    d2ai = Value(activeOf(d2a), attractionCurvature());
    amixi = Value(activeOf(s * S0_), attraction());
    damixi = Value(activeOf(slopeOverRoot * S0_ + half * S1_), attractionSlope());
    d2amixi = Value(activeOf(half * S2_ - half * S3_ / 2.0 + slopeOverRoot * S1_ +
                             (d2a / (2.0 * s) - slopeOverRoot * slopeOverRoot / s) * S0_),
                    attractionCurvature());
  }

  void pressure(const Value &Tvalue, const Value &betaValue, const Value &sumxValue, int phaseType,
                const Value &betacValue, double betamin, double betamax,
                const PressureResults &results) override {
    const bool isVapor = phaseType == static_cast<int>(PhaseType::vapor);
    const bool isLiquid = phaseType == static_cast<int>(PhaseType::liquid);
    const N Tn = numberOf<N>(Tvalue.activeValue());
    const N betan = numberOf<N>(betaValue.activeValue());
    const N sumxn = numberOf<N>(sumxValue.activeValue());
    const N *const inputs[slots] = {&Tn, &betan, &sumxn, nullptr, nullptr,
                                    &A_, &dA_,   &d2A_,  &B_,     &S0_};
    const Formulas<L> f = formulas();
    const L T = In::in(Tn, slotT), beta = In::in(betan, slotBeta);
    const L sumx = In::in(sumxn, slotSumx);
    const double betac = betacValue.value();
    const L Pcalc = f.eos(T, beta, sumx);
    L P = Pcalc;
    const L Pcm = f.eos(T, L(betac), sumx);
    // Compared by value only.
    const double Tcm =
        valueOf(A_) * c_.OmegaB / (R * valueOf(B_) * c_.OmegaA * valueOf(sumxn));
    const bool belowCritical = valueOf(beta) < betac;
    if (valueOf(T) < Tcm || (isLiquid && belowCritical)) {
      // One fiftieth of the slope dP/dbeta of an ideal gas.
      const L floor = R * T * (sumx / f.B) / 50.0;
      L dpdbeta;
      if ((isVapor && valueOf(beta) > betac) || (isLiquid && belowCritical)) {
        P = Pcm;
        dpdbeta = f.deosdbeta(T, L(betac), sumx) - floor;
      } else {
        dpdbeta = f.deosdbeta(T, beta, sumx) - floor;
      }
      if (valueOf(dpdbeta) < 0.0) {
        const L P0 = withoutDerivatives(P);
        if (isLiquid)
          P = P0 + dpdbeta / poleDistance(beta, betamin, 1.0) / 10.0;
        else
          P = P0 + dpdbeta / poleDistance(beta, betamax, -1.0) / 10.0;
      } else if (isLiquid && belowCritical) {
        const L r = (beta - betamin) / (betac - betamin);
        P = Pcm * (r * r * r);
      } else if (isVapor && valueOf(beta) > betac) {
        P = Pcm * ((betac - betamax) / (beta - betamax));
      }
      results.dpdbeta = Value(activeOf(In::out(dpdbeta, inputs)), pascal());
    }
    results.Pcalc = Value(activeOf(In::out(Pcalc, inputs)), pascal());
    results.Pcm = Value(activeOf(In::out(Pcm, inputs)), pascal());
    results.P = Value(activeOf(In::out(P, inputs)), pascal());
  }

  void residuals(const Value &Pvalue, const Value &Tvalue, const Value &betaValue,
                 const Value &nValue, Value &sResidual, Value &hResidual,
                 Value &cpResidual) override {
    const N Pn = numberOf<N>(Pvalue.activeValue());
    const N Tn = numberOf<N>(Tvalue.activeValue());
    const N betan = numberOf<N>(betaValue.activeValue());
    const N nn = numberOf<N>(nValue.activeValue());
    const N *const inputs[slots] = {&Tn, &betan, &nn,  &Pn, nullptr,
                                    &A_, &dA_,   &d2A_, &B_, &S0_};
    const Formulas<L> f = formulas();
    const L T = In::in(Tn, slotT), beta = In::in(betan, slotBeta);
    const L n = In::in(nn, slotSumx), P = In::in(Pn, slotP);
    const L &A = f.A, &dA = f.dA, &d2A = f.d2A, &B = f.B;
    const L V = B / beta;
    const L I = f.integral(V, B);
    const L F = n * log(V / (V - B)) - A * I / T;
    const L FT = (A / T - dA) * I / T;
    const L FTT = (2.0 * (dA - A / T) / T - d2A) * I / T;
    const L v = B / (beta * n), b = B / n;
    const L dPdT = f.deosdT(v, dA / (n * n), b);
    const L dPdV = f.deosdv(T, v, A / (n * n), b) / n;
    const L Z = P / (beta * n / B * R * T);
    const L RT = R * T;
    sResidual = Value(activeOf(In::out(-RT * FT - R * F + n * R * log(Z), inputs)), molarEntropy());
    // P over the density of sumx 1 is P times the volume of the amount n.
    hResidual =
        Value(activeOf(In::out(-RT * T * FT + P / (beta / B) - n * R * T, inputs)), molarEnthalpy());
    cpResidual =
        Value(activeOf(In::out(-RT * (T * FTT + 2.0 * FT) - T * dPdT * dPdT / dPdV - n * R, inputs)),
              molarEntropy());
  }

  void lnphi(const Value &Pvalue, const Value &PcalcValue, const Value &Tvalue,
             const Value &betaValue, const Value &sumxValue, int phaseType,
             std::vector<Value> &lnphi) override {
    const N Pn = numberOf<N>(Pvalue.activeValue());
    const N Pcalcn = numberOf<N>(PcalcValue.activeValue());
    const N Tn = numberOf<N>(Tvalue.activeValue());
    const N betan = numberOf<N>(betaValue.activeValue());
    const N sumxn = numberOf<N>(sumxValue.activeValue());
    const N *const inputs[slots] = {&Tn, &betan, &sumxn, &Pn, &Pcalcn,
                                    &A_, &dA_,   &d2A_,  &B_, &S0_};
    const Formulas<L> f = formulas();
    const L T = In::in(Tn, slotT), beta = In::in(betan, slotBeta);
    const L sumx = In::in(sumxn, slotSumx), P = In::in(Pn, slotP);
    const L &A = f.A, &B = f.B;
    const L Z = keptPositive(P) / (beta * sumx / B * R * T);
    L common = -log(Z);
    if (phaseType == static_cast<int>(PhaseType::liquid) && PcalcValue.value() > Pvalue.value()) {
      // The liquid carries the excess of its uncorrected pressure over P.
      const L Pcalc = In::in(Pcalcn, slotPcalc);
      common += log(keptPositive(Pcalc) / keptPositive(P));
    }
    // dF/dn_i = repulsion + b_i covolumeFactor - attractionFactor amix_i,
    // amix_i = s_i S0, with s_i a function of T.
    const L V = B / beta;
    const L I = f.integral(V, B);
    common += log(V / (V - B));
    const L covolumeFactor = sumx / (V - B) + A * (I + V * f.dintegraldv(V, B)) / (B * T);
    const L attraction = 2.0 * I / T * In::in(S0_, slotS0);
    const N commonn = In::out(common, inputs);
    const N covolumeFactorn = In::out(covolumeFactor, inputs);
    const N attractionn = In::out(attraction, inputs);
    const double attractionValue = valueOf(attraction);
    const int count = static_cast<int>(root_.size());
    for (int i = 0; i < count; ++i) {
      const std::size_t k = static_cast<std::size_t>(i);
      const Sloped &s = root_[k];
      N r = commonn;
      addScaled(r, covolumeFactorn, covolume_[k]);
      addScaled(r, attractionn, -s.v);
      addScaledDerivatives(r, T_, -attractionValue * s.t);
      lnphi[k] = Value(activeOf(std::move(r)), dimensionless);
    }
  }

private:
  // s_i = sqrt(a_i), a_i' and a_i'' of every component at T, with their
  // slopes in T (0 unless asked for): s_i' = a_i' / (2 s_i), then a_i''
  // and a_i''' of the temperature function.
  void pureTerms(double T, bool slopes, const std::vector<PureParameters> &pure) {
    const std::size_t n = pure.size();
    for (std::size_t k = 0; k < n; ++k) {
      const PureParameters &p = pure[k];
      double a, da = 0.0, d2a = 0.0, d3a = 0.0;
      if (c_.vanDerWaals) {
        a = c_.OmegaA * R * R * p.Tc * p.Tc / p.Pc;
      } else {
        const double s = std::sqrt(T / p.Tc);
        const double alpha = 1.0 + p.m * (1.0 - s);
        const double scale = c_.OmegaA * R * R / p.Pc;
        da = -scale * p.m * p.Tc * alpha / s;
        d2a = scale * p.m * alpha / (2.0 * s * s * s) + scale * (p.m * p.m) * p.Tc / (2.0 * T);
        a = scale * p.Tc * p.Tc * alpha * alpha;
        if (slopes) {
          const double sT = 0.5 / (s * p.Tc); // ds/dT
          d3a = -scale * p.m * sT * (p.m * s + 3.0 * alpha) / (2.0 * s * s * s * s) -
                scale * (p.m * p.m) * p.Tc / (2.0 * T * T);
        }
      }
      const double root = std::sqrt(a);
      root_[k] = Sloped{root, slopes ? da / (2.0 * root) : 0.0};
      slope_[k] = Sloped{da, slopes ? d2a : 0.0};
      curvature_[k] = Sloped{d2a, slopes ? d3a : 0.0};
      covolume_[k] = p.b;
    }
  }

  // A pure parameter as a number of the context: its slope times T's derivatives.
  N ofT(const Sloped &p) const {
    N r(p.v);
    addScaledDerivatives(r, T_, p.t);
    return r;
  }

  Formulas<L> formulas() const {
    return Formulas<L>{c_, In::in(A_, slotA), In::in(dA_, slotSlopeA),
                       In::in(d2A_, slotCurvatureA), In::in(B_, slotB)};
  }

  int directions_;
  CubicConstants c_;
  N T_;
  std::vector<Sloped> root_, slope_, curvature_; // s_i = sqrt(a_i), a_i', a_i''
  std::vector<double> covolume_;              // b_i
  N S0_, S1_, S2_, S3_, B_, A_, dA_, d2A_;
};

} // namespace

std::unique_ptr<CubicTerms> makeCubicTerms() {
  if (numdir <= 0)
    return std::make_unique<Terms<double>>(0);
  if (Active::sparseMode())
    return std::make_unique<Terms<Active>>(numdir);
  switch (numdir) {
  case 1:
    return std::make_unique<Terms<DenseDual<1>>>(1);
  case 2:
    return std::make_unique<Terms<DenseDual<2>>>(2);
  case 3:
    return std::make_unique<Terms<DenseDual<3>>>(3);
  case 4:
    return std::make_unique<Terms<DenseDual<4>>>(4);
  default:
    return std::make_unique<Terms<DenseDual<5>>>(5);
  }
}

} // namespace Phase::EosCubic
