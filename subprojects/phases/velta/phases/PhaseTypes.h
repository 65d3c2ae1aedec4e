#pragma once
// Registration of the phase types and their aliases with the type factory
// (category "phase"). Every source file that includes this header holds one
// PhaseTypesRegistrar; a process-wide counter lets only the first one
// register, so the kernel's first source file, which includes it, registers
// the types during start-up, and the listing order is the order of the one
// table in PhaseTypes.cpp whatever the link order.

#include "velta/persistency/NodeFactory.h"
#include "velta/utility/Enumerator.h"

class PhaseTypesRegistrar {
public:
  // Registers every phase type when the counter was 0, then counts.
  PhaseTypesRegistrar();
  // Counts down; nothing is unregistered.
  ~PhaseTypesRegistrar();
  PhaseTypesRegistrar(const PhaseTypesRegistrar &) = delete;
  PhaseTypesRegistrar &operator=(const PhaseTypesRegistrar &) = delete;
};

namespace Phase {

// The enumerators named by the "typeP" descriptors: "phaseTypeEnum" (vapor,
// liquid, solid) and, without solid, "phaseTypeEnum1".
Velta::Core::Enumerator phaseTypeEnumerator(bool withSolid);

} // namespace Phase

static PhaseTypesRegistrar phaseTypesRegistrar;
