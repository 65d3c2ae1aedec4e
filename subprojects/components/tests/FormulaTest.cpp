#include "velta/components/Formula.h"
#include "velta/components/PeriodicTable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ParseCase {
  const char *text;
  ParsedFormula expected;
};

TEST(Formula, ParsesElementCounts) {
  const ParseCase cases[] = {
      {"H2O", {{"H", 2}, {"O", 1}}},
      {"FeF2", {{"Fe", 1}, {"F", 2}}},
      // Repeated symbols accumulate.
      {"CH3OH", {{"C", 1}, {"H", 4}, {"O", 1}}},
      // The scan ends at the first character that does not begin a symbol.
      {"Fe(OH)2", {{"Fe", 1}}},
      {"h2O", {}},
      {"CuSO4.5H2O", {{"Cu", 1}, {"S", 1}, {"O", 4}}},
      // Symbols are not checked against the table; at most one lower-case letter.
      {"Xx2", {{"Xx", 2}}},
      {"Abc", {{"Ab", 1}}},
      {"H0", {{"H", 0}}},
      {"C007", {{"C", 7}}},
      // Largest count that fits 32 bits, and the first that does not: the
      // element then counts once and the scan stops at the digits.
      {"H4294967295", {{"H", 4294967295.0}}},
      {"H4294967296O", {{"H", 1}}},
  };
  for (const auto &c : cases)
    EXPECT_EQ(parseFormula(c.text), c.expected) << c.text;
}

TEST(Formula, MolarMassSumsAtomicWeights) {
  // 2 * 1.007947 + 15.99943 and 2 * 1.007947.
  EXPECT_NEAR(formulaMolarMass(parseFormula("H2O")), 18.015324, 1e-12);
  EXPECT_NEAR(formulaMolarMass(parseFormula("H2")), 2.015894, 1e-12);
  // 55.8452 + 2 * 18.99840325.
  EXPECT_NEAR(formulaMolarMass(parseFormula("FeF2")), 93.8420065, 1e-9);
  // Unknown symbols contribute nothing.
  EXPECT_EQ(formulaMolarMass(parseFormula("Xx2")), 0.0);
  EXPECT_NEAR(formulaMolarMass(parseFormula("TcO2")), 2 * 15.99943, 1e-12);
}

TEST(Formula, EmptyTextIsReportedAndWeighsNothing) {
  testing::internal::CaptureStdout();
  const ParsedFormula parsed = parseFormula("");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "========== wmpty formula\n");
  EXPECT_TRUE(parsed.empty());
  EXPECT_EQ(formulaMolarMass(parsed), 0.0);
}

TEST(PeriodicTable, HoldsTheElementsUpToUraniumWithGaps) {
  const auto &table = periodicTable();
  EXPECT_EQ(table.size(), 84u);
  for (const char *absent : {"Tc", "Pm", "Po", "At", "Rn", "Fr", "Ra", "Ac", "Np", "Pu"})
    EXPECT_EQ(table.count(absent), 0u) << absent;
  EXPECT_EQ(table.at("Fe"), 55.8452);
  EXPECT_EQ(table.at("U"), 238.028913);
  EXPECT_EQ(table.at("Pa"), 231.035882);
}

} // namespace
