#pragma once
// Registration of the reaction types with the type factory, called
// explicitly from start-up so that the types listing holds them in a fixed
// order whatever the link order.

namespace Velta::Units {

// Registers the 22 reaction types and the 10 aliases of
// ReactionOxidationHydrocarbon (category "option", not instantiable), in
// the order of the types listing. Runs once: later calls do nothing.
void registerReactionTypes();

// Registers "MultiReaction<2>" and "MultiReactionTransfer". These belong
// to the unit-operation types (the multi-stream heat exchanger's blocks):
// the unit-operation registration calls this at its place in the listing.
// Runs once.
void registerMultiReactionTypes();

} // namespace Velta::Units
