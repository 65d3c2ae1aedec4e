#include "velta/value/Value.h"

#include "velta/value/ErrorUnit.h"
#include "velta/value/UnitEngine.h"

#include <new>
#include <ostream>

namespace valueDetail {

void throwIncompatibleUnits(const char *function, const UnitArray &a, const UnitArray &b) {
  throw ErrorUnit(function, "incompatible units", a, b);
}

void throwUnitText(const char *function, const char *message, const UnitArray &units) {
  std::string text;
  units.print(text);
  throw ErrorUnit(function, message, text.c_str());
}

void throwUnitPair(const char *function, const char *message, const UnitArray &a,
                   const UnitArray &b) {
  throw ErrorUnit(function, message, a, b);
}

void requireDivisibleExponents(const char *function, const char *message, const UnitArray &units,
                               int divisor) {
  for (int i = 0; i < ndimensions; ++i)
    if (units[i] % divisor != 0)
      throwUnitText(function, message, units);
}

} // namespace valueDetail

template <class N>
GenericValue<N>::GenericValue(double value, std::string_view unit)
    : input_(false), output_(false), units_(invalidUnitExponent) {
  UnitArray units(0);
  number_ = unitEngine.toSI(value, unit, units);
  units_ = units;
}

template <class N>
GenericValue<N>::GenericValue(const N &number, std::string_view unit)
    : number_(number), input_(false), output_(false), units_(invalidUnitExponent) {
  UnitArray units(0);
  number_.value() = unitEngine.toSI(number.value(), unit, units);
  units_ = units;
}

template <class N> std::string GenericValue<N>::uom() const {
  std::string text;
  units_.print(text);
  return text;
}

template <class N> double GenericValue<N>::toDouble(std::string_view unit) const {
  VELTA_TRACE_BEGIN
  UnitArray units(0);
  unitEngine.toSI(1.0, unit, units);
  valueDetail::requireEqualUnits(valueFunction::toDouble, units_, units);
  return unitEngine.fromSI(value(), unit);
  VELTA_TRACE_END(valueFunction::toDouble)
}

template <class N> double GenericValue<N>::checkuom(std::string_view unit) const {
  UnitArray units(0);
  unitEngine.toSI(1.0, unit, units);
  valueDetail::requireEqualUnits(valueFunction::checkuom, units_, units);
  return value();
}

template <class N> void GenericValue<N>::set(double value, std::string_view unit) {
  GenericValue built(value, unit);
  input_ = true;
  *this = std::move(built);
}

template <class N> std::ostream &GenericValue<N>::print(std::ostream &stream) const {
  stream.precision(12);
  stream << value();
  stream.precision(6);
  return stream << ' ' << units_;
}

template class GenericValue<GenericActive<double>>;

namespace {

// The units-engine counter held on behalf of all values, built in place
// by the first GenericValueInit and destroyed by the last.
alignas(UnitEngineInitializer) unsigned char engineHoldStorage[sizeof(UnitEngineInitializer)];
UnitEngineInitializer *engineHold = nullptr;
int valueInitCount = 0;

} // namespace

GenericValueInit::GenericValueInit() {
  if (valueInitCount++ == 0)
    engineHold = new (engineHoldStorage) UnitEngineInitializer;
}

GenericValueInit::~GenericValueInit() {
  if (--valueInitCount == 0) {
    engineHold->~UnitEngineInitializer();
    engineHold = nullptr;
  }
}
