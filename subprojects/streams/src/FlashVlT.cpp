#include "velta/streams/FlashVlT.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

using Velta::Utility::FlashMode;
using Velta::Utility::flashModeName;
using Velta::Utility::PhaseIndex;

FlashVlT::FlashVlT() : alfaset(0.5) { setName("FlashVlT"); }

FlashVlT::~FlashVlT() = default;

void FlashVlT::setFlash_(int fm, const Value &s1, const Value &s2, bool) {
  static const char *const name = "FlashVlT::setFlash_";
  VELTA_TRACE_BEGIN
  VELTA_LOG(flashVerbosity(), 1, name,
            "Entered with fm = " << flashModeName(fm) << " " << s1 << " " << s2);
  Flash::setFlash_(fm, s1, s2, false);
  // The subtractions check the units of the set points.
  if (fm == static_cast<int>(FlashMode::PA)) {
    Pset_ = s1 - Value(0.0, "Pa");
    alfaset = s2 - 0.0;
  } else if (fm == static_cast<int>(FlashMode::SA)) {
    Sset_ = s1 - Value(0.0, "J/(kmol*K)");
    alfaset = s2 - 0.0;
  }
  VELTA_LOG(flashVerbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

Value FlashVlT::calculateResidualsFlashMode() {
  static const char *const name = "FlashVlT::calculateResidualsFlashMode";
  VELTA_LOG(flashVerbosity(), 1, name, "Entered with alfaset = " << alfaset);
  if (mode == static_cast<int>(FlashMode::PA) || mode == static_cast<int>(FlashMode::SA)) {
    Value y = alfaset - Fraction(static_cast<int>(PhaseIndex::vapor), false);
    VELTA_LOG(flashVerbosity(), 2, name, "y = " << y);
    return y;
  }
  return Flash::calculateResidualsFlashMode();
}

void FlashVlT::fillkvl(const Value &P, const Value &T, bool all) {
  static const char *const name = "FlashVlT::fillkvl";
  VELTA_LOG(flashVerbosity(), 1, name, "Entered with P = " << P << " T = " << T);
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    if (all || x[k].value() > 0.0 || y[k].value() > 0.0)
      kVL_[k] = components[i]->kvli(T, P);
    else
      kVL_[k] = Value(1.0);
    VELTA_LOG(flashVerbosity(), 2, name,
              "x[" << i << "] = " << x[k] << " y[" << i << "] = " << y[k] << " kVL[" << i
                   << "] = " << kVL_[k]);
  }
}

void FlashVlT::prepare_Flash_residuals() {
  VELTA_LOG(flashVerbosity(), 1, "FlashVlT::prepare_Flash_residuals", "Entered");
  fillkvl(P, T, mode != static_cast<int>(FlashMode::PT));
}
