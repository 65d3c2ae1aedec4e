#include "velta/user/CaseDescriptor.h"

#include "velta/core/Model.h"
#include "velta/utility/Error.h"

#include <json/json.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <locale>
#include <memory>
#include <sstream>

CaseDescriptor::CaseDescriptor(std::string type, std::string tag, std::string description)
    : Defaults(std::move(tag), std::move(description)), type_(std::move(type)) {}

void CaseDescriptor::setTag(std::string tag) {
  static_cast<Defaults &>(*this) = relay(std::move(tag), description());
}

void CaseDescriptor::setDescription(std::string description) {
  static_cast<Defaults &>(*this) = relay(tag(), std::move(description));
}

namespace {

const char *const knownKeys[] = {"type",          "tag",           "description",
                                 "stringOptions", "integerOptions", "quantities"};

// "a", "b" and "c"
std::string quotedList(const std::vector<std::string> &names) {
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0)
      text += i + 1 == names.size() ? " and " : ", ";
    text += "\"" + names[i] + "\"";
  }
  return text;
}

std::ostringstream classicStream() {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  return text;
}

void warnUnknownKeys(const Json::Value &root) {
  if (!root.isObject())
    return;
  std::vector<std::string> unknown;
  for (const std::string &name : root.getMemberNames())
    if (std::find(std::begin(knownKeys), std::end(knownKeys), name) == std::end(knownKeys))
      unknown.push_back(name);
  if (!unknown.empty())
    std::cerr << "Warning: the case descriptor's key" << (unknown.size() > 1 ? "s " : " ")
              << quotedList(unknown)
              << (unknown.size() > 1 ? " are" : " is")
              << " unknown and ignored (known keys: type, tag, description, stringOptions, "
                 "integerOptions, quantities)"
              << std::endl;
}

// The members of an option group in name order; anything but an object with
// members adds nothing (a group given as a scalar is named in a warning),
// except an array with elements, which cannot be read.
template <class Add> void forEachMember(const Json::Value &group, const char *key, Add add) {
  if (group.isArray() && !group.empty())
    throw Json::LogicError("an option group or \"quantities\" must be an object, not an array");
  if (!group.isObject()) {
    // null and an empty array are empty groups.
    if (!group.isNull() && !group.isArray())
      std::cerr << "Warning: the case descriptor's \"" << key
                << "\" is not an object of names and values; it is ignored" << std::endl;
    return;
  }
  for (const std::string &name : group.getMemberNames())
    add(name, group[name]);
}

} // namespace

bool parseCaseDescriptor(CaseDescriptor &descriptor, const std::string &text) {
  if (text.empty())
    return true;
  Json::CharReaderBuilder builder;
  // Text after the JSON value is a fault of the descriptor, not a comment.
  builder["failIfExtra"] = true;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value document;
  std::string errors;
  const bool parsed = reader->parse(text.data(), text.data() + text.size(), &document, &errors);
  // Read-only access: a missing member reads as null instead of being added.
  const Json::Value &root = document;
  if (!parsed)
    std::cerr << "Failed to parse Case descriptor: " << errors << std::endl;

  if (root.isMember("type"))
    descriptor.type() = root["type"].asString();
  if (root.isMember("tag"))
    descriptor.setTag(root["tag"].asString());
  if (root.isMember("description"))
    descriptor.setDescription(root["description"].asString());
  forEachMember(root["stringOptions"], "stringOptions",
                [&](const std::string &name, const Json::Value &value) {
                  descriptor.setString(name, value.asString());
                });
  forEachMember(root["integerOptions"], "integerOptions",
                [&](const std::string &name, const Json::Value &value) {
                  descriptor.setInteger(name, value.asInt());
                });
  forEachMember(root["quantities"], "quantities",
                [&](const std::string &name, const Json::Value &value) {
                  descriptor.quantities()[name] = value.asDouble();
                });
  warnUnknownKeys(root);
  return parsed;
}

void warnUnreadOptions(const CaseDescriptor &descriptor, const OptionReads &reads) {
  std::vector<std::string> integers, strings;
  for (const auto &[name, value] : descriptor.integers())
    if (!reads.wasRead(name))
      integers.push_back(name);
  for (const auto &[name, value] : descriptor.strings())
    if (!reads.wasRead(name))
      strings.push_back(name);
  if (integers.empty() && strings.empty())
    return;
  std::cerr << "Warning: " << descriptor.type() << " and its parts read no ";
  if (!integers.empty())
    std::cerr << "integer option" << (integers.size() > 1 ? "s " : " ") << quotedList(integers);
  if (!integers.empty() && !strings.empty())
    std::cerr << " and no ";
  if (!strings.empty())
    std::cerr << "string option" << (strings.size() > 1 ? "s " : " ") << quotedList(strings);
  std::cerr << " of the case descriptor; " << (integers.size() + strings.size() > 1 ? "they are" : "it is")
            << " ignored" << std::endl;
}

// ---------------------------------------------------------------- inputs

namespace {

// The vector part of a tag path "owner.name[index]": "owner.name", or empty
// for a path that selects no single element of a vector (a bracket before
// the first "." belongs to a child's tag).
std::string vectorOf(const std::string &path) {
  const std::size_t dot = path.find('.');
  const std::size_t open = path.find('[', dot == std::string::npos ? 0 : dot);
  if (open == std::string::npos || path.back() != ']' ||
      path.find_first_of("[],", open + 1) != path.size() - 1)
    return {};
  return path.substr(0, open);
}

} // namespace

DescriptorInputs::DescriptorInputs(Model &model, const std::map<std::string, double> &quantities)
    : model_(model) {
  for (const auto &[path, value] : quantities) {
    const std::string vector = vectorOf(path);
    if (vector.empty()) {
      scalars_.emplace_back(path, value);
      continue;
    }
    Group &group = groups_[vector];
    if (group.entries.empty())
      // The entries in order, until the first index that the vector lacks.
      for (std::size_t i = 0;; ++i) {
        try {
          group.entries.push_back(&model.Q(vector + "[" + std::to_string(i) + "]"));
        } catch (const Error &) {
          break;
        }
        group.given.push_back(false);
      }
    const Value *entry = &model.Q(path);
    for (std::size_t i = 0; i < group.entries.size(); ++i)
      if (group.entries[i] == entry)
        group.given[i] = true;
  }
  for (auto &[vector, group] : groups_) {
    for (const Value *entry : group.entries)
      group.before.push_back(entry->value());
    warnKeptDefaults(vector, group);
  }
}

void DescriptorInputs::warnKeptDefaults(const std::string &vector, const Group &group) const {
  std::ostringstream text = classicStream();
  std::vector<std::string> givenNames;
  const char *separator = "";
  for (std::size_t i = 0; i < group.entries.size(); ++i) {
    if (group.given[i]) {
      givenNames.push_back(vector + "[" + std::to_string(i) + "]");
      continue;
    }
    text << separator << vector << "[" << i << "] = " << group.before[i];
    separator = ", ";
  }
  if (*separator)
    std::cerr << "Warning: the case descriptor gives " << quotedList(givenNames)
              << " but not the other entries of " << vector
              << ", which keep their defaults: " << text.str() << std::endl;
}

void DescriptorInputs::reportSetUp() const {
  const std::string type = model_.type();
  for (const auto &[path, value] : scalars_) {
    const double kept = model_.Q(path).value();
    if (kept != value)
      std::cerr << "Warning: the set-up of " << type << " replaced the value " << value
                << " given for " << path << " by " << kept << std::endl;
  }
  for (const auto &[vector, group] : groups_) {
    double sum = 0;
    bool changed = false;
    for (std::size_t i = 0; i < group.entries.size(); ++i) {
      sum += group.entries[i]->value();
      changed = changed || group.entries[i]->value() != group.before[i];
    }
    if (changed)
      std::cerr << "Warning: the set-up of " << type << " replaced the values of " << vector
                << " by " << entries(vector, group, 1) << std::endl;
    if (isComposition(vector) && sum > 0 && std::fabs(sum - 1) > 1e-9) {
      std::ostringstream text = classicStream();
      text << sum;
      std::cerr << "Warning: the entries of " << vector << " sum to " << text.str()
                << ", not 1; the calculation normalises them to " << entries(vector, group, sum)
                << std::endl;
    }
  }
}

std::string DescriptorInputs::entries(const std::string &vector, const Group &group,
                                      double divisor) {
  std::ostringstream text = classicStream();
  for (std::size_t i = 0; i < group.entries.size(); ++i)
    text << (i ? ", " : "") << vector << "[" << i << "] = " << group.entries[i]->value() / divisor;
  return text.str();
}

bool DescriptorInputs::isComposition(const std::string &vector) {
  const std::size_t dot = vector.rfind('.');
  const std::string name = dot == std::string::npos ? vector : vector.substr(dot + 1);
  return name == "x" || name == "w";
}
