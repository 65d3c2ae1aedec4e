#include "velta/streams/FlashBase.h"

#include "velta/value/Constants.h"

FlashBase::FlashBase()
    : T(referenceTemperature), P(referencePressure), Pset_(referencePressure),
      Tset_(referenceTemperature), Hset_(0.0, "J/kmol"), Sset_(0.0, "J/kmol/K"),
      rhoset_(0.0, "kmol/m3") {}

FlashBase::~FlashBase() = default;
