// Literal data of the built-in fluids: water and hydrogen.

#include "velta/components/Formula.h"
#include "velta/components/PureComponents.h"
#include "velta/value/Constants.h"

namespace {

Value formulaMass(const char *formula) {
  return Value(formulaMolarMass(parseFormula(formula)), "kg/kmol");
}

// Hydrogen's ideal-gas heat capacity and liquid density records, shared by
// the component's own routes and the constructor of its base.
ParametersDippr hydrogenCpig() { return ParametersDippr(27617, 9560, 2466, 3760, 567.6, 250, 1500); }
ParametersDippr hydrogenLiquidDensity() {
  return ParametersDippr(5.414, 0.34893, 33.19, 0.2706, 0, 13.95, 33.19);
}

} // namespace

namespace purecomps {

water::water(const std::string &name)
    : ComponentPdippr(
          name, formulaMass("H2O"), Value(2.2055e7, "Pa"), Value(647.13, "K"),
          Value(322.001937520331, "kg/m3"), dimensionlessZero, Value(0.0188308, "m3/kmol"),
          Value(-2.41814e8, "J/kmol"), Value(-2.2859e8, "J/kmol"),
          // The heat-of-vaporisation constant is molar.
          Value(5.2053e7, "J/kmol"), Value(0.229), Value(0.344861),
          ParametersAntoine(73.649, -7258.2, 0, 0, -7.3037, 4.1653e-6, 2, 273.16, 647.13),
          ParametersLnPolynomial(-2558.7254408, 1954.64102748, -573.43988184, 81.5422031,
                                 -5.6045238, 0.14904476),
          ParametersDippr(-0.432, 0.0057255, -8.078e-6, 1.861e-9, 0, 273.16, 633.15),
          ParametersDippr(0.0021606, 0.76839, 3940.5, -445340, 0, 273.16, 1073.15),
          ParametersDippr(-52.843, 3703.6, 5.866, -5.879e-29, 10, 273.16, 646.15),
          ParametersDippr(6.1839e-7, 0.67779, 847.23, -73930, 0, 273.16, 1073.15),
          ParametersDippr(0.18548, 2.717, -3.554, 2.047, 0, 273.16, 647.13), ParametersHenry()) {}

H2::H2(const std::string &name, bool henryLaw)
    : RouteHeatVaporDippr(nullptr, hydrogenCpig()),
      RouteVolumeLiquidDippr(nullptr, hydrogenLiquidDensity()),
      ComponentDippr(
          name, formulaMass("H2"), Value(1313000, "Pa"), Value(33.19, "K"),
          Value(31.4259435359409, "kg/m3"), dimensionlessZero, Value(0.0285681, "m3/kmol"),
          Value(0, "J/kmol"), Value(0, "J/kmol"),
          // The heat-of-vaporisation constant is molar.
          Value(1012700, "J/kmol"), Value(0.305), Value(-0.215993),
          ParametersAntoine(12.69, -94.896, 0, 0, 1.1125, 0.00032915, 2, 13.95, 33.19),
          hydrogenCpig(), hydrogenLiquidDensity(),
          ParametersDippr(-0.0917, 0.017678, -0.000382, -3.3324e-6, 1.0266e-7, 13.95, 31),
          ParametersDippr(0.002653, 0.7452, 12, 0, 0, 22, 1600),
          ParametersDippr(-11.661, 24.7, -0.261, -4.1e-16, 10, 13.95, 33),
          ParametersDippr(1.797e-7, 0.685, -0.59, 140, 0, 13.95, 3000),
          ParametersDippr(0.005345, 1.0646, 0, 0, 0, 13.95, 33.19),
          henryLaw ? ParametersHenry(7.8e-4, 500) : ParametersHenry()) {}

} // namespace purecomps
