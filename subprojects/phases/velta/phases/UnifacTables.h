#pragma once
// The constant UNIFAC (VLE) group tables: the subgroups with their main
// group and their volume and surface-area parameters, and the main-group
// interaction parameters a(m, n) in kelvin. A pair of main groups that the
// interaction table does not list has no interaction (a = 0).

#include <span>

namespace Phase::Activity {

struct UnifacSubgroup {
  int subgroup;
  int mainGroup;
  double R; // volume parameter
  double Q; // surface-area parameter
};

struct UnifacInteraction {
  int m;    // main group of the first group
  int n;    // main group of the second group
  double a; // a(m, n) in K; a(m, n) and a(n, m) are independent
};

// 113 subgroups in ascending order of their number.
std::span<const UnifacSubgroup> unifacSubgroups();
// 1,270 entries, ordered by m, then n; no entry has m = n.
std::span<const UnifacInteraction> unifacInteractions();

} // namespace Phase::Activity
