#include "velta/persistency/Integer.h"
#include "velta/persistency/IntegerVector.h"
#include "velta/persistency/String.h"
#include "velta/persistency/StringVector.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

template <class Variable> std::string printed(const Variable &variable) {
  std::ostringstream stream;
  stream << variable;
  return stream.str();
}

std::string runTimeMessage(const char *function, const char *message) {
  return std::string("Error was thrown by function: ") + function +
         "\nGeneric Run-Time error: " + message + "\n";
}

TEST(Variables, PrintAndType) {
  Integer n("n", "Count", 3, nullptr);
  n += 4;
  n -= 2;
  EXPECT_EQ(printed(n), "5");
  EXPECT_EQ(n.type(), "Integer");

  String s("s", "Text", "a \"b\"", nullptr);
  EXPECT_EQ(printed(s), "a \"b\"");
  EXPECT_EQ(s.type(), "String");

  IntegerVector iv("iv", "", 3, 0, nullptr);
  iv[0] = 1, iv[1] = 2, iv[2] = 3;
  EXPECT_EQ(printed(iv), "[1, 2, 3]");
  EXPECT_EQ(printed(IntegerVector("e", "", 0, 0, nullptr)), "[]");
  EXPECT_EQ(iv.type(), "IntegerVector");

  StringVector sv("sv", "", 2, "a", nullptr);
  sv.at(1) = "b";
  EXPECT_EQ(printed(sv), "[\"a\", \"b\"]");
  sv.at(1) = "say \"x\"";
  EXPECT_EQ(printed(sv), "[\"a\", \"say \"x\"\"]"); // print leaves texts as they are
  std::ostringstream json;
  sv.printJson(json);
  EXPECT_EQ(json.str(), "[\"a\", \"say \\\"x\\\"\"]");
  EXPECT_EQ(printed(StringVector("e", "", 0, "", nullptr)), "[]");
  EXPECT_EQ(sv.type(), "StringVector");
}

TEST(Variables, ConstructorChecksTagAndDescription) {
  EXPECT_THROW(Integer("1n", "", 0, nullptr), ErrorInvalidCharacter);
  EXPECT_THROW(String("s", "a(b)", "", nullptr), ErrorInvalidCharacter);
  EXPECT_THROW(IntegerVector("x.y", "", 1, 0, nullptr), ErrorInvalidCharacter);
  EXPECT_THROW(IntegerVector("x", "", -1, 0, nullptr), ErrorRunTime);
}

TEST(Variables, RangeTestedAccess) {
  IntegerVector v("v", "", 3, 7, nullptr);
  EXPECT_EQ(v.at(2), 7);
  EXPECT_EQ(v[2], 7);
  try {
    v.at(3);
    FAIL();
  } catch (const ErrorRunTime &error) {
    EXPECT_EQ(error.message(),
              runTimeMessage("TypeVector::at",
                             "index is outside range: index larger than vector size"));
  }
  try {
    v[3] = 1;
    FAIL();
  } catch (const ErrorRunTime &error) {
    EXPECT_EQ(error.message(),
              runTimeMessage("TypeVector::operator[]",
                             "index is outside range: index larger than vector size"));
  }
  // A negative int index widens to a huge one and fails the same test.
  EXPECT_THROW(v.at(static_cast<std::size_t>(-1)), ErrorRunTime);
  const IntegerVector &constant = v;
  EXPECT_THROW(constant[3], ErrorRunTime);
}

TEST(Variables, Resize) {
  IntegerVector v("v", "", 2, 9, nullptr);
  v.resize(4);
  EXPECT_EQ(printed(v), "[9, 9, 0, 0]");
  v.resize(1);
  EXPECT_EQ(printed(v), "[9]");
  StringVector s("s", "", 1, "a", nullptr);
  s.resize(3);
  EXPECT_EQ(printed(s), "[\"a\", \"\", \"\"]");
}

} // namespace
