#pragma once
// The fixed-conversion reactions of the demonstration process (acid attack
// and washing of a solid). Each only fixes its key component and its
// coefficients over the kernel's component list; components are named as
// there (ErrorNoComponent when one is missing: ReactionChemical4Decomposition
// names "O2", which the kernel's list lacks).

#include "velta/units/Reaction.h"

#define VELTA_EXAMPLE_REACTION(Class)                                                              \
  class Class : public virtual ReactionYield {                                                     \
  public:                                                                                          \
    static const char *const typeName;                                                             \
    Class(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);           \
  }

// Chemical3 + 2 H2O -> Inert + 6 Chemical1
VELTA_EXAMPLE_REACTION(ReactionChemical3);
// Metal1 + 2 Chemical4 -> Inert + 2 H2O
VELTA_EXAMPLE_REACTION(ReactionChemical4);
// Chemical4 -> H2O + 0.5 O2
VELTA_EXAMPLE_REACTION(ReactionChemical4Decomposition);
// Inert + 6 Chemical1 -> 2 H2O + Chemical3
VELTA_EXAMPLE_REACTION(ReactionInert);
// Metal1 + 2 Chemical4 + 6 Chemical1 -> 4 H2O + Chemical3
VELTA_EXAMPLE_REACTION(ReactionMetal1);
// Metal1 + 2 H2O -> Inert + 2 H2
VELTA_EXAMPLE_REACTION(ReactionMetal1Decomposition);
// Metal2 + 2 Chemical1 -> Salt2 + H2
VELTA_EXAMPLE_REACTION(ReactionSalt2);

#undef VELTA_EXAMPLE_REACTION
