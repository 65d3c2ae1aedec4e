#pragma once
// The property model of the GERG-2004 phase: every reported property and
// every equation-of-state operation a stream uses are those of the
// Soave-Redlich-Kwong model; at each prepare the model also evaluates the
// GERG-2004 equation (Gerg2004Helmholtz.h) at the phase's current molar
// density, temperature and composition and keeps the result as its GERG
// state, which nothing else reads: it is there to be checked.
//
// Component i of the equation is component i of the process-wide list, by
// position. The list must hold exactly the 18 GERG-2004 fluids in their
// order (methane ... argon, Gerg2004Parameters.h); since names are the
// caller's own, each position is recognised by its molar mass within 1 %
// (which cannot tell nitrogen from carbon monoxide or the isomers apart).
// Any other list is refused at construction, so the evaluation never reads
// past the composition.
//
// Log lines are written when verbosityGlobal + verbosity() - 1 > level;
// none prints a value.

#include "velta/phases/Deriv.h"
#include "velta/phases/Eos.h"
#include "velta/phases/Gerg2004Parameters.h"

#include <array>

namespace Phase {

// The GERG-2004 state of the last Qinit. Scalars carry the derivatives of
// the current derivative context; records carry the gradient over
// (V, T, n_0 ... n_17) on top. All zero until the first Qinit.
class EosGerg2004 : public virtual Diagnostic {
public:
  EosGerg2004();
  ~EosGerg2004() override;

  // Evaluates the equation at molar density rho (kmol/m3), temperature T
  // (K) and the first 18 fractions of x, taken without normalisation.
  void Qinit(const Active &rho, const Active &T, Vector x);

  Active sumx;                              // sum of the first 18 fractions
  Active delta;                             // rho / rho_r(x)
  Active tau;                               // T_r(x) / T
  Active T;                                 // K
  Active rho;                               // kmol/m3
  Active P;                                 // Pa
  Active Z;                                 // P / (rho R T)
  Deriv aV;                                 // molar volume 1/rho, entry 0 seeded
  Deriv aT;                                 // temperature, entry 1 seeded
  std::array<Deriv, gerg2004Components> an; // x_i, entry i + 2 seeded
  Deriv a0;                                 // N alpha0 with its gradient
  Deriv ar;                                 // N alphar with its gradient
};

class Gerg2004 : public Eos<EosCubic::KwongRedlichSoave>, public EosGerg2004 {
public:
  // ErrorRunTime naming the phase when the component list is not the 18
  // GERG-2004 fluids in order.
  Gerg2004();
  ~Gerg2004() override;

  // The cubic preparation, then the GERG state at the cubic model's density.
  void prepare(const Value &T, Vector x) override;

  // The GERG state, for checks.
  const EosGerg2004 &gergState() const { return *this; }
};

} // namespace Phase
