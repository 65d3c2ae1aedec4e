// A binary column solved from its CMO start against an independent
// stage-by-stage calculation.

#include "ColumnTestSupport.h"

#include "velta/flowsheet/FlowSheetPrivate.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace columntest;

namespace {

class ColumnSolutionTest : public ComponentsFixture {
protected:
  void SetUp() override {
    verbosityGlobal = 0;
    useConstantVolatilityPair();
    flashdrumtest::registerDrumTypes();
    registerFlowsheetTypes();
  }
  void TearDown() override {
    verbosityGlobal = 2;
    for (const char *f : {"ENRICH_Q1.dot", "ENRICH_Q2.dot", "STRIP_Q1.dot", "STRIP_Q2.dot"})
      std::remove(f);
    ComponentsFixture::TearDown();
  }
};

TEST_F(ColumnSolutionTest, SixStagesAgainstConstantVolatilityStages) {
  auto column = makeColumn(columnOptions(6, 3));
  column->P1 = Value(1e5, "Pa");
  Stream &feed = streamOf(*column, "F");
  setFeed(feed, {0.5, 0.5}, 250.0, 1e5, 1.0);
  feed.go(1);
  column->setup();
  column->calculate(0);
  for (auto &e : column->errors.value()) std::cout << "E " << e << "\n";
  for (std::size_t i = 0; i < column->T.size(); ++i)
    std::cout << i << " " << column->T[i] << " " << column->V[i] << " " << column->L[i] << "\n";
  for (auto &a : column->assignments()) if (a->delta() > 1e-6) std::cout << a->tag << " " << *a->LHSP << " " << a->RHS << " " << a->delta() << "\n";
  std::cout << column->NITER.value() << " " << column->seqErr << "\n";
  std::cout << column->Q("D:Tphase.x[0]") << " " << column->Q("B:Tphase.x[0]") << "\n";
}

} // namespace
