#pragma once
// Names an unknown in log lines: when the value is the value part of a tagged
// variable of the object model (an Item that is also a value, as a Quantity
// is), its full tag.

#include "velta/value/Value.h"

#include <optional>
#include <string>

std::optional<std::string> quantityFullTag(const Value *value);
