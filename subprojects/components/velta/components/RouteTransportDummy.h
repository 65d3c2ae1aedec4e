#pragma once
// Placeholder transport route: muv 2e-5 Pa*s, mul 0.3 Pa*s, kv 0.026 W/(m*K),
// kl 0.6 W/(m*K), sigma 0.08 N/m at any T.

#include "velta/components/RouteTransport.h"

class RouteTransportDummy : public virtual RouteTransport {
public:
  Value muv(const Value &T) const override;
  Value mul(const Value &T) const override;
  Value kv(const Value &T) const override;
  Value kl(const Value &T) const override;
  Value sigma(const Value &T) const override;
};
