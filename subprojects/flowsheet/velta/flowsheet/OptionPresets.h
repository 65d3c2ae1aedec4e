#pragma once
// Option sets only add (a present option keeps its value), so a composite
// that must fix some options of a child puts its presets in first and the
// handed-down options after them.

#include "velta/persistency/Defaults.h"

namespace Velta::Flowsheet {

// The given tag, description and options, the presets in place of given
// options of the same name.
inline Defaults withPresets(const Defaults &given, const Defaults &presets) {
  Defaults options = presets.relay(given.tag(), given.description());
  for (const auto &[name, value] : given.integers())
    options.setInteger(name, value);
  for (const auto &[name, value] : given.strings())
    options.setString(name, value);
  return options;
}

} // namespace Velta::Flowsheet
