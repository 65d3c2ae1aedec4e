// The one place where the library modules' types are registered, in the
// order of the types listing: flowsheet, unit, stream, phase and reaction
// types. Each module that exists adds its one call here.
#include "velta/user/KernelInitialization.h"

#include "velta/phases/PhaseTypes.h"
#include "velta/streams/StreamTypes.h"
#include "velta/units/ReactionTypes.h"

void registerLibraryTypes() {
  // flowsheet types: none yet
  // unit types: none yet
  Velta::Streams::registerStreamTypes();
  Velta::Phases::registerPhaseTypes();
  Velta::Units::registerReactionTypes();
}
