#pragma once
// Test support of the equation-of-state models: components with real
// critical constants, a generic phase over a cubic model, and a Newton
// solution of the packing fraction on the corrected pressure within the
// phase type's bounds, as a stream's flash does it.

#include "TestPhases.h"

#include "velta/phases/Eos.h"
#include "velta/phases/EosInterface.h"
#include "velta/value/DerivativeContext.h"

#include <memory>
#include <string>
#include <vector>

namespace eostest {

using namespace phasetest;

// Pushes a derivative context for the lifetime of the object.
struct ScopedContext {
  explicit ScopedContext(int n) { pushDerivativeContext(n); }
  ~ScopedContext() { popDerivativeContext(); }
  ScopedContext(const ScopedContext &) = delete;
  ScopedContext &operator=(const ScopedContext &) = delete;
};

struct Critical {
  double Tc; // K
  double Pc; // Pa
  double omega;
};

// The closed-form test component with the given critical constants.
class CriticalComponent : public LinearComponent {
public:
  CriticalComponent(const std::string &name, const Critical &c)
      : LinearComponent(name, PureData{}), Tc_(c.Tc, "K"), Pc_(c.Pc, "Pa"), omega_(c.omega) {}
  const Value &Tc() const override { return Tc_; }
  const Value &Pc() const override { return Pc_; }
  const Value &omega() const override { return omega_; }

private:
  Value Tc_, Pc_, omega_;
};

// Critical constants of the reference tables (NIST webbook values).
inline const Critical methane{190.564, 4.5992e6, 0.01142};
inline const Critical butane{425.125, 3.796e6, 0.201};
inline const Critical co2{304.1282, 7.3773e6, 0.22394};

// Fills the component list; empties it at the end of the test.
class EosFixture : public testing::Test {
protected:
  void TearDown() override { components.clear(); }
  static void use(const std::vector<std::pair<std::string, Critical>> &list) {
    components.clear();
    for (const auto &[name, constants] : list)
      components.add(new CriticalComponent(name, constants));
  }
  static void useTernary() { use({{"CH4", methane}, {"C4H10", butane}, {"CO2", co2}}); }
};

// A generic phase over the cubic model with engine C; the phase type from
// the option "typeP".
template <class C> class EosPhase : public Phase::Generic {
public:
  EosPhase(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root),
        Model(defaults, id, persistency, parent, root), Phase::Generic(
                                                            defaults, id, persistency, parent, root,
                                                            std::make_unique<Phase::Eos<C>>()),
        typeP("typeP", "the phase type",
              retrieveString(defaults, id, persistency, "typeP", "vapor"), this) {
    setType("EosPhaseOfTheTests");
    addVariable(typeP);
    setPhaseType(Velta::Utility::phaseTypeIndex(typeP.value()));
  }

  std::unique_ptr<Node> clone() const override {
    Defaults options = optionSet();
    options.setString("typeP", typeP.value());
    auto copy = std::make_unique<EosPhase>(options, 0, nullptr, nullptr, nullptr);
    copy->Object::operator=(static_cast<const Node &>(*this));
    copy->initializeMassVariables();
    return copy;
  }
  void initializeNonPersistents() override {
    requireComponents("EosPhase::initializeNonPersistents");
    model().initializeNonPersistents(xView(), rho, AMW);
  }

  Phase::Eos<C> &eos() { return dynamic_cast<Phase::Eos<C> &>(model()); }
  Vector moleFractions() { return xView(); }
  Value sumOfX() const { return sumx(); }

  String typeP;
};

template <class C>
std::unique_ptr<EosPhase<C>> makeEosPhase(const std::string &type, const std::vector<double> &x) {
  Defaults options("Xphase", "test phase");
  options.setString("typeP", type);
  auto phase = std::make_unique<EosPhase<C>>(options, 0, nullptr, nullptr, nullptr);
  setComposition(*phase, x);
  return phase;
}

// Solves the corrected pressure of the phase for P at T from the engine's
// own estimate: Newton steps in beta with the slope from automatic
// differentiation, halved to stay inside the phase type's bounds. Returns
// the converged beta (the engine keeps it).
template <class C> double solveBeta(EosPhase<C> &phase, const Value &T, const Value &P) {
  Phase::Eos<C> &model = phase.eos();
  const int type = phase.model().phaseType();
  const bool vapor = type == static_cast<int>(Velta::Utility::PhaseType::vapor);
  const double lowest = vapor ? 0.0 : model.betamin();
  const double highest = vapor ? model.betamax() : 1.0;
  const Value sumx = phase.sumOfX();
  model.estimate(P, T, phase.moleFractions(), type);
  double beta = model.beta.value();
  for (int iteration = 0; iteration < 200; ++iteration) {
    double residual = 0.0, slope = 0.0;
    {
      ScopedContext context(1);
      model.beta = Value(beta);
      model.beta.activeValue().setActive(0);
      Value pressure(0.0, "Pa");
      model.calculatePressureEos_(T, phase.moleFractions(), sumx, type, pressure);
      residual = pressure.value() / P.value() - 1.0;
      slope = pressure.activeValue().derivative(0) / P.value();
      model.beta.activeValue().setInactive(0);
    }
    double step = -residual / slope;
    while (beta + step <= lowest || beta + step >= highest)
      step /= 2.0;
    beta += step;
    if (std::fabs(step) < 1e-14 * beta)
      break;
  }
  model.beta = Value(beta);
  return beta;
}

} // namespace eostest
