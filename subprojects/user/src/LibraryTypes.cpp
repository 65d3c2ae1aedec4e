// The one place where the library modules' types are registered, in the
// order of the types listing: flowsheet, unit, stream, phase and reaction
// types. Each module that exists adds its one call here.
#include "velta/user/KernelInitialization.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/phases/PhaseSimple.h"
#include "velta/phases/PhaseSimpleTotal.h"
#include "velta/phases/PhaseTotal.h"
#include "velta/units/ReactionTypes.h"

namespace {

// Stand-in for the phase module's own registration of its types, limited to
// the phase classes that exist so far (the simple and total phases with the
// simple phase's aliases); the phase module's full registration replaces it.
void registerPhaseTypes() {
  NodeFactory factory;
  const std::vector<StringOption> typeP{
      StringOption("typeP", "phase type", "vapor", "phaseTypeEnum")};
  factory.registerType<PhaseSimpleTotal>("PhaseSimpleTotal",
                                         "Total phase model for simple mass-balance only", "phase",
                                         false, {}, {}, {}, "", 100, 100);
  factory.registerType<PhaseSimple>("PhaseSimple", "Simple, mass-balance only phase", "phase",
                                    false, {}, typeP, {}, "", 100, 100);
  for (const char *phase : {"vapor", "liquid", "solid"})
    factory.registerAlias("PhaseSimple", std::string("PhaseSimple<") + phase + ">",
                          std::string("Simple, mass-balance only, ") + phase + " phase",
                          Defaults().setString("typeP", phase), "", 100, 100);
  factory.registerType<PhaseTotal>("PhaseTotal", "Total phase model for mass and molar-balance",
                                   "phase", false, {}, {}, {}, "", 100, 100);
}

} // namespace

void registerLibraryTypes() {
  // flowsheet types: none yet
  // unit types: none yet
  // stream types: none yet
  registerPhaseTypes();
  Velta::Units::registerReactionTypes();
}
