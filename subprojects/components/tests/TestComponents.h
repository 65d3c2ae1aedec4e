#pragma once
// Components assembled from the routes the way the concrete component
// classes do it, with water-like data, for the route and list tests.

#include "velta/components/ComponentBase.h"
#include "velta/components/ComponentGeneric.h"
#include "velta/components/RouteHeatLiquidDummySolidBkk.h"
#include "velta/components/RouteHeatSolidDummy.h"
#include "velta/components/RouteHeatVaporDummy.h"
#include "velta/components/RouteSaturationDummy.h"
#include "velta/components/RouteTransportDippr.h"
#include "velta/components/RouteTransportDummy.h"
#include "velta/components/RouteVolumeSolidDummy.h"
#include "velta/components/RouteVolumeVaporDummy.h"
#include "velta/components/dippr.h"
#include "velta/components/pdippr.h"

#include <string>

namespace testdata {

// Water's constants; the heat of vaporisation constant is molar.
inline ComponentBase waterConstants() {
  return ComponentBase(Value(18.015324, "kg/kmol"), Value(22055000.0, "Pa"), Value(647.13, "K"),
                       Value(322.001937520331, "kg/m3"), Value(0.0), Value(0.0188308, "m3/kmol"),
                       Value(-241814000.0, "J/kmol"), Value(-228590000.0, "J/kmol"), Value(0.229),
                       Value(0.344861));
}

inline const Value dhvl0(52053000.0, "J/kmol");

// Water's vapour pressure record over 273.16 K to 647.13 K, and the same
// equation restricted to 300 K to 600 K so that both continuations of the
// correlation lie inside 250 K to 700 K.
inline ParametersAntoine waterAntoine(double tmin = 273.16, double tmax = 647.13) {
  return ParametersAntoine(73.649, -7258.2, 0, 0, -7.3037, 4.1653e-6, 2, tmin, tmax);
}

// DIPPR 107 ideal-gas heat capacity of water (J/(kmol*K)).
inline ParametersDippr waterCpig() {
  return ParametersDippr(33363, 26790, 2610.5, 8896, 1169, 100, 2273.15);
}
// DIPPR 105 liquid density of water (kmol/m3), range narrowed to 280-600 K.
inline ParametersDippr waterDensity105() {
  return ParametersDippr(5.459, 0.30542, 647.13, 0.081, 0, 280, 600);
}

// Water's transport records; the vapour records narrowed to 300-600 K so
// that both of their bounds lie inside 250 K to 700 K.
inline ParametersDippr kl() {
  return ParametersDippr(-0.432, 0.0057255, -8.078e-6, 1.861e-9, 0, 273.16, 633.15);
}
inline ParametersDippr kv() {
  return ParametersDippr(0.0021606, 0.76839, 3940.5, -445340, 0, 300, 600);
}
inline ParametersDippr mul() {
  return ParametersDippr(-52.843, 3703.6, 5.866, -5.879e-29, 10, 273.16, 646.15);
}
inline ParametersDippr muv() {
  return ParametersDippr(6.1839e-7, 0.67779, 847.23, -73930, 0, 300, 600);
}
inline ParametersDippr sigma() {
  return ParametersDippr(0.18548, 2.717, -3.554, 2.047, 0, 273.16, 647.13);
}

inline ParametersLnPolynomial waterCpPolynomial() {
  return ParametersLnPolynomial(-2558.7254408, 1954.64102748, -573.43988184, 81.5422031, -5.6045238,
                                0.14904476);
}

} // namespace testdata

// A component with the DIPPR bundle: DIPPR 107 vapour heat, DIPPR 105
// liquid density, ideal-gas vapour.
class TestDipprComponent : public ComponentGeneric,
                           public ComponentBase,
                           public RouteHeatSolidDummy,
                           public RouteVolumeSolidDummy,
                           public dippr,
                           public RouteTransportDippr {
public:
  explicit TestDipprComponent(const std::string &name,
                              const ParametersAntoine &antoine = testdata::waterAntoine(300, 600))
      : RouteHeatVaporDippr(nullptr, testdata::waterCpig()),
        RouteVolumeLiquidDippr(nullptr, testdata::waterDensity105()), ComponentGeneric(name),
        ComponentBase(testdata::waterConstants()), dippr(testdata::dhvl0, antoine),
        RouteTransportDippr(testdata::kl(), testdata::kv(), testdata::mul(), testdata::muv(),
                            testdata::sigma()) {}

  bool isSolid() const override { return false; }
};

// A component with the held-route bundle: ln-T polynomial vapour heat and
// the water density correlation.
class TestPdipprComponent : public ComponentGeneric,
                            public ComponentBase,
                            public RouteHeatSolidDummy,
                            public RouteVolumeSolidDummy,
                            public pdippr,
                            public RouteTransportDippr {
public:
  explicit TestPdipprComponent(const std::string &name, const Value &dhvl0 = testdata::dhvl0)
      : ComponentGeneric(name), ComponentBase(testdata::waterConstants()),
        pdippr(dhvl0, testdata::waterAntoine(), testdata::waterCpPolynomial()),
        RouteTransportDippr(testdata::kl(), testdata::kv(), testdata::mul(), testdata::muv(),
                            testdata::sigma()) {}

  bool isSolid() const override { return false; }
};

// A solid-only component: one Barin group answers the liquid and solid heat
// interfaces, everything else is a placeholder.
class TestSolidComponent : public ComponentGeneric,
                           public ComponentBase,
                           public RouteSaturationDummy,
                           public RouteHeatVaporDummy,
                           public RouteTransportDummy,
                           public RouteVolumeVaporDummy,
                           public RouteVolumeSolidDummy,
                           public RouteHeatLiquidDummySolidBkk {
public:
  // FeF2's record (J/kmol, K).
  explicit TestSolidComponent(const std::string &name)
      : ComponentGeneric(name), ComponentBase(Value(93.8438, "kg/kmol")),
        RouteHeatLiquidDummySolidBkk(ParameterBkk(298.15, 1373, -7.28149e8, 578462, -62955.8,
                                                  -19.8288, 0.00425834, -4.77325e-7, 3.91277e8,
                                                  -1.88227e10),
                                     emptyParameterBkk, emptyParameterBkk, emptyParameterBkk,
                                     emptyParameterBkk, emptyParameterBkk, emptyParameterBkk) {}

  bool isSolid() const override { return true; }
  Value kvli(const Value &, const Value &) const override { return Value(1e-20); }
  Value rhol(const Value &T, const Value &P, double *derT = nullptr) const override {
    return rhos(T, P, derT);
  }
};
