// The node tree in memory: ids, children, copies and the JSON dump.

#include "ErrorText.h"

#include "velta/persistency/Node.h"
#include "velta/persistency/Icon.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace {

// A node that reports a type name of its own.
class Valve : public Node {
public:
  Valve(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Node(std::move(defaults), id, persistency, parent, root) {
    setNodeType("Valve");
  }
};

void registerPlainNode() {
  static const bool registered = [] {
    NodeFactory factory;
    factory.registerType<Node>("PlainNode", "A node without variables", "option", false, {}, {}, {},
                               "", 10, 20);
    factory.registerType<Valve>("Valve", "A valve", "unit", true, {}, {}, {}, "", 10, 20);
    return true;
  }();
  (void)registered;
}

std::unique_ptr<Node> newRoot(const std::string &tag = "CASE") {
  registerPlainNode();
  return NodeFactory().create("PlainNode", Defaults(tag, "root"), 0, nullptr, nullptr, nullptr);
}

Node &add(Node &parent, const std::string &tag) {
  return parent.addChild("PlainNode", Defaults(tag, "child"));
}

std::string dump(const Node &node) {
  std::ostringstream stream;
  stream << node;
  return stream.str();
}

} // namespace

TEST(Node, NewIdOnAFreshRootExtendsItsBlock) {
  auto root = newRoot();
  EXPECT_EQ(root->range(), 1);
  EXPECT_EQ(root->newId(), 1);
  EXPECT_EQ(root->range(), 2);
}

TEST(Node, NewIdShiftsTheBlocksThatFollow) {
  auto root = newRoot();
  Node &a = add(*root, "A");
  Node &b = add(*root, "B");
  EXPECT_EQ(a.id(), 1);
  EXPECT_EQ(b.id(), 2);
  // A reserves id 2: B moves up, A and the root grow.
  EXPECT_EQ(a.newId(), 2);
  EXPECT_EQ(a.maxId(), 2);
  EXPECT_EQ(root->maxId(), 3);
  EXPECT_EQ(b.id(), 3);
  EXPECT_EQ(b.maxId(), 3);
}

TEST(Node, GrandchildAddedLaterTakesTheNextIdOfItsParentsBlock) {
  auto root = newRoot();
  Node &a = add(*root, "A");
  Node &b = add(*root, "B");
  Node &grandchild = add(a, "G");
  Node &great = add(b, "H");
  EXPECT_EQ(grandchild.id(), 2);
  EXPECT_EQ(b.id(), 3);
  EXPECT_EQ(great.id(), 4);
  EXPECT_EQ(root->range(), 5);
  EXPECT_EQ(great.rootId(), 0);
  EXPECT_EQ(great.parentId(), 3);
  EXPECT_EQ(root->parentId(), 0);
}

TEST(Node, SearchFindsEveryIdOfTheBlockAndNothingBeyond) {
  auto root = newRoot();
  Node &a = add(*root, "A");
  Node &grandchild = add(a, "G");
  Node &b = add(*root, "B");
  EXPECT_EQ(&root->search(0), root.get());
  EXPECT_EQ(&root->search(2), &grandchild);
  EXPECT_EQ(&root->search(3), &b);
  EXPECT_EQ(messageOf([&] { root->search(4); }), runTimeError("Node::search", "id not found"));
  EXPECT_EQ(messageOf([&] { root->search(-1); }), runTimeError("Node::search", "id not found"));
}

TEST(Node, ChildrenAreFoundByPathsAndVisitedInTagOrder) {
  auto root = newRoot();
  Node &b2 = add(*root, "B2");
  add(*root, "B10");
  add(*root, "a");
  Node &x = add(b2, "X");
  EXPECT_EQ(&root->child("B2:X"), &x);
  EXPECT_FALSE(root->hasChild("B2:X"));
  EXPECT_TRUE(root->hasChild("B10"));
  EXPECT_EQ(messageOf([&] { root->child("B2:Y"); }),
            runTimeError("Node::child", "non-existant tag Y"));
  EXPECT_EQ(messageOf([&] { root->child(""); }), runTimeError("Node::child", "non-existant tag "));

  std::string order;
  for (const auto &entry : root->children())
    order += entry.first + " ";
  EXPECT_EQ(order, "B10 B2 a ");
  EXPECT_EQ(root->childCount(), 3u);
}

TEST(Node, DuplicateTagsAreRefusedByEveryFormOfAddChild) {
  auto root = newRoot();
  Node &first = add(*root, "A");
  auto other = newRoot("A");
  EXPECT_EQ(messageOf([&] { add(*root, "A"); }),
            runTimeError("Node::addChild(type, defaults)", "duplicate tag: A"));
  EXPECT_EQ(messageOf([&] { root->addChild(*other); }),
            runTimeError("Node::addChild copy", "duplicate tag: A"));
  EXPECT_EQ(messageOf([&] { root->addChild(std::move(other)); }),
            runTimeError("Node::addChild move", "duplicate tag: A"));
  EXPECT_EQ(&root->child("A"), &first);
  EXPECT_EQ(root->childCount(), 1u);
}

TEST(Node, AdoptedSubtreesTakeTheirNewParentAndRoot) {
  auto root = newRoot();
  auto detached = newRoot("D");
  Node &inner = add(*detached, "E");
  Node &added = root->addChild(std::move(detached));
  EXPECT_EQ(added.parentNode(), root.get());
  EXPECT_EQ(inner.root(), root.get());
  EXPECT_EQ(inner.fullTag(), "CASE:D:E");
}

TEST(Node, PruneHandsTheChildOutAndKeepsItsIdsReserved) {
  auto root = newRoot();
  add(*root, "A");
  add(*root, "B");
  std::unique_ptr<Node> pruned = root->prune("A");
  EXPECT_EQ(pruned->tag(), "A");
  EXPECT_FALSE(root->hasChild("A"));
  EXPECT_EQ(root->range(), 3);
  EXPECT_EQ(messageOf([&] { root->prune("A"); }),
            runTimeError("Node::prune", "error removing child"));
}

TEST(Node, JsonDumpOfARootWithOneChild) {
  auto root = newRoot();
  add(*root, "S01");
  EXPECT_EQ(dump(*root), "{\n"
                         "  \"fullTag\": \"CASE\",\n"
                         "  \"type\": \"Node\",\n"
                         "  \"id\": 0,\n"
                         "  \"parent\": 0,\n"
                         "  \"children\": {\n"
                         "    \"S01\": {\n"
                         "      \"fullTag\": \"CASE:S01\",\n"
                         "      \"type\": \"Node\",\n"
                         "      \"id\": 1,\n"
                         "      \"parent\": 0\n"
                         "    }\n"
                         "  } \n"
                         "}");
  EXPECT_EQ(dump(root->child("S01")).find("children"), std::string::npos);
}

TEST(Node, JsonDumpEscapesTextsThatJsonCannotHoldAsTheyAre) {
  struct Quoted : Node {
    Quoted() : Node(Defaults("Q"), 0, nullptr, nullptr, nullptr) { setNodeType("say \"hi\""); }
  } quoted;
  EXPECT_NE(dump(quoted).find("\"type\": \"say \\\"hi\\\"\",\n"), std::string::npos);
}

TEST(Node, CloneCopiesTheSubtreeWithItsIdsButNoStoredRows) {
  auto root = newRoot();
  Node &a = add(*root, "A");
  add(a, "G");
  a.setIcon("valve", 30, 40);
  std::unique_ptr<Node> copy = root->clone();
  EXPECT_EQ(dump(*copy), dump(*root));
  EXPECT_TRUE(copy->isRoot());
  EXPECT_EQ(copy->child("A:G").root(), copy.get());
  EXPECT_EQ(copy->child("A").iconFile(false), "valve.svg");
  EXPECT_TRUE(copy->uuid().empty());
  EXPECT_FALSE(copy->hasStoredRow());
}

TEST(Node, CopyAssignmentTakesTypeAndIconOfNamesakes) {
  auto target = newRoot("T");
  add(*target, "A");
  add(*target, "OnlyHere");
  auto source = newRoot("S");
  add(*source, "A").setIcon("pump", 1, 2);
  *target = *source;
  EXPECT_EQ(target->tag(), "T");
  EXPECT_EQ(target->child("A").iconFile(true), "pump.png");
  EXPECT_EQ(target->child("A").parentNode(), target.get());
  EXPECT_TRUE(target->hasChild("OnlyHere"));
  EXPECT_FALSE(target->hasChild("B"));
}

TEST(Node, MoveAssignmentTakesOverNamesakesAndEmptiesTheSource) {
  auto target = newRoot("T");
  add(*target, "A");
  auto source = newRoot("S");
  add(*source, "A").setIcon("pump", 1, 2);
  add(*source, "B");
  *target = std::move(*source);
  EXPECT_EQ(target->tag(), "S");
  EXPECT_TRUE(target->isRoot());
  EXPECT_EQ(target->root(), target.get());
  EXPECT_EQ(target->child("A").iconFile(true), "pump.png");
  EXPECT_EQ(target->child("A").parentNode(), target.get());
  EXPECT_EQ(target->child("A").root(), target.get());
  EXPECT_FALSE(target->hasChild("B"));
  EXPECT_EQ(source->childCount(), 0u);
  EXPECT_EQ(source->id(), 0);
  EXPECT_EQ(source->parent(), nullptr);
  EXPECT_EQ(source->root(), nullptr);
}

TEST(Node, IconsComeFromTheNodeOrFromItsType) {
  auto root = newRoot();
  Node &valve = root->addChild("Valve", Defaults("V1"));
  EXPECT_EQ(valve.type(), "Valve");
  // A registration without an icon takes its category's.
  EXPECT_EQ(valve.iconFile(false), "unit.svg");
  EXPECT_EQ(valve.iconWidth(), 10);
  EXPECT_EQ(valve.iconHeight(), 20);
  valve.setIcon("drum", 50, 60);
  EXPECT_EQ(valve.iconFile(true), "drum.png");
  EXPECT_EQ(valve.iconHeight(), 60);

  // Plain nodes are of the type Node, which has no icon of its own.
  EXPECT_EQ(messageOf([&] { root->iconFile(false); }),
            "Error was thrown by function: NodeFactory::icon\n"
            "Object factory error: Unsupported type: icon for type Node not found\n");
}
