#pragma once
// Common part of the cubic equations of state
//     P = R T / (v - b) - a(T) / ((v + d1 b)(v + d2 b))   (van der Waals: a / v^2)
// in the packing fraction beta = b / v. Mixture parameters follow the
// one-fluid rules with the geometric mean for the attraction and no binary
// interaction parameters:
//     A_ = sum_ij x_i x_j sqrt(a_i a_j),   B_ = sum_i x_i b_i,
// both for the amount sumx (A_ quadratic, B_ linear in x); per mole
// a = A_ / sumx^2, b = B_ / sumx, and V = B_ / beta is the volume of sumx.
// Sums skip the components whose x_i is exactly 0; every component still
// gets its pure parameters.
//
// The heirs provide a_i(T) with its first two T derivatives, b_i, the
// pressure and its derivatives as functions of (T, v, a, b), and the
// attraction integral I = (1/R) int_v^inf dv' / ((v' + d1 b)(v' + d2 b)),
// from which the reduced residual Helmholtz energy is
//     F = n ln(V / (V - B_)) - A_ I(V, B_) / T.
//
// Square roots of attraction parameters are taken of a_i times 1 kg/m3
// (unitDensity_) so that the result has integral unit exponents.
//
// Without interaction parameters the geometric mean factorises,
//     sum_i x_i sqrt(a_k a_i) = sqrt(a_k) sum_i x_i sqrt(a_i),
// so precompute forms four sums over the mixture once and then each
// component's share (and its T derivatives) in O(1): precompute is O(N), as
// are preparefugacity_eos and the mixing rules; everything else is O(1).

#include "velta/phases/EosInterface.h"

#include <vector>

namespace Phase::EosCubic {

class Interface : public virtual Diagnostic, public virtual EosInterface {
public:
  // Stores the two constants; betac as given, betamax 1.2 betac and betamin
  // 0.8 betac.
  Interface(double OmegaA, double OmegaB, double betac);
  ~Interface() override;

  // --- the engine interface
  Value &betac(const Value &sumx) override;
  // Vapour: the ideal-gas beta at P and T. Other phase types (without
  // precompute): 2 / (2 + Tr), Tr = T sumx / sum x_i Tc_i. An empty phase
  // (no x_i > 0) is estimated as the equimolar mixture.
  void estimate(const Value &P, const Value &T, Vector x, int phaseType) override;
  void precompute(const Value &T, Vector x) override;
  Value rho_(const Value &beta, const Value &sumx) override;
  Value eos(const Value &T, const Value &beta, const Value &sumx) override;
  Value deosdbeta(const Value &T, const Value &beta, const Value &sumx) override;
  Value deosdv(const Value &T, const Value &beta, const Value &sumx) override;
  Value deosdT(const Value &T, const Value &beta, const Value &sumx) override;
  // A_ OmegaB / (R B_ OmegaA sumx).
  Value Tcm(const Value &sumx) override;
  // ln phi_i = dF/dn_i (T, V) - ln Z; a liquid whose uncorrected pressure
  // exceeds P also carries ln(Pcalc_ / P).
  void preparefugacity_eos(const Value &P, const Value &T, Vector x, const Value &sumx,
                           int phaseType, std::vector<Value> &lnphi) override;
  Value helmholtz(const Value &n, const Value &T, const Value &beta) override;
  Value helmholtzi(const Value &n, const Value &T, const Value &beta, int i) override;
  // These two reuse integral_ of the last helmholtz or helmholtzi.
  Value helmholtzT(const Value &n, const Value &T, const Value &beta) override;
  Value helmholtzT2(const Value &n, const Value &T, const Value &beta) override;

  // --- the engine operations of each equation
  // a_i at T (Pa*m6/kmol2); writes da_i/dT and d2a_i/dT2.
  virtual Value a(int i, const Value &T, Value &da, Value &d2a) = 0;
  // b_i = OmegaB R Tc_i / Pc_i (m3/kmol), the same for every cubic.
  virtual Value b(int i);
  // Pressure, dP/dv at constant T and dP/dT at constant v; ap is da/dT per mole.
  virtual Value eos(const Value &T, const Value &v, const Value &a, const Value &b) = 0;
  virtual Value deosdv(const Value &T, const Value &v, const Value &a, const Value &b) = 0;
  virtual Value deosdT(const Value &T, const Value &v, const Value &ap, const Value &b) = 0;
  // I(v, b) and dI/dv; I is homogeneous of degree -1 in (v, b).
  virtual Value integral(const Value &v, const Value &b) = 0;
  virtual Value dintegraldv(const Value &v, const Value &b) = 0;

  // Mixture parameters of the last precompute.
  const Value &A() const { return A_; }
  const Value &B() const { return B_; }
  double OmegaA() const { return OmegaA_; }
  double OmegaB() const { return OmegaB_; }

protected:
  // The mixing rules. Amixi gives sum_i x_i sqrt(a_k a_i) from the sums
  // over x that precompute formed, and writes damixi_[k] and d2amixi_[k];
  // Amix writes A_, dAdT_, d2AdT2_; Bmix writes B_ and every b_i.
  Value Amixi(Vector x, int k);
  void Amix(Vector x);
  void Bmix(Vector x);

  Value unitDensity_;
  std::vector<Value> sqrtai_;  // sqrt(a_i * unitDensity_)
  std::vector<Value> dai_;     // da_i/dT
  std::vector<Value> d2ai_;    // d2a_i/dT2
  std::vector<Value> amixi_;   // sum_j x_j sqrt(a_i a_j)
  std::vector<Value> damixi_;  // its first T derivative
  std::vector<Value> d2amixi_; // its second T derivative
  Value lnphiCommon_;          // share of ln phi common to all components
  Value integral_;             // I of the last helmholtz or helmholtzi
  Value A_;
  Value dAdT_;
  Value d2AdT2_;
  double OmegaA_;
  double OmegaB_;
  Value B_;

private:
  // The sums over the present components that the geometric means share:
  // sum x_i s_i, sum x_i a_i'/s_i, sum x_i a_i''/s_i and sum x_i a_i'^2/s_i^3
  // with s_i = sqrtai_[i] (the unit factor applied where they are used).
  void mixtureSums(Vector x);
  // The parts of helmholtzi common to all components at (n, T, beta):
  // dF/dn_i = repulsion_ + b_i covolumeFactor_ - attractionFactor_ amixi_[i].
  void helmholtziCommon(const Value &n, const Value &T, const Value &beta);

  std::vector<Value> bi_; // b_i of the last Bmix
  Value sumRoot_, sumSlope_, sumCurvature_, sumSlopeSquared_;
  Value repulsion_, covolumeFactor_, attractionFactor_;
};

} // namespace Phase::EosCubic
