#include "velta/persistency/Defaults.h"

#include <ostream>
#include <utility>

Defaults::Defaults(std::string tag, std::string description)
    : tag_(std::move(tag)), description_(std::move(description)) {}

Defaults &Defaults::setInteger(const std::string &name, int value) {
  integers_.emplace(name, value);
  return *this;
}

Defaults &Defaults::setString(const std::string &name, const std::string &value) {
  strings_.emplace(name, value);
  return *this;
}

int Defaults::getInteger(const std::string &name) const {
  auto found = integers_.find(name);
  return found == integers_.end() ? -1 : found->second;
}

std::string Defaults::getString(const std::string &name) const {
  auto found = strings_.find(name);
  return found == strings_.end() ? std::string() : found->second;
}

bool Defaults::hasInteger(const std::string &name) const { return integers_.count(name) != 0; }

bool Defaults::hasString(const std::string &name) const { return strings_.count(name) != 0; }

Defaults Defaults::subset(const std::string &prefix) const {
  Defaults result(tag_, description_);
  for (const auto &[name, value] : integers_)
    if (name.starts_with(prefix))
      result.setInteger(name.substr(prefix.size()), value);
  for (const auto &[name, value] : strings_)
    if (name.starts_with(prefix))
      result.setString(name.substr(prefix.size()), value);
  return result;
}

Defaults Defaults::relay(std::string tag, std::string description) const {
  Defaults result(std::move(tag), std::move(description));
  result.integers_ = integers_;
  result.strings_ = strings_;
  return result;
}

std::ostream &Defaults::print(std::ostream &stream) const {
  stream << "[ si [";
  for (const auto &[name, value] : integers_)
    stream << "[ " << name << ", " << value << "] ";
  stream << "] ss [";
  for (const auto &[name, value] : strings_)
    stream << "[ " << name << ", " << value << "] ";
  return stream << "]]";
}

std::ostream &operator<<(std::ostream &stream, const Defaults &defaults) {
  return defaults.print(stream);
}
