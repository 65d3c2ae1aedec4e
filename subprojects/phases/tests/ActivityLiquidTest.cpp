// The activity models as property models of a generic phase: liquid
// fugacities and the caloric properties of the ideal solution corrected by
// the excess values.

#include "ActivityTestSupport.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/phases/ActivityNrtl.h"
#include "velta/phases/ActivityParameters.h"
#include "velta/phases/ActivityUnifac.h"
#include "velta/phases/Generic.h"
#include "velta/phases/Ideal.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

using namespace Phase::Activity;
using activitytest::ActivityTest;
using activitytest::setComponents;
using Velta::Utility::PhaseType;

namespace {

// A generic phase around any property model, of a fixed phase type.
class ModelPhase : public Phase::Generic {
public:
  ModelPhase(std::unique_ptr<Phase::Generic::Interface> model, PhaseType type)
      : Object(options(), 0, nullptr, nullptr, nullptr),
        Model(options(), 0, nullptr, nullptr, nullptr), Phase::Generic(options(), 0, nullptr,
                                                                       nullptr, nullptr,
                                                                       std::move(model)) {
    setType("ActivityPhaseOfTheTests");
    setPhaseType(static_cast<int>(type));
  }
  // These tests never copy a phase.
  std::unique_ptr<Node> clone() const override { return nullptr; }
  void initializeNonPersistents() override { model().initializeNonPersistents(xView(), rho, AMW); }

  void setComposition(const std::vector<double> &fractions) {
    ndot = Value(1.0, "kmol/s");
    for (std::size_t i = 0; i < fractions.size(); ++i)
      x[i] = Value(fractions[i]);
    calculateX(Phase::MassBalanceMode::Nx);
  }

private:
  static Defaults options() { return Defaults("Lphase", "test phase"); }
};

template <class M>
std::unique_ptr<ModelPhase> phaseOf(PhaseType type, const std::vector<double> &x) {
  auto phase = std::make_unique<ModelPhase>(std::make_unique<M>(), type);
  phase->setComposition(x);
  return phase;
}

// alpha = 0.3, b_01 = 600 K, b_10 = 300 K.
void setNrtlBinary() {
  ParametersNrtl1::resize(2);
  ParametersNrtl1::alpha(0, 1) = ParametersNrtl1::alpha(1, 0) = 0.3;
  ParametersNrtl1::b(0, 1) = 600;
  ParametersNrtl1::b(1, 0) = 300;
}

void setEthanolWater() {
  ParametersUnifac::componentSubgroups() = {{0, {{1, 1}, {2, 1}, {14, 1}}}, {1, {{16, 1}}}};
}

const Value T(350.0, "K");
const Value P(2e5, "Pa");

double lnK(int i) { return std::log(components[i]->kvli(T, P).value()); }

} // namespace

TEST_F(ActivityTest, LiquidFugacitiesCarryTheActivityCoefficients) {
  // Binary NRTL at x = (0.4, 0.6), 350 K: ln gamma0 = 0.771188 (closed form,
  // see the NRTL tests); the Henry component keeps gamma = 1 and does not
  // change the other coefficient.
  setComponents({false, true});
  setNrtlBinary();
  auto nrtl = phaseOf<Nrtl1>(PhaseType::liquid, {0.4, 0.6});
  nrtl->prepare(T);
  nrtl->preparefugacity(P, T);
  EXPECT_NEAR(nrtl->fugacity(0).value(), lnK(0) + 0.771188, 1e-6);
  EXPECT_EQ(nrtl->fugacity(1).value(), lnK(1));

  // UNIFAC ethanol-like + water at the same state: gamma = (1.389160,
  // 1.346657) by the hand calculation of the UNIFAC tests.
  setComponents({false, false});
  setEthanolWater();
  auto unifac = phaseOf<Unifac>(PhaseType::liquid, {0.4, 0.6});
  unifac->prepare(T);
  unifac->preparefugacity(P, T);
  EXPECT_NEAR(unifac->fugacity(0).value(), lnK(0) + std::log(1.389160), 1e-6);
  EXPECT_NEAR(unifac->fugacity(1).value(), lnK(1) + std::log(1.346657), 1e-6);
  // Streams call the model directly as well.
  auto &model = dynamic_cast<Unifac &>(unifac->model());
  EXPECT_NEAR(model.gamma(0).value(), 1.389160, 1e-6);

  setComponents({false, true});
  auto henry = phaseOf<Unifac>(PhaseType::liquid, {0.4, 0.6});
  henry->prepare(T);
  henry->preparefugacity(P, T);
  EXPECT_EQ(henry->fugacity(1).value(), lnK(1));
}

TEST_F(ActivityTest, CaloricPropertiesAreIdealPlusExcess) {
  setComponents({false, false});
  setNrtlBinary();
  setEthanolWater();
  const std::vector<double> x{0.4, 0.6};
  auto ideal = phaseOf<Phase::Ideal>(PhaseType::liquid, x);
  auto nrtl = phaseOf<Nrtl1>(PhaseType::liquid, x);
  auto unifac = phaseOf<Unifac>(PhaseType::liquid, x);
  for (ModelPhase *phase : {ideal.get(), nrtl.get(), unifac.get()}) {
    phase->prepare(T);
    phase->calculate_rho(P, T);
  }
  const double h = ideal->calculate_H(P, T).value();
  const double s = ideal->calculate_S(P, T).value();
  const double cp = ideal->calculate_Cp(P, T).value();
  // NRTL excess values of this mixture by finite differences of gE/RT
  // (NRTL tests): HE = 1.011401e6 J/kmol, CpE = 1962.28 J/(kmol*K),
  // SE = (HE - R T gE/RT) / T = -1078.50 J/(kmol*K).
  EXPECT_NEAR(nrtl->calculate_H(P, T).value() - h, 1.011401e6, 1.0);
  EXPECT_NEAR(nrtl->calculate_S(P, T).value() - s, -1078.50, 0.01);
  EXPECT_NEAR(nrtl->calculate_Cp(P, T).value() - cp, 1962.28, 0.01);
  // UNIFAC excess values of the worked example (UnifacReference.py):
  // HE = -22001.6964306382 J/kmol, SE = -2640.78198339494 J/(kmol*K),
  // CpE = 1576.64457266815 J/(kmol*K).
  EXPECT_NEAR(unifac->calculate_H(P, T).value() - h, -22001.6964306382, 1e-6);
  EXPECT_NEAR(unifac->calculate_S(P, T).value() - s, -2640.78198339494, 1e-8);
  EXPECT_NEAR(unifac->calculate_Cp(P, T).value() - cp, 1576.64457266815, 1e-8);
}

TEST_F(ActivityTest, FugacitiesOfAnActivityModelNeedALiquid) {
  setComponents({false, false});
  setNrtlBinary();
  setEthanolWater();
  struct Case {
    std::unique_ptr<ModelPhase> phase;
    std::string model;
    std::string source;
  };
  std::vector<Case> cases;
  cases.push_back({phaseOf<Nrtl1>(PhaseType::vapor, {0.4, 0.6}), "Nrtl", "ActivityNrtl"});
  cases.push_back({phaseOf<Unifac>(PhaseType::solid, {0.4, 0.6}), "Unifac", "ActivityUnifac"});
  for (Case &c : cases) {
    c.phase->prepare(T);
    try {
      c.phase->preparefugacity(P, T);
      ADD_FAILURE() << c.model << ": no error";
    } catch (const ErrorRunTime &error) {
      const std::string &text = error.message();
      EXPECT_NE(text.find("condition phaseType() == Velta::Utility::PhaseType::liquid failed in "
                          "subprojects/phases/src/" +
                          c.source),
                std::string::npos)
          << text;
      EXPECT_NE(text.find("Error was thrown by function: Phase::Activity::" + c.model +
                          "::preparefugacity"),
                std::string::npos)
          << text;
    }
  }
}

TEST_F(ActivityTest, ErrorsInsidePrepareNameTheModel) {
  setComponents({false, false});
  auto nrtl = phaseOf<Nrtl2>(PhaseType::liquid, {0.4, 0.6});
  try {
    nrtl->prepare(T);
    ADD_FAILURE() << "no error";
  } catch (const ErrorRunTime &error) {
    const std::string &text = error.message();
    EXPECT_NE(text.find("Error was thrown by function: Phase::Activity::Nrtl2::computeTau"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Called from function: Phase::Activity::Nrtl::setTemperature\n"
                        "Called from function: Phase::Activity::Nrtl::prepare"),
              std::string::npos)
        << text;
  }
  setComponents({false, false, false});
  setEthanolWater();
  auto unifac = std::make_unique<ModelPhase>(std::make_unique<Unifac>(), PhaseType::liquid);
  unifac->setComposition({0.2, 0.3, 0.5});
  try {
    unifac->prepare(T);
    ADD_FAILURE() << "no error";
  } catch (const ErrorRunTime &error) {
    const std::string &text = error.message();
    EXPECT_NE(text.find("UNIFAC model: ParametersUnifac describes 2 components"), std::string::npos)
        << text;
    EXPECT_NE(text.find("Called from function: Phase::Activity::Unifac::prepare"),
              std::string::npos)
        << text;
  }
}

TEST_F(ActivityTest, EmptyLiquidTakesTheEquimolarActivityCoefficients) {
  // Every mole fraction 0 (an empty liquid after a zero-total balance): the
  // coefficients are those of the equimolar mixture at 350 K, by the closed
  // forms of the NRTL and UNIFAC tests:
  //   NRTL  ln gamma = (0.564426087, 0.450812461);
  //   UNIFAC gamma = (1.231016081, 1.485575212).
  setComponents({false, false});
  setNrtlBinary();
  setEthanolWater();
  auto nrtl = phaseOf<Nrtl1>(PhaseType::liquid, {0.0, 0.0});
  auto unifac = phaseOf<Unifac>(PhaseType::liquid, {0.0, 0.0});
  ASSERT_EQ(nrtl->x[0].value(), 0.0);
  ASSERT_EQ(nrtl->x[1].value(), 0.0);
  nrtl->prepare(T);
  unifac->prepare(T);
  auto &nrtlModel = dynamic_cast<Nrtl1 &>(nrtl->model());
  auto &unifacModel = dynamic_cast<Unifac &>(unifac->model());
  EXPECT_NEAR(std::log(nrtlModel.gamma(0).value()), 0.564426087, 1e-9);
  EXPECT_NEAR(std::log(nrtlModel.gamma(1).value()), 0.450812461, 1e-9);
  EXPECT_NEAR(unifacModel.gamma(0).value(), 1.231016081, 1e-9);
  EXPECT_NEAR(unifacModel.gamma(1).value(), 1.485575212, 1e-9);
  // The fugacities and the property pass stay finite.
  for (ModelPhase *phase : {nrtl.get(), unifac.get()}) {
    phase->preparefugacity(P, T);
    EXPECT_TRUE(std::isfinite(phase->fugacity(0).value()));
    phase->calculateProperties(P, T, true);
    for (const char *tag : {"rho", "H", "S", "Cp", "h", "s", "g"})
      EXPECT_TRUE(std::isfinite(phase->Q(tag).value())) << tag;
  }
}
