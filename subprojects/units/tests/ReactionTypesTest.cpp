// The reaction types in the factory: the listing in registration order and
// creation by every registered name.

#include "ReactionTestSupport.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/units/MultiReaction.h"
#include "velta/units/Reaction.h"
#include "velta/units/ReactionTypes.h"
#include "velta/utility/Error.h"

#include <algorithm>

using namespace reactiontest;

namespace {

const char *const reactionTypes[] = {
    "ReactionYield",
    "ReactionWaterGasShift",
    "ReactionWaterGasC",
    "ReactionOxidationEquilibriumCH4",
    "ReactionOxidationCO",
    "ReactionReformingCH4",
    "ReactionReformingC3H8",
    "ReactionWaterGasShiftEquilibrium",
    "ReactionReformingEquilibriumCH4",
    "ReactionReformingEquilibriumC3H8",
    "ReactionReformingC2H6",
    "ReactionReformingEquilibriumC2H6",
    "ReactionOxidationMeOH",
    "ReactionReformingMeOH",
    "ReactionReformingEquilibriumMeOH",
    "ReactionSynthesisNH3",
    "ReactionSynthesisEquilibriumNH3",
    "ReactionOxidationN2",
    "ReactionOxidationEquilibriumN2",
    "ReactionOxidationNH3",
    "ReactionOxidationPhenol",
    "ReactionOxidationHydrocarbon",
};

const char *const aliases[] = {
    "ReactionOxidationC",
    "ReactionOxidationH2",
    "ReactionOxidationCH4",
    "ReactionOxidationC2H6",
    "ReactionOxidationC2H4",
    "ReactionOxidationHydrocarbon<3,8>",
    "ReactionOxidationHydrocarbon<4,10>",
    "ReactionOxidationHydrocarbon<5,12>",
    "ReactionOxidationHydrocarbon<6,14>",
    "ReactionOxidationNaphthalene",
};

class Registration : public ReactionTest {
protected:
  void SetUp() override {
    ReactionTest::SetUp();
    // A second call registers nothing and raises no duplicate error.
    Velta::Units::registerReactionTypes();
    Velta::Units::registerReactionTypes();
  }
};

} // namespace

TEST_F(Registration, ListingHoldsTypesThenAliasesInOrder) {
  const std::vector<TypeDescriptor> &all = NodeFactory().descriptors();
  const auto first = std::find_if(
      all.begin(), all.end(), [](const TypeDescriptor &d) { return d.name == "ReactionYield"; });
  ASSERT_NE(first, all.end());
  std::vector<std::string> expected(std::begin(reactionTypes), std::end(reactionTypes));
  expected.insert(expected.end(), std::begin(aliases), std::end(aliases));
  ASSERT_GE(all.end() - first, static_cast<long>(expected.size()));
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const TypeDescriptor &d = first[static_cast<long>(i)];
    SCOPED_TRACE(d.name);
    EXPECT_EQ(d.name, expected[i]);
    EXPECT_EQ(d.category, "option");
    EXPECT_EQ(d.icon, "option");
    EXPECT_FALSE(d.instantiable);
    EXPECT_TRUE(d.stringOptions.empty());
    EXPECT_TRUE(d.quantities.empty());
    if (d.name != "ReactionOxidationHydrocarbon") {
      EXPECT_TRUE(d.integerOptions.empty());
    }
  }
  EXPECT_EQ(
      NodeFactory().typeDescriptor("ReactionOxidationHydrocarbon").toJson(),
      "{\"name\":\"ReactionOxidationHydrocarbon\", \"description\":\"Parameterized reaction "
      "for the total combustion of a generic hydrocarbon\", \"category\":\"option\", "
      "\"icon\":\"option.svg\", \"instantiable\":false, \"integerOptions\":["
      "{\"name\":\"x\",\"description\":\"number of Carbon atoms\",\"value\":1,\"min\":-1,"
      "\"max\":2147483647},{\"name\":\"y\",\"description\":\"number of Hydrogen atoms\","
      "\"value\":4,\"min\":-1,\"max\":2147483647}], \"stringOptions\":[], \"quantities\":[] }");
  EXPECT_EQ(NodeFactory().typeDescriptor("ReactionOxidationNaphthalene").description,
            "Reaction of total combustion of napthalene with specified fixed conversion");
  EXPECT_EQ(NodeFactory().icon("ReactionOxidationC").width(), 100);
}

TEST_F(Registration, EveryNameCreatesItsClass) {
  for (const char *type : reactionTypes) {
    std::unique_ptr<Node> node =
        NodeFactory().create(type, Defaults("R1"), 1, nullptr, nullptr, nullptr);
    EXPECT_EQ(node->type(), type);
    EXPECT_EQ(dynamic_cast<Reaction &>(*node).category(), 5);
  }
  for (const char *alias : aliases)
    EXPECT_EQ(NodeFactory().create(alias, Defaults("R1"), 1, nullptr, nullptr, nullptr)->type(),
              "ReactionOxidationHydrocarbon");
  for (const char *missing : {"Reaction", "ReactionEquilibrium"}) {
    try {
      NodeFactory().create(missing, Defaults("R1"), 1, nullptr, nullptr, nullptr);
      ADD_FAILURE() << missing;
    } catch (const ErrorObjectFactory &e) {
      EXPECT_NE(e.message().find("type " + std::string(missing) + " not found"), std::string::npos);
    }
  }
}

TEST_F(Registration, MultiReactionBlocks) {
  Velta::Units::registerMultiReactionTypes();
  Velta::Units::registerMultiReactionTypes();
  EXPECT_EQ(NodeFactory().typeDescriptor("MultiReaction<2>").description, "2-phase reaction");
  EXPECT_EQ(NodeFactory().typeDescriptor("MultiReactionTransfer").description,
            "2-phase reaction with phase transfer");
  for (const char *type : {"MultiReaction<2>", "MultiReactionTransfer"})
    EXPECT_EQ(NodeFactory().create(type, Defaults("B1"), 1, nullptr, nullptr, nullptr)->type(),
              type);
}

TEST_F(Registration, CloneKeepsTypeOptionsAndState) {
  std::unique_ptr<Node> node =
      NodeFactory().create("ReactionOxidationC2H6", Defaults("R1"), 0, nullptr, nullptr, nullptr);
  auto &original = dynamic_cast<ReactionYield &>(*node);
  original.option = "conv";
  original.silentBounding = true;
  original.z = 0.7;
  const std::unique_ptr<Node> copy = original.clone();
  auto &clone = dynamic_cast<ReactionYield &>(*copy);
  EXPECT_EQ(clone.type(), "ReactionOxidationHydrocarbon");
  EXPECT_EQ(clone.I("x"), 2);
  EXPECT_EQ(clone.I("y"), 6);
  EXPECT_EQ(clone.keycomp.value(), C2H6);
  EXPECT_EQ(clone.option.value(), "conv");
  EXPECT_TRUE(clone.silentBounding);
  EXPECT_EQ(clone.z.value(), 0.7);
  EXPECT_EQ(clone.coeff[O2].value(), -3.5);
  EXPECT_EQ(clone.out, nullptr);
}
