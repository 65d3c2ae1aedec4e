#include "velta/phases/ActivityLiquid.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/core/Vector.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

#include <cstddef>

namespace Phase::Activity {

Liquid::Liquid(const char *className, const char *sourceFile)
    : className_(className), sourceFile_(sourceFile), prepareName_(className_ + "::prepare"),
      preparefugacityName_(className_ + "::preparefugacity"),
      calculateHName_(className_ + "::calculate_H_"),
      calculateSName_(className_ + "::calculate_S_") {}

Liquid::~Liquid() = default;

void Liquid::requireComponentCount(const char *function) const {
  if (NCOMPONENTS != ncoefficients())
    throw ErrorRunTime(function,
                       (className_ + ": built for " + std::to_string(ncoefficients()) +
                        " components, the component list holds " + std::to_string(NCOMPONENTS))
                           .c_str());
}

std::vector<Active> Liquid::activeFractions(Vector x, int count, const char *function) const {
  if (x.size() < count)
    throw ErrorRunTime(function, (className_ + ": " + std::to_string(x.size()) +
                                  " mole fractions given for " + std::to_string(count) +
                                  " components")
                                     .c_str());
  std::vector<Active> fractions;
  fractions.reserve(static_cast<std::size_t>(count));
  bool empty = true;
  for (int i = 0; i < count; ++i) {
    fractions.push_back(x[i].activeValue());
    empty = empty && fractions.back().value() == 0.0;
  }
  if (empty)
    for (Active &fraction : fractions)
      fraction = Active(1.0 / count);
  return fractions;
}

void Liquid::prepare(const Value &T, Vector x) {
  const char *name = prepareName_.c_str();
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered");
  setTemperature(T);
  calculateExcess(x);
  preparedAt_.record({&T}, x);
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

void Liquid::ensurePrepared(const Value &T, Vector x) {
  if (!preparedAt_.matches({&T}, x))
    prepare(T, x);
}

void Liquid::preparefugacity(const Value &P, const Value &T, Vector x, const Value &) {
  const char *name = preparefugacityName_.c_str();
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered");
  // The phase type comes from the phase's options, so a wrong one is an
  // error of the configuration, not a broken invariant.
  if (phaseType() != static_cast<int>(Velta::Utility::PhaseType::liquid))
    throw ErrorRunTime(name, ("condition phaseType() == Velta::Utility::PhaseType::liquid failed "
                              "in " +
                              sourceFile_ + ": " + className_ +
                              " gives fugacities of a liquid phase only")
                                 .c_str());
  requireComponentCount(name);
  ensurePrepared(T, x);
  for (int i = 0; i < NCOMPONENTS; ++i)
    lnphi_[static_cast<std::size_t>(i)] = log(components[i]->kvli(T, P) * gamma(i));
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

const Value &Liquid::calculate_H_(const Value &P, const Value &T, Vector x) {
  const char *name = calculateHName_.c_str();
  VELTA_TRACE_BEGIN
  ensurePrepared(T, x);
  VELTA_LOG(verbosity(), 1, name, "Entered with HE = " << HE_);
  Ideal::calculate_H_(P, T, x);
  hmol_ += HE_;
  return hmol_;
  VELTA_TRACE_END(name)
}

const Value &Liquid::calculate_S_(const Value &P, const Value &T, Vector x) {
  const char *name = calculateSName_.c_str();
  VELTA_TRACE_BEGIN
  ensurePrepared(T, x);
  VELTA_LOG(verbosity(), 1, name, "Entered with SE = " << SE_);
  Ideal::calculate_S_(P, T, x);
  VELTA_LOG(verbosity(), 1, name, "smol_ ideal = " << smol_);
  smol_ += SE_;
  VELTA_LOG(verbosity(), 1, name, "smol_ real = " << smol_);
  return smol_;
  VELTA_TRACE_END(name)
}

const Value &Liquid::calculate_Cp_(const Value &P, const Value &T, Vector x) {
  ensurePrepared(T, x);
  Ideal::calculate_Cp_(P, T, x);
  cpmol_ += CpE_;
  return cpmol_;
}

} // namespace Phase::Activity
