#pragma once
// Registration of the stream types and their aliases with the type factory
// (category "stream"), called explicitly from start-up so that the types
// listing holds them in a fixed order whatever the link order.

#include "velta/utility/Enumerator.h"

namespace Velta::Streams {

// Registers the stream types and aliases, in the order of the types
// listing. Runs once: later calls do nothing. The phase types that the
// streams embed are registered by the phases module.
void registerStreamTypes();

// "phaseEnum", the enumerator named by the "embeddedTypePhase" options: the
// phase types a stream can embed.
Velta::Core::Enumerator phaseEnumerator();

} // namespace Velta::Streams
