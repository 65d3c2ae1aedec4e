#pragma once
// A straight pipe (type "Pipe"): a flash drum with one inlet that computes
// the pressure drop of its inlet along the pipe (PipeBase geometry) and
// flashes the inlet to the outlet with that drop at the drum's duty (0 by
// default: adiabatic), under the option "DH" that it writes on every
// calculation.
//
//   v = inlet volume flow / At, E = v^2 / 2,
//   deltaPfrictional = (vhConcentrated + f L / di) E rho,
//   deltaPgravitational = g h rhoS, deltaP = the sum, tau = L / v.
// With one phase rho is its density, hL 0 for a vapour and 1 otherwise,
// Re = mdot di / (mu At) and f the Darcy friction factor; rhoS = rho.
// With two or more phases the model tpfm ("beggs-brill" or "homogeneous")
// gives rho (the no-slip density of the total phase), Re, f and the holdup
// hL, and the gravity term takes the slip density
// rhoS = rhoL hL + rhoV (1 - hL).
//
// An inlet without flow gives no drop (tau keeps its last value) and the
// drum's warning of an empty inlet. A drop above a tenth of the inlet
// pressure is warned about. A second
// inlet is refused when it is attached; the set-up attaches the embedded
// reactions as the flash drum's does.

#include "velta/units/FlashDrum.h"
#include "velta/units/PipeBase.h"

namespace Phase {
class MassMolarProperties;
}

class Pipe : public FlashDrum, public PipeBase {
public:
  Pipe(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~Pipe() override;

  // --- Model: the flash drum's set-up, the geometry's and the flags of the
  // pipe's results (vhConcentrated is input and output).
  void setup() override;

  // --- VertexBase
  void go(int mode, int level) override;

  static const char *const typeName;

  Quantity v;
  Quantity Re;
  Quantity vhConcentrated;
  Quantity vhDistributed;
  Quantity E;
  Quantity f;
  Quantity rho;
  Quantity deltaPfrictional;
  Quantity deltaPgravitational;
  Quantity tau;
  Quantity hL;
  String tpfm;

private:
  // The two-phase models: rho, Re, f and hL of the inlet; both return the
  // slip density of the gravity term.
  Value homogeneous_(Stream &in);
  Value beggsBrill_(Stream &in);
};
