#pragma once
// Registration of the phase types and their aliases with the type factory
// (category "phase"), called explicitly from start-up so that the types
// listing holds them in the order of the one table in PhaseTypes.cpp,
// whatever the link order.

#include "velta/utility/Enumerator.h"

namespace Velta::Phases {

// Registers every phase type and alias, in the order of the types listing.
// Runs once: later calls do nothing.
void registerPhaseTypes();

} // namespace Velta::Phases

namespace Phase {

// The enumerators named by the "typeP" descriptors: "phaseTypeEnum" (vapor,
// liquid, solid) and, without solid, "phaseTypeEnum1".
Velta::Core::Enumerator phaseTypeEnumerator(bool withSolid);

} // namespace Phase
