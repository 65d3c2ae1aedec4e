#pragma once
// Physical value: an automatic-differentiation number holding the value in
// SI units (molar basis), the exponents of its base dimensions, and two
// flags (given as input, reported as output). The arithmetic checks the
// dimensions as it goes and throws ErrorUnit on a mismatch; unit strings
// appear only at construction and conversion.

#include "velta/value/Active.h"
#include "velta/value/UnitArray.h"

#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>

// The exponent set with all nine exponents 0.
inline constexpr UnitArray dimensionless{0};

// Qualified names under which the value operations report their errors.
namespace valueFunction {
inline constexpr const char *assign = "GenericValue<class GenericActive<double> >::operator =";
inline constexpr const char *add = "GenericValue<class GenericActive<double> >::operator +";
inline constexpr const char *subtract = "GenericValue<class GenericActive<double> >::operator -";
inline constexpr const char *addAssign = "GenericValue<class GenericActive<double> >::operator +=";
inline constexpr const char *subtractAssign =
    "GenericValue<class GenericActive<double> >::operator -=";
inline constexpr const char *equal = "GenericValue<class GenericActive<double> >::operator ==";
inline constexpr const char *notEqual = "GenericValue<class GenericActive<double> >::operator !=";
inline constexpr const char *less = "GenericValue<class GenericActive<double> >::operator <";
inline constexpr const char *lessEqual = "GenericValue<class GenericActive<double> >::operator <=";
inline constexpr const char *greater = "GenericValue<class GenericActive<double> >::operator >";
inline constexpr const char *greaterEqual =
    "GenericValue<class GenericActive<double> >::operator >=";
inline constexpr const char *toDouble = "GenericValue<class GenericActive<double> >::toDouble";
inline constexpr const char *checkuom = "GenericValue<class GenericActive<double> >::checkuom";
// A plain number on the left names the free operator.
inline constexpr const char *freeAdd = "operator +";
inline constexpr const char *freeSubtract = "operator -";
} // namespace valueFunction

namespace valueDetail {
// ErrorUnit "incompatible units" with the two exponent sets.
[[noreturn]] void throwIncompatibleUnits(const char *function, const UnitArray &a,
                                         const UnitArray &b);
// ErrorUnit with a message and the unit text of one exponent set.
[[noreturn]] void throwUnitText(const char *function, const char *message, const UnitArray &units);
[[noreturn]] void throwUnitPair(const char *function, const char *message, const UnitArray &a,
                                const UnitArray &b);

inline void requireEqualUnits(const char *function, const UnitArray &a, const UnitArray &b) {
  if (!(a == b)) [[unlikely]]
    throwIncompatibleUnits(function, a, b);
}
inline void requireDimensionless(const char *function, const UnitArray &units) {
  if (!units.allEqual(0)) [[unlikely]]
    throwIncompatibleUnits(function, units, dimensionless);
}
// Every exponent a multiple of divisor, else ErrorUnit with the unit text.
void requireDivisibleExponents(const char *function, const char *message, const UnitArray &units,
                               int divisor);
} // namespace valueDetail

template <class N> class GenericValue {
public:
  using Number = N;

  // 0 with units not yet known (invalid).
  GenericValue() : input_(false), output_(false), units_(invalidUnitExponent) {}
  // Dimensionless.
  GenericValue(double value) : number_(value), input_(false), output_(false), units_(0) {}
  // value taken as the SI value.
  GenericValue(double value, const UnitArray &units)
      : number_(value), input_(false), output_(false), units_(units) {}
  // value in the given unit, converted to SI. Unknown unit: ErrorUnit.
  GenericValue(double value, std::string_view unit);
  GenericValue(const N &number, const UnitArray &units)
      : number_(number), input_(false), output_(false), units_(units) {}
  GenericValue(N &&number, const UnitArray &units)
      : number_(std::move(number)), input_(false), output_(false), units_(units) {}
  // number in the given unit: the value converted to SI, derivatives kept.
  GenericValue(const N &number, std::string_view unit);
  // Copies number (never active), flags and units.
  GenericValue(const GenericValue &other) = default;
  GenericValue(GenericValue &&other) noexcept = default;
  virtual ~GenericValue() = default;

  // Assignment never changes the target's flags. From a value: the units
  // must be equal unless the target's are not yet known.
  GenericValue &operator=(const GenericValue &other) {
    checkAssignable(other.units_);
    if (this != &other) {
      number_ = other.number_;
      units_ = other.units_;
    }
    return *this;
  }
  GenericValue &operator=(GenericValue &&other) {
    checkAssignable(other.units_);
    if (this != &other) {
      number_ = std::move(other.number_);
      units_ = other.units_;
    }
    return *this;
  }
  // From a plain number: the target must be dimensionless or without units
  // yet, and becomes dimensionless.
  GenericValue &operator=(double value) {
    checkNumberAssignable();
    units_ = dimensionless;
    number_ = value;
    return *this;
  }
  GenericValue &operator=(const N &number) {
    checkNumberAssignable();
    units_ = dimensionless;
    number_ = number;
    return *this;
  }

  // Access.
  double value() const { return number_.value(); }
  const N &activeValue() const { return number_; }
  N &activeValue() { return number_; }
  const UnitArray &units() const { return units_; }
  void setUnits(const UnitArray &units) { units_ = units; }
  // Unit text of the exponents ("[invalid unit]" while not yet known).
  std::string uom() const;
  void setZero() { number_.setZero(); }
  GenericValue withoutDerivatives() const {
    GenericValue copy(*this);
    copy.number_.clearDerivatives();
    return copy;
  }
  bool isNan() const { return ::isNan(number_.value()); }
  friend bool isNan(const GenericValue &v) { return v.isNan(); }

  bool input() const { return input_; }
  bool &input() { return input_; }
  bool output() const { return output_; }
  bool &output() { return output_; }
  void setInput() { input_ = true; }
  void unSetInput() { input_ = false; }
  void setOutput() { output_ = true; }

  // The SI value converted to the unit; the unit must have the value's
  // dimension. Errors passing through are traced with this function.
  double toDouble(std::string_view unit) const;
  // The SI value, after checking that the unit has the value's dimension.
  double checkuom(std::string_view unit) const;

  // Sets the input flag, then assigns value (in unit) with the rules of
  // assignment. An unknown unit throws before anything changes.
  void set(double value, std::string_view unit);
  void set(const GenericValue &value) {
    input_ = true;
    *this = value;
  }

  // SI value with 12 significant digits, a blank and the unit text; the
  // stream's precision is left at 6.
  std::ostream &print(std::ostream &stream) const;
  friend std::ostream &operator<<(std::ostream &stream, const GenericValue &v) {
    return v.print(stream);
  }

  // Compound assignment.
  GenericValue &operator+=(const GenericValue &b) {
    valueDetail::requireEqualUnits(valueFunction::addAssign, units_, b.units_);
    number_ += b.number_;
    return *this;
  }
  GenericValue &operator+=(double x) {
    valueDetail::requireDimensionless(valueFunction::addAssign, units_);
    number_ += x;
    return *this;
  }
  GenericValue &operator+=(const N &x) {
    valueDetail::requireDimensionless(valueFunction::addAssign, units_);
    number_ += x;
    return *this;
  }
  GenericValue &operator-=(const GenericValue &b) {
    valueDetail::requireEqualUnits(valueFunction::subtractAssign, units_, b.units_);
    number_ -= b.number_;
    return *this;
  }
  GenericValue &operator-=(double x) {
    valueDetail::requireDimensionless(valueFunction::subtractAssign, units_);
    number_ -= x;
    return *this;
  }
  GenericValue &operator-=(const N &x) {
    valueDetail::requireDimensionless(valueFunction::subtractAssign, units_);
    number_ -= x;
    return *this;
  }
  GenericValue &operator*=(const GenericValue &b) {
    number_ *= b.number_;
    units_ += b.units_;
    return *this;
  }
  GenericValue &operator*=(double x) {
    number_ *= x;
    return *this;
  }
  GenericValue &operator*=(const N &x) {
    number_ *= x;
    return *this;
  }
  GenericValue &operator/=(const GenericValue &b) {
    number_ /= b.number_;
    units_ -= b.units_;
    return *this;
  }
  GenericValue &operator/=(double x) {
    number_ /= x;
    return *this;
  }
  GenericValue &operator/=(const N &x) {
    number_ /= x;
    return *this;
  }

  // Binary operators: the result copies the value operand (the left one
  // when both are values: number, flags and units), then applies the
  // operation. A temporary operand is reused instead of copied.
  friend GenericValue operator+(const GenericValue &a, const GenericValue &b) {
    valueDetail::requireEqualUnits(valueFunction::add, a.units_, b.units_);
    GenericValue r(a);
    r.number_ += b.number_;
    return r;
  }
  friend GenericValue operator+(GenericValue &&a, const GenericValue &b) {
    valueDetail::requireEqualUnits(valueFunction::add, a.units_, b.units_);
    a.number_ += b.number_;
    return std::move(a);
  }
  friend GenericValue operator+(const GenericValue &a, GenericValue &&b) {
    valueDetail::requireEqualUnits(valueFunction::add, a.units_, b.units_);
    b.number_ += a.number_;
    b.input_ = a.input_;
    b.output_ = a.output_;
    return std::move(b);
  }
  friend GenericValue operator+(GenericValue &&a, GenericValue &&b) {
    return std::move(a) + static_cast<const GenericValue &>(b);
  }
  friend GenericValue operator+(GenericValue a, double x) {
    valueDetail::requireDimensionless(valueFunction::add, a.units_);
    a.number_ += x;
    return a;
  }
  friend GenericValue operator+(GenericValue a, const N &x) {
    valueDetail::requireDimensionless(valueFunction::add, a.units_);
    a.number_ += x;
    return a;
  }
  friend GenericValue operator+(double x, GenericValue b) {
    valueDetail::requireDimensionless(valueFunction::freeAdd, b.units_);
    b.number_ = x + std::move(b.number_);
    return b;
  }
  friend GenericValue operator+(const N &x, GenericValue b) {
    valueDetail::requireDimensionless(valueFunction::freeAdd, b.units_);
    b.number_ = x + b.number_;
    return b;
  }

  friend GenericValue operator-(const GenericValue &a, const GenericValue &b) {
    valueDetail::requireEqualUnits(valueFunction::subtract, a.units_, b.units_);
    GenericValue r(a);
    r.number_ -= b.number_;
    return r;
  }
  friend GenericValue operator-(GenericValue &&a, const GenericValue &b) {
    valueDetail::requireEqualUnits(valueFunction::subtract, a.units_, b.units_);
    a.number_ -= b.number_;
    return std::move(a);
  }
  friend GenericValue operator-(GenericValue a, double x) {
    valueDetail::requireDimensionless(valueFunction::subtract, a.units_);
    a.number_ -= x;
    return a;
  }
  friend GenericValue operator-(GenericValue a, const N &x) {
    valueDetail::requireDimensionless(valueFunction::subtract, a.units_);
    a.number_ -= x;
    return a;
  }
  friend GenericValue operator-(double x, GenericValue b) {
    valueDetail::requireDimensionless(valueFunction::freeSubtract, b.units_);
    b.number_ = x - std::move(b.number_);
    return b;
  }
  friend GenericValue operator-(const N &x, GenericValue b) {
    valueDetail::requireDimensionless(valueFunction::freeSubtract, b.units_);
    b.number_ = x - b.number_;
    return b;
  }
  friend GenericValue operator-(GenericValue a) {
    a.number_ = -std::move(a.number_);
    return a;
  }

  friend GenericValue operator*(const GenericValue &a, const GenericValue &b) {
    GenericValue r(a);
    r *= b;
    return r;
  }
  friend GenericValue operator*(GenericValue &&a, const GenericValue &b) {
    a *= b;
    return std::move(a);
  }
  friend GenericValue operator*(GenericValue a, double x) {
    a.number_ *= x;
    return a;
  }
  friend GenericValue operator*(double x, GenericValue b) {
    b.number_ *= x;
    return b;
  }
  friend GenericValue operator*(GenericValue a, const N &x) {
    a.number_ *= x;
    return a;
  }
  friend GenericValue operator*(const N &x, GenericValue b) {
    b.number_ = x * b.number_;
    return b;
  }

  friend GenericValue operator/(const GenericValue &a, const GenericValue &b) {
    GenericValue r(a);
    r /= b;
    return r;
  }
  friend GenericValue operator/(GenericValue &&a, const GenericValue &b) {
    a /= b;
    return std::move(a);
  }
  friend GenericValue operator/(GenericValue a, double x) {
    a.number_ /= x;
    return a;
  }
  friend GenericValue operator/(GenericValue a, const N &x) {
    a.number_ /= x;
    return a;
  }
  // The exponents are negated; the result carries no flags.
  friend GenericValue operator/(double x, const GenericValue &b) {
    return GenericValue(x / b.number_, reciprocalUnits(b.units_));
  }
  friend GenericValue operator/(const N &x, const GenericValue &b) {
    return GenericValue(x / b.number_, reciprocalUnits(b.units_));
  }

  // Comparisons of the SI values; the units must be equal.
  friend bool operator==(const GenericValue &a, const GenericValue &b) {
    valueDetail::requireEqualUnits(valueFunction::equal, a.units_, b.units_);
    return a.value() == b.value();
  }
  friend bool operator!=(const GenericValue &a, const GenericValue &b) {
    valueDetail::requireEqualUnits(valueFunction::notEqual, a.units_, b.units_);
    return a.value() != b.value();
  }
  friend bool operator<(const GenericValue &a, const GenericValue &b) {
    valueDetail::requireEqualUnits(valueFunction::less, a.units_, b.units_);
    return a.value() < b.value();
  }
  friend bool operator<=(const GenericValue &a, const GenericValue &b) {
    valueDetail::requireEqualUnits(valueFunction::lessEqual, a.units_, b.units_);
    return a.value() <= b.value();
  }
  friend bool operator>(const GenericValue &a, const GenericValue &b) {
    valueDetail::requireEqualUnits(valueFunction::greater, a.units_, b.units_);
    return a.value() > b.value();
  }
  friend bool operator>=(const GenericValue &a, const GenericValue &b) {
    valueDetail::requireEqualUnits(valueFunction::greaterEqual, a.units_, b.units_);
    return a.value() >= b.value();
  }
  // A plain number is not compared with a value: compare value() instead.
  friend bool operator==(const GenericValue &, double) = delete;
  friend bool operator!=(const GenericValue &, double) = delete;
  friend bool operator<(const GenericValue &, double) = delete;
  friend bool operator<=(const GenericValue &, double) = delete;
  friend bool operator>(const GenericValue &, double) = delete;
  friend bool operator>=(const GenericValue &, double) = delete;
  friend bool operator<(double, const GenericValue &) = delete;
  friend bool operator<=(double, const GenericValue &) = delete;
  friend bool operator>(double, const GenericValue &) = delete;
  friend bool operator>=(double, const GenericValue &) = delete;

  // Mathematical functions; results carry no flags. The transcendental ones
  // need a dimensionless argument and give a dimensionless result.
  friend GenericValue acos(const GenericValue &v) { return dimensionlessOf("acos", v, acos(v.number_)); }
  friend GenericValue asin(const GenericValue &v) { return dimensionlessOf("asin", v, asin(v.number_)); }
  friend GenericValue atan(const GenericValue &v) { return dimensionlessOf("atan", v, atan(v.number_)); }
  friend GenericValue cosh(const GenericValue &v) { return dimensionlessOf("cosh", v, cosh(v.number_)); }
  friend GenericValue exp(const GenericValue &v) { return dimensionlessOf("exp", v, exp(v.number_)); }
  friend GenericValue log(const GenericValue &v) { return dimensionlessOf("log", v, log(v.number_)); }
  friend GenericValue log10(const GenericValue &v) {
    return dimensionlessOf("log10", v, log10(v.number_));
  }
  friend GenericValue sin(const GenericValue &v) { return dimensionlessOf("sin", v, sin(v.number_)); }
  friend GenericValue sinh(const GenericValue &v) { return dimensionlessOf("sinh", v, sinh(v.number_)); }
  friend GenericValue pow(const GenericValue &base, double exponent) {
    return dimensionlessOf("pow", base, pow(base.number_, exponent));
  }
  // Base tested first, then the exponent.
  friend GenericValue pow(const GenericValue &base, const GenericValue &exponent) {
    valueDetail::requireDimensionless("pow", base.units_);
    valueDetail::requireDimensionless("pow", exponent.units_);
    return GenericValue(pow(base.number_, exponent.number_), dimensionless);
  }
  friend GenericValue fabs(const GenericValue &v) { return GenericValue(fabs(v.number_), v.units_); }
  // Every exponent halved; each must be even.
  friend GenericValue sqrt(const GenericValue &v) {
    valueDetail::requireDivisibleExponents("sqrt", "dimension exponents must be even", v.units_, 2);
    UnitArray units(v.units_);
    units /= 2;
    return GenericValue(sqrt(v.number_), units);
  }
  // Cube root: the number to the power 1/3 (NaN for a negative argument),
  // every exponent divided by 3; each must be a multiple of three.
  friend GenericValue curt(const GenericValue &v) {
    valueDetail::requireDivisibleExponents("curt", "dimension exponents must be multiple of three",
                                           v.units_, 3);
    UnitArray units(v.units_);
    units /= 3;
    return GenericValue(pow(v.number_, 1.0 / 3.0), units);
  }

private:
  void checkAssignable(const UnitArray &source) const {
    if (!(units_ == source) && !units_.isInvalid()) [[unlikely]]
      valueDetail::throwUnitPair(valueFunction::assign, "destination already has incompatible units",
                                 units_, source);
  }
  void checkNumberAssignable() const {
    if (!units_.allEqual(0) && !units_.isInvalid()) [[unlikely]]
      valueDetail::throwUnitText(valueFunction::assign, "destination already has units", units_);
  }
  static UnitArray reciprocalUnits(const UnitArray &units) {
    UnitArray reciprocal(dimensionless);
    reciprocal -= units;
    return reciprocal;
  }
  static GenericValue dimensionlessOf(const char *function, const GenericValue &argument,
                                      N &&result) {
    valueDetail::requireDimensionless(function, argument.units_);
    return GenericValue(std::move(result), dimensionless);
  }
  N number_;
  bool input_;
  bool output_;
  UnitArray units_;
};

extern template class GenericValue<GenericActive<double>>;

using Value = GenericValue<Active>;

// Start-up counter: one instance in every source file that includes this
// header; the first keeps the units engine alive until the last is
// destroyed, so values may be built from unit strings by any start-up
// initialiser.
class GenericValueInit {
public:
  GenericValueInit();
  ~GenericValueInit();
  GenericValueInit(const GenericValueInit &) = delete;
  GenericValueInit &operator=(const GenericValueInit &) = delete;
};

static GenericValueInit genericValueInit;
