#include "velta/units/Reaction.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/phases/Mass.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

#include <cmath>
#include <numbers>

namespace {
// Ten times the double-precision machine epsilon: the tolerance of a
// consumed rate and the margin by which a cut extent stops short.
constexpr double cutTolerance = 2.220446049250313e-15;
} // namespace

const char *const ReactionYield::typeName = "ReactionYield";

ReactionYield::ReactionYield(Defaults defaults, int id, Persistency *persistency, Node *parent,
                             Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      Reaction(defaults, id, persistency, parent, root),
      option("option", "Calculation option", "z", this) {
  setType(typeName);
  VELTA_LOG(verbosity(), 1, "ReactionYield::ReactionYield", "Entered for " << id);
  addVariable(option);
}

ReactionYield::~ReactionYield() = default;

void ReactionYield::calculate(int) {
  precalc();
  if (bypassed_)
    return;
  bound();
  postcalc();
}

std::unique_ptr<Node> ReactionYield::clone() const {
  std::unique_ptr<Node> copy =
      NodeFactory().create(type(), defaults(), 0, nullptr, nullptr, nullptr);
  auto &reaction = dynamic_cast<ReactionYield &>(*copy);
  reaction.Object::operator=(static_cast<const Node &>(*this));
  reaction.keycomp = keycomp.value();
  reaction.option = option.value();
  reaction.silentBounding = silentBounding;
  return copy;
}

bool ReactionYield::checkBypass() {
  const int key = keycomp.value();
  std::string text;
  if (!out)
    text = "Nothing connected, nothing to do";
  else if (out->totalFlow().value() <= 0.0)
    text = "Zero inlet streams, bypassing block";
  else if (key < 0)
    text = "keycomp uninitialized, bypassing block";
  else if (key >= NCOMPONENTS)
    text = "incorrect keycomp, bypassing block";
  // The extent follows from a division by the key coefficient.
  else if (coeff[static_cast<std::size_t>(key)].value() == 0.0)
    text = "zero coefficient of key component, bypassing block";
  if (text.empty())
    return false;
  setError(text);
  conv.setZero();
  actconv.setZero();
  return true;
}

void ReactionYield::precalc() {
  static const char *const name = "ReactionYield::precalc";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  resetErrors();
  bypassed_ = checkBypass();
  if (bypassed_)
    return;
  init();
  const std::size_t key = static_cast<std::size_t>(keycomp.value());
  if (option.value() == "conv") {
    VELTA_LOG(verbosity(), 2, name, "conv = " << conv);
  } else if (option.value() != "z") {
    throw ErrorBrowsing(name, tag().c_str(), option.description().c_str(), option.value().c_str());
  } else {
    VELTA_LOG(verbosity(), 2, name, "z = " << z);
    if (ni[key].value() == 0.0)
      setWarning("Zero flow of key component " + components[static_cast<int>(key)]->name());
    conv = (-ni[key] * z) / (*coeffActive)[key];
  }
  actconv = conv;
  VELTA_LOG(verbosity(), 2, name,
            "conv = " << conv.activeValue().toString()
                      << " actconv = " << actconv.activeValue().toString() << " keycomp.I = " << key
                      << " ni[keycomp.I] = " << ni[key]);
  heterogeneousLimit = 0;
  VELTA_TRACE_END(name)
}

void ReactionYield::bound() {
  static const char *const name = "ReactionYield::bound";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    const Value rate = componentRate(i);
    VELTA_LOG(verbosity(), 2, name,
              "Bounding component " << i << " inlet = " << ni[k].activeValue().toString()
                                    << " rate = " << rate);
    const Value &nu = (*coeffActive)[k];
    if (rate.value() < -cutTolerance && ni[k] < -nu * actconv) {
      const std::string &component = components[i]->name();
      if (!silentBounding)
        setWarning("Conversion too high for component " + component + " in Reaction type " +
                   type());
      // Stop just short of using up component i, keeping the dependence on
      // conv for a solver that moves it.
      const Value dependence(conv.activeValue().derivativePart(), ni[k].units());
      actconv = (-ni[k] / nu) * (1.0 - cutTolerance) + dependence;
      if (components[i]->isSolid()) {
        if (nu.value() < 0.0) {
          VELTA_LOG(verbosity(), 2, name,
                    "the vanishing component "
                        << component << " is a heterogeneous reactant of reaction " << type());
          markHeterogeneousReactant();
        } else {
          VELTA_LOG(verbosity(), 2, name,
                    "the vanishing component "
                        << component << " is a heterogeneous product of reaction " << type());
          markHeterogeneousProduct();
        }
      }
    }
  }
  VELTA_LOG(verbosity(), 2, name,
            "conv = " << conv.activeValue().toString()
                      << " actconv = " << actconv.activeValue().toString());
  VELTA_TRACE_END(name)
}

Value ReactionYield::keyConversion(const Value &extent) {
  const std::size_t key = static_cast<std::size_t>(keycomp.value());
  const Value &nKey = out->flow(static_cast<int>(key));
  // A feed without the key component (a shift feed has no CO2) converts
  // nothing of it.
  if (nKey.value() == 0.0)
    return Value(0.0);
  return (-extent * (*coeffActive)[key]) / nKey;
}

void ReactionYield::postcalc() {
  static const char *const name = "ReactionYield::postcalc";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  const int key = keycomp.value();
  if (option.value() == "conv") {
    z = keyConversion(actconv);
    VELTA_LOG(verbosity(), 2, name,
              "z = " << z.activeValue().toString() << " coeff[keycomp.I] = "
                     << (*coeffActive)[static_cast<std::size_t>(key)].activeValue().toString()
                     << " out->flow([keycomp.I) = " << out->flow(key).activeValue().toString());
  } else {
    conv = actconv;
  }
  // The phase's own total-flow variable (ndot or mdot) takes the new sum.
  Value &total = const_cast<Value &>(out->totalFlow());
  total.setZero();
  for (int i = 0; i < NCOMPONENTS; ++i) {
    out->flow(i) = ni[static_cast<std::size_t>(i)] + componentRate(i);
    total += out->flow(i);
  }
  for (int i = 0; i < NCOMPONENTS; ++i)
    out->frac(i) = out->flow(i) / total;
  incrementCalculations();
  VELTA_TRACE_END(name)
}

void ReactionYield::estimate(const Quantity &K) {
  static const char *const name = "ReactionYield::estimate";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag() << " with K = " << K);
  const int key = keycomp.value();
  if (!out || key < 0 || key >= NCOMPONENTS || coeff[static_cast<std::size_t>(key)].value() == 0.0)
    throw ErrorRunTime(name, "no phase attached or no valid key component");
  Value maxconv(0.0, out->totalFlow().units());
  init();
  for (const Value &n : ni)
    if (maxconv < n)
      maxconv = n;
  Value minconv = -maxconv;
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    const Value limit = -out->flow(i) / (*coeffActive)[k];
    if (coeff[k].value() > 0.0 && minconv < limit)
      minconv = limit;
    if (coeff[k].value() < 0.0 && limit < maxconv)
      maxconv = limit;
  }
  const double x = std::atan(std::log10(K.value())) / std::numbers::pi + 0.5;
  VELTA_LOG(verbosity(), 1, name,
            "x = " << x << " minconv = " << minconv << " maxconv = " << maxconv);
  conv = minconv + x * (maxconv - minconv);
  z = keyConversion(conv);
  VELTA_LOG(verbosity(), 2, name, "z = " << z << " conv = " << conv);
  VELTA_TRACE_END(name)
}
