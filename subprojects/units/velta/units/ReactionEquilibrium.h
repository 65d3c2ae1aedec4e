#pragma once
// An equilibrium reaction: a fixed-conversion reaction whose extent the
// owning unit solves for, so that the actual equilibrium constant of the
// reacting phase (Kist, from partial pressures relative to 101325 Pa) meets
// the target constant (K, from the components' Gibbs energies at
// Teq = Tact + deltaT and 101325 Pa).
//
// The concrete classes derive from a fixed-conversion built-in reaction and
// from this class, sharing one virtual ReactionYield.
//
// Unit protocol: in its simultaneous setup the unit sets option "conv" and
// silentBounding, and makes conv an unknown; before the residuals it sets
// Tact and P and calls calculateEquilibrium with the phase's mole
// fractions; after calculate it takes calculateResidual as one residual.

#include "velta/units/Reaction.h"

class Vector;

class ReactionEquilibrium : public virtual ReactionYield {
public:
  static const char *const typeName;

  ReactionEquilibrium(Defaults defaults, int id, Persistency *persistency, Node *parent,
                      Node *root);
  ~ReactionEquilibrium() override;

  // Teq := Tact + deltaT, then K and Kist.
  void calculateEquilibrium(const Vector &x);
  // K = prod exp(-nu_i G_i(Teq, 101325 Pa) / (R Teq)), solids by their
  // solid Gibbs energy.
  virtual void calculateKSollwert();
  // Kist = prod (p_i / 101325 Pa)^nu_i over the fluid components taking
  // part, p_i = x_i P made smoothly positive.
  void calculateKIstWert(const Vector &x);
  // ln K - ln Kist, K clipped into [2^-52, 2^52]; replaced by a penalty
  // when bound cut the extent below conv.
  void calculateResidual(Value &y);

  Quantity Teq;
  Quantity Tact;
  Quantity deltaT;
  Quantity P;
  Quantity K;
  Quantity Kist;
};
