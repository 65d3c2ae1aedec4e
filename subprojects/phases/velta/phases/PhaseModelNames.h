#pragma once
// The names under which each property model appears as a phase type: the
// registered type name and the spelling of the model class in qualified
// log and error names ("PhaseGeneric<class Phase::Ideal>::PhaseGeneric").
// A property model family that becomes a phase type adds its
// specialisation here and its rows in PhaseTypes.cpp.

#include "velta/phases/ActivityNrtl.h"
#include "velta/phases/ActivityUnifac.h"
#include "velta/phases/Eos.h"
#include "velta/phases/Gerg2004.h"
#include "velta/phases/Iapws.h"
#include "velta/phases/Ideal.h"

#include <string>

namespace Phase {

template <class T> struct ModelNames;

template <> struct ModelNames<Ideal> {
  static constexpr const char *type = "PhaseIdeal";
  static constexpr const char *model = "class Phase::Ideal";
};
template <> struct ModelNames<Iapws> {
  static constexpr const char *type = "PhaseIapws";
  static constexpr const char *model = "class Phase::Iapws";
};
template <> struct ModelNames<Gerg2004> {
  static constexpr const char *type = "PhaseGerg2004";
  static constexpr const char *model = "class Phase::Gerg2004";
};
template <> struct ModelNames<Activity::Nrtl1> {
  static constexpr const char *type = "PhaseNrtl1";
  static constexpr const char *model = "class Phase::Activity::Nrtl1";
};
template <> struct ModelNames<Activity::Nrtl2> {
  static constexpr const char *type = "PhaseNrtl2";
  static constexpr const char *model = "class Phase::Activity::Nrtl2";
};
template <> struct ModelNames<Activity::Unifac> {
  static constexpr const char *type = "PhaseUnifac";
  static constexpr const char *model = "class Phase::Activity::Unifac";
};
template <> struct ModelNames<Eos<EosCubic::VanDerWaals>> {
  static constexpr const char *type = "PhaseVanDerWaals";
  static constexpr const char *model = "class Phase::Eos<class Phase::EosCubic::VanDerWaals>";
};
template <> struct ModelNames<Eos<EosCubic::PengRobinson>> {
  static constexpr const char *type = "PhasePengRobinson";
  static constexpr const char *model = "class Phase::Eos<class Phase::EosCubic::PengRobinson>";
};
template <> struct ModelNames<Eos<EosCubic::KwongRedlichSoave>> {
  static constexpr const char *type = "PhaseKwongRedlichSoave";
  static constexpr const char *model =
      "class Phase::Eos<class Phase::EosCubic::KwongRedlichSoave>";
};

// "Template<" + model + ">::" + operation, with the blank that separates
// two closing angle brackets.
inline std::string qualifiedName(const std::string &templateName, const std::string &model,
                                 const std::string &operation) {
  const bool nested = !model.empty() && model.back() == '>';
  return templateName + "<" + model + (nested ? " >::" : ">::") + operation;
}

} // namespace Phase
