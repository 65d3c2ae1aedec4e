#pragma once
// Registration of the flowsheet module's types with the type factory: the
// flowsheet terminator, the composite units and their zones and stages.
// Called explicitly from start-up so that the types listing holds them in a
// fixed order whatever the link order.

#include "velta/utility/Enumerator.h"

namespace Velta::Flowsheet {

// Registers the flowsheet module's types in the order of the types listing.
// Runs once: later calls do nothing.
void registerFlowsheetTypes();

// "streamVCEnum" and "streamCEnum", the enumerators named by the column's
// string options "typeU" (vapour and condensate streams) and "typeW"
// (condensate streams).
Velta::Core::Enumerator streamVCEnumerator();
Velta::Core::Enumerator streamCEnumerator();

} // namespace Velta::Flowsheet
