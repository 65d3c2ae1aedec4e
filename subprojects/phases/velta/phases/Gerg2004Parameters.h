#pragma once
// The coefficient set of the GERG-2004 wide-range equation of state for
// natural gases and other mixtures (Kunz, Klimeck, Wagner, Jaeschke, GERG
// Technical Monograph 15, 2007): 18 pure fluids, their 153 pairs, the 15
// departure functions and the reducing parameters of every pair. Valid, as
// the published equation, from 90 K to 450 K up to 35 MPa (extended range
// 60 K to 700 K, 70 MPa).
//
// Components are numbered 0 to 17: methane, nitrogen, carbon dioxide,
// ethane, propane, n-butane, isobutane, n-pentane, isopentane, n-hexane,
// n-heptane, n-octane, hydrogen, oxygen, carbon monoxide, water, helium,
// argon. A pair (i, j) with i < j has the index j(j - 1)/2 + i. Densities
// in kmol/m3, temperatures in K. One process-wide set, built once and read
// only.

#include <array>
#include <vector>

namespace Phase {

inline constexpr int gerg2004Components = 18;
inline constexpr int gerg2004Pairs = 153;

// Index of the pair (i, j), i < j, in every pair table.
constexpr int gerg2004PairIndex(int i, int j) { return j * (j - 1) / 2 + i; }

// n delta^d tau^t
struct Gerg2004PolTerm {
  double n, d, t;
};
// n delta^d tau^t exp(-delta^c)
struct Gerg2004ExpTerm {
  double n, d, t, c;
};
// n delta^d tau^t exp(-eta (delta - epsilon)^2 - beta (delta - gamma))
struct Gerg2004DepartureExpTerm {
  double n, d, t, eta, epsilon, beta, gamma;
};

struct Gerg2004Pure {
  double rhoc = 0; // critical density, kmol/m3
  double Tc = 0;   // critical temperature, K
  double M = 0;    // molar mass, kg/kmol
  int Kpol = 0;
  int Kexp = 0;
  std::vector<Gerg2004PolTerm> pol;
  std::vector<Gerg2004ExpTerm> exp;
  std::array<double, 7> nIdeal{};     // n_1 ... n_7
  std::array<double, 4> thetaIdeal{}; // theta_4 ... theta_7; 0 switches a term off
};

// A pair without a departure function keeps F = 0 and no terms.
struct Gerg2004Departure {
  double F = 0;
  int Kpol = 0;
  int Kexp = 0;
  std::vector<Gerg2004PolTerm> pol;
  std::vector<Gerg2004DepartureExpTerm> exp;
};

// The square of each beta multiplies the fraction of the lower-numbered
// component of the pair.
struct Gerg2004Reducing {
  double betaV, gammaV, betaT, gammaT;
};

class Gerg2004Parameters {
public:
  Gerg2004Parameters();

  std::array<Gerg2004Pure, gerg2004Components> pure;
  std::array<Gerg2004Departure, gerg2004Pairs> departure;
  std::array<Gerg2004Reducing, gerg2004Pairs> reducing;
  // (rhoc_i^(-1/3) + rhoc_j^(-1/3))^3; the factor 1/8 is applied by the
  // reducing function.
  std::array<double, gerg2004Pairs> rhocPair;
  // (Tc_i Tc_j)^(1/2)
  std::array<double, gerg2004Pairs> TcPair;
};

// The process-wide set, built during start-up of the phases module.
const Gerg2004Parameters &gerg2004Parameters();

} // namespace Phase
