#pragma once
// Registration of the flowsheet module's types with the type factory: the
// flowsheet terminator and, as they come, the composite units. Called
// explicitly from start-up so that the types listing holds them in a fixed
// order whatever the link order.

namespace Velta::Flowsheet {

// Registers the flowsheet module's types in the order of the types listing.
// Runs once: later calls do nothing.
void registerFlowsheetTypes();

} // namespace Velta::Flowsheet
