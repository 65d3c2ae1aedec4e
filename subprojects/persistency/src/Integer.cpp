#include "velta/persistency/Integer.h"

Integer::Integer(std::string tag, std::string description, int value, Item *parent)
    : Type<int>(std::move(tag), std::move(description), value, parent) {}

std::ostream &Integer::print(std::ostream &stream) const { return stream << value_; }
