#pragma once

namespace Velta::User {

// Registers the demonstration process's types, once, after every library
// type: Stadio, Attacco<1>, Attacco<3>, the seven example reactions and
// Inorganic, in the order of the types listing.
void registerExampleTypes();

} // namespace Velta::User
