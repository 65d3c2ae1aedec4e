#pragma once
// Test support of the GERG-2004 model: the 18 fluids of the equation, in
// its order, as components with their molar masses and critical constants.

#include "EosTestSupport.h"

#include <string>

namespace gergtest {

using eostest::Critical;

// A component with the critical constants, acentric factor and molar mass
// of a GERG-2004 fluid (Pc and omega from the usual compilations; only the
// cubic part reads them).
class Fluid : public eostest::CriticalComponent {
public:
  Fluid(const std::string &name, double mw, const Critical &c)
      : CriticalComponent(name, c), mw_(mw, "kg/kmol") {}
  const Value &MW() const override { return mw_; }

private:
  Value mw_;
};

struct FluidData {
  const char *name;
  double mw;
  Critical critical;
};
const FluidData fluids[] = {{"CH4", 16.04246, {190.564, 4.5992e6, 0.01142}},
                            {"N2", 28.0134, {126.192, 3.3958e6, 0.0372}},
                            {"CO2", 44.0095, {304.1282, 7.3773e6, 0.22394}},
                            {"C2H6", 30.06904, {305.322, 4.8722e6, 0.0995}},
                            {"C3H8", 44.09562, {369.825, 4.2512e6, 0.1521}},
                            {"nC4", 58.1222, {425.125, 3.796e6, 0.201}},
                            {"iC4", 58.1222, {407.817, 3.629e6, 0.184}},
                            {"nC5", 72.14878, {469.7, 3.37e6, 0.251}},
                            {"iC5", 72.14878, {460.35, 3.378e6, 0.2274}},
                            {"nC6", 86.17536, {507.82, 3.034e6, 0.299}},
                            {"nC7", 100.20194, {540.13, 2.736e6, 0.349}},
                            {"nC8", 114.22852, {569.32, 2.497e6, 0.393}},
                            {"H2", 2.01588, {33.19, 1.2964e6, -0.219}},
                            {"O2", 31.9988, {154.595, 5.043e6, 0.0222}},
                            {"CO", 28.0101, {132.8, 3.494e6, 0.0497}},
                            {"H2O", 18.01528, {647.096, 22.064e6, 0.3443}},
                            {"He", 4.002602, {5.1953, 0.2276e6, -0.382}},
                            {"Ar", 39.948, {150.687, 4.863e6, -0.00219}}};

// The component list of the 18 fluids in the equation's order.
inline void useFluids() {
  components.clear();
  for (const FluidData &f : fluids)
    components.add(new Fluid(f.name, f.mw, f.critical));
}

} // namespace gergtest
