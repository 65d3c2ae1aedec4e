// Literal Barin data of the built-in solids: iron, silica, silicon and
// iron(II) fluoride. Records: xmin, xmax (K), then the coefficients of
//   G(T) = c0 + c1 T + c2 T ln T + c3 T^2 + c4 T^3 + c5 T^4 + c6/T + c7/T^2  (J/kmol)
// in increasing temperature order, each xmax equal to the next xmin.

#include "velta/components/PureComponents.h"

namespace purecomps {

Fe::Fe(const std::string &name)
    : ComponentBkk(
          name, Value(55.847, "kg/kmol"),
          GroupBkk(ParameterBkk(1809, 3132, -10822200, 318743, -46024, 0, 0, 0, 0, 0)),
          GroupBkk(ParameterBkk(298.15, 900, 3.77578e7, -653988, 109138, -214.129, 0.0847056,
                                -1.94548e-5, -4.01092e9, 1.97974e11),
                   ParameterBkk(900, 1030, -9.82766e9, 1.08061e8, -1.58017e7, 11275.5, -1.51621, 0,
                                1.14672e12, 0),
                   ParameterBkk(1030, 1042, 1.05931e11, -6.11913e8, 7.70863e7, 0, -6.05807, 0,
                                -2.04689e13, 0),
                   ParameterBkk(1042, 1048, 8.66454e11, -4.93566e9, 6.20532e8, 0, -47.1607, 0,
                                -1.7013e14, 0),
                   ParameterBkk(1048, 1184, 2.46836e9, -2.15246e7, 2850510, 0, -0.665989,
                                1.62537e-4, 0, -1.45939e14),
                   ParameterBkk(1184, 1665, -7.82931e8, 5465940, -754902, 378.21, -0.053167,
                                4.09309e-6, 2.22998e11, -3.51507e13),
                   ParameterBkk(1665, 1809, -2104440, 162152, -24591.9, -4.96441, 0, 0, 0, 0))) {}

silica::silica(const std::string &name)
    : ComponentBkk(
          name, Value(60.0843, "kg/kmol"),
          GroupBkk(ParameterBkk(1996, 3000, -9.5287e8, 788885, -85772, 0, 0, 0, 0, 0)),
          GroupBkk(ParameterBkk(298.15, 847, -9.18904e8, 223641, 2920.44, -121.392, 0.0525155,
                                -1.37295e-5, 1.19536e8, -6.4136e9),
                   ParameterBkk(847, 1079, -9.29429e8, 583836, -58910.7, -5.0208, 0, 0, 0, 0),
                   ParameterBkk(1079, 1996, -9.41003e8, 683914, -72620.1, -0.739533, 1.4504e-5,
                                -1.12888e-9, 2.04213e9, 3.05299e9))) {}

silicon::silicon(const std::string &name)
    : ComponentBkk(
          name, Value(28.0855, "kg/kmol"),
          GroupBkk(ParameterBkk(1685, 3504.62, 4.03636e7, 156502, -27196, 0, 0, 0, 0, 0)),
          GroupBkk(ParameterBkk(298.15, 1685, -8160000, 156000, -22800, -1.93, 0, 0, 1.77e8, 0))) {}

FeF2::FeF2(const std::string &name)
    : ComponentSolid(name, Value(93.8438, "kg/kmol"),
                     ParameterBkk(298.15, 1373, -7.28149e8, 578462, -62955.8, -19.8288, 0.00425834,
                                  -4.77325e-7, 3.91277e8, -1.88227e10),
                     emptyParameterBkk, emptyParameterBkk, emptyParameterBkk, emptyParameterBkk,
                     emptyParameterBkk, emptyParameterBkk) {}

} // namespace purecomps
