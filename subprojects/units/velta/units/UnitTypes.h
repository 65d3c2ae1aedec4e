#pragma once
// Registration of the unit-operation types with the type factory (category
// "unit", and the "option" blocks that units create by name), called
// explicitly from start-up so that the types listing holds them in a fixed
// order whatever the link order.

#include "velta/utility/Enumerator.h"

namespace Velta::Units {

// Registers the unit-operation types and their aliases, in the order of the
// types listing. Runs once: later calls do nothing. The stream types the
// units embed are registered by the streams module.
void registerUnitTypes();

// "streamEnum", the enumerator named by the "embeddedTypeStream" options of
// the flash units.
Velta::Core::Enumerator streamEnumerator();

} // namespace Velta::Units
