#include "velta/components/RouteTransportDippr.h"

#include "RouteSupport.h"

#include "velta/utility/Error.h"

#include <cmath>

namespace {

// DIPPR 100 and its slope.
double dippr100(const ParametersDippr &c, double T) {
  return c[0] + T * (c[1] + T * (c[2] + T * (c[3] + T * c[4])));
}
double dippr100Slope(const ParametersDippr &c, double T) {
  return c[1] + T * (2.0 * c[2] + T * (3.0 * c[3] + T * 4.0 * c[4]));
}

// DIPPR 102 and its slope.
double dippr102(const ParametersDippr &c, double T) {
  return c[0] * std::pow(T, c[1]) / (1.0 + c[2] / T + c[3] / (T * T));
}
double dippr102Slope(const ParametersDippr &c, double T) {
  const double D = 1.0 + c[2] / T + c[3] / (T * T);
  return c[0] * c[1] * std::pow(T, c[1] - 1.0) / D -
         c[0] * std::pow(T, c[1]) * (-c[2] / (T * T) - 2.0 * c[3] / (T * T * T)) / (D * D);
}

// A correlation inside its range, continued by extrapolateLow/High outside.
template <class F, class S>
double continued(const ParametersDippr &c, double T, F f, S slope) {
  const double tmin = c[5], tmax = c[6];
  if (T < tmin)
    return RouteTransportDippr::extrapolateLow(T, tmin, f(c, tmin), slope(c, tmin));
  if (T > tmax)
    return RouteTransportDippr::extrapolateHigh(T, tmax, f(c, tmax), slope(c, tmax));
  return f(c, T);
}

// A viscosity whose logarithm is continued linearly in 1/T beyond the range,
// with s = d ln f / d(1/T) at the bound.
template <class F, class S>
double continuedInReciprocal(const ParametersDippr &c, double T, F f, S s) {
  const double tmin = c[5], tmax = c[6];
  double bound;
  if (T < tmin)
    bound = tmin;
  else if (T > tmax)
    bound = tmax;
  else
    return f(c, T);
  return f(c, bound) * std::exp(s(c, bound) * (1.0 / T - 1.0 / bound));
}

double dippr101(const ParametersDippr &c, double T) {
  return std::exp(c[0] + c[1] / T + c[2] * std::log(T) + c[3] * std::pow(T, c[4]));
}
double dippr101ReciprocalSlope(const ParametersDippr &c, double Tb) {
  return c[1] - c[2] * Tb - c[3] * c[4] * std::pow(Tb, c[4] + 1.0);
}
double dippr102ReciprocalSlope(const ParametersDippr &c, double Tb) {
  return -c[1] * Tb - (c[2] + 2.0 * c[3] / Tb) / (1.0 + c[2] / Tb + c[3] / (Tb * Tb));
}

} // namespace

RouteTransportDippr::RouteTransportDippr(const ParametersDippr &kl, const ParametersDippr &kv,
                                         const ParametersDippr &mul, const ParametersDippr &muv,
                                         const ParametersDippr &sigma)
    : kldip_(kl), kvdip_(kv), muldip_(mul), muvdip_(muv), sigmadip_(sigma) {}

double RouteTransportDippr::extrapolateLow(double T, double Tb, double fb, double sb) {
  if (sb < 0.0)
    return fb + (T - Tb) * sb;
  return fb * std::exp((sb / fb) * (T - Tb));
}

double RouteTransportDippr::extrapolateHigh(double T, double Tb, double fb, double sb) {
  if (sb > 0.0)
    return fb + (T - Tb) * sb;
  return fb * std::pow(T / Tb, Tb * sb / fb);
}

Value RouteTransportDippr::kl(const Value &T) const {
  VELTA_TRACE_BEGIN
  routeSupport::requireKelvin(T);
  return Value(continued(kldip_, T.value(), dippr100, dippr100Slope),
               routeSupport::wattPerMetreKelvin);
  VELTA_TRACE_END("RouteTransportDippr::kl")
}

Value RouteTransportDippr::kv(const Value &T) const {
  VELTA_TRACE_BEGIN
  routeSupport::requireKelvin(T);
  return Value(continued(kvdip_, T.value(), dippr102, dippr102Slope),
               routeSupport::wattPerMetreKelvin);
  VELTA_TRACE_END("RouteTransportDippr::kv")
}

Value RouteTransportDippr::mul(const Value &T) const {
  VELTA_TRACE_BEGIN
  VELTA_ROUTE_ASSERT(muldip_[5] > 0.0, "muldip_[5] > 0.0");
  VELTA_ROUTE_ASSERT(muldip_[6] > 0.0, "muldip_[6] > 0.0");
  routeSupport::requirePositiveTemperature("RouteTransportDippr::mul", T);
  routeSupport::requireKelvin(T);
  return Value(continuedInReciprocal(muldip_, T.value(), dippr101, dippr101ReciprocalSlope),
               routeSupport::pascalSecond);
  VELTA_TRACE_END("RouteTransportDippr::mul")
}

Value RouteTransportDippr::muv(const Value &T) const {
  VELTA_TRACE_BEGIN
  routeSupport::requireKelvin(T);
  return Value(continuedInReciprocal(muvdip_, T.value(), dippr102, dippr102ReciprocalSlope),
               routeSupport::pascalSecond);
  VELTA_TRACE_END("RouteTransportDippr::muv")
}

Value RouteTransportDippr::sigma(const Value &T) const {
  VELTA_TRACE_BEGIN
  routeSupport::requireKelvin(T);
  const ParametersDippr &c = sigmadip_;
  const double tc = Tc().value();
  const auto value = [&c, tc](double t) {
    const double tr = t / tc;
    const double E = c[1] + tr * (c[2] + tr * (c[3] + tr * c[4]));
    return c[0] * std::pow(1.0 - tr, E);
  };
  const double Tv = T.value(), tmin = c[5], tmax = c[6];
  double result;
  if (Tv < tmin) {
    const double tr = tmin / tc;
    const double E = c[1] + tr * (c[2] + tr * (c[3] + tr * c[4]));
    const double dE = c[2] + 2.0 * c[3] * tr + 3.0 * c[4] * tr * tr;
    const double f = value(tmin);
    const double slope = f * (dE * std::log(1.0 - tr) - E / (1.0 - tr)) / tc;
    result = extrapolateLow(Tv, tmin, f, slope);
  } else if (Tv > tmax) {
    result = value(tmax);
  } else {
    result = value(Tv);
  }
  return Value(result, routeSupport::newtonPerMetre);
  VELTA_TRACE_END("RouteTransportDippr::sigma")
}
