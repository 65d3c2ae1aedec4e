#include "velta/value/Constants.h"

#include <new>

namespace {

struct ConstantValues {
  Value referencePressure{101325.0, "Pa"};
  Value maximumPressure{1e10, "Pa"};
  Value minimumPressure{1e-5, "Pa"};
  Value gasConstant{8314.4, "J/(kmol*K)"};
  Value referenceTemperature{298.15, "K"};
  Value maximumTemperature{1500.0, "K"};
  Value minimumTemperature{50.0, "K"};
  Value dimensionlessOne{1.0};
  Value dimensionlessZero{0.0};
};

// Raw storage, so that the references below are bound during constant
// initialisation, before any start-up code can read them; the values are
// built in place by the first ConstantsInit.
union ConstantStorage {
  constexpr ConstantStorage() : placeholder() {}
  ~ConstantStorage() {}
  char placeholder;
  ConstantValues values;
};
constinit ConstantStorage storage;
int constantsInitCount = 0;

} // namespace

constinit const Value &referencePressure = storage.values.referencePressure;
constinit const Value &maximumPressure = storage.values.maximumPressure;
constinit const Value &minimumPressure = storage.values.minimumPressure;
constinit const Value &gasConstant = storage.values.gasConstant;
constinit const Value &referenceTemperature = storage.values.referenceTemperature;
constinit const Value &maximumTemperature = storage.values.maximumTemperature;
constinit const Value &minimumTemperature = storage.values.minimumTemperature;
constinit const Value &dimensionlessOne = storage.values.dimensionlessOne;
constinit const Value &dimensionlessZero = storage.values.dimensionlessZero;

ConstantsInit::ConstantsInit() {
  if (constantsInitCount++ == 0)
    new (&storage.values) ConstantValues;
}

ConstantsInit::~ConstantsInit() {
  if (--constantsInitCount == 0)
    storage.values.~ConstantValues();
}
