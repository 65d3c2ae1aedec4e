// The one place where the library modules' types are registered, in the
// order of the types listing: flowsheet, unit, stream, phase and reaction
// types. Each module that exists adds its one call here.
#include "velta/user/KernelInitialization.h"

#include "velta/flowsheet/FlowsheetTypes.h"
#include "velta/phases/PhaseTypes.h"
#include "velta/streams/StreamTypes.h"
#include "velta/units/ReactionTypes.h"
#include "velta/units/UnitTypes.h"
#include "velta/user/ExampleTypes.h"

void registerLibraryTypes() {
  Velta::Flowsheet::registerFlowsheetTypes();
  Velta::Units::registerUnitTypes();
  Velta::Streams::registerStreamTypes();
  Velta::Phases::registerPhaseTypes();
  Velta::Units::registerReactionTypes();
  // The kernel's own demonstration types come after every library type.
  Velta::User::registerExampleTypes();
}
