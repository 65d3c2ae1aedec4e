#pragma once
// The PC-SAFT parameter tables: one process-wide set shared by every PC-SAFT
// engine, filled by an embedding program (the kernel only reads them) and
// zero at start-up. Component i of the tables is component i of the
// process-wide component list.
//   pcsaftM        segment number m_i (dimensionless)
//   pcsaftSigma    segment diameter sigma_i, angstrom
//   pcsaftEpsilon  dispersion energy epsilon_i / k, K
//   pcsaftKij      binary interaction parameter k_ij, read as symmetric
// The three per-component tables lie one after the other (27 doubles).
// Constructing a PC-SAFT model sets ncomp to the size of the component list
// and clears the k_ij of the first ncomp components, so k_ij are written
// after the last PC-SAFT model of a process has been built.

namespace Phase {

// Capacity of every table: the most components a PC-SAFT model can hold.
inline constexpr int NC = 9;

// The number of components the engines use; set by pcsaftSetNcomp only.
extern int ncomp;
extern double pcsaftComponentTables[3][NC];
inline double (&pcsaftM)[NC] = pcsaftComponentTables[0];
inline double (&pcsaftSigma)[NC] = pcsaftComponentTables[1];
inline double (&pcsaftEpsilon)[NC] = pcsaftComponentTables[2];
extern double pcsaftKij[NC][NC];

// ncomp = nc and k_ij = 0 for i, j < nc. A negative count is a broken
// invariant (fatal assertion "nc >= 0"); a count above NC is refused with
// ErrorRunTime from "pcsaftSetNcomp" before anything is written.
void pcsaftSetNcomp(int nc);

// The parameters of one engine, copied from the tables at every precompute
// together with the pair coefficients of the dispersion sums.
class PcsaftParameters {
public:
  // Copies the first ncomp components. A component whose m or sigma is not
  // positive, or whose epsilon is negative or not finite, has no usable
  // parameters: ErrorRunTime from function naming the component, so that
  // unset tables never turn into non-finite results.
  void load(const char *function);

  int n = 0;                   // ncomp at the last load
  double m[NC] = {};           // segment numbers
  double sigmai[NC] = {};      // segment diameters, angstrom
  double epsiloni[NC] = {};    // epsilon_i / k, K
  double epsilon[NC][NC] = {}; // (1 - k_ij) sqrt(epsilon_i epsilon_j), K
  double sigma[NC][NC] = {};   // (sigma_i + sigma_j) / 2, angstrom
  // m_i m_j epsilon_ij sigma_ij^3 and m_i m_j epsilon_ij^2 sigma_ij^3: the
  // pair coefficients of the dispersion sums S1 T and S2 T^2.
  double c1[NC][NC] = {};
  double c2[NC][NC] = {};
};

} // namespace Phase
