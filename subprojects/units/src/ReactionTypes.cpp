#include "velta/units/ReactionTypes.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/units/MultiReaction.h"
#include "velta/units/ReactionBuiltIn.h"

#include <climits>
#include <string>
#include <vector>

namespace {

// Every reaction type: category "option", not instantiable, the category's
// icon at 100 x 100.
template <class T>
void registerReaction(const char *description, std::vector<IntegerOption> integerOptions = {}) {
  NodeFactory().registerType<T>(T::typeName, description, "option", false,
                                std::move(integerOptions), {}, {}, "", 100, 100);
}

struct HydrocarbonAlias {
  const char *name;
  int x;
  int y;
  const char *description;
};

const HydrocarbonAlias hydrocarbonAliases[] = {
    {"ReactionOxidationC", 1, 0,
     "Reaction of total combustion of carbon with specified fixed conversion"},
    {"ReactionOxidationH2", 0, 2,
     "Reaction of total combustion of hydrogen with specified fixed conversion"},
    {"ReactionOxidationCH4", 1, 4,
     "Reaction of total combustion of methane with specified fixed conversion"},
    {"ReactionOxidationC2H6", 2, 6,
     "Reaction of total combustion of ethane with specified fixed conversion"},
    {"ReactionOxidationC2H4", 2, 4,
     "Reaction of total combustion of ethylene with specified fixed conversion"},
    {"ReactionOxidationHydrocarbon<3,8>", 3, 8,
     "Reaction of total combustion of propane with specified fixed conversion"},
    {"ReactionOxidationHydrocarbon<4,10>", 4, 10,
     "Reaction of total combustion of butane with specified fixed conversion"},
    {"ReactionOxidationHydrocarbon<5,12>", 5, 12,
     "Reaction of total combustion of pentane with specified fixed conversion"},
    {"ReactionOxidationHydrocarbon<6,14>", 6, 14,
     "Reaction of total combustion of hexane with specified fixed conversion"},
    {"ReactionOxidationNaphthalene", 10, 8,
     "Reaction of total combustion of napthalene with specified fixed conversion"},
};

void registerAll() {
  registerReaction<ReactionYield>("A reaction with specified fixed conversion");
  registerReaction<ReactionWaterGasShift>(
      "Water Gas Shift Reaction with specified fixed conversion");
  registerReaction<ReactionWaterGasC>(
      "Water gas production fron C with specified fixed conversion");
  registerReaction<ReactionOxidationEquilibriumCH4>(
      "Reaction of combustion of methane at equilibrium");
  registerReaction<ReactionOxidationCO>(
      "Reaction of total combustion of CO with specified fixed conversion");
  registerReaction<ReactionReformingCH4>(
      "Reaction of reforming of methane with specified fixed conversion");
  registerReaction<ReactionReformingC3H8>(
      "Reaction of reforming of propane with specified fixed conversion");
  registerReaction<ReactionWaterGasShiftEquilibrium>("Water Gas Shift Reaction at equilibrium");
  registerReaction<ReactionReformingEquilibriumCH4>(
      "Reaction of reforming of methane at equilibrium");
  registerReaction<ReactionReformingEquilibriumC3H8>(
      "Reaction of reforming of propane at equilibrium");
  registerReaction<ReactionReformingC2H6>(
      "Reaction of reforming of ethane with specified fixed conversion");
  registerReaction<ReactionReformingEquilibriumC2H6>(
      "Reaction of reforming of ethane at equilibrium");
  registerReaction<ReactionOxidationMeOH>(
      "Reaction of total combustion of methanol with specified fixed conversion");
  registerReaction<ReactionReformingMeOH>(
      "Reaction of reforming of methanol with specified fixed conversion");
  registerReaction<ReactionReformingEquilibriumMeOH>(
      "Reaction of reforming of methanol at equilibrium");
  registerReaction<ReactionSynthesisNH3>(
      "Reaction of synthesis of ammonia with specified fixed conversion");
  registerReaction<ReactionSynthesisEquilibriumNH3>(
      "Reaction of synthesis of ammonia at equilibrium");
  registerReaction<ReactionOxidationN2>(
      "Reaction of oxidation of nitrogen with specified fixed conversion");
  registerReaction<ReactionOxidationEquilibriumN2>(
      "Reaction of oxidation of nitrogen at equilibrium");
  registerReaction<ReactionOxidationNH3>(
      "Reaction of total combustion of ammonia with specified fixed conversion");
  registerReaction<ReactionOxidationPhenol>(
      "Reaction of total combustion of phenol with specified fixed conversion");
  registerReaction<ReactionOxidationHydrocarbon>(
      "Parameterized reaction for the total combustion of a generic hydrocarbon",
      {IntegerOption("x", "number of Carbon atoms", 1, -1, INT_MAX),
       IntegerOption("y", "number of Hydrogen atoms", 4, -1, INT_MAX)});

  for (const HydrocarbonAlias &alias : hydrocarbonAliases) {
    Defaults preset;
    preset.setInteger("x", alias.x).setInteger("y", alias.y);
    NodeFactory().registerAlias(ReactionOxidationHydrocarbon::typeName, alias.name,
                                alias.description, preset, "", 100, 100);
  }
}

} // namespace

namespace Velta::Units {

void registerReactionTypes() {
  static bool registered = false;
  if (registered)
    return;
  registered = true;
  registerAll();
}

void registerMultiReactionTypes() {
  static bool registered = false;
  if (registered)
    return;
  registered = true;
  NodeFactory factory;
  factory.registerType<MultiReaction<2>>(MultiReaction<2>::typeName, "2-phase reaction", "option",
                                         false, {}, {}, {}, "", 100, 100);
  factory.registerType<MultiReactionTransfer>(MultiReactionTransfer::typeName,
                                              "2-phase reaction with phase transfer", "option",
                                              false, {}, {}, {}, "", 100, 100);
}

} // namespace Velta::Units
