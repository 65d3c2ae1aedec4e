#pragma once
// A molar phase with thermodynamic properties: volume flow, molar volume,
// mass density, enthalpy, heat capacity and entropy by mass and by moles,
// and the mass Gibbs energy. The property operations themselves are left to
// the concrete phases (a property model, or the member phases of a stream);
// this class runs the property pass at (P, T), keeps the volume flow
// consistent with the stored density in every balance and mixes molar
// enthalpy and entropy when phases are added or subtracted.
//
// Relations kept: vdot = mdot / rho, v = AMW / rho, rho = molar density *
// AMW, h = H / AMW, s = S / AMW, cp = Cp / AMW, g = h - T s.
//
// The property operations take P before T; results returned by reference
// belong to the object that computed them and stay valid until its next
// call of the same operation.

#include "velta/phases/MassMolar.h"

namespace Phase {

class MassMolarProperties : public MassMolar {
public:
  MassMolarProperties(Defaults defaults, int id, Persistency *persistency, Node *parent,
                      Node *root);
  ~MassMolarProperties() override;

  // Fills rho, v, vdot, H (when writeH), S, h, s, g, Cp and cp at (P, T),
  // asking for the molar density, enthalpy, entropy and heat capacity in
  // that order.
  void calculateProperties(const Value &P, const Value &T, bool writeH) override;

  // The balances of MassMolar, then vdot from the stored density.
  void calculateMw_() override;
  void calculateM_() override;
  void calculateNx_() override;
  void calculateMx_() override;
  void calculateNw_() override;
  void calculateN_() override;

  // Molar enthalpy and entropy are mixed by molar flow; a right-hand phase
  // without properties leaves them alone.
  Mass &operator+=(const Mass &rhs) override;
  Mass &operator-=(const Mass &rhs) override;
  // Flows and vdot scaled.
  Mass &operator*=(const Value &factor) override;

  // --- property operations of the concrete phases
  // Pressure at molar density rho (kmol/m3) and T.
  virtual const Value &calculate_P(const Value &rho, const Value &T) = 0;
  // Molar density (kmol/m3), enthalpy (J/kmol), entropy and isobaric heat
  // capacity (J/(kmol*K)).
  virtual const Value &calculate_rho(const Value &P, const Value &T) = 0;
  virtual const Value &calculate_H(const Value &P, const Value &T) = 0;
  virtual const Value &calculate_Cp(const Value &P, const Value &T) = 0;
  virtual const Value &calculate_S(const Value &P, const Value &T) = 0;
  // Viscosity (Pa*s), thermal conductivity (W/(m*K)), surface tension (N/m).
  virtual Value mu(const Value &P, const Value &T) = 0;
  virtual Value kappa(const Value &P, const Value &T) = 0;
  virtual Value sigma(const Value &P, const Value &T) = 0;
  // Natural logarithm of the fugacity coefficient of component i.
  virtual const Value &fugacity(int i) = 0;

  // Prandtl number Cp mu / (kappa AMW).
  Value Pr(const Value &P, const Value &T);

  // --- stored variables
  Quantity vdot;
  Quantity v;
  Quantity rho;
  Quantity h;
  Quantity H;
  Quantity cp;
  Quantity Cp;
  Quantity s;
  Quantity S;
  Quantity g;

private:
  // vdot = mdot / rho, zeroed when rho is 0.
  void updateVolumeFlow();
  // h and s from H and S, zeroed when AMW is not positive.
  void updateMassBasis();
};

} // namespace Phase
