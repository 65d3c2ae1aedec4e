#pragma once
// A phase whose properties come from a property model that it owns: the
// phase holds the balances, the stored variables and the phase type, and
// forwards every property request to the model together with a view over
// its mole fractions.
//
// Generic::Interface is the contract of every property model (ideal,
// activity models, equations of state). Callers honour this order:
//   1. setPhaseType on the phase before anything else;
//   2. prepare(T, x) before preparefugacity and the caloric operations at a
//      state, and again whenever T or x change;
//   3. calculate_rho_ before calculate_H_, calculate_S_ and calculate_Cp_ at
//      a state;
//   4. preparefugacity before fugacity.
// Results returned by reference are members of the model, overwritten by
// the next call of the same operation. Models take the mole fractions as
// passed (sumx is their sum, not normalised to 1).
//
// A phase type built on Generic creates its model, passes it to the
// constructor, sets its phase type from its option "typeP" and implements
// clone and initializeNonPersistents (calling the model's
// initializeNonPersistents with x and the stored "rho" and "AMW").

#include "velta/core/Vector.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/utility/Diagnostic.h"

#include <memory>

namespace Phase {

class Generic : public MassMolarProperties {
public:
  class Interface;

  // The model is taken over; the phase type is not set here.
  Generic(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root,
          std::unique_ptr<Interface> model);
  ~Generic() override;

  // The phase's own type and the model's.
  void setPhaseType(int type) override;

  // --- forwarding to the model; each throws ErrorRunTime "No components
  // defined" under its own name when the component list is empty.
  const Value &calculate_P(const Value &rho, const Value &T) override;
  const Value &calculate_rho(const Value &P, const Value &T) override;
  const Value &calculate_H(const Value &P, const Value &T) override;
  const Value &calculate_Cp(const Value &P, const Value &T) override;
  const Value &calculate_S(const Value &P, const Value &T) override;
  // P before T here; the model takes T before P.
  Value mu(const Value &P, const Value &T) override;
  Value kappa(const Value &P, const Value &T) override;
  Value sigma(const Value &P, const Value &T) override;
  const Value &fugacity(int i) override;
  virtual void prepare(const Value &T);
  virtual void preparefugacity(const Value &P, const Value &T);

  // The owned model, which streams call directly during flashes.
  Interface &model() { return *model_; }
  const Interface &model() const { return *model_; }

protected:
  // Zero plus every mole fraction, in component order.
  Value sumx() const;
  // A fresh view over the mole fractions.
  Vector xView() { return Vector(&x); }

private:
  std::unique_ptr<Interface> model_;
};

class Generic::Interface {
public:
  virtual ~Interface() = default;

  // PhaseType value (1 vapor, 2 liquid, 3 solid); 0 until the owning phase
  // sets it.
  int phaseType() const { return phaseType_; }

  // Derives a starting state from the stored phase variables: rho the mass
  // density (kg/m3), MW the average molecular weight (kg/kmol).
  virtual void initializeNonPersistents(Vector x, const Value &rho, const Value &MW) = 0;
  virtual void prepare(const Value &T, Vector x) = 0;
  // Computes the logarithms of the fugacity coefficients of all components.
  virtual void preparefugacity(const Value &P, const Value &T, Vector x, const Value &sumx) = 0;
  // Pressure (Pa) at molar density rho (kmol/m3); models with a volume
  // variable of their own ignore rho.
  virtual const Value &calculate_P_(const Value &rho, const Value &T, Vector x,
                                    const Value &sumx) = 0;
  // Molar density (kmol/m3), enthalpy (J/kmol), entropy and heat capacity
  // (J/(kmol*K)).
  virtual const Value &calculate_rho_(const Value &P, const Value &T, Vector x) = 0;
  virtual const Value &calculate_H_(const Value &P, const Value &T, Vector x) = 0;
  virtual const Value &calculate_S_(const Value &P, const Value &T, Vector x) = 0;
  virtual const Value &calculate_Cp_(const Value &P, const Value &T, Vector x) = 0;
  // ln of the fugacity coefficient of component i from the last
  // preparefugacity.
  virtual const Value &fugacity(int i) = 0;
  // Viscosity (Pa*s), thermal conductivity (W/(m*K)), surface tension (N/m).
  virtual Value mu_(const Value &T, const Value &P, Vector x) = 0;
  virtual Value kappa_(const Value &T, const Value &P, Vector x) = 0;
  virtual Value sigma_(const Value &T, const Value &P, Vector x) = 0;

private:
  friend class Generic;
  int phaseType_ = 0;
};

} // namespace Phase
