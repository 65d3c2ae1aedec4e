#pragma once
// How a fluid moves through a rectangular grid of NX x NY cells (multi-pass
// arrangements): the direction in which the fluid leaves every cell, which
// cells are fed from outside the grid (inlets) and which discharge out of it
// (outlets).
//
// Grid coordinates: i is the column, 0 .. NX - 1 from left to right; j is the
// row, 0 .. NY - 1 from top to bottom. "up" moves to row j - 1, "down" to row
// j + 1, "left" to column i - 1, "right" to column i + 1.

#include "velta/utility/FlowPatternRegistry.h"
#include "velta/utility/SharedEnumerations.h"

#include <memory>
#include <string>

class FlowPattern {
public:
  using Direction = Velta::Utility::Direction;

  virtual ~FlowPattern() = default;

  virtual int nInlets() const = 0;
  virtual int nOutlets() const = 0;
  // Direction of the flow leaving cell (i, j); a cell outside the grid is a
  // broken invariant.
  virtual Direction direction(int i, int j) const = 0;
  // isInlet and isOutlet check no bounds.
  virtual bool isInlet(int i, int j) const = 0;
  virtual bool isOutlet(int i, int j) const = 0;

protected:
  // Fails the assertions "i >= 0", "j >= 0", "i < Nx_", "j < Ny_" in turn.
  static void checkCell(int i, int j, int nx, int ny);
};

// Adds a creator to the process-wide registry. A name already present throws
// ErrorObjectFactory ("Unsupported type: " + name).
void registerFlowPattern(const std::string &name, FlowPatternCreator creator);

// A new pattern of a registered name, such as "FlowPatternUp<2,1>" or
// "FlowPatternSpiralRight96". An unregistered name throws ErrorObjectFactory
// from "createFlowPattern".
std::unique_ptr<FlowPattern> createFlowPattern(const std::string &name);
