#pragma once
// The constant properties every pure component answers, in SI units. A
// virtual base of every component, shared by the property routes that read
// the constants.

#include "velta/value/Value.h"

class ComponentInterface {
public:
  virtual ~ComponentInterface() = default;

  virtual const Value &MW() const = 0;      // molar mass, kg/kmol
  virtual const Value &Pc() const = 0;      // critical pressure, Pa
  virtual const Value &Tc() const = 0;      // critical temperature, K
  virtual Value vc() const = 0;             // critical molar volume, m3/kmol (computed)
  virtual const Value &zc() const = 0;      // critical compressibility factor
  virtual const Value &omega() const = 0;   // acentric factor
  virtual const Value &diffvol() const = 0; // diffusion volume
  virtual const Value &vb() const = 0;      // molar volume at the normal boiling point, m3/kmol
  virtual const Value &dh0() const = 0;     // enthalpy of formation at 298.15 K, J/kmol
  virtual const Value &dg0() const = 0;     // Gibbs energy of formation at 298.15 K, J/kmol
};
