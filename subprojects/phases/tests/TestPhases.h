#pragma once
// Test support: a component with simple closed-form routes whose every
// value the tests can compute by hand, a concrete ideal generic phase, and
// a fixture that fills the component list.

#include "velta/components/ComponentBase.h"
#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/persistency/String.h"
#include "velta/phases/Generic.h"
#include "velta/phases/Ideal.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/value/Constants.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace phasetest {

// Pure-component data of a LinearComponent (SI units, kmol basis).
struct PureData {
  double mw = 18.0;         // kg/kmol
  double h0 = 0.0;          // vapour enthalpy at T0, J/kmol
  double s0 = 0.0;          // vapour entropy at T0 and P0, J/(kmol*K)
  double cpv = 30000.0;     // J/(kmol*K)
  double dhvap = 4e7;       // liquid enthalpy at T0 is h0 - dhvap
  double cpl = 75000.0;     // J/(kmol*K)
  double cps = 40000.0;     // J/(kmol*K)
  double rhol = 50.0;       // liquid molar density at T0, kmol/m3
  double rhols = -2e-3;     // relative slope of the liquid density, 1/K
  double rhos = 60.0;       // kmol/m3
  double psat = 2e4;        // Pa, at every temperature
  double muv = 1e-5;        // Pa*s
  double mul = 1e-3;        // Pa*s
  double kv = 0.02;         // W/(m*K)
  double kl = 0.6;          // W/(m*K)
  double sigma = 0.07;      // N/m
};

// T0 = 298.15 K, P0 = 101325 Pa. With D = T - T0:
//   hv = h0 + cpv D,          sv = s0 + cpv ln(T/T0) - R ln(P/P0)
//   hl = h0 - dhvap + cpl D,  sl = s0 - dhvap/T0 + cpl ln(T/T0)
//   hs = hl - 6e6 + (cps - cpl) D, ss = sl - 6e6/T0 + (cps - cpl) ln(T/T0)
//   rhol = rhol0 (1 + rhols D), every other value constant.
class LinearComponent : public ComponentGeneric, public ComponentBase {
public:
  LinearComponent(const std::string &name, const PureData &data)
      : ComponentGeneric(name), ComponentBase(Value(data.mw, "kg/kmol")), d_(data) {}

  bool isSolid() const override { return false; }

  Value psat(const Value &, double *dpsatdT = nullptr, double *d2psatdT2 = nullptr) const override {
    if (dpsatdT)
      *dpsatdT = 0;
    if (d2psatdT2)
      *d2psatdT2 = 0;
    return Value(d_.psat, "Pa");
  }
  Value dhvl(const Value &, double *derT = nullptr) const override {
    if (derT)
      *derT = 0;
    return Value(d_.dhvap, "J/kmol");
  }

  Value hv(const Value &T, const Value &) const override {
    return Value(d_.h0, "J/kmol") + Value(d_.cpv, "J/(kmol*K)") * (T - T0());
  }
  Value sv(const Value &T, const Value &P) const override {
    return Value(d_.s0, "J/(kmol*K)") + Value(d_.cpv, "J/(kmol*K)") * log(T / T0()) -
           gasConstant * log(P / P0());
  }
  Value cpv(const Value &, const Value &) const override { return Value(d_.cpv, "J/(kmol*K)"); }

  Value hl(const Value &T, const Value &) const override {
    return Value(d_.h0 - d_.dhvap, "J/kmol") + Value(d_.cpl, "J/(kmol*K)") * (T - T0());
  }
  Value sl(const Value &T, const Value &) const override {
    return Value(d_.s0 - d_.dhvap / 298.15, "J/(kmol*K)") +
           Value(d_.cpl, "J/(kmol*K)") * log(T / T0());
  }
  Value cpl(const Value &, const Value &) const override { return Value(d_.cpl, "J/(kmol*K)"); }

  Value hs(const Value &T, const Value &P) const override {
    return hl(T, P) - Value(6e6, "J/kmol") + Value(d_.cps - d_.cpl, "J/(kmol*K)") * (T - T0());
  }
  Value ss(const Value &T, const Value &P) const override {
    return sl(T, P) - Value(6e6 / 298.15, "J/(kmol*K)") +
           Value(d_.cps - d_.cpl, "J/(kmol*K)") * log(T / T0());
  }
  Value cps(const Value &, const Value &) const override { return Value(d_.cps, "J/(kmol*K)"); }

  Value muv(const Value &) const override { return Value(d_.muv, "Pa*s"); }
  Value mul(const Value &) const override { return Value(d_.mul, "Pa*s"); }
  Value kv(const Value &) const override { return Value(d_.kv, "W/(m*K)"); }
  Value kl(const Value &) const override { return Value(d_.kl, "W/(m*K)"); }
  Value sigma(const Value &) const override { return Value(d_.sigma, "N/m"); }

  double pv(double rho, double T, double *dPdrho = nullptr, double *dPdT = nullptr) const override {
    if (dPdrho)
      *dPdrho = 8314.4 * T;
    if (dPdT)
      *dPdT = 8314.4 * rho;
    return 8314.4 * rho * T;
  }
  Value rhov(const Value &T, const Value &P, double * = nullptr, double * = nullptr) const override {
    return P / (gasConstant * T);
  }
  Value rhol(const Value &T, const Value &, double *derT = nullptr) const override {
    if (derT)
      *derT = d_.rhol * d_.rhols;
    return Value(d_.rhol, "kmol/m3") * (dimensionlessOne + (T - T0()) / kelvin() * d_.rhols);
  }
  Value rhos(const Value &, const Value &, double *derT = nullptr) const override {
    if (derT)
      *derT = 0;
    return Value(d_.rhos, "kmol/m3");
  }

private:
  static const Value &T0() {
    static const Value value(298.15, "K");
    return value;
  }
  static const Value &kelvin() {
    static const Value value(1.0, "K");
    return value;
  }
  static const Value &P0() {
    static const Value value(101325.0, "Pa");
    return value;
  }
  PureData d_;
};

// The concrete generic phase of the tests: an ideal model and the phase
// type from the option "typeP".
class IdealPhase : public Phase::Generic {
public:
  IdealPhase(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root),
        Model(defaults, id, persistency, parent, root),
        Phase::Generic(defaults, id, persistency, parent, root, std::make_unique<Phase::Ideal>()),
        typeP("typeP", "the phase type",
              retrieveString(defaults, id, persistency, "typeP", "vapor"), this) {
    setType("IdealPhaseOfTheTests");
    addVariable(typeP);
    setPhaseType(Velta::Utility::phaseTypeIndex(typeP.value()));
  }

  std::unique_ptr<Node> clone() const override {
    Defaults options = optionSet();
    options.setString("typeP", typeP.value());
    auto copy = std::make_unique<IdealPhase>(options, 0, nullptr, nullptr, nullptr);
    copy->Object::operator=(static_cast<const Node &>(*this));
    copy->initializeMassVariables();
    return copy;
  }
  void initializeNonPersistents() override {
    requireComponents("IdealPhase::initializeNonPersistents");
    model().initializeNonPersistents(xView(), rho, AMW);
  }

  String typeP;
};

inline std::unique_ptr<IdealPhase> makePhase(const std::string &type,
                                             const std::string &tag = "Xphase") {
  Defaults options(tag, "test phase");
  options.setString("typeP", type);
  return std::make_unique<IdealPhase>(options, 0, nullptr, nullptr, nullptr);
}

// Sets the mole fractions and completes the phase in mode Nx.
inline void setComposition(Phase::MassMolar &phase, const std::vector<double> &x,
                           double ndotKmolPerS = 1.0) {
  phase.ndot = Value(ndotKmolPerS, "kmol/s");
  for (std::size_t i = 0; i < x.size(); ++i)
    phase.x[i] = Value(x[i]);
  phase.calculateX(Phase::MassBalanceMode::Nx);
}

// A fixture whose component list holds the given components during a test.
class ComponentsFixture : public testing::Test {
protected:
  void TearDown() override { components.clear(); }
  void use(const std::vector<std::pair<std::string, PureData>> &list) {
    components.clear();
    for (const auto &[name, data] : list)
      components.add(new LinearComponent(name, data));
  }
};

// Two components of molecular weights 2 and 18 kg/kmol.
inline std::vector<std::pair<std::string, PureData>> lightAndHeavy() {
  PureData light;
  light.mw = 2.0;
  PureData heavy;
  heavy.mw = 18.0;
  return {{"Light", light}, {"Heavy", heavy}};
}

} // namespace phasetest
