#include "velta/utility/Enumerator.h"

#include "velta/utility/Json.h"

namespace Velta::Utility {

EnumeratorInterface::~EnumeratorInterface() = default;

std::string EnumeratorInterface::toJson() const {
  std::string json = "{\"name\":\"";
  appendJsonEscaped(json, name());
  json += "\",\"description\":\"";
  appendJsonEscaped(json, description());
  json += "\",\"options\":[";
  for (const EnumeratorOption *option = begin(); option != end(); ++option) {
    if (option != begin())
      json += ',';
    json += "{\"name\":\"";
    appendJsonEscaped(json, option->name);
    json += "\",\"description\":\"";
    appendJsonEscaped(json, option->description);
    json += "\"}";
  }
  json += "]}";
  return json;
}

} // namespace Velta::Utility

namespace Velta::Core {

Enumerator::Enumerator(std::string name, std::string description)
    : name_(std::move(name)), description_(std::move(description)) {}

Enumerator::Enumerator(std::string name, std::string description,
                       std::initializer_list<EnumeratorOption> options)
    : name_(std::move(name)), description_(std::move(description)), options_(options) {}

void Enumerator::addOption(const EnumeratorOption &option) { options_.push_back(option); }

} // namespace Velta::Core
