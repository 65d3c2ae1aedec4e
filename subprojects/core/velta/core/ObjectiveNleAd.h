#pragma once
// Scaled equation systems. ObjectiveNleAd is the automatic objective with one
// Scaler per unknown: the solver iterates on scaled values X, the model sees
// x = Scaler::x(X), and the Jacobian is taken with respect to X. Composite
// systems merge the unknowns of other systems (addObjectiveFunction) and let
// each merged system write its block of residuals at its start index.
//
// ObjectiveNleAdVertex is the base of units: the unit computes its residuals
// locally and registers its unknowns once in setup_of, so that its system can
// be stacked into a flowsheet's. ObjectiveNleAdFlowsheet is the flowsheets'.

#include "velta/core/ObjectiveNleAuto.h"
#include "velta/core/Scaler.h"

#include <string>
#include <vector>

class ObjectiveNleAd : public ObjectiveNleAuto {
public:
  explicit ObjectiveNleAd(std::string name);

  void operator()(double *X, double *y, Jacobian *J) override;
  void scalex(double *X) override;
  // X is turned into model values in place, stored in the model, and the
  // residuals are recomputed there.
  void unscalex(double *X) override;
  void prepare_(double *X, Jacobian *J) override;
  unsigned size() const override;

  // Registers p with a copy of s; returns the new size.
  unsigned addUnknown(Value *p, const Scaler &s, const std::string &tag);
  using ObjectiveNleAuto::setUnknown;
  void setUnknown(unsigned i, Value *p, const Scaler &s, const std::string &tag);
  // Appends the unknowns of other (with copies of its scalers, tagged
  // other's name + "/" + tag). Only unknowns are merged: this system's
  // residual code must call other's calculateResiduals at the matching start.
  void addObjectiveFunction(const ObjectiveNleAd &other);

  const Scaler &scaler(unsigned i) const { return scaler_[i]; }

  // Wall-clock seconds spent so far seeding the unknowns and building
  // Jacobians from the residuals' derivatives (not in the residuals).
  double assemblySeconds() const { return assemblySeconds_; }

protected:
  // Called once the Jacobian is assembled, when the evaluation folded
  // numbers into intermediates: a model that folds clears the lists that
  // refer to them, which mean nothing to later evaluations.
  virtual void releaseIntermediates() {}
  // Residual values into y and, with J, the chain rule through dx/dX.
  void packResults_(double *X, double *y, Jacobian *J);

  std::vector<Scaler> scaler_;
  double assemblySeconds_ = 0.0;
};

class ObjectiveNleAdVertex : public ObjectiveNleAd {
public:
  explicit ObjectiveNleAdVertex(std::string name);

  void operator()(double *X, double *y, Jacobian *J) override;
  // Unscales X in place and stores it in the model, without recomputing the
  // residuals.
  void unscalex(double *X) override;
  // Copies the local residuals into y[start .. start + n - 1]; returns n.
  unsigned calculateResiduals(std::vector<Value> &y, unsigned start) override;
  // The unit computes its residuals into its own `residuals`, calling the
  // calculateResiduals of the systems it merged at their start indices.
  virtual void calculateResidualsLocal() = 0;
  // The unit registers its unknowns with their scalers and merges the
  // systems it contains; guarded by the set-up flag.
  virtual void setup_of() = 0;

  bool isSetUp() const { return setUp_; }
  void setSetUp(bool setUp) { setUp_ = setUp; }

private:
  bool setUp_ = false;
};

class ObjectiveNleAdFlowsheet : public ObjectiveNleAdVertex {
public:
  explicit ObjectiveNleAdFlowsheet(std::string name);
  ~ObjectiveNleAdFlowsheet() override;
};
