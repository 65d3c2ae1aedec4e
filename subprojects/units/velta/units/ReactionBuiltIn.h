#pragma once
// The built-in reactions: thirteen fixed-conversion reactions that only fix
// their stoichiometry and key component, and eight equilibrium reactions
// built from one of them and ReactionEquilibrium. Components are named by
// their formulas and must be in the component list (ErrorNoComponent).
//
// ReactionSynthesisNH3 and ReactionWaterGasShift are stored in the
// decomposition and reverse-shift directions: a positive extent decomposes
// ammonia and converts CO2 + H2 into CO + H2O.

#include "velta/units/ReactionEquilibrium.h"

#define VELTA_REACTION_CONSTRUCTOR(Class)                                                          \
  static const char *const typeName;                                                               \
  Class(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)

// --- fixed conversion, deriving directly from ReactionYield
class ReactionOxidationCO : public ReactionYield {
public:
  VELTA_REACTION_CONSTRUCTOR(ReactionOxidationCO);
};
class ReactionOxidationMeOH : public ReactionYield {
public:
  VELTA_REACTION_CONSTRUCTOR(ReactionOxidationMeOH);
};
class ReactionOxidationNH3 : public ReactionYield {
public:
  VELTA_REACTION_CONSTRUCTOR(ReactionOxidationNH3);
};
class ReactionOxidationPhenol : public ReactionYield {
public:
  VELTA_REACTION_CONSTRUCTOR(ReactionOxidationPhenol);
};
class ReactionWaterGasC : public ReactionYield {
public:
  VELTA_REACTION_CONSTRUCTOR(ReactionWaterGasC);
};

// --- fixed conversion, bases of equilibrium reactions
class ReactionOxidationN2 : public virtual ReactionYield {
public:
  VELTA_REACTION_CONSTRUCTOR(ReactionOxidationN2);
};
class ReactionReformingCH4 : public virtual ReactionYield {
public:
  VELTA_REACTION_CONSTRUCTOR(ReactionReformingCH4);
};
class ReactionReformingC2H6 : public virtual ReactionYield {
public:
  VELTA_REACTION_CONSTRUCTOR(ReactionReformingC2H6);
};
class ReactionReformingC3H8 : public virtual ReactionYield {
public:
  VELTA_REACTION_CONSTRUCTOR(ReactionReformingC3H8);
};
class ReactionReformingMeOH : public virtual ReactionYield {
public:
  VELTA_REACTION_CONSTRUCTOR(ReactionReformingMeOH);
};
class ReactionSynthesisNH3 : public virtual ReactionYield {
public:
  VELTA_REACTION_CONSTRUCTOR(ReactionSynthesisNH3);
};
class ReactionWaterGasShift : public virtual ReactionYield {
public:
  VELTA_REACTION_CONSTRUCTOR(ReactionWaterGasShift);
};

// Total combustion of the hydrocarbon CxHy, x and y read as integer options
// (stored values when read back) within (-1, 999); a negative or missing
// value gives x = 1, y = 4 (methane).
//   CxHy + (x + y/4) O2 -> x CO2 + (y/2) H2O
class ReactionOxidationHydrocarbon : public virtual ReactionYield {
public:
  VELTA_REACTION_CONSTRUCTOR(ReactionOxidationHydrocarbon);
  ~ReactionOxidationHydrocarbon() override;
  // "C" [x] "H" [y], each count written only from 2 up, each element only
  // when present: (1, 4) "CH4", (1, 0) "C", (0, 2) "H2".
  static std::string fuelFormula(int x, int y);

  Integer x;
  Integer y;
};

// --- equilibrium reactions
class ReactionOxidationEquilibriumCH4 : public ReactionOxidationHydrocarbon,
                                        public ReactionEquilibrium {
public:
  VELTA_REACTION_CONSTRUCTOR(ReactionOxidationEquilibriumCH4);
};
class ReactionOxidationEquilibriumN2 : public ReactionOxidationN2, public ReactionEquilibrium {
public:
  VELTA_REACTION_CONSTRUCTOR(ReactionOxidationEquilibriumN2);
};
class ReactionReformingEquilibriumCH4 : public ReactionReformingCH4, public ReactionEquilibrium {
public:
  VELTA_REACTION_CONSTRUCTOR(ReactionReformingEquilibriumCH4);
};
class ReactionReformingEquilibriumC2H6 : public ReactionReformingC2H6, public ReactionEquilibrium {
public:
  VELTA_REACTION_CONSTRUCTOR(ReactionReformingEquilibriumC2H6);
};
class ReactionReformingEquilibriumC3H8 : public ReactionReformingC3H8, public ReactionEquilibrium {
public:
  VELTA_REACTION_CONSTRUCTOR(ReactionReformingEquilibriumC3H8);
};
class ReactionReformingEquilibriumMeOH : public ReactionReformingMeOH, public ReactionEquilibrium {
public:
  VELTA_REACTION_CONSTRUCTOR(ReactionReformingEquilibriumMeOH);
};
class ReactionSynthesisEquilibriumNH3 : public ReactionSynthesisNH3, public ReactionEquilibrium {
public:
  VELTA_REACTION_CONSTRUCTOR(ReactionSynthesisEquilibriumNH3);
};

// Its target constant comes from a fitted polynomial in ln(Teq / K),
//   K = 10^-f,  f = c0 + c1 L + ... + c5 L^5,
// about 0.69 at 1000 K and 1.36 at 1200 K (reverse-shift direction);
// Kgibbs is set to 1. A Teq at or below 0 K, where the polynomial has no
// value, throws ErrorRunTime.
class ReactionWaterGasShiftEquilibrium : public ReactionWaterGasShift, public ReactionEquilibrium {
public:
  VELTA_REACTION_CONSTRUCTOR(ReactionWaterGasShiftEquilibrium);
  void calculateKSollwert() override;

  Quantity Kgibbs;
};

#undef VELTA_REACTION_CONSTRUCTOR
