#pragma once
// The two drawn spiral patterns. In the 6 x 6 pattern two paths run side by
// side: from an inlet at the bottom of column 0 (or 3) up, across the top to
// the next column, down, across the bottom, and up the third column to an
// outlet at its top. The 9 x 6 pattern repeats this for columns 0 to 2 and 3
// to 5; in columns 6 to 8 its last row sends column 7 down out of the grid,
// so that column 8 is a path of its own.

#include "velta/core/FlowPatternAscii.h"

class FlowPatternSpiralRight66 : public FlowPatternAscii<6, 6> {
public:
  FlowPatternSpiralRight66();
};

class FlowPatternSpiralRight96 : public FlowPatternAscii<9, 6> {
public:
  FlowPatternSpiralRight96();
};
