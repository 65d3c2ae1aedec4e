#pragma once
// What a total phase needs of the stream that owns it: the member phases
// and the phase fraction that the stream's flash holds for each of them.
// Every stream (velta/streams/Stream.h) implements it and attaches itself
// to its total phase; the phases library sits below the streams library
// and knows the stream only through this interface.

#include "velta/value/Value.h"

#include <vector>

namespace Phase {
class Mass;
}

class StreamInterface {
public:
  virtual ~StreamInterface() = default;

  // The member phases in the order in which the stream added them. The
  // total phase is among them only in a single-phase stream, where it is
  // the one member.
  virtual std::vector<Phase::Mass *> &phases() = 0;
  // The fraction of a member phase (dimensionless, with derivatives, not
  // clipped to [0, 1]), as the stream's flash holds it for the phase's
  // PhaseIndex.
  virtual const Value &phaseFraction(const Phase::Mass &phase) = 0;
};
