#pragma once
// The simple mass-balance streams: phases with mass balances only (no
// properties, no equilibrium); the flash solves T and P alone. Each
// component goes by its nature to one phase: a solid component to the
// solid phase, a component whose critical temperature is below 298.15 K to
// the vapour phase, every other component to the liquid phase, and a
// component for which the stream has no phase of its kind to the first
// phase. The stream's balance is on a mass basis ("flowoption" Mw or M).
//
// StreamBaseSimple holds the routing; StreamSimple<nV,nL,nS> adds the flash
// and builds nV vapour ("Vphase[i]"), nL liquid ("Lphase[i]") and nS solid
// ("Sphase[i]") phases beside the total phase "Tphase" (PhaseSimpleTotal,
// not among the member phases). The instances are StreamSimpleVapor <1,0,0>,
// StreamSimpleLiquid <0,1,0>, StreamSimpleSolid <0,0,1>,
// StreamSimpleLiquidSolid <0,1,1> and StreamSimpleLiquidSolidVapor <1,1,1>.

#include "velta/streams/Flash.h"
#include "velta/streams/Stream.h"

#include <memory>
#include <vector>

class StreamBaseSimple : public Stream {
public:
  StreamBaseSimple(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~StreamBaseSimple() override;

  MassBalanceMode representation() const override { return MassBalanceMode::Mw; }
  // Routes the total phase's component flows to the phases, completes their
  // balances and fractions (their mass shares), then Stream::updateFlash.
  void updateFlash() override;

  // The home PhaseIndex of every component of the list (solid1, vapor or
  // liquid1), shared by every simple stream and rebuilt by each.
  static std::vector<int> componentPhase_;
};

template <int nV, int nL, int nS> class StreamSimple : public StreamBaseSimple, public Flash {
public:
  StreamSimple(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~StreamSimple() override;

  Stream &assign(const Stream &other) override;
  Stream &assignFrom(const Stream &other) override;
  std::unique_ptr<Node> clone() const override;
  ObjectiveNleAd *objectiveFunction() override { return this; }
  int calculateResidualsEquilibrium(std::vector<Value> &, unsigned) override { return 0; }

  // The registered type name of the instance.
  static const char *typeName();
};

template <> const char *StreamSimple<1, 1, 1>::typeName();
template <> const char *StreamSimple<1, 0, 0>::typeName();
template <> const char *StreamSimple<0, 1, 1>::typeName();
template <> const char *StreamSimple<0, 1, 0>::typeName();
template <> const char *StreamSimple<0, 0, 1>::typeName();

extern template class StreamSimple<1, 1, 1>;
extern template class StreamSimple<1, 0, 0>;
extern template class StreamSimple<0, 1, 1>;
extern template class StreamSimple<0, 1, 0>;
extern template class StreamSimple<0, 0, 1>;
