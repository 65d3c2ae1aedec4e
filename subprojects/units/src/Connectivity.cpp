#include "velta/units/Connectivity.h"

#include "velta/components/ListComponents.h"
#include "velta/core/EdgeBase.h"
#include "velta/core/MyCast.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/streams/Stream.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

#include <cerrno>
#include <cstdlib>

Connectivity::Connectivity(Defaults, int, Persistency *persistency)
    : nIn("nIn", "Number of connected inlet EdgeBases", 0, nullptr),
      nOut("nOut", "Number of connected outlet EdgeBases", 0, nullptr),
      maxNIn("maxNIn", "Maximum number of connected inlet EdgeBases or -1 for unlimited", -1,
             nullptr),
      maxNOut("maxNOut", "Maximum number of connected outlet EdgeBases or -1 for unlimited", -1,
              nullptr),
      constraints("constraints", "Used internally to persist connectivity constraints", "",
                  nullptr) {
  VELTA_LOG(verbosity(), 1, "Connectivity::Connectivity", "Entered");
  addVariable(maxNIn);
  addVariable(maxNOut);
  addVariable(constraints);
  retrieveIntegersAndStrings(persistency);
  VELTA_LOG(verbosity(), 2, "Connectivity::Connectivity", "Done");
}

Connectivity::~Connectivity() = default;

// ---------------------------------------------------------------- slots

std::string Connectivity::portInlet(int n) {
  if (n <= 0)
    throw ErrorConnectivity("Connectivity::portInlet", "", "index out of range");
  return "in" + std::to_string(n);
}

std::string Connectivity::portOutlet(int n) {
  if (n <= 0)
    throw ErrorConnectivity("Connectivity::portOutlet", "", "index out of range");
  return "out" + std::to_string(n);
}

int Connectivity::parse_int(const std::string &text, const std::string &tag) {
  const char *begin = text.c_str();
  char *end = nullptr;
  errno = 0;
  const long value = std::strtol(begin, &end, 10);
  if (*end != '\0' || errno == ERANGE)
    throw ErrorConnectivity("parse_int", tag.c_str(), ("Unparseable port [" + text + "]").c_str());
  if (value >= 1 && value <= 1000000)
    return static_cast<int>(value - 1);
  throw ErrorConnectivity("parse_int", tag.c_str(),
                          ("Invalid port [" + std::to_string(value - 1) + "]").c_str());
}

EdgeBase *Connectivity::inlet(unsigned i) const {
  if (maxNIn.value() >= 0 && i >= static_cast<unsigned>(maxNIn.value()))
    throw ErrorConnectivity("Connectivity::inlet", tag().c_str(), "inlet index out of range");
  if (!inletConnected(i))
    throw ErrorConnectivity("Connectivity::inlet", tag().c_str(), "the inlet is not connected");
  return inlets_[i];
}

EdgeBase *Connectivity::outlet(unsigned i) const {
  if (maxNOut.value() >= 0 && i >= static_cast<unsigned>(maxNOut.value()))
    throw ErrorConnectivity("Connectivity::outlet", tag().c_str(), "outlet index out of range");
  if (!outletConnected(i))
    throw ErrorConnectivity("Connectivity::outlet", tag().c_str(), "the outlet is not connected");
  return outlets_[i];
}

bool Connectivity::inletConnected(unsigned i) const {
  return i < inlets_.size() && inlets_[i] != nullptr;
}

bool Connectivity::outletConnected(unsigned i) const {
  return i < outlets_.size() && outlets_[i] != nullptr;
}

void Connectivity::inletRequired(unsigned i) {
  if (maxNIn.value() >= 0 && i >= static_cast<unsigned>(maxNIn.value()))
    throw ErrorConnectivity("Connectivity::inletRequired", tag().c_str(), "index out of range");
  std::string marks = constraints.value();
  if (marks.size() < i + 1)
    marks.resize(i + 1, ' ');
  marks[i] = 'R';
  constraints = marks;
}

std::vector<Node *> Connectivity::connectedInlets() const {
  std::vector<Node *> connected;
  for (EdgeBase *edge : inlets_)
    if (edge)
      connected.push_back(edge);
  return connected;
}

Stream *Connectivity::inletStream(unsigned i, const char *caller) const {
  return my_cast<Stream *>(inlet(i), caller);
}

Stream *Connectivity::outletStream(unsigned i, const char *caller) const {
  return my_cast<Stream *>(outlet(i), caller);
}

// ---------------------------------------------------------------- attach

void Connectivity::attachSide(EdgeBase *edge, std::string &port, bool inletSide) {
  const char *const name = "Connectivity::attach";
  const std::string prefix = inletSide ? "in" : "out";
  Integer &count = inletSide ? nIn : nOut;
  const Integer &limit = inletSide ? maxNIn : maxNOut;
  bool &explicitSlots = inletSide ? inletsExplicit_ : outletsExplicit_;
  std::vector<EdgeBase *> &slots = inletSide ? inlets_ : outlets_;
  if (port == prefix) {
    if (limit.value() != -1 && count.value() >= limit.value())
      throw ErrorConnectivity(name, tag().c_str(), type().c_str(), port.c_str());
    if (explicitSlots)
      VELTA_LOG(verbosity(), -1, name,
                "===== Mixing " << prefix << " with " << prefix
                                << "XX mode when connecting to " << tag());
    const unsigned k = static_cast<unsigned>(count.value());
    // An appended edge never replaces one attached by an explicit slot
    // number: it takes the first free slot from its count on.
    unsigned slot = k;
    while (slot < slots.size() && slots[slot] != nullptr)
      ++slot;
    const std::string numbered = inletSide ? portInlet(static_cast<int>(slot) + 1)
                                           : portOutlet(static_cast<int>(slot) + 1);
    count += 1;
    if (slots.size() < slot + 1)
      slots.resize(slot + 1, nullptr);
    slots[slot] = edge;
    port = numbered;
    return;
  }
  const int k = parse_int(port.substr(prefix.size()), tag());
  if (limit.value() >= 0 && k >= limit.value())
    throw ErrorConnectivity(name, tag().c_str(),
                            ("Invalid port [" + std::to_string(k) + "]").c_str());
  const auto slot = static_cast<std::size_t>(k);
  if (slot < slots.size() && slots[slot] != nullptr)
    throw ErrorConnectivity(name, tag().c_str(),
                            ("Port [" + std::to_string(k) + "]  already in use").c_str());
  explicitSlots = true;
  if (slots.size() < slot + 1)
    slots.resize(slot + 1, nullptr);
  slots[slot] = edge;
  count += 1;
}

void Connectivity::attach(EdgeBase *edge, std::string &port) {
  static const char *const name = "Connectivity::attach";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag() << " with port = " << port);
  if (port.rfind("in", 0) == 0)
    attachSide(edge, port, true);
  else if (port.rfind("out", 0) == 0)
    attachSide(edge, port, false);
  else
    throw ErrorConnectivity(name, tag().c_str(), type().c_str(), port.c_str());
  VertexBase::attach(edge, port);
  VELTA_TRACE_END(name)
}

void Connectivity::attach(EdgeBase *edge, const std::string &port) {
  std::string rewritten = port;
  attach(edge, rewritten);
}

void Connectivity::detach(std::string port) {
  static const char *const name = "Connectivity::detach";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag() << " with port = " << port);
  const bool inletSide = port.rfind("in", 0) == 0;
  if (!inletSide && port.rfind("out", 0) != 0)
    throw ErrorConnectivity(name, tag().c_str(), "Impossible to detach from port");
  const int k = parse_int(port.substr(inletSide ? 2 : 3), tag());
  Integer &count = inletSide ? nIn : nOut;
  std::vector<EdgeBase *> &slots = inletSide ? inlets_ : outlets_;
  const auto slot = static_cast<std::size_t>(k);
  if (count.value() < 1 || slot >= slots.size() || slots[slot] == nullptr)
    throw ErrorConnectivity(name, tag().c_str(), "Impossible to detach from port");
  slots[slot] = nullptr;
  count -= 1;
  VertexBase::detach(port);
  VELTA_TRACE_END(name)
}

// ---------------------------------------------------------------- check

bool Connectivity::checkConnections() {
  static const char *const name = "Connectivity::check";
  if (maxNIn.value() != -1 && nIn.value() > maxNIn.value())
    throw ErrorConnectivity(name, tag().c_str(), "too many inlets connected");
  if (maxNOut.value() != -1 && nOut.value() > maxNOut.value())
    throw ErrorConnectivity(name, tag().c_str(), "too many outlets connected");
  const std::string &marks = constraints.value();
  for (std::size_t i = 0; i < marks.size(); ++i)
    if (marks[i] == 'R' && !inletConnected(static_cast<unsigned>(i)))
      throw ErrorConnectivity(
          name, tag().c_str(),
          ("required connection " + portInlet(static_cast<int>(i) + 1)).c_str());
  const bool nested = !isRoot();
  if (nested) {
    const Node &top = *root();
    const auto outside = [&top](const EdgeBase *edge) {
      return edge->id() < top.id() || edge->id() > top.maxId();
    };
    for (std::size_t i = 0; i < inlets_.size() && i < static_cast<std::size_t>(nIn.value()); ++i)
      if (inlets_[i] && outside(inlets_[i]))
        setError("inlet " + tag() + " connected to nonexistent stream");
    for (std::size_t i = 0; i < outlets_.size() && i < static_cast<std::size_t>(nOut.value());
         ++i)
      if (outlets_[i] && outside(outlets_[i]))
        setError("outlet " + tag() + " connected to nonexistent stream");
    if (maxNIn.value() != -1 && nIn.value() < maxNIn.value())
      setWarning("only " + std::to_string(nIn.value()) + " inlets connected, " +
                 std::to_string(maxNIn.value()) + " available");
    if (maxNOut.value() != -1 && nOut.value() < maxNOut.value())
      setWarning("only " + std::to_string(nOut.value()) + " outlets connected, " +
                 std::to_string(maxNOut.value()) + " available");
  }
  const auto gapped = [](const std::vector<EdgeBase *> &slots) {
    bool empty = false;
    for (const EdgeBase *edge : slots) {
      if (!edge)
        empty = true;
      else if (empty)
        return true;
    }
    return false;
  };
  if (gapped(inlets_))
    setWarning("connected inlets are not sequential");
  if (gapped(outlets_))
    setWarning("connected outlets are not sequential");
  if (nested) {
    if (maxNIn.value() == -1 && nIn.value() == 0)
      setWarning("unlimited inlets but there is no inlet connected");
    if (maxNOut.value() == -1 && nOut.value() == 0)
      setWarning("unlimited outlets but there is no outlet connected");
  }
  return false;
}

// ---------------------------------------------------------------- balance

void Connectivity::calculateBalance() {
  static const char *const name = "Connectivity::calculateBalance";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  resetBalances();
  const auto add = [this](EdgeBase *edge, double sign) {
    const Stream *stream = my_cast<const Stream *>(edge, name);
    const Phase::Mass &total = *stream->Tphase;
    for (int i = 0; i < NCOMPONENTS; ++i) {
      const auto k = static_cast<std::size_t>(i);
      if (sign > 0)
        mdotcomps[k] += total.mdotcomps[k];
      else
        mdotcomps[k] -= total.mdotcomps[k];
    }
    (sign > 0 ? mdotin : mdotout) += total.mdot;
    if (const auto *props = dynamic_cast<const Phase::MassMolarProperties *>(&total)) {
      if (sign > 0)
        cduty += total.mdot * props->h;
      else
        cduty -= total.mdot * props->h;
    }
  };
  for (EdgeBase *edge : outlets_) {
    if (!edge)
      continue;
    if (!edge->cutsource.value().empty()) {
      VELTA_LOG(verbosity(), 2, name,
                "Stream " << edge->tag() << " derives from a cut stream, bypass");
      continue;
    }
    add(edge, -1.0);
  }
  for (EdgeBase *edge : inlets_) {
    if (!edge)
      continue;
    if (!edge->cutdest.value().empty()) {
      VELTA_LOG(verbosity(), 2, name,
                "Stream " << edge->tag() << " derives from a cut stream, bypass");
      continue;
    }
    add(edge, 1.0);
  }
  cmdot = mdotin - mdotout;
  VELTA_TRACE_END(name)
}

// ---------------------------------------------------------------- outlets

void prepareOutletFlash(Stream &stream) {
  using Velta::Utility::FlashMode;
  const bool withProperties = dynamic_cast<Phase::MassMolarProperties *>(stream.Tphase);
  stream.setFlash(static_cast<int>(withProperties ? FlashMode::PH : FlashMode::PT));
  stream.estimate(stream.P, stream.T);
  for (Phase::Mass *phase : stream.phases())
    phase->initializeNonPersistents();
  stream.prepare_residuals();
  stream.estimateFlash();
}

void assignPhaseValues(Phase::Mass &to, const Phase::Mass &from) {
  for (const auto &[tag, quantity] : to.quantities()) {
    const auto found = from.quantities().find(tag);
    if (found != from.quantities().end())
      *quantity = *found->second;
  }
}

Value enthalpyFlow(Stream &stream) {
  if (!dynamic_cast<Phase::MassMolarProperties *>(stream.Tphase))
    return Value(0.0, "W");
  return stream.Tphase->mdot * stream.Q("Tphase.h");
}

void emptyPhase(Phase::Mass &phase) {
  const Phase::MassBalanceMode mode = Phase::flowonly(phase.representation());
  phase.clearComposition(mode);
  phase.calculateX(mode);
}
