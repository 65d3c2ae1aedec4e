#include "velta/units/FlashSplitter.h"

#include "velta/core/PortTable.h"
#include "velta/streams/Stream.h"
#include "velta/units/Splitter.h"
#include "velta/utility/SharedEnumerations.h"

const char *const FlashSplitter::typeName = "FlashSplitter";

namespace {
const FlashDrumSeparator::Kind &splitterKind() {
  static const FlashDrumSeparator::Kind kind{FlashSplitter::typeName, "StreamIdealLiquidSolid",
                                             "STREAM", Splitter::typeName, "SPLIT", 1};
  return kind;
}
} // namespace

FlashSplitter::FlashSplitter(Defaults defaults, int id, Persistency *persistency, Node *parent,
                             Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      FlashDrumSeparator(defaults, id, persistency, splitterKind()) {
  VELTA_TRACE_BEGIN
  for (int i = 0; i < stream_->nphases(); ++i)
    registerSynonym(Velta::Utility::phaseIndexName(stream_->phaseIndex(i)), portOutlet(i + 1));
  VELTA_TRACE_END("FlashSplitter::FlashSplitter")
}

FlashSplitter::~FlashSplitter() = default;

int FlashSplitter::locationFromPort(std::string port) {
  if (port == "out1")
    return PortTable::north;
  if (port.rfind("out", 0) == 0)
    return PortTable::south;
  return PortTable::west;
}

bool FlashSplitter::attachOutlets_() {
  for (std::size_t i = 0; i < outlets_.size(); ++i)
    if (outlets_[i]) {
      std::string port = "out";
      separator_->attach(outlets_[i], port);
    }
  return true;
}

void FlashSplitter::revert_() { static_cast<Splitter &>(*separator_).revert(); }
