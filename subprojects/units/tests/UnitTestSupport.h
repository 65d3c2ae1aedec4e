#pragma once
// Test support of the units: the unit types registered for the tests (the
// kernel registers them elsewhere), units created by name, and streams
// joined to their ports.

#include "StreamTestSupport.h"

#include "velta/phases/MassMolarProperties.h"
#include "velta/units/Compressor.h"
#include "velta/units/Degasser.h"
#include "velta/units/Divider.h"
#include "velta/units/Mixer.h"
#include "velta/units/Multiplier.h"
#include "velta/units/Selector.h"
#include "velta/units/Separator.h"
#include "velta/units/Splitter.h"
#include "velta/units/UnitTypes.h"
#include "velta/utility/Diagnostic.h"

#include <algorithm>
#include <memory>
#include <string>

namespace unittest {

using namespace streamtest;

inline void registerUnitTypes() {
  registerStreamTypes();
  Velta::Units::registerUnitTypes();
}

template <class U> std::unique_ptr<U> makeUnit(const std::string &type, Defaults options) {
  registerUnitTypes();
  std::unique_ptr<Node> node = NodeFactory().create(type, options, 0, nullptr, nullptr, nullptr);
  return std::unique_ptr<U>(dynamic_cast<U *>(node.release()));
}

template <class U> std::unique_ptr<U> makeUnit(const std::string &type) {
  return makeUnit<U>(type, Defaults("U1", "test unit"));
}

inline Phase::MassMolarProperties &props(Stream &s) {
  return dynamic_cast<Phase::MassMolarProperties &>(*s.Tphase);
}

inline bool has(const StringVector &messages, const std::string &text) {
  const auto &list = messages.value();
  return std::find(list.begin(), list.end(), text) != list.end();
}

// Runs the stream's own flash, as the flowsheet does after a unit that
// only prepares its outlets.
inline void flash(Stream &s) { s.go(1); }

} // namespace unittest
