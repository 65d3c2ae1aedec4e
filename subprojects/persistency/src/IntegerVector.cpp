#include "velta/persistency/IntegerVector.h"

IntegerVector::IntegerVector(std::string tag, std::string description, int count, int value,
                             Item *parent)
    : TypeVector<int>(std::move(tag), std::move(description), parent,
                      elementCount(count, "IntegerVector::IntegerVector"), value) {}

std::ostream &IntegerVector::print(std::ostream &stream) const { return printList(stream, false); }
