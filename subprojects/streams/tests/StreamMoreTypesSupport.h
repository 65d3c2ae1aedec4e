#pragma once
// Test support of the water-steam, fluid-solid, solid-bearing two-phase and
// tabular streams: streams created by type or alias name.

#include "StreamTwoTestSupport.h"

#include "velta/streams/StreamIapwsLiquidVapor.h"
#include "velta/streams/StreamOneSolid.h"
#include "velta/streams/StreamTabular.h"
#include "velta/streams/StreamTwoSolid.h"

namespace streammoretest {

using namespace streamtwotest;

// The library registers these stream types with the others.
inline void registerMoreStreamTypes() { registerStreamTypes(); }

// A stream created by type or alias name.
template <class S>
std::unique_ptr<S> makeNamed(const std::string &type,
                             const Defaults &options = Defaults("S01", "test stream")) {
  registerMoreStreamTypes();
  std::unique_ptr<Node> node = NodeFactory().create(type, options, 0, nullptr, nullptr, nullptr);
  return std::unique_ptr<S>(dynamic_cast<S *>(node.release()));
}

} // namespace streammoretest
