#pragma once
// A vapour-liquid species described by DIPPR correlations with held
// routes: constants from ComponentBase, saturation and liquid heat from the
// pdippr bundle, vapour heat from a heat capacity polynomial in ln T, liquid
// density from DIPPR 105 or from the water density correlation, ideal-gas
// vapour, DIPPR transport correlations and placeholder solid routes. A
// non-zero Henry record makes its vapour-liquid ratio follow Henry's law.

#include "velta/components/ComponentBase.h"
#include "velta/components/ComponentGeneric.h"
#include "velta/components/ParametersAntoine.h"
#include "velta/components/ParametersDippr.h"
#include "velta/components/ParametersHenry.h"
#include "velta/components/ParametersLnPolynomial.h"
#include "velta/components/RouteHeatSolidDummy.h"
#include "velta/components/RouteTransportDippr.h"
#include "velta/components/RouteVolumeSolidDummy.h"
#include "velta/components/pdippr.h"

#include <string>

class ComponentPdippr : public ComponentGeneric,
                        public ComponentBase,
                        public RouteHeatSolidDummy,
                        public RouteVolumeSolidDummy,
                        public pdippr,
                        public RouteTransportDippr {
public:
  // Units as ComponentDippr (dhvl0 in J/kmol). cp is the vapour heat
  // capacity polynomial in ln(T/K), kJ/(kmol*K); dnldip the DIPPR 105 liquid
  // density (kmol/m3).
  ComponentPdippr(const std::string &name, const Value &mw, const Value &Pc, const Value &Tc,
                  const Value &rhoc, const Value &diffvol, const Value &vb, const Value &dh0,
                  const Value &dg0, const Value &dhvl0, const Value &zc, const Value &omega,
                  const ParametersAntoine &antoine, ParametersLnPolynomial cp,
                  const ParametersDippr &dnldip, const ParametersDippr &kl,
                  const ParametersDippr &kv, const ParametersDippr &mul,
                  const ParametersDippr &muv, const ParametersDippr &sigma,
                  const ParametersHenry &henry);
  // The same without a liquid density record: the liquid density comes from
  // the water density correlation.
  ComponentPdippr(const std::string &name, const Value &mw, const Value &Pc, const Value &Tc,
                  const Value &rhoc, const Value &diffvol, const Value &vb, const Value &dh0,
                  const Value &dg0, const Value &dhvl0, const Value &zc, const Value &omega,
                  const ParametersAntoine &antoine, ParametersLnPolynomial cp,
                  const ParametersDippr &kl, const ParametersDippr &kv,
                  const ParametersDippr &mul, const ParametersDippr &muv,
                  const ParametersDippr &sigma, const ParametersHenry &henry);

  // ps / P, dimensionless, with T in K and P in Pa. Henry's law:
  //   ps = 1e8 Pa / (k 18.0153 exp(B (1/T - 1/298.15 K)))
  // with k and B the Henry record's elements; otherwise ps = psat(T).
  Value kvli(const Value &T, const Value &P) const override;
  bool isSolid() const override { return false; }
  bool isHenry() const override { return henry_; }
  const ParametersHenry &henryRecord() const { return henryRecord_; }

private:
  bool henry_;
  ParametersHenry henryRecord_;
};
