// Objects: registration, options, assignment, snapshots and the JSON dump.

#include "ErrorText.h"
#include "MemoryPersistency.h"
#include "NodeTestTypes.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/value/DerivativeContext.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <climits>
#include <functional>
#include <optional>
#include <sstream>

namespace {

std::string dump(const Node &node) {
  std::ostringstream stream;
  stream << node;
  return stream.str();
}

// An object whose integers are stored with the values that the option
// bounds are tested against.
struct Stored : Object {
  Stored() : Object(Defaults("H", "holder"), 0, nullptr, nullptr, nullptr) {
    addVariable(zero);
    addVariable(negative);
    addVariable(five);
    addVariable(empty);
  }
  Integer zero{"nZero", "", 0, nullptr};
  Integer negative{"nNegative", "", -3, nullptr};
  Integer five{"nFive", "", 5, nullptr};
  String empty{"label", "", "", nullptr};
};

std::unique_ptr<Node> createCase() {
  registerTestTypes();
  Defaults options("CASE", "Test case");
  options.setInteger("nUnits", 2);
  return NodeFactory().create("TestFlowsheet", options, 0, nullptr, nullptr, nullptr);
}

Object &object(Node &node) { return dynamic_cast<Object &>(node); }

} // namespace

TEST(Object, RetrieveIntegerTakesBoundsAndDefaults) {
  MemoryPersistency store;
  Stored holder;
  const int id = holder.insert(store);
  Defaults options("X");
  options.setInteger("nGiven", 4).setInteger("nGivenNegative", -1);
  struct Case {
    bool fromStore;
    const char *name;
    int upper;
    std::optional<int> value;
    const char *error;
  };
  const Case cases[] = {
      {true, "nMissing", INT_MAX, 2, nullptr},
      {true, "nNegative", INT_MAX, 2, nullptr},
      {true, "nZero", INT_MAX, {}, "Integer parameter nZero = 0 must be stricly greater than 0"},
      {true, "nFive", 5, {}, "Integer parameter nFive = 5 must be stricly smaller than 5"},
      {true, "nFive", 6, 5, nullptr},
      {false, "nGiven", INT_MAX, 4, nullptr},
      {false, "nGivenNegative", INT_MAX, 2, nullptr},
      {false, "nAbsent", INT_MAX, 2, nullptr},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    Persistency *persistency = c.fromStore ? &store : nullptr;
    auto retrieve = [&] {
      return holder.retrieveInteger(options, id, persistency, c.name, 0, c.upper, 2);
    };
    if (c.value)
      EXPECT_EQ(retrieve(), *c.value);
    else
      EXPECT_EQ(messageOf([&] { retrieve(); }),
                std::string("Error was thrown by function: Object::retrieveInteger\n"
                            "Generic Run-Time error: ") +
                    c.error + "\n");
  }
  EXPECT_EQ(holder.retrieveString(options, id, &store, "label", "fallback"), "fallback");
  EXPECT_EQ(holder.retrieveString(Defaults().setString("label", "given"), id, nullptr, "label",
                                  "fallback"),
            "given");
}

TEST(Object, AddVectorCreatesRegistersAndNeverLeavesDanglingEntries) {
  Object holder(Defaults("H"), 0, nullptr, nullptr, nullptr);
  std::vector<Integer> k;
  holder.addVector(k, "k", "Counter", 3, 7);
  ASSERT_EQ(k.size(), 3u);
  EXPECT_EQ(k[2].tag(), "k[2]");
  EXPECT_EQ(k[2].description(), "Counter of item 2");
  EXPECT_EQ(k[2].parent(), &holder);
  EXPECT_EQ(holder.integers().at("k[1]"), &k[1]);

  // Same count: registered again, nothing rebuilt.
  const Integer *first = k.data();
  holder.addVector(k, "k", "Counter", 3, 9);
  EXPECT_EQ(k.data(), first);
  EXPECT_EQ(k[0].value(), 7);

  // Another count: exactly that many, every registry entry points into them.
  holder.addVector(k, "k", "Counter", 5, 1);
  ASSERT_EQ(k.size(), 5u);
  EXPECT_EQ(holder.integers().size(), 5u);
  for (const Integer &element : k)
    EXPECT_EQ(holder.integers().at(element.tag()), &element);
  holder.addVector(k, "k", "Counter", 2, 1);
  EXPECT_EQ(holder.integers().size(), 2u);
  EXPECT_EQ(holder.I("k[1]"), 1);
}

TEST(Object, AssignmentCopiesOnlyTheQuantitiesOfCommonTags) {
  registerTestTypes();
  NodeFactory factory;
  auto source = factory.create("TestPhase", Defaults("A").setString("typeP", "vapor"), 0, nullptr,
                               nullptr, nullptr);
  auto target = factory.create("TestPhase", Defaults("B"), 0, nullptr, nullptr, nullptr);
  TestPhase &a = dynamic_cast<TestPhase &>(*source);
  TestPhase &b = dynamic_cast<TestPhase &>(*target);
  a.mdot = Value(2.5, "kg/s");
  a.mdotcomps.at(1) = Value(0.25, "kg/s");
  a.mdotcomps.input() = true;
  a.k(1, 2) = 4.0;
  a.counts.at(0) = 1;
  static_cast<Object &>(b) = a;
  EXPECT_EQ(b.mdot.value(), 2.5);
  EXPECT_EQ(b.mdotcomps.at(1).value(), 0.25);
  EXPECT_TRUE(b.mdotcomps.input());
  EXPECT_EQ(b.k(1, 2).value(), 4.0);
  EXPECT_EQ(b.typeP.value(), "liquid");
  EXPECT_EQ(b.counts.at(0), 7);
  EXPECT_EQ(b.tag(), "B");
  EXPECT_EQ(b.mdot.parent(), &b);
}

TEST(Object, DefaultsDescribeThePresentOptionValues) {
  registerTestTypes();
  auto unit = NodeFactory().create("TestUnit", Defaults("U", "A unit").setInteger("nStages", 3), 0,
                                   nullptr, nullptr, nullptr);
  Defaults options = object(*unit).defaults();
  EXPECT_EQ(options.tag(), "U");
  EXPECT_EQ(options.description(), "A unit");
  EXPECT_EQ(options.getInteger("nStages"), 3);
  EXPECT_EQ(options.integers().size(), 1u);
}

TEST(Object, PopRestoresEveryQuantityOfTheTreeOnce) {
  auto tree = createCase();
  Object &root = object(*tree);
  root.push();
  root.Q("U1.T") = Value(500.0, "K");
  root.Q("U2:Sphase[1].mdot") = Value(7.0, "kg/s");
  root.Q("U1.stageT[1]") = Value(1.0, "K");
  root.pop();
  EXPECT_EQ(root.Q("U1.T").value(), 300.0);
  EXPECT_EQ(root.Q("U2:Sphase[1].mdot").value(), 1.5);
  EXPECT_EQ(root.Q("U1.stageT[1]").value(), 350.0);
  // Without a snapshot left, pop changes nothing.
  root.Q("U1.T") = Value(500.0, "K");
  root.pop();
  EXPECT_EQ(root.Q("U1.T").value(), 500.0);
}

TEST(Object, SnapshotsNestAndPopClearsDerivatives) {
  struct Directions {
    Directions() { pushDerivativeContext(1); }
    ~Directions() { popDerivativeContext(); }
  } directions;
  auto tree = createCase();
  Object &root = object(*tree);
  Value &t = root.Q("U1.T"); // 300 K
  root.push();
  t = Value(400.0, "K");
  root.push();
  t = Value(500.0, "K");
  t.activeValue().setDerivative(0, 2.0);
  root.pop();
  EXPECT_EQ(t.value(), 400.0);
  EXPECT_EQ(t.activeValue().derivative(0), 0.0);
  EXPECT_EQ(t.uom(), "K");
  root.pop();
  EXPECT_EQ(t.value(), 300.0);
}

TEST(Object, ClearDropsEverySnapshot) {
  auto tree = createCase();
  Object &root = object(*tree);
  root.push();
  root.push();
  root.clear();
  root.Q("U1:Sphase[0].mdot") = Value(3.0, "kg/s");
  root.pop();
  EXPECT_EQ(root.Q("U1:Sphase[0].mdot").value(), 3.0);
}

TEST(Object, SnapshotsNeedObjectChildren) {
  Object root(Defaults("R"), 0, nullptr, nullptr, nullptr);
  root.addChild(std::make_unique<Node>(Defaults("N"), root.newId(), nullptr, &root, &root));
  EXPECT_EQ(messageOf([&] { root.push(); }),
            "Error was thrown by function: Object::push\n"
            "Dynamic cast error: Unsupported conversion of model N of type: Node to type: "
            "Object *\n");
}

TEST(Object, JsonDumpOfSmallObjects) {
  Object empty(Defaults("E"), 0, nullptr, nullptr, nullptr);
  EXPECT_EQ(dump(empty), "{\n"
                         "  \"fullTag\": \"E\",\n"
                         "  \"type\": \"Object\",\n"
                         "  \"id\": 0,\n"
                         "  \"parent\": 0\n"
                         "}");
  Integer n("n", "count", 3, nullptr);
  empty.addVariable(n);
  EXPECT_EQ(dump(empty), "{\n"
                         "  \"fullTag\": \"E\",\n"
                         "  \"type\": \"Object\",\n"
                         "  \"id\": 0,\n"
                         "  \"parent\": 0,\n"
                         "  \"I\": {\n"
                         "    \"n\": \"3\"\n"
                         "  }\n"
                         "}");
}

TEST(Object, JsonDumpOfAChildClosesWithoutATrailingBlank) {
  Object root(Defaults("R"), 0, nullptr, nullptr, nullptr);
  root.addChild(std::make_unique<Object>(Defaults("C"), root.newId(), nullptr, &root, &root));
  EXPECT_EQ(dump(root), "{\n"
                        "  \"fullTag\": \"R\",\n"
                        "  \"type\": \"Object\",\n"
                        "  \"id\": 0,\n"
                        "  \"parent\": 0,\n"
                        "  \"children\": {\n"
                        "    \"C\": {\n"
                        "      \"fullTag\": \"R:C\",\n"
                        "      \"type\": \"Object\",\n"
                        "      \"id\": 1,\n"
                        "      \"parent\": 0\n"
                        "    }\n"
                        "  }\n"
                        "}");
}

TEST(Object, JsonDumpOfATreeIsValidJsonWithEveryRegistry) {
  auto tree = createCase();
  const std::string text = dump(*tree);
  // The matrix section closes on the line of its last entry.
  EXPECT_NE(text.find("\"k\": [[\"0 \", \"1 \", \"2 \"], [\"10 \", \"11 \", \"12 \"]]}"),
            std::string::npos)
      << text;

  Json::Value json;
  std::string errors;
  std::istringstream stream(text);
  ASSERT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), stream, &json, &errors)) << errors;
  const Json::Value &phase = json["children"]["U1"]["children"]["Sphase[0]"];
  EXPECT_EQ(phase["fullTag"].asString(), "CASE:U1:Sphase[0]");
  EXPECT_EQ(phase["type"].asString(), "TestPhase");
  EXPECT_EQ(phase["id"].asInt(), 2);
  EXPECT_EQ(phase["parent"].asInt(), 1);
  EXPECT_EQ(phase["S"]["typeP"].asString(), "vapor");
  EXPECT_EQ(phase["IV"]["counts"][1].asInt(), 7);
  EXPECT_EQ(phase["SV"]["names"][0].asString(), "a");
  EXPECT_EQ(phase["Q"]["mdot"].asString().substr(0, 4), "1.5 ");
  EXPECT_EQ(json["children"]["U1"]["I"]["nStages"].asString(), "2");
  EXPECT_EQ(json["S"]["title"].asString(), "untitled");
}
