#include "velta/persistency/Quantity.h"

Quantity::Quantity(std::string tag, std::string description, const Value &value, Item *parent)
    : Item(std::move(tag), std::move(description), parent), Value(value) {
  requireStorableTag(Item::tag(), "Quantity::Quantity");
}

Quantity::Quantity(std::string tag, std::string description, double number, std::string_view unit,
                   Item *parent)
    : Item(std::move(tag), std::move(description), parent), Value(number, unit) {
  requireStorableTag(Item::tag(), "Quantity::Quantity");
}

Quantity::Quantity(std::string tag, std::string description, double number, const UnitArray &units,
                   Item *parent)
    : Item(std::move(tag), std::move(description), parent), Value(number, units) {
  requireStorableTag(Item::tag(), "Quantity::Quantity");
}

Quantity::Quantity(Quantity &&other)
    : Item(std::move(static_cast<Item &>(other))), Value(static_cast<const Value &>(other)) {}
