#include "velta/utility/SharedEnumerations.h"

namespace Velta::Utility {

SharedEnumeration::SharedEnumeration(std::string name, std::string description,
                                     std::vector<EnumeratorOption> entries)
    : name_(std::move(name)), description_(std::move(description)), entries_(std::move(entries)) {}

int SharedEnumeration::indexOf(std::string_view name) const {
  int value = 1;
  for (const auto &candidate : entries_) {
    if (candidate.name == name)
      return value;
    ++value;
  }
  return value;
}

const EnumeratorOption &SharedEnumeration::entry(int value) const {
  if (value < 1 || value > static_cast<int>(entries_.size()))
    return nullEntry();
  return entries_[static_cast<std::size_t>(value - 1)];
}

const EnumeratorOption &nullEntry() {
  static const EnumeratorOption entry("Null", "Undefined");
  return entry;
}

const SharedEnumeration &scalingModes() {
  static const SharedEnumeration table(
      "ScalingMode", "variable scaling mode",
      {{"noscaling", "no scaling is applied, bounds-inclusive"},
       {"linear", "linear scaling, bounds-inclusive"},
       {"power", "power-law scaling, bounds-inclusive"},
       {"arctangent", "arctangent scaling, bounds-inclusive"},
       {"arctangentExclusive", "arctangent scaling, bounds-exclusive"},
       {"arctangentpower", "arctangent + power-law scaling, bounds-inclusive"},
       {"rational", "rational function scaling, bounds-exclusive"},
       {"log", "logarithm function scaling, left-bound-exclusive, right-bound-inclusive"}});
  return table;
}

const SharedEnumeration &cutsSolutions() {
  static const SharedEnumeration table("CutsSolution", "cut solution method",
                                       {{"direct", "Direct Substitution"},
                                        {"newton", "Newton's method"},
                                        {"wegstein", "Wegstein accelerated direct Substitution"}});
  return table;
}

const SharedEnumeration &massBalanceModes() {
  static const SharedEnumeration table("MassBalanceMode",
                                       "stream and phase mass balance specification mode",
                                       {{"Nx", "ndot and x[] are fixed"},
                                        {"Mx", "mdot and x[] are fixed"},
                                        {"Nw", "ndot and w[] are fixed"},
                                        {"Mw", "mdot and w[] are fixed"},
                                        {"N", "ndotcomps[] are fixed"},
                                        {"M", "mdotcomps[] are fixed"}});
  return table;
}

const SharedEnumeration &flashModes() {
  // "SA" shares its description with "PA".
  static const SharedEnumeration table("FlashMode", "stream flash specification mode",
                                       {{"PT", "Pressure-Temperature computation"},
                                        {"PA", "Pressure-phase fraction computation"},
                                        {"PH", "Pressure-Enthalpy computation"},
                                        {"RH", "Density-enthalpy computation"},
                                        {"RT", "Density-temperature computation"},
                                        {"PS", "Pressure-Entropy computation"},
                                        {"SA", "Pressure-phase fraction computation"}});
  return table;
}

const SharedEnumeration &directions() {
  static const SharedEnumeration table(
      "Direction", "2-D flow direction",
      {{"up", "Upwards"}, {"down", "Downwards"}, {"left", "Leftwards"}, {"right", "Rightwards"}});
  return table;
}

const SharedEnumeration &phaseTypes() {
  static const SharedEnumeration table(
      "PhaseType", "material phase type",
      {{"vapor", "Vapor"}, {"liquid", "Liquid"}, {"solid", "Solid"}});
  return table;
}

const SharedEnumeration &phaseIndexes() {
  static const SharedEnumeration table("PhaseIndex", "phase index",
                                       {{"vapor", "Vapor"},
                                        {"liquid1", "First Liquid"},
                                        {"liquid2", "Second Liquid"},
                                        {"liquid3", "Third Liquid"},
                                        {"solid1", "First Solid"},
                                        {"solid2", "Second Solid"},
                                        {"solid3", "Third Solid"},
                                        {"solid4", "Fourth Solid"},
                                        {"solid5", "Fifth Solid"},
                                        {"solid6", "Sixth Solid"},
                                        {"solid7", "Seventh Solid"},
                                        {"solid8", "Eighth Solid"},
                                        {"solid9", "Ninth Solid"}});
  return table;
}

const SharedEnumeration &categories() {
  static const SharedEnumeration table(
      "Category", "model categlory",
      {{"phase", "derived from PhaseModelSimple"},
       {"stream", "derived from VertexBase"},
       {"unit", "derived from EdgeBase from but not from FlowSheetBase"},
       {"flowsheet", "derived from FlowSheetBase"},
       {"option", "derived from Reaction, MultiReaction, HeatRating or RatingColumn"}});
  return table;
}

int flashModeIndex(std::string_view name) { return flashModes().indexOf(name); }
int massBalanceModeIndex(std::string_view name) { return massBalanceModes().indexOf(name); }
int phaseTypeIndex(std::string_view name) { return phaseTypes().indexOf(name); }

const std::string &flashModeName(int value) { return flashModes().entry(value).name; }
const std::string &massBalanceModeName(int value) { return massBalanceModes().entry(value).name; }
const std::string &phaseIndexName(int value) { return phaseIndexes().entry(value).name; }
const std::string &phaseTypeName(int value) { return phaseTypes().entry(value).name; }
const std::string &scalingModeName(int value) { return scalingModes().entry(value).name; }

const EnumeratorOption &categoryEntry(int value) { return categories().entry(value); }

} // namespace Velta::Utility
