#pragma once
// The eight enumerations shared by all models. Values count from 1 in table
// order; 0 means no entry. Reading a value outside a table gives the null
// entry ("Null", "Undefined"); looking up an absent name gives the table's
// size plus 1, which callers test and report themselves. Nothing here throws.

#include "velta/utility/Enumerator.h"

#include <string>
#include <string_view>
#include <vector>

namespace Velta::Utility {

enum class ScalingMode : int {
  noscaling = 1,
  linear,
  power,
  arctangent,
  arctangentExclusive,
  arctangentpower,
  rational,
  log
};
enum class CutsSolution : int { direct = 1, newton, wegstein };
enum class MassBalanceMode : int { Nx = 1, Mx, Nw, Mw, N, M };
enum class FlashMode : int { PT = 1, PA, PH, RH, RT, PS, SA };
enum class Direction : int { up = 1, down, left, right };
enum class PhaseType : int { vapor = 1, liquid, solid };
enum class PhaseIndex : int {
  vapor = 1,
  liquid1,
  liquid2,
  liquid3,
  solid1,
  solid2,
  solid3,
  solid4,
  solid5,
  solid6,
  solid7,
  solid8,
  solid9
};
enum class Category : int { phase = 1, stream, unit, flowsheet, option };

// One read-only table with its name and description; lists itself as JSON
// like any enumerator.
class SharedEnumeration : public EnumeratorInterface {
public:
  SharedEnumeration(std::string name, std::string description,
                    std::vector<EnumeratorOption> entries);

  const std::string &name() const override { return name_; }
  const std::string &description() const override { return description_; }
  const EnumeratorOption *begin() const override { return entries_.data(); }
  const EnumeratorOption *end() const override { return entries_.data() + entries_.size(); }
  std::int64_t size() const override { return static_cast<std::int64_t>(entries_.size()); }

  // Position (from 1) of the first entry whose name equals name byte for
  // byte; size() + 1 when there is none.
  int indexOf(std::string_view name) const;
  // The entry of value 1..size(); the null entry otherwise.
  const EnumeratorOption &entry(int value) const;

private:
  std::string name_;
  std::string description_;
  std::vector<EnumeratorOption> entries_;
};

// The entry ("Null", "Undefined") read for values outside a table.
const EnumeratorOption &nullEntry();

// The process-wide tables, built on first use.
const SharedEnumeration &scalingModes();
const SharedEnumeration &cutsSolutions();
const SharedEnumeration &massBalanceModes();
const SharedEnumeration &flashModes();
const SharedEnumeration &directions();
const SharedEnumeration &phaseTypes();
const SharedEnumeration &phaseIndexes();
const SharedEnumeration &categories();

// Name to value (size + 1 when absent).
int flashModeIndex(std::string_view name);
int massBalanceModeIndex(std::string_view name);
int phaseTypeIndex(std::string_view name);

// Value to name ("Null" outside the table).
const std::string &flashModeName(int value);
const std::string &massBalanceModeName(int value);
const std::string &phaseIndexName(int value);
const std::string &phaseTypeName(int value);
const std::string &scalingModeName(int value);
inline const std::string &flashModeName(FlashMode v) { return flashModeName(static_cast<int>(v)); }
inline const std::string &massBalanceModeName(MassBalanceMode v) {
  return massBalanceModeName(static_cast<int>(v));
}
inline const std::string &phaseIndexName(PhaseIndex v) {
  return phaseIndexName(static_cast<int>(v));
}
inline const std::string &phaseTypeName(PhaseType v) { return phaseTypeName(static_cast<int>(v)); }
inline const std::string &scalingModeName(ScalingMode v) {
  return scalingModeName(static_cast<int>(v));
}

// Value to the whole Category entry (the null entry outside the table).
const EnumeratorOption &categoryEntry(int value);
inline const EnumeratorOption &categoryEntry(Category v) {
  return categoryEntry(static_cast<int>(v));
}

// Adds offset to the value in place: a phase's PhaseIndex is the first value
// of its kind plus the number of phases of that kind before it.
inline void advanceIndex(int &value, int offset) { value += offset; }
inline void advanceIndex(PhaseIndex &value, int offset) {
  value = static_cast<PhaseIndex>(static_cast<int>(value) + offset);
}

} // namespace Velta::Utility
