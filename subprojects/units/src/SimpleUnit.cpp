#include "velta/units/SimpleUnit.h"

SimpleUnit::SimpleUnit(Defaults defaults, int id, Persistency *persistency, const char *typeName)
    : Connectivity(defaults, id, persistency) {
  setType(typeName);
}
