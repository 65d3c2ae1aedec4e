#include "velta/persistency/Quantity.h"
#include "velta/persistency/QuantityMatrix.h"
#include "velta/persistency/QuantityVector.h"
#include "velta/value/ErrorUnit.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>

namespace {

// A concrete owner for parent pointers.
class Owner : public Item {
public:
  Owner() : Item("S01", "", nullptr) {}
  std::string type() const override { return "Owner"; }
};

template <class Variable> std::string printed(const Variable &variable) {
  std::ostringstream stream;
  stream << variable;
  return stream.str();
}

const UnitArray metre{0, 0, 0, 1, 0, 0, 0, 0, 0};
const UnitArray kelvin{0, 0, 0, 0, 0, 0, 1, 0, 0};

TEST(Quantity, ConstructionConvertsToSI) {
  Owner owner;
  const Quantity t("T", "Temperature", 25.0, "\xC2\xB0" "C", &owner); // 25 °C
  EXPECT_DOUBLE_EQ(t.value(), 298.15);
  EXPECT_TRUE(t.units() == kelvin);
  EXPECT_EQ(t.fullTag(), "S01:T");
  EXPECT_EQ(t.type(), "Quantity");

  const Quantity p("P", "", 1.5, "bar", nullptr);
  EXPECT_DOUBLE_EQ(p.value(), 150000.0);
  const Quantity l("L", "", 2.0, metre, nullptr);
  EXPECT_EQ(l.value(), 2.0);
  EXPECT_TRUE(l.units() == metre);

  Value given(3.0, metre);
  given.setInput();
  const Quantity copy("x", "", given, nullptr);
  EXPECT_TRUE(copy.input());
  EXPECT_THROW(Quantity("1x", "", 1.0, metre, nullptr), ErrorInvalidCharacter);
  EXPECT_THROW(Quantity("x", "", 1.0, "furlong", nullptr), ErrorUnit);
}

TEST(Quantity, AssignmentKeepsNameAndFlagsAndTestsUnits) {
  Owner owner;
  Quantity t("T", "Temperature", 300.0, kelvin, &owner);
  t.setOutput();
  try {
    t = Value(2.0, metre);
    FAIL();
  } catch (const ErrorUnit &error) {
    EXPECT_NE(error.message().find("destination already has incompatible units"),
              std::string::npos);
  }
  EXPECT_EQ(t.value(), 300.0);

  const Quantity other("U", "Other", 310.0, kelvin, nullptr);
  t = other;
  EXPECT_EQ(t.value(), 310.0);
  EXPECT_EQ(t.tag(), "T");
  EXPECT_EQ(t.description(), "Temperature");
  EXPECT_EQ(t.parent(), &owner);
  EXPECT_TRUE(t.output());

  // Units not yet known: the assignment gives them.
  Quantity unknown("L", "", Value(), nullptr);
  unknown = Value(2.0, metre);
  EXPECT_TRUE(unknown.units() == metre);
  EXPECT_EQ(unknown.value(), 2.0);
}

TEST(Quantity, ArithmeticWithAValueOnTheLeft) {
  const Quantity length("L", "", 2.0, metre, nullptr);
  const Value area = Value(3.0, metre) * length;
  EXPECT_EQ(area.value(), 6.0);
  EXPECT_TRUE(area.units() == UnitArray(0, 0, 0, 2, 0, 0, 0, 0, 0));
  EXPECT_EQ((Value(3.0, metre) + length).value(), 5.0);
  EXPECT_EQ((Value(6.0, metre) / length).value(), 3.0);
  try {
    (void)(Value(1.0, kelvin) - length);
    FAIL();
  } catch (const ErrorUnit &error) {
    EXPECT_EQ(error.message().rfind("Error was thrown by function: "
                                    "GenericValue<class GenericActive<double> >::operator -\n"
                                    "Error type: Unit of measurement error - incompatible units",
                                    0),
              0u)
        << error.message();
  }
}

TEST(Quantity, MoveTakesOverTheName) {
  Owner owner;
  Quantity source("T", "Temperature", 300.0, kelvin, &owner);
  Quantity moved(std::move(source));
  EXPECT_EQ(moved.tag(), "T");
  EXPECT_EQ(moved.parent(), &owner);
  EXPECT_EQ(moved.value(), 300.0);
  EXPECT_EQ(source.parent(), nullptr);
  const Quantity copy(moved);
  EXPECT_EQ(copy.parent(), nullptr);
  EXPECT_EQ(copy.tag(), "T");
}

TEST(QuantityVector, UnitFlagsAndPrint) {
  QuantityVector empty("v", "", 0, Value(), nullptr);
  EXPECT_EQ(empty.uom(), "");
  EXPECT_EQ(printed(empty), "[]");
  QuantityVector v("v", "", 2, Value(1.5, metre), nullptr);
  v[1] = Value(2.0, metre);
  EXPECT_EQ(v.uom(), "m");
  EXPECT_EQ(printed(v), "[1.5 m, 2 m]");
  EXPECT_EQ(v.type(), "QuantityVector");
  EXPECT_FALSE(v.input());
  v.input() = true;
  EXPECT_TRUE(v.input());
  EXPECT_FALSE(v.output());
  v.resize(3);
  EXPECT_TRUE(v[2].units().isInvalid()); // appended values have no units yet
  EXPECT_EQ(v[2].value(), 0.0);
}

std::string runTimeLine(const Error &error) {
  const std::string &text = error.message();
  return text.substr(0, text.find('\n', text.find('\n') + 1));
}

TEST(QuantityMatrix, ColumnMajorAccess) {
  // 2 rows, 3 columns: element (1, 2) is flat element 1 + 2 * 2 = 5.
  QuantityMatrix m("M", "", 2, 3, Value(0.0, metre), nullptr);
  for (std::size_t i = 0; i < m.size(); ++i)
    m.at(i) = Value(static_cast<double>(i), metre);
  EXPECT_EQ(m.rows(), 2u);
  EXPECT_EQ(m.columns(), 3u);
  EXPECT_EQ(m(1, 2).value(), 5.0);
  EXPECT_EQ(m(0, 1).value(), 2.0);
  EXPECT_EQ(printed(m), "[[\"0 m\", \"2 m\", \"4 m\"], [\"1 m\", \"3 m\", \"5 m\"]]");
  EXPECT_EQ(m.type(), "QuantityMatrix");
  EXPECT_EQ(m.uom(), "m");

  const struct {
    std::uint64_t row, column;
    const char *expected;
  } failures[] = {
      {2, 0,
       "Error was thrown by function: QuantityMatrix::operator()\nGeneric Run-Time error: row "
       "index is outside range: index larger than number of rows"},
      {0, 3,
       "Error was thrown by function: TypeVector::at\nGeneric Run-Time error: index is outside "
       "range: index larger than vector size"},
      // A column whose flat index would wrap around to element 1.
      {1, std::uint64_t(1) << 63,
       "Error was thrown by function: TypeVector::at\nGeneric Run-Time error: index is outside "
       "range: index larger than vector size"},
  };
  for (const auto &f : failures) {
    try {
      m(f.row, f.column);
      ADD_FAILURE() << f.row << ", " << f.column;
    } catch (const ErrorRunTime &error) {
      EXPECT_EQ(runTimeLine(error), f.expected);
    }
  }
}

} // namespace
