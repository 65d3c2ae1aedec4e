#include "velta/components/ComponentPdippr.h"

#include "ComponentDipprHenry.h"

#include "velta/utility/Error.h"

#include <utility>

ComponentPdippr::ComponentPdippr(const std::string &name, const Value &mw, const Value &Pc,
                                 const Value &Tc, const Value &rhoc, const Value &diffvol,
                                 const Value &vb, const Value &dh0, const Value &dg0,
                                 const Value &dhvl0, const Value &zc, const Value &omega,
                                 const ParametersAntoine &antoine, ParametersLnPolynomial cp,
                                 const ParametersDippr &dnldip, const ParametersDippr &kl,
                                 const ParametersDippr &kv, const ParametersDippr &mul,
                                 const ParametersDippr &muv, const ParametersDippr &sigma,
                                 const ParametersHenry &henry)
    : ComponentGeneric(name), ComponentBase(mw, Pc, Tc, rhoc, diffvol, vb, dh0, dg0, zc, omega),
      pdippr(dhvl0, antoine, std::move(cp), dnldip), RouteTransportDippr(kl, kv, mul, muv, sigma),
      henry_(henry.nonZero()), henryRecord_(henry) {}

ComponentPdippr::ComponentPdippr(const std::string &name, const Value &mw, const Value &Pc,
                                 const Value &Tc, const Value &rhoc, const Value &diffvol,
                                 const Value &vb, const Value &dh0, const Value &dg0,
                                 const Value &dhvl0, const Value &zc, const Value &omega,
                                 const ParametersAntoine &antoine, ParametersLnPolynomial cp,
                                 const ParametersDippr &kl, const ParametersDippr &kv,
                                 const ParametersDippr &mul, const ParametersDippr &muv,
                                 const ParametersDippr &sigma, const ParametersHenry &henry)
    : ComponentGeneric(name), ComponentBase(mw, Pc, Tc, rhoc, diffvol, vb, dh0, dg0, zc, omega),
      pdippr(dhvl0, antoine, std::move(cp)), RouteTransportDippr(kl, kv, mul, muv, sigma),
      henry_(henry.nonZero()), henryRecord_(henry) {}

Value ComponentPdippr::kvli(const Value &T, const Value &P) const {
  VELTA_TRACE_BEGIN
  // Components log with the common rule shifted to "- 5".
  VELTA_LOG(verbosity() - 4, 1, "ComponentPdippr::kvli", "Entered for " << name());
  if (henry_) {
    VELTA_LOG(verbosity() - 4, 2, "ComponentPdippr::kvli", "Henry; T = " << T);
    return componentDippr::henryPressure(henryRecord_, T, 1e8) / P;
  }
  VELTA_LOG(verbosity() - 4, 2, "ComponentPdippr::kvli", "Non-Henry; T = " << T);
  return psat(T) / P;
  VELTA_TRACE_END("ComponentPdippr::kvli")
}
