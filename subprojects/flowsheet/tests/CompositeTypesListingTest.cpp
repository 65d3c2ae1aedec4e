// The composite unit types in the types listing: their rows and their
// order among the flowsheet module's types (the types still to come take
// their places between these). An empty icon is listed as the category.

#include "FlowsheetTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace flowsheettest;

namespace {

struct ListedComposite {
  const char *name, *description, *category, *icon;
  double width, height;
};

const ListedComposite compositeListing[] = {
    {"Terminator", "Source or sink of all streams entering a flowsheet", "unit", "unit", 100, 100},
    {"ReboilerCrossFlow", "Vertical shell and tube water steam heated reboiler", "unit", "unit",
     100, 100},
    {"Decanter", "Vapor-Liquid-Liquid decanter", "flowsheet", "Decanter", 99.986, 59.999771},
    {"LiquidRingVacuumPump", "Liquid ring vacuum pump", "flowsheet", "LiquidRingVacuumPump", 200,
     232.5},
    {"PressureSwingAbsorption", "Pressure Swing Absorbtion", "flowsheet", "Column", 60, 199.875},
    {"Zone", "Zone of a vertical shell and tube water steam fed thermosiphon", "unit", "unit", 100,
     100},
    {"MultiStage", "Generic multi-stage countercurrent unit", "unit", "MultiStage", 80, 20},
};

TEST(CompositeTypeListing, RowsInRegistrationOrder) {
  registerFlowsheetTypes();
  NodeFactory factory;
  std::vector<std::string> expected, listed;
  for (const ListedComposite &row : compositeListing)
    expected.push_back(row.name);
  for (const TypeDescriptor &d : factory.descriptors())
    if (std::find(expected.begin(), expected.end(), d.name) != expected.end())
      listed.push_back(d.name);
  EXPECT_EQ(listed, expected);
  for (const ListedComposite &row : compositeListing) {
    const TypeDescriptor &d = factory.typeDescriptor(row.name);
    EXPECT_EQ(d.description, row.description) << row.name;
    EXPECT_EQ(d.category, row.category) << row.name;
    EXPECT_EQ(d.icon, row.icon) << row.name;
    EXPECT_FALSE(d.instantiable) << row.name;
    EXPECT_TRUE(d.integerOptions.empty() && d.stringOptions.empty() && d.quantities.empty())
        << row.name;
    EXPECT_EQ(factory.icon(row.name).width(), row.width) << row.name;
    EXPECT_EQ(factory.icon(row.name).height(), row.height) << row.name;
  }
}

} // namespace
