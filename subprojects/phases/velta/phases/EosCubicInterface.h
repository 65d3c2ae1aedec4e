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
// Two ways through the same formulas: while the object logs (level 1 and
// up) every operation runs on physical values and writes its lines; else
// precompute, the pressure step, the residual properties and the
// fugacity coefficients run on unit-free numbers (CubicTerms.h), with the
// units of their inputs checked and those of their results attached. The
// mixture parameters A_, dAdT_, d2AdT2_ and B_ are values after either, so
// the single operations (eos, deosdv, helmholtz, ...) serve both; the
// per-component values are made from the numbers when a valued operation
// needs them.
//
// Without interaction parameters the geometric mean factorises,
//     sum_i x_i sqrt(a_k a_i) = sqrt(a_k) sum_i x_i sqrt(a_i),
// so precompute forms four sums over the mixture once and then each
// component's share (and its T derivatives) in O(1): precompute is O(N), as
// are preparefugacity_eos and the mixing rules; everything else is O(1).

#include "velta/phases/CubicTerms.h"
#include "velta/phases/EosInterface.h"

#include <array>
#include <memory>
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
  // The engine interface's pressure step (precompute, then the pressure
  // from beta with its corrections) on the unit-free numbers unless the
  // object logs.
  void calculatePressureEos_(const Value &T, Vector x, const Value &sumx, int phaseType, Value &P);
  // The engine interface's residual properties, likewise.
  void calculateResiduals(const Value &P, const Value &T, const Value &sumx) override;
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

  // The slope m(omega) of the temperature function (0: a independent of T).
  virtual double temperatureSlope(double omega);

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

  // The equation's constants for the unit-free terms.
  virtual CubicConstants equation() const = 0;

private:
  // Whether this object writes log lines of level 1 (the valued way).
  bool traced() const;
  // precompute on values, writing its log lines.
  void precomputeValues(const Value &T, Vector x);
  // Tc, Pc, omega, m and b of every component, refreshed where they changed.
  void refreshPureParameters();
  // The per-component values (sqrtai_ ... d2amixi_, bi_) from the terms of
  // the last precompute, for an operation on values.
  void valuesFromTerms();

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

  std::vector<PureParameters> pure_;
  std::vector<char> pureKnown_; // pure_[i] filled
  // Terms for each kind of derivative context (no directions, 1 to 5 dense,
  // sparse), made when first needed; current_ holds the last precompute's
  // numbers, or is null after a precompute on values.
  std::array<std::unique_ptr<CubicTerms>, 7> terms_;
  CubicTerms *current_ = nullptr;
  bool valuesCurrent_ = false; // the per-component values belong to current_
};

} // namespace Phase::EosCubic
