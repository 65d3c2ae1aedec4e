#pragma once
// Descriptions of a registered type for the user, as the types listing
// writes them: its integer and string options with defaults and bounds, the
// quantities it exposes, and the whole type record. Each toJson writes one
// line of JSON; texts are escaped where JSON requires it.

#include <string>
#include <vector>

struct IntegerOption {
  IntegerOption(std::string name, std::string description, int value, int min, int max);
  // {"name":"..","description":"..","value":2,"min":2,"max":2147483647}
  std::string toJson() const;

  std::string name;
  std::string description;
  int value;
  int min;
  int max;
};

struct StringOption {
  StringOption(std::string name, std::string description, std::string value,
               std::string enumerator);
  // {"name":"..","description":"..","value":"..","enumerator":".."}
  std::string toJson() const;

  std::string name;
  std::string description;
  std::string value;
  // Name of the smart enumerator that lists the allowed values.
  std::string enumerator;
};

struct QuantityDescriptor {
  QuantityDescriptor(std::string fulltag, std::string description, double value,
                     std::string unit);
  // {"fulltag":"..","description":"..","value":1e-05,"unit":".."}; the value
  // in the general format with six significant digits.
  std::string toJson() const;

  // Tag path of the quantity within the object.
  std::string fulltag;
  std::string description;
  double value;
  std::string unit;
};

struct TypeDescriptor {
  TypeDescriptor(std::string name, std::string description, std::string category,
                 bool instantiable, std::vector<IntegerOption> integerOptions,
                 std::vector<StringOption> stringOptions,
                 std::vector<QuantityDescriptor> quantities, std::string icon);
  // {"name":"..", "description":"..", "category":"..", "icon":"stem.svg",
  //  "instantiable":true, "integerOptions":[..], "stringOptions":[..],
  //  "quantities":[..] }  (one line; the category stands in for an empty icon)
  std::string toJson() const;

  std::string name;
  std::string description;
  // "phase", "stream", "unit", "flowsheet" or "option".
  std::string category;
  bool instantiable;
  std::vector<IntegerOption> integerOptions;
  std::vector<StringOption> stringOptions;
  std::vector<QuantityDescriptor> quantities;
  // File-name stem of the icon.
  std::string icon;
};
