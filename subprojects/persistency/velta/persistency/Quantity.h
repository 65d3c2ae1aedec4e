#pragma once
// A named physical value (table Q): an item that is also a Value, so it takes
// part in the arithmetic of values directly.

#include "velta/persistency/Item.h"
#include "velta/value/Value.h"

#include <string>
#include <string_view>

class Quantity : public Item, public Value {
public:
  // The value copied with its units and flags.
  Quantity(std::string tag, std::string description, const Value &value, Item *parent);
  // number in the named unit, converted to SI; unknown unit: ErrorUnit.
  Quantity(std::string tag, std::string description, double number, std::string_view unit,
           Item *parent);
  // number taken as SI with the given exponents.
  Quantity(std::string tag, std::string description, double number, const UnitArray &units,
           Item *parent);
  // The copy has no parent.
  Quantity(const Quantity &other) = default;
  // Takes over tag, description and parent (the source is left without a
  // parent) and copies the value.
  Quantity(Quantity &&other);

  // Assign the value part only, by the unit rule of values (ErrorUnit unless
  // the units are equal or the target's are not yet known); tag,
  // description, parent and the flags stay.
  Quantity &operator=(const Quantity &other) {
    Value::operator=(other);
    return *this;
  }
  Quantity &operator=(const Value &value) {
    Value::operator=(value);
    return *this;
  }
  Quantity &operator=(double number) {
    Value::operator=(number);
    return *this;
  }
  Quantity &operator=(const Active &number) {
    Value::operator=(number);
    return *this;
  }

  std::string type() const override { return "Quantity"; }
};
