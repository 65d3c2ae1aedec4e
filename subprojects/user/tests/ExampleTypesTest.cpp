// The example types in memory: the reactions' key components and
// coefficients over the kernel's component list, and how the attack section
// relays its options to the attack stage and the washing cascade.
#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/core/Model.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/units/Reaction.h"
#include "velta/user/KernelInitialization.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

class ExampleTypes : public ::testing::Test {
protected:
  static void SetUpTestSuite() { initializeKernel(); }
  static void TearDownTestSuite() { uninitializeKernel(); }

  static std::unique_ptr<Node> create(const std::string &type,
                                      const Defaults &options = Defaults()) {
    return NodeFactory().create(type, options, 0, nullptr, nullptr, nullptr);
  }
};

TEST_F(ExampleTypes, ReactionsFixTheirStoichiometry) {
  struct Row {
    const char *type;
    const char *key;
    std::map<std::string, double> coefficients;
  };
  const Row rows[] = {
      {"ReactionChemical3",
       "Chemical3",
       {{"H2O", -2}, {"Chemical3", -1}, {"Inert", 1}, {"Chemical1", 6}}},
      {"ReactionChemical4",
       "Metal1",
       {{"Metal1", -1}, {"Chemical4", -2}, {"Inert", 1}, {"H2O", 2}}},
      {"ReactionInert", "Inert", {{"Inert", -1}, {"Chemical1", -6}, {"H2O", 2}, {"Chemical3", 1}}},
      {"ReactionMetal1",
       "Metal1",
       {{"Metal1", -1}, {"Chemical4", -2}, {"Chemical1", -6}, {"H2O", 4}, {"Chemical3", 1}}},
      {"ReactionMetal1Decomposition",
       "Metal1",
       {{"Metal1", -1}, {"H2O", -2}, {"Inert", 1}, {"H2", 2}}},
      {"ReactionSalt2", "Metal2", {{"Metal2", -1}, {"Chemical1", -2}, {"Salt2", 1}, {"H2", 1}}},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.type);
    const std::unique_ptr<Node> node = create(row.type);
    const auto &reaction = dynamic_cast<const Reaction &>(*node);
    EXPECT_EQ(reaction.type(), row.type);
    EXPECT_EQ(reaction.keycomp.value(), components.lookup(row.key));
    for (int i = 0; i < components.count(); ++i) {
      const auto found = row.coefficients.find(components[i]->name());
      const double nu = found == row.coefficients.end() ? 0.0 : found->second;
      EXPECT_EQ(reaction.coeff[static_cast<std::size_t>(i)].value(), nu) << i;
      // Mass-based: nu times the molar mass.
      EXPECT_DOUBLE_EQ(reaction.coeffm[static_cast<std::size_t>(i)].value(),
                       nu * components[i]->MW().value())
          << i;
    }
  }
  // The kernel's list holds no O2.
  EXPECT_THROW(create("ReactionChemical4Decomposition"), ErrorNoComponent);
}

TEST_F(ExampleTypes, AttackSectionRelaysItsOptions) {
  Defaults options("A", "attack");
  options.setInteger("A_R_nReactions", 2)
      .setString("A_R_embeddedTypeReactions[0]", "ReactionSalt2")
      .setString("A_R_embeddedTypeReactions[1]", "ReactionInert")
      .setInteger("nStage", 2);
  const std::unique_ptr<Node> node = create("Attacco<1>", options);
  auto &attack = dynamic_cast<Model &>(*node);
  // The attack stage's reactor gets the reactions without the prefix.
  EXPECT_EQ(attack.at("A:R").I("nReactions"), 2);
  EXPECT_EQ(attack.at("A:R:reactions", 1).type(), "ReactionInert");
  EXPECT_EQ(attack.at("A").S("stream_type"), "StreamSimpleLiquidSolid");
  // The cascade: the given nStage wins over the preset 1.
  EXPECT_EQ(attack.at("L").I("nStage"), 2);
  EXPECT_EQ(attack.at("L:S", 1).type(), "Stadio");
  EXPECT_EQ(attack.at("L").S("option", 1), "bottomtop");
  // The washing stages' reactors have no reactions of the attack.
  EXPECT_EQ(attack.at("L:S[0]:R").I("nReactions"), 0);

  const std::unique_ptr<Node> three = create("Attacco<3>", Defaults("B", ""));
  EXPECT_EQ(dynamic_cast<Model &>(*three).at("L").I("nStage"), 3);
  EXPECT_EQ(dynamic_cast<Model &>(*three).at("L:S", 2).type(), "Stadio");
  EXPECT_EQ(dynamic_cast<Model &>(*three).at("A:R").I("nReactions"), 0);
}

} // namespace
