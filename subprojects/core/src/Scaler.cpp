#include "velta/core/Scaler.h"

#include "velta/utility/Error.h"

#include <cmath>

namespace {

// Integer values of the scaling modes.
enum Mode : int {
  noscaling = 1,
  linear = 2,
  power = 3,
  arctangent = 4,
  arctangentExclusive = 5,
  arctangentpower = 6,
  rational = 7,
  logarithmic = 8
};

constexpr double centreWidth = 2.220446049250313e-14; // |X - ymid| or |x - xmid| below: centre
constexpr double centreNudge = 2.220446049250313e-13;

[[noreturn]] void throwUnknownMode(const char *function, int mode) {
  throw ErrorSmartEnum(function, "scaling mode", Velta::Utility::scalingModeName(mode).c_str());
}

void require(bool condition, const char *message) {
  if (!condition)
    throw ErrorScaler("Scaler::setup", message);
}

} // namespace

Scaler::Scaler(const ScalingMode &mode, double xmin, double xmax, double ymin, double ymax) {
  setup(mode, xmin, xmax, ymin, ymax);
}

void Scaler::setup(const ScalingMode &mode, double xmin, double xmax, double ymin, double ymax) {
  mode_ = static_cast<int>(mode);
  xmin_ = xmin;
  xmax_ = xmax;
  ymin_ = ymin;
  ymax_ = ymax;
  xmid_ = (xmin + xmax) * 0.5;
  ymid_ = (ymin + ymax) * 0.5;
  Dx_ = xmax - xmin;
  Dy_ = ymax - ymin;
  require(xmin != xmax, "xmin and xmax must be different");
  require(ymin != ymax, "ymin and ymax must be different");
  switch (mode_) {
  case noscaling:
  case linear:
    break;
  case power:
    require(xmin != 0.0, "xmin must be non-null with Velta::Utility::ScalingMode::power");
    require(xmax != 0.0, "xmax must be non-null with Velta::Utility::ScalingMode::power");
    require(xmin * xmax > 0.0,
            "xmin and xmax must have the same sign with Velta::Utility::ScalingMode::power");
    require(ymin != 0.0, "ymin must be non-null with Velta::Utility::ScalingMode::power");
    require(ymax != 0.0, "ymax must be non-null with Velta::Utility::ScalingMode::power");
    require(ymin * ymax > 0.0,
            "ymin and ymax must have the same sign with Velta::Utility::ScalingMode::power");
    k_ = std::log(ymin / ymax) / std::log(xmin / xmax);
    kinv_ = 1.0 / k_;
    break;
  case arctangent:
    k_ = std::atan(0.5 * Dy_);
    break;
  case arctangentExclusive:
    k_ = 1.5707963267948966;
    break;
  case arctangentpower:
    p_ = 1.5;
    k_ = std::atan(0.5 * Dy_);
    break;
  case rational:
    k_ = Dy_ / 10.0;
    break;
  case logarithmic:
    require(xmin != 0.0, "xmin must be non-null with Velta::Utility::ScalingMode::log");
    require(xmax != 0.0, "xmax must be non-null with Velta::Utility::ScalingMode::log");
    require(xmin * xmax > 0.0,
            "xmin and xmax must have the same sign with Velta::Utility::ScalingMode::log");
    break;
  default:
    throwUnknownMode("Scaler::setup", mode_);
  }
}

std::string Scaler::modeName() const { return Velta::Utility::scalingModeName(mode_); }

double Scaler::X(double x) const {
  switch (mode_) {
  case noscaling:
    return x;
  case linear:
    return (x - xmin_) / Dx_ * Dy_ + ymin_;
  case power:
    return ymax_ * std::pow(x / xmax_, k_);
  case arctangent:
  case arctangentExclusive:
    return std::tan((x - xmid_) * 2.0 / Dx_ * k_) + (0.5 * Dy_ + ymin_);
  case arctangentpower: {
    const double u = 2.0 * std::tan((x - xmid_) * 2.0 / Dx_ * k_) / Dy_;
    if (u > 0.0 || std::isnan(u))
      return (0.5 * Dy_ + ymin_) + std::pow(u, p_) * 0.5 * Dy_;
    return (0.5 * Dy_ + ymin_) - std::pow(-u, p_) * 0.5 * Dy_;
  }
  case rational:
    return (x - xmid_) * k_ / ((x - xmin_) * (xmax_ - x)) + ymid_;
  case logarithmic:
    return std::log(x / xmin_) * (ymax_ - ymin_) / std::log(xmax_ / xmin_) + ymin_;
  default:
    throwUnknownMode("Scaler::X", mode_);
  }
}

double Scaler::x(double X) const {
  switch (mode_) {
  case noscaling:
    return X;
  case linear:
    return (X - ymin_) * Dx_ / Dy_ + xmin_;
  case power:
    return xmax_ * std::pow(X / ymax_, kinv_);
  case arctangent:
  case arctangentExclusive:
    return std::atan(X - ymin_ - 0.5 * Dy_) * Dx_ / k_ * 0.5 + xmid_;
  case arctangentpower: {
    const double v = (X - ymin_ - 0.5 * Dy_) * 2.0 / Dy_;
    double w, D;
    if (v < 0.0) {
      w = std::pow(-v, 1.0 / p_);
      D = -Dy_;
    } else {
      w = std::pow(v, 1.0 / p_);
      D = Dy_;
    }
    return std::atan(w * D * 0.5) * Dx_ / k_ * 0.5 + xmid_;
  }
  case rational: {
    const double d = X - ymid_;
    if (std::fabs(d) < centreWidth)
      return xmid_;
    const double a = k_ / d / Dx_;
    const double s = std::sqrt(a * a + 1.0);
    if (a > 0.0)
      return 0.5 * Dx_ * (s - a) + xmid_;
    return 0.5 * Dx_ * (-a - s) + xmid_;
  }
  case logarithmic: {
    const double l = std::log(xmax_ / xmin_);
    return std::exp(l * X / Dy_ - l * ymin_ / Dy_) * xmin_;
  }
  default:
    throwUnknownMode("Scaler::x", mode_);
  }
}

double Scaler::dXArctangentPower(double x) const {
  if (std::fabs(x - xmid_) < centreWidth)
    x += centreNudge; // the formula is 0/0 at the centre
  const double theta = (x - xmid_) * 2.0 * k_ / Dx_;
  const double c = 1.0 / std::cos(theta);
  const double t = std::tan(theta);
  const double e = t / Dy_;
  const double P = std::pow(2.0, p_);
  if (e < 0.0)
    return std::pow(-e, p_) * (-Dy_ * p_ * P * k_ * c * c) / (t * Dx_);
  return std::pow(e, p_) * (p_ * Dy_ * P * k_ * c * c) / (t * Dx_);
}

double Scaler::dX(double x) const {
  switch (mode_) {
  case noscaling:
    return 1.0;
  case linear:
    return Dy_ / Dx_;
  case power:
    return std::pow(x / xmax_, k_) * k_ * ymax_ / x;
  case arctangent:
  case arctangentExclusive: {
    const double c = std::cos((x - xmid_) * 2.0 * k_ / Dx_);
    return (1.0 / c) * (1.0 / c) * 2.0 * k_ / Dx_;
  }
  case arctangentpower:
    return dXArctangentPower(x);
  case rational: {
    const double q = (x - xmid_) * k_;
    const double m = x - xmin_;
    const double M = xmax_ - x;
    return q / (M * M * m) + k_ / (m * M) - q / (m * M * m);
  }
  case logarithmic:
    return (ymax_ - ymin_) / (std::log(xmax_ / xmin_) * x);
  default:
    throwUnknownMode("Scaler::dX", mode_);
  }
}

double Scaler::dx(double X) const {
  switch (mode_) {
  case noscaling:
    return 1.0;
  case linear:
    return Dx_ / Dy_;
  case power:
    return std::pow(X / ymax_, kinv_) * kinv_ * xmax_ / X;
  case arctangent:
  case arctangentExclusive: {
    const double w = X - 0.5 * Dy_ - ymin_;
    return Dx_ / ((w * w + 1.0) * k_) * 0.5;
  }
  case arctangentpower:
    return 1.0 / dXArctangentPower(x(X));
  case rational: {
    const double d = X - ymid_;
    if (std::fabs(d) < centreWidth)
      return ((4.0 * xmid_ - 4.0 * xmax_) * xmin_ + 4.0 * xmid_ * xmax_ - 4.0 * xmid_ * xmid_) /
             k_ * 0.25;
    const double a = k_ / d / Dx_;
    const double s = std::sqrt(a * a + 1.0);
    return (-k_ / (Dx_ * d * d)) * (std::fabs(a) / s - 1.0) * (0.5 * Dx_);
  }
  case logarithmic: {
    const double l = std::log(xmax_ / xmin_);
    return std::exp(l * X / Dy_ - l * ymin_ / Dy_) * l * xmin_ / Dy_;
  }
  default:
    throwUnknownMode("Scaler::dx", mode_);
  }
}
