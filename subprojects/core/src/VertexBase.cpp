#include "velta/core/VertexBase.h"

#include "velta/components/ListComponents.h"
#include "velta/core/BalanceCheck.h"
#include "velta/core/EdgeBase.h"
#include "velta/persistency/Icon.h"
#include "velta/utility/Assert.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"


// The model base is virtual and built by the most derived class; this
// constructor only needs the persistency connection.
VertexBase::VertexBase(Defaults, int, Persistency *persistency, Node *, Node *)
    : cmdot("cmdot", "Cumulative mass flow inlet minus outlet", 1.0, "kg/s", nullptr),
      mdotin("mdotin", "inlet mass flow", 1.0, "kg/s", nullptr),
      mdotout("mdotout", "outlet mass flow", 1.0, "kg/s", nullptr),
      cduty("cduty", "Cumulative enthalpy flow inlet minus outlet", 1.0, "W", nullptr) {
  VELTA_LOG(verbosity(), 1, "VertexBase::VertexBase", "Entered");
  if (NCOMPONENTS <= 0)
    throw ErrorRunTime("VertexBase::VertexBase", "no components defined");
  addVariable(cmdot);
  addVariable(mdotin);
  addVariable(mdotout);
  addVariable(cduty);
  addComponentVector(mdotcomps, "mdotcomps", "mass flow", Value(0.0, "kg/h"));
  cmdot.setOutput();
  cduty.setOutput();
  retrieveIntegersAndStrings(persistency);
  VELTA_LOG(verbosity(), 2, "VertexBase::VertexBase", "Done");
}

VertexBase::~VertexBase() = default;

void VertexBase::attach(EdgeBase *edge, const std::string &port) {
  VELTA_ASSERT(edge != nullptr);
  VELTA_LOG(verbosity(), 1, "VertexBase::attach",
            "Entered to connect " << edge->tag() << " to port = " << port << " of " << tag());
  ports_.attach(edge->tag(), port, tag());
  VELTA_LOG(verbosity(), 2, "VertexBase::attach", "Done");
}

void VertexBase::detach(std::string port) {
  VELTA_LOG(verbosity(), 1, "VertexBase::detach", "Entered with " << id() << " and port = " << port);
  const auto logConnections = [this](const char *heading) {
    VELTA_LOG(verbosity(), 2, "VertexBase::detach", heading);
    for (const auto &[edgeTag, portName] : ports_.connections())
      VELTA_LOG(verbosity(), 2, "VertexBase::detach", "[" << edgeTag << ", " << portName << "]");
  };
  logConnections("Ports before:");
  ports_.detach(port, tag());
  logConnections("Ports after:");
  VELTA_LOG(verbosity(), 2, "VertexBase::detach", "Done");
}

std::string VertexBase::edgeFromPort(const std::string &port) const {
  return ports_.edgeFromPort(port, tag());
}

std::string VertexBase::portFromEdge(const std::string &edgeTag) const {
  return ports_.portFromEdge(edgeTag, tag());
}

int VertexBase::locationFromEdge(std::string edgeTag) {
  VELTA_LOG(verbosity(), 1, "VertexBase::locationFromEdge",
            "Entered for " << fullTag() << " with id = " << id() << " for edge " << edgeTag);
  const std::optional<std::string> port = ports_.findPort(edgeTag);
  for (const auto &[connectedEdge, portName] : ports_.connections())
    VELTA_LOG(verbosity(), 2, "VertexBase::locationFromEdge",
              "edge[" << connectedEdge << "] - port[" << portName << "]");
  if (!port)
    throw ErrorConnectivity("VertexBase::locationFromEdge", tag().c_str(), "Edge not connected");
  return locationFromPort(*port);
}

int VertexBase::locationFromPort(std::string port) { return PortTable::defaultLocation(port); }

void VertexBase::registerSynonym(std::string synonym, std::string port) {
  VELTA_LOG(verbosity(), 1, "VertexBase::registerSynonym",
            "Entered with " << id() << " and synonym = " << synonym << " port = " << port);
  ports_.registerSynonym(synonym, port, tag());
}

void VertexBase::translate(std::string &name) {
  VELTA_LOG(verbosity(), 1, "VertexBase::translate", "Entered with " << id() << " and s = " << name);
  if (ports_.translate(name))
    VELTA_LOG(verbosity(), 2, "VertexBase::translate", "Translated to = " << name);
}

void VertexBase::resetBalances() {
  cmdot.setZero();
  mdotin.setZero();
  mdotout.setZero();
  for (Quantity &flow : mdotcomps)
    flow.setZero();
  cduty.setZero();
}

void VertexBase::checkBalance() {
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, "VertexBase::checkBalance", "Entered for " << fullTag());
  calculateBalance();

  const Value massSource = massBalance();
  VELTA_LOG(verbosity(), 2, "VertexBase::checkBalance", "cmdot = " << cmdot);
  VELTA_LOG(verbosity(), 2, "VertexBase::checkBalance", "mdotin = " << mdotin);
  VELTA_LOG(verbosity(), 2, "VertexBase::checkBalance", "mdotout = " << mdotout);
  VELTA_LOG(verbosity(), 2, "VertexBase::checkBalance", "massBalance = " << massSource);
  switch (massBalanceVerdict(cmdot, massSource, mdotin, mdotout)) {
  case BalanceVerdict::error:
    setError("mass flow unbalance");
    break;
  case BalanceVerdict::warning:
    setWarning("mass flow unbalance");
    break;
  case BalanceVerdict::balanced:
    break;
  }

  const Value energySource = energyBalance();
  VELTA_LOG(verbosity(), 2, "VertexBase::checkBalance", "cduty = " << cduty);
  VELTA_LOG(verbosity(), 2, "VertexBase::checkBalance", "energyBalance = " << energySource);
  switch (energyBalanceVerdict(cduty, energySource)) {
  case BalanceVerdict::error:
    setError("energy flow unbalance");
    break;
  case BalanceVerdict::warning:
    setWarning("energy flow unbalance");
    break;
  case BalanceVerdict::balanced:
    break;
  }
  VELTA_LOG(verbosity(), 2, "VertexBase::checkBalance", "Done");
  VELTA_TRACE_END("VertexBase::checkBalance")
}

Value VertexBase::massBalance() {
  VELTA_LOG(verbosity(), 1, "VertexBase::massBalance", "Entered for " << fullTag());
  return Value(0.0, "kg/s");
}

Value VertexBase::energyBalance() {
  VELTA_LOG(verbosity(), 1, "VertexBase::energyBalance", "Entered for " << fullTag());
  return Value(0.0, "W");
}

void VertexBase::printSvg(const char *fileName, bool tiny, bool, unsigned) const {
  writeSvgIcon("VertexBase::printSvg", fileName, icon(), tiny);
}
