#pragma once
// Atomic weights of the elements, kg/kmol, by element symbol. Of the
// elements up to uranium, Tc, Pm, Po, At, Rn, Fr, Ra and Ac are absent, and
// none beyond uranium is present.

#include <map>
#include <string>

// The process-wide table of 84 elements, built on first use and never
// changed afterwards.
const std::map<std::string, double> &periodicTable();
