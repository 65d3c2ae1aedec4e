#pragma once
// Broken invariants of the flowsheet drawing are fatal and name the layout
// as their source, wherever the code sits.

#include "velta/utility/Assert.h"

#define LAYOUT_ASSERT(condition, text)                                                             \
  VELTA_ASSERT_AS(condition, text, "subprojects/flowsheet/src/Layout", __LINE__)
