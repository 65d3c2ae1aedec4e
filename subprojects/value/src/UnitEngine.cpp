#include "velta/value/UnitEngine.h"

#include "velta/value/ErrorUnit.h"

#include "velta/utility/StringEdits.h"

#include <new>

namespace {

std::string trimmed(std::string_view text) {
  std::string copy(text);
  trimSpaces(copy);
  return copy;
}

constexpr std::string_view invalidUnitText = "[invalid unit]";

} // namespace

// ---------------------------------------------------------------- Dimension

Dimension::Dimension(std::string_view name, std::string_view siUnit, const UnitArray &units)
    : units_(units), name_(name), siUnit_(siUnit) {}

const Dimension::Conversion &Dimension::addUnit(std::string_view unit, double factor,
                                                double offset) {
  const auto [position, inserted] =
      unitMap_.try_emplace(std::string(unit), Conversion{offset, factor});
  if (!inserted)
    throw ErrorUnit("Dimension::addUnit", "Duplicate unit", std::string(unit).c_str());
  return position->second;
}

const Dimension::Conversion &Dimension::findUnit(std::string_view unit) const {
  const auto position = unitMap_.find(unit);
  if (position == unitMap_.end())
    throw ErrorUnit("Dimension::findUnit", std::string(unit).c_str());
  return position->second;
}

double Dimension::toSI(double x, std::string_view unit) const {
  const Conversion &conversion = findUnit(unit);
  return x * conversion.factor + conversion.offset;
}

double Dimension::fromSI(double x, std::string_view unit) const {
  const Conversion &conversion = findUnit(unit);
  return (x - conversion.offset) / conversion.factor;
}

// --------------------------------------------------------------- UnitEngine

void UnitEngine::addDimension(std::string_view untrimmedName, std::string_view siUnit,
                              const UnitArray &units) {
  const std::string name = trimmed(untrimmedName);
  if (dimensionsByName_.find(name) != dimensionsByName_.end())
    throw ErrorUnit("UnitEngine::addDimension", "duplicate dimension", name.c_str());
  dimensions_.push_back(std::make_unique<Dimension>(name, siUnit, units));
  dimensionsByName_.emplace(name, dimensions_.back().get());
  addUnit(name, siUnit, 1.0, 0.0);
  std::string text;
  units.print(text);
  if (text != siUnit)
    addUnit(name, text, 1.0, 0.0);
}

void UnitEngine::addUnit(std::string_view untrimmedDimension, std::string_view unit, double factor,
                         double offset) {
  const std::string dimensionName = trimmed(untrimmedDimension);
  const auto position = dimensionsByName_.find(dimensionName);
  if (position == dimensionsByName_.end())
    throw ErrorUnit("UnitEngine::addUnit", dimensionName.c_str());
  Dimension &dimension = *position->second;
  const Dimension::Conversion &conversion = dimension.addUnit(unit, factor, offset);
  // The first dimension to register a unit name keeps it.
  units_.try_emplace(std::string(unit), UnitEntry{&dimension, &conversion});
}

double UnitEngine::toSI(double x, std::string_view unit, UnitArray &units) const {
  if (unit == invalidUnitText) {
    units = UnitArray(invalidUnitExponent);
    return x;
  }
  const auto position = units_.find(unit);
  if (position == units_.end())
    throw ErrorUnit("UnitEngine::toSI", std::string(unit).c_str());
  const UnitEntry &entry = position->second;
  units = entry.dimension->units();
  return x * entry.conversion->factor + entry.conversion->offset;
}

double UnitEngine::fromSI(double x, std::string_view unit) const {
  VELTA_TRACE_BEGIN
  const auto position = units_.find(unit);
  if (position == units_.end())
    throw ErrorUnit("UnitEngine::fromSI", std::string(unit).c_str());
  const Dimension::Conversion &conversion = *position->second.conversion;
  return (x - conversion.offset) / conversion.factor;
  VELTA_TRACE_END("UnitEngine::fromSI")
}

const Dimension *UnitEngine::findDimension(std::string_view name) const {
  const auto position = dimensionsByName_.find(name);
  return position == dimensionsByName_.end() ? nullptr : position->second;
}

const Dimension *UnitEngine::dimensionOfUnit(std::string_view unit) const {
  const auto position = units_.find(unit);
  return position == units_.end() ? nullptr : position->second.dimension;
}

// ------------------------------------------------------ process-wide engine

namespace {

// Raw storage, constant-initialised, so the reference below is valid before
// any dynamic initialiser runs; the engine itself lives in it between the
// first initializer's construction and the last one's destruction.
union EngineStorage {
  constexpr EngineStorage() : unused() {}
  ~EngineStorage() {}
  char unused;
  UnitEngine engine;
};

constinit EngineStorage storage;
constinit int initializerCount = 0;

} // namespace

constinit UnitEngine &unitEngine = storage.engine;

UnitEngineInitializer::UnitEngineInitializer() {
  if (initializerCount++ == 0)
    new (&storage.engine) UnitEngine();
}

UnitEngineInitializer::~UnitEngineInitializer() {
  if (--initializerCount == 0)
    storage.engine.~UnitEngine();
}
