#include "ModelTestTypes.h"

#include "../../persistency/tests/MemoryPersistency.h"
#include "velta/utility/Error.h"
#include "velta/value/ErrorUnit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct PressureCase {
  const char *name;
  const char *option;
  // Inputs; a negative number marks the value the option computes.
  double deltaP, deltaPMax, beta, inP, P, k, Q;
  // Expected results.
  double deltaPOut, POut, kOut;
  bool clipped;
};

Value orUnknown(double number, const char *unit) {
  return number < 0 ? Value() : Value(number, unit);
}

} // namespace

TEST(ModelHelpers, PressureDropOptions) {
  // Hand calculations (Pa, m3/s, kg/m7):
  //  D: limit = 0.9 * 1e5 = 9e4 < 2e5, so P = 5e5 - 9e4 = 4.1e5; k = 2e5 / 2 / 2 = 5e4
  //     from the given deltaP. With deltaP 5e4 below the limit P = 4.5e5, k = 12500.
  //  P: deltaP = 5e5 - 4e5 = 1e5; k = 1e5 / 2 / 2 = 25000.
  //  K: deltaP = 1 * 1 * 1e5 = 1e5 below 0.5 * 1e6, so P = inP - 1e5. With Q = 4 the drop
  //     1.6e6 passes the limit: X = 0.5 * sqrt(0.5 * 1e6 / 1e5) / 0.5 = sqrt(5), and
  //     P = inP - 1e6 * 4 / (4 + 2.2360679775) = inP - 641429.83.
  //  K at the clipping flow Q = sqrt(5) (1 + 1e-12) both forms give inP - 0.5 * 1e6.
  const double clippingFlow = std::sqrt(5.0) * (1 + 1e-12);
  const std::vector<PressureCase> cases = {
      {"D clipped", "D", 2e5, 1e5, 0.9, 5e5, -1, -1, 2, 2e5, 4.1e5, 5e4, true},
      {"D", "D", 5e4, 1e5, 0.9, 5e5, -1, -1, 2, 5e4, 4.5e5, 12500, false},
      {"P", "P", -1, 1e5, 0.9, 5e5, 4e5, -1, 2, 1e5, 4e5, 25000, false},
      {"K", "K", -1, 1e6, 0.5, 5e5, -1, 1e5, 1, 1e5, 4e5, 1e5, false},
      {"K clipped", "K", -1, 1e6, 0.5, 1e6, -1, 1e5, 4, 1.6e6, 1e6 - 641429.83, 1e5, true},
      {"K at the clipping flow", "K", -1, 1e6, 0.5, 1e6, -1, 1e5, clippingFlow, 5e5, 5e5, 1e5,
       true},
  };
  for (const PressureCase &c : cases) {
    SCOPED_TRACE(c.name);
    auto unit = createModel<ModelTestLeaf>("ModelTestLeaf", Defaults("U1", "Unit"));
    Value deltaP = orUnknown(c.deltaP, "Pa");
    Value P = orUnknown(c.P, "Pa");
    Value k = orUnknown(c.k, "kg/m7");
    unit->pressureDrop(c.option, deltaP, Value(c.deltaPMax, "Pa"), Value(c.beta),
                       Value(c.inP, "Pa"), P, k, Value(c.Q, "m3/s"), "Compressor::go");
    EXPECT_NEAR(deltaP.value(), c.deltaPOut, 1e-6 * c.deltaPOut);
    EXPECT_NEAR(P.value(), c.POut, 0.01);
    EXPECT_NEAR(k.value(), c.kOut, 1e-9 * c.kOut);
    EXPECT_EQ(P.units(), Value(1.0, "Pa").units());
    EXPECT_EQ(k.units(), Value(1.0, "kg/m7").units());
    EXPECT_EQ(unit->warnings.value(),
              c.clipped ? std::vector<std::string>{"DeltaP clipped"} : std::vector<std::string>{});
  }
}

TEST(ModelHelpers, PressureDropRefusesOtherOptionsAndUnsuitableUnits) {
  auto unit = createModel<ModelTestLeaf>("ModelTestLeaf", Defaults("U1", "Unit"));
  for (const char *option : {"X", "DD", "", "d"}) {
    Value deltaP(1e5, "Pa"), P(4e5, "Pa"), k(1.0, "kg/m7");
    try {
      unit->pressureDrop(option, deltaP, Value(1e6, "Pa"), Value(0.5), Value(5e5, "Pa"), P, k,
                         Value(1.0, "m3/s"), "Compressor::go");
      FAIL() << option;
    } catch (const ErrorBrowsing &error) {
      EXPECT_EQ(error.message(), std::string("Error was thrown by function: pressureDrop\n") +
                                     "Model browsing error: Object " + option +
                                     " not found in model Compressor::go of type pressure "
                                     "option\n");
    }
    EXPECT_EQ(deltaP.value(), 1e5);
    EXPECT_EQ(P.value(), 4e5);
    EXPECT_EQ(k.value(), 1.0);
  }
  Value deltaP(1e5, "K"), P(4e5, "Pa"), k;
  EXPECT_THROW(unit->pressureDrop("D", deltaP, Value(1e6, "Pa"), Value(0.5), Value(5e5, "Pa"), P, k,
                                  Value(1.0, "m3/s"), "Compressor::go"),
               ErrorUnit);
}

TEST(ModelHelpers, SubObjectsAreCreatedFromTheNumberedStringOptions) {
  auto root = createModel<ModelTestCase>(
      "ModelTestCase", Defaults("CASE", "Case")
                           .setInteger("nReactions", 2)
                           .setString("embeddedTypeReactions[0]", "ReactionModelTest")
                           .setString("embeddedTypeReactions[1]", "ReactionModelTest"));
  auto &unit = *my_cast<ModelTestUnit *>(&root->at("U1"), "test");
  ASSERT_EQ(unit.reactions.size(), 2u);
  EXPECT_EQ(unit.reactions[0], &root->at("U1:reactions[0]"));
  EXPECT_EQ(unit.reactions[1], &root->at("U1:reactions[1]"));
  EXPECT_EQ(unit.reactions[1]->description(), "Reaction");
  EXPECT_EQ(unit.reactions[0]->parent(), &unit);

  // Count 0 without a connection creates nothing.
  std::vector<ReactionModelTest *> none{nullptr};
  unit.addSubObjects(-1, Defaults(), nullptr, 0, "embeddedTypeReactions", "Reaction", "more",
                     "Reaction", none);
  EXPECT_TRUE(none.empty());
}

TEST(ModelHelpers, SubObjectWithoutTypeFailsAfterCreatingThoseBefore) {
  auto unit = createModel<ModelTestLeaf>("ModelTestLeaf", Defaults("U1", "Unit"));
  Defaults options("U1", "Unit");
  options.setString("embeddedTypeReactions[0]", "ReactionModelTest");
  std::vector<ReactionModelTest *> reactions;
  try {
    unit->addSubObjects(-1, options, nullptr, 2, "embeddedTypeReactions", "Reaction", "reactions",
                        "Reaction", reactions);
    FAIL() << "no error";
  } catch (const ErrorRunTime &error) {
    EXPECT_EQ(error.message(), "Error was thrown by function: Model::addSubObjects<Reaction>\n"
                               "Generic Run-Time error: type unspecified for reactions[1]\n");
  }
  EXPECT_TRUE(unit->hasChild("reactions[0]"));
  EXPECT_FALSE(unit->hasChild("reactions[1]"));

  // A child that is not of the requested class.
  std::vector<StreamModelTest *> streams;
  EXPECT_THROW(unit->addSubObjects(-1, options, nullptr, 1, "embeddedTypeReactions", "Reaction",
                                   "other", "Reaction", streams),
               ErrorDynamicCast);
}

TEST(ModelHelpers, SubObjectsAreFoundAgainWhenTheTreeIsReadBack) {
  auto root = createModel<ModelTestCase>(
      "ModelTestCase", Defaults("CASE", "Case")
                           .setInteger("nReactions", 2)
                           .setString("embeddedTypeReactions[0]", "ReactionModelTest")
                           .setString("embeddedTypeReactions[1]", "ReactionModelTest"));
  MemoryPersistency store;
  const int stored = root->insert(store);

  std::unique_ptr<Node> node =
      NodeFactory().create("ModelTestCase", Defaults(), stored, &store, nullptr, nullptr);
  auto &unit = *my_cast<ModelTestUnit *>(&my_cast<Model *>(node.get(), "test")->at("U1"), "test");
  ASSERT_EQ(unit.nReactions.value(), 2);
  ASSERT_EQ(unit.reactions.size(), 2u);
  EXPECT_EQ(unit.reactions[0]->tag(), "reactions[0]");
  EXPECT_EQ(unit.reactions[1]->tag(), "reactions[1]");
  EXPECT_EQ(unit.reactions[1]->parent(), &unit);

  // A stored count that disagrees with the stored children is an error of
  // the data: the unit refuses it.
  std::vector<ReactionModelTest *> reactions;
  try {
    unit.addSubObjects(-1, Defaults(), &store, 3, "", "Reaction", "reactions", "", reactions);
    FAIL() << "no error";
  } catch (const ErrorRunTime &error) {
    EXPECT_NE(error.message().find(
                  "inconsistency while adding sub-Objects of type Reaction, i = 2 count = 3"),
              std::string::npos)
        << error.message();
  }
}
