#pragma once
// The one implementation of the component constants: stored in SI, their
// dimensions and ranges checked when the component is built.

#include "velta/components/ComponentInterface.h"

class ComponentBase : public virtual ComponentInterface {
public:
  // Every value must carry the dimensions of its unit (ErrorUnit otherwise):
  // mw kg/kmol, Pc Pa, Tc K, rhoc kg/m3, diffvol dimensionless, vb m3/kmol,
  // dh0 and dg0 J/kmol, zc and omega dimensionless. Out-of-range constants
  // stop the process: the constants are literals in code.
  ComponentBase(const Value &mw, const Value &Pc, const Value &Tc, const Value &rhoc,
                const Value &diffvol, const Value &vb, const Value &dh0, const Value &dg0,
                const Value &zc, const Value &omega);
  // Placeholders for a substance known only by its molar mass (solids):
  // Pc 1500 bar, Tc 2000 K, zc 0.3, rhoc = Pc mw / (zc R Tc), diffvol 0,
  // vb = 1.5 mw / rhoc, dh0 = dg0 = 0, omega 0.1.
  explicit ComponentBase(const Value &mw);

  const Value &MW() const override { return mw_; }
  const Value &Pc() const override { return Pc_; }
  const Value &Tc() const override { return Tc_; }
  // zc R Tc / Pc from the virtual accessors, with their derivatives.
  Value vc() const override;
  const Value &zc() const override { return zc_; }
  const Value &omega() const override { return omega_; }
  const Value &diffvol() const override { return diffvol_; }
  const Value &vb() const override { return vb_; }
  const Value &dh0() const override { return dh0_; }
  const Value &dg0() const override { return dg0_; }
  // Critical mass density, kg/m3 (stored and checked; not part of the interface).
  const Value &rhoc() const { return rhoc_; }

protected:
  // Solid and Barin components take their formation references from their
  // solid data once it is built (J/kmol; ErrorUnit otherwise).
  void setFormationReferences(const Value &dh0, const Value &dg0);

private:
  void checkUnits() const;

  Value mw_, Pc_, Tc_, rhoc_, diffvol_, vb_, zc_, dh0_, dg0_, omega_;
};
