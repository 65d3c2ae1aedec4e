#include "velta/streams/FlashLlTx.h"

#include "velta/components/ListComponents.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

using Velta::Utility::FlashMode;
using Velta::Utility::flashModeName;

std::map<int, double> kllEstimates;

FlashLlTx::FlashLlTx() {
  isIdeal = false;
  setName("FlashLlTx");
}

FlashLlTx::~FlashLlTx() = default;

void FlashLlTx::setFlash_(int fm, const Value &s1, const Value &s2, bool strict) {
  static const char *const name = "FlashLlTx::setFlash_";
  VELTA_TRACE_BEGIN
  VELTA_LOG(flashVerbosity(), 1, name,
            "Entered with fm = " << flashModeName(fm) << " " << s1 << " " << s2);
  if (fm != static_cast<int>(FlashMode::PT))
    throw ErrorSmartEnum(name, "Flash mode", flashModeName(fm).c_str());
  FlashVlT::setFlash_(fm, s1, s2, strict);
  VELTA_LOG(flashVerbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

void FlashLlTx::fillkvl(const Value &P, const Value &T, bool all) {
  static const char *const name = "FlashLlTx::fillkvl";
  VELTA_LOG(flashVerbosity(), 1, name, "Entered with P = " << P << " T = " << T);
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    if (all || x[k].value() > 0.0 || y[k].value() > 0.0) {
      VELTA_LOG(flashVerbosity(), 2, name, "Now estimating KLLs");
      const auto found = kllEstimates.find(i);
      kVL_[k] = Value(found == kllEstimates.end() ? 1.0 : found->second);
    } else {
      kVL_[k] = Value(1.0);
    }
    VELTA_LOG(flashVerbosity(), 2, name,
              "x[" << i << "] = " << x[k] << " y[" << i << "] = " << y[k] << " kVL[" << i
                   << "] = " << kVL_[k]);
  }
}
