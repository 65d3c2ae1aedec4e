#pragma once
// Process-wide parameter tables of the activity models. They are empty at
// start-up and nothing in the library writes them: the program that
// embeds the models fills them before it calculates a phase that uses them.
//
// NRTL tables hold an N x N matrix in row-major order, element (i, j) at
// position i * N + j with N = NCOMPONENTS; diagonal elements are never read
// and the tables need not be symmetric.

#include <map>
#include <vector>

namespace Phase::Activity {

// NRTL with alpha_ij constant and tau_ij = b_ij / T.
class ParametersNrtl1 {
public:
  static std::vector<double> &alphaTable(); // alpha_ij, dimensionless
  static std::vector<double> &bTable();     // b_ij in K

  // Element (i, j) of a table; neither the indices nor the table length are
  // tested (resize first).
  static double &alpha(int i, int j);
  static double &b(int i, int j);

  // Side of the alpha table: the rounded square root of its length.
  static int size();
  // Every table n x n, all elements 0.
  static void resize(int n);
  // ErrorRunTime from function unless every table holds exactly
  // NCOMPONENTS x NCOMPONENTS elements.
  static void require(const char *function);
};

// NRTL with alpha_ij = c_ij + d_ij (T - 273.15) and
// tau_ij = a_ij + b_ij / T + e_ij ln T + f_ij T.
class ParametersNrtl2 {
public:
  static std::vector<double> &aTable(); // dimensionless
  static std::vector<double> &bTable(); // K
  static std::vector<double> &eTable(); // dimensionless
  static std::vector<double> &fTable(); // 1/K
  static std::vector<double> &cTable(); // dimensionless
  static std::vector<double> &dTable(); // 1/K

  static double &a(int i, int j);
  static double &b(int i, int j);
  static double &e(int i, int j);
  static double &f(int i, int j);
  static double &c(int i, int j);
  static double &d(int i, int j);

  // Side of the a table: the rounded square root of its length.
  static int size();
  static void resize(int n);
  static void require(const char *function);
};

// UNIFAC make-up of the components: component index -> (subgroup number ->
// number of occurrences in the molecule). A complete map has the keys 0 to
// NCOMPONENTS - 1, one per component of the component list.
class ParametersUnifac {
public:
  using Subgroups = std::map<int, int>;

  static std::map<int, Subgroups> &componentSubgroups();
  // Subgroups of component i; std::out_of_range "invalid map<K, T> key" when
  // the map holds no entry for i.
  static Subgroups &subgroups(int i);
  // Number of components in the map.
  static int size();
};

} // namespace Phase::Activity
