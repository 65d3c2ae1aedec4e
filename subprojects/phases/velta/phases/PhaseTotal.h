#pragma once
// The total phase of a stream with molar balances (the stream's child
// "Tphase"): its composition and flows are those of the whole stream, its
// properties the fraction-weighted sums over the stream's member phases,
// which must all be molar phases with properties. The sums use the values
// that the member phases stored in their last property pass (only the
// density is computed anew) and need the stream attached with setStream.

#include "velta/phases/MassMolarProperties.h"
#include "velta/phases/Total.h"

class PhaseTotal : public Phase::MassMolarProperties, public Phase::Total {
public:
  PhaseTotal(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~PhaseTotal() override;

  // A copy with this phase's variables and no stream.
  std::unique_ptr<Node> clone() const override;
  // Only tests that components are defined.
  void initializeNonPersistents() override;

  // 1e10 Pa whatever rho and T.
  const Value &calculate_P(const Value &rho, const Value &T) override;
  // 1 / sum (f_p / rho_p) over the member phases with a positive fraction,
  // each density computed at (P, T); 0 kmol/m3 when no phase contributes.
  const Value &calculate_rho(const Value &P, const Value &T) override;
  // sum f_p X_p over the member phases with a positive fraction, X the
  // stored "H", "Cp" or "S" of each phase.
  const Value &calculate_H(const Value &P, const Value &T) override;
  const Value &calculate_Cp(const Value &P, const Value &T) override;
  const Value &calculate_S(const Value &P, const Value &T) override;
  // 1e10 Pa*s, 1e10 W/(m*K) and 0 N/m.
  Value mu(const Value &P, const Value &T) override;
  Value kappa(const Value &P, const Value &T) override;
  Value sigma(const Value &P, const Value &T) override;
  // 1 for every component.
  const Value &fugacity(int i) override;

private:
  // The member phases; ErrorRunTime from function without a stream.
  std::vector<Phase::Mass *> memberPhases(const char *function) const;
  // Member phase p as a phase with properties (ErrorDynamicCast naming
  // function otherwise).
  static Phase::MassMolarProperties &withProperties(Phase::Mass *p, const char *function);

  Value H_;
  Value Cp_;
  Value S_;
  Value vtotal_;
  Value rho_;
};
