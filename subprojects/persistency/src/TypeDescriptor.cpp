#include "velta/persistency/TypeDescriptor.h"

#include "velta/utility/Json.h"

#include <cmath>
#include <locale>
#include <sstream>
#include <utility>

using Velta::Utility::appendJsonEscaped;

namespace {

// Appends "key":"text" with the text escaped.
void appendString(std::string &out, const char *key, const std::string &text) {
  out += '"';
  out += key;
  out += "\":\"";
  appendJsonEscaped(out, text);
  out += '"';
}

void appendInteger(std::string &out, const char *key, int value) {
  out += '"';
  out += key;
  out += "\":";
  out += std::to_string(value);
}

// General format, six significant digits, as 1e-05; JSON has no infinity
// or NaN, so a non-finite value is written as null.
std::string formatNumber(double value) {
  if (!std::isfinite(value))
    return "null";
  std::ostringstream stream;
  stream.imbue(std::locale::classic());
  stream << value;
  return stream.str();
}

template <class Record>
void appendArray(std::string &out, const char *key, const std::vector<Record> &records) {
  out += '"';
  out += key;
  out += "\":[";
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (i > 0)
      out += ',';
    out += records[i].toJson();
  }
  out += ']';
}

} // namespace

IntegerOption::IntegerOption(std::string name, std::string description, int value, int min,
                             int max)
    : name(std::move(name)), description(std::move(description)), value(value), min(min),
      max(max) {}

std::string IntegerOption::toJson() const {
  std::string out = "{";
  appendString(out, "name", name);
  out += ',';
  appendString(out, "description", description);
  out += ',';
  appendInteger(out, "value", value);
  out += ',';
  appendInteger(out, "min", min);
  out += ',';
  appendInteger(out, "max", max);
  out += '}';
  return out;
}

StringOption::StringOption(std::string name, std::string description, std::string value,
                           std::string enumerator)
    : name(std::move(name)), description(std::move(description)), value(std::move(value)),
      enumerator(std::move(enumerator)) {}

std::string StringOption::toJson() const {
  std::string out = "{";
  appendString(out, "name", name);
  out += ',';
  appendString(out, "description", description);
  out += ',';
  appendString(out, "value", value);
  out += ',';
  appendString(out, "enumerator", enumerator);
  out += '}';
  return out;
}

QuantityDescriptor::QuantityDescriptor(std::string fulltag, std::string description, double value,
                                       std::string unit)
    : fulltag(std::move(fulltag)), description(std::move(description)), value(value),
      unit(std::move(unit)) {}

std::string QuantityDescriptor::toJson() const {
  std::string out = "{";
  appendString(out, "fulltag", fulltag);
  out += ',';
  appendString(out, "description", description);
  out += ",\"value\":";
  out += formatNumber(value);
  out += ',';
  appendString(out, "unit", unit);
  out += '}';
  return out;
}

TypeDescriptor::TypeDescriptor(std::string name, std::string description, std::string category,
                               bool instantiable, std::vector<IntegerOption> integerOptions,
                               std::vector<StringOption> stringOptions,
                               std::vector<QuantityDescriptor> quantities, std::string icon)
    : name(std::move(name)), description(std::move(description)), category(std::move(category)),
      instantiable(instantiable), integerOptions(std::move(integerOptions)),
      stringOptions(std::move(stringOptions)), quantities(std::move(quantities)),
      icon(std::move(icon)) {}

std::string TypeDescriptor::toJson() const {
  std::string out = "{";
  appendString(out, "name", name);
  out += ", ";
  appendString(out, "description", description);
  out += ", ";
  appendString(out, "category", category);
  out += ", ";
  appendString(out, "icon", (icon.empty() ? category : icon) + ".svg");
  out += ", \"instantiable\":";
  out += instantiable ? "true" : "false";
  out += ", ";
  appendArray(out, "integerOptions", integerOptions);
  out += ", ";
  appendArray(out, "stringOptions", stringOptions);
  out += ", ";
  appendArray(out, "quantities", quantities);
  out += " }";
  return out;
}
