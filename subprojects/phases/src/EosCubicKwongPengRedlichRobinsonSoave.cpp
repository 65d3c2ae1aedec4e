#include "velta/phases/EosCubicKwongPengRedlichRobinsonSoave.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

namespace Phase::EosCubic {

KwongPengRedlichRobinsonSoave::KwongPengRedlichRobinsonSoave(double OmegaA, double OmegaB,
                                                             double betac, double d1, double d2)
    : Interface(OmegaA, OmegaB, betac), d1_(d1), d2_(d2) {}

KwongPengRedlichRobinsonSoave::~KwongPengRedlichRobinsonSoave() = default;

Value KwongPengRedlichRobinsonSoave::a(int i, const Value &T, Value &da, Value &d2a) {
  static const char *const name = "Phase::EosCubic::KwongPengRedlichRobinsonSoave::a";
  VELTA_TRACE_BEGIN
  const Value &Tc = components[i]->Tc();
  const Value &Pc = components[i]->Pc();
  const Value &R = gasConstant;
  const double mi = m(components[i]->omega().value());
  const Value s = sqrt(T / Tc);
  const Value alpha = 1.0 + mi * (1.0 - s);
  const Value scale = OmegaA_ * R * R / Pc;
  da = -scale * mi * Tc * alpha / s;
  d2a = scale * mi * alpha / (2.0 * s * s * s) + scale * (mi * mi) * Tc / (2.0 * T);
  return scale * Tc * Tc * alpha * alpha;
  VELTA_TRACE_END(name)
}

Value KwongPengRedlichRobinsonSoave::eos(const Value &T, const Value &v, const Value &a,
                                         const Value &b) {
  static const char *const name = "Phase::EosCubic::KwongPengRedlichRobinsonSoave::eos";
  VELTA_LOG(verbosity(), 1, name, "Entered with v = " << v << " a = " << a << " b = " << b);
  VELTA_TRACE_BEGIN
  const Value repulsion = gasConstant * T / (v - b);
  const Value v1 = v + d1_ * b;
  const Value v2 = v + d2_ * b;
  const Value attraction = a / v1 / v2;
  VELTA_LOG(verbosity(), 1, name, "R * T / (v - b) = " << repulsion);
  VELTA_LOG(verbosity(), 1, name, "v + d1_ * b = " << v1);
  VELTA_LOG(verbosity(), 1, name, "v + d2_ * b = " << v2);
  VELTA_LOG(verbosity(), 1, name, "a / (v + d1_ * b) / (v + d2_ * b) = " << attraction);
  return repulsion - attraction;
  VELTA_TRACE_END(name)
}

Value KwongPengRedlichRobinsonSoave::deosdv(const Value &T, const Value &v, const Value &a,
                                            const Value &b) {
  static const char *const name = "Phase::EosCubic::KwongPengRedlichRobinsonSoave::deosdv";
  VELTA_LOG(verbosity(), 1, name, "Entered with v = " << v << " a = " << a << " b = " << b);
  VELTA_TRACE_BEGIN
  const Value vb = v - b;
  const Value v1 = v + d1_ * b;
  const Value v2 = v + d2_ * b;
  Value result = -gasConstant * T / (vb * vb) + a / (v1 * v1 * v2) + a / (v1 * v2 * v2);
  VELTA_LOG(verbosity(), 2, name, "deosdv = " << result);
  return result;
  VELTA_TRACE_END(name)
}

Value KwongPengRedlichRobinsonSoave::deosdT(const Value &, const Value &v, const Value &ap,
                                            const Value &b) {
  static const char *const name = "Phase::EosCubic::KwongPengRedlichRobinsonSoave::deosdT";
  VELTA_TRACE_BEGIN
  return gasConstant / (v - b) - ap / ((v + d1_ * b) * (v + d2_ * b));
  VELTA_TRACE_END(name)
}

Value KwongPengRedlichRobinsonSoave::integral(const Value &v, const Value &b) {
  return log((1.0 + d1_ * b / v) / (1.0 + d2_ * b / v)) / (gasConstant * b * (d1_ - d2_));
}

Value KwongPengRedlichRobinsonSoave::dintegraldv(const Value &v, const Value &b) {
  return -1.0 / (gasConstant * (v + d1_ * b) * (v + d2_ * b));
}

} // namespace Phase::EosCubic
