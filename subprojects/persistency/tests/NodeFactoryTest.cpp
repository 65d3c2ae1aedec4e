// Registration, aliases and creation by type name; the precedence lock table.

#include "ErrorText.h"
#include "MemoryPersistency.h"
#include "NodeTestTypes.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/persistency/PrecedenceLocks.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

std::string factoryError(const std::string &function, const std::string &type) {
  return "Error was thrown by function: " + function +
         "\nObject factory error: Unsupported type: " + type + "\n";
}

void registerNode(const std::string &type, const std::string &category,
                  const std::string &icon = "") {
  NodeFactory().registerType<Node>(type, "test type", category, true, {}, {}, {}, icon, 1, 2);
}

std::size_t positionOf(const std::string &type) {
  const auto &descriptors = NodeFactory().descriptors();
  auto found = std::find_if(descriptors.begin(), descriptors.end(),
                            [&](const TypeDescriptor &d) { return d.name == type; });
  return static_cast<std::size_t>(found - descriptors.begin());
}

} // namespace

TEST(NodeFactory, RefusesDuplicateTypesAndUnknownCategories) {
  registerNode("FactoryDuplicate", "stream");
  EXPECT_EQ(messageOf([] { registerNode("FactoryDuplicate", "unit"); }),
            factoryError("NodeFactory::registerType", "FactoryDuplicate"));
  EXPECT_EQ(messageOf([] { registerNode("FactoryCategory", "Unit"); }),
            factoryError("NodeFactory::registerType", "Unit"));
  EXPECT_EQ(messageOf([] { registerNode("FactoryCategory", "units"); }),
            factoryError("NodeFactory::registerType", "units"));
  EXPECT_FALSE(NodeFactory().isRegistered("FactoryCategory"));
}

TEST(NodeFactory, EmptyIconStandsForTheCategory) {
  registerNode("FactoryStream", "stream");
  EXPECT_EQ(NodeFactory().icon("FactoryStream").stem(), "stream");
  EXPECT_EQ(NodeFactory().icon("FactoryStream").height(), 2);
  EXPECT_NE(NodeFactory().typeDescriptor("FactoryStream").toJson().find("\"stream.svg\""),
            std::string::npos);
}

TEST(NodeFactory, UnknownNamesFailWithTheirTexts) {
  NodeFactory factory;
  EXPECT_EQ(messageOf([&] { factory.create("Nope", Defaults("X"), 0, nullptr, nullptr, nullptr); }),
            factoryError("NodeFactory::create", "type Nope not found"));
  EXPECT_EQ(messageOf([&] { factory.typeDescriptor("Nope"); }),
            factoryError("NodeFactory::typeDescriptor", "type Nope not found"));
  EXPECT_EQ(messageOf([&] { factory.icon("Nope"); }),
            factoryError("NodeFactory::icon", "icon for type Nope not found"));
}

TEST(NodeFactory, AliasPresetsAreDefaultsThatACallerOverrides) {
  registerTestTypes();
  NodeFactory factory;
  auto preset = factory.create("TestPhase<vapor>", Defaults("P"), 0, nullptr, nullptr, nullptr);
  EXPECT_EQ(dynamic_cast<TestPhase &>(*preset).typeP.value(), "vapor");
  auto overridden = factory.create("TestPhase<vapor>", Defaults("P").setString("typeP", "solid"), 0,
                                   nullptr, nullptr, nullptr);
  EXPECT_EQ(dynamic_cast<TestPhase &>(*overridden).typeP.value(), "solid");
  auto base = factory.create("TestPhase", Defaults("P"), 0, nullptr, nullptr, nullptr);
  EXPECT_EQ(dynamic_cast<TestPhase &>(*base).typeP.value(), "liquid");

  // The alias lists the base's options minus the preset ones.
  const TypeDescriptor &alias = factory.typeDescriptor("TestPhase<vapor>");
  EXPECT_EQ(alias.name, "TestPhase<vapor>");
  EXPECT_EQ(alias.category, "phase");
  EXPECT_TRUE(alias.instantiable);
  EXPECT_TRUE(alias.stringOptions.empty());
  EXPECT_EQ(factory.typeDescriptor("TestPhase").stringOptions.size(), 1u);
  EXPECT_EQ(factory.icon("TestPhase<vapor>").stem(), "phase");
}

namespace {

// A node that keeps the options it was built with, for the tests of what
// creation fills in.
class OptionsProbe : public Node {
public:
  OptionsProbe(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Node(defaults, id, persistency, parent, root) {
    setNodeType("FactoryProbe");
    seen() = defaults;
  }
  static Defaults &seen() {
    static Defaults last("", "");
    return last;
  }
};

void registerProbe() {
  NodeFactory factory;
  if (factory.isRegistered("FactoryProbe"))
    return;
  factory.registerType<OptionsProbe>(
      "FactoryProbe", "Probe of the options", "unit", true,
      {IntegerOption("nStages", "Stages", 3, 0, 10), IntegerOption("nTrays", "Trays", 7, 0, 10)},
      {StringOption("typeU", "Stream type", "StreamListed", "")}, {}, "", 1, 1);
  factory.registerAlias("FactoryProbe", "FactoryProbe<5>", "Probe with five stages",
                        Defaults().setInteger("nStages", 5), "", 1, 1);
}

} // namespace

// What the types listing shows as a default is what a new node is built
// with when its caller omits the option; options given are kept.
TEST(NodeFactory, NewNodesTakeTheListedDefaultsOfWhatTheCallerOmits) {
  registerProbe();
  NodeFactory factory;
  struct Case {
    const char *type;
    Defaults given;
    int nStages, nTrays;
    const char *typeU;
  } cases[] = {
      {"FactoryProbe", Defaults("P"), 3, 7, "StreamListed"},
      {"FactoryProbe", Defaults("P").setInteger("nTrays", 2).setString("typeU", "Given"), 3, 2,
       "Given"},
      // An alias: its preset, then the base's listed defaults that remain.
      {"FactoryProbe<5>", Defaults("P"), 5, 7, "StreamListed"},
      {"FactoryProbe<5>", Defaults("P").setInteger("nStages", 1), 1, 7, "StreamListed"},
  };
  for (const Case &c : cases) {
    factory.create(c.type, c.given, 0, nullptr, nullptr, nullptr);
    EXPECT_EQ(OptionsProbe::seen().getInteger("nStages"), c.nStages) << c.type;
    EXPECT_EQ(OptionsProbe::seen().getInteger("nTrays"), c.nTrays) << c.type;
    EXPECT_EQ(OptionsProbe::seen().getString("typeU"), c.typeU) << c.type;
    EXPECT_EQ(OptionsProbe::seen().tag(), "P");
  }
}

// A node read back keeps to its stored options: the listed defaults are not
// added (an alias's presets still are, as before).
TEST(NodeFactory, NodesReadBackDoNotTakeTheListedDefaults) {
  registerProbe();
  NodeFactory factory;
  MemoryPersistency store;
  const int id = factory.create("FactoryProbe<5>", Defaults("P"), 0, nullptr, nullptr, nullptr)
                     ->insert(store);
  factory.create("FactoryProbe<5>", Defaults(), id, &store, nullptr, nullptr);
  EXPECT_EQ(OptionsProbe::seen().getInteger("nStages"), 5);
  EXPECT_FALSE(OptionsProbe::seen().hasInteger("nTrays"));
  EXPECT_FALSE(OptionsProbe::seen().hasString("typeU"));
}

TEST(NodeFactory, RefusedAliasesRegisterNothing) {
  registerTestTypes();
  NodeFactory factory;
  EXPECT_EQ(messageOf([&] {
              factory.registerAlias("TestPhase", "TestPhase<vapor>", "", Defaults(), "", 1, 1);
            }),
            factoryError("NodeFactory::registerAlias", "type TestPhase<vapor> already registered"));
  EXPECT_EQ(messageOf([&] {
              factory.registerAlias("Missing", "FactoryAlias", "", Defaults(), "", 1, 1);
            }),
            factoryError("NodeFactory::registerAlias", "base type Missing not found"));
  EXPECT_EQ(messageOf([&] {
              factory.registerAlias("TestUnit", "FactoryAlias", "",
                                    Defaults().setInteger("nTrays", 3), "", 1, 1);
            }),
            "Error was thrown by function: NodeFactory::registerAlias\n"
            "Generic Run-Time error: integer option nTrays unsupported by base type\n");
  EXPECT_EQ(messageOf([&] {
              factory.registerAlias("TestUnit", "FactoryAlias", "",
                                    Defaults().setString("typeP", "vapor"), "", 1, 1);
            }),
            "Error was thrown by function: NodeFactory::registerAlias\n"
            "Generic Run-Time error: string option typeP unsupported by base type\n");
  EXPECT_FALSE(factory.isRegistered("FactoryAlias"));
}

TEST(NodeFactory, DescriptorsInRegistrationOrderNamesInByteOrder) {
  registerNode("FactoryZulu", "option");
  registerNode("FactoryAlpha", "option");
  EXPECT_LT(positionOf("FactoryZulu"), positionOf("FactoryAlpha"));
  const auto names = NodeFactory().typeNames();
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
}

namespace {
void registerLateModule() { registerNode("FactoryLate", "option"); }
void registerEarlyModule() { registerNode("FactoryEarly", "option"); }
} // namespace

TEST(NodeFactory, QueuedRegistrarsRunByRankWhateverTheirQueueingOrder) {
  NodeFactory::Registrar late(20, "late", &registerLateModule);
  NodeFactory::Registrar early(10, "early", &registerEarlyModule);
  // Any use of the factory runs what is queued.
  EXPECT_TRUE(NodeFactory().isRegistered("FactoryLate"));
  EXPECT_LT(positionOf("FactoryEarly"), positionOf("FactoryLate"));
}

TEST(PrecedenceLocks, BitsAreClearUntilTakenAndIndependent) {
  PrecedenceLockTable &locks = precedenceLocks();
  EXPECT_EQ(locks.capacity(), 100000000);
  const int last = MAXLOCKS - 1;
  EXPECT_FALSE(locks.isTaken(0));
  EXPECT_FALSE(locks.isTaken(last));
  locks.take(31);
  locks.take(last);
  EXPECT_TRUE(locks.isTaken(31));
  EXPECT_FALSE(locks.isTaken(30));
  EXPECT_FALSE(locks.isTaken(32));
  EXPECT_TRUE(locks.isTaken(last));
  locks.release(31);
  locks.release(last);
  EXPECT_FALSE(locks.isTaken(31));
  EXPECT_FALSE(locks.isTaken(last));
}
