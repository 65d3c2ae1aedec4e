#include "velta/units/ShellBundle.h"

#include "velta/core/ValueHelpers.h"

#include <algorithm>

namespace {

constexpr double pi = 3.141592653589793;

Value mm(double x) { return Value(x * 1e-3, "m"); }

} // namespace

ShellBundle::ShellBundle(const Value &N, const Value &de, const Value &L, const Value &D,
                         const Value &b, const Value &c)
    : N_(N), de_(de), D_(D), b_(b), c_(c) {
  As = pi * D * D / 4.0;
  td = N / As;
  phi = acos(1.0 - 2.0 * c);
  chord = D * sin(phi);
  const Value Hc = D * (1.0 - 2.0 * c);
  nr = Hc * sqrt(td);
  S = L / (b + 1.0);
  Lt = D * (1.0 - de * sqrt(td));
  const Value LtMin = 0.01 * D;
  if (Lt < LtMin)
    Lt = LtMin;
  freeLengthClamped = Lt.value() <= 1.0001 * LtMin.value();
  pitch = 1.0 / sqrt(td);
  gap = pitch - de;
  pa = 1.0 + gap / de;
  if (pa < Value(0.851))
    pa = Value(0.851);
  pb = sqrt(2.0 * pa + 1.0) / 2.0;
  Ae = S * Lt;
  Awg = D * D * phi / 4.0 - D * D * sin(phi) * (0.5 - c) / 2.0;
  Nw = Awg * td;
  Awr = Nw * pi * de * de / 4.0;
  Aw = Awg - Awr;
  const Value AwMin = 0.01 * pi * D * D / 4.0;
  if (Aw < AwMin)
    Aw = AwMin;
  windowClamped = Aw.value() <= 1.0001 * AwMin.value();
  Uw = D * sin(phi) + phi * D + pi * de * Nw;
  dg = 4.0 * Aw / Uw;
}

ShellBundle::PressureDrop ShellBundle::pressureDrop(const Value &vdot, const Value &rho,
                                                    const Value &mu, const Value &ns,
                                                    const Value &eps, const Value &d1) const {
  PressureDrop p;
  // Ideal cross flow over one zone.
  p.we = (vdot / 2.0) / Ae;
  p.Re = rho * p.we * de_ / mu;
  p.Fal = 879.645943005142 * ((sqrt(pb) - 0.6) * (sqrt(pb) - 0.6) + 0.75) /
                    ((4.0 * pa * pb - pi) * pow(pa, 1.6));
  p.zetal = p.Fal / p.Re;
  p.Fat = 2.5 + 1.2 / pow(pa - 0.85, 1.08) + 0.4 * pow(pb / pa - 1.0, 3.0) -
                    0.01 * pow(pa / pb - 1.0, 3.0);
  p.zetat = p.Fat / pow(p.Re, 0.25);
  p.zeta = p.zetal + p.zetat * (1.0 - exp(-(p.Re + 200.0) / 1000.0));
  p.deltaPc0 = p.zeta * nr * rho * p.we * p.we / 2.0;
  // Bypass between the bundle and the shell.
  p.fB = Value(1.0);
  if ((ns / nr).value() < 0.5) {
    const double beta = p.Re.value() < 100.0 ? 4.5 : 3.7;
    Value lane = mm(11.0) - gap;
    if (lane.value() < 0.0)
      lane = Value(0.0, "m");
    const Value AB = S * lane;
    p.fB = exp(-beta * (AB / Ae) * (1.0 - curt(2.0 * ns / nr)));
  }
  // End zones: the rows of a cross-flow zone plus those of one window.
  p.nre = D_ * (1.0 - c_) * sqrt(td);
  p.deltaPe0 = p.deltaPc0 * p.nre / nr;
  p.deltaPe = p.deltaPe0 * p.fB;
  // Windows, at the geometric mean of the cross-flow and window velocities.
  p.wp = (vdot / 2.0) / Aw;
  p.ww = sqrt(p.we * p.wp);
  p.Rew = dg * p.ww * rho / mu;
  p.zetaw = frictionFactor(p.Rew, eps / dg);
  p.deltaPw = p.zetaw * (S / 2.0) / dg * rho * p.ww * p.ww / 2.0;
  // Velocity head in the inlet nozzle.
  const Value wn = vdot / (pi * d1 * d1 / 4.0);
  p.deltaPn = rho * wn * wn / 2.0;
  if (b_.value() > 0.0) {
    const Value eSM = mm(4.0);
    const Value eTB = mm(0.5);
    p.Asmu = (pi - phi) * (D_ * D_ - (D_ - eSM) * (D_ - eSM)) / 4.0;
    // Every tube that passes through a baffle leaks through its hole.
    p.Asru = (N_ - Nw) * pi * ((de_ + eTB) * (de_ + eTB) - de_ * de_) / 4.0;
    const Value Asg = p.Asmu + p.Asru;
    p.rm = p.Asmu / Asg;
    p.rl = Asg / Ae;
    p.r = 0.8 - 0.15 * (1.0 + p.rm);
    p.fL = exp(-1.33 * (1.0 + p.rm) * pow(p.rl, p.r));
    p.deltaPc = p.deltaPc0 * p.fL * p.fB;
    p.total = (b_ - 1.0) * p.deltaPc + 2.0 * p.deltaPe + b_ * p.deltaPw + p.deltaPn;
  } else {
    p.total = 2.0 * p.deltaPe + p.deltaPw + p.deltaPn;
  }
  return p;
}
