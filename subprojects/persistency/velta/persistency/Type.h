#pragma once
// A named variable holding a value of type T (int, string or a vector).

#include "velta/persistency/Item.h"

#include <ostream>
#include <string>
#include <utility>

template <class T> class Type : public Item {
public:
  Type(std::string tag, std::string description, T value, Item *parent)
      : Item(std::move(tag), std::move(description), parent), value_(std::move(value)) {
    requireStorableTag(this->tag(), "Type::Type");
  }

  const T &value() const { return value_; }
  T &value() { return value_; }
  operator const T &() const { return value_; }

  // Writes the value as text.
  virtual std::ostream &print(std::ostream &stream) const = 0;

protected:
  T value_;
};

template <class T> std::ostream &operator<<(std::ostream &stream, const Type<T> &variable) {
  return variable.print(stream);
}
