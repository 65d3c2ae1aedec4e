#include "velta/core/QuantityTag.h"

#include "velta/persistency/Item.h"

std::optional<std::string> quantityFullTag(const Value *value) {
  // Run-time test: a cross cast finds the Item of a value that is part of one.
  if (const auto *item = dynamic_cast<const Item *>(value))
    return item->fullTag();
  return std::nullopt;
}
