// The registered phase types: listing, creation by every name, the "typeP"
// option, copies and the checks of the generic phase template.

#include "TestPhases.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/phases/PhaseActivity.h"
#include "velta/phases/PhaseGeneric.h"
#include "velta/phases/PhaseTypes.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace phasetest;

namespace {

// The whole listing of the phase types, in registration order.
const std::vector<std::string> fullListing = {
    "PhaseSimpleTotal",        "PhaseSimple",
    "PhaseSimple<vapor>",      "PhaseSimple<liquid>",
    "PhaseSimple<solid>",      "PhaseTotal",
    "PhaseIdeal",              "PhaseIdeal<vapor>",
    "PhaseIdeal<liquid>",      "PhaseIdeal<solid>",
    "PhaseIapws",              "PhaseIapws<vapor>",
    "PhaseIapws<liquid>",      "PhaseNrtl1",
    "PhaseNrtl2",              "PhaseUnifac",
    "PhasePcsaft",             "PhasePcsaft<vapor>",
    "PhasePcsaft<liquid>",     "PhaseGerg2004",
    "PhaseGerg2004<vapor>",    "PhaseGerg2004<liquid>",
    "PhaseVanDerWaals",        "PhaseVanDerWaals<vapor>",
    "PhaseVanDerWaals<liquid>", "PhasePengRobinson",
    "PhasePengRobinson<vapor>", "PhasePengRobinson<liquid>",
    "PhaseKwongRedlichSoave",  "PhaseKwongRedlichSoave<vapor>",
    "PhaseKwongRedlichSoave<liquid>"};

std::vector<std::string> expectedListing() { return fullListing; }

std::unique_ptr<Node> create(const std::string &type, Defaults options = Defaults("X", "x")) {
  return NodeFactory().create(type, options, 0, nullptr, nullptr, nullptr);
}

class PhaseTypes : public ComponentsFixture {
protected:
  void SetUp() override {
    Velta::Phases::registerPhaseTypes();
    use(lightAndHeavy());
  }
};

TEST(PhaseTypeListing, ListsThePhaseTypesInRegistrationOrder) {
  Velta::Phases::registerPhaseTypes();
  NodeFactory factory;
  std::vector<std::string> listed;
  // Phase types that other tests of this program register are left out.
  for (const TypeDescriptor &d : factory.descriptors())
    if (d.category == "phase" && d.name.compare(0, 5, "Phase") == 0) {
      listed.push_back(d.name);
      EXPECT_FALSE(d.instantiable) << d.name;
      EXPECT_EQ(factory.icon(d.name).stem(), "phase") << d.name;
      EXPECT_EQ(factory.icon(d.name).width(), 100.0) << d.name;
      EXPECT_EQ(factory.icon(d.name).height(), 100.0) << d.name;
    }
  EXPECT_EQ(listed, expectedListing());
  // A second registration registers nothing and raises nothing.
  const std::size_t before = factory.descriptors().size();
  Velta::Phases::registerPhaseTypes();
  EXPECT_EQ(factory.descriptors().size(), before);
}

TEST(PhaseTypeListing, TypePDescriptorsNameTheirEnumerators) {
  Velta::Phases::registerPhaseTypes();
  NodeFactory factory;
  const struct {
    const char *type;
    const char *enumerator;
  } rows[] = {{"PhaseSimple", "phaseTypeEnum"},
              {"PhaseIdeal", "phaseTypeEnum"},
              {"PhasePengRobinson", "phaseTypeEnum1"},
              {"PhaseIapws", "phaseTypeEnum1"},
              {"PhaseGerg2004", "phaseTypeEnum1"},
              {"PhaseNrtl1", nullptr},
              {"PhaseTotal", nullptr}};
  for (const auto &row : rows) {
    const auto &options = factory.typeDescriptor(row.type).stringOptions;
    if (!row.enumerator) {
      EXPECT_TRUE(options.empty()) << row.type;
      continue;
    }
    ASSERT_EQ(options.size(), 1u) << row.type;
    EXPECT_EQ(options[0].toJson(), std::string("{\"name\":\"typeP\",\"description\":\"phase "
                                               "type\",\"value\":\"vapor\",\"enumerator\":\"") +
                                       row.enumerator + "\"}");
  }
  EXPECT_EQ(Phase::phaseTypeEnumerator(true).size(), 3);
  EXPECT_EQ(Phase::phaseTypeEnumerator(false).name(), "phaseTypeEnum1");
}

TEST_F(PhaseTypes, EveryNameCreatesItsTypeWithItsPhaseType) {
  for (const std::string &name : expectedListing()) {
    // GERG-2004 needs its 18 components: the stream tests create it.
    if (name.compare(0, 13, "PhaseGerg2004") == 0)
      continue;
    auto node = create(name);
    auto *phase = dynamic_cast<Phase::Mass *>(node.get());
    ASSERT_NE(phase, nullptr) << name;
    const std::string base = name.substr(0, name.find('<'));
    EXPECT_EQ(node->type(), base);
    // A base type that lists "typeP" takes its listed default "vapor"; the
    // others keep the class default "liquid".
    const auto &listed = NodeFactory().typeDescriptor(name).stringOptions;
    const bool listsTypeP = std::any_of(listed.begin(), listed.end(),
                                        [](const StringOption &o) { return o.name == "typeP"; });
    int expected = 2;
    if (name.find("<vapor>") != std::string::npos || listsTypeP)
      expected = 1;
    if (name.find("<solid>") != std::string::npos)
      expected = 3;
    if (base == "PhaseTotal" || base == "PhaseSimpleTotal")
      expected = 0;
    EXPECT_EQ(phase->phaseType(), expected) << name;
    if (base != "PhaseTotal" && base != "PhaseSimpleTotal") {
      EXPECT_EQ(dynamic_cast<Object &>(*node).S("typeP"),
                Velta::Utility::phaseTypeName(expected))
          << name;
    }
  }
  EXPECT_THROW(create("PhasePengRobinson<solid>"), ErrorObjectFactory);
}

TEST_F(PhaseTypes, ExplicitTypePWinsAndUnknownTextsGiveTypeFour) {
  auto liquid = create("PhaseIdeal<vapor>", Defaults("X", "x").setString("typeP", "liquid"));
  EXPECT_EQ(dynamic_cast<Phase::Mass &>(*liquid).phaseType(), 2);
  auto gas = create("PhaseIdeal", Defaults("X", "x").setString("typeP", "gas"));
  auto &phase = dynamic_cast<Phase::Generic &>(*gas);
  EXPECT_EQ(phase.phaseType(), 4);
  EXPECT_EQ(phase.model().phaseType(), 4);
}

TEST_F(PhaseTypes, ClonesKeepTypePAndOwnAFreshModel) {
  auto vapor = create("PhaseIdeal<vapor>", Defaults("Vphase", "vapour"));
  auto &original = dynamic_cast<PhaseGeneric<Phase::Ideal> &>(*vapor);
  original.mdot = Value(5.0, "kg/s");
  auto copy = original.clone();
  auto &cloned = dynamic_cast<PhaseGeneric<Phase::Ideal> &>(*copy);
  EXPECT_EQ(cloned.typeP.value(), "vapor");
  EXPECT_EQ(cloned.phaseType(), 1);
  EXPECT_EQ(cloned.tag(), "Vphase");
  EXPECT_EQ(cloned.id(), 0);
  EXPECT_DOUBLE_EQ(cloned.mdot.value(), 5.0);
  EXPECT_NE(&cloned.model(), &original.model());

  auto nrtl = create("PhaseNrtl1");
  ASSERT_NE(dynamic_cast<PhaseActivity<Phase::Activity::Nrtl1> *>(nrtl.get()), nullptr);
  auto nrtlCopy = nrtl->clone();
  EXPECT_EQ(nrtlCopy->type(), "PhaseNrtl1");
  EXPECT_EQ(dynamic_cast<PhaseActivity<Phase::Activity::Nrtl1> *>(nrtlCopy.get()), nullptr);
  EXPECT_NE(dynamic_cast<PhaseGeneric<Phase::Activity::Nrtl1> *>(nrtlCopy.get()), nullptr);
}

TEST_F(PhaseTypes, InitializingWithoutComponentsNamesTheInstance) {
  auto node = create("PhasePengRobinson<vapor>");
  components.clear();
  try {
    dynamic_cast<Model &>(*node).initializeNonPersistents();
    ADD_FAILURE() << "no error";
  } catch (const ErrorRunTime &e) {
    EXPECT_EQ(e.message(),
              "Error was thrown by function: PhaseGeneric<class Phase::Eos<class "
              "Phase::EosCubic::PengRobinson> >::initializeNonPersistents\n"
              "Generic Run-Time error: No components defined\n");
  }
}

} // namespace
