#include "velta/units/ReactionBuiltIn.h"

#include "velta/utility/Diagnostic.h"

#include <string>

// Every class reports its own name as its type; the most derived
// constructor sets it last. The virtual bases are built by the most derived
// class, so these initialisers only take effect for a complete object.
#define VELTA_REACTION_BASES                                                                       \
  Object(defaults, id, persistency, parent, root), Model(defaults, id, persistency, parent, root), \
      ReactionYield(defaults, id, persistency, parent, root)
const char *const ReactionOxidationCO::typeName = "ReactionOxidationCO";

ReactionOxidationCO::ReactionOxidationCO(Defaults defaults, int id, Persistency *persistency,
                                         Node *parent, Node *root)
    : VELTA_REACTION_BASES {
  setType(typeName);
  setStoichiometry("CO", {{"CO", -1}, {"O2", -0.5}, {"CO2", 1}});
}

const char *const ReactionOxidationMeOH::typeName = "ReactionOxidationMeOH";

ReactionOxidationMeOH::ReactionOxidationMeOH(Defaults defaults, int id, Persistency *persistency,
                                             Node *parent, Node *root)
    : VELTA_REACTION_BASES {
  setType(typeName);
  setStoichiometry("CH4O", {{"CH4O", -1}, {"O2", -1.5}, {"CO2", 1}, {"H2O", 2}});
}

const char *const ReactionOxidationNH3::typeName = "ReactionOxidationNH3";

ReactionOxidationNH3::ReactionOxidationNH3(Defaults defaults, int id, Persistency *persistency,
                                           Node *parent, Node *root)
    : VELTA_REACTION_BASES {
  setType(typeName);
  setStoichiometry("NH3", {{"NH3", -1}, {"O2", -0.75}, {"N2", 0.5}, {"H2O", 1.5}});
}

const char *const ReactionOxidationPhenol::typeName = "ReactionOxidationPhenol";

ReactionOxidationPhenol::ReactionOxidationPhenol(Defaults defaults, int id,
                                                 Persistency *persistency, Node *parent, Node *root)
    : VELTA_REACTION_BASES {
  setType(typeName);
  setStoichiometry("C6H6O", {{"C6H6O", -1}, {"O2", -7}, {"CO2", 6}, {"H2O", 3}});
}

const char *const ReactionWaterGasC::typeName = "ReactionWaterGasC";

ReactionWaterGasC::ReactionWaterGasC(Defaults defaults, int id, Persistency *persistency,
                                     Node *parent, Node *root)
    : VELTA_REACTION_BASES {
  setType(typeName);
  setStoichiometry("C", {{"C", -1}, {"H2O", -1}, {"CO", 1}, {"H2", 1}});
}

const char *const ReactionOxidationN2::typeName = "ReactionOxidationN2";

ReactionOxidationN2::ReactionOxidationN2(Defaults defaults, int id, Persistency *persistency,
                                         Node *parent, Node *root)
    : VELTA_REACTION_BASES {
  setType(typeName);
  VELTA_LOG(verbosity(), 1, "ReactionOxidationN2::ReactionOxidationN2", "Entered");
  setStoichiometry("N2", {{"N2", -0.5}, {"O2", -1}, {"NO2", 1}});
}

const char *const ReactionReformingCH4::typeName = "ReactionReformingCH4";

ReactionReformingCH4::ReactionReformingCH4(Defaults defaults, int id, Persistency *persistency,
                                           Node *parent, Node *root)
    : VELTA_REACTION_BASES {
  setType(typeName);
  VELTA_LOG(verbosity(), 1, "ReactionReformingCH4::ReactionReformingCH4", "Entered");
  setStoichiometry("CH4", {{"CH4", -1}, {"H2O", -1}, {"CO", 1}, {"H2", 3}});
}

const char *const ReactionReformingC2H6::typeName = "ReactionReformingC2H6";

ReactionReformingC2H6::ReactionReformingC2H6(Defaults defaults, int id, Persistency *persistency,
                                             Node *parent, Node *root)
    : VELTA_REACTION_BASES {
  setType(typeName);
  VELTA_LOG(verbosity(), 1, "ReactionReformingC2H6::ReactionReformingC2H6", "Entered");
  setStoichiometry("C2H6", {{"C2H6", -1}, {"H2O", -2}, {"CO", 2}, {"H2", 5}});
}

const char *const ReactionReformingC3H8::typeName = "ReactionReformingC3H8";

ReactionReformingC3H8::ReactionReformingC3H8(Defaults defaults, int id, Persistency *persistency,
                                             Node *parent, Node *root)
    : VELTA_REACTION_BASES {
  setType(typeName);
  setStoichiometry("C3H8", {{"C3H8", -1}, {"H2O", -3}, {"CO", 3}, {"H2", 7}});
}

const char *const ReactionReformingMeOH::typeName = "ReactionReformingMeOH";

ReactionReformingMeOH::ReactionReformingMeOH(Defaults defaults, int id, Persistency *persistency,
                                             Node *parent, Node *root)
    : VELTA_REACTION_BASES {
  setType(typeName);
  setStoichiometry("CH4O", {{"CH4O", -1}, {"H2O", -1}, {"CO2", 1}, {"H2", 3}});
}

const char *const ReactionSynthesisNH3::typeName = "ReactionSynthesisNH3";

ReactionSynthesisNH3::ReactionSynthesisNH3(Defaults defaults, int id, Persistency *persistency,
                                           Node *parent, Node *root)
    : VELTA_REACTION_BASES {
  setType(typeName);
  VELTA_LOG(verbosity(), 1, "ReactionSynthesisNH3::ReactionSynthesisNH3", "Entered");
  setStoichiometry("NH3", {{"N2", 0.5}, {"H2", 1.5}, {"NH3", -1}});
}

const char *const ReactionWaterGasShift::typeName = "ReactionWaterGasShift";

ReactionWaterGasShift::ReactionWaterGasShift(Defaults defaults, int id, Persistency *persistency,
                                             Node *parent, Node *root)
    : VELTA_REACTION_BASES {
  setType(typeName);
  VELTA_LOG(verbosity(), 1, "ReactionWaterGasShift::ReactionWaterGasShift", "Entered for " << id);
  setStoichiometry("CO2", {{"CO", 1}, {"H2O", 1}, {"CO2", -1}, {"H2", -1}});
}

const char *const ReactionOxidationHydrocarbon::typeName = "ReactionOxidationHydrocarbon";

ReactionOxidationHydrocarbon::ReactionOxidationHydrocarbon(Defaults defaults, int id,
                                                           Persistency *persistency, Node *parent,
                                                           Node *root)
    : VELTA_REACTION_BASES, x("x", "number of Carbon atoms", 1, this),
      y("y", "number of Hydrogen atoms", 4, this) {
  setType(typeName);
  addVariable(x);
  addVariable(y);
  x = retrieveInteger(defaults, id, persistency, "x", -1, 999, 1);
  y = retrieveInteger(defaults, id, persistency, "y", -1, 999, 4);
  const std::string fuel = fuelFormula(x.value(), y.value());
  setKeyComponent(fuel);
  setCoefficient(fuel, -1);
  setCoefficient("O2", -(0.25 * y.value() + x.value()));
  if (x.value() > 0)
    setCoefficient("CO2", x.value());
  if (y.value() > 0)
    setCoefficient("H2O", 0.5 * y.value());
}

ReactionOxidationHydrocarbon::~ReactionOxidationHydrocarbon() = default;

std::string ReactionOxidationHydrocarbon::fuelFormula(int x, int y) {
  std::string formula;
  const auto element = [&formula](char symbol, int count) {
    if (count <= 0)
      return;
    formula += symbol;
    if (count >= 2)
      formula += std::to_string(count);
  };
  element('C', x);
  element('H', y);
  return formula;
}
