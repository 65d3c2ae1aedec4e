#include "velta/persistency/QuantityVector.h"

#include <ostream>

QuantityVector::QuantityVector(std::string tag, std::string description, int count,
                               const Value &value, Item *parent)
    : TypeVector<Value>(std::move(tag), std::move(description), parent,
                        elementCount(count, "QuantityVector::QuantityVector"), value) {}

std::string QuantityVector::uom() const {
  return value_.empty() ? std::string() : value_.front().uom();
}

std::ostream &QuantityVector::print(std::ostream &stream) const {
  stream << "[";
  for (std::size_t i = 0; i < value_.size(); ++i) {
    if (i > 0)
      stream << ", ";
    stream << value_[i];
  }
  return stream << "]";
}
