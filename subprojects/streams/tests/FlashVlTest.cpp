// The vapour-liquid flash by Rachford-Rice and its temperature- and
// composition-dependent variants, driven by a minimal owner that flashes a
// fixed feed with the Rachford-Rice residual as its only equilibrium
// equation.

#include "StreamTestSupport.h"

#include "velta/streams/FlashLlTx.h"
#include "velta/utility/Error.h"
#include "velta/value/DerivativeContext.h"
#include "velta/value/ErrorUnit.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace streamtest;
using Velta::Utility::FlashMode;

namespace {

int fm(FlashMode m) { return static_cast<int>(m); }

// The owner's side of the flash: a feed z, no phases, no equations of
// state; K-values from the flash class (FlashVlT: the components' kvli).
template <class F> class FeedFlash : public F {
public:
  // extra: equation-of-state unknowns, bounded by [0, 1].
  explicit FeedFlash(std::vector<double> feed, std::vector<Value *> extra = {}) {
    static const double zero = 0.0, one = 1.0;
    for (double v : feed)
      z.push_back(Value(v));
    this->vaporIndex_ = 1;
    this->liquidIndex_ = 2;
    this->addUnknowns(extra, std::vector<const double *>(extra.size(), &zero),
                      std::vector<const double *>(extra.size(), &one));
  }
  const Value &calculateTotalP(const Value &) override { return none; }
  const Value &calculateTotalRho() override { return none; }
  const Value &calculateTotalH() override { return none; }
  const Value &calculateTotalS() override { return S; }
  void prepare_residuals() override {
    this->prepare_Flash_residuals();
    this->calculateSplit(Vector(&z));
  }
  int calculateResidualsEos(std::vector<Value> &, unsigned) override { return 0; }
  void estimateEos(const Value &, const Value &) override {}
  int calculateResidualsEquilibrium(std::vector<Value> &y, unsigned start) override {
    y[start] = this->calculateResidualsRrg();
    return 1;
  }
  void estimateEquilibrium(const Value &, const Value &) override {
    this->computealfaminmax(Vector(&z));
    if (this->mode == static_cast<int>(FlashMode::PA))
      this->alfa = this->alfaset;
    else
      this->centeralfa();
    this->calculateSplit(Vector(&z));
  }
  // The split at alfa with given K-values, in mode PT unless told otherwise.
  Value split(std::vector<double> K, double alfa) {
    for (std::size_t i = 0; i < K.size(); ++i)
      this->kVL_[i] = Value(K[i]);
    this->alfa = Value(alfa);
    this->calculateSplit(Vector(&z));
    return this->calculateResidualsRrg();
  }

  std::vector<Value> z;
  Value none;
  Value S = Value(0.0, "J/(kmol*K)");
};

// Components with ln(psat / Pa) = a - b / T, so that K = psat / P.
class AntoineComponent : public LinearComponent {
public:
  AntoineComponent(const std::string &name, double a, double b)
      : LinearComponent(name, PureData()), a_(a), b_(b, "K") {}
  Value psat(const Value &T, double * = nullptr, double * = nullptr) const override {
    return exp(a_ - b_ / T) * Value(1.0, "Pa");
  }

private:
  Value a_, b_;
};

class FlashVlFixture : public ComponentsFixture {
protected:
  void SetUp() override {
    components.clear();
    components.add(new AntoineComponent("A", 21.0, 2800.0));
    components.add(new AntoineComponent("B", 22.0, 3600.0));
  }
};

using FlashVlSplit = FlashVlFixture;

TEST_F(FlashVlSplit, SplitsAnEquimolarFeedAtTheRachfordRiceRoot) {
  FeedFlash<FlashVlT> f({0.5, 0.5});
  // K = (2, 0.5): bounds 0 and 1; at alfa 0.5, x = 0.5 / (0.5 K + 0.5).
  EXPECT_NEAR(f.split({2.0, 0.5}, 0.5).value(), 0.0, 1e-15);
  EXPECT_EQ(f.alfamin(), 0.0);
  EXPECT_EQ(f.alfamax(), 1.0);
  EXPECT_DOUBLE_EQ(f.kz()->value(), 1.25);
  EXPECT_DOUBLE_EQ(f.zk()->value(), 1.25);
  EXPECT_DOUBLE_EQ(f.x[0].value(), 1.0 / 3.0);
  EXPECT_DOUBLE_EQ(f.x[1].value(), 2.0 / 3.0);
  EXPECT_DOUBLE_EQ(f.y[0].value(), 2.0 / 3.0);
  EXPECT_DOUBLE_EQ(f.y[1].value(), 1.0 / 3.0);
}

TEST_F(FlashVlSplit, CorrectsAVapourOnlyFeed) {
  FeedFlash<FlashVlT> f({0.5, 0.5});
  // K = (3, 2): component 1 bounds alfa below by (1.5 - 1) / 2 = 0.25.
  // At alfa 0.5: x = (0.25, 1/3), y = (0.75, 2/3), sum(y - x) = 5/6;
  // zk = 0.5/3 + 0.5/2 = 5/12 < 1 and kz = 2.5 > 1: minus (1 - 5/12).
  const Value res = f.split({3.0, 2.0}, 0.5);
  EXPECT_DOUBLE_EQ(f.alfamin(), 0.25);
  EXPECT_EQ(f.alfamax(), 1.0);
  EXPECT_NEAR(res.value(), 5.0 / 6.0 - 7.0 / 12.0, 1e-15);
}

TEST_F(FlashVlSplit, BoundCorrectionsPushAlfaBack) {
  FeedFlash<FlashVlT> f({0.5, 0.5});
  // alfa 1.2 with K = (2, 0.5): den = |1.2 K - 0.2| = (2.2, 0.4);
  // sum(y - x) = 0.5 (1/2.2 - 0.5/0.4 ... ) computed term by term below.
  const double x0 = 0.5 / 2.2, x1 = 0.5 / 0.4;
  const double plain = (2.0 * x0 - x0) + (0.5 * x1 - x1);
  const double r = std::fabs(plain);
  EXPECT_NEAR(f.split({2.0, 0.5}, 1.2).value(), plain - (1.0 + r) * 0.2 * 0.2, 1e-14);
  // alfa -0.1: den = (1 + -0.1 (2 - 1)) = 0.9 without absolute value for
  // K >= 1, |-0.05 + 1.1| = 1.05 for K < 1.
  const double u0 = 0.5 / 0.9, u1 = 0.5 / 1.05;
  const double below = (2.0 * u0 - u0) + (0.5 * u1 - u1);
  EXPECT_NEAR(f.split({2.0, 0.5}, -0.1).value(), below + (1.0 + std::fabs(below)) * 0.01,
              1e-14);
}

TEST_F(FlashVlSplit, ComponentWithoutVapourAndClippedFractions) {
  FeedFlash<FlashVlT> f({0.5, 0.5});
  const Value res = f.split({2.0, 0.0}, 0.25);
  EXPECT_EQ(f.y[1].value(), 0.0);
  EXPECT_DOUBLE_EQ(f.x[1].value(), 0.5 / (0.75 + 2.220446049250313e-16));
  const double x0 = 0.5 / (0.25 * 2.0 + 0.75);
  // kz = 1 and zk = 0.25 + 0.5 / eps: liquid-only branch not taken
  // (kz <= 1 but zk > 1 subtracts kz - 1 = 0).
  EXPECT_NEAR(res.value(), (2.0 * x0 - x0) - f.x[1].value(), 1e-12);

  f.split({2.0, 0.5}, 1.3);
  EXPECT_EQ(f.Fraction(1, true).value(), 1.0);
  EXPECT_EQ(f.Fraction(2, true).value(), 0.0);
  EXPECT_NEAR(f.Fraction(2, false).value(), -0.3, 1e-15);
  EXPECT_EQ(f.Fraction(5, false).value(), 0.0);
  EXPECT_EQ(&f.X(5)[0], &f.x[0]);
  EXPECT_EQ(&f.X(1)[0], &f.y[0]);
}

TEST_F(FlashVlSplit, EqualKValuesGiveSlopeOneInAlfa) {
  FeedFlash<FlashVlT> f({0.5, 0.5});
  pushDerivativeContext(1);
  {
    for (Value &K : f.kVL_)
      K = Value(1.0);
    f.alfa = Value(0.5);
    f.alfa.activeValue().setDerivative(0, 1.0);
    f.calculateSplit(Vector(&f.z));
    const Value res = f.calculateResidualsRrg();
    EXPECT_EQ(res.value(), 0.0);
    EXPECT_DOUBLE_EQ(res.activeValue().derivative(0), 1.0);
  }
  popDerivativeContext();
}

TEST_F(FlashVlSplit, PaHasNoCorrections) {
  FeedFlash<FlashVlT> f({0.5, 0.5});
  f.setFlash_(fm(FlashMode::PA), Value(2e5, "Pa"), Value(0.3), true);
  EXPECT_EQ(f.mode, 2);
  EXPECT_DOUBLE_EQ(f.Pset_.value(), 2e5);
  EXPECT_DOUBLE_EQ(f.alfaset.value(), 0.3);
  const Value res = f.split({3.0, 2.0}, 1.2);
  EXPECT_EQ(f.zk()->value(), 0.0);
  EXPECT_EQ(f.kz()->value(), 0.0);
  const double x0 = 0.5 / 3.4, x1 = 0.5 / 2.2;
  EXPECT_NEAR(res.value(), 2.0 * x0 + x1, 1e-14);
  f.alfa = Value(0.25);
  EXPECT_NEAR(f.calculateResidualsFlashMode().value(), 0.05, 1e-15);
}

// The flash solved: PT between the bubble and dew points, PA at alfa 0 and
// 1, superheated and subcooled feeds. Reference values by scipy's brentq on
// the Raoult equations with the components' psat (python3):
//   z = (0.5, 0.5), P = 101325 Pa: bubble 312.118407549319 K, dew
//   328.668423526964 K; at 320 K alfa = 0.45567855474425 with
//   x = (0.336892805182201, 0.663107194817799).
using FlashVlSolved = FlashVlFixture;

TEST_F(FlashVlSolved, PtSplitsTheBinary) {
  FeedFlash<FlashVlT> f({0.5, 0.5});
  f.setFlash_(fm(FlashMode::PT), Value(101325.0, "Pa"), Value(320.0, "K"), true);
  f.estimate(Value(101325.0, "Pa"), Value(320.0, "K"));
  EXPECT_EQ(f.solveFlash(false, false), 0);
  EXPECT_TRUE(f.converged());
  EXPECT_NEAR(f.alfa.value(), 0.45567855474425, 1e-8);
  EXPECT_NEAR(f.x[0].value(), 0.336892805182201, 1e-8);
  EXPECT_LT(f.iterations(), 8u);
}

TEST_F(FlashVlSolved, PaGivesBubbleAndDewTemperatures) {
  for (const auto &[alfa, T] : {std::pair{0.0, 312.118407549319}, {1.0, 328.668423526964}}) {
    FeedFlash<FlashVlT> f({0.5, 0.5});
    f.setFlash_(fm(FlashMode::PA), Value(101325.0, "Pa"), Value(alfa), true);
    f.estimate(Value(101325.0, "Pa"), Value(320.0, "K"));
    EXPECT_EQ(f.solveFlash(false, false), 0);
    // The solver stops on its step tolerance (TOLX 1e-7 on the
    // log-scaled T) a few 1e-5 K from the root.
    EXPECT_NEAR(f.T.value(), T, 1e-4) << "alfa " << alfa;
    EXPECT_NEAR(f.alfa.value(), alfa, 1e-9);
  }
}

TEST_F(FlashVlSolved, SinglePhaseFeedsConvergeToTheBounds) {
  for (const auto &[T, alfa] : {std::pair{400.0, 1.0}, {280.0, 0.0}}) {
    FeedFlash<FlashVlT> f({0.5, 0.5});
    f.setFlash_(fm(FlashMode::PT), Value(101325.0, "Pa"), Value(T, "K"), true);
    f.estimate(Value(101325.0, "Pa"), Value(T, "K"));
    f.solveFlash(false, false);
    EXPECT_TRUE(f.converged()) << T;
    EXPECT_NEAR(f.Fraction(1, true).value(), alfa, 1e-6) << T;
  }
}

TEST_F(FlashVlFixture, TemperatureDependentVariantsSetPointsAndKValues) {
  FeedFlash<FlashVlT> f({0.5, 0.0});
  EXPECT_THROW(f.setFlash_(fm(FlashMode::PA), Value(300.0, "K"), Value(0.3), true), ErrorUnit);
  f.setFlash_(fm(FlashMode::PT), Value(2e5, "Pa"), Value(330.0, "K"), true);
  EXPECT_DOUBLE_EQ(f.Tset_.value(), 330.0);
  EXPECT_DOUBLE_EQ(f.alfaset.value(), 0.5);
  f.x[0] = Value(0.5);
  f.fillkvl(Value(101325.0, "Pa"), Value(320.0, "K"), false);
  EXPECT_NEAR(f.kVL_[0].value(), 2.0624849629381985, 1e-12);
  EXPECT_EQ(f.kVL_[1].value(), 1.0);

  kllEstimates.clear();
  FeedFlash<FlashLlTx> ll({0.5, 0.5});
  EXPECT_FALSE(ll.ideal());
  try {
    ll.setFlash_(fm(FlashMode::PH), Value(2e5, "Pa"), Value(0.0, "J/kmol"), true);
    ADD_FAILURE() << "PH accepted";
  } catch (const ErrorSmartEnum &e) {
    EXPECT_NE(e.message().find("FlashLlTx::setFlash_"), std::string::npos);
    EXPECT_NE(e.message().find("Unrecognized Flash mode: PH"), std::string::npos);
  }
  EXPECT_EQ(ll.mode, 1);
  ll.fillkvl(Value(101325.0, "Pa"), Value(320.0, "K"), true);
  EXPECT_EQ(ll.kVL_[0].value(), 1.0);
  EXPECT_EQ(ll.kVL_[1].value(), 1.0);
}

TEST_F(FlashVlFixture, SaFixesTheEntropyInPlaceOfThePressure) {
  FeedFlash<FlashVlT> f({0.5, 0.5});
  f.setFlash_(fm(FlashMode::SA), Value(1e5, "J/(kmol*K)"), Value(0.4), true);
  EXPECT_DOUBLE_EQ(f.Sset_.value(), 1e5);
  EXPECT_DOUBLE_EQ(f.alfaset.value(), 0.4);
  f.S = Value(1.1e5, "J/(kmol*K)");
  f.P = Value(7e5, "Pa");
  EXPECT_NEAR(f.calculateResidualsPressure().value(), 0.1, 1e-15);
  f.alfa = Value(0.5);
  EXPECT_NEAR(f.calculateResidualsFlashMode().value(), -0.1, 1e-15);
}

TEST(FlashVlTxLayout, KValuesFollowAlfaAsUnknowns) {
  components.clear();
  for (const char *n : {"A", "B", "C"})
    components.add(new LinearComponent(n, PureData()));
  {
    Value beta(0.5);
    FeedFlash<FlashVlTx> f({0.2, 0.3, 0.5}, {&beta});
    EXPECT_FALSE(f.ideal());
    ASSERT_EQ(f.size(), 7u);
    EXPECT_EQ(f.solver().size(), 7);
    const char *tags[] = {"T", "P", "beta[0]", "alfa", "kVL[A]", "kVL[B]", "kVL[C]"};
    for (unsigned i = 0; i < 7; ++i)
      EXPECT_EQ(f.unknownTag(i), tags[i]);
    EXPECT_EQ(f.unknown(4), &f.kVL_[0]);
    EXPECT_EQ(f.scaler(3).modeName(), "arctangent");
    EXPECT_EQ(f.scaler(4).modeName(), "log");
  }
  components.clear();
}

} // namespace
