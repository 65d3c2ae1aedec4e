#pragma once
// A named integer variable (table I).

#include "velta/persistency/Type.h"

class Integer : public Type<int> {
public:
  Integer(std::string tag, std::string description, int value, Item *parent);

  Integer &operator=(int value) {
    value_ = value;
    return *this;
  }
  Integer &operator+=(int value) {
    value_ += value;
    return *this;
  }
  Integer &operator-=(int value) {
    value_ -= value;
    return *this;
  }

  std::string type() const override { return "Integer"; }
  // The decimal integer.
  std::ostream &print(std::ostream &stream) const override;
};
