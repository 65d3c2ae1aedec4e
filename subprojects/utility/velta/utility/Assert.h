#pragma once
// Fatal assertions for broken internal invariants. Active in every build type
// (never compiled out by NDEBUG); they must not be reachable from user input
// or stored data, where an Error is thrown instead.

[[noreturn]] void veltaAssertionFailed(const char *expression, const char *file, int line);

// Fails with the given expression text, naming this source file and line.
#define VELTA_ASSERT(condition)                                                                    \
  ((condition) ? static_cast<void>(0) : veltaAssertionFailed(#condition, __FILE__, __LINE__))

// Fails with an explicit expression text, source file name and line, for
// assertions whose report text is fixed independently of where the code sits.
#define VELTA_ASSERT_AS(condition, expression, file, line)                                         \
  ((condition) ? static_cast<void>(0) : veltaAssertionFailed(expression, file, line))
