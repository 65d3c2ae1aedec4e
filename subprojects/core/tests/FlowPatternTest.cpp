#include "velta/core/FlowPattern.h"
#include "velta/core/FlowPatternSimple.h"
#include "velta/core/FlowPatternSpiral.h"

#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using Direction = FlowPattern::Direction;
using Cells = std::set<std::pair<int, int>>;

struct PatternCase {
  const char *name;
  int nx, ny;
  Cells inlets, outlets;
  // A few (i, j, direction) probes.
  std::vector<std::pair<std::pair<int, int>, Direction>> directions;
};

Cells column(int i, int ny) {
  Cells cells;
  for (int j = 0; j < ny; ++j)
    cells.insert({i, j});
  return cells;
}

Cells row(int j, int nx) {
  Cells cells;
  for (int i = 0; i < nx; ++i)
    cells.insert({i, j});
  return cells;
}

std::ostream &operator<<(std::ostream &os, const PatternCase &c) { return os << c.name; }

class RegisteredPatterns : public testing::TestWithParam<PatternCase> {};

// The inlet and outlet cells of every pattern, traced by hand on its grid.
TEST_P(RegisteredPatterns, InletsOutletsAndDirections) {
  const PatternCase &c = GetParam();
  const std::unique_ptr<FlowPattern> pattern = createFlowPattern(c.name);
  Cells inlets, outlets;
  for (int i = 0; i < c.nx; ++i)
    for (int j = 0; j < c.ny; ++j) {
      if (pattern->isInlet(i, j))
        inlets.insert({i, j});
      if (pattern->isOutlet(i, j))
        outlets.insert({i, j});
    }
  EXPECT_EQ(inlets, c.inlets);
  EXPECT_EQ(outlets, c.outlets);
  EXPECT_EQ(pattern->nInlets(), static_cast<int>(c.inlets.size()));
  EXPECT_EQ(pattern->nOutlets(), static_cast<int>(c.outlets.size()));
  for (const auto &[cell, direction] : c.directions)
    EXPECT_EQ(pattern->direction(cell.first, cell.second), direction)
        << cell.first << "," << cell.second;
}

INSTANTIATE_TEST_SUITE_P(
    FlowPattern, RegisteredPatterns,
    testing::Values(
        PatternCase{"FlowPatternRight<4,3>", 4, 3, column(0, 3), column(3, 3),
                    {{{2, 1}, Direction::right}}},
        // A single row: every cell is both inlet and outlet.
        PatternCase{"FlowPatternUp<2,1>", 2, 1, row(0, 2), row(0, 2), {{{1, 0}, Direction::up}}},
        PatternCase{"FlowPatternLeft<6,4>", 6, 4, column(5, 4), column(0, 4),
                    {{{5, 3}, Direction::left}}},
        PatternCase{"FlowPatternDown<4,4>", 4, 4, row(0, 4), row(3, 4), {{{0, 0}, Direction::down}}},
        PatternCase{"FlowPatternUp<16,12>", 16, 12, row(11, 16), row(0, 16),
                    {{{15, 11}, Direction::up}}},
        PatternCase{"FlowPatternSpiralRight66", 6, 6, {{0, 5}, {3, 5}}, {{2, 0}, {5, 0}},
                    {{{1, 0}, Direction::down},
                     {{1, 5}, Direction::right},
                     {{0, 0}, Direction::right},
                     {{0, 3}, Direction::up}}},
        PatternCase{"FlowPatternSpiralRight96", 9, 6, {{0, 5}, {3, 5}, {6, 5}, {8, 5}},
                    {{2, 0}, {5, 0}, {8, 0}, {7, 5}},
                    {{{7, 5}, Direction::down}, {{8, 5}, Direction::up}, {{6, 0}, Direction::right}}}));

TEST(FlowPattern, RegistryHoldsTheFixedSet) {
  ASSERT_NE(flowPatternRegistry, nullptr);
  EXPECT_EQ(flowPatternRegistry->size(), 38u);
  for (const auto &[name, creator] : *flowPatternRegistry) {
    const std::unique_ptr<FlowPattern> pattern(creator());
    EXPECT_GT(pattern->nInlets(), 0) << name;
    EXPECT_EQ(pattern->nInlets(), pattern->nOutlets()) << name;
  }
}

TEST(FlowPattern, DuplicateAndUnknownNames) {
  try {
    registerFlowPattern("FlowPatternUp<2,1>", [] { return static_cast<FlowPattern *>(nullptr); });
    FAIL() << "duplicate accepted";
  } catch (const Error &error) {
    EXPECT_NE(error.message().find("::Register\nObject factory error: Unsupported type: "
                                   "FlowPatternUp<2,1>\n"),
              std::string::npos)
        << error.message();
  }
  EXPECT_THROW(createFlowPattern("FlowPatternUp<5,5>"), ErrorObjectFactory);
}

TEST(FlowPatternDeathTest, CellOutsideTheGrid) {
  FlowPatternUp<6, 6> pattern;
  EXPECT_DEATH(pattern.direction(6, 0), "i < Nx_");
  EXPECT_DEATH(pattern.direction(0, -1), "j >= 0");
}

} // namespace
