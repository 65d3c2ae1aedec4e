// Reading the case descriptor of the verb "new".
#include "velta/user/CaseDescriptor.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

struct Read {
  CaseDescriptor descriptor{"Type", "tag", "description"};
  bool parsed = false;
  std::string errors;
};

Read read(const std::string &text) {
  Read result;
  testing::internal::CaptureStderr();
  result.parsed = parseCaseDescriptor(result.descriptor, text);
  result.errors = testing::internal::GetCapturedStderr();
  return result;
}

TEST(CaseDescriptor, UsageExampleGivesOptionsAndKeepsNames) {
  const Read r = read(
      R"({"stringOptions":{"a":"b","c":"d","e":"f"},"integerOptions":{"g":1,"h":2}})");
  EXPECT_TRUE(r.parsed);
  EXPECT_EQ(r.descriptor.strings(),
            (std::map<std::string, std::string>{{"a", "b"}, {"c", "d"}, {"e", "f"}}));
  EXPECT_EQ(r.descriptor.integers(), (std::map<std::string, int>{{"g", 1}, {"h", 2}}));
  EXPECT_EQ(r.descriptor.type(), "Type");
  EXPECT_EQ(r.descriptor.tag(), "tag");
  EXPECT_EQ(r.descriptor.description(), "description");
}

TEST(CaseDescriptor, NamesAreReplacedOneByOne) {
  const Read tagOnly = read(R"({"tag":"T1"})");
  EXPECT_EQ(tagOnly.descriptor.tag(), "T1");
  EXPECT_EQ(tagOnly.descriptor.type(), "Type");
  EXPECT_EQ(tagOnly.descriptor.description(), "description");

  // The options survive a later replacement of the description.
  const Read all = read(R"({"type":"X","tag":"Y","description":"Z","integerOptions":{"n":3}})");
  EXPECT_EQ(all.descriptor.type(), "X");
  EXPECT_EQ(all.descriptor.tag(), "Y");
  EXPECT_EQ(all.descriptor.description(), "Z");
  EXPECT_EQ(all.descriptor.getInteger("n"), 3);
}

TEST(CaseDescriptor, ValuesAreConverted) {
  const Read r = read(R"({"integerOptions":{"real":2.9,"negative":-2.9,"yes":true,"no":false},)"
                      R"("stringOptions":{"number":5,"flag":true,"nothing":null},)"
                      R"("quantities":{"S01:Tphase.T":350,"P":true}})");
  EXPECT_EQ(r.descriptor.getInteger("real"), 2);
  EXPECT_EQ(r.descriptor.getInteger("negative"), -2);
  EXPECT_EQ(r.descriptor.getInteger("yes"), 1);
  EXPECT_EQ(r.descriptor.getInteger("no"), 0);
  EXPECT_EQ(r.descriptor.getString("number"), "5");
  EXPECT_EQ(r.descriptor.getString("flag"), "true");
  EXPECT_TRUE(r.descriptor.hasString("nothing"));
  EXPECT_EQ(r.descriptor.getString("nothing"), "");
  EXPECT_EQ(r.descriptor.quantities(),
            (std::map<std::string, double>{{"P", 1.0}, {"S01:Tphase.T", 350.0}}));
}

TEST(CaseDescriptor, EmptyFormsChangeNothingAndOthersAreNamed) {
  const std::pair<const char *, std::string> forms[] = {
      {"", ""},
      {"null", ""},
      {"{}", ""},
      {R"({"stringOptions":"abc"})",
       "Warning: the case descriptor's \"stringOptions\" is not an object of names and values; "
       "it is ignored\n"},
      {R"({"stringOptions":[],"quantities":null,"other":[1]})",
       "Warning: the case descriptor's key \"other\" is unknown and ignored (known keys: type, "
       "tag, description, stringOptions, integerOptions, quantities)\n"}};
  for (const auto &[text, warning] : forms) {
    SCOPED_TRACE(text);
    const Read r = read(text);
    EXPECT_TRUE(r.parsed);
    EXPECT_EQ(r.errors, warning);
    EXPECT_TRUE(r.descriptor.strings().empty());
    EXPECT_TRUE(r.descriptor.integers().empty());
    EXPECT_TRUE(r.descriptor.quantities().empty());
    EXPECT_EQ(r.descriptor.tag(), "tag");
  }
}

TEST(CaseDescriptor, TextAfterTheValueIsASyntaxError) {
  const Read r = read(R"({"quantities":{"T":400}} xyz)");
  EXPECT_FALSE(r.parsed);
  EXPECT_EQ(r.errors.rfind("Failed to parse Case descriptor: ", 0), 0u) << r.errors;
}

TEST(CaseDescriptor, SyntaxErrorIsReportedAfterReadingWhatCameFirst) {
  const Read r = read(R"({"tag":"T2", "description")");
  EXPECT_FALSE(r.parsed);
  EXPECT_EQ(r.errors.rfind("Failed to parse Case descriptor: ", 0), 0u) << r.errors;
  EXPECT_EQ(r.descriptor.tag(), "T2");
}

TEST(CaseDescriptor, UnconvertibleValuesThrow) {
  for (const char *text : {"[1]", "5", R"({"tag":[1]})", R"({"integerOptions":{"n":"x"}})",
                           R"({"integerOptions":{"n":3000000000}})",
                           R"({"quantities":{"T":{"v":1}}})", R"({"stringOptions":[1]})"}) {
    SCOPED_TRACE(text);
    CaseDescriptor descriptor("Type", "tag", "");
    EXPECT_THROW(parseCaseDescriptor(descriptor, text), std::exception);
  }
}

} // namespace
