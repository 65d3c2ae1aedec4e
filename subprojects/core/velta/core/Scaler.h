#pragma once
// Maps one unknown between its model value x (SI units) and the value X on
// which the Newton solver iterates. Each mode maps the model interval
// [xmin, xmax] onto the solver interval [ymin, ymax] in its own way; the
// bounded modes keep every solver value inside the model interval, the power
// and log modes even out quantities spanning decades.

#include "velta/utility/SharedEnumerations.h"

#include <string>

class Scaler {
public:
  using ScalingMode = Velta::Utility::ScalingMode;

  Scaler(const ScalingMode &mode, double xmin, double xmax, double ymin, double ymax);

  // Stores the interval and mode, checks them and derives the mode's
  // parameters; throws ErrorScaler or ErrorSmartEnum from "Scaler::setup".
  // The bounds stay stored even when a check fails.
  void setup(const ScalingMode &mode, double xmin, double xmax, double ymin, double ymax);

  double X(double x) const;  // model value to solver value
  double x(double X) const;  // solver value to model value
  double dX(double x) const; // dX/dx at model value x
  double dx(double X) const; // dx/dX at solver value X

  std::string modeName() const;

  int mode() const { return mode_; }
  double xmin() const { return xmin_; }
  double xmax() const { return xmax_; }
  double ymin() const { return ymin_; }
  double ymax() const { return ymax_; }
  double k() const { return k_; }

private:
  double dXArctangentPower(double x) const;

  int mode_ = 0;
  double xmin_ = 0.0;
  double xmax_ = 0.0;
  double ymin_ = 0.0;
  double ymax_ = 0.0;
  double k_ = 0.0;
  double kinv_ = 0.0;
  double p_ = 0.0;
  double xmid_ = 0.0;
  double ymid_ = 0.0;
  double Dx_ = 0.0;
  double Dy_ = 0.0;
};
