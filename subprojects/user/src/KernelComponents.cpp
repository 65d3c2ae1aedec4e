#include "velta/user/KernelComponents.h"

#include "velta/components/ListComponents.h"
#include "velta/components/PureComponents.h"
#include "velta/value/Constants.h"

namespace {

// The constants shared by every correlation-built component, in constructor
// order (diffvol is zero for all of them).
struct Constants {
  double mw, Pc, Tc, rhoc, vb, dh0, dg0, dhvl0, zc, omega;
};

// The liquid and transport records of a component, in constructor order.
struct Records {
  ParametersDippr rhol, kl, kv, mul, muv, sigma;
};

template <class Component, class VapourHeat>
Component *build(const char *name, const Constants &c, const ParametersAntoine &antoine,
                 const VapourHeat &vapourHeat, const Records &r) {
  // The heat-of-vaporisation constant is molar, as for the built-in fluids.
  return new Component(name, Value(c.mw, "kg/kmol"), Value(c.Pc, "Pa"), Value(c.Tc, "K"),
                       Value(c.rhoc, "kg/m3"), dimensionlessZero, Value(c.vb, "m3/kmol"),
                       Value(c.dh0, "J/kmol"), Value(c.dg0, "J/kmol"),
                       Value(c.dhvl0, "J/kmol"), Value(c.zc), Value(c.omega), antoine,
                       vapourHeat, r.rhol, r.kl, r.kv, r.mul, r.muv, r.sigma, ParametersHenry());
}

ComponentGeneric *chemical1() {
  return build<ComponentDippr>(
      "Chemical1",
      {20.0063, 6480000, 461.15, 289.946376811594, 0.0209448, -273300000, -275400000, 134510000,
       0.117, 0.382283},
      ParametersAntoine(59.544, -4143.8, 0, 0, -6.1764, 1.4161e-05, 2, 189.79, 461.15),
      ParametersDippr(29134, 9325.2, 2905, 195, 1326, 50, 1500),
      {ParametersDippr(2.5635, 0.1766, 461.15, 0.3733, 0, 189.79, 461.15),
       ParametersDippr(0.7516, -0.0010874, 0, 0, 0, 189.79, 394.45),
       ParametersDippr(3.4629e-05, 1.1224, 18.744, 0, 0, 350, 450),
       ParametersDippr(-55.977, 2641.3, 6.7795, 0, 0, 195, 292.67),
       ParametersDippr(4.5101e-14, 3.0005, -521.83, 76111, 0, 285.5, 472.68),
       ParametersDippr(0.03648, 1.4122, 0, 0, 0, 189.79, 461.15)});
}

ComponentGeneric *chemical2() {
  return build<ComponentDippr>(
      "Chemical2",
      {36.4606, 8310000, 324.65, 450.130864197531, 0.030563, -92310000, -95300000, 0, 0.249,
       0.131544},
      ParametersAntoine(104.27, -3731.2, 0, 0, -15.047, 0.03134, 1, 158.97, 324.65),
      ParametersDippr(29157, 9048, 2093.8, -107, 120, 50, 1500),
      {ParametersDippr(3.342, 0.2729, 324.65, 0.3217, 0, 158.97, 324.65),
       ParametersDippr(0.8045, -0.002102, 0, 0, 0, 273.15, 323.15),
       ParametersDippr(4.55e-05, 0.9989, -21.9, 0, 0, 158.97, 1000),
       ParametersDippr(71.32, -2542.1, -12.68, 0, 0, 233.15, 313.15),
       ParametersDippr(4.924e-07, 0.6702, 157.7, 0, 0, 200, 1000),
       ParametersDippr(0.0852, 1.297, 0, 0, 0, 158.97, 324.65)});
}

// Chemical3 and Chemical4 share every constant and record but the molar mass.
ComponentGeneric *waterLike(const char *name, double mw) {
  return build<ComponentPdippr>(
      name,
      {mw, 22055000, 647.13, 322.001937520331, 0.0188308, -241814000, -228590000, 52053000, 0.229,
       0.344861},
      ParametersAntoine(73.649, -7258.2, 0, 0, -7.3037, 4.1653e-06, 2, 273.16, 647.13),
      ParametersLnPolynomial(-2558.7254408, 1954.64102748, -573.43988184, 81.5422031, -5.6045238,
                             0.14904476),
      {ParametersDippr(5.12695687806118, 0.286843820216504, 647.096, 0.158439194541274, 0, 275,
                       647.096),
       ParametersDippr(-0.432, 0.0057255, -8.078e-06, 1.861e-09, 0, 273.16, 633.15),
       ParametersDippr(0.0021606, 0.76839, 3940.5, -445340, 0, 273.16, 1073.15),
       ParametersDippr(-52.843, 3703.6, 5.866, -5.879e-29, 10, 273.16, 646.15),
       ParametersDippr(6.1839e-07, 0.67779, 847.23, -73930, 0, 273.16, 1073.15),
       ParametersDippr(0.18548, 2.717, -3.554, 2.047, 0, 273.16, 647.13)});
}

ComponentGeneric *salt1() {
  return build<ComponentDippr>(
      "Salt1",
      {104.079, 3720000, 259, 515.242574257426, 0.201992, -1614940000, -1572700000, 0, 0.349,
       0.38584},
      ParametersAntoine(272.85, -9548.9, 0, 0, -40.089, 6.3699e-15, 6, 186.35, 259),
      ParametersDippr(36810, 71245, 652.01, 46721, 286.03, 100, 1500),
      {ParametersDippr(1.1945, 0.24128, 259, 0.16693, 0, 186.35, 259),
       ParametersDippr(0, 0, 0, 0, 0, 100, 1000),
       ParametersDippr(9.55e-05, 0.928, 63.6, 0, 0, 333.55, 702.45),
       ParametersDippr(0, 0, 0, 0, 0, 100, 1000),
       ParametersDippr(2.1671e-07, 0.76757, 16.28, 0, 0, 250, 500),
       ParametersDippr(0.073456, 1.062, 0, 0, 0, 186.35, 259)});
}

} // namespace

void addKernelComponents() {
  components.clear();
  components.add(new purecomps::water("H2O"));
  components.add(new purecomps::H2("H2", true));
  components.add(chemical1());
  components.add(chemical2());
  components.add(waterLike("Chemical3", 144.0915));
  components.add(waterLike("Chemical4", 34.01468));
  components.add(new purecomps::silica("Inert"));
  components.add(new purecomps::silicon("Metal1"));
  components.add(new purecomps::Fe("Metal2"));
  components.add(salt1());
  components.add(new purecomps::FeF2("Salt2"));
}
