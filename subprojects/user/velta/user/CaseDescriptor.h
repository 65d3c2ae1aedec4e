#pragma once
// What the verb "new" creates: the option set of the new model (its base
// part: tag, description, integer and string options), the registered type
// name, and the input quantities to set before the model's setup, by tag
// path, as plain numbers in SI units.
//
// The JSON form, all keys optional, other keys ignored (and named in a
// warning):
//   {"type":"..", "tag":"..", "description":"..",
//    "stringOptions":{"name":"value",..}, "integerOptions":{"name":1,..},
//    "quantities":{"S01:Tphase.T":350,..}}

#include "velta/persistency/Defaults.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "velta/value/Value.h"

class Model;

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
// On a syntax error, text after the JSON value included, "Failed to parse
// Case descriptor: " and the reader's report go to standard error, the
// members read before the error are still applied, and the result is false.
// Unknown keys, and an option group or "quantities" that is neither an
// object nor null, are each named in one warning line on standard error. Values that cannot be converted (a root
// that is no object, an array or object where a scalar is expected, text
// where a number is expected, an int out of range) throw the JSON library's
// exception (a std::exception).
bool parseCaseDescriptor(CaseDescriptor &descriptor, const std::string &text);

// One warning line on standard error naming the options of the descriptor
// that nothing read while the case was made (see OptionReads).
void warnUnreadOptions(const CaseDescriptor &descriptor, const OptionReads &reads);

// The input quantities of a new case, told back to whoever wrote the
// descriptor, one warning line on standard error each: made once the values
// are set, it names the entries of every vector given in part that keep
// their defaults (with their values); reportSetUp, after the model's set-up,
// names the values that the set-up replaced, a vector's entries in one line,
// and the mole or mass fractions (x, w) given in part or whole that do not
// sum to 1, with the values to which the calculation normalises them.
class DescriptorInputs {
public:
  DescriptorInputs(Model &model, const std::map<std::string, double> &quantities);
  void reportSetUp() const;

private:
  struct Group {
    std::vector<Value *> entries;
    std::vector<bool> given;
    std::vector<double> before;
  };
  void warnKeptDefaults(const std::string &vector, const Group &group) const;
  // "vector[0] = a, vector[1] = b, ..." of the present values / divisor.
  static std::string entries(const std::string &vector, const Group &group, double divisor);
  static bool isComposition(const std::string &vector);

  Model &model_;
  std::vector<std::pair<std::string, double>> scalars_;
  std::map<std::string, Group> groups_;
};
