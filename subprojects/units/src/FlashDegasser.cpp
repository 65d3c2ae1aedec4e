#include "velta/units/FlashDegasser.h"

#include "velta/units/Degasser.h"

#include <utility>

const char *const FlashDegasser::typeName = "FlashDegasser";

namespace {
const FlashDrumSeparator::Kind &degasserKind() {
  static const FlashDrumSeparator::Kind kind{FlashDegasser::typeName, "StreamIdealLiquidVapor", "",
                                             Degasser::typeName, "DEGAS", 0};
  return kind;
}
} // namespace

FlashDegasser::FlashDegasser(Defaults defaults, int id, Persistency *persistency, Node *parent,
                             Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      FlashDrumSeparator(defaults, id, persistency, degasserKind()) {
  VELTA_TRACE_BEGIN
  maxNOut = 2;
  inletRequired(0);
  registerSynonym("vapor", "out1");
  registerSynonym("condensate", "out2");
  VELTA_TRACE_END("FlashDegasser::FlashDegasser")
}

FlashDegasser::~FlashDegasser() = default;

// The internal degasser draws its ports by the same rule.
int FlashDegasser::locationFromPort(std::string port) {
  return separator_->locationFromPort(std::move(port));
}

bool FlashDegasser::attachOutlets_() {
  if (!outletConnected(0) || !outletConnected(1)) {
    setError("vapor and condensate outlets must both be connected, nothing to do");
    return false;
  }
  for (unsigned i : {0u, 1u}) {
    std::string port = "out";
    separator_->attach(outlet(i), port);
  }
  return true;
}

void FlashDegasser::revert_() { static_cast<Degasser &>(*separator_).revert(); }
