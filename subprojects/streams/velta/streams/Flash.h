#pragma once
// The single-phase flash and base of every flash class: the equation system
// of a stream's flash with its embedded Newton solver.
//
// Unknowns, in this order: T, P, one packing fraction or reduced density
// per equation-of-state phase ("beta[i]"), then those of derived flashes.
// Residuals from the start index s: s the flash-mode residual, s + 1 the
// pressure residual, then the equation-of-state residuals of the stream,
// then the equilibrium residuals. All residuals are dimensionless and carry
// the derivatives of the unknowns: the temperature residual is scaled by
// 1000 / 298.15 K, the pressure residual by 1 / 101325 Pa, enthalpy and
// entropy residuals are relative.
//
// Calling order expected from the owner: construction; the owner points x_
// at its phase's mole fractions (single-phase streams) and, as its last
// construction step, calls addUnknowns once; setFlash_ before every
// solution; estimate on the first calculation; solveFlash; then the owner
// reads T and P back.
//
// Log lines are written when verbosityGlobal + verbosity() - 2 > level.

#include "velta/core/ObjectiveNleAd.h"
#include "velta/core/SolverNleRecipes.h"
#include "velta/persistency/Quantity.h"
#include "velta/streams/FlashBase.h"

#include <string>
#include <vector>

class Flash : public ObjectiveNleAd, public virtual FlashBase {
public:
  Flash();
  ~Flash() override;

  // --- equation system
  unsigned calculateResiduals(std::vector<Value> &y, unsigned start) override;
  virtual Value calculateResidualsFlashMode();
  // P against Pset_ (PT, PA, PH, PS) or against the pressure of the
  // stream at rhoset_ (RH, RT); in SA, the entropy residual of PS.
  virtual Value calculateResidualsPressure();
  // Keeps P in [1e-5, 1e10] Pa and T in [50, 1500] K.
  virtual void clip_();

  // --- FlashBase
  void prepare_Flash_residuals() override {}
  void estimateEquilibrium(const Value &P, const Value &T) override;
  void setFlash_(int fm, const Value &s1, const Value &s2, bool strict) override;
  int solveFlash(bool simultaneous, bool skip) override;
  std::string solverMessage(int code) override;
  void addUnknowns(std::vector<Value *> unknowns, std::vector<const double *> lower,
                   std::vector<const double *> upper) override;
  SolverNleInterface &solver() override;
  unsigned iterations() override;
  void estimate(const Value &P, const Value &T) override;
  // The constant 1 for every PhaseIndex.
  const Value &Fraction(int phaseIndex, bool clipped) override;
  // The phase that x_ points to, for every PhaseIndex.
  Vector X(int phaseIndex) override;
  const Value &sumx(int phaseIndex) override;
  bool converged() override;

  // Splits the total mole fractions into a fluid part and an inert solid
  // part, each normalised to sum 1 when it is not empty.
  void calculateInertSolids(std::vector<Quantity> &totalx, std::vector<Quantity> &inertx,
                            Vector fluidx, Value &inertfraction, Value &fluidfraction);

protected:
  // The embedded solver, whose iteration count an estimate resets.
  class Solver : public SolverNleRecipesAutomatic {
  public:
    explicit Solver(ObjectiveNleInterface *objective)
        : SolverNleInterface(objective), SolverNleRecipesAutomatic(0, objective) {}
    void resetIterations() { iteration_ = 0; }
  };

  // Local verbosity of the flash's log lines.
  int flashVerbosity() const { return verbosity() - 1; }
  // The enthalpy or entropy residual (value + offset) / (set + offset) - 1,
  // the offset 1 (in the units of the set point) when |set| < 0.1.
  static Value relativeResidual(const Value &value, const Value &set, Value &offset,
                                const char *unit);

  Value hOffset_;
  Value sOffset_;
  // Sum of the mole fractions of the flashed phase (the liquid side in the
  // two-phase flashes).
  Value sumx_;
  // Mole fractions of the single phase; set by the owning stream.
  std::vector<Quantity> *x_ = nullptr;
  Solver solver_;
};
