// The GERG-2004 property model: it reports what the Soave-Redlich-Kwong
// model reports, keeps the GERG state of its last preparation (checked
// against the independent values of Gerg2004HelmholtzTest.cpp), carries
// the flowsheet derivatives through that state, and refuses a component
// list that is not the 18 GERG-2004 fluids.

#include "EosTestSupport.h"
#include "GergTestSupport.h"

#include "velta/phases/Gerg2004.h"
#include "velta/phases/Gerg2004Helmholtz.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace phasetest;
using eostest::Critical;
using eostest::ScopedContext;
using gergtest::Fluid;
using gergtest::FluidData;
using gergtest::fluids;

namespace {

// A phase over a given property model, with its phase type.
class ModelPhase : public Phase::Generic {
public:
  ModelPhase(std::unique_ptr<Interface> model, const char *type)
      : Object(Defaults("Xphase", "test phase"), 0, nullptr, nullptr, nullptr),
        Model(Defaults("Xphase", "test phase"), 0, nullptr, nullptr, nullptr),
        Phase::Generic(Defaults("Xphase", "test phase"), 0, nullptr, nullptr, nullptr,
                       std::move(model)) {
    setType("ModelPhaseOfTheTests");
    setPhaseType(Velta::Utility::phaseTypeIndex(type));
  }
  std::unique_ptr<Node> clone() const override { return nullptr; }
  void initializeNonPersistents() override {}
};

// The natural gas of the independent table (Gerg2004HelmholtzTest.cpp).
const std::vector<double> naturalGas = {0.8657, 0.0234, 0.0131, 0.064,  0.0209, 0.0043,
                                        0.0039, 0.0011, 0.0012, 0.0014, 0,      0,
                                        0.001,  0,      0,      0,      0,      0};

class Gerg2004Model : public testing::Test {
protected:
  void SetUp() override { useFluids(18); }
  void TearDown() override { components.clear(); }
  static void useFluids(int count) {
    components.clear();
    for (int i = 0; i < count; ++i) {
      const FluidData &f = fluids[i % 18];
      components.add(new Fluid(f.name + std::to_string(i / 18), f.mw, f.critical));
    }
  }
  static std::unique_ptr<ModelPhase> phase(std::unique_ptr<Phase::Generic::Interface> model,
                                           const std::vector<double> &x) {
    auto p = std::make_unique<ModelPhase>(std::move(model), "vapor");
    setComposition(*p, x);
    return p;
  }
  static Phase::Gerg2004 &gerg(ModelPhase &p) { return dynamic_cast<Phase::Gerg2004 &>(p.model()); }
  // Sets the packing fraction so that the cubic density is rho.
  static void atDensity(ModelPhase &p, Phase::Eos<Phase::EosCubic::KwongRedlichSoave> &model,
                        double rho, const Value &T) {
    model.beta = Value(0.05); // any start: the cubic density needs one
    p.prepare(T);
    model.beta = model.B() * Value(rho, "kmol/m3") / model.sumx;
    p.prepare(T);
  }
};

TEST_F(Gerg2004Model, ReportsTheSoaveRedlichKwongProperties) {
  auto g = phase(std::make_unique<Phase::Gerg2004>(), naturalGas);
  auto srk = phase(std::make_unique<Phase::Eos<Phase::EosCubic::KwongRedlichSoave>>(), naturalGas);
  auto &srkModel = dynamic_cast<Phase::Eos<Phase::EosCubic::KwongRedlichSoave> &>(srk->model());
  const Value T(280, "K");
  atDensity(*g, gerg(*g), 2, T);
  atDensity(*srk, srkModel, 2, T);
  ASSERT_EQ(gerg(*g).beta.value(), srkModel.beta.value());
  const Value P = srk->calculate_P(Value(2, "kmol/m3"), T);
  EXPECT_EQ(g->calculate_P(Value(2, "kmol/m3"), T).value(), P.value());
  EXPECT_EQ(g->calculate_rho(P, T).value(), srk->calculate_rho(P, T).value());
  EXPECT_EQ(g->calculate_H(P, T).value(), srk->calculate_H(P, T).value());
  EXPECT_EQ(g->calculate_S(P, T).value(), srk->calculate_S(P, T).value());
  EXPECT_EQ(g->calculate_Cp(P, T).value(), srk->calculate_Cp(P, T).value());
  g->preparefugacity(P, T);
  srk->preparefugacity(P, T);
  for (int i = 0; i < 18; ++i)
    EXPECT_EQ(g->fugacity(i).value(), srk->fugacity(i).value()) << i;
  // The GERG state is that of the published equation at this density:
  // P = 4112481.0867384056 Pa, Z = 0.8832450486715911 (independent table).
  const Phase::EosGerg2004 &state = gerg(*g).gergState();
  EXPECT_NEAR(state.rho.value(), 2.0, 1e-14);
  EXPECT_NEAR(state.P.value() / 4112481.0867384056, 1.0, 1e-9);
  EXPECT_NEAR(state.Z.value() / 0.8832450486715911, 1.0, 1e-9);
  EXPECT_NEAR(state.sumx.value(), 1.0, 1e-15);
}

TEST_F(Gerg2004Model, PureMethaneStateAndItsTemperatureDerivative) {
  std::vector<double> methane(18, 0.0);
  methane[0] = 1;
  auto g = phase(std::make_unique<Phase::Gerg2004>(), methane);
  Phase::Gerg2004 &model = gerg(*g);
  const auto stateAt = [&](double T) {
    atDensity(*g, model, 10, Value(T, "K"));
    return model.gergState().P.value();
  };
  // Independent table: methane at 250 K and 10 kmol/m3, P = 13364609.27273093 Pa.
  EXPECT_NEAR(stateAt(250) / 13364609.27273093, 1.0, 1e-9);
  EXPECT_DOUBLE_EQ(model.gergState().delta.value(), model.gergState().rho.value() / 10.139342719);
  EXPECT_DOUBLE_EQ(model.gergState().tau.value(), 190.564 / 250);
  // dP/dT at constant density through the automatic-differentiation numbers.
  const double h = 1e-3;
  const double difference = (stateAt(250 + h) - stateAt(250 - h)) / (2 * h);
  ScopedContext context(1);
  Value T(250, "K");
  T.activeValue().setActive(0);
  atDensity(*g, model, 10, T);
  EXPECT_NEAR(model.gergState().P.derivative(0), difference, 1e-6 * std::fabs(difference));
}

TEST_F(Gerg2004Model, LogsTheProgressOfTheEvaluation) {
  auto g = phase(std::make_unique<Phase::Gerg2004>(), naturalGas);
  const Value T(300, "K");
  gerg(*g).beta = Value(0.05);
  testing::internal::CaptureStdout();
  g->prepare(T);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  gerg(*g).setVerbosity(4 - verbosityGlobal);
  testing::internal::CaptureStdout();
  g->prepare(T);
  const std::string out = testing::internal::GetCapturedStdout();
  int lines = 0;
  for (std::size_t at = out.find("Phase::EosGerg2004::Qinit "); at != std::string::npos;
       at = out.find("Phase::EosGerg2004::Qinit ", at + 1))
    ++lines;
  EXPECT_EQ(lines, 23) << out;
  EXPECT_NE(out.find("Phase::EosGerg2004::Qinit **** DERIV_grad(an[17])\n"), std::string::npos);
  EXPECT_NE(out.find("Phase::Gerg2004::prepare *** Entered\n"), std::string::npos);
}

// Reading 18 fractions by position needs exactly the 18 fluids.
struct ListCase {
  const char *name;
  int count;
  int wrongMolarMassAt; // -1: none
};

class Gerg2004Lists : public Gerg2004Model, public testing::WithParamInterface<ListCase> {};

TEST_P(Gerg2004Lists, AreRefusedAtConstruction) {
  const ListCase &c = GetParam();
  useFluids(c.count);
  if (c.wrongMolarMassAt >= 0) {
    components.clear();
    for (int i = 0; i < 18; ++i) {
      const FluidData &f = fluids[i];
      components.add(new Fluid(f.name, i == c.wrongMolarMassAt ? 78.11 : f.mw, f.critical));
    }
  }
  try {
    Phase::Gerg2004 model;
    FAIL() << "accepted";
  } catch (const Error &error) {
    EXPECT_NE(error.message().find("Error was thrown by function: Phase::Gerg2004::Gerg2004\n"),
              std::string::npos);
    EXPECT_NE(error.message().find("PhaseGerg2004"), std::string::npos) << error.message();
  }
}

INSTANTIATE_TEST_SUITE_P(Gerg2004, Gerg2004Lists,
                         testing::Values(ListCase{"Empty", 0, -1}, ListCase{"Seventeen", 17, -1},
                                         ListCase{"Nineteen", 19, -1},
                                         ListCase{"BenzeneForEthane", 18, 3}),
                         [](const testing::TestParamInfo<ListCase> &info) {
                           return std::string(info.param.name);
                         });

} // namespace
