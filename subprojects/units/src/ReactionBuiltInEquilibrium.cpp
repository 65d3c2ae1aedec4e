#include "velta/units/ReactionBuiltIn.h"

#include "velta/components/ParametersLnPolynomial.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

// The shared bases first (built once, by the complete object), then the
// fixed-conversion base that sets the stoichiometry, then the equilibrium
// part.
#define VELTA_EQUILIBRIUM_BASES(Fixed, options)                                                    \
  Object(defaults, id, persistency, parent, root), Model(defaults, id, persistency, parent, root), \
      ReactionYield(defaults, id, persistency, parent, root),                                      \
      Fixed(options, id, persistency, parent, root),                                               \
      ReactionEquilibrium(defaults, id, persistency, parent, root)

namespace {

// Methane unless the caller's options name other atom counts.
Defaults methaneOptions(Defaults defaults) {
  defaults.setInteger("x", 1).setInteger("y", 4);
  return defaults;
}

} // namespace

const char *const ReactionOxidationEquilibriumCH4::typeName = "ReactionOxidationEquilibriumCH4";

ReactionOxidationEquilibriumCH4::ReactionOxidationEquilibriumCH4(Defaults defaults, int id,
                                                                 Persistency *persistency,
                                                                 Node *parent, Node *root)
    : VELTA_EQUILIBRIUM_BASES(ReactionOxidationHydrocarbon, methaneOptions(defaults)) {
  setType(typeName);
  VELTA_LOG(verbosity(), 1, "ReactionOxidationEquilibriumCH4::ReactionOxidationEquilibriumCH4",
            "Entered for " << id);
}

const char *const ReactionOxidationEquilibriumN2::typeName = "ReactionOxidationEquilibriumN2";

ReactionOxidationEquilibriumN2::ReactionOxidationEquilibriumN2(Defaults defaults, int id,
                                                               Persistency *persistency,
                                                               Node *parent, Node *root)
    : VELTA_EQUILIBRIUM_BASES(ReactionOxidationN2, defaults) {
  setType(typeName);
  VELTA_LOG(verbosity(), 1, "ReactionOxidationEquilibriumN2::ReactionOxidationEquilibriumN2",
            "Entered for " << id);
}

const char *const ReactionReformingEquilibriumCH4::typeName = "ReactionReformingEquilibriumCH4";

ReactionReformingEquilibriumCH4::ReactionReformingEquilibriumCH4(Defaults defaults, int id,
                                                                 Persistency *persistency,
                                                                 Node *parent, Node *root)
    : VELTA_EQUILIBRIUM_BASES(ReactionReformingCH4, defaults) {
  setType(typeName);
  VELTA_LOG(verbosity(), 1, "ReactionReformingEquilibriumCH4::ReactionReformingEquilibriumCH4",
            "Entered for " << id);
}

const char *const ReactionReformingEquilibriumC2H6::typeName = "ReactionReformingEquilibriumC2H6";

ReactionReformingEquilibriumC2H6::ReactionReformingEquilibriumC2H6(Defaults defaults, int id,
                                                                   Persistency *persistency,
                                                                   Node *parent, Node *root)
    : VELTA_EQUILIBRIUM_BASES(ReactionReformingC2H6, defaults) {
  setType(typeName);
  VELTA_LOG(verbosity(), 1, "ReactionReformingEquilibriumC2H6::ReactionReformingEquilibriumC2H6",
            "Entered for " << id);
}

// The propane and methanol reforming equilibria write no construction line.
const char *const ReactionReformingEquilibriumC3H8::typeName = "ReactionReformingEquilibriumC3H8";

ReactionReformingEquilibriumC3H8::ReactionReformingEquilibriumC3H8(Defaults defaults, int id,
                                                                   Persistency *persistency,
                                                                   Node *parent, Node *root)
    : VELTA_EQUILIBRIUM_BASES(ReactionReformingC3H8, defaults) {
  setType(typeName);
}

const char *const ReactionReformingEquilibriumMeOH::typeName = "ReactionReformingEquilibriumMeOH";

ReactionReformingEquilibriumMeOH::ReactionReformingEquilibriumMeOH(Defaults defaults, int id,
                                                                   Persistency *persistency,
                                                                   Node *parent, Node *root)
    : VELTA_EQUILIBRIUM_BASES(ReactionReformingMeOH, defaults) {
  setType(typeName);
}

const char *const ReactionSynthesisEquilibriumNH3::typeName = "ReactionSynthesisEquilibriumNH3";

ReactionSynthesisEquilibriumNH3::ReactionSynthesisEquilibriumNH3(Defaults defaults, int id,
                                                                 Persistency *persistency,
                                                                 Node *parent, Node *root)
    : VELTA_EQUILIBRIUM_BASES(ReactionSynthesisNH3, defaults) {
  setType(typeName);
  VELTA_LOG(verbosity(), 1, "ReactionSynthesisEquilibriumNH3::ReactionSynthesisEquilibriumNH3",
            "Entered for " << id);
}

const char *const ReactionWaterGasShiftEquilibrium::typeName = "ReactionWaterGasShiftEquilibrium";

ReactionWaterGasShiftEquilibrium::ReactionWaterGasShiftEquilibrium(Defaults defaults, int id,
                                                                   Persistency *persistency,
                                                                   Node *parent, Node *root)
    : VELTA_EQUILIBRIUM_BASES(ReactionWaterGasShift, defaults),
      Kgibbs("Kgibbs", "Equilibrium constant from Gibbs free energies", Value(1.0), this) {
  setType(typeName);
  VELTA_LOG(verbosity(), 1, "ReactionWaterGasShiftEquilibrium::ReactionWaterGasShiftEquilibrium",
            "Entered for " << id);
  addVariable(Kgibbs);
}

void ReactionWaterGasShiftEquilibrium::calculateKSollwert() {
  static const char *const name = "ReactionWaterGasShiftEquilibrium::calculateKSollwert";
  // log10 of 1/K for CO2 + H2 -> CO + H2O, as a polynomial in ln(T / K).
  static const ParametersLnPolynomial f(538.9465935088, -288.551283547, 62.1649159321,
                                        -6.7392844104, 0.3668801319, -0.0080009178);
  // deltaT is user input: a non-positive Teq must not reach the logarithm.
  if (!(Teq.value() > 0.0))
    throw ErrorRunTime(name, ("equilibrium temperature Teq = " + std::to_string(Teq.value()) +
                              " K must be positive")
                                 .c_str());
  static const Value kelvin(1.0, "K");
  K = dimensionlessOne / pow(Value(10.0), f(Teq / kelvin));
  Kgibbs = 1.0;
}
