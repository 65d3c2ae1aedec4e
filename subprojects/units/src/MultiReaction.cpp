#include "velta/units/MultiReaction.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/phases/Mass.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

#include <string>

using Velta::Utility::MassBalanceMode;

template <> const char *const MultiReaction<2>::typeName = "MultiReaction<2>";

template <int N>
MultiReaction<N>::MultiReaction(Defaults defaults, int id, Persistency *persistency, Node *parent,
                                Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      nPhases("nPhases", "Number of reacting phases", N, this),
      z("z", "Set fractional conversion in terms of key component", Value(0.0), this),
      actz("actz", "Actual fractional conversion in terms of key component", Value(0.0), this),
      conv("conv", "Rate of Reaction", 0.0, "kmol/s", this),
      keyphase("keyphase", "Phase the key component is located in", -1, this),
      keycomp("keycomp", "Key component", -1, this) {
  static const char *const name = "MultiReaction<2>::MultiReaction";
  setType(typeName);
  addVariable(nPhases);
  addVariable(keyphase);
  addVariable(keycomp);
  addVariable(z);
  addVariable(actz);
  addVariable(conv);
  VELTA_LOG(verbosity(), 1, name, "Entered with " << id << " and options = " << defaults);
  VELTA_LOG(verbosity(), 2, name, "Now resizing outp");
  outp.assign(N, nullptr);
  VELTA_LOG(verbosity(), 2, name, "Now allocating " << N << " reacting phases");
  phases.reserve(N);
  for (int k = 0; k < N; ++k) {
    const std::string index = std::to_string(k);
    phases.push_back(std::make_unique<PhaseTotal>(
        defaults.relay("phases[" + index + "]", "reacting phase " + index), 0, nullptr, nullptr,
        nullptr));
  }
  VELTA_LOG(verbosity(), 2, name, "Now resizing coeffv");
  coeffv.resize(N);
  for (int k = 0; k < N; ++k) {
    std::vector<Quantity> &row = coeffv[static_cast<std::size_t>(k)];
    // Reserved first: the registry keeps the elements' addresses.
    row.reserve(static_cast<std::size_t>(NCOMPONENTS));
    for (int j = 0; j < NCOMPONENTS; ++j) {
      row.emplace_back("coeffv[" + std::to_string(k) + "][" + std::to_string(j) + "]",
                       "stoichiometric coefficient for component " + std::to_string(j) + " " +
                           std::to_string(k),
                       dimensionlessZero, this);
      addVariable(row.back());
    }
  }
  actz.setOutput();
  conv.setOutput();
}

template <int N> MultiReaction<N>::~MultiReaction() {
  VELTA_LOG(verbosity(), 1, "MultiReaction<2>::~MultiReaction", "Entered in " << id());
}

template <int N> const Value &MultiReaction<N>::inletFlow(int k, int j) const {
  return static_cast<const Phase::Mass *>(outp[static_cast<std::size_t>(k)])->flow(j);
}

template <int N> bool MultiReaction<N>::connectionProblem() {
  if (nPhases.value() == 0) {
    setError("No phases, nothing to do");
    return true;
  }
  if (nPhases.value() != N) {
    setError("Number of reacting phases does not match");
    return true;
  }
  for (Phase::Mass *phase : outp)
    if (!phase) {
      setError("Nothing connected, nothing to do");
      return true;
    }
  return false;
}

template <int N> bool MultiReaction<N>::keyIsUsable() {
  const int K = keyphase.value();
  const int c = keycomp.value();
  std::string text;
  if (K < 0 || K >= N)
    text = "incorrect keyphase, bypassing block";
  else if (c < 0)
    text = "keycomp uninitialized, bypassing block";
  else if (c >= NCOMPONENTS)
    text = "incorrect keycomp, bypassing block";
  // The extent divides by the key coefficient.
  else if (coeffv[static_cast<std::size_t>(K)][static_cast<std::size_t>(c)].value() == 0.0)
    text = "zero coefficient of key component, bypassing block";
  if (text.empty())
    return true;
  setError(text);
  return false;
}

template <int N> void MultiReaction<N>::completePhases() {
  for (auto &phase : phases)
    phase->calculateX(MassBalanceMode::N);
}

template <int N> void MultiReaction<N>::calculate(int) {
  static const char *const name = "MultiReaction<2>::calculate";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  resetErrors();
  if (connectionProblem())
    return;
  // Without flow every term comes out 0; the calculation goes on.
  for (int k = 0; k < N; ++k)
    if (outp[0]->totalFlow().value() <= 0.0 && outp[1]->totalFlow().value() <= 0.0)
      setError("Zero inlet streams, bypassing block");
  if (!keyIsUsable())
    return;
  VELTA_LOG(verbosity(), 4, name, static_cast<const Node &>(*this));
  const int K = keyphase.value();
  const int c = keycomp.value();
  const Value nK = inletFlow(K, c);
  const Value &nuK = coeffv[static_cast<std::size_t>(K)][static_cast<std::size_t>(c)];
  actz = z;
  VELTA_LOG(verbosity(), 2, name, "bound conversion if necessary");
  for (int k = 0; k < N; ++k) {
    VELTA_LOG(verbosity(), 2, name, "Looking at phase " << k);
    for (int j = 0; j < NCOMPONENTS; ++j) {
      const Value &n = inletFlow(k, j);
      const Value &nu = coeffv[static_cast<std::size_t>(k)][static_cast<std::size_t>(j)];
      VELTA_LOG(verbosity(), 2, name,
                "Balancing component " << j << " inlet = " << n
                                       << " Reaction = " << (-nu * nK * actz / nuK));
      if (nu.value() < 0.0) {
        const Value consumed = nu * nK * actz / nuK;
        if (n < consumed) {
          setError("Conversion too high for component " + components[j]->name() + ";");
          actz = (nuK * n) / (nu * nK);
        }
      }
    }
  }
  VELTA_LOG(verbosity(), 2, name, "outp[keyphase]->flow(keycomp) = " << nK);
  conv = (-nK) * actz / nuK;
  for (int k = 0; k < N; ++k) {
    std::vector<Quantity> &flows = phases[static_cast<std::size_t>(k)]->ndotcomps;
    for (int j = 0; j < NCOMPONENTS; ++j)
      flows[static_cast<std::size_t>(j)] =
          coeffv[static_cast<std::size_t>(k)][static_cast<std::size_t>(j)] * conv;
  }
  completePhases();
  incrementCalculations();
  VELTA_TRACE_END(name)
}

template class MultiReaction<2>;

const char *const MultiReactionTransfer::typeName = "MultiReactionTransfer";

MultiReactionTransfer::MultiReactionTransfer(Defaults defaults, int id, Persistency *persistency,
                                             Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root), MultiReaction<2>(defaults, id, persistency,
                                                                       parent, root),
      factor("factor", "bounding factor to prevent negative flows", Value(1.0), this) {
  setType(typeName);
  VELTA_LOG(verbosity(), 1, "MultiReactionTransfer::MultiReactionTransfer", "Entered in " << id);
  if (NCOMPONENTS == 0)
    throw ErrorRunTime("MultiReactionTransfer::MultiReactionTransfer", "no components defined");
  addComponentVector(theta, "theta", "Fractional conversion or stage cut", Value(0.0));
  addVariable(factor);
  for (Quantity &t : theta)
    t.setInput();
}

MultiReactionTransfer::~MultiReactionTransfer() = default;

void MultiReactionTransfer::calculate(int) {
  static const char *const name = "MultiReactionTransfer::calculate";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  resetErrors();
  if (connectionProblem())
    return;
  if (outp[0]->totalFlow().value() <= 0.0 && outp[1]->totalFlow().value() <= 0.0) {
    setError("Zero inlet streams, bypassing block");
    return;
  }
  for (int j = 0; j < NCOMPONENTS; ++j) {
    const Quantity &t = theta[static_cast<std::size_t>(j)];
    const Value r = t * inletFlow(0, j) + inletFlow(1, j) * (t - 1.0);
    phases[1]->ndotcomps[static_cast<std::size_t>(j)] = r;
    phases[0]->ndotcomps[static_cast<std::size_t>(j)] = -r;
  }
  bound();
  completePhases();
  incrementCalculations();
  VELTA_TRACE_END(name)
}

void MultiReactionTransfer::bound() {
  static const char *const name = "MultiReactionTransfer::bound";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  factor = dimensionlessOne;
  for (int s = 0; s < 2; ++s)
    for (int j = 0; j < NCOMPONENTS; ++j) {
      const Value &rate =
          phases[static_cast<std::size_t>(s)]->ndotcomps[static_cast<std::size_t>(j)];
      const Value &n = inletFlow(s, j);
      VELTA_LOG(verbosity(), 2, name,
                "Bounding component " << j << " in side " << s << ", inlet = "
                                      << n.activeValue().toString() << " rate = " << rate);
      if (rate.value() < -2.220446049250313e-15 && rate * factor < -n) {
        setWarning("Conversion too high for component " + components[j]->name() +
                   " in MultiReactionTransfer");
        factor = -n / rate;
      }
    }
  for (auto &phase : phases)
    for (Quantity &flow : phase->ndotcomps)
      flow *= factor;
  VELTA_LOG(verbosity(), 2, name, "factor = " << factor.activeValue().toString());
  VELTA_TRACE_END(name)
}
