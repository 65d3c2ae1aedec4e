#include "velta/core/ObjectiveNleInterface.h"

ObjectiveNleInterface::~ObjectiveNleInterface() = default;
