#include "velta/components/DipprBundle.h"

#include "RouteSupport.h"

#include "velta/value/Constants.h"

#include <cmath>

namespace {

const double R = 8314.4; // J/(kmol*K)

// ln(psat/Pa) as a function of t = T/K.
template <class X> X lnPsat(const ParametersAntoine &a, const X &t) {
  using std::log;
  using std::pow;
  return a[0] + a[1] / (t + a[2]) + a[3] * t + a[4] * log(t) + a[5] * pow(t, a[6]);
}

double lnPsatSlope(const ParametersAntoine &a, double t) {
  return a[5] * a[6] * std::pow(t, a[6] - 1.0) - a[1] / ((t + a[2]) * (t + a[2])) + a[4] / t +
         a[3];
}

double lnPsatCurvature(const ParametersAntoine &a, double t) {
  return a[5] * a[6] * (a[6] - 1.0) * std::pow(t, a[6] - 2.0) +
         2.0 * a[1] / ((t + a[2]) * (t + a[2]) * (t + a[2])) - a[4] / (t * t);
}

// Pops the derivative context pushed by its creator, also on an error.
struct DerivativeContextScope {
  explicit DerivativeContextScope(int directions) { pushDerivativeContext(directions); }
  ~DerivativeContextScope() { popDerivativeContext(); }
  DerivativeContextScope(const DerivativeContextScope &) = delete;
  DerivativeContextScope &operator=(const DerivativeContextScope &) = delete;
};

Value pascals(Value dimensionlessPressure) {
  dimensionlessPressure.setUnits(routeSupport::pascal);
  return dimensionlessPressure;
}

} // namespace

DipprBundle::DipprBundle(const Value &dhvl0, const ParametersAntoine &antoine)
    : antoine_(antoine), dhvl0_(dhvl0.value()) {
  dhvl0.checkuom("J/kmol");
}

Value DipprBundle::computePsat(const Value &T, double *d1, double *d2) const {
  const ParametersAntoine &a = antoine_;
  VELTA_ROUTE_ASSERT(a[7] > 0.0, "antoine_[7] > 0.0");
  VELTA_ROUTE_ASSERT(a[8] > 0.0, "antoine_[8] > 0.0");
  routeSupport::requireKelvin(T);
  const double Tv = T.value();
  const double tmin = a[7], tmax = a[8];
  double first = 0.0, second = 0.0;
  Value psat;
  // A temperature at or below zero can come from a solver step: no vapour
  // pressure there.
  if (a[0] == 0.0 || Tv <= 0.0) {
    psat = Value(0.0, routeSupport::pascal);
  } else if (Tv < tmin) {
    const double A = dhvl0_;
    const double P1 = std::exp(lnPsat(a, tmin));
    const double X = R * tmin * tmin * lnPsatSlope(a, tmin);
    const double b = (X - A) / tmin;
    const Value t = routeSupport::reduced(T);
    psat = pascals(P1 * exp((b * log(t / tmin) - A * (1.0 / t - 1.0 / tmin)) / R));
    const double g = (A + b * Tv) / (R * Tv * Tv);
    first = psat.value() * g;
    second = psat.value() * (g * g - (b / (Tv * Tv) + 2.0 * A / (Tv * Tv * Tv)) / R);
  } else if (Tv < tmax) {
    const Value t = routeSupport::reduced(T);
    psat = pascals(exp(lnPsat(a, t)));
    const double slope = lnPsatSlope(a, Tv);
    first = psat.value() * slope;
    second = psat.value() * (lnPsatCurvature(a, Tv) + slope * slope);
  } else {
    const double P2 = std::exp(lnPsat(a, tmax));
    const double B = tmax * tmax * lnPsatSlope(a, tmax);
    const Value t = routeSupport::reduced(T);
    psat = pascals(P2 * exp(B / tmax - B / t));
    first = psat.value() * B / (Tv * Tv);
    second = psat.value() * (B * B / (Tv * Tv * Tv * Tv) - 2.0 * B / (Tv * Tv * Tv));
  }
  if (d1)
    *d1 = first;
  if (d2)
    *d2 = second;
  return psat;
}

Value DipprBundle::computeDhvl(const char *name, const Value &T, double *derT) const {
  double d1 = 0.0, d2 = 0.0;
  const Value P = psat(T, &d1, &d2);
  VELTA_ROUTE_LOG(2, name,
                  "psat = " << P.activeValue().toString() << " dpsatdt = " << d1
                            << " d2psatdt2 = " << d2);
  if (P.value() < 1e-100) {
    if (derT)
      *derT = 0.0;
    return Value(dhvl0_, routeSupport::joulePerKmol);
  }
  double dRhovdT = 0.0, dRhovdP = 0.0, dRhol = 0.0;
  const Value vv = 1.0 / rhov(T, P, &dRhovdT, &dRhovdP);
  const Value vl = 1.0 / rhol(T, P, &dRhol);
  VELTA_ROUTE_LOG(2, name, "vv = " << vv << " vl = " << vl);
  // Change of the vapour density along the saturation line.
  const double dRhov = dRhovdP * d1 + dRhovdT;
  VELTA_ROUTE_LOG(2, name,
                  "dRhovdT = " << dRhovdT << " dRhovdP = " << dRhovdP << " dRhol = " << dRhol
                               << " dRhov = " << dRhov);
  const Value deltav = vv - vl;
  // dpsat/dT whose own derivatives follow the chain rule through T.
  const Value Dpsatdt(routeSupport::withDerivatives(d1, T.activeValue(), d2),
                      routeSupport::pascalPerKelvin);
  const Value dhvl = Dpsatdt * T * deltav;
  if (derT) {
    const double Tv = T.value(), vvv = vv.value(), vlv = vl.value(), dv = deltav.value();
    // Like the vapour's, the liquid density changes along the saturation
    // line: a pressure-dependent liquid adds (drhol/dP) dpsat/dT.
    const double dRholSat = dRhol + liquidDensityPressureSlope(T, P) * d1;
    const double firstTerms = Tv * d1 * (dRholSat * vlv * vlv - dRhov * vvv * vvv) + d1 * dv;
    const double thirdTerm = Tv * dv * d2;
    *derT = firstTerms + thirdTerm;
    VELTA_ROUTE_LOG(2, name,
                    "derT = " << *derT << " dhvl = " << dhvl.activeValue().toString()
                              << " T*dpsatdt*(dRhol*vl2 - dRhov*vv2) + dpsatdt*deltav = "
                              << firstTerms << " T*deltav*d2psatdt2 = " << thirdTerm
                              << " Dpsatdt = " << Dpsatdt.activeValue().toString());
  } else {
    VELTA_ROUTE_LOG(2, name, "dhvl = " << dhvl.activeValue().toString());
  }
  return dhvl;
}

double DipprBundle::liquidDensityPressureSlope(const Value &T, const Value &P) const {
  // A context of its own, so the caller's derivatives are left alone.
  DerivativeContextScope scope(1);
  const Value t(T.value(), T.units());
  Value p(P.value(), P.units());
  p.activeValue().setActive(0);
  return rhol(t, p).activeValue().derivative(0);
}

Value DipprBundle::computeSl(const Value &T, const Value &P) const {
  return sv(T, P) - dhvl(T) / T;
}

Value DipprBundle::computeCpl(const char *name, const Value &T, bool logTerms) const {
  double derT = 0.0;
  dhvl(T, &derT);
  if (logTerms)
    VELTA_ROUTE_LOG(2, name,
                    "cpv(TT, p1) = " << cpv(T, referencePressure) << " dhvl(TT) = " << dhvl(T)
                                     << " derT = " << derT);
  return cpv(T, referencePressure) - Value(derT, routeSupport::joulePerKmolKelvin);
}
