// The two ways of a cubic engine through one property pass: on unit-free
// numbers (quiet objects) and on physical values (objects that log), in
// every kind of derivative context, and the model's kept precompute, which
// must be done again whenever the state changes.

#include "EosTestSupport.h"

#include "velta/phases/EosCubicKwongRedlichSoave.h"
#include "velta/phases/EosCubicPengRobinson.h"
#include "velta/phases/EosCubicVanDerWaals.h"
#include "velta/utility/Diagnostic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

using namespace eostest;
using Phase::EosCubic::KwongRedlichSoave;
using Phase::EosCubic::PengRobinson;
using Phase::EosCubic::VanDerWaals;

namespace {

enum Equation { vdW, SRK, PR };

struct PassCase {
  const char *name;
  Equation equation;
  int phaseType; // 1 vapour, 2 liquid
  double T, P, beta;
  double x[3]; // CH4, C4H10, CO2
};

void PrintTo(const PassCase &c, std::ostream *stream) { *stream << c.name; }

// Plain states and the corrected branches of the pressure: a vapour beyond
// betac below the pseudo-critical temperature, liquids below betac, a
// liquid whose uncorrected pressure exceeds P.
const PassCase passCases[] = {
    {"PRVapour", PR, 1, 350.0, 2e6, 0.05, {0.6, 0.3, 0.1}},
    {"PRVapourBeyondBetac", PR, 1, 250.0, 2e6, 0.3, {0.5, 0.4, 0.1}},
    {"PRLiquidBelowBetac", PR, 2, 300.0, 1e6, 0.19, {0.1, 0.8, 0.1}},
    {"PRCompressedLiquid", PR, 2, 300.0, 1e5, 0.6, {0.1, 0.8, 0.1}},
    {"SRKVapourWithAbsentCO2", SRK, 1, 320.0, 3e6, 0.08, {0.6, 0.4, 0.0}},
    {"SRKLiquid", SRK, 2, 300.0, 5e6, 0.55, {0.1, 0.8, 0.1}},
    {"vdWVapour", vdW, 1, 350.0, 2e6, 0.05, {0.6, 0.3, 0.1}},
    {"vdWLiquidBelowBetac", vdW, 2, 300.0, 1e6, 0.25, {0.1, 0.8, 0.1}},
};

// What one pass leaves in the engine: P, Pcalc_, Pcm, A, B, the three
// residual properties, every ln phi and, in the corrected region, dpdbeta.
struct PassResult {
  std::vector<Value> numbers;
};

// Seeds T, P, beta and the mole fractions in the first directions of the
// current context (as many as it has) and unseeds them at the end.
class Seeds {
public:
  Seeds(Value &T, Value &P, Value &beta, std::vector<Value> &x) {
    std::vector<Value *> all{&T, &P, &beta};
    for (Value &xi : x)
      all.push_back(&xi);
    for (std::size_t d = 0; d < all.size() && static_cast<int>(d) < numdir; ++d) {
      all[d]->activeValue().setActive(static_cast<int>(d));
      seeded_.push_back(all[d]);
    }
  }
  ~Seeds() {
    for (std::size_t d = 0; d < seeded_.size(); ++d)
      seeded_[d]->activeValue().setInactive(static_cast<int>(d));
  }
  Seeds(const Seeds &) = delete;
  Seeds &operator=(const Seeds &) = delete;

private:
  std::vector<Value *> seeded_;
};

// The pass of the engine benchmark and of a stream's residuals: pressure
// step, residual properties and every ln phi, with logging on or off, in
// the current derivative context.
template <class C> PassResult pass(const PassCase &c, bool logging) {
  C engine;
  if (logging)
    engine.setVerbosity(3 - verbosityGlobal);
  Value T(c.T, "K"), P(c.P, "Pa"), beta(c.beta);
  std::vector<Value> x{Value(c.x[0]), Value(c.x[1]), Value(c.x[2])};
  PassResult result;
  {
    Seeds seeds(T, P, beta, x);
    engine.beta = beta;
    const Value sumx = Vector(&x).sum();
    Value pressure(0.0, "Pa");
    std::vector<Value> lnphi(3);
    if (logging)
      testing::internal::CaptureStdout();
    engine.calculatePressureEos_(T, Vector(&x), sumx, c.phaseType, pressure);
    engine.calculateResiduals(P, T, sumx);
    engine.preparefugacity_eos(P, T, Vector(&x), sumx, c.phaseType, lnphi);
    if (logging)
      testing::internal::GetCapturedStdout();
    result.numbers = {pressure,         engine.Pcalc_,      engine.Pcm,          engine.A(),
                      engine.B(),       engine.sResidual_,  engine.hResidual_,   engine.cpResidual_,
                      lnphi[0],         lnphi[1],           lnphi[2]};
    if (engine.dpdbeta.units() == pressure.units())
      result.numbers.push_back(engine.dpdbeta);
  }
  return result;
}

PassResult pass(const PassCase &c, bool logging) {
  switch (c.equation) {
  case vdW:
    return pass<VanDerWaals>(c, logging);
  case SRK:
    return pass<KwongRedlichSoave>(c, logging);
  default:
    return pass<PengRobinson>(c, logging);
  }
}

// Equal within rounding: values to 1e-12 relative, derivatives to 1e-11
// relative, both above a floor of the quantity's own size.
void expectSame(const Value &a, const Value &b, int directions, const std::string &what) {
  ASSERT_TRUE(a.units() == b.units()) << what;
  const double scale = std::max(std::fabs(b.value()), 1e-3);
  EXPECT_NEAR(a.value(), b.value(), 1e-12 * scale) << what;
  for (int d = 0; d < directions; ++d) {
    const double da = a.activeValue().derivative(d), db = b.activeValue().derivative(d);
    EXPECT_NEAR(da, db, 1e-11 * std::max(std::fabs(da), std::fabs(db)) + 1e-14 * scale)
        << what << ", direction " << d;
  }
}

class CubicPass : public EosFixture, public testing::WithParamInterface<PassCase> {
protected:
  void SetUp() override { useTernary(); }
};

} // namespace

// No directions, T P beta (dense), T P beta and two fractions (dense, all
// five slots) and every unknown of a sparse context.
TEST_P(CubicPass, UnitFreeNumbersGiveTheValuesOfThePhysicalValues) {
  for (int directions : {0, 3, 5, 9}) {
    SCOPED_TRACE(directions);
    ScopedContext context(directions);
    const PassResult quiet = pass(GetParam(), false);
    const PassResult logged = pass(GetParam(), true);
    ASSERT_EQ(quiet.numbers.size(), logged.numbers.size());
    for (std::size_t k = 0; k < quiet.numbers.size(); ++k)
      expectSame(quiet.numbers[k], logged.numbers[k], directions, "result " + std::to_string(k));
  }
}

INSTANTIATE_TEST_SUITE_P(Eos, CubicPass, testing::ValuesIn(passCases),
                         [](const auto &info) { return std::string(info.param.name); });

namespace {

class KeptPrecompute : public EosFixture {
protected:
  void SetUp() override { useTernary(); }
};

// A state of the model: T, x, and whether T carries a derivative.
struct State {
  double T;
  std::vector<double> x;
  bool seedT;
};

// The pressure of a vapour model at beta 0.05 after the given calls, in a
// context of one direction.
Value pressureAfter(const std::function<void(Phase::Eos<PengRobinson> &,
                                             std::vector<Value> &x, Value &T)> &before,
                    const State &last) {
  ScopedContext context(1);
  auto phase = makeEosPhase<PengRobinson>("vapor", last.x);
  Phase::Eos<PengRobinson> &model = phase->eos();
  std::vector<Value> x(last.x.size());
  Value T(0.0, "K");
  before(model, x, T);
  for (std::size_t i = 0; i < x.size(); ++i)
    x[i] = Value(last.x[i]);
  T = Value(last.T, "K");
  if (last.seedT)
    T.activeValue().setActive(0);
  model.beta = Value(0.05);
  const Value sumx = Vector(&x).sum();
  Value P = model.calculate_P_(Value(1.0, "kmol/m3"), T, Vector(&x), sumx);
  if (last.seedT)
    T.activeValue().setInactive(0);
  return P;
}

} // namespace

// A model prepared at one state and asked for the pressure of another (the
// composition, the temperature, or only T's derivatives changed) computes
// its mixture again; so does one whose covolume a restore replaced.
TEST_F(KeptPrecompute, IsComputedAgainWhenTheStateChanges) {
  const State first{350.0, {0.6, 0.3, 0.1}, false};
  const State changes[] = {{350.0, {0.5, 0.4, 0.1}, false},
                           {360.0, {0.6, 0.3, 0.1}, false},
                           {350.0, {0.6, 0.3, 0.1}, true}};
  for (const State &last : changes) {
    const Value fresh = pressureAfter([](auto &, auto &, auto &) {}, last);
    const Value kept = pressureAfter(
        [&](Phase::Eos<PengRobinson> &model, std::vector<Value> &x, Value &T) {
          for (std::size_t i = 0; i < x.size(); ++i)
            x[i] = Value(first.x[i]);
          T = Value(first.T, "K");
          model.prepare(T, Vector(&x));
        },
        last);
    EXPECT_EQ(kept.value(), fresh.value());
    EXPECT_EQ(kept.activeValue().derivative(0), fresh.activeValue().derivative(0));
  }
  // Prepared at the last state, restored with another composition, then
  // prepared at the last state again.
  const State last{350.0, {0.6, 0.3, 0.1}, false};
  const Value fresh = pressureAfter([](auto &, auto &, auto &) {}, last);
  const Value restored = pressureAfter(
      [&](Phase::Eos<PengRobinson> &model, std::vector<Value> &x, Value &T) {
        for (std::size_t i = 0; i < x.size(); ++i)
          x[i] = Value(last.x[i]);
        T = Value(last.T, "K");
        model.prepare(T, Vector(&x));
        std::vector<Value> other{Value(0.1), Value(0.1), Value(0.8)};
        model.initializeNonPersistents(Vector(&other), Value(20.0, "kg/m3"),
                                       Value(30.0, "kg/kmol"));
        model.prepare(T, Vector(&x));
      },
      last);
  EXPECT_EQ(restored.value(), fresh.value());
}
