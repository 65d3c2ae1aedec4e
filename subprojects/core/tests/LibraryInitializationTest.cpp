#include "velta/core/LibraryInitialization.h"

#include "../../components/tests/TestComponents.h"
#include "velta/components/ListComponents.h"

#include "velta/utility/Banner.h"
#include "velta/utility/Diagnostic.h"
#include "velta/value/DerivativeContext.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LibraryInitialization, StartsOnceAndStopsOnce) {
  const int depth = derivativeContextDepth();
  verbosityGlobal = 0;

  testing::internal::CaptureStdout();
  EXPECT_TRUE(initializeLibrary());
  const std::string banner = testing::internal::GetCapturedStdout();
  EXPECT_NE(banner.find(libraryVersion), std::string::npos) << banner;
  EXPECT_EQ(verbosityGlobal, 2);
  EXPECT_EQ(derivativeContextDepth(), depth + 1);
  EXPECT_EQ(numdir, 0);
  EXPECT_TRUE(strict_ro);

  // A second start prints no banner and changes nothing.
  testing::internal::CaptureStdout();
  EXPECT_FALSE(initializeLibrary());
  const std::string second = testing::internal::GetCapturedStdout();
  EXPECT_EQ(second.find(libraryVersion), std::string::npos) << second;
  EXPECT_EQ(derivativeContextDepth(), depth + 1);

  // Stopping releases the context and empties the component list; a second
  // stop changes nothing.
  components.clear();
  components.add(new TestSolidComponent("A"));
  ASSERT_EQ(NCOMPONENTS, 1);
  EXPECT_TRUE(uninitializeLibrary());
  EXPECT_EQ(derivativeContextDepth(), depth);
  EXPECT_EQ(NCOMPONENTS, 0);
  components.add(new TestSolidComponent("B"));
  EXPECT_FALSE(uninitializeLibrary());
  EXPECT_EQ(derivativeContextDepth(), depth);
  EXPECT_EQ(NCOMPONENTS, 1);
  components.clear();

  // The library can be started again after it was stopped.
  testing::internal::CaptureStdout();
  EXPECT_TRUE(initializeLibrary());
  testing::internal::GetCapturedStdout();
  EXPECT_TRUE(uninitializeLibrary());
  EXPECT_EQ(derivativeContextDepth(), depth);
}

} // namespace
