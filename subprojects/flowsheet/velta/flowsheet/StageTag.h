#pragma once
// Tags of the children of composite units that come in families: a
// prefix, "[", the decimal index counted from 0 and "]".

#include <string>

namespace Velta::Flowsheet {

inline std::string indexedTag(const std::string &prefix, int i) {
  return prefix + "[" + std::to_string(i) + "]";
}

// "S[i]": stage i of a composite built from stages.
inline std::string stageTag(int i) { return indexedTag("S", i); }

} // namespace Velta::Flowsheet
