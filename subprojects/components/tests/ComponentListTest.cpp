// The process-wide component list, component names, the generic K value and
// the placeholder constants of solid components.

#include "TestComponents.h"

#include "velta/components/ListComponents.h"
#include "velta/utility/Error.h"
#include "velta/value/ErrorUnit.h"

#include <gtest/gtest.h>

namespace {

int destroyed = 0;

class CountedSolid : public TestSolidComponent {
public:
  using TestSolidComponent::TestSolidComponent;
  ~CountedSolid() override { ++destroyed; }
};

template <class E, class F> std::string messageOf(F f) {
  try {
    f();
  } catch (const E &error) {
    return error.message();
  }
  return "no error";
}

class ComponentList : public ::testing::Test {
protected:
  void SetUp() override { components.clear(); }
  void TearDown() override { components.clear(); }
};

} // namespace

TEST_F(ComponentList, AddLookupAndClear) {
  destroyed = 0;
  auto *first = new CountedSolid("A");
  EXPECT_EQ(first->index(), -1);
  components.add(first);
  components.add(new CountedSolid("B"));
  components.add(new CountedSolid("A"));
  EXPECT_EQ(components.count(), 3);
  EXPECT_EQ(NCOMPONENTS, 3);
  // A repeated name resolves to the newer component; the older stays at 0.
  EXPECT_EQ(components.lookup("A"), 2);
  EXPECT_EQ(components["A"], components[2]);
  EXPECT_EQ(components[0], first);
  EXPECT_EQ(first->index(), 0);
  EXPECT_EQ(components["B"]->index(), 1);
  EXPECT_EQ(components[1]->name(), "B");

  components.clear();
  EXPECT_EQ(destroyed, 3);
  EXPECT_EQ(NCOMPONENTS, 0);
  EXPECT_EQ(components.count(), 0);
  EXPECT_THROW(components.lookup("B"), ErrorNoComponent);
  components.clear();
  EXPECT_EQ(destroyed, 3);
}

TEST_F(ComponentList, MissingNameIsErrorNoComponent) {
  components.add(new TestSolidComponent("Salt2"));
  const std::string expected = "Error was thrown by function: ListComponents::lookup\n"
                               "Non-existing component error: Component H2O not found in "
                               "component list\n";
  EXPECT_EQ(messageOf<ErrorNoComponent>([] { components.lookup("H2O"); }), expected);
  EXPECT_EQ(messageOf<ErrorNoComponent>([] { components["H2O"]; }), expected);
  EXPECT_EQ(components.lookup("Salt2"), 0);
}

TEST_F(ComponentList, NamesAreCheckedLikeTags) {
  EXPECT_EQ(messageOf<ErrorInvalidCharacter>([] { TestSolidComponent("2H"); }),
            "Error was thrown by function: ComponentGeneric::ComponentGeneric\n"
            "Invalid characters error: Field NAME contains invalid characters or does not begin "
            "with an alphabetic element: \"2H\"\n");
  EXPECT_THROW(TestSolidComponent("A/B"), ErrorInvalidCharacter);
  EXPECT_EQ(TestSolidComponent("Fe.solid:1").name(), "Fe.solid:1");
}

TEST_F(ComponentList, InterfacesOfTheComponents) {
  TestDipprComponent d("D");
  TestSolidComponent s("S");
  const Value T(350.0, "K");
  // Generic K value psat/P: 1 at the vapour pressure.
  EXPECT_NEAR(d.kvli(T, d.psat(T)).value(), 1.0, 1e-15);
  EXPECT_FALSE(d.isSolid());
  EXPECT_FALSE(d.isHenry());
  // The solid answers its liquid density and heat with its solid ones.
  EXPECT_TRUE(s.isSolid());
  EXPECT_EQ(s.rhol(T, Value(1e5, "Pa")).value(), 1000.0 / 18.0);
  EXPECT_EQ(s.hl(T, Value(1e5, "Pa")).value(), s.hs(T, Value(1e5, "Pa")).value());
  EXPECT_EQ(s.psat(T).value(), 0.0);
  EXPECT_EQ(s.dhvl(T).value(), 2093400.0);
  EXPECT_EQ(s.mul(T).value(), 0.3);
  EXPECT_EQ(s.rhov(T, Value(1e5, "Pa")).value(), 1.0);
}

TEST_F(ComponentList, ConstantsFromTheMolarMassAlone) {
  const ComponentBase b(Value(2.0, "kg/kmol"));
  // rhoc = 1.5e8 * 2 / (0.3 * 8314.4 * 2000), vb = 1.5 * 2 / rhoc,
  // vc = 0.3 * 8314.4 * 2000 / 1.5e8.
  EXPECT_NEAR(b.rhoc().value(), 60.1366, 1e-4);
  EXPECT_NEAR(b.vb().value(), 0.049887, 1e-6);
  EXPECT_NEAR(b.vc().value(), 0.0332576, 1e-7);
  EXPECT_EQ(b.Pc().value(), 1.5e8);
  EXPECT_EQ(b.Tc().value(), 2000.0);
  EXPECT_EQ(b.vc().uom(), Value(1.0, "m3/kmol").uom());

  const ComponentBase water = testdata::waterConstants();
  EXPECT_EQ(water.dh0().value(), -241814000.0);
  EXPECT_EQ(water.Pc().value(), 22055000.0);
  const auto build = [](const Value &Pc) {
    return ComponentBase(Value(18.0, "kg/kmol"), Pc, Value(647.13, "K"), Value(322.0, "kg/m3"),
                         Value(0.0), Value(0.0188, "m3/kmol"), Value(-2.4e8, "J/kmol"),
                         Value(-2.2e8, "J/kmol"), Value(0.229), Value(0.34));
  };
  EXPECT_EQ(build(Value(1.0, "bar")).Pc().value(), 1e5);
  EXPECT_THROW(build(Value(1.0, "K")), ErrorUnit);
}

TEST(ComponentBaseDeathTest, OutOfRangeConstantsStopTheProcess) {
  EXPECT_DEATH(ComponentBase(Value(18.0, "kg/kmol"), Value(1e5, "Pa"), Value(600.0, "K"),
                             Value(322.0, "kg/m3"), Value(0.0), Value(0.0188, "m3/kmol"),
                             Value(0.0, "J/kmol"), Value(0.0, "J/kmol"), Value(0.0), Value(0.3)),
               "zc\\.toDouble\\(\\) > 0\\.0");
}
