#pragma once
// What the verb "new" creates: the option set of the new model (its base
// part: tag, description, integer and string options), the registered type
// name, and the input quantities to set before the model's setup, by tag
// path, as plain numbers in SI units.
//
// The JSON form, all keys optional, other keys ignored:
//   {"type":"..", "tag":"..", "description":"..",
//    "stringOptions":{"name":"value",..}, "integerOptions":{"name":1,..},
//    "quantities":{"S01:Tphase.T":350,..}}

#include "velta/persistency/Defaults.h"

#include <map>
#include <string>

class CaseDescriptor : public Defaults {
public:
  CaseDescriptor(std::string type, std::string tag, std::string description);

  std::string &type() { return type_; }
  const std::string &type() const { return type_; }
  std::map<std::string, double> &quantities() { return quantities_; }
  const std::map<std::string, double> &quantities() const { return quantities_; }

  void setTag(std::string tag);
  void setDescription(std::string description);

private:
  std::string type_;
  std::map<std::string, double> quantities_;
};

// Reads the JSON text into the descriptor. An empty text changes nothing.
// On a syntax error "Failed to parse Case descriptor: " and the reader's
// report go to standard error, the members read before the error are still
// applied, and the result is false. Values that cannot be converted (a root
// that is no object, an array or object where a scalar is expected, text
// where a number is expected, an int out of range) throw the JSON library's
// exception (a std::exception).
bool parseCaseDescriptor(CaseDescriptor &descriptor, const std::string &text);
