#include "velta/components/RouteTransportDummy.h"

#include "RouteSupport.h"

using namespace routeSupport;

Value RouteTransportDummy::muv(const Value &) const { return Value(2e-5, pascalSecond); }
Value RouteTransportDummy::mul(const Value &) const { return Value(0.3, pascalSecond); }
Value RouteTransportDummy::kv(const Value &) const { return Value(0.026, wattPerMetreKelvin); }
Value RouteTransportDummy::kl(const Value &) const { return Value(0.6, wattPerMetreKelvin); }
Value RouteTransportDummy::sigma(const Value &) const { return Value(0.08, newtonPerMetre); }
