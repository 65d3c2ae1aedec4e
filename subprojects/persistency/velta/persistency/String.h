#pragma once
// A named string variable (table S).

#include "velta/persistency/Type.h"

class String : public Type<std::string> {
public:
  String(std::string tag, std::string description, std::string value, Item *parent);

  // No character check.
  String &operator=(const std::string &value) {
    if (&value != &value_)
      value_ = value;
    return *this;
  }

  std::string type() const override { return "String"; }
  // The text unchanged, without quotes.
  std::ostream &print(std::ostream &stream) const override;
};
