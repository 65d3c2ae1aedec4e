#include "velta/user/ExampleReactions.h"

// The virtual bases are built by the most derived class; the key component
// first, then the coefficients in the order given.
#define VELTA_EXAMPLE_REACTION_DEFINITION(Class, key, ...)                                         \
  const char *const Class::typeName = #Class;                                                      \
  Class::Class(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)       \
      : Object(defaults, id, persistency, parent, root),                                           \
        Model(defaults, id, persistency, parent, root),                                            \
        ReactionYield(defaults, id, persistency, parent, root) {                                   \
    setType(typeName);                                                                             \
    setStoichiometry(key, __VA_ARGS__);                                                            \
  }

VELTA_EXAMPLE_REACTION_DEFINITION(ReactionChemical3, "Chemical3",
                                  {{"H2O", -2}, {"Chemical3", -1}, {"Inert", 1}, {"Chemical1", 6}})
VELTA_EXAMPLE_REACTION_DEFINITION(ReactionChemical4, "Metal1",
                                  {{"Metal1", -1}, {"Chemical4", -2}, {"Inert", 1}, {"H2O", 2}})
VELTA_EXAMPLE_REACTION_DEFINITION(ReactionChemical4Decomposition, "Chemical4",
                                  {{"Chemical4", -1}, {"H2O", 1}, {"O2", 0.5}})
VELTA_EXAMPLE_REACTION_DEFINITION(ReactionInert, "Inert",
                                  {{"Inert", -1}, {"Chemical1", -6}, {"H2O", 2}, {"Chemical3", 1}})
VELTA_EXAMPLE_REACTION_DEFINITION(ReactionMetal1, "Metal1",
                                  {{"Metal1", -1},
                                   {"Chemical4", -2},
                                   {"Chemical1", -6},
                                   {"H2O", 4},
                                   {"Chemical3", 1}})
VELTA_EXAMPLE_REACTION_DEFINITION(ReactionMetal1Decomposition, "Metal1",
                                  {{"Metal1", -1}, {"H2O", -2}, {"Inert", 1}, {"H2", 2}})
VELTA_EXAMPLE_REACTION_DEFINITION(ReactionSalt2, "Metal2",
                                  {{"Metal2", -1}, {"Chemical1", -2}, {"Salt2", 1}, {"H2", 1}})
