#include "velta/phases/PhaseTypes.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/phases/PhaseActivity.h"
#include "velta/phases/PhaseGeneric.h"
#include "velta/phases/PhaseSimple.h"
#include "velta/phases/PhaseSimpleTotal.h"
#include "velta/phases/PhaseTotal.h"

#include <string>
#include <vector>

namespace {

enum class Typep { none, withSolid, fluidOnly };

struct AliasRow {
  const char *name;
  const char *description;
  const char *typeP;
};

std::vector<StringOption> typePOptions(Typep typeP) {
  if (typeP == Typep::none)
    return {};
  return {StringOption("typeP", "phase type", "vapor",
                       typeP == Typep::withSolid ? "phaseTypeEnum" : "phaseTypeEnum1")};
}

// One registered phase type (not instantiable, icon "phase", 100 x 100),
// followed at once by its aliases, each presetting "typeP".
template <class C>
void registerPhase(const char *type, const char *description, Typep typeP,
                   std::vector<AliasRow> aliases = {}) {
  NodeFactory factory;
  factory.registerType<C>(type, description, "phase", false, {}, typePOptions(typeP), {}, "",
                          100, 100);
  for (const AliasRow &alias : aliases)
    factory.registerAlias(type, alias.name, alias.description,
                          Defaults().setString("typeP", alias.typeP), "", 100, 100);
}

// The two aliases of a fluid-only (equation-of-state) type, "<vapor>" first.
std::vector<AliasRow> fluidAliases(const char *vapor, const char *vaporDescription,
                                   const char *liquid, const char *liquidDescription) {
  return {{vapor, vaporDescription, "vapor"}, {liquid, liquidDescription, "liquid"}};
}

// The listing order of the phase types. "PhasePcsaft" with its two aliases
// (registerPhase<PhaseGeneric<...>> with Typep::fluidOnly and fluidAliases)
// comes after "PhaseUnifac", before "PhaseGerg2004", once its model exists.
void registerAll() {
  registerPhase<PhaseSimpleTotal>("PhaseSimpleTotal",
                                  "Total phase model for simple mass-balance only", Typep::none);
  registerPhase<PhaseSimple>("PhaseSimple", "Simple, mass-balance only phase", Typep::withSolid,
                             {{"PhaseSimple<vapor>", "Simple, mass-balance only, vapor phase",
                               "vapor"},
                              {"PhaseSimple<liquid>", "Simple, mass-balance only, liquid phase",
                               "liquid"},
                              {"PhaseSimple<solid>", "Simple, mass-balance only, solid phase",
                               "solid"}});
  registerPhase<PhaseTotal>("PhaseTotal", "Total phase model for mass and molar-balance",
                            Typep::none);
  registerPhase<PhaseGeneric<Phase::Ideal>>("PhaseIdeal", "ideal phase", Typep::withSolid,
                                            {{"PhaseIdeal<vapor>", "Vapor ideal phase", "vapor"},
                                             {"PhaseIdeal<liquid>", "Liquid ideal phase", "liquid"},
                                             {"PhaseIdeal<solid>", "Solid ideal phase", "solid"}});
  registerPhase<PhaseGeneric<Phase::Iapws>>(
      "PhaseIapws", "phase based on the IAPWS-95 equation of state for pure water",
      Typep::fluidOnly,
      fluidAliases("PhaseIapws<vapor>",
                   "Vapor phase based on the IAPWS-95 equation of state for pure water",
                   "PhaseIapws<liquid>",
                   "Liquid phase based on the IAPWS-95 equation of state for pure water"));
  registerPhase<PhaseActivity<Phase::Activity::Nrtl1>>(
      "PhaseNrtl1",
      "Liquid phase based on the Non Random Two Liquids activity coefficient model in the "
      "original formulation with temperature-independent bij",
      Typep::none);
  registerPhase<PhaseActivity<Phase::Activity::Nrtl2>>(
      "PhaseNrtl2",
      "Liquid phase based on the Non Random Two Liquids activity coefficient model with "
      "temperature-dependent bij and alfaij",
      Typep::none);
  registerPhase<PhaseActivity<Phase::Activity::Unifac>>(
      "PhaseUnifac", "Liquid phase based on the UNIFAC activity coefficient model", Typep::none);
  registerPhase<PhaseGeneric<Phase::Gerg2004>>(
      "PhaseGerg2004", "phase based on the GERG2004 equation of state", Typep::fluidOnly,
      fluidAliases("PhaseGerg2004<vapor>", "Vapor phase based on the GERG2004 equation of state",
                   "PhaseGerg2004<liquid>",
                   "Liquid phase based on the GERG2004 equation of state"));
  registerPhase<PhaseGeneric<Phase::Eos<Phase::EosCubic::VanDerWaals>>>(
      "PhaseVanDerWaals", "phase based on the Van der Waals equation of state", Typep::fluidOnly,
      fluidAliases("PhaseVanDerWaals<vapor>",
                   "Vapor phase based on the Van der Waals equation of state",
                   "PhaseVanDerWaals<liquid>",
                   "Liquid phase based on the Van der Waals equation of state"));
  registerPhase<PhaseGeneric<Phase::Eos<Phase::EosCubic::PengRobinson>>>(
      "PhasePengRobinson", "phase based on the Peng-Robinson equation of state", Typep::fluidOnly,
      fluidAliases("PhasePengRobinson<vapor>",
                   "Vapor phase based on the Peng-Robinson equation of state",
                   "PhasePengRobinson<liquid>",
                   "Liquid phase based on the Peng-Robinson equation of state"));
  registerPhase<PhaseGeneric<Phase::Eos<Phase::EosCubic::KwongRedlichSoave>>>(
      "PhaseKwongRedlichSoave", "phase based on the Kwong-Redlich-Soave equation of state",
      Typep::fluidOnly,
      fluidAliases("PhaseKwongRedlichSoave<vapor>",
                   "Vapor phase based on the Kwong-Redlich-Soave equation of state",
                   "PhaseKwongRedlichSoave<liquid>",
                   "Liquid phase based on the Kwong-Redlich-Soave equation of state"));
}

} // namespace

namespace Velta::Phases {

void registerPhaseTypes() {
  // Not atomic: start-up runs on one thread.
  static bool registered = false;
  if (registered)
    return;
  registered = true;
  registerAll();
}

} // namespace Velta::Phases

namespace Phase {

Velta::Core::Enumerator phaseTypeEnumerator(bool withSolid) {
  Velta::Core::Enumerator enumerator(withSolid ? "phaseTypeEnum" : "phaseTypeEnum1",
                                     withSolid ? "phase types" : "vapor or liquid phase types");
  enumerator.addOption(EnumeratorOption("vapor", "Vapor"));
  enumerator.addOption(EnumeratorOption("liquid", "Liquid"));
  if (withSolid)
    enumerator.addOption(EnumeratorOption("solid", "Solid"));
  return enumerator;
}

} // namespace Phase
