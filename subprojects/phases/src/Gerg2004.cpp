#include "velta/phases/Gerg2004.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/phases/Gerg2004Helmholtz.h"
#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

#include <cmath>
#include <sstream>
#include <string>

namespace Phase {
namespace {

// Molar masses of the list's components may differ from the equation's
// by this share and still be taken for its fluid.
constexpr double molarMassTolerance = 0.01;

// Empty when the component list is the 18 fluids in order, else what is wrong.
std::string componentListFault() {
  std::ostringstream fault;
  fault.imbue(std::locale::classic());
  if (NCOMPONENTS != gerg2004Components) {
    fault << "the component list has " << NCOMPONENTS << " components";
    return fault.str();
  }
  const Gerg2004Parameters &p = gerg2004Parameters();
  for (int i = 0; i < gerg2004Components; ++i) {
    const double M = components[i]->MW().value();
    if (!(std::fabs(M - p.pure[i].M) <= molarMassTolerance * p.pure[i].M)) {
      fault << "component " << i << " (" << components[i]->name() << ") has a molar mass of " << M
            << " kg/kmol where the equation's fluid " << i << " has " << p.pure[i].M;
      return fault.str();
    }
  }
  return {};
}

} // namespace

EosGerg2004::EosGerg2004() = default;

EosGerg2004::~EosGerg2004() = default;

void EosGerg2004::Qinit(const Active &rho, const Active &T, Vector x) {
  static const char *const name = "Phase::EosGerg2004::Qinit";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  using namespace Gerg2004Helmholtz;
  sumx = 0.0;
  VELTA_LOG(verbosity(), 2, name, "Sum x");
  for (int i = 0; i < gerg2004Components; ++i)
    sumx += x[i].activeValue();
  delta = rho / reducingDensity(x);
  tau = reducingTemperature(x) / T;
  VELTA_LOG(verbosity(), 2, name, "DERIV_grad(aV)");
  aV = Deriv(1.0 / rho);
  aV.seed(0);
  VELTA_LOG(verbosity(), 2, name, "DERIV_grad(aT)");
  aT = Deriv(T);
  aT.seed(1);
  VELTA_LOG(verbosity(), 2, name, "DERIV_grad(an)");
  for (int i = 0; i < gerg2004Components; ++i) {
    an[i] = Deriv(x[i].activeValue());
    VELTA_LOG(verbosity(), 2, name, "DERIV_grad(an[" << i << "])");
    an[i][i + 2] = 1.0;
  }
  a0 = helmholtzIdealTotal(aV, aT, an);
  ar = helmholtzResidualTotal(aV, aT, an);
  P = -(a0[0] + ar[0]) * Gerg2004Helmholtz::gasConstant * T;
  this->T = T;
  this->rho = rho;
  Z = P / (rho * Gerg2004Helmholtz::gasConstant * T);
  VELTA_TRACE_END(name)
}

Gerg2004::Gerg2004() {
  const std::string fault = componentListFault();
  if (!fault.empty()) {
    const std::string message = "PhaseGerg2004 needs the 18 GERG-2004 components, methane to "
                                "argon in the equation's order, as the component list: " +
                                fault;
    throw ErrorRunTime("Phase::Gerg2004::Gerg2004", message.c_str());
  }
}

Gerg2004::~Gerg2004() = default;

void Gerg2004::prepare(const Value &T, Vector x) {
  static const char *const name = "Phase::Gerg2004::prepare";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  Eos<EosCubic::KwongRedlichSoave>::prepare(T, x);
  // The density at the engine's packing fraction. The residual properties
  // are left alone: they are computed for the state the caloric properties
  // are asked for.
  const Value &density = calculate_rho_(referencePressure, T, x);
  Qinit(Active(density.activeValue()), Active(T.activeValue()), x);
  VELTA_TRACE_END(name)
}

} // namespace Phase
