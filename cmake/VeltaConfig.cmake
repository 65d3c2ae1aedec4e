# The Velta calculation kernel as a CMake package: one imported target per
# library, Velta::utility, Velta::value, Velta::components,
# Velta::persistency, Velta::core, Velta::phases, Velta::streams,
# Velta::units, Velta::flowsheet and Velta::user, each with its include
# folder and the libraries below it. Linking the top one a program needs
# (as a rule Velta::user, or Velta::flowsheet) brings the rest in order.
include("${CMAKE_CURRENT_LIST_DIR}/VeltaDependencies.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/VeltaTargets.cmake")
