#pragma once
// A named vector of physical values (tables QV and QVV) with an input and an
// output flag for the whole vector.

#include "velta/persistency/TypeVector.h"
#include "velta/value/Value.h"

class QuantityVector : public TypeVector<Value> {
public:
  // count copies of value; both flags false.
  QuantityVector(std::string tag, std::string description, int count, const Value &value,
                 Item *parent);

  bool input() const { return input_; }
  bool &input() { return input_; }
  bool output() const { return output_; }
  bool &output() { return output_; }

  // Unit text of the first element; "" for an empty vector. Stored as the
  // unit of the whole vector.
  std::string uom() const;

  std::string type() const override { return "QuantityVector"; }
  // "[1 m, 2 m]": each element as a value prints, without quotes.
  std::ostream &print(std::ostream &stream) const override;

private:
  bool input_ = false;
  bool output_ = false;
};
