#pragma once
// Test support of the PC-SAFT engine and model: the published pure-component
// parameters of Gross and Sadowski (2001), a fixture that fills the
// component list and the process-wide tables (and clears both afterwards),
// and a generic phase over the PC-SAFT model.

#include "EosTestSupport.h"
#include "TestPhases.h"

#include "velta/phases/Pcsaft.h"
#include "velta/phases/PcsaftParameters.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace pcsafttest {

using namespace phasetest;

struct Parameters {
  double m;       // segments
  double sigma;   // angstrom
  double epsilon; // epsilon / k, K
  double rhol;    // liquid density of the ideal model, kmol/m3 (starts a liquid)
};

// Gross and Sadowski (2001), Table 2.
inline const Parameters methane{1.0000, 3.7039, 150.03, 26.3};
inline const Parameters butane{2.3316, 3.7086, 222.88, 10.3};

inline void clearTables() {
  std::fill(&Phase::pcsaftComponentTables[0][0],
            &Phase::pcsaftComponentTables[0][0] + 3 * Phase::NC, 0.0);
  std::fill(&Phase::pcsaftKij[0][0], &Phase::pcsaftKij[0][0] + Phase::NC * Phase::NC, 0.0);
  Phase::ncomp = 0;
}

class PcsaftFixture : public testing::Test {
protected:
  void TearDown() override {
    components.clear();
    clearTables();
  }
  // Components with the given parameters, in order; ncomp follows the list.
  static void use(const std::vector<std::pair<std::string, Parameters>> &list) {
    components.clear();
    clearTables();
    int i = 0;
    for (const auto &[name, p] : list) {
      PureData data;
      data.rhol = p.rhol;
      data.rhols = 0.0;
      components.add(new LinearComponent(name, data));
      Phase::pcsaftM[i] = p.m;
      Phase::pcsaftSigma[i] = p.sigma;
      Phase::pcsaftEpsilon[i] = p.epsilon;
      ++i;
    }
    Phase::pcsaftSetNcomp(i);
  }
};

using eostest::ScopedContext;

// A generic phase over the PC-SAFT model; the phase type from "typeP".
class PcsaftPhase : public Phase::Generic {
public:
  PcsaftPhase(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root),
        Model(defaults, id, persistency, parent, root), Phase::Generic(
                                                            defaults, id, persistency, parent, root,
                                                            std::make_unique<Phase::Pcsaft>()),
        typeP("typeP", "the phase type",
              retrieveString(defaults, id, persistency, "typeP", "vapor"), this) {
    setType("PcsaftPhaseOfTheTests");
    addVariable(typeP);
    setPhaseType(Velta::Utility::phaseTypeIndex(typeP.value()));
  }
  std::unique_ptr<Node> clone() const override { return nullptr; }
  void initializeNonPersistents() override { model().initializeNonPersistents(xView(), rho, AMW); }

  Phase::Pcsaft &pcsaft() { return dynamic_cast<Phase::Pcsaft &>(model()); }
  Vector moleFractions() { return xView(); }
  Value sumOfX() const { return sumx(); }

  String typeP;
};

inline std::unique_ptr<PcsaftPhase> makePcsaftPhase(const std::string &type,
                                                    const std::vector<double> &x) {
  Defaults options("Xphase", "test phase");
  options.setString("typeP", type);
  auto phase = std::make_unique<PcsaftPhase>(options, 0, nullptr, nullptr, nullptr);
  setComposition(*phase, x);
  return phase;
}

// Newton steps in beta on the phase's pressure from the model's estimate,
// halved to stay inside (0, upper); returns the converged beta, at which
// the model's state is left.
inline double solveBeta(PcsaftPhase &phase, double T, double P) {
  Phase::Pcsaft &model = phase.pcsaft();
  const Value temperature(T, "K"), pressure(P, "Pa");
  const bool vapor = model.phaseType() == 1;
  const double upper = vapor ? model.betamax() : 1.0;
  model.estimate(pressure, temperature, phase.moleFractions(), model.phaseType());
  double beta = std::min(model.beta.value(), 0.9 * upper);
  for (int iteration = 0; iteration < 100; ++iteration) {
    model.beta = Value(beta);
    const double p = phase.calculate_P(Value(0.0, "kmol/m3"), temperature).value();
    const double slope = model.deosdbeta(temperature, model.beta, phase.sumOfX()).value();
    double step = -(p - P) / slope;
    while (beta + step <= 0.0 || beta + step >= upper)
      step /= 2.0;
    beta += step;
    if (std::fabs(step) < 1e-15 * beta)
      break;
  }
  model.beta = Value(beta);
  phase.calculate_P(Value(0.0, "kmol/m3"), temperature);
  return beta;
}

} // namespace pcsafttest
