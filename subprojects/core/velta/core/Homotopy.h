#pragma once
// A homotopy: moves the quantities of a HomotopyInput in equal steps from
// their start to their end values (taken as SI values), calculating the
// model at every point from the solution of the previous one, and stops at
// the first point whose calculation ends with errors after restoring the
// quantities of the last good point.

#include "velta/core/HomotopyInput.h"
#include "velta/utility/Diagnostic.h"

class Model;

class Homotopy : public HomotopyInput, public Diagnostic {
public:
  explicit Homotopy(HomotopyInput input);
  ~Homotopy() override;

  void setModel(Model *model) { model_ = model; }
  // Raises an Error on failure; a point that ends with errors is no failure
  // of the run (see failedPoint).
  void execute();
  // The point at which the last run stopped with errors, or -1.
  int failedPoint() const { return failedPoint_; }

private:
  Model *model_ = nullptr;
  int failedPoint_ = -1;
};
