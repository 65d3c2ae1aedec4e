#include "velta/utility/Diagnostic.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <string>
#include <vector>

namespace {

class LogTest : public ::testing::Test {
protected:
  void SetUp() override { savedVerbosity_ = verbosityGlobal; }
  void TearDown() override { verbosityGlobal = savedVerbosity_; }

private:
  int savedVerbosity_ = 0;
};

struct ThresholdCase {
  int global;
  int local;
  int level;
  bool written;
};

TEST_F(LogTest, ThresholdRule) {
  // Written exactly when global + local - 1 > level.
  const std::vector<ThresholdCase> cases = {
      {2, 0, 1, false},   // "Entered" line of an object at verbosity 0
      {2, 0, 0, true},    // level-0 line of the same object
      {2, 1, 1, true},    // function without an object, level 1
      {2, 1, 2, false},   // function without an object, level 2
      {12, 0, 10, true},  // during "check"
      {12, 0, 11, false}, //
      {2, -1, 0, false},  // quietened object
      {2, -1, -1, true},  //
      {0, 0, -2, true},   // before start-up a level -2 line still passes
      {0, 0, -1, false},  //
  };
  for (const auto &c : cases) {
    verbosityGlobal = c.global;
    EXPECT_EQ(Velta::Utility::logEnabled(c.local, c.level), c.written)
        << "global " << c.global << " local " << c.local << " level " << c.level;
    testing::internal::CaptureStdout();
    VELTA_LOG(c.local, c.level, "Object::clear", "Done");
    EXPECT_EQ(testing::internal::GetCapturedStdout().empty(), !c.written);
  }
}

TEST_F(LogTest, LineLayoutPerLevel) {
  verbosityGlobal = 20;
  const std::vector<std::pair<int, std::string>> cases = {
      {-2, "Object::clear  Done\n"},    {-1, "Object::clear * Done\n"},
      {0, "Object::clear ** Done\n"},   {1, "Object::clear *** Done\n"},
      {2, "Object::clear **** Done\n"}, {4, "Object::clear ****** Done\n"},
  };
  for (const auto &[level, expected] : cases) {
    testing::internal::CaptureStdout();
    VELTA_LOG(0, level, "Object::clear", "Done");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
  }
}

TEST_F(LogTest, StreamMessageAndFreeFunctionForm) {
  verbosityGlobal = 2;
  testing::internal::CaptureStdout();
  VELTA_LOG_FREE(1, "Velta::User::purge",
                 "Entered for "
                     << "A2:S01"
                     << " n = " << 3);
  VELTA_LOG(5, 0, "GenericValue<class GenericActive<double> >::operator +",
            "x = " << 3.14159265358979);
  VELTA_LOG(5, 0, "ObjectiveNleAuto::prepare_", std::setprecision(10) << 3.14159265358979);
  // A precision set by one line does not leak into the next.
  VELTA_LOG(5, 0, "ObjectiveNleAuto::prepare_", 2.718281828459);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Velta::User::purge *** Entered for A2:S01 n = 3\n"
            "GenericValue<class GenericActive<double> >::operator + ** x = 3.14159\n"
            "ObjectiveNleAuto::prepare_ ** 3.141592654\n"
            "ObjectiveNleAuto::prepare_ ** 2.71828\n");
}

TEST_F(LogTest, MessageIsNotFormattedBelowThreshold) {
  verbosityGlobal = 2;
  int evaluations = 0;
  auto expensive = [&evaluations] { return ++evaluations; };
  testing::internal::CaptureStdout();
  VELTA_LOG(0, 1, "Object::clear", "value " << expensive());
  VELTA_LOG(0, 0, "Object::clear", "value " << expensive());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Object::clear ** value 1\n");
  EXPECT_EQ(evaluations, 1);
}

TEST(Diagnostic, VerbosityStartsAtZeroAndIsCopied) {
  Diagnostic object;
  EXPECT_EQ(object.verbosity(), 0);
  object.setVerbosity(-3);
  Diagnostic copy(object);
  EXPECT_EQ(copy.verbosity(), -3);
  Diagnostic assigned;
  assigned = object;
  EXPECT_EQ(assigned.verbosity(), -3);
}

} // namespace
