#pragma once
// The flash state and operations that a stream and its flash class share.
// FlashBase is a virtual base of both, so that they see one flash mode, one
// flash temperature and pressure and one set of set points. The stream
// implements the operations that need its phases (totals, equation-of-state
// residuals and estimates, residual preparation, equilibrium residuals),
// the flash class the rest (Flash and the classes derived from it).
//
// Flash modes (FlashMode, 1-based) and the set points they use:
//   PT Pset_, Tset_;  PA Pset_, alfaset;  PH Pset_, Hset_;  RH rhoset_, Hset_;
//   RT rhoset_, Tset_;  PS Pset_, Sset_;  SA Sset_, alfaset.

#include "velta/core/Vector.h"
#include "velta/value/Value.h"

#include <string>
#include <vector>

class SolverNleInterface;

class FlashBase {
public:
  FlashBase();
  virtual ~FlashBase();

  // --- totals over the stream's phases at the flash T and P
  // Pressure at which the stream has the molar density rho.
  virtual const Value &calculateTotalP(const Value &rho) = 0;
  virtual const Value &calculateTotalRho() = 0;
  virtual const Value &calculateTotalH() = 0;
  virtual const Value &calculateTotalS() = 0;

  // --- residual evaluation
  // The stream's preparation of its phases before the residuals.
  virtual void prepare_residuals() = 0;
  // The flash class's own preparation (K-values and the like).
  virtual void prepare_Flash_residuals() = 0;
  // One residual per equation-of-state phase from y[start]; returns their
  // number.
  virtual int calculateResidualsEos(std::vector<Value> &y, unsigned start) = 0;
  virtual void estimateEos(const Value &P, const Value &T) = 0;
  // The phase-equilibrium residuals from y[start]; returns their number.
  virtual int calculateResidualsEquilibrium(std::vector<Value> &y, unsigned start) = 0;
  virtual void estimateEquilibrium(const Value &P, const Value &T) = 0;

  // --- specification and solution
  // Stores the mode fm and the set points s1, s2 (see above).
  virtual void setFlash_(int fm, const Value &s1, const Value &s2, bool strict) = 0;
  // 0 success, > 0 failure, < 0 dubious convergence (the solver's codes).
  virtual int solveFlash(bool simultaneous, bool skip) = 0;
  virtual std::string solverMessage(int code) = 0;
  // Declares T, P and the extra unknowns (addresses of values with the
  // addresses of their bounds, read once) and configures the solver.
  virtual void addUnknowns(std::vector<Value *> unknowns, std::vector<const double *> lower,
                           std::vector<const double *> upper) = 0;
  virtual SolverNleInterface &solver() = 0;
  virtual unsigned iterations() = 0;
  // Initial state of every unknown from the estimates P and T.
  virtual void estimate(const Value &P, const Value &T) = 0;

  // --- phases as the flash sees them, by PhaseIndex
  virtual const Value &Fraction(int phaseIndex, bool clipped) = 0;
  virtual Vector X(int phaseIndex) = 0;
  virtual const Value &sumx(int phaseIndex) = 0;
  virtual bool converged() = 0;

  Value *pressureAddress() { return &P; }
  bool ideal() const { return isIdeal; }
  void setIdeal(bool ideal) { isIdeal = ideal; }

  // The phase equilibrium uses ideal K-values.
  bool isIdeal = true;
  // The current FlashMode.
  int mode = 1;
  // Identity residuals only (a stream without flow).
  bool zero_residuals_ = false;
  // Flash temperature and pressure: unknowns of the flash.
  Value T;
  Value P;
  Value Pset_;
  Value Tset_;
  Value Hset_;
  Value Sset_;
  Value rhoset_;
};
