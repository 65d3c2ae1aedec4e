#include "velta/phases/EosCubicVanDerWaals.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

namespace Phase::EosCubic {

VanDerWaals::VanDerWaals() : Interface(0.421875, 0.125, 0.3333333333333333) {}

VanDerWaals::~VanDerWaals() = default;

Value VanDerWaals::a(int i, const Value &, Value &da, Value &d2a) {
  static const char *const name = "Phase::EosCubic::VanDerWaals::a";
  VELTA_TRACE_BEGIN
  const Value &Tc = components[i]->Tc();
  da = Value(0.0, "Pa*m6/kmol2/K");
  d2a = Value(0.0, "Pa*m6/kmol2/K2");
  return OmegaA_ * gasConstant * gasConstant * Tc * Tc / components[i]->Pc();
  VELTA_TRACE_END(name)
}

Value VanDerWaals::eos(const Value &T, const Value &v, const Value &a, const Value &b) {
  static const char *const name = "Phase::EosCubic::VanDerWaals::eos";
  VELTA_LOG(verbosity(), 1, name, "Entered with v = " << v << " a = " << a << " b = " << b);
  VELTA_TRACE_BEGIN
  return (gasConstant * T * v * v - a * v + a * b) / (v * v * v - b * v * v);
  VELTA_TRACE_END(name)
}

Value VanDerWaals::deosdv(const Value &T, const Value &v, const Value &a, const Value &b) {
  static const char *const name = "Phase::EosCubic::VanDerWaals::deosdv";
  VELTA_LOG(verbosity(), 1, name, "Entered with v = " << v << " a = " << a << " b = " << b);
  VELTA_TRACE_BEGIN
  return -(((gasConstant * T * v * v - 2.0 * a * v + 4.0 * a * b) * v - 2.0 * a * b * b) /
           ((v * v - 2.0 * b * v + b * b) * v * v * v));
  VELTA_TRACE_END(name)
}

Value VanDerWaals::deosdT(const Value &, const Value &v, const Value &ap, const Value &b) {
  static const char *const name = "Phase::EosCubic::VanDerWaals::deosdT";
  VELTA_TRACE_BEGIN
  return (ap * (b - v) + gasConstant * v * v) / (v * v * v - b * v * v);
  VELTA_TRACE_END(name)
}

Value VanDerWaals::integral(const Value &v, const Value &) { return 1.0 / (v * gasConstant); }

Value VanDerWaals::dintegraldv(const Value &v, const Value &) {
  return -1.0 / (v * v * gasConstant);
}

} // namespace Phase::EosCubic
