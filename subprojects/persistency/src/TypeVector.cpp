#include "velta/persistency/TypeVector.h"

std::size_t elementCount(int count, const char *function) {
  if (count < 0)
    throw ErrorRunTime(function, ("negative element count " + std::to_string(count)).c_str());
  return static_cast<std::size_t>(count);
}
