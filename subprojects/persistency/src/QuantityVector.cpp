#include "velta/persistency/QuantityVector.h"

#include <ostream>

QuantityVector::QuantityVector(std::string tag, std::string description, int count,
                               const Value &value, Item *parent)
    : TypeVector<Value>(std::move(tag), std::move(description), parent,
                        elementCount(count, "QuantityVector::QuantityVector"), value) {}

std::string QuantityVector::uom() const {
  return value_.empty() ? std::string() : value_.front().uom();
}

std::ostream &QuantityVector::print(std::ostream &stream) const { return printList(stream, false); }
