#include "velta/core/EdgeBase.h"

#include "velta/utility/Diagnostic.h"

// The model base is virtual and built by the most derived class; this
// constructor only needs the persistency connection.
EdgeBase::EdgeBase(Defaults, int, Persistency *persistency, Node *, Node *)
    : fromTAG("fromTAG", "Tag of source Vertex", "source", nullptr),
      toTAG("toTAG", "Tag of destination Vertex", "sink", nullptr),
      fromPort("fromPort", "Tag of port description for source", "out", nullptr),
      toPort("toPort", "Tag of port description for destination", "in", nullptr),
      cutsource("cutsource", "TAG of source of cut stream", "", nullptr),
      cutdest("cutdest", "TAG of dest of cut stream", "", nullptr) {
  VELTA_LOG(verbosity(), 1, "EdgeBase::EdgeBase", "Entered");
  addVariable(fromTAG);
  addVariable(toTAG);
  addVariable(fromPort);
  addVariable(toPort);
  addVariable(cutsource);
  addVariable(cutdest);
  retrieveIntegersAndStrings(persistency);
  VELTA_LOG(verbosity(), 2, "EdgeBase::EdgeBase", "Done");
}

EdgeBase::~EdgeBase() = default;

void EdgeBase::foldDerivatives() {
  if (currentDerivativeContext().foldingThreshold() > 0)
    forEachQuantityValue([](Value &value) { value.activeValue().foldDerivatives(); });
}

std::string EdgeBase::lineColor() const { return "blue"; }

double EdgeBase::lineWidth() const { return 2.0; }
