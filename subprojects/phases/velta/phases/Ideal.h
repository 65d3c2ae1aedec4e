#pragma once
// The ideal property model: a vapour is an ideal gas, a liquid or solid an
// ideal solution of its pure components, every pure-component value coming
// from the components' property routes (so enthalpy and entropy are on the
// routes' reference state). Base of every other property model, which call
// its operations and add their corrections to its result members in place.
//
// Sums run over the components with x_i > 0 and are not divided by sumx:
// the results belong to the mole fractions as passed. The entropy carries
// the ideal mixing term -R sum x_i ln x_i; enthalpy, heat capacity and
// densities carry none.
//
// Mixing rules: vapour viscosity by Wilke and vapour conductivity by
// Wassiljewa with the Mason-Saxena factors
//   phi_ij = [1 + (mu_i/mu_j)^1/2 (M_j/M_i)^1/4]^2 / [8 (1 + M_i/M_j)]^1/2,
// liquid viscosity by the logarithmic mean, liquid conductivity by the
// power mean (sum x_i k_i^-3.4)^(-1/3.4), surface tension by the
// volume-fraction-weighted mean of the fourth roots.
//
// A phase in which no component is present (all x_i <= 0) takes the
// density, transport properties and surface tension of the equimolar
// mixture, so that an empty phase never divides by zero.
//
// Log lines are written when verbosityGlobal + verbosity() - 1 > level.

#include "velta/phases/Generic.h"
#include "velta/utility/Diagnostic.h"

#include <vector>

namespace Phase {

class Ideal : public Generic::Interface, public virtual Diagnostic {
public:
  // Sizes the per-component storage by the present component list.
  Ideal();
  ~Ideal() override;

  void initializeNonPersistents(Vector x, const Value &rho, const Value &MW) override;
  void prepare(const Value &T, Vector x) override;
  // ln kvli(T, P) for a liquid or solid, 0 for a vapour; every component.
  void preparefugacity(const Value &P, const Value &T, Vector x, const Value &sumx) override;
  // sumx R T rho.
  const Value &calculate_P_(const Value &rho, const Value &T, Vector x,
                            const Value &sumx) override;
  // Vapour P / (R T); condensed phases 1 / sum x_i / rho_i.
  const Value &calculate_rho_(const Value &P, const Value &T, Vector x) override;
  const Value &calculate_H_(const Value &P, const Value &T, Vector x) override;
  const Value &calculate_S_(const Value &P, const Value &T, Vector x) override;
  const Value &calculate_Cp_(const Value &P, const Value &T, Vector x) override;
  const Value &fugacity(int i) override;
  // Transport properties are plain values without derivatives, except the
  // liquid conductivity, which carries those of x.
  Value mu_(const Value &T, const Value &P, Vector x) override;
  Value kappa_(const Value &T, const Value &P, Vector x) override;
  Value sigma_(const Value &T, const Value &P, Vector x) override;

protected:
  // The sums of calculate_H_, calculate_S_ and calculate_Cp_ over the
  // routes of phase type type (PhaseType value) instead of the model's own,
  // written into the same result members; name qualifies the log lines.
  // The equation-of-state models take the vapour routes: their ideal-gas
  // reference at (T, P, x).
  const Value &enthalpyAs_(int type, const Value &P, const Value &T, Vector x, const char *name);
  const Value &entropyAs_(int type, const Value &P, const Value &T, Vector x, const char *name);
  const Value &heatCapacityAs_(int type, const Value &P, const Value &T, Vector x,
                               const char *name);

  // The interaction factor of the vapour mixing rules.
  static double interaction(double mu_i, double mu_j, double M_i, double M_j);

  double muvv_ = 0.0;           // vapour mixture viscosity of the last mu_, Pa*s
  double lnmul_ = 0.0;          // ln of the liquid mixture viscosity of the last mu_
  std::vector<double> muv_;     // component vapour viscosities, Pa*s (mu_)
  std::vector<double> mwcomps_; // component molecular weights, kg/kmol (mu_)
  Value P_;                     // calculate_P_
  Value rhomol_;                // calculate_rho_, kmol/m3
  Value vmol_;                  // molar volume summed by calculate_rho_, m3/kmol
  Value rhocomp_;               // molar density of the component being added
  Value hmol_;                  // calculate_H_, J/kmol
  Value hcomp_;
  Value smol_;                  // calculate_S_, J/(kmol*K)
  Value scomp_;
  Value cpmol_;                 // calculate_Cp_, J/(kmol*K)
  Value cpcomp_;
  std::vector<Value> lnphi_;    // preparefugacity, read through fugacity

private:
  // ErrorRunTime from function when the component list no longer has the
  // size the per-component storage was built for.
  void requireSizedStorage(const char *function) const;
  bool isVapor() const;
  bool isLiquid() const;
  bool isSolid() const;
  // Which components take part: x_i > 0 (with the unit check of values).
  static std::vector<bool> present(Vector x);
  // Plain weights of the present components, or 1/N for every component
  // when none is present.
  static std::vector<double> weights(Vector x);
  // Pure-component values by phase type (0 for an unknown phase type).
  static Value componentEnthalpy(int type, int i, const Value &T, const Value &P);
  static Value componentEntropy(int type, int i, const Value &T, const Value &P);
  static Value componentHeatCapacity(int type, int i, const Value &T, const Value &P);
  Value componentDensity(int i, const Value &T, const Value &P) const;
};

} // namespace Phase
