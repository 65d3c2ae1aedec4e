#include "velta/units/MultiReactionElectrochemical.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/core/Vector.h"
#include "velta/phases/Mass.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

namespace {

// Index of the named component, -1 when the list has none of that name.
int componentIndex(const std::string &name) {
  for (int i = 0; i < NCOMPONENTS; ++i)
    if (components[i]->name() == name)
      return i;
  return -1;
}

} // namespace

const char *const MultiReactionElectrochemical::typeName = "MultiReactionElectrochemical";

MultiReactionElectrochemical::MultiReactionElectrochemical(Defaults defaults, int id,
                                                           Persistency *persistency, Node *parent,
                                                           Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root), MultiReaction<2>(defaults, id, persistency,
                                                                       parent, root),
      powerFactor("powerFactor", "Factor of the power in the heat balance", Value(1.0), this),
      Teq("Teq", "Equilibrium temperature", 298.15, "K", this),
      Tact("Tact", "Actual temperature", 298.15, "K", this),
      deltaT("deltaT", "Temperature approach to equilibrium", 0.0, "K", this),
      Kin("Kin", "Equilibrium quotient at the inlet", Value(1.0), this),
      Kout("Kout", "Equilibrium quotient at the outlet", Value(1.0), this),
      areaFactor1("areaFactor1", "First factor of the active area", 1.0, "m", this),
      areaFactor2("areaFactor2", "Second factor of the active area", 1.0, "m", this),
      area("area", "Active area of one cell", 1.0, "m2", this),
      nCells("nCells", "Number of cells in series", Value(1.0), this),
      E0("E0", "Standard potential", 0.0, "V", this),
      E("E", "Reversible potential", 0.0, "V", this),
      specificResistance("specificResistance", "Ohmic loss per unit current density", 0.0, "ohm*m2",
                         this),
      faraday("faraday", "Charge per kmol of electrons", 96485309.0, "C/kmol", this),
      J("J", "Current density", 0.0, "A/m2", this),
      Jset("Jset", "Set current density", 0.0, "A/m2", this),
      I("I", "Cell current", 0.0, "A", this), Iset("Iset", "Set cell current", 0.0, "A", this),
      Voffset("Voffset", "Voltage offset", 0.0, "V", this), V("V", "Cell voltage", 0.0, "V", this),
      Vset("Vset", "Set cell voltage", 0.0, "V", this),
      Vstack("Vstack", "Stack voltage", 0.0, "V", this),
      power("power", "Electrical power", 0.0, "W", this),
      powerDensity("powerDensity", "Power per unit of active area", 0.0, "W/m2", this),
      option("option", "Specified variable", "z", this),
      Koption("Koption", "Equilibrium quotient in the Nernst relation", "linear", this) {
  setType(typeName);
  for (Quantity *q : {&powerFactor,
                      &Teq,
                      &Tact,
                      &deltaT,
                      &Kin,
                      &Kout,
                      &areaFactor1,
                      &areaFactor2,
                      &area,
                      &nCells,
                      &E0,
                      &E,
                      &specificResistance,
                      &faraday,
                      &J,
                      &Jset,
                      &I,
                      &Iset,
                      &Voffset,
                      &V,
                      &Vset,
                      &Vstack,
                      &power,
                      &powerDensity})
    addVariable(*q);
  addVariable(option);
  addVariable(Koption);
}

MultiReactionElectrochemical::~MultiReactionElectrochemical() = default;

Value MultiReactionElectrochemical::calceqconst(const Value &P0, const Value &P1, const Vector &x0,
                                                const Vector &x1) const {
  static const char *const name = "MultiReactionElectrochemical::calceqconst";
  VELTA_LOG(verbosity(), 1, name, " Entered for " << tag());
  Value K(1.0);
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const Value &nu0 = coeffv[0][static_cast<std::size_t>(i)];
    if (nu0.value() != 0.0 && x0[i].value() > 0.0) {
      K /= pow(x0[i] * P0, nu0);
      VELTA_LOG(verbosity(), 2, name, "x0[" << i << "] = " << x0[i]);
    }
    const Value &nu1 = coeffv[1][static_cast<std::size_t>(i)];
    if (nu1.value() != 0.0 && x1[i].value() > 0.0) {
      K /= pow(x1[i] * P1, nu1);
      VELTA_LOG(verbosity(), 2, name, "x1[" << i << "] = " << x1[i]);
    }
  }
  return K;
}

void MultiReactionElectrochemical::prepareOutletState(const Value &, const Value &, const Vector &,
                                                      const Vector &) {}

Value MultiReactionElectrochemical::lnQuotient() {
  const std::string &choice = Koption.value();
  if (choice == "linear")
    return log((Kout + Kin) / 2.0);
  if (choice == "outlet")
    return log(Kout);
  if (choice == "log") {
    // The logarithmic mean tends to Kout as Kin approaches it.
    if (Kout.value() == Kin.value())
      return log(Kout);
    return log((Kout - Kin) / log(Kout / Kin));
  }
  throw ErrorBrowsing("MultiReactionElectrochemical::calculateEquilibrium", tag().c_str(),
                      Koption.description().c_str(), choice.c_str());
}

void MultiReactionElectrochemical::calculateEquilibrium(const Value &P0, const Value &P1) {
  static const char *const name = "MultiReactionElectrochemical::calculateEquilibrium";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag());
  area = areaFactor2 * areaFactor1;
  I = 2.0 * faraday * conv / nCells;
  J = I / area;
  Teq = Tact + deltaT;
  const Vector x0(&outp[0]->fracs());
  const Vector x1(&outp[1]->fracs());
  // The oxygen fraction is shown only when the list has oxygen.
  const int oxygen = componentIndex("O2");
  if (oxygen >= 0)
    VELTA_LOG(verbosity(), 2, name,
              "Teq = " << Teq << " P0 = " << P0 << " P1 = " << P1
                       << " outp[1]->x[O2] = " << x1[oxygen]);
  else
    VELTA_LOG(verbosity(), 2, name, "Teq = " << Teq << " P0 = " << P0 << " P1 = " << P1);
  prepareOutletState(P0, P1, x0, x1);
  Kout = calceqconst(P0, P1, x0, x1);
  VELTA_LOG(verbosity(), 2, name, "Kin = " << Kin);
  VELTA_LOG(verbosity(), 2, name, "Kout = " << Kout);
  const Value lnK = lnQuotient();
  E = E0 + (gasConstant * Teq) / (2.0 * faraday) * lnK;
  VELTA_LOG(verbosity(), 2, name, "E = " << E << " J = " << J << " V = " << V);
  V = (E - specificResistance * J) + Voffset;
  Vstack = V * nCells;
  power = Vstack * I;
  powerDensity = power / area / nCells;
  const std::string &specified = option.value();
  if (specified == "z") {
    Vset = V;
    Iset = I;
    Jset = J;
  } else if (specified == "V") {
    Iset = I;
    Jset = J;
  } else if (specified == "I") {
    Vset = V;
    Jset = J;
  } else if (specified == "J") {
    Iset = I;
    Vset = V;
  } else {
    throw ErrorBrowsing(name, tag().c_str(), option.description().c_str(), specified.c_str());
  }
  VELTA_TRACE_END(name)
}
