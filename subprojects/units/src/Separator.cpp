#include "velta/units/Separator.h"

#include "velta/components/ListComponents.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/streams/Stream.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

#include <climits>
#include <sstream>

using Velta::Utility::FlashMode;

const char *const Separator::typeName = "Separator";

Separator::Separator(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      Connectivity(defaults, id, persistency), ObjectiveNleAdVertex("Separator"),
      T("T", "Temperature", 298.15, "K", nullptr), P("P", "Pressure", 101325.0, "Pa", nullptr),
      duty("duty", "Duty inlet-outlet", 0.0, "W", nullptr),
      deltaP("deltaP", "Overall pressure drop", 0.0, "Pa", nullptr),
      flowcoefficient("flowcoefficient", "Flow coefficient", 1000.0, "kg/m7", nullptr),
      deltaPMax("deltaPMax", "Maximum allowable pressure drop", 0.0, "Pa", nullptr),
      beta("beta", "Fraction of deltaPmax when the pressure drop limitation logic will start acting",
           Value(0.9), nullptr),
      Tavg("Tavg", "Mass-weighted average inlet temperature", 298.15, "K", nullptr),
      option("option", "Pressure option: {DPKS}", "P", nullptr),
      nOutlets("nOutlets", "The number of outlets", 2, nullptr) {
  static const char *const name = "Separator::Separator";
  VELTA_TRACE_BEGIN
  setType(typeName);
  VELTA_LOG(verbosity(), 1, name, "Entered");
  if (NCOMPONENTS <= 0)
    throw ErrorRunTime(name, "no components defined");
  nOutlets = retrieveInteger(defaults, id, persistency, "nOutlets", 1, INT_MAX, -1);
  const auto n = static_cast<unsigned>(nOutlets.value());
  flows_.resize(static_cast<std::size_t>(NCOMPONENTS));
  fractions_.resize(static_cast<std::size_t>(NCOMPONENTS));
  for (Quantity *q : {&T, &P, &duty, &deltaP, &flowcoefficient, &deltaPMax, &beta, &Tavg})
    addVariable(*q);
  addVariable(option);
  addVariable(nOutlets);
  addVector(outSplitTotal, "outSplitTotal", "Split fraction for all components", n, Value(0.0));
  addVector(deltaPstream, "deltaPstream", "Pressure drop for individual streams", n,
            Value(0.0, "Pa"));
  outSplit.resize(n);
  for (unsigned i = 0; i < n; ++i)
    addComponentVector(outSplit[i], "outSplit[" + std::to_string(i) + "]",
                       "Split to out[" + std::to_string(i) + "]", Value(1.0));
  // The value only: maxNOut keeps its own tag and description.
  maxNOut = nOutlets.value();
  for (Quantity *q : {&T, &P, &duty, &deltaP, &Tavg})
    q->setOutput();
  appendToName(fullTag());
  VELTA_TRACE_END(name)
}

Separator::~Separator() {
  VELTA_LOG(verbosity(), 1, "Separator::~Separator", "Entered with " << id());
}

bool Separator::testconnect_() {
  static const char *const name = "Separator::testconnect_";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name,
            "Entered for " << fullTag() << " with nOutlets = " << nOutlets.value());
  if (nIn.value() < 1) {
    setError("no inlet connected, nothing to do");
    return false;
  }
  bool complete = nOut.value() == nOutlets.value();
  for (unsigned i = 0; complete && i < static_cast<unsigned>(nOutlets.value()); ++i)
    complete = outletConnected(i);
  if (!complete) {
    setError("not all outlets are properly connected, nothing to do");
    return false;
  }
  inletstreams_.clear();
  for (Node *node : connectedInlets())
    inletstreams_.push_back(my_cast<Stream *>(node, name));
  outletstreams_.clear();
  for (unsigned i = 0; i < static_cast<unsigned>(nOutlets.value()); ++i)
    outletstreams_.push_back(outletStream(i, name));
  for (const Stream *out : outletstreams_)
    if (out->representation() != outletstreams_.front()->representation()) {
      setError("outlets of different mass-balance representations, nothing to do");
      return false;
    }
  return true;
  VELTA_TRACE_END(name)
}

void Separator::setup_of() {
  if (isSetUp())
    return;
  if (!testconnect_())
    return;
  for (Stream *out : outletstreams_)
    addObjectiveFunction(*out->objectiveFunction());
  VELTA_LOG(verbosity(), 2, "Separator::setup_of", "pointers and scalers are set");
  setSetUp(true);
}

void Separator::calculateResidualsLocal() {
  static const char *const name = "Separator::calculateResidualsLocal";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  unsigned count = 0;
  for (Stream *out : outletstreams_)
    count += out->objectiveFunction()->calculateResiduals(residuals, count);
  VELTA_TRACE_END(name)
}

void Separator::normalize_() {
  static const char *const name = "Separator::normalize_";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  const std::size_t n = outSplit.size();
  const auto positive = [](const Value &v) { return v.value() > 0.0 ? v : Value(0.0); };
  for (std::size_t j = 0; j < flows_.size(); ++j) {
    Value s(0.0);
    for (std::size_t i = 0; i + 1 < n; ++i)
      s += positive(outSplit[i][j]);
    if (s.value() > 1.0) {
      const Value divisor = s + positive(outSplit[n - 1][j]);
      for (std::size_t i = 0; i < n; ++i)
        outSplit[i][j] = outSplit[i][j] / divisor;
    } else {
      outSplit[n - 1][j] = Value(1.0) - s;
    }
  }
  VELTA_TRACE_END(name)
}

void Separator::calculateFlows_() {
  static const char *const name = "Separator::calculateFlows_";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  VELTA_LOG(verbosity(), 2, name, "calculate outlet flows from splits");
  for (std::size_t i = 0; i < outletstreams_.size(); ++i) {
    Phase::Mass &total = *outletstreams_[i]->Tphase;
    Value &flow = Stream::totalFlowOf(total);
    flow.setZero();
    outSplitTotal[i] = Value(0.0);
    std::vector<Value> split(flows_.size());
    for (std::size_t j = 0; j < flows_.size(); ++j) {
      const Value e = outSplit[i][j].value() > 0.0 ? Value(outSplit[i][j]) : Value(0.0);
      VELTA_LOG(verbosity(), 2, name, "outSplit[" << i << "][" << j << "] = " << e);
      split[j] = flows_[j] * e;
      flow += split[j];
      outSplitTotal[i] += e;
    }
    VELTA_LOG(verbosity(), 2, name, "outletstreams_[" << i << "] = " << flow);
    VELTA_LOG(verbosity(), 2, name, "outSplitTotal[" << i << "] = " << outSplitTotal[i]);
    for (std::size_t j = 0; j < flows_.size(); ++j) {
      Value &fraction = total.frac(static_cast<int>(j));
      fraction = flow.value() != 0.0 ? split[j] / flow : fractions_[j];
      VELTA_LOG(verbosity(), 2, name,
                "outletstreams_[" << i << "]:Tphase.x[" << j << "] = " << fraction);
    }
  }
  VELTA_TRACE_END(name)
}

void Separator::go(int mode, int level) {
  static const char *const name = "Separator::go";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  resetErrors();
  // The streams are bound again at every calculation: connections made
  // after the set-up count, and a fault found here stops the calculation.
  if (!testconnect_())
    return;
  setup_of();
  normalize_();

  Stream &first = *outletstreams_.front();
  std::vector<Node *> inlets(inletstreams_.begin(), inletstreams_.end());
  gather(verbosity(), &first, inlets, deltaPMax, Tavg);
  auto *mixed = dynamic_cast<Phase::MassMolarProperties *>(first.Tphase);
  duty = mixed ? Value(mixed->mdot * mixed->h) : Value(0.0, "W");
  if (Velta::Utility::logEnabled(verbosity(), 2)) {
    std::ostringstream json;
    first.printJson(json, 0);
    VELTA_LOG(verbosity(), 2, name, json.str());
  }
  Phase::Mass &total = *first.Tphase;
  for (std::size_t j = 0; j < flows_.size(); ++j) {
    flows_[j] = total.flow(static_cast<int>(j));
    fractions_[j] = total.frac(static_cast<int>(j));
  }
  const Value V = mixed ? Value(mixed->vdot) : total.mdot / Value(1000.0, "kg/m3");
  const Value &Pin = deltaPMax;
  if (option.value() == "S") {
    Value largest(0.0, "Pa");
    for (std::size_t i = 0; i < outletstreams_.size(); ++i) {
      Stream &out = *outletstreams_[i];
      if (deltaPstream[i] > beta * Pin)
        out.P = Pin * (Value(1.0) - beta);
      else
        out.P = Pin - deltaPstream[i];
      const Value drop = Pin - out.P;
      if (i == 0 || drop > largest)
        largest = drop;
    }
    deltaP = largest;
    P = Pin - deltaP;
    flowcoefficient = deltaP / V / V;
  } else {
    pressureDrop(option.value(), deltaP, deltaPMax, beta, deltaPMax, P, flowcoefficient, V, name);
    for (std::size_t i = 0; i < outletstreams_.size(); ++i) {
      outletstreams_[i]->P = P;
      deltaPstream[i] = deltaP;
    }
  }
  calculateFlows_();

  VELTA_LOG(verbosity(), 2, name, "Flash outlet streams and compute duty");
  for (Stream *out : outletstreams_) {
    out->T = T;
    out->setFlash(static_cast<int>(FlashMode::PT));
  }
  if (mode < 2) {
    for (Stream *out : outletstreams_) {
      VELTA_LOG(verbosity(), 2, name, "Calculate stream " << out->fullTag());
      out->flowoption = Velta::Utility::massBalanceModeName(out->representation());
      out->estimate(out->P, out->T);
      out->prepare_residuals();
      out->estimateFlash();
      out->go(mode, level);
    }
  } else {
    VELTA_LOG(verbosity(), 2, name, "Calculate local residuals");
    calculateResidualsLocal();
    for (Stream *out : outletstreams_) {
      VELTA_LOG(verbosity(), 2, name, "Calculate stream " << out->fullTag());
      out->calculateX(out->representation());
    }
  }
  for (Stream *out : outletstreams_) {
    auto *props = dynamic_cast<Phase::MassMolarProperties *>(out->Tphase);
    if (props && props->mdot.value() > 0.0) {
      const Value contribution = props->h * props->mdot;
      VELTA_LOG(verbosity(), 2, name, out->fullTag() << "duty contribution = " << contribution);
      duty -= contribution;
    }
  }
  incrementCalculations();
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}
