// The flash unknowns, residuals and estimates of the stream's
// equation-of-state phases.

#include "velta/streams/Stream.h"

#include "velta/phases/Generic.h"
#include "velta/utility/Error.h"

Phase::Generic *Stream::eosPhase(Phase::Mass *) { return nullptr; }

void Stream::addEosUnknown(Phase::Mass &, std::vector<Value *> &, std::vector<const double *> &,
                           std::vector<const double *> &) {}

int Stream::calculateResidualsEos(std::vector<Value> &, unsigned) {
  VELTA_LOG(streamVerbosity(), 1, "Stream::calculateResidualsEos", "Entered");
  VELTA_LOG(streamVerbosity(), 2, "Stream::calculateResidualsEos", "Done");
  return 0;
}

void Stream::estimateEos(const Value &, const Value &) {
  VELTA_LOG(streamVerbosity(), 1, "Stream::estimateEos", "Entered");
  VELTA_LOG(streamVerbosity(), 2, "Stream::estimateEos", "Done");
}
