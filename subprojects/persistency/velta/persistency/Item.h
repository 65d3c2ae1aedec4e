#pragma once
// Root of everything that has a name in a process model: a tag among its
// siblings, a free-text description and a non-owning pointer to the parent
// (the owning node or object; none for a free item; a root points to itself).

#include <cstddef>
#include <string>
#include <utility>

class Item {
public:
  // Checks the tag with the strict tag rule (no "." or ":") and then the
  // description; a refusal throws ErrorInvalidCharacter from "Item::Item".
  Item(std::string tag, std::string description, Item *parent);
  // Copies tag and description; the copy has no parent. No character check.
  Item(const Item &other);
  // Takes over tag and description (the source is left with empty strings)
  // and the parent, unless the source is its own parent.
  Item(Item &&other) noexcept;
  virtual ~Item() = default;

  // Full assignment: the parent pointer (unless other is its own parent, in
  // which case this item keeps its own), then tag and description.
  Item &operator=(const Item &other);
  // Copies tag and description only; the parent stays.
  void assignName(const Item &other);

  // Name of the item's class.
  virtual std::string type() const = 0;

  const std::string &tag() const { return tag_; }
  const std::string &description() const { return description_; }
  Item *parent() const { return parent_; }
  void setParent(Item *parent) { parent_ = parent; }

  // Checked with the tag rule, which admits "." and ":"; on refusal throws
  // ErrorInvalidCharacter from "Item::setTag" and keeps the old tag.
  void setTag(const std::string &tag);
  // On refusal throws ErrorInvalidCharacter from "Item::setDescription".
  void setDescription(const std::string &description);

  // Colon-joined tags from the root down to this item.
  std::string fullTag() const;

  // Width of the TAG columns of the store, in UTF-16 units.
  static constexpr std::size_t storedTagLength = 50;
  // Variables are found in the store by their tag, so a variable's tag must
  // be one that the store holds exactly: at most storedTagLength UTF-16
  // units, no blank at either end (the lookups trim blanks) and no NUL
  // character. Otherwise throws ErrorRunTime from function.
  static void requireStorableTag(const std::string &tag, const char *function);
  // The length part of that rule, for node tags: two siblings must never
  // be stored under tags that the store cannot tell apart.
  static void requireTagFitsStore(const std::string &tag, const char *function);

protected:
  // Tag and description as they stand, for values read back from storage.
  void setTagUnchecked(std::string tag) { tag_ = std::move(tag); }
  void setDescriptionUnchecked(std::string description) { description_ = std::move(description); }

private:
  [[noreturn]] static void refuseTag(const std::string &tag, const char *function,
                                     const std::string &fault);

  std::string tag_;
  std::string description_;
  Item *parent_ = nullptr;
};
