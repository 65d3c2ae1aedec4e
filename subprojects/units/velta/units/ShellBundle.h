#pragma once
// The shell side of a segmental-baffle shell-and-tube exchanger as both
// shell-side models see it: the tube bundle spread evenly over the shell
// cross-section in a staggered layout, its cross-flow zones and windows,
// and the shell-side pressure drop by the cross-flow method of Gaddis and
// Gnielinski with bypass and leakage corrections, end zones, windows (pipe
// friction over their hydraulic diameter) and the inlet nozzle.
//
// A bundle too dense for cross flow and a window without flow area are
// clamped to 1 % of the shell diameter and of the shell cross-section; the
// flags say so, and the calling model records the message.

#include "velta/value/Value.h"

struct ShellBundle {
  // N tubes of diameter de and length L in a shell of diameter D with b
  // segmental baffles cut at the fraction c.
  ShellBundle(const Value &N, const Value &de, const Value &L, const Value &D, const Value &b,
              const Value &c);

  Value As;    // shell cross-section
  Value td;    // tubes per unit of shell cross-section
  Value phi;   // half-angle of the baffle-cut chord
  Value chord; // length of the baffle edge
  Value nr;    // tube rows crossed in one cross-flow zone
  Value S;     // baffle spacing
  Value Lt;    // free width for cross flow
  Value pitch; // equivalent tube pitch
  Value gap;   // pitch minus tube diameter
  Value pa;    // transverse pitch ratio (at least 0.851)
  Value pb;    // longitudinal pitch ratio
  Value Ae;    // cross-flow area
  Value Awg;   // gross window area
  Value Nw;    // tubes in one window
  Value Awr;   // window area taken by its tubes
  Value Aw;    // window flow area
  Value Uw;    // wetted perimeter of a window
  Value dg;    // hydraulic diameter of a window
  bool freeLengthClamped = false;
  bool windowClamped = false;

  struct PressureDrop {
    Value we, Re, Fal, zetal, Fat, zetat, zeta, deltaPc0, fB, nre, deltaPe0, deltaPe;
    Value wp, ww, Rew, zetaw, deltaPw, deltaPn;
    Value Asmu, Asru, rm, rl, r, fL, deltaPc, total;
  };
  // The drop of a fluid of volume flow vdot, density rho and viscosity mu
  // (half of vdot stands for the mean flow along the shell), with ns
  // sealing-strip pairs, the roughness eps and the inlet nozzle d1. The
  // tube-to-baffle leakage counts every tube through a baffle.
  PressureDrop pressureDrop(const Value &vdot, const Value &rho, const Value &mu,
                            const Value &ns, const Value &eps, const Value &d1) const;

private:
  Value N_, de_, D_, b_, c_;
};
