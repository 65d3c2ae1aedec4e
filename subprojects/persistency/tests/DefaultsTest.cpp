#include "velta/persistency/Defaults.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::string text(const Defaults &defaults) {
  std::ostringstream stream;
  stream << defaults;
  return stream.str();
}

TEST(Defaults, SetsOnlyAbsentNamesAndReportsMissingOnes) {
  Defaults defaults("F1", "Flash");
  defaults.setInteger("nStage", 3).setInteger("nStage", 5).setInteger("minusOne", -1);
  defaults.setString("typeP", "vapor").setString("typeP", "liquid");
  EXPECT_EQ(defaults.getInteger("nStage"), 3);
  EXPECT_EQ(defaults.getString("typeP"), "vapor");
  // -1 for a missing name and for a stored -1; has* tells them apart.
  EXPECT_EQ(defaults.getInteger("absent"), -1);
  EXPECT_EQ(defaults.getInteger("minusOne"), -1);
  EXPECT_FALSE(defaults.hasInteger("absent"));
  EXPECT_TRUE(defaults.hasInteger("minusOne"));
  EXPECT_EQ(defaults.getString("absent"), "");
  EXPECT_FALSE(defaults.hasString("nStage")); // the maps are separate
  EXPECT_EQ(defaults.tag(), "F1");
  EXPECT_EQ(defaults.description(), "Flash");
}

TEST(Defaults, Prints) {
  EXPECT_EQ(text(Defaults("x", "y")), "[ si [] ss []]");
  Defaults defaults("S01", "Stream");
  defaults.setInteger("nOutlets", 2).setString("typeP", "vapor");
  EXPECT_EQ(text(defaults), "[ si [[ nOutlets, 2] ] ss [[ typeP, vapor] ]]");
  defaults.setInteger("B", -4).setString("a", "x y");
  // Keys in byte-wise order: upper case before lower case.
  EXPECT_EQ(text(defaults), "[ si [[ B, -4] [ nOutlets, 2] ] ss [[ a, x y] [ typeP, vapor] ]]");
}

TEST(Defaults, SubsetAndRelay) {
  Defaults defaults("C1", "Cascade");
  defaults.setInteger("A1.nStage", 2).setInteger("A2.nStage", 3).setInteger("A1.", 7);
  defaults.setString("typeP", "vapor").setString("A1", "short");
  const Defaults inner = defaults.subset("A1.");
  EXPECT_EQ(inner.tag(), "C1");
  EXPECT_EQ(inner.description(), "Cascade");
  EXPECT_EQ(text(inner), "[ si [[ , 7] [ nStage, 2] ] ss []]");

  const Defaults child = defaults.relay("S02", "Child");
  EXPECT_EQ(child.tag(), "S02");
  EXPECT_EQ(child.description(), "Child");
  EXPECT_EQ(child.integers(), defaults.integers());
  EXPECT_EQ(child.strings(), defaults.strings());
}

} // namespace
