#pragma once
// A named vector of integers (tables IV and IVV).

#include "velta/persistency/TypeVector.h"

class IntegerVector : public TypeVector<int> {
public:
  IntegerVector(std::string tag, std::string description, int count, int value, Item *parent);

  std::string type() const override { return "IntegerVector"; }
  // "[1, 2, 3]"; empty: "[]".
  std::ostream &print(std::ostream &stream) const override;
};
