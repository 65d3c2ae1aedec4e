#include "velta/persistency/String.h"

String::String(std::string tag, std::string description, std::string value, Item *parent)
    : Type<std::string>(std::move(tag), std::move(description), std::move(value), parent) {}

std::ostream &String::print(std::ostream &stream) const { return stream << value_; }
