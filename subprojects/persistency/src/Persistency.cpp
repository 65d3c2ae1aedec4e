#include "velta/persistency/Persistency.h"

#include "velta/persistency/Integer.h"
#include "velta/persistency/String.h"

#include <cmath>
#include <limits>

int Persistency::purgeAll() {
  // Element rows before their headers, node rows last.
  static const char *const tables[] = {"I",  "IVV", "IV", "Q",   "QMV", "QM",
                                       "QVV", "QV", "S",  "SVV", "SV",  "N"};
  push_transaction();
  try {
    for (const char *table : tables)
      purge(table, -1);
  } catch (...) {
    rollback_transaction();
    throw;
  }
  return pop_transaction();
}

int Persistency::readInteger(int nodeId, const std::string &tag) {
  Integer variable(tag, "", -1, nullptr);
  read(nodeId, IntegerRegistry{{tag, &variable}});
  return variable.value();
}

std::string Persistency::readString(int nodeId, const std::string &tag) {
  String variable(tag, "", "", nullptr);
  read(nodeId, StringRegistry{{tag, &variable}});
  return variable.value();
}

void Persistency::sanitize(double &value) {
  // The largest double below 2^1023, and the bounds 2^-1023 and 2^-1021.
  constexpr double largest = 8.988465674311579e307;
  const double tiny = std::ldexp(1.0, -1023);
  const double smallest = std::ldexp(1.0, -1021);
  if (std::isinf(value))
    value = value > 0 ? largest : -largest;
  else if (std::isnan(value))
    value = 0.0;
  else if (value > 0 && value < tiny)
    value = smallest;
  else if (value < 0 && value > -tiny)
    value = -smallest;
}
