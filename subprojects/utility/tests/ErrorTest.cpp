#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

const char *kHeader = "Error was thrown by function: f\n";

struct ErrorCase {
  std::string expected;
  std::function<void()> raise;
};

TEST(Error, ClassLinesAreExact) {
  const std::vector<ErrorCase> cases = {
      {"Model browsing error: Unsupported option o for String s in model m of type t\n",
       [] { throw ErrorBrowsing("f", "m", "t", "s", "o"); }},
      {"Model browsing error: Object x not found in model m of type t\n",
       [] { throw ErrorBrowsing("f", "m", "t", "x"); }},
      {"Flowsheet connectivity error: Impossible to attach port p to Vertex v of type t\n",
       [] { throw ErrorConnectivity("f", "v", "t", "p"); }},
      {"Flowsheet connectivity error: s m\n", [] { throw ErrorConnectivity("f", "s", "m"); }},
      {"Dynamic cast error: Unsupported conversion of model m of type: t to type: g\n",
       [] { throw ErrorDynamicCast("f", "t", "g", "m"); }},
      {"Invalid characters error: Field tag contains invalid characters or does not begin with an "
       "alphabetic element: \"1S\"\n",
       [] { throw ErrorInvalidCharacter("f", "tag", "1S"); }},
      {"Object factory error: Unsupported type: T\n", [] { throw ErrorObjectFactory("f", "T"); }},
      {"Generic Run-Time error: \n", [] { throw ErrorRunTime("f", ""); }},
      {"Error type: Smart enumerator error: Unrecognized w in model m: v\n",
       [] { throw ErrorSmartEnum("f", "m", "w", "v"); }},
      {"Smart enumerator error: Unrecognized w: v\n", [] { throw ErrorSmartEnum("f", "w", "v"); }},
      {"Non-existing component error: Component X not found in component list\n",
       [] { throw ErrorNoComponent("f", "X"); }},
      {"Error type: Scaler error: bad\n", [] { throw ErrorScaler("f", ": bad"); }},
  };
  for (const auto &c : cases) {
    try {
      c.raise();
      FAIL() << "no throw";
    } catch (const Error &e) {
      EXPECT_EQ(e.message(), kHeader + c.expected);
    }
  }
}

void inner() {
  VELTA_TRACE_BEGIN
  throw ErrorRunTime("inner", "boom");
  VELTA_TRACE_END("inner")
}
void silent() { inner(); }
void middle() {
  VELTA_TRACE_BEGIN
  silent();
  VELTA_TRACE_END("Ns::middle")
}
void outer() {
  VELTA_TRACE_BEGIN
  middle();
  VELTA_TRACE_END("outer")
}

TEST(Error, TraceIsInnermostFirstAndKeepsTheClass) {
  try {
    outer();
    FAIL();
  } catch (Error &e) {
    EXPECT_EQ(e.message(), "Error was thrown by function: inner\n"
                           "Generic Run-Time error: boom\n"
                           "Called from function: inner\n"
                           "Called from function: Ns::middle\n"
                           "Called from function: outer\n");
  }
  EXPECT_THROW(outer(), ErrorRunTime);
}

} // namespace
