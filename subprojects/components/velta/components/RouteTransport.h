#pragma once
// Transport route: viscosities (Pa*s), thermal conductivities (W/(m*K)) and
// surface tension (N/m) at T (K). Results are plain values without
// automatic-differentiation derivatives.

#include "velta/components/ComponentInterface.h"

class RouteTransport : public virtual ComponentInterface {
public:
  virtual Value muv(const Value &T) const = 0;
  virtual Value mul(const Value &T) const = 0;
  virtual Value kv(const Value &T) const = 0;
  virtual Value kl(const Value &T) const = 0;
  virtual Value sigma(const Value &T) const = 0;
};
