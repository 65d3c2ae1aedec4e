#pragma once
// Test support of the streams: the stream types that the tests create by
// name (registered once, with the names and options of the kernel's
// stream listing), and a fixture with hand-computable components.

#include "TestPhases.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/phases/PhaseTypes.h"
#include "velta/streams/StreamOne.h"

#include <memory>
#include <string>

namespace streamtest {

using namespace phasetest;

void registerStreamTypes();

inline std::unique_ptr<StreamOne> makeStreamOne(const std::string &phaseType,
                                                const std::string &tag = "S01") {
  registerStreamTypes();
  Defaults options(tag, "test stream");
  options.setString("embeddedTypePhase", phaseType);
  std::unique_ptr<Node> node = NodeFactory().create("StreamOne", options, 0, nullptr, nullptr,
                                                    nullptr);
  return std::unique_ptr<StreamOne>(dynamic_cast<StreamOne *>(node.release()));
}

// Sets the stream's total flow (kmol/s) and mole fractions, and T and P.
inline void setFeed(Stream &stream, const std::vector<double> &x, double T, double P,
                    double ndot = 1.0) {
  auto &total = dynamic_cast<Phase::MassMolar &>(*stream.Tphase);
  setComposition(total, x, ndot);
  stream.T = Value(T, "K");
  stream.P = Value(P, "Pa");
}

} // namespace streamtest
