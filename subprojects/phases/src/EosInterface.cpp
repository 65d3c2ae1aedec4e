#include "velta/phases/EosInterface.h"

#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/value/Constants.h"

#include <cmath>

namespace Phase {

using Velta::Utility::PhaseType;
using Velta::Utility::phaseTypeName;

namespace {

// The distance of beta from the bound where a corrected pressure has its
// pole. The flash's bounds admit beta on the bound itself; there the
// distance is taken as 1e-10 on the phase's side (above betamin for a
// liquid, below betamax otherwise), so that the pressure is very large but
// finite instead of infinite.
Value poleDistance(const Value &beta, double bound, double side) {
  Value distance = beta - bound;
  if (std::fabs(distance.value()) < 1e-10)
    distance = side * 1e-10;
  return distance;
}

} // namespace

EosInterface::EosInterface() : Pcalc_(referencePressure) {}

EosInterface::~EosInterface() = default;

void EosInterface::calculatePressureEos_(const Value &T, Vector x, const Value &sumx, int phaseType,
                                         Value &P) {
  static const char *const name = "Phase::EosInterface::calculatePressureEos_";
  VELTA_LOG(verbosity(), 1, name, "Entered for phase " << phaseTypeName(phaseType));
  VELTA_TRACE_BEGIN
  precompute(T, x);
  pressureAtBeta(T, sumx, phaseType, P);
  VELTA_TRACE_END(name)
}

void EosInterface::pressureAtBeta(const Value &T, const Value &sumx, int phaseType, Value &P) {
  static const char *const name = "Phase::EosInterface::calculatePressureEos_";
  const bool isVapor = phaseType == static_cast<int>(PhaseType::vapor);
  const bool isLiquid = phaseType == static_cast<int>(PhaseType::liquid);
  Pcalc_ = eos(T, beta, sumx);
  P = Pcalc_;
  VELTA_LOG(verbosity(), 2, name, "P = " << P);
  const Value &critical = betac(sumx);
  Pcm = eos(T, critical, sumx);
  const Value pseudoCriticalT = Tcm(sumx);
  VELTA_LOG(verbosity(), 2, name,
            "Temp = " << T << " Tcm = " << pseudoCriticalT << " betac = " << critical
                      << " Pcm = " << Pcm);
  const bool belowCritical = beta.value() < critical.value();
  if (T.value() < pseudoCriticalT.value() || (isLiquid && belowCritical)) {
    // One fiftieth of the slope dP/dbeta of an ideal gas.
    const Value floor = gasConstant * T * rho_(dimensionlessOne, sumx) / 50.0;
    if ((isVapor && beta.value() > critical.value()) || (isLiquid && belowCritical)) {
      P = Pcm;
      VELTA_LOG(verbosity(), 2, name, "pressure @ betac = " << P);
      dpdbeta = deosdbeta(T, critical, sumx) - floor;
    } else {
      dpdbeta = deosdbeta(T, beta, sumx) - floor;
    }
    VELTA_LOG(verbosity(), 2, name, "dpdbeta = " << dpdbeta);
    if (dpdbeta.value() < 0.0) {
      // A pole at the phase's bound pushes the solver out of the unstable
      // branch; the start pressure enters as a constant.
      const Value P0 = P.withoutDerivatives();
      if (isLiquid) {
        P = P0 + dpdbeta / poleDistance(beta, betamin_, 1.0) / 10.0;
        VELTA_LOG(verbosity(), 2, name, "corrected pressure 1 = " << P);
      } else {
        P = P0 + dpdbeta / poleDistance(beta, betamax_, -1.0) / 10.0;
        VELTA_LOG(verbosity(), 2, name, "corrected pressure 2 = " << P);
      }
    } else if (isLiquid && belowCritical) {
      const Value r = (beta - betamin_) / (critical - betamin_);
      P = Pcm * (r * r * r);
      VELTA_LOG(verbosity(), 2, name, "corrected pressure 3 = " << P);
    } else if (isVapor && beta.value() > critical.value()) {
      P = Pcm * ((critical - betamax_) / (beta - betamax_));
      VELTA_LOG(verbosity(), 2, name, "corrected pressure 4 = " << P);
    }
  }
  VELTA_LOG(verbosity(), 2, name, "P = " << P);
}

void EosInterface::calculateResiduals(const Value &P, const Value &T, const Value &sumx) {
  static const char *const name = "Phase::EosInterface::calculateResiduals";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  const Value &n = sumx;
  const Value &R = gasConstant;
  const Value F = helmholtz(n, T, beta);
  const Value FT = helmholtzT(n, T, beta);
  const Value FTT = helmholtzT2(n, T, beta);
  const Value dPdT = deosdT(T, beta, n);
  const Value dPdV = deosdv(T, beta, n);
  const Value Z = P / (rho_(beta, n) * R * T);
  sResidual_ = -R * T * FT - R * F + n * R * log(Z);
  VELTA_LOG(verbosity(), 2, name,
            "beta = " << beta << " Z = " << Z << " sResidual_ = " << sResidual_);
  // P over the density of sumx 1 is P times the volume of the amount n.
  hResidual_ = -R * T * T * FT + P / rho_(beta, dimensionlessOne) - n * R * T;
  cpResidual_ = -R * T * (T * FTT + 2.0 * FT) - T * dPdT * dPdT / dPdV - n * R;
  VELTA_TRACE_END(name)
}

} // namespace Phase
