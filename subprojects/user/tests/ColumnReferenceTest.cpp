// Distillation columns of the kernel's components, calculated through the
// library from the column's own start-up (no estimates), against an
// independent stage-by-stage solution of the same column: ColumnReference.py
// beside this file writes out the components' correlations again, solves the
// component, summation and enthalpy balances of every stage, the condenser's
// bubble point and the reboiler's flash with scipy (residuals below 1e-12),
// and prints the rows of the table below.
#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/flowsheet/Column.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/user/KernelInitialization.h"
#include "velta/utility/Diagnostic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

namespace {

struct Case {
  const char *light, *heavy; // the pair; x is the first one's feed fraction
  double x, T;               // feed at 1 atm, 0.01 kmol/s
  int stages, feedStage;
  double RR, BR;
  double D, B, xD, xB; // kmol/s and the first component's fractions
  double Tcondenser, Treboiler;
};

const Case cases[] = {
    // subcooled, feed vapour fraction 0
    {"Chemical1", "Chemical2", 0.3, 190, 10, 5, 1, 2, 0.00505275861198, 0.00494724138802,
     4.7946429527e-15, 0.606398549151, 188.0654230689, 206.1325293469},
    // partly vaporised, feed vapour fraction 0.607545
    {"Chemical1", "Chemical2", 0.3, 215.145, 4, 2, 1, 1, 0.0055758317872, 0.0044241682128,
     3.65013206484e-07, 0.678093105969, 188.0654294741, 210.5025526037},
    // at the bubble point (rounded to 1e-4 K), feed vapour fraction 0
    {"H2O", "Chemical1", 0.5, 312.4289, 4, 2, 5, 1, 0.00152717074513, 0.00847282925487,
     9.03669957809e-06, 0.59012002355, 292.7766935414, 318.1327849282},
    // partly vaporised, feed vapour fraction 0.382277
    {"H2O", "Chemical1", 0.5, 330, 6, 3, 2, 2, 0.00553468658877, 0.00446531341123,
     0.0966752985639, 0.999914700354, 295.5896418561, 373.1461670126},
    // subcooled, feed vapour fraction 0
    {"H2O", "Chemical1", 0.3, 300, 30, 15, 3, 3, 0.0044189534407, 0.0055810465593,
     5.70149596937e-26, 0.537533591258, 292.7764449954, 314.6735336078},
    // subcooled, feed vapour fraction 0: the 10-stage column's pinch, longer
    {"Chemical1", "Chemical2", 0.3, 190, 40, 20, 1, 2, 0.00505275861198, 0.00494724138802,
     1.68068922677e-18, 0.606398549151, 188.0654230689, 206.1325293469},
    // at the bubble point (rounded to 1e-4 K), boil-up 5: stages of the
    // start-up fail to a liquid far below their inlets and, restarted where
    // they failed, empty the top of the column. The script's own start does
    // not reach this solution: its equations were solved from the stage
    // temperatures and flows of this column (residual 3e-13).
    {"Chemical1", "Chemical2", 0.3, 194.5641, 10, 5, 1, 5, 0.0076590841305, 0.0023409158695,
     0.086052603725, 0.999999999538, 189.6593467943, 292.7764444737},
};

class ColumnReference : public testing::Test {
protected:
  static void SetUpTestSuite() { initializeKernel(); }
  static void TearDownTestSuite() { uninitializeKernel(); }
  void TearDown() override {
    verbosityGlobal = 2;
    for (const char *f : {"ENRICH_Q1.dot", "ENRICH_Q2.dot", "STRIP_Q1.dot", "STRIP_Q2.dot"})
      std::remove(f);
  }
};

TEST_F(ColumnReference, StageSolutionsFromTheDefaultStartUp) {
  for (const Case &c : cases) {
    const std::string name = std::string(c.light) + "/" + c.heavy + " " +
                             std::to_string(c.stages) + " stages at " + std::to_string(c.T) +
                             " K, RR " + std::to_string(c.RR) + " BR " + std::to_string(c.BR);
    Defaults options("c", "column");
    options.setInteger("stages", c.stages).setInteger("feedStage", c.feedStage);
    options.setString("typeU", "StreamIdealLiquidVapor").setString("typeW", "StreamLiquid");
    std::unique_ptr<Node> node = NodeFactory().create("Column", options, 0, nullptr, nullptr, nullptr);
    auto &column = dynamic_cast<Column &>(*node);
    column.Q("F.T").activeValue() = c.T;
    column.Q("F.P").activeValue() = 101325.0;
    const double F = 0.01;
    column.Q("F:Tphase.ndot").activeValue() = F;
    for (int i = 0; i < components.count(); ++i) {
      const std::string n = components[i]->name();
      column.Q("F:Tphase.x[" + n + "]").activeValue() =
          n == c.light ? c.x : n == c.heavy ? 1.0 - c.x : 0.0;
    }
    column.RR.activeValue() = c.RR;
    column.BR.activeValue() = c.BR;
    verbosityGlobal = -20;
    column.setup();
    column.calculate(0);
    column.reportMessages();
    verbosityGlobal = 2;
    EXPECT_TRUE(column.errors.value().empty()) << name << ": " << column.errors.value().front();

    const double D = column.Q("D:Tphase.ndot").toDouble("kmol/s");
    const double B = column.Q("B:Tphase.ndot").toDouble("kmol/s");
    EXPECT_NEAR(D / c.D, 1.0, 1e-6) << name;
    EXPECT_NEAR(B / c.B, 1.0, 1e-6) << name;
    const std::string light = std::to_string(components.lookup(c.light));
    EXPECT_NEAR(column.Q("D:Tphase.x[" + light + "]").value(), c.xD, 1e-6) << name;
    EXPECT_NEAR(column.Q("B:Tphase.x[" + light + "]").value(), c.xB, 1e-6) << name;
    // The temperatures follow the compositions: 1e-6 in a fraction of
    // almost pure bottoms is 1e-4 K.
    EXPECT_NEAR(column.T.front().value(), c.Tcondenser, 1e-4) << name;
    EXPECT_NEAR(column.T.back().value(), c.Treboiler, 1e-4) << name;
    // Component balances over the column (the condenser's vapour is empty).
    for (int i = 0; i < components.count(); ++i) {
      const std::string x = "Tphase.x[" + std::to_string(i) + "]";
      EXPECT_NEAR((D * column.Q("D:" + x).value() + B * column.Q("B:" + x).value()) / F,
                  column.Q("F:" + x).value(), 1e-9)
          << name << " " << components[i]->name();
    }
  }
}

} // namespace
