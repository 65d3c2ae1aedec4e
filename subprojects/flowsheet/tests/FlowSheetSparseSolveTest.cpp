// The Newton step of a flowsheet's simultaneous solution is the same whether
// its Jacobian is solved in the dense form or in the sparse form, where the
// matrix is split into its block triangular parts, and whether the units'
// long derivative lists are folded into intermediates of an extended sparse
// system or not: chains of mixer/divider pairs, each with its own cut
// recycle.

#include "FlowsheetTestSupport.h"

#include "velta/core/Jacobian.h"
#include "velta/flowsheet/FlowSheetPrivate.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/units/Divider.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace flowsheettest;

namespace {

std::string numbered(const char *prefix, int i) {
  std::string tag(prefix);
  tag += std::to_string(i);
  return tag;
}

// source -F-> M0 -S0-> D0 -X1-> M1 ... D2 -P-> sink, with Ri from Di back to Mi.
class Chain : public PlainFlowSheet {
public:
  explicit Chain(int pairs = 3) : Chain(Defaults("FS", "chain"), pairs) {}
  Chain(Defaults defaults, int pairs)
      : Object(defaults, 0, nullptr, nullptr, nullptr),
        Model(defaults, 0, nullptr, nullptr, nullptr),
        VertexBase(defaults, 0, nullptr, nullptr, nullptr),
        PlainFlowSheet(defaults, 0, nullptr, nullptr, nullptr) {
    for (int i = 0; i < pairs; ++i) {
      addUnit("Mixer", Defaults(numbered("M", i), "mixer"));
      addUnit("Divider", Defaults(numbered("D", i), "divider"));
    }
    for (int i = 0; i < pairs; ++i) {
      addStream("StreamOne", gasOptions(i == 0 ? std::string("F") : numbered("X", i)),
                i == 0 ? std::string("source") : numbered("D", i - 1), "out", numbered("M", i),
                "in");
      addStream("StreamOne", gasOptions(numbered("S", i)), numbered("M", i), "out",
                numbered("D", i), "in");
      addStream("StreamOne", gasOptions(numbered("R", i)), numbered("D", i), "out",
                numbered("M", i), "in");
    }
    addStream("StreamOne", gasOptions("P"), numbered("D", pairs - 1), "out", "sink", "in");
  }
};

// A chain of forty pairs as a unit of another flowsheet.
class FortyPairs : public Chain {
public:
  FortyPairs(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root),
        Model(defaults, id, persistency, parent, root),
        VertexBase(defaults, id, persistency, parent, root), Chain(defaults, 40) {
    setType("FortyPairs");
  }
};

// Splits of a chain of the given pairs (60 % back to each mixer); the
// recycles are cut.
void splitAndCut(FlowSheet &fs, int pairs) {
  for (int i = 0; i < pairs; ++i) {
    auto &divider = dynamic_cast<Divider &>(fs.child(numbered("D", i)));
    divider.outSplit[0] = Value(0.6);
    divider.outSplit[1] = Value(0.4);
    fs.addCut(numbered("R", i));
  }
}

// A gas feed at 350 K into a chain of the given pairs.
void prepareChain(Chain &fs, int pairs) {
  setFeed(streamOf(fs, "F"), {0.3, 0.7}, 350.0, 1e5, 1.0);
  streamOf(fs, "F").setFlash(static_cast<int>(Velta::Utility::FlashMode::PT));
  splitAndCut(fs, pairs);
}

class SparseSolve : public ComponentsFixture {
protected:
  void SetUp() override {
    use(lightAndHeavy());
    registerFlowsheetTypes();
    static const bool registered = [] {
      NodeFactory().registerType<FortyPairs>("FortyPairs", "Chain of the tests", "flowsheet", true,
                                             {}, {}, {}, "", 100, 100);
      return true;
    }();
    (void)registered;
  }
};

// At the state the sequential pre-computation leaves, the flowsheet's n x n
// Jacobian is solved densely, and again inside a sparse matrix of n + 100
// unknowns whose added unknowns have identity rows (so that the solver
// takes the block path); both give the same step.
TEST_F(SparseSolve, BlockTriangularStepEqualsTheDenseStep) {
  Chain fs;
  prepareChain(fs, 3);
  testing::internal::CaptureStdout();
  fs.go(1, 0);
  const int n = static_cast<int>(fs.size());
  ASSERT_GT(n, 20);
  ASSERT_LT(n, Jacobian::denseLimit);
  std::vector<double> x(n), f(n);
  fs.init(x.data());
  fs.scalex(x.data());
  Jacobian dense;
  dense.resize(n);
  fs(x.data(), f.data(), &dense);
  testing::internal::GetCapturedStdout();

  const int padded = n + 100;
  Jacobian sparse;
  sparse.resize(padded);
  ASSERT_TRUE(sparse.isSparse());
  for (int c = 0; c < padded; ++c)
    for (int r = 0; r < padded; ++r) {
      const double v = c < n ? (r < n ? dense.element(r, c) : 0.0) : (r == c ? 1.0 : 0.0);
      if (v != 0.0)
        sparse.set(r, c, v);
    }
  std::vector<double> denseStep(n), sparseStep(padded, 1.0);
  for (int i = 0; i < n; ++i)
    denseStep[i] = sparseStep[i] = -f[i];
  ASSERT_EQ(dense.solve(denseStep.data()), Jacobian::solved);
  ASSERT_EQ(sparse.solve(sparseStep.data()), Jacobian::solved);
  double largest = 0.0;
  for (int i = 0; i < n; ++i)
    largest = std::max(largest, std::fabs(denseStep[i]));
  ASSERT_GT(largest, 0.0); // the pre-computation leaves something to do
  for (int i = 0; i < n; ++i)
    EXPECT_NEAR(sparseStep[i], denseStep[i], 1e-10 * largest) << fs.unknownTag(i);
  for (int i = n; i < padded; ++i)
    EXPECT_EQ(sparseStep[i], 1.0) << i;
}

// Forty pairs (322 unknowns): along the chain each unit's numbers would
// carry the derivatives of every recycle upstream. Folded at the units'
// inlets, the Jacobian becomes an extended sparse system with
// intermediates; its Newton step and its gradient J^T f are those of the
// plain Jacobian, and the solve converges to a closed balance.
TEST_F(SparseSolve, FoldedIntermediatesGiveThePlainStepAndGradient) {
  const int pairs = 40;
  Chain fs(pairs);
  prepareChain(fs, pairs);
  testing::internal::CaptureStdout();
  fs.go(1, 0);
  const int n = static_cast<int>(fs.size());
  ASSERT_GE(n, static_cast<int>(FlowSheet::minimumUnknownsToFold));
  std::vector<double> x(n), f(n), folded(n);
  fs.init(x.data());
  fs.scalex(x.data());
  Jacobian plain, extended;
  plain.resize(n);
  extended.resize(n);
  extended.allowIntermediates(true);
  fs(x.data(), f.data(), &plain);
  fs(x.data(), folded.data(), &extended);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(plain.intermediates(), 0);
  EXPECT_GT(extended.intermediates(), 0);
  for (int i = 0; i < n; ++i)
    ASSERT_EQ(folded[i], f[i]) << fs.unknownTag(i);

  std::vector<double> plainStep(n), foldedStep(n), plainGradient(n), foldedGradient(n);
  for (int i = 0; i < n; ++i)
    plainStep[i] = foldedStep[i] = -f[i];
  ASSERT_EQ(plain.solve(plainStep.data()), Jacobian::solved);
  ASSERT_EQ(extended.solve(foldedStep.data()), Jacobian::solved);
  plain.multiplyTransposed(f.data(), plainGradient.data());
  extended.multiplyTransposed(f.data(), foldedGradient.data());
  double largestStep = 0.0, largestGradient = 0.0;
  for (int i = 0; i < n; ++i) {
    largestStep = std::max(largestStep, std::fabs(plainStep[i]));
    largestGradient = std::max(largestGradient, std::fabs(plainGradient[i]));
  }
  ASSERT_GT(largestStep, 0.0);
  for (int i = 0; i < n; ++i) {
    EXPECT_NEAR(foldedStep[i], plainStep[i], 1e-9 * largestStep) << fs.unknownTag(i);
    EXPECT_NEAR(foldedGradient[i], plainGradient[i], 1e-9 * largestGradient) << fs.unknownTag(i);
  }

  testing::internal::CaptureStdout();
  fs.go(2, 0);
  testing::internal::GetCapturedStdout();
  for (const std::string &error : fs.errors.value())
    ADD_FAILURE() << error;
  EXPECT_GT(fs.privatePart().solver_.jacobian().intermediates(), 0);
  // Every pair passes the feed on: the product carries the feed's flows.
  for (int i = 0; i < 2; ++i)
    EXPECT_NEAR(streamOf(fs, "P").Tphase->flow(i).value(),
                streamOf(fs, "F").Tphase->flow(i).value(), 1e-9);
}

// The same chain nested in another flowsheet: the outer solve folds the
// inner flowsheet's streams too, and both balances close.
TEST_F(SparseSolve, NestedChainConvergesWithFoldedIntermediates) {
  auto outer = makeFlowSheet<FlowSheet>("PlainFlowSheet");
  outer->addUnit("FortyPairs", Defaults("IN", "inner chain"));
  outer->addStream("StreamOne", gasOptions("F"), "source", "out", "IN", "in");
  outer->addStream("StreamOne", gasOptions("P"), "IN", "out", "sink", "in");
  auto &inner = dynamic_cast<Chain &>(outer->child("IN"));
  Stream &feed = streamOf(*outer, "F");
  setFeed(feed, {0.3, 0.7}, 350.0, 1e5, 1.0);
  feed.setFlash(static_cast<int>(Velta::Utility::FlashMode::PT));
  splitAndCut(inner, 40);
  testing::internal::CaptureStdout();
  outer->calculate(0);
  outer->calculate(0);
  testing::internal::GetCapturedStdout();
  for (const std::string &error : outer->errors.value())
    ADD_FAILURE() << error;
  ASSERT_GE(outer->size(), FlowSheet::minimumUnknownsToFold);
  EXPECT_GT(outer->privatePart().solver_.jacobian().intermediates(), 0);
  const double in = feed.Tphase->mdot.value();
  EXPECT_NEAR((in - streamOf(*outer, "P").Tphase->mdot.value()) / in, 0.0, 1e-9);
  EXPECT_NEAR(outer->massBalance().value(), 0.0, 1e-9);
  EXPECT_NEAR(inner.massBalance().value(), 0.0, 1e-9);
}

} // namespace
