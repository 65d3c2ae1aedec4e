#include "velta/user/ExampleTypes.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/user/Attacco.h"
#include "velta/user/ExampleReactions.h"
#include "velta/user/Inorganic.h"
#include "velta/user/Stadio.h"

namespace {

// No option lists, the category's icon, 100 x 100; only flowsheets are
// instantiable.
template <class T> void registerExample(const char *description, const char *category) {
  const bool instantiable = std::string(category) == "flowsheet";
  NodeFactory().registerType<T>(T::typeName, description, category, instantiable, {}, {}, {}, "",
                                100, 100);
}

} // namespace

namespace Velta::User {

void registerExampleTypes() {
  // Not atomic: start-up runs on one thread.
  static bool registered = false;
  if (registered)
    return;
  registered = true;
  registerExample<Stadio>("Single attack or washing stage", "flowsheet");
  registerExample<Attacco<1>>("Attack and single-stage washing", "flowsheet");
  registerExample<Attacco<3>>("Attack and three-stage multi-stage countercurrent washings",
                              "flowsheet");
  registerExample<ReactionSalt2>("Attack of Metal2 with Chemical1", "option");
  registerExample<ReactionInert>("Inert reaction", "option");
  registerExample<ReactionChemical4>("Attack of Metal1 with Chemical4", "option");
  registerExample<ReactionMetal1Decomposition>("Decomposition of the Metal1 water aggregate",
                                               "option");
  registerExample<ReactionMetal1>("Reacion of Metal1 with water to produce the aggregate",
                                  "option");
  registerExample<ReactionChemical4Decomposition>("Elimination of Chemical4", "option");
  registerExample<ReactionChemical3>("Combination of Chemical3 with water", "option");
  registerExample<Inorganic>(
      "Purification process based on multistage countercurrent acid washings", "flowsheet");
}

} // namespace Velta::User
