#include "TestSystem.h"

#include "velta/core/Jacobian.h"
#include "velta/persistency/Item.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using Mode = Velta::Utility::ScalingMode;

namespace {

// x0^2 + x1^2 - 4 and x0 * x1 - 1.
void circleAndHyperbola(const TestSystem::Unknowns &x, std::vector<Value> &y, unsigned start) {
  y[start] = x[0] * x[0] + x[1] * x[1] - 4.0;
  y[start + 1] = x[0] * x[1] - 1.0;
}

// A tagged variable of the object model: an item that is also a value.
class TaggedValue : public Item, public Value {
public:
  TaggedValue(const std::string &tag, Item *parent, double value)
      : Item(tag, "test variable", parent), Value(value) {}
  std::string type() const override { return "Quantity"; }
};

class TaggedRoot : public Item {
public:
  TaggedRoot() : Item("U1", "unit", nullptr) {}
  std::string type() const override { return "Unit"; }
};

// A unit-like system over variables it does not own.
class VertexSystem : public ObjectiveNleAdVertex {
public:
  explicit VertexSystem(std::vector<Value *> unknowns) : ObjectiveNleAdVertex("V") {
    for (Value *p : unknowns)
      addUnknown(p, Scaler(Mode::noscaling, 0, 1, 0, 1), "v");
  }
  void calculateResidualsLocal() override {
    for (unsigned i = 0; i < size(); ++i)
      residuals[i] = *unknown(i) * 2.0 - 1.0;
  }
  void setup_of() override {}
};

} // namespace

TEST(ObjectiveNleAuto, NamesAndInit) {
  TestSystem system("Flash", {1.0, 2.0, 3.0}, circleAndHyperbola);
  system.appendToName("S01");
  EXPECT_EQ(system.name(), "Flash/S01");

  system.setUnknown(1, nullptr, system.unknownTag(1));
  std::vector<double> x{-1.0, -2.0, -3.0};
  EXPECT_TRUE(system.init(x.data()));
  EXPECT_EQ(x, (std::vector<double>{1.0, -2.0, 3.0}));
}

// Linear [0, 10] -> [0, 1]: scalex turns 5 into 0.5, unscalex back into 5
// and leaves the model's variable at 5.
TEST(ObjectiveNleAd, ScaleAndUnscale) {
  TestSystem system("S", {5.0}, [](const TestSystem::Unknowns &x, std::vector<Value> &y,
                                   unsigned start) { y[start] = x[0] - 5.0; },
                    Scaler(Mode::linear, 0, 10, 0, 1));
  std::vector<double> x{5.0};
  system.scalex(x.data());
  EXPECT_DOUBLE_EQ(x[0], 0.5);
  system.values[0].activeValue() = 7.0;
  system.unscalex(x.data());
  EXPECT_DOUBLE_EQ(x[0], 5.0);
  EXPECT_DOUBLE_EQ(system.values[0].value(), 5.0);
  EXPECT_EQ(system.residuals[0].value(), 0.0); // recomputed at the stored point
}

// The Jacobian is taken with respect to the scaled unknowns: for
// F = x0^2 + x1^2 - 4 with x = 10 X (linear [0, 10] -> [0, 1]),
// dF/dX0 = 2 x0 * 10.
TEST(ObjectiveNleAd, JacobianByChainRule) {
  TestSystem system("S", {1.0, 2.0}, circleAndHyperbola, Scaler(Mode::linear, 0, 10, 0, 1));
  Jacobian J;
  J.resize(2);
  std::vector<double> X{0.1, 0.2}, y(2);
  const int depth = derivativeContextDepth();
  system(X.data(), y.data(), &J);
  EXPECT_EQ(system.depthDuringEvaluation, depth + 1);
  EXPECT_EQ(derivativeContextDepth(), depth);
  EXPECT_DOUBLE_EQ(y[0], 1.0 + 4.0 - 4.0);
  EXPECT_DOUBLE_EQ(y[1], 2.0 - 1.0);
  EXPECT_DOUBLE_EQ(J.element(0, 0), 20.0);
  EXPECT_DOUBLE_EQ(J.element(0, 1), 40.0);
  EXPECT_DOUBLE_EQ(J.element(1, 0), 20.0); // d(x0 x1)/dX0 = x1 * 10
  EXPECT_DOUBLE_EQ(J.element(1, 1), 10.0);
  for (const Value &v : system.values)
    EXPECT_FALSE(v.activeValue().isActive());
}

TEST(ObjectiveNleAd, WithoutJacobianNothingIsSeeded) {
  TestSystem system("S", {1.0, 2.0}, circleAndHyperbola);
  std::vector<double> X{1.0, 2.0}, y(2);
  const int depth = derivativeContextDepth();
  system(X.data(), y.data(), nullptr);
  EXPECT_EQ(system.depthDuringEvaluation, depth);
  EXPECT_DOUBLE_EQ(y[0], 1.0);
}

TEST(ObjectiveNleAd, EmptySystem) {
  TestSystem system("S", {}, [](const TestSystem::Unknowns &, std::vector<Value> &, unsigned) {});
  Jacobian J;
  J.resize(0);
  const int depth = derivativeContextDepth();
  system(nullptr, nullptr, &J);
  EXPECT_EQ(system.depthDuringEvaluation, depth + 1);
  EXPECT_EQ(derivativeContextDepth(), depth);
}

// An error in the residuals leaves the context stack balanced and every
// unknown unseeded, and names the objective in the call trace.
TEST(ObjectiveNleAd, ErrorReleasesTheDerivativeContext) {
  TestSystem system("S", {1.0, 2.0},
                    [](const TestSystem::Unknowns &, std::vector<Value> &, unsigned) {
                      throw ErrorRunTime("residual", "failed property call");
                    });
  Jacobian J;
  J.resize(2);
  std::vector<double> X{1.0, 2.0}, y(2);
  const int depth = derivativeContextDepth();
  for (int attempt = 0; attempt < 2; ++attempt) { // a second attempt may seed again
    try {
      system(X.data(), y.data(), &J);
      FAIL() << "no error";
    } catch (const Error &error) {
      EXPECT_NE(error.message().find("Called from function: ObjectiveNleAd::operator ()\n"),
                std::string::npos);
    }
    EXPECT_EQ(derivativeContextDepth(), depth);
    for (const Value &v : system.values)
      EXPECT_FALSE(v.activeValue().isActive());
  }
  std::vector<double> x{1.0, 2.0};
  EXPECT_THROW(system.unscalex(x.data()), Error);
  EXPECT_EQ(derivativeContextDepth(), depth);
}

// A model that overwrites one of its unknowns while the Jacobian is taken
// (the derivatives would be wrong) stops the evaluation with an error that
// names the unknown by its full tag, or by its tag in the system, and the
// system; the context stack stays balanced and nothing stays seeded.
TEST(ObjectiveNleAd, OverwritingAnUnknownDuringTheJacobianIsAnError) {
  TaggedRoot unit;
  TaggedValue T("T", &unit, 300.0);
  TestSystem *self = nullptr;
  int overwrite = 0;
  TestSystem system("Flash/U1", {1.0}, [&](const TestSystem::Unknowns &x, std::vector<Value> &y,
                                           unsigned start) {
    if (overwrite == 0)
      self->values[0] = Value(5.0);
    else
      static_cast<Value &>(T) = Value(310.0);
    y[start] = x[0] - 1.0;
    y[start + 1] = T - 300.0;
  });
  self = &system;
  system.addUnknown(&T, Scaler(Mode::noscaling, 0, 1, 0, 1), "T");
  Jacobian J;
  J.resize(2);
  const int depth = derivativeContextDepth();
  for (const char *unknown : {"x0", "U1:T"}) {
    std::vector<double> X{1.0, 300.0}, y(2);
    try {
      system(X.data(), y.data(), &J);
      ADD_FAILURE() << "no error for " << unknown;
    } catch (const Error &error) {
      EXPECT_EQ(error.message(),
                std::string("Error was thrown by function: GenericActive::operator =\n"
                            "Generic Run-Time error: severe error: incorrect derivative "
                            "calculation: the unknown ") +
                    unknown +
                    " of the equation system Flash/U1 was overwritten while its derivatives "
                    "were computed\n"
                    "Called from function: ObjectiveNleAd::operator ()\n");
    }
    EXPECT_EQ(derivativeContextDepth(), depth);
    EXPECT_FALSE(system.values[0].activeValue().isActive());
    EXPECT_FALSE(T.activeValue().isActive());
    ++overwrite;
  }
  // Without a Jacobian nothing is seeded, and writing is allowed.
  std::vector<double> X{1.0, 300.0}, y(2);
  system(X.data(), y.data(), nullptr);
  EXPECT_EQ(T.value(), 310.0);
}

// Merging F (unknowns T, P) into U gives U two more unknowns tagged F/T and
// F/P with copies of F's scalers.
TEST(ObjectiveNleAd, MergeSystems) {
  Value T(300.0), P(1e5);
  TestSystem F("F", {}, circleAndHyperbola);
  F.addUnknown(&T, Scaler(Mode::log, 50, 1500, 1, 10), "T");
  F.addUnknown(&P, Scaler(Mode::log, 1, 101325, 1, 10), "P");
  TestSystem U("U", {1.0}, circleAndHyperbola);
  U.addObjectiveFunction(F);
  ASSERT_EQ(U.size(), 3u);
  EXPECT_EQ(U.residuals.size(), 3u);
  EXPECT_EQ(U.unknownTag(1), "F/T");
  EXPECT_EQ(U.unknownTag(2), "F/P");
  EXPECT_EQ(U.unknown(2), &P);
  EXPECT_EQ(U.scaler(1).modeName(), "log");
  EXPECT_EQ(U.scaler(2).xmax(), 101325);
}

TEST(ObjectiveNleAdVertex, StacksLocalResiduals) {
  Value a(1.0), b(3.0);
  VertexSystem vertex({&a, &b});
  std::vector<double> X{1.0, 3.0}, y(2);
  vertex(X.data(), y.data(), nullptr);
  std::vector<Value> stacked(5, Value(-1.0));
  EXPECT_EQ(vertex.calculateResiduals(stacked, 3), 2u);
  EXPECT_EQ(stacked[2].value(), -1.0);
  EXPECT_EQ(stacked[3].value(), 1.0);
  EXPECT_EQ(stacked[4].value(), 5.0);
}

namespace {

// A system whose own equations are switched off: identity rows.
class SwitchedOffSystem : public ObjectiveNleAd {
public:
  SwitchedOffSystem() : ObjectiveNleAd("off") {
    for (Value &v : values)
      addUnknown(&v, Scaler(Mode::noscaling, 0, 1, 0, 1), "x");
  }
  unsigned calculateResiduals(std::vector<Value> &y, unsigned start) override {
    return zero_residuals(y, start);
  }
  Value values[2] = {Value(4.0), Value(5.0)};
};

} // namespace

// zero_residuals gives residuals of value 0 whose derivatives are those of
// the unknowns: the identity rows unknown_i = const.
TEST(ObjectiveNleAd, ZeroResidualsGiveIdentityRows) {
  SwitchedOffSystem system;
  Jacobian J;
  J.resize(2);
  std::vector<double> X{4.0, 5.0}, y{-1.0, -1.0};
  system(X.data(), y.data(), &J);
  EXPECT_EQ(y, (std::vector<double>{0.0, 0.0}));
  EXPECT_EQ(J.element(0, 0), 1.0);
  EXPECT_EQ(J.element(0, 1), 0.0);
  EXPECT_EQ(J.element(1, 0), 0.0);
  EXPECT_EQ(J.element(1, 1), 1.0);
}

// An unknown without influence is reported at the default verbosities with
// the system's name, its index and, for a tagged variable, its full tag.
TEST(ObjectiveNleAd, UnknownWithoutEffectIsLogged) {
  TaggedRoot unit;
  TaggedValue T("T", &unit, 300.0);
  TestSystem system("Flash", {1.0}, [](const TestSystem::Unknowns &x, std::vector<Value> &y,
                                       unsigned start) {
    y[start] = x[0] - 1.0;
    y[start + 1] = x[0] + 1.0;
  });
  system.addUnknown(&T, Scaler(Mode::noscaling, 0, 1, 0, 1), "T");
  Jacobian J;
  J.resize(2);
  std::vector<double> X{1.0, 300.0}, y(2);
  const int savedVerbosity = verbosityGlobal;
  verbosityGlobal = 2;
  testing::internal::CaptureStdout();
  system(X.data(), y.data(), &J);
  verbosityGlobal = savedVerbosity;
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("ObjectiveNleAd::packResults_  In the Jacobian of Flash, unknown 1 [U1:T] has "
                     "no effect on any equation: singularity\n"),
            std::string::npos)
      << out;
  EXPECT_EQ(J.element(0, 1), 0.0);
  EXPECT_EQ(J.element(1, 1), 0.0);
}
