#include "velta/units/Reaction.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/phases/Mass.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

const char *const Reaction::typeName = "Reaction";

Reaction::Reaction(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Model(defaults, id, persistency, parent, root),
      conv("conv", "Rate of Reaction", Value(), this),
      actconv("actconv", "Actual rate of Reaction", Value(), this),
      z("z", "Fractional conversion in terms of key component", Value(0.0), this),
      keycomp("keycomp", "Key component", -1, this) {
  setType(typeName);
  VELTA_LOG(verbosity(), 1, "Reaction::Reaction", "Entered for " << id);
  if (NCOMPONENTS == 0)
    throw ErrorRunTime("Reaction::Reaction", "no components defined");
  addVariable(conv);
  addVariable(actconv);
  actconv.setOutput();
  addVariable(z);
  addVariable(keycomp);
  addComponentVector(coeff, "coeff", "Molar stoichiometric coefficient", Value(0.0));
  addComponentVector(coeffm, "coeffm", "Mass based stoichiometric coefficient", Value(0.0));
  if (persistency)
    retrieveIntegersAndStrings(persistency);
  z.setOutput();
  ni.resize(static_cast<std::size_t>(NCOMPONENTS));
  VELTA_LOG(verbosity(), 2, "Reaction::Reaction", "Done");
}

Reaction::~Reaction() { VELTA_LOG(verbosity(), 1, "Reaction::~Reaction", "Entered in " << id()); }

void Reaction::setCoefficient(const std::string &component, double nu) {
  const int i = components.lookup(component);
  coeff[i] = Value(nu);
  coeffm[i] = Value(components[i]->MW().value() * nu);
}

void Reaction::setKeyComponent(const std::string &component) {
  I("keycomp") = components.lookup(component);
}

void Reaction::setStoichiometry(
    const std::string &key, std::initializer_list<std::pair<const char *, double>> coefficients) {
  setKeyComponent(key);
  for (const auto &[component, nu] : coefficients)
    setCoefficient(component, nu);
}

void Reaction::setOutlet(Phase::Mass *phase) {
  const UnitArray &units = phase->flow(0).units();
  actconv.setUnits(units);
  conv.setUnits(units);
  out = phase;
}

void Reaction::init() {
  static const UnitArray massFlow(0, 0, 0, 0, 0, 1, 0, -1, 0);
  static const UnitArray molarFlow(1, 0, 0, 0, 0, 0, 0, -1, 0);
  for (int i = 0; i < NCOMPONENTS; ++i)
    ni[static_cast<std::size_t>(i)] = out->flow(i);
  const UnitArray &units = ni[0].units();
  if (units == massFlow)
    coeffActive = &coeffm;
  else if (units == molarFlow)
    coeffActive = &coeff;
  else
    throw ErrorRunTime("Reaction::init", "incorrect units for ni");
}

Value Reaction::componentRate(int i) const {
  return (*coeffActive)[static_cast<std::size_t>(i)] * actconv;
}

Value &Reaction::outFlow(int i) { return out->flow(i); }
