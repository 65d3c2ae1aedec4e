#include "velta/components/ComponentDippr.h"

#include "ComponentDipprHenry.h"

#include "velta/utility/Error.h"

ComponentDippr::ComponentDippr(const std::string &name, const Value &mw, const Value &Pc,
                               const Value &Tc, const Value &rhoc, const Value &diffvol,
                               const Value &vb, const Value &dh0, const Value &dg0,
                               const Value &dhvl0, const Value &zc, const Value &omega,
                               const ParametersAntoine &antoine, const ParametersDippr &cpig,
                               const ParametersDippr &dnldip, const ParametersDippr &kl,
                               const ParametersDippr &kv, const ParametersDippr &mul,
                               const ParametersDippr &muv, const ParametersDippr &sigma,
                               const ParametersHenry &henry)
    : RouteHeatVaporDippr(nullptr, cpig), RouteVolumeLiquidDippr(nullptr, dnldip),
      ComponentGeneric(name), ComponentBase(mw, Pc, Tc, rhoc, diffvol, vb, dh0, dg0, zc, omega),
      dippr(dhvl0, antoine), RouteTransportDippr(kl, kv, mul, muv, sigma),
      henry_(henry.nonZero()), henryRecord_(henry) {}

Value ComponentDippr::kvli(const Value &T, const Value &P) const {
  VELTA_TRACE_BEGIN
  // Components log with the common rule shifted to "- 5".
  VELTA_LOG(verbosity() - 4, 1, "ComponentDippr::kvli", "Entered");
  if (henry_) {
    const Value ps = componentDippr::henryPressure(henryRecord_, T, 1e6);
    VELTA_LOG(verbosity() - 4, 4, "ComponentDippr::kvli", "ps Henry = " << ps);
    return ps / P;
  }
  const Value ps = psat(T);
  VELTA_LOG(verbosity() - 4, 4, "ComponentDippr::kvli", "ps = " << ps);
  return ps / P;
  VELTA_TRACE_END("ComponentDippr::kvli")
}
