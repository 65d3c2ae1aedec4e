#include "velta/persistency/Item.h"

#include "velta/utility/CharacterRules.h"
#include "velta/utility/Error.h"

Item::Item(std::string tag, std::string description, Item *parent)
    : tag_(std::move(tag)), description_(std::move(description)), parent_(parent) {
  if (!checkTagStrict(tag_))
    throw ErrorInvalidCharacter("Item::Item", "tag", tag_.c_str());
  if (!checkDescription(description_))
    throw ErrorInvalidCharacter("Item::Item", "description", description_.c_str());
}

Item::Item(const Item &other) : tag_(other.tag_), description_(other.description_) {}

Item::Item(Item &&other) noexcept
    : tag_(std::move(other.tag_)), description_(std::move(other.description_)),
      parent_(other.parent_ == &other ? nullptr : other.parent_) {
  other.tag_.clear();
  other.description_.clear();
  other.parent_ = nullptr;
}

Item &Item::operator=(const Item &other) {
  if (this == &other)
    return *this;
  if (other.parent_ != &other)
    parent_ = other.parent_;
  tag_ = other.tag_;
  description_ = other.description_;
  return *this;
}

void Item::assignName(const Item &other) {
  if (this == &other)
    return;
  tag_ = other.tag_;
  description_ = other.description_;
}

void Item::setTag(const std::string &tag) {
  if (!checkTag(tag))
    throw ErrorInvalidCharacter("Item::setTag", "tag", tag.c_str());
  tag_ = tag;
}

void Item::setDescription(const std::string &description) {
  if (!checkDescription(description))
    throw ErrorInvalidCharacter("Item::setDescription", "description", description.c_str());
  description_ = description;
}

std::string Item::fullTag() const {
  if (parent_ != nullptr && parent_ != this)
    return parent_->fullTag() + ":" + tag_;
  return tag_;
}

void Item::requireStorableTag(const std::string &tag, const char *function) {
  if (tag.find('\0') != std::string::npos)
    refuseTag(tag, function, "it holds a NUL character");
  if (!tag.empty() && (tag.front() == ' ' || tag.back() == ' '))
    refuseTag(tag, function, "it begins or ends with a blank");
  requireTagFitsStore(tag, function);
}

void Item::requireTagFitsStore(const std::string &tag, const char *function) {
  if (tag.size() <= storedTagLength)
    return;
  // UTF-16 units of valid UTF-8: one per lead byte, two for a four-byte
  // sequence.
  std::size_t units = 0;
  for (const unsigned char byte : tag)
    units += ((byte & 0xC0) != 0x80 ? 1 : 0) + (byte >= 0xF0 ? 1 : 0);
  if (units > storedTagLength)
    refuseTag(tag, function,
              "it is longer than the " + std::to_string(storedTagLength) +
                  " characters that the store holds");
}

void Item::refuseTag(const std::string &tag, const char *function, const std::string &fault) {
  throw ErrorRunTime(
      function,
      ("tag \"" + tag.substr(0, tag.find('\0')) + "\" cannot be stored: " + fault).c_str());
}
