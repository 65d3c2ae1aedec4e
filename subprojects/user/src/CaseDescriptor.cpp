#include "velta/user/CaseDescriptor.h"

#include <json/json.h>

#include <iostream>
#include <memory>

CaseDescriptor::CaseDescriptor(std::string type, std::string tag, std::string description)
    : Defaults(std::move(tag), std::move(description)), type_(std::move(type)) {}

void CaseDescriptor::setTag(std::string tag) {
  static_cast<Defaults &>(*this) = relay(std::move(tag), description());
}

void CaseDescriptor::setDescription(std::string description) {
  static_cast<Defaults &>(*this) = relay(tag(), std::move(description));
}

namespace {

// The members of an option group in name order; anything but an object with
// members adds nothing, except an array with elements, which cannot be read.
template <class Add> void forEachMember(const Json::Value &group, Add add) {
  if (group.isArray() && !group.empty())
    throw Json::LogicError("an option group or \"quantities\" must be an object, not an array");
  if (!group.isObject())
    return;
  for (const std::string &name : group.getMemberNames())
    add(name, group[name]);
}

} // namespace

bool parseCaseDescriptor(CaseDescriptor &descriptor, const std::string &text) {
  if (text.empty())
    return true;
  Json::CharReaderBuilder builder;
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
  forEachMember(root["stringOptions"],
                [&](const std::string &name, const Json::Value &value) {
                  descriptor.setString(name, value.asString());
                });
  forEachMember(root["integerOptions"],
                [&](const std::string &name, const Json::Value &value) {
                  descriptor.setInteger(name, value.asInt());
                });
  forEachMember(root["quantities"],
                [&](const std::string &name, const Json::Value &value) {
                  descriptor.quantities()[name] = value.asDouble();
                });
  return parsed;
}
