#pragma once
// The units engine: the one place that knows unit strings. It holds the
// physical dimensions, each with its SI unit, its exponents and its further
// units (value in SI = value in unit * factor + offset). A unit string is a
// key matched whole and case-sensitively; every dimension also answers to
// the unit text of its exponents (e.g. "m^-3 kg" for density).
//
// The process-wide instance `unitEngine` is filled once at start-up and only
// read afterwards.

#include "velta/value/UnitArray.h"

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class Dimension {
public:
  struct Conversion {
    double offset;
    double factor;
  };
  using UnitMap = std::map<std::string, Conversion, std::less<>>;

  Dimension(std::string_view name, std::string_view siUnit, const UnitArray &units);

  const std::string &name() const { return name_; }
  const std::string &siUnit() const { return siUnit_; }
  const UnitArray &units() const { return units_; }
  const UnitMap &unitMap() const { return unitMap_; }

  // Throws ErrorUnit "Duplicate unit" when the dimension already has the unit.
  const Conversion &addUnit(std::string_view unit, double factor, double offset);
  // Throws ErrorUnit "unsupported unit [...]" when the dimension lacks the unit.
  const Conversion &findUnit(std::string_view unit) const;

  double toSI(double x, std::string_view unit) const;
  double fromSI(double x, std::string_view unit) const;

private:
  UnitArray units_;
  std::string name_;
  std::string siUnit_;
  UnitMap unitMap_;
};

class UnitEngine {
public:
  // Builds the complete built-in table of dimensions and units.
  UnitEngine();
  UnitEngine(const UnitEngine &) = delete;
  UnitEngine &operator=(const UnitEngine &) = delete;

  // Registers a dimension (name trimmed of blanks) with its SI unit and, when
  // it differs from the SI unit name, the unit text of its exponents.
  void addDimension(std::string_view name, std::string_view siUnit, const UnitArray &units);
  // Adds a unit to the named dimension (name trimmed; the unit is not). A unit
  // name already owned by an earlier dimension stays with that dimension.
  void addUnit(std::string_view dimension, std::string_view unit, double factor, double offset);

  // x in the unit to SI; sets units to the unit's exponents. "[invalid unit]"
  // gives x unchanged and invalid units. Unknown unit: ErrorUnit.
  double toSI(double x, std::string_view unit, UnitArray &units) const;
  // SI x to the unit, without checking exponents. Unknown unit: ErrorUnit.
  double fromSI(double x, std::string_view unit) const;

  // Non-throwing lookups; null when absent.
  const Dimension *findDimension(std::string_view name) const;
  const Dimension *dimensionOfUnit(std::string_view unit) const;

  // Dimensions in order of registration.
  const std::vector<std::unique_ptr<Dimension>> &dimensions() const { return dimensions_; }
  // Number of unit names the engine resolves.
  std::size_t unitCount() const { return units_.size(); }

private:
  struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
      return std::hash<std::string_view>{}(text);
    }
  };
  // A unit resolved in one lookup: its owning dimension and conversion.
  struct UnitEntry {
    const Dimension *dimension;
    const Dimension::Conversion *conversion;
  };

  std::vector<std::unique_ptr<Dimension>> dimensions_;
  std::map<std::string, Dimension *, std::less<>> dimensionsByName_;
  std::unordered_map<std::string, UnitEntry, StringHash, std::equal_to<>> units_;
};

// The process-wide engine. Every source file that includes this header holds
// one initializer; the first one to run builds the engine and the last one
// destroyed at exit destroys it, so start-up initialisers of any including
// file may use the engine.
extern UnitEngine &unitEngine;

class UnitEngineInitializer {
public:
  UnitEngineInitializer();
  ~UnitEngineInitializer();
  UnitEngineInitializer(const UnitEngineInitializer &) = delete;
  UnitEngineInitializer &operator=(const UnitEngineInitializer &) = delete;
};

static UnitEngineInitializer unitEngineInitializer;
