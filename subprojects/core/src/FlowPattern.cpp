#include "velta/core/FlowPattern.h"
#include "velta/core/FlowPatternAscii.h"
#include "velta/core/FlowPatternSimple.h"
#include "velta/core/FlowPatternSpiral.h"

#include "velta/utility/Assert.h"
#include "velta/utility/Banner.h"
#include "velta/utility/Error.h"

void FlowPattern::checkCell(int i, int j, int nx, int ny) {
  VELTA_ASSERT_AS(i >= 0, "i >= 0", __FILE__, __LINE__);
  VELTA_ASSERT_AS(j >= 0, "j >= 0", __FILE__, __LINE__);
  VELTA_ASSERT_AS(i < nx, "i < Nx_", __FILE__, __LINE__);
  VELTA_ASSERT_AS(j < ny, "j < Ny_", __FILE__, __LINE__);
}

void FlowPatternAsciiGrid::scan(const std::string pattern[], int nx, int ny, std::string rows[],
                                bool inlet[], bool outlet[]) {
  for (int j = 0; j < ny; ++j) {
    VELTA_ASSERT_AS(pattern[j].size() == static_cast<std::size_t>(nx), "pattern[i].size() == NX",
                    __FILE__, __LINE__);
    rows[j] = pattern[j];
  }
  for (int k = 0; k < nx * ny; ++k) {
    inlet[k] = true;
    outlet[k] = false;
  }
  // Every cell unmarks the neighbour it feeds; a flow leaving the grid makes
  // the cell an outlet.
  for (int j = 0; j < ny; ++j) {
    for (int i = 0; i < nx; ++i) {
      switch (rows[j][i]) {
      case '^':
        if (j > 0)
          inlet[(j - 1) * nx + i] = false;
        else
          outlet[j * nx + i] = true;
        break;
      case 'v':
        if (j < ny - 1)
          inlet[(j + 1) * nx + i] = false;
        else
          outlet[j * nx + i] = true;
        break;
      case '>':
        if (i < nx - 1)
          inlet[j * nx + i + 1] = false;
        else
          outlet[j * nx + i] = true;
        break;
      case '<':
        if (i > 0)
          inlet[j * nx + i - 1] = false;
        else
          outlet[j * nx + i] = true;
        break;
      default:
        VELTA_ASSERT_AS(false, "false", __FILE__, __LINE__);
      }
    }
  }
}

FlowPattern::Direction FlowPatternAsciiGrid::directionOf(char c) {
  switch (c) {
  case '^':
    return FlowPattern::Direction::up;
  case 'v':
    return FlowPattern::Direction::down;
  case '>':
    return FlowPattern::Direction::right;
  case '<':
    return FlowPattern::Direction::left;
  }
  VELTA_ASSERT_AS(false, "false", __FILE__, __LINE__);
  return FlowPattern::Direction::up; // not reached
}

namespace {

const std::string spiralRight66Rows[6] = {">v^>v^", "^v^^v^", "^v^^v^",
                                          "^v^^v^", "^v^^v^", "^>^^>^"};
const std::string spiralRight96Rows[6] = {">v^>v^>v^", "^v^^v^^v^", "^v^^v^^v^",
                                          "^v^^v^^v^", "^v^^v^^v^", "^>^^>^^v^"};

} // namespace

FlowPatternSpiralRight66::FlowPatternSpiralRight66() : FlowPatternAscii<6, 6>(spiralRight66Rows) {}

FlowPatternSpiralRight96::FlowPatternSpiralRight96() : FlowPatternAscii<9, 6>(spiralRight96Rows) {}

void registerFlowPattern(const std::string &name, FlowPatternCreator creator) {
  VELTA_ASSERT(flowPatternRegistry != nullptr);
  if (flowPatternRegistry->count(name) != 0)
    throw ErrorObjectFactory("ObjectFactory0<class FlowPattern,class std::basic_string<char,struct "
                             "std::char_traits<char>,class std::allocator<char> > >::Register",
                             name.c_str());
  (*flowPatternRegistry)[name] = creator;
}

std::unique_ptr<FlowPattern> createFlowPattern(const std::string &name) {
  VELTA_ASSERT(flowPatternRegistry != nullptr);
  const auto found = flowPatternRegistry->find(name);
  if (found == flowPatternRegistry->end())
    throw ErrorObjectFactory("createFlowPattern", name.c_str());
  return std::unique_ptr<FlowPattern>(found->second());
}

namespace {

template <class Pattern> FlowPattern *create() { return new Pattern; }

// Registers the fixed set of patterns during start-up, after the registry
// has been created by this file's banner initialiser. A duplicate name would
// throw out of a static initialiser and end the process.
struct FlowPatternRegistration {
  FlowPatternRegistration() {
    registerFlowPattern("FlowPatternUp<2,1>", &create<FlowPatternUp<2, 1>>);
    registerFlowPattern("FlowPatternRight<2,1>", &create<FlowPatternRight<2, 1>>);
    registerFlowPattern("FlowPatternUp<2,2>", &create<FlowPatternUp<2, 2>>);
    registerFlowPattern("FlowPatternRight<2,2>", &create<FlowPatternRight<2, 2>>);
    registerFlowPattern("FlowPatternUp<3,2>", &create<FlowPatternUp<3, 2>>);
    registerFlowPattern("FlowPatternRight<3,2>", &create<FlowPatternRight<3, 2>>);
    registerFlowPattern("FlowPatternUp<4,2>", &create<FlowPatternUp<4, 2>>);
    registerFlowPattern("FlowPatternRight<4,2>", &create<FlowPatternRight<4, 2>>);
    registerFlowPattern("FlowPatternUp<4,3>", &create<FlowPatternUp<4, 3>>);
    registerFlowPattern("FlowPatternRight<4,3>", &create<FlowPatternRight<4, 3>>);
    registerFlowPattern("FlowPatternUp<8,3>", &create<FlowPatternUp<8, 3>>);
    registerFlowPattern("FlowPatternRight<8,3>", &create<FlowPatternRight<8, 3>>);
    registerFlowPattern("FlowPatternUp<8,4>", &create<FlowPatternUp<8, 4>>);
    registerFlowPattern("FlowPatternRight<8,4>", &create<FlowPatternRight<8, 4>>);
    registerFlowPattern("FlowPatternUp<10,5>", &create<FlowPatternUp<10, 5>>);
    registerFlowPattern("FlowPatternRight<10,5>", &create<FlowPatternRight<10, 5>>);
    registerFlowPattern("FlowPatternUp<12,8>", &create<FlowPatternUp<12, 8>>);
    registerFlowPattern("FlowPatternRight<12,8>", &create<FlowPatternRight<12, 8>>);
    registerFlowPattern("FlowPatternUp<16,12>", &create<FlowPatternUp<16, 12>>);
    registerFlowPattern("FlowPatternRight<16,12>", &create<FlowPatternRight<16, 12>>);
    registerFlowPattern("FlowPatternUp<4,4>", &create<FlowPatternUp<4, 4>>);
    registerFlowPattern("FlowPatternDown<4,4>", &create<FlowPatternDown<4, 4>>);
    registerFlowPattern("FlowPatternLeft<4,4>", &create<FlowPatternLeft<4, 4>>);
    registerFlowPattern("FlowPatternRight<4,4>", &create<FlowPatternRight<4, 4>>);
    registerFlowPattern("FlowPatternUp<6,6>", &create<FlowPatternUp<6, 6>>);
    registerFlowPattern("FlowPatternDown<6,6>", &create<FlowPatternDown<6, 6>>);
    registerFlowPattern("FlowPatternLeft<6,6>", &create<FlowPatternLeft<6, 6>>);
    registerFlowPattern("FlowPatternRight<6,6>", &create<FlowPatternRight<6, 6>>);
    registerFlowPattern("FlowPatternUp<6,4>", &create<FlowPatternUp<6, 4>>);
    registerFlowPattern("FlowPatternDown<6,4>", &create<FlowPatternDown<6, 4>>);
    registerFlowPattern("FlowPatternLeft<6,4>", &create<FlowPatternLeft<6, 4>>);
    registerFlowPattern("FlowPatternRight<6,4>", &create<FlowPatternRight<6, 4>>);
    registerFlowPattern("FlowPatternSpiralRight66", &create<FlowPatternSpiralRight66>);
    registerFlowPattern("FlowPatternSpiralRight96", &create<FlowPatternSpiralRight96>);
    registerFlowPattern("FlowPatternUp<9,6>", &create<FlowPatternUp<9, 6>>);
    registerFlowPattern("FlowPatternRight<9,6>", &create<FlowPatternRight<9, 6>>);
    registerFlowPattern("FlowPatternUp<12,6>", &create<FlowPatternUp<12, 6>>);
    registerFlowPattern("FlowPatternRight<12,6>", &create<FlowPatternRight<12, 6>>);
  }
};

const FlowPatternRegistration flowPatternRegistration;

} // namespace
