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
  OptionReads::record(name);
  auto found = integers_.find(name);
  return found == integers_.end() ? -1 : found->second;
}

std::string Defaults::getString(const std::string &name) const {
  OptionReads::record(name);
  auto found = strings_.find(name);
  return found == strings_.end() ? std::string() : found->second;
}

bool Defaults::hasInteger(const std::string &name) const {
  OptionReads::record(name);
  return integers_.count(name) != 0;
}

bool Defaults::hasString(const std::string &name) const {
  OptionReads::record(name);
  return strings_.count(name) != 0;
}

Defaults Defaults::subset(const std::string &prefix) const {
  OptionReads::recordPrefix(prefix);
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

namespace {
OptionReads *activeReads = nullptr;
} // namespace

OptionReads::OptionReads() { activeReads = this; }

OptionReads::~OptionReads() { activeReads = nullptr; }

bool OptionReads::wasRead(const std::string &name) const {
  if (names_.count(name))
    return true;
  for (const std::string &prefix : prefixes_)
    if (name.starts_with(prefix))
      return true;
  return false;
}

void OptionReads::record(const std::string &name) {
  if (activeReads)
    activeReads->names_.insert(name);
}

void OptionReads::recordPrefix(const std::string &prefix) {
  if (activeReads)
    activeReads->prefixes_.insert(prefix);
}
