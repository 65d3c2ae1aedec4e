#pragma once
// The single-phase stream (type "StreamOne"): one phase of the registered
// type named by the string option "embeddedTypePhase", which is at once the
// total phase "Tphase" and the only member phase, flashed by the
// single-phase Flash. The phase must have a property model (a
// Phase::Generic); any other type is refused with ErrorDynamicCast.

#include "velta/persistency/String.h"
#include "velta/streams/Flash.h"
#include "velta/streams/Stream.h"

#include <memory>

namespace Phase {
class Generic;
}

class StreamOne : public Stream, public Flash {
public:
  StreamOne(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~StreamOne() override;

  // --- Stream
  Stream &assign(const Stream &other) override;
  Stream &assignFrom(const Stream &other) override;
  MassBalanceMode representation() const override { return MassBalanceMode::Nx; }

  // --- Model
  std::unique_ptr<Node> clone() const override;
  ObjectiveNleAd *objectiveFunction() override { return this; }

  // --- FlashBase
  // The flash's preparation, the sum of the mole fractions, then the
  // phase's preparation at the flash temperature.
  void prepare_residuals() override;
  int calculateResidualsEquilibrium(std::vector<Value> &, unsigned) override { return 0; }

  String embeddedTypePhase;

protected:
  // The one phase (not owned: the child "Tphase").
  Phase::Generic *phase_ = nullptr;
};
