// The cubic property model through a phase: ideal part plus residuals, the
// pressure from beta alone, error traces, and the start of beta from a
// stored density, also for a phase read back from the real store.

#include "EosTestSupport.h"

#include "../../persistency/tests/OdbcTestStore.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/persistency/PersistencyOdbc.h"
#include "velta/phases/EosCubicPengRobinson.h"
#include "velta/utility/Error.h"
#include "velta/value/Constants.h"
#include "velta/value/ErrorUnit.h"

#include <gtest/gtest.h>

using namespace eostest;
using Phase::EosCubic::PengRobinson;

namespace {

const double R = 8314.4;
const double bPR = 0.0777960739;

// PR covolume of the ternary mixture, m3/kmol, by hand.
double covolume(const std::vector<double> &x) {
  const Critical constants[] = {methane, butane, co2};
  double b = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i)
    b += x[i] * bPR * R * constants[i].Tc / constants[i].Pc;
  return b;
}

class EosModel : public EosFixture {
protected:
  void SetUp() override { useTernary(); }
};

} // namespace

// Vapour and liquid alike: the ideal gas of the vapour routes at (T, P, x)
// plus the engine's residual, with nothing computed beforehand.
TEST_F(EosModel, CaloricPropertiesAreIdealGasPlusResidual) {
  const Value T(350.0, "K"), P(2e6, "Pa");
  auto idealGas = makePhase("vapor");
  for (const char *type : {"vapor", "liquid"}) {
    SCOPED_TRACE(type);
    const std::vector<double> x =
        std::string(type) == "vapor" ? std::vector<double>{0.6, 0.3, 0.1}
                                     : std::vector<double>{0.1, 0.8, 0.1};
    auto phase = makeEosPhase<PengRobinson>(type, x);
    setComposition(*idealGas, x);
    solveBeta(*phase, T, P);
    Phase::Eos<PengRobinson> &model = phase->eos();
    const double H = phase->calculate_H(P, T).value();
    EXPECT_DOUBLE_EQ(H, idealGas->calculate_H(P, T).value() + model.hResidual_.value());
    const double S = phase->calculate_S(P, T).value();
    EXPECT_DOUBLE_EQ(S, idealGas->calculate_S(P, T).value() + model.sResidual_.value());
    const double Cp = phase->calculate_Cp(P, T).value();
    EXPECT_DOUBLE_EQ(Cp, idealGas->calculate_Cp(P, T).value() + model.cpResidual_.value());
  }
  // The pressure comes from beta alone, whatever density is passed.
  auto phase = makeEosPhase<PengRobinson>("vapor", {0.6, 0.3, 0.1});
  solveBeta(*phase, T, P);
  const double p1 = phase->calculate_P(Value(1.0, "kmol/m3"), T).value();
  const double p2 = phase->calculate_P(Value(7.0, "kmol/m3"), T).value();
  EXPECT_EQ(p1, p2);
  EXPECT_NEAR(p1, 2e6, 1e-6);
}

TEST_F(EosModel, ErrorsCarryTheModelsQualifiedName) {
  auto phase = makeEosPhase<PengRobinson>("vapor", {0.6, 0.3, 0.1});
  const Value T(350.0, "K");
  phase->prepare(T);
  phase->eos().beta = Value(0.05);
  try {
    phase->calculate_H(Value(350.0, "K"), T); // a temperature for the pressure
    FAIL() << "no error";
  } catch (const Error &error) {
    EXPECT_NE(error.message().find("Called from function: Phase::EosInterface::calculateResiduals\n"
                                   "Called from function: Phase::Eos<class "
                                   "Phase::EosCubic::PengRobinson>::calculate_H_\n"),
              std::string::npos)
        << error.message();
  }
}

// The packing fraction a phase starts from, by stored mass density: the
// covolume of the stored composition, clamped into [1e-6, 0.99] and kept
// inside the phase type's own bounds (1 % inside betamin / betamax).
TEST_F(EosModel, RestoredBetaStaysInsideThePhaseTypesBounds) {
  const std::vector<double> x = {0.1, 0.8, 0.1};
  const double b = covolume(x);
  PengRobinson reference;
  struct Case {
    const char *type;
    double molarDensity; // kmol/m3
    double expected;
  } cases[] = {
      {"liquid", 11.3675660512, b * 11.3675660512}, {"vapor", 0.75, b * 0.75},
      {"vapor", 50.0, 0.99 * reference.betamax()},  {"vapor", 1e-9, 1e-6},
      {"liquid", 1e-3, 1.01 * reference.betamin()}, {"liquid", 1e3, 0.99},
  };
  for (const Case &c : cases) {
    auto phase = makeEosPhase<PengRobinson>(c.type, x);
    phase->rho = Value(c.molarDensity * phase->AMW.value(), "kg/m3");
    phase->initializeNonPersistents();
    EXPECT_NEAR(phase->eos().beta.value(), c.expected, 1e-12)
        << c.type << " at " << c.molarDensity << " kmol/m3";
  }
}

namespace {

void registerEosPhase() {
  static const bool registered = [] {
    NodeFactory().registerType<EosPhase<PengRobinson>>(
        "EosPhaseOfTheTests", "Peng-Robinson phase of the tests", "phase", true, {},
        {StringOption("typeP", "Phase type", "vapor", "PhaseType")}, {}, "", 100, 100);
    return true;
  }();
  (void)registered;
}

} // namespace

// A liquid written to SQLite and read back starts from its stored density:
// the solved liquid root, far above the 1e-6 floor.
TEST_F(EosModel, PhaseReadBackFromTheStoreStartsFromItsStoredDensity) {
  registerEosPhase();
  const std::string dsn = odbctest::testDsn(odbctest::Database::sqlite);
  odbctest::StoreLock lock(dsn);
  odbctest::RawConnection(dsn).emptyAllTables();
  PersistencyOdbc store(dsn);

  const std::vector<double> x = {0.1, 0.8, 0.1};
  Defaults options("Lphase", "stored liquid");
  options.setString("typeP", "liquid");
  auto original = NodeFactory().create("EosPhaseOfTheTests", options, 0, nullptr, nullptr, nullptr);
  auto &phase = dynamic_cast<EosPhase<PengRobinson> &>(*original);
  setComposition(phase, x);
  // The liquid root of the reference state at 300 K and 5e6 Pa.
  const Value T(300.0, "K"), P(5e6, "Pa");
  phase.prepare(T);
  solveBeta(phase, T, P);
  phase.rho = phase.calculate_rho(P, T) * phase.AMW;
  const double solved = phase.eos().beta.value();
  EXPECT_NEAR(solved, covolume(x) * 11.3675660512, 1e-9);
  const int storedId = original->insert(store);

  auto restored =
      NodeFactory().create("EosPhaseOfTheTests", Defaults(), storedId, &store, nullptr, nullptr);
  auto &back = dynamic_cast<EosPhase<PengRobinson> &>(*restored);
  EXPECT_EQ(back.model().phaseType(), 2);
  back.initializeNonPersistents();
  EXPECT_NEAR(back.eos().beta.value(), solved, 1e-12);
  EXPECT_GT(back.eos().beta.value(), back.eos().betamin());
}
