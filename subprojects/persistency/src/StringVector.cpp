#include "velta/persistency/StringVector.h"

#include "velta/utility/Json.h"

StringVector::StringVector(std::string tag, std::string description, int count,
                           std::string value, Item *parent)
    : TypeVector<std::string>(std::move(tag), std::move(description), parent,
                              elementCount(count, "StringVector::StringVector"), value) {}

std::ostream &StringVector::printJson(std::ostream &stream) const {
  stream << "[";
  for (std::size_t i = 0; i < value_.size(); ++i) {
    if (i > 0)
      stream << ", ";
    stream << Velta::Utility::jsonQuote(value_[i]);
  }
  return stream << "]";
}
