// Assignments of a flowsheet: creation and refresh by position, the error
// sum, direct steps with damping and step limit, Wegstein steps and
// inactive Assignments. Expected values are worked by hand in the comments.

#include "velta/flowsheet/SequentialAssembly.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Velta::Utility::ScalingMode;

class Assembly : public SequentialAssembly {
public:
  std::vector<int> enabled;
  bool isActive(Position p) override {
    return enabled.at(static_cast<std::size_t>(std::distance(ass_.begin(), p))) == 1;
  }
  // One assembly pass over the variables with their right-hand sides.
  void assemble(std::vector<Value> &lhs, const std::vector<double> &rhs) {
    Position p = firstAssignment();
    for (std::size_t i = 0; i < lhs.size(); ++i)
      makeAssignment(p, &lhs[i], Value(rhs[i], "Pa"), "Pressure " + std::to_string(i),
                     "x[i] = y[i]", static_cast<int>(i) - 2, ScalingMode::noscaling, 0.0, 1.0,
                     Value(1.0));
    while (enabled.size() < ass_.size())
      enabled.push_back(1);
  }
};

Value pa(double x) { return Value(x, "Pa"); }

TEST(SequentialAssembly, NewAssignmentsHaveNoErrorAndMarkTheirVariableComputed) {
  Assembly a;
  EXPECT_EQ(a.deltaseq(), 0.0);
  std::vector<Value> x{pa(1.0), pa(2.0), pa(3.0)};
  x[0].setInput();
  a.assemble(x, {5.0, 6.0, 7.0});
  EXPECT_EQ(a.assignments().size(), 3u);
  EXPECT_EQ(a.scalers().size(), 3u);
  EXPECT_EQ(a.deltaseq(), 0.0);
  EXPECT_FALSE(x[0].input());
  EXPECT_TRUE(x[0].output());
  // The index -2 of the first and 0 of the third call.
  EXPECT_EQ(a.assignments().front()->text, "x[-2] = y[-2]");
  EXPECT_EQ(a.assignments().back()->text, "x[0] = y[0]");
  // A refresh keeps the list and the LHS pointers.
  a.assemble(x, {5.0, 6.0, 8.0});
  EXPECT_EQ(a.assignments().size(), 3u);
  EXPECT_EQ(a.assignments().back()->RHS.value(), 8.0);
  EXPECT_EQ(a.assignments().back()->oldRHS.value(), 7.0);
}

TEST(SequentialAssembly, DirectStepsWithAndWithoutLimit) {
  struct Case {
    double lhs, rhs, limit, damping, expected;
  };
  // Limit 0.1 of the larger end, max(|LHS|, |RHS|): 100 -> 120 towards 200,
  // -100 -> -130 towards -300; from 0 the step is 0.1 of 200, where a limit
  // taken from |LHS| alone would let a variable near zero stall (or, at
  // exactly 0, jump); damping 0.5 halves the step 100 -> 150; a step within
  // the limit is taken whole.
  const std::vector<Case> cases{{100, 200, 0.1, 0, 120},  {-100, -300, 0.1, 0, -130},
                                {0, 200, 0.1, 0, 20},     {1e-12, 200, 0.1, 0, 20 + 1e-12},
                                {100, 200, 1.0, 0, 200},  {100, 200, 1.0, 0.5, 150},
                                {100, 105, 0.1, 0, 105}};
  for (const Case &c : cases) {
    Value x = pa(c.lhs);
    Assignment a(&x, pa(c.rhs), "p");
    a.oldLHS = pa(-1.0);
    a.directstep(c.damping, c.limit);
    EXPECT_DOUBLE_EQ(x.value(), c.expected) << c.lhs << " -> " << c.rhs;
    EXPECT_EQ(a.oldLHS.value(), c.lhs);
  }
  Assembly limited;
  limited.setMaxRelativeStepChange(0.1);
  std::vector<Value> x{pa(100.0)};
  limited.assemble(x, {200.0});
  limited.directstep();
  EXPECT_DOUBLE_EQ(x[0].value(), 120.0);
  // delta = |200 - 100| / (|150| + 1) = 100 / 151
  EXPECT_DOUBLE_EQ(limited.deltaseq(), 100.0 / 151.0);
}

// The assignments of one torn stream share one limited share of their
// steps, each measured against the largest member of its units: an
// enthalpy and a composition that belong together move together, and a
// trace flow is limited by the main flow, not by its own size.
TEST(SequentialAssembly, AGroupMovesByOneShare) {
  Assembly a;
  a.setMaxRelativeStepChange(0.1);
  std::vector<Value> x{Value(-2e8, "J/kmol"), Value(1.0, "kmol/s"), Value(1e-9, "kmol/s"),
                       pa(1e5)};
  const std::vector<Value> rhs{Value(-2.5e8, "J/kmol"), Value(1.05, "kmol/s"),
                               Value(1e-6, "kmol/s"), pa(1.5e5)};
  auto assemble = [&] {
    SequentialAssembly::Position p = a.firstAssignment();
    a.beginGroup();
    for (std::size_t i = 0; i < 3; ++i)
      a.makeAssignment(p, &x[i], rhs[i], "member " + std::to_string(i), "", 0,
                       ScalingMode::noscaling, 0.0, 1.0, Value(1.0));
    a.endGroup();
    // An assignment of its own: limited alone.
    a.makeAssignment(p, &x[3], rhs[3], "alone", "", 0, ScalingMode::noscaling, 0.0, 1.0,
                     Value(1.0));
    while (a.enabled.size() < a.assignments().size())
      a.enabled.push_back(1);
  };
  assemble();
  assemble();
  a.directstep();
  // The enthalpy limits the group: 0.1 * 2.5e8 of a 5e7 step is a share of
  // 0.5, which every member takes; the trace flow's step (1e-6) is within
  // 0.1 of the main flow, 1.05.
  EXPECT_DOUBLE_EQ(x[0].value(), -2.25e8);
  EXPECT_DOUBLE_EQ(x[1].value(), 1.025);
  EXPECT_DOUBLE_EQ(x[2].value(), 1e-9 + 0.5 * (1e-6 - 1e-9));
  // Alone: 0.1 * 1.5e5 of a 5e4 step, a share of 0.3.
  EXPECT_DOUBLE_EQ(x[3].value(), 1.15e5);
}

TEST(SequentialAssembly, WegsteinStepsFromTheSlopeOfTheLastTwoSteps) {
  struct Case {
    double oldLhs, lhs, oldRhs, rhs, expected;
  };
  // psi = (oldRHS - RHS) / (oldLHS - LHS); q = -psi / (1 - psi);
  // LHS := q LHS + (1 - q) RHS.
  //   psi 1   : q 0  -> RHS = 12
  //   psi 0.5 : q -1 -> 2 RHS - LHS = 2 * 12 - 10 = 14
  //   psi 2   : q 2  -> 2 LHS - RHS = 20 - 14 = 6
  const std::vector<Case> cases{{8, 10, 10, 12, 12}, {8, 10, 11, 12, 14}, {8, 10, 10, 14, 6}};
  for (const Case &c : cases) {
    Value x = pa(c.lhs);
    Assignment a(&x, pa(c.rhs), "p");
    a.oldLHS = pa(c.oldLhs);
    a.oldRHS = pa(c.oldRhs);
    a.wegsteinstep();
    EXPECT_NEAR(x.value(), c.expected, 1e-12) << c.oldRhs << " " << c.rhs;
    EXPECT_EQ(a.oldLHS.value(), c.lhs);
  }
  // Without history (oldLHS = LHS): plain substitution.
  Value x = pa(10.0);
  Assignment a(&x, pa(12.0), "p");
  a.oldLHS = pa(10.0);
  a.oldRHS = pa(11.0);
  a.wegsteinstep();
  EXPECT_EQ(x.value(), 12.0);
}

TEST(SequentialAssembly, InactiveAssignmentsFollowTheirVariable) {
  Assembly a;
  std::vector<Value> x{pa(1.0), pa(2.0)};
  a.assemble(x, {5.0, 6.0});
  a.enabled[1] = 0;
  a.assemble(x, {5.0, 6.0});
  a.directstep();
  EXPECT_EQ(x[0].value(), 5.0);
  EXPECT_EQ(x[1].value(), 2.0);
  a.assemble(x, {5.0, 9.0});
  EXPECT_EQ(a.assignments().back()->RHS.value(), 2.0);
  a.wegsteinstep();
  EXPECT_EQ(x[1].value(), 2.0);
}

TEST(SequentialAssemblyDeathTest, StepLimitOutsideTheUnitIntervalIsFatal) {
  Assembly a;
  EXPECT_DEATH(a.setMaxRelativeStepChange(1.0), "c < one");
  EXPECT_DEATH(a.setMaxRelativeStepChange(-0.1), "c >= zero");
}

} // namespace
