#pragma once
// A vapour-liquid species described by DIPPR correlations: constants from
// ComponentBase, saturation and liquid heat from the dippr bundle, vapour
// heat from the DIPPR 107 ideal-gas heat capacity, liquid density from
// DIPPR 105, ideal-gas vapour, DIPPR transport correlations and placeholder
// solid routes. A non-zero Henry record makes its vapour-liquid ratio
// follow Henry's law.

#include "velta/components/ComponentBase.h"
#include "velta/components/ComponentGeneric.h"
#include "velta/components/ParametersAntoine.h"
#include "velta/components/ParametersDippr.h"
#include "velta/components/ParametersHenry.h"
#include "velta/components/RouteHeatSolidDummy.h"
#include "velta/components/RouteTransportDippr.h"
#include "velta/components/RouteVolumeSolidDummy.h"
#include "velta/components/dippr.h"

#include <string>

class ComponentDippr : public ComponentGeneric,
                       public ComponentBase,
                       public RouteHeatSolidDummy,
                       public RouteVolumeSolidDummy,
                       public dippr,
                       public RouteTransportDippr {
public:
  // Units (ErrorUnit otherwise): mw kg/kmol, Pc Pa, Tc K, rhoc kg/m3,
  // diffvol dimensionless, vb m3/kmol, dh0 and dg0 J/kmol, dhvl0 J/kmol (the
  // molar heat-of-vaporisation constant of the bundle), zc and omega
  // dimensionless. cpig is the DIPPR 107 ideal-gas heat capacity (J/(kmol*K)),
  // dnldip the DIPPR 105 liquid density (kmol/m3). A class derived from this
  // one builds the shared RouteHeatVaporDippr and RouteVolumeLiquidDippr
  // bases itself from the same cpig and dnldip.
  ComponentDippr(const std::string &name, const Value &mw, const Value &Pc, const Value &Tc,
                 const Value &rhoc, const Value &diffvol, const Value &vb, const Value &dh0,
                 const Value &dg0, const Value &dhvl0, const Value &zc, const Value &omega,
                 const ParametersAntoine &antoine, const ParametersDippr &cpig,
                 const ParametersDippr &dnldip, const ParametersDippr &kl,
                 const ParametersDippr &kv, const ParametersDippr &mul,
                 const ParametersDippr &muv, const ParametersDippr &sigma,
                 const ParametersHenry &henry);

  // ps / P, dimensionless, with T in K and P in Pa. Henry's law:
  //   ps = 1e6 Pa / (k 18.0153 exp(B (1/T - 1/298.15 K)))
  // with k and B the Henry record's elements; otherwise ps = psat(T).
  Value kvli(const Value &T, const Value &P) const override;
  bool isSolid() const override { return false; }
  bool isHenry() const override { return henry_; }
  const ParametersHenry &henryRecord() const { return henryRecord_; }

private:
  bool henry_;
  ParametersHenry henryRecord_;
};
