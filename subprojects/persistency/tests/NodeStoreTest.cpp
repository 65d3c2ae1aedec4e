// Object trees written to a store, changed, updated, read back and removed.

#include "MemoryPersistency.h"
#include "NodeStoreFixture.h"
#include "NodeTestTypes.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/utility/Error.h"

#include <sstream>

namespace {

// A case of two units: U1 with two stages, U2 with three. In-memory ids:
// CASE 0, U1 1, U1:Sphase[0] 2, U1:Sphase[1] 3, U2 4, U2:Sphase[0..2] 5..7.
std::unique_ptr<Node> createCase(const std::string &title = "first") {
  Defaults options("CASE", "Test case");
  options.setInteger("nUnits", 2).setInteger("U2.nStages", 3).setString("title", title);
  return NodeFactory().create("TestFlowsheet", options, 0, nullptr, nullptr, nullptr);
}

// Reads a stored tree back as the front end does: by its stored id, with
// the type of its row.
std::unique_ptr<Node> readCase(Persistency &store, int storedId) {
  std::string uuid, tag, description, type;
  int parent, root;
  double createdAt, updatedAt;
  store.retrieveObject(storedId, uuid, tag, description, type, parent, root, createdAt, updatedAt);
  return NodeFactory().create(type, Defaults(), storedId, &store, nullptr, nullptr);
}

std::string dump(const Node &node) {
  std::ostringstream stream;
  stream << node;
  return stream.str();
}

Object &object(Node &node) { return dynamic_cast<Object &>(node); }

int storedRows(Persistency &store) {
  int rows = store.countRows("N", -1);
  for (const char *table : {"I", "IV", "Q", "QV", "QM", "S", "SV"})
    rows += store.countCID(-1, table);
  return rows;
}

void expectStoredNode(Persistency &store, int storedId, const std::string &tag, int parent,
                      int root) {
  std::string uuid, storedTag, description, type;
  int storedParent = 0, storedRoot = 0;
  double createdAt = 0, updatedAt = 0;
  store.retrieveObject(storedId, uuid, storedTag, description, type, storedParent, storedRoot,
                       createdAt, updatedAt);
  EXPECT_EQ(storedTag, tag) << "stored id " << storedId;
  EXPECT_EQ(storedParent, parent) << "stored id " << storedId;
  EXPECT_EQ(storedRoot, root) << "stored id " << storedId;
}

} // namespace

void NodeStoreRoundTrip::SetUp() {
  registerTestTypes();
  store = GetParam().make();
}

TEST_P(NodeStoreRoundTrip, FreshTreeIsStoredFromIdZeroAndReadBackWhole) {
  auto original = createCase();
  EXPECT_EQ(original->insert(*store), 0);
  EXPECT_EQ(store->getId(), 8);
  EXPECT_EQ(store->countRows("N", -1), 8);
  expectStoredNode(*store, 0, "CASE", 0, 0);
  expectStoredNode(*store, 4, "U2", 0, 0);
  expectStoredNode(*store, 7, "Sphase[2]", 4, 0);

  auto restored = readCase(*store, 0);
  EXPECT_EQ(restored->id(), 0);
  EXPECT_EQ(restored->offset(), 0);
  EXPECT_EQ(restored->type(), "TestFlowsheet");
  EXPECT_EQ(dump(*restored), dump(*original));
  // The alias's preset reached the store as a value and came back.
  EXPECT_EQ(object(*restored).S("U1:Sphase[0].typeP"), "vapor");
  EXPECT_EQ(object(*restored).S("U1:Sphase[1].typeP"), "liquid");
}

TEST_P(NodeStoreRoundTrip, TreeStoredAfterAnotherIsReadBackAtIdZeroAndUpdated) {
  auto first = createCase("first");
  first->insert(*store);
  auto second = createCase("second");
  EXPECT_EQ(second->insert(*store), 8);
  expectStoredNode(*store, 12, "U2", 8, 8);

  auto restored = readCase(*store, 8);
  EXPECT_EQ(restored->id(), 0);
  EXPECT_EQ(restored->child("U2:Sphase[1]").id(), 6);
  EXPECT_EQ(restored->child("U2:Sphase[1]").offset(), -8);
  EXPECT_EQ(restored->child("U2:Sphase[1]").storedId(), 14);
  EXPECT_EQ(dump(*restored), dump(*second));

  Object &changed = object(*restored);
  changed.Q("U2:Sphase[1].mdot") = Value(4.25, "kg/s");
  changed.Q("U2:Sphase[1].mdotcomps[2]") = Value(0.75, "kg/s");
  changed.Q("U2:Sphase[1].k[1][2]") = 99.0;
  changed.Q("U1.stageT[1]") = Value(360.0, "K");
  changed.I("U1:Sphase[0].counts[1]") = 42;
  changed.S("title") = "changed";
  // A vector that changes its length is stored by replacement.
  changed.at("U2:Sphase[0]").element<StringVector>("names").value() = {"x", "y", "z"};
  EXPECT_EQ(restored->update(*store), 8);

  auto again = readCase(*store, 8);
  EXPECT_EQ(dump(*again), dump(*restored));
  EXPECT_EQ(object(*again).Q("U2:Sphase[1].mdot").value(), 4.25);
  EXPECT_EQ(object(*again).S("U2:Sphase[0].names[2]"), "z");
  // The first case kept its rows.
  EXPECT_EQ(dump(*readCase(*store, 0)), dump(*first));
}

TEST_P(NodeStoreRoundTrip, ChildAddedAfterInsertionIsStoredWithoutDisturbingShiftedNodes) {
  auto tree = createCase();
  tree->insert(*store);
  // The new child takes id 4 in memory and moves U2's block up by one, but
  // U2 still owns the stored rows 4 .. 7.
  Node &extra = tree->child("U1").addChild("TestPhase", Defaults("Extra", "added later"));
  EXPECT_EQ(extra.id(), 4);
  EXPECT_FALSE(extra.hasStoredRow());
  EXPECT_EQ(tree->child("U2").id(), 5);
  EXPECT_EQ(tree->child("U2").storedId(), 4);

  object(*tree).Q("U2.T") = Value(410.0, "K");
  object(extra).Q("mdot") = Value(9.0, "kg/s");
  EXPECT_EQ(tree->update(*store), 0);
  EXPECT_TRUE(extra.hasStoredRow());
  EXPECT_EQ(store->countRows("N", -1), 9);

  // Read back, the extra child sits under U1 and every node has its values;
  // ids come out as they are in memory.
  auto restored = readCase(*store, 0);
  EXPECT_EQ(object(*restored).Q("U2.T").value(), 410.0);
  EXPECT_EQ(object(*restored).Q("U1:Extra.mdot").value(), 9.0);
  EXPECT_EQ(dump(*restored), dump(*tree));

  // The restored tree updates the late child's own rows too.
  object(*restored).Q("U1:Extra.mdot") = Value(11.0, "kg/s");
  restored->update(*store);
  EXPECT_EQ(object(*readCase(*store, 0)).Q("U1:Extra.mdot").value(), 11.0);

  // Removing the restored case leaves nothing of it, the late block included.
  restored->remove(*store);
  EXPECT_EQ(storedRows(*store), 0);
  EXPECT_FALSE(restored->hasStoredRow());
}

TEST_P(NodeStoreRoundTrip, SubtreeInsertedAloneIsStoredAsARootOfItsOwn) {
  auto first = createCase("first");
  first->insert(*store);
  const std::string stored = dump(*readCase(*store, 0));
  // U2 of a second case (in-memory block 4 .. 7) goes to the stored ids
  // 8 .. 11. Its PARENT taken from memory would be 0 - (4 - 8) = 4: the row
  // of the first case's U2, which would then adopt it when read back.
  auto second = createCase("second");
  Node &u2 = second->child("U2");
  EXPECT_EQ(u2.insert(*store), 8);
  expectStoredNode(*store, 8, "U2", 8, 8);
  expectStoredNode(*store, 9, "Sphase[0]", 8, 8);
  EXPECT_EQ(dump(*readCase(*store, 0)), stored);
  // The ids in memory are as they were.
  EXPECT_EQ(u2.parentId(), 0);
  EXPECT_EQ(u2.rootId(), 0);
  EXPECT_EQ(second->id(), 0);

  auto alone = readCase(*store, 8);
  EXPECT_EQ(alone->fullTag(), "U2");
  EXPECT_EQ(alone->childCount(), 3u);
  EXPECT_EQ(object(*alone).I("nStages"), 3);
}

TEST_P(NodeStoreRoundTrip, RestoreRereadsQuantitiesOnly) {
  auto tree = createCase();
  tree->insert(*store);
  object(*tree).Q("U1.T") = Value(500.0, "K");
  object(*tree).S("title") = "not stored";
  tree->restore(*store);
  EXPECT_EQ(object(*tree).Q("U1.T").value(), 300.0);
  EXPECT_EQ(object(*tree).S("title"), "not stored");
}

TEST_P(NodeStoreRoundTrip, RemovingOneCaseLeavesTheOtherWhole) {
  auto first = createCase("first");
  auto second = createCase("second");
  first->insert(*store);
  second->insert(*store);
  const int before = storedRows(*store);
  first->remove(*store);
  EXPECT_EQ(storedRows(*store), before / 2);
  EXPECT_EQ(dump(*readCase(*store, 8)), dump(*second));
}

INSTANTIATE_TEST_SUITE_P(Memory, NodeStoreRoundTrip,
                         testing::Values(StoreMaker{
                             "Memory",
                             [] { return std::unique_ptr<Persistency>(new MemoryPersistency); }}),
                         [](const auto &info) { return info.param.name; });

// Failure paths need a store that can be made to fail.
TEST(NodeStore, FailedInsertStoresNothingAndLeavesTheTreeUnstored) {
  registerTestTypes();
  MemoryPersistency store;
  auto tree = createCase();
  store.failAfterWrites(10);
  try {
    tree->insert(store);
    FAIL() << "insert did not fail";
  } catch (const Error &error) {
    EXPECT_NE(error.message().find("Called from function: Object::insertStuff\n"),
              std::string::npos);
    EXPECT_NE(error.message().find("Called from function: Node::insert\n"), std::string::npos);
  }
  EXPECT_EQ(store.transactionDepth(), 0);
  EXPECT_EQ(storedRows(store), 0);
  EXPECT_FALSE(tree->hasStoredRow());
  EXPECT_FALSE(tree->child("U2:Sphase[2]").hasStoredRow());

  EXPECT_EQ(tree->insert(store), 0);
  EXPECT_EQ(dump(*readCase(store, 0)), dump(*tree));
}

TEST(NodeStore, FailedUpdateKeepsTheStoredValuesAndTheStoredIds) {
  registerTestTypes();
  MemoryPersistency store;
  auto tree = createCase();
  tree->insert(store);
  tree->child("U1").addChild("TestPhase", Defaults("Extra", "added later"));
  object(*tree).Q("U2.T") = Value(410.0, "K");
  store.failAfterWrites(30);
  EXPECT_THROW(tree->update(store), Error);
  EXPECT_EQ(store.transactionDepth(), 0);
  EXPECT_FALSE(tree->child("U1:Extra").hasStoredRow());
  EXPECT_EQ(store.countRows("N", -1), 8);
  EXPECT_EQ(object(*readCase(store, 0)).Q("U2.T").value(), 300.0);
}

namespace {

// Counts the reads of integer rows.
class CountingStore : public MemoryPersistency {
public:
  using MemoryPersistency::read;
  void read(int nodeId, const IntegerRegistry &registry) override {
    ++integerReads;
    MemoryPersistency::read(nodeId, registry);
  }
  int integerReads = 0;
};

// Reads its integers in the constructor and, when late, registers one more
// afterwards (left for the factory to read).
class ReadingType : public Object {
public:
  ReadingType(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root,
              bool late)
      : Object(defaults, id, persistency, parent, root), early("early", "Early", 1, this),
        lateOne("late", "Late", 2, this) {
    setType(late ? "LateRegistering" : "ReadingInConstructor");
    addVariable(early);
    retrieveIntegersAndStrings(persistency);
    if (late)
      addVariable(lateOne);
  }
  Integer early;
  Integer lateOne;
};
template <bool late> struct ReadingTypeOf : ReadingType {
  ReadingTypeOf(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : ReadingType(std::move(defaults), id, persistency, parent, root, late) {}
};

} // namespace

TEST(NodeStore, FactoryRereadsIntegersAndStringsOnlyWhenRegisteredAfterTheConstructorRead) {
  static const bool registered = [] {
    NodeFactory factory;
    factory.registerType<ReadingTypeOf<false>>("ReadingInConstructor", "Reads in its constructor",
                                             "unit", true, {}, {}, {}, "", 10, 10);
    factory.registerType<ReadingTypeOf<true>>("LateRegistering", "Registers after reading", "unit",
                                            true, {}, {}, {}, "", 10, 10);
    return true;
  }();
  (void)registered;
  for (const bool late : {false, true}) {
    SCOPED_TRACE(late ? "late" : "in the constructor");
    const std::string type = late ? "LateRegistering" : "ReadingInConstructor";
    CountingStore store;
    auto original = NodeFactory().create(type, Defaults("X", "x"), 0, nullptr, nullptr, nullptr);
    auto &fresh = dynamic_cast<ReadingType &>(*original);
    fresh.early = 11;
    fresh.lateOne = 12;
    original->insert(store);
    store.integerReads = 0;
    auto read = NodeFactory().create(type, Defaults(), 0, &store, nullptr, nullptr);
    auto &back = dynamic_cast<ReadingType &>(*read);
    EXPECT_EQ(store.integerReads, late ? 2 : 1);
    EXPECT_EQ(back.early.value(), 11);
    if (late) {
      EXPECT_EQ(back.lateOne.value(), 12);
    }
  }
}
