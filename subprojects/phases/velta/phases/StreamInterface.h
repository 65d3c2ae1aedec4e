#pragma once
// What a total phase needs of the stream that owns it: the member phases
// and the phase fraction that the stream's flash holds for each of them.
// Streams implement it and attach themselves to their total phase.

#include "velta/value/Value.h"

#include <vector>

namespace Phase {
class Mass;
}

class StreamInterface {
public:
  virtual ~StreamInterface() = default;

  // The member phases in the order in which the stream added them; the
  // total phase is not among them.
  virtual std::vector<Phase::Mass *> phases() = 0;
  // The fraction of a member phase (dimensionless, with derivatives, not
  // clipped to [0, 1]).
  virtual Value &fraction(const Phase::Mass &phase) = 0;
};
