#include "velta/flowsheet/Terminator.h"

#include "velta/core/EdgeBase.h"
#include "velta/core/MyCast.h"
#include "velta/flowsheet/FlowSheet.h"
#include "velta/utility/Assert.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

const char *const Terminator::typeName = "Terminator";

Terminator::Terminator(Defaults defaults, int id, Persistency *persistency, Node *parent,
                       Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      Connectivity(defaults, id, persistency) {
  static const char *const name = "Terminator::Terminator";
  setType(typeName);
  VELTA_LOG(verbosity(), 1, name, "Entered");
  if (tag() == "source") {
    maxNIn = 0;
    maxNOut = -1;
  } else if (tag() == "sink") {
    maxNIn = -1;
    maxNOut = 0;
  } else {
    throw ErrorConnectivity(name, tag().c_str(),
                            "invalid tag for Terminator: only source or sink allowed");
  }
  VELTA_LOG(verbosity(), 2, name, "Done");
}

Terminator::~Terminator() = default;

Value Terminator::massBalance() { return mdotin - mdotout; }

Value Terminator::energyBalance() { return cduty; }

void Terminator::go(int mode, int level) {
  static const char *const name = "Terminator::go";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  if (tag() == "source")
    VELTA_ASSERT_AS(inlets_.size() == 0, "inlets_.size() == 0", __FILE__, __LINE__);
  else
    VELTA_ASSERT_AS(outlets_.size() == 0, "outlets_.size() == 0", __FILE__, __LINE__);
  VELTA_ASSERT_AS(parent() != nullptr, "parent() != nullptr", __FILE__, __LINE__);
  VELTA_LOG(verbosity(), 2, name, "outlets = " << outlets_.size() << " nOut = " << nOut.value());
  VELTA_ASSERT_AS(static_cast<long long>(outlets_.size()) == nOut.value(),
                  "equal_unsigned_signed(outlets_.size(), nOut.value())", __FILE__, __LINE__);
  for (EdgeBase *edge : outlets_) {
    if (edge == nullptr)
      continue;
    VELTA_LOG(verbosity(), 2, name, "Processing outlet stream " << edge->fullTag());
    auto *stream = my_cast<Calculatable *>(static_cast<Node *>(edge), name);
    const bool isCut = !edge->cutsource.value().empty();
    VELTA_LOG(verbosity(), 2, name, "stream " << edge->tag() << (isCut ? " is cut" : " is not cut"));
    bool flash = true;
    if (!isCut) {
      auto *flowsheetNode = dynamic_cast<Node *>(parent());
      if (flowsheetNode->isRoot()) {
        VELTA_LOG(verbosity(), 2, name, "not inside flowsheet-in-flowsheet");
      } else {
        VELTA_LOG(verbosity(), 2, name, "inside flowsheet-in-flowsheet");
        auto *flowsheet = dynamic_cast<FlowSheet *>(flowsheetNode);
        if (flowsheet == nullptr ||
            flowsheet->inletConnected(
                static_cast<unsigned>(flowsheet->inletConnection(edge->tag())))) {
          VELTA_LOG(verbosity(), 2, name, "skip flash for stream " << edge->tag());
          flash = false;
        }
      }
    }
    if (flash)
      stream->go(mode, level + 1);
    VELTA_LOG(verbosity(), 2, name, "Processed outlet stream " << edge->tag());
  }
  incrementCalculations();
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}
