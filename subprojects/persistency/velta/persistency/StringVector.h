#pragma once
// A named vector of strings (tables SV and SVV).

#include "velta/persistency/TypeVector.h"

class StringVector : public TypeVector<std::string> {
public:
  StringVector(std::string tag, std::string description, int count, std::string value,
               Item *parent);

  std::string type() const override { return "StringVector"; }
  // print (inherited) writes ["a", "b"] with the elements as they are;
  // printJson writes the same array with the elements escaped for JSON.
  std::ostream &printJson(std::ostream &stream) const;
};
