#pragma once
// A square non-linear system of n residual equations in n unknowns, as the
// solvers see it: residuals (and optionally the Jacobian) at a point, and the
// conversion of the unknowns between model values and solver values.

#include "velta/utility/Diagnostic.h"

class Jacobian;

class ObjectiveNleInterface : public virtual Diagnostic {
public:
  ~ObjectiveNleInterface() override;

  // Residuals y at x (arrays of n doubles owned by the caller); fills J when
  // it is not null.
  virtual void operator()(double *x, double *y, Jacobian *J) = 0;
  // Model values to solver values, in place.
  virtual void scalex(double *x) = 0;
  // Solver values to model values, in place, storing them in the model.
  virtual void unscalex(double *x) = 0;

  // A second verbosity of the system on top of the Diagnostic one.
  void setOwnVerbosity(int verbosity) { ownVerbosity_ = verbosity; }
  int ownVerbosity() const { return ownVerbosity_; }

protected:
  // Local verbosity for the log macros such that a line of level L is written
  // when verbosityGlobal + verbosity() + ownVerbosity() - 3 > L.
  int logVerbosity() const { return verbosity() + ownVerbosity_ - 2; }
  bool logEnabledAt(int level) const { return Velta::Utility::logEnabled(logVerbosity(), level); }

private:
  int ownVerbosity_ = 0;
};
