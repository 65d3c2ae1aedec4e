// The flowsheet module's registered types: the listing in registration
// order with descriptions, categories, icons and sizes, the once-only
// registration, the column's stream enumerators, and the composites
// created by name reporting their registered type.

#include "FlowsheetTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace flowsheettest;

namespace {

struct Listed {
  const char *name, *description, *category, *icon;
  double width, height;
};

// The module's block of the types listing.
const Listed listing[] = {
    {"Terminator", "Source or sink of all streams entering a flowsheet", "unit", "unit", 100, 100},
    {"ReboilerCrossFlow", "Vertical shell and tube water steam heated reboiler", "unit", "unit",
     100, 100},
    {"Decanter", "Vapor-Liquid-Liquid decanter", "flowsheet", "Decanter", 99.986, 59.999771},
    {"LiquidRingVacuumPump", "Liquid ring vacuum pump", "flowsheet", "LiquidRingVacuumPump", 200,
     232.5},
    {"PressureSwingAbsorption", "Pressure Swing Absorbtion", "flowsheet", "Column", 60, 199.875},
    {"Column", "Distillation column", "flowsheet", "Column", 60, 199.875},
    {"ColumnSection", "Section of a distillation column", "flowsheet", "MultiStage", 80, 20},
    {"RatingColumnTraySieve", "Rating model for sieve trays", "option", "option", 100, 100},
    {"Zone", "Zone of a vertical shell and tube water steam fed thermosiphon", "unit", "unit", 100,
     100},
    {"MultiStage", "Generic multi-stage countercurrent unit", "unit", "MultiStage", 80, 20},
    {"CompressionStage", "Single compression stage", "flowsheet", "flowsheet", 100, 100},
    {"MultiCompressorIntercooled1", "Single stage compressor with cooler", "unit", "MultiStage", 80,
     20},
    {"MultiCompressorIntercooled2", "2-stage intercooled compressor", "unit", "MultiStage", 80, 20},
    {"MultiCompressorIntercooled3", "3-stage intercooled compressor", "unit", "MultiStage", 80, 20},
};

TEST(FlowsheetTypeListing, ListsTheModuleTypesInRegistrationOrder) {
  registerFlowsheetTypes();
  NodeFactory factory;
  const std::vector<TypeDescriptor> &all = factory.descriptors();
  std::size_t first = 0;
  while (first < all.size() && all[first].name != "Terminator")
    ++first;
  ASSERT_LE(first + std::size(listing), all.size());
  for (std::size_t k = 0; k < std::size(listing); ++k) {
    const Listed &row = listing[k];
    const TypeDescriptor &d = all[first + k];
    EXPECT_EQ(d.name, row.name);
    EXPECT_EQ(d.description, row.description) << row.name;
    EXPECT_EQ(d.category, row.category) << row.name;
    EXPECT_EQ(d.icon, row.icon) << row.name;
    EXPECT_FALSE(d.instantiable) << row.name;
    if (d.name == "Column") {
      // The stage counts and the two stream types, from the column's
      // stream enumerators.
      ASSERT_EQ(d.integerOptions.size(), 2u);
      EXPECT_EQ(d.integerOptions[0].toJson(),
                R"({"name":"stages","description":"total number of stages","value":2,"min":2,)"
                R"("max":2147483647})");
      EXPECT_EQ(d.integerOptions[1].toJson(),
                R"({"name":"feedStage","description":"position of the feed stage","value":1,)"
                R"("min":1,"max":2147483647})");
      ASSERT_EQ(d.stringOptions.size(), 2u);
      EXPECT_EQ(d.stringOptions[0].toJson(),
                R"({"name":"typeU","description":"the type of the vapor+condensate stream",)"
                R"("value":"StreamIdealLiquidVapor","enumerator":"streamVCEnum"})");
      EXPECT_EQ(d.stringOptions[1].toJson(),
                R"({"name":"typeW","description":"the type of the condensate stream",)"
                R"("value":"StreamLiquid","enumerator":"streamCEnum"})");
      continue;
    }
    EXPECT_TRUE(d.integerOptions.empty()) << row.name;
    EXPECT_TRUE(d.stringOptions.empty()) << row.name;
    EXPECT_TRUE(d.quantities.empty()) << row.name;
    EXPECT_EQ(factory.icon(row.name).width(), row.width) << row.name;
    EXPECT_EQ(factory.icon(row.name).height(), row.height) << row.name;
  }
  // The series cascade under the trains is no type of its own.
  EXPECT_FALSE(factory.isRegistered("MultiStageOneTwo"));
  const std::size_t before = all.size();
  Velta::Flowsheet::registerFlowsheetTypes();
  EXPECT_EQ(factory.descriptors().size(), before);
}

TEST(FlowsheetTypeListing, ColumnStreamEnumerators) {
  const Velta::Core::Enumerator vc = Velta::Flowsheet::streamVCEnumerator();
  EXPECT_EQ(
      vc.toJson(),
      R"({"name":"streamVCEnum","description":"Vapor+condensate stream type enumerator",)"
      R"("options":[{"name":"StreamIdealLiquidVapor","description":"Ideal Liquid Vapor stream"},)"
      R"({"name":"StreamNrtl1LiquidVapor","description":"Nrtl1 liquid and ideal vapor stream"},)"
      R"({"name":"StreamNrtl2LiquidVapor","description":"Nrtl2 liquid and ideal vapor stream"},)"
      R"({"name":"StreamIdealLiquidSolidVapor","description":"Ideal Liquid Solid Vapor stream"},)"
      R"({"name":"StreamNrtl1LiquidSolidVapor","description":"Nrtl1 liquid and ideal vapor and solid stream"},)"
      R"({"name":"StreamNrtl2LiquidSolidVapor","description":"Nrtl2 liquid and ideal vapor and solid stream"},)"
      R"({"name":"StreamKwongRedlichSoaveLiquidSolidVapor","description":"Equation of state liquid and vapor and ideal solid stream"},)"
      R"({"name":"StreamKwongRedlichSoaveLiquidVapor","description":"Equation of state liquid and vapor stream"}]})");
  const Velta::Core::Enumerator c = Velta::Flowsheet::streamCEnumerator();
  EXPECT_EQ(
      c.toJson(),
      R"({"name":"streamCEnum","description":"Condensate stream type enumerator",)"
      R"("options":[{"name":"StreamLiquid","description":"Ideal Liquid stream"},)"
      R"({"name":"StreamLiquidSolid","description":"Ideal Liquid Solid stream"},)"
      R"({"name":"StreamNrtl1LiquidSolid","description":"Nrtl1 liquid and and solid stream"},)"
      R"({"name":"StreamNrtl2LiquidSolid","description":"Nrtl2 liquid and solid stream"},)"
      R"({"name":"StreamKwongRedlichSoaveLiquid","description":"Equation of state liquid stream"}]})");
  // The vapour+condensate streams are the flash units' stream types less
  // the vapour-solid one.
  const Velta::Core::Enumerator units = Velta::Units::streamEnumerator();
  std::vector<std::string> expected;
  for (const EnumeratorOption &option : units)
    if (option.name != "StreamIdealSolidVapor")
      expected.push_back(option.name);
  std::vector<std::string> listed;
  for (const EnumeratorOption &option : vc)
    listed.push_back(option.name);
  EXPECT_EQ(listed, expected);
}

class FlowsheetTypes : public ComponentsFixture {
protected:
  void SetUp() override {
    verbosityGlobal = 0;
    use(lightAndHeavy());
  }
  void TearDown() override {
    verbosityGlobal = 2;
    ComponentsFixture::TearDown();
  }
};

TEST_F(FlowsheetTypes, CompositesCreatedByNameReportTheirType) {
  registerFlowsheetTypes();
  NodeFactory factory;
  for (const char *type :
       {"Decanter", "LiquidRingVacuumPump", "PressureSwingAbsorption", "MultiStage",
        "CompressionStage", "MultiCompressorIntercooled1", "MultiCompressorIntercooled2",
        "MultiCompressorIntercooled3"}) {
    auto node = factory.create(type, Defaults("X", "composite"), 0, nullptr, nullptr, nullptr);
    EXPECT_EQ(node->type(), type);
    EXPECT_EQ(factory.icon(node->type()).stem(), factory.typeDescriptor(type).icon) << type;
  }
}

} // namespace
