#pragma once
// The equation system that models use: pointers to the model variables that
// act as unknowns, residuals computed by the model as physical values, and
// the Jacobian by forward automatic differentiation (one direction per
// unknown, unknown i seeded as direction i, column i read off the residuals'
// derivatives in direction i). No scaling: the solver sees model values.

#include "velta/core/ObjectiveNleInterface.h"
#include "velta/value/Value.h"

#include <string>
#include <vector>

class ObjectiveNleAuto : public ObjectiveNleInterface {
public:
  explicit ObjectiveNleAuto(std::string name);

  void operator()(double *x, double *y, Jacobian *J) override;
  void scalex(double *) override {}
  // Stores x in the model and recomputes the residuals there, so that every
  // quantity depending on the unknowns matches the final point.
  void unscalex(double *x) override;
  // Pushes a derivative context and seeds the unknowns when J is not null,
  // then writes x into the unknowns' values (keeping their seeds).
  virtual void prepare_(double *x, Jacobian *J);
  virtual unsigned size() const;
  // The model computes its n residuals into y[start .. start + n - 1] and
  // returns n.
  virtual unsigned calculateResiduals(std::vector<Value> &y, unsigned start) = 0;

  void setUnknown(unsigned i, Value *p, const std::string &tag);
  Value *unknown(unsigned i) const { return xp_[i]; }
  const std::string &unknownTag(unsigned i) const { return tags_[i]; }
  // Sets unknown i from v with Value::set (input flag, unit-checked).
  void setUnknownValue(unsigned i, const Value &v);

  const std::string &name() const { return name_; }
  void setName(std::string name) { name_ = std::move(name); }
  // name := name + "/" + s
  void appendToName(const std::string &s);

  // x[i] := SI value of unknown i. Returns true when some unknown has no
  // variable yet; its x[i] is left unchanged.
  bool init(double *x) const;
  void clearderivatives();
  // Unseeds every unknown (setInactive in its own direction).
  void inactivate();
  void setValues(const double *x);
  // Identity rows: y[start + i] := 0 with the derivatives of unknown i, for
  // models whose own equations are switched off. Returns n.
  unsigned zero_residuals(std::vector<Value> &y, unsigned start);

  // The model's residual equations, written by calculateResiduals.
  std::vector<Value> residuals;

protected:
  void addUnknown(Value *p, const std::string &tag);
  // Copies the residuals into y and, with J, fills J column by column and
  // releases the derivative context pushed by prepare_.
  void packResults_(double *x, double *y, Jacobian *J);

  // Pushes the context of n directions in which prepare_ seeds the unknowns.
  void openDerivativeContext();
  // Unseeds the unknowns and pops that context (normal end of packResults_).
  void closeDerivativeContext(const char *function);
  // The same, only when the context is still open; safe on every exit path,
  // including errors.
  void releaseDerivativeContext();
  // Copies the residual values into y, logging each under function.
  void copyResidualValues(double *y, const char *function) const;

  std::vector<Value *> xp_;

private:
  std::string name_;
  std::vector<std::string> tags_;
  bool contextPushed_ = false;
};
