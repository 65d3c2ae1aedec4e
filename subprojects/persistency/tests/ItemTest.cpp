#include "velta/persistency/Item.h"
#include "velta/persistency/Persistent.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// Items are abstract only through type(); a minimal concrete one.
class PlainItem : public Item {
public:
  using Item::Item;
  std::string type() const override { return "PlainItem"; }
};

// Persistent leaves the tree operations to Node; stubs suffice here.
class PlainPersistent : public Persistent {
public:
  using Persistent::Persistent;
  std::string type() const override { return "PlainPersistent"; }
  void shiftIds(int) override {}
  int rootId() const override { return id(); }
  int range() const override { return 1; }
  int newId() override { return id() + 1; }
  int insert(Persistency &) override { return 0; }
  int update(Persistency &) override { return 0; }
  void restore(Persistency &) override {}
  void remove(Persistency &) override {}
};

struct TagCase {
  const char *tag;
  bool strict;  // admitted at construction (no "." or ":")
  bool relaxed; // admitted by setTag
};

// The character rules as the object model applies them: the constructor
// uses the strict rule, setTag the relaxed one.
const TagCase tagCases[] = {
    {"S01", true, true},           {"1S", false, false},
    {"A.B", false, true},          {"A:B", false, true},
    {"\xC3\x84-x", true, true},    // "Ä-x": U+00C4 is a letter
    {"A\xC2\xB0", false, false},   // "A°": a non-letter beyond ASCII
    {"a{b}", true, true},          {"a/b", false, false},
    {"a(b)", false, false},        {"", true, true},
    {" A", false, false},          {"_A", false, false},
    {"x[1], y<2> z_3-4", true, true},
};

TEST(Item, TagRules) {
  for (const TagCase &c : tagCases) {
    SCOPED_TRACE(c.tag);
    if (c.strict) {
      EXPECT_NO_THROW(PlainItem(c.tag, "", nullptr));
    } else {
      try {
        PlainItem item(c.tag, "", nullptr);
        ADD_FAILURE() << "constructor admitted the tag";
      } catch (const ErrorInvalidCharacter &error) {
        EXPECT_EQ(error.message(),
                  std::string("Error was thrown by function: Item::Item\n"
                              "Invalid characters error: Field tag contains invalid characters "
                              "or does not begin with an alphabetic element: \"") +
                      c.tag + "\"\n");
      }
    }

    PlainItem item("old", "", nullptr);
    if (c.relaxed) {
      item.setTag(c.tag);
      EXPECT_EQ(item.tag(), c.tag);
    } else {
      try {
        item.setTag(c.tag);
        ADD_FAILURE() << "setTag admitted the tag";
      } catch (const ErrorInvalidCharacter &error) {
        EXPECT_NE(error.message().find("function: Item::setTag\n"), std::string::npos);
        EXPECT_EQ(item.tag(), "old");
      }
    }
  }
}

TEST(Item, DescriptionIsCheckedAfterTag) {
  // Both bad: the tag is reported.
  try {
    PlainItem item("1x", "a/b", nullptr);
    FAIL();
  } catch (const ErrorInvalidCharacter &error) {
    EXPECT_NE(error.message().find("Field tag "), std::string::npos);
  }
  try {
    PlainItem item("x", "a/b", nullptr);
    FAIL();
  } catch (const ErrorInvalidCharacter &error) {
    EXPECT_NE(error.message().find("function: Item::Item\n"), std::string::npos);
    EXPECT_NE(error.message().find("Field description "), std::string::npos);
  }
  PlainItem item("x", "old", nullptr);
  EXPECT_THROW(item.setDescription("a(b)"), ErrorInvalidCharacter);
  EXPECT_EQ(item.description(), "old");
  item.setDescription("Outlet temperature: T.out");
  EXPECT_EQ(item.description(), "Outlet temperature: T.out");
}

TEST(Item, FullTagAndCopies) {
  PlainItem root("CASE", "", nullptr);
  root.setParent(&root); // a root is its own parent
  PlainItem child("S01", "", &root);
  PlainItem variable("T", "", &child);
  EXPECT_EQ(root.fullTag(), "CASE");
  EXPECT_EQ(child.fullTag(), "CASE:S01");
  EXPECT_EQ(variable.fullTag(), "CASE:S01:T");

  PlainItem copy(variable);
  EXPECT_EQ(copy.parent(), nullptr);
  EXPECT_EQ(copy.fullTag(), "T");

  // Moving a root's self-reference would dangle: the new item has no parent.
  PlainItem movedRoot(std::move(root));
  EXPECT_EQ(movedRoot.parent(), nullptr);
  EXPECT_EQ(movedRoot.tag(), "CASE");
  EXPECT_EQ(root.tag(), "");

  PlainItem movedVariable(std::move(variable));
  EXPECT_EQ(movedVariable.parent(), &child);
  EXPECT_EQ(variable.parent(), nullptr);

  // Full assignment takes the parent, unless the source is its own parent;
  // the name assignment keeps it.
  PlainItem target("U", "", nullptr);
  target = movedVariable;
  EXPECT_EQ(target.parent(), &child);
  EXPECT_EQ(target.tag(), "T");
  PlainItem selfParent("R", "", nullptr);
  selfParent.setParent(&selfParent);
  target = selfParent;
  EXPECT_EQ(target.parent(), &child);
  EXPECT_EQ(target.tag(), "R");
  PlainItem renamed("V", "d", &root);
  renamed.assignName(child);
  EXPECT_EQ(renamed.tag(), "S01");
  EXPECT_EQ(renamed.parent(), &root);
}

bool isUuid4(const std::string &uuid) {
  if (uuid.size() != 36)
    return false;
  for (std::size_t i = 0; i < uuid.size(); ++i) {
    const char c = uuid[i];
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (c != '-')
        return false;
    } else if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
      return false;
    }
  }
  return uuid[14] == '4' && std::string("89ab").find(uuid[19]) != std::string::npos;
}

TEST(Persistent, UuidsAreVersion4AndUnique) {
  std::set<std::string> seen;
  for (int i = 0; i < 500; ++i) {
    const std::string uuid = Persistent::generateUuid();
    ASSERT_TRUE(isUuid4(uuid)) << uuid;
    seen.insert(uuid);
  }
  EXPECT_EQ(seen.size(), 500u);
}

TEST(Persistent, IdentityParentAndCopy) {
  PlainPersistent root("CASE", "A case", nullptr, 0);
  PlainPersistent child("S01", "", &root, 1);
  EXPECT_EQ(root.parent(), &root);
  EXPECT_EQ(child.parent(), &root);
  EXPECT_EQ(root.fullTag(), "CASE");
  EXPECT_EQ(child.fullTag(), "CASE:S01");
  EXPECT_EQ(root.parentId(), 0);
  EXPECT_EQ(child.parentId(), 0);
  EXPECT_TRUE(isUuid4(root.uuid()));
  EXPECT_NE(root.uuid(), child.uuid());
  EXPECT_GT(root.createdAt(), 1.6e9); // after 2020
  EXPECT_EQ(root.updatedAt(), 0.0);

  PlainPersistent rootCopy(root);
  EXPECT_EQ(rootCopy.parent(), &rootCopy);
  EXPECT_EQ(rootCopy.uuid(), "");
  EXPECT_EQ(rootCopy.id(), 0);
  EXPECT_EQ(rootCopy.tag(), "CASE");
  EXPECT_GE(rootCopy.createdAt(), root.createdAt());
  PlainPersistent childCopy(child);
  EXPECT_EQ(childCopy.parent(), nullptr);
  EXPECT_EQ(childCopy.id(), 1);
  EXPECT_EQ(childCopy.parentId(), 1);

  EXPECT_THROW(PlainPersistent("a:b", "", nullptr, 0), ErrorInvalidCharacter);
}

} // namespace
