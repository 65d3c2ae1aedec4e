// Sensitivity and homotopy runs over the small study model (h = 10 T/K +
// P/kPa, errors above "limit", an exception above "throwAbove").
#include "ScratchDirectory.h"
#include "StudyTestModel.h"
#include "velta/core/Homotopy.h"
#include "velta/core/Sensitivity.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<StudyTestModel> makeModel() {
  registerStudyTestModel();
  std::unique_ptr<Node> node = NodeFactory().create("StudyTestModel", Defaults("CASE", "Study"), 0,
                                                    nullptr, nullptr, nullptr);
  auto *model = my_cast<StudyTestModel *>(node.get(), "makeModel");
  node.release();
  return std::unique_ptr<StudyTestModel>(model);
}

// T (2 points, 300 to 310 K) and P (3 points, 10 to 30 kPa), monitoring h
// and P in kPa.
SensitivityInput study(const std::string &order) {
  SensitivityInput input;
  input.type = "StudyTestModel";
  input.id = 0;
  input.startinground = 0;
  input.order = order;
  input.controlled.emplace_back("T", "", "", 300, 310, 2);
  input.controlled.emplace_back("P", "kPa", "", 10, 30, 3);
  input.monitored.push_back({"h", "", ""});
  input.monitored.push_back({"P", "kPa", ""});
  return input;
}

class StudyRun : public ::testing::Test {
protected:
  std::string resultsFile() const { return scratch_.file("SensitivityResults.xml"); }

  // Runs the study; returns the error message (empty on success) and keeps
  // the rows and standard output.
  std::string runSensitivity(SensitivityInput input, Model *model) {
    Sensitivity run(std::move(input), resultsFile().c_str());
    run.setModel(model);
    std::string message;
    ::testing::internal::CaptureStdout();
    try {
      run.execute();
    } catch (const Error &error) {
      message = error.message();
    }
    out_ = ::testing::internal::GetCapturedStdout();
    rows_ = run.rows;
    return message;
  }

  std::string runHomotopy(HomotopyInput input, Model *model, int &failedPoint) {
    Homotopy run(std::move(input));
    run.setModel(model);
    std::string message;
    ::testing::internal::CaptureStdout();
    try {
      run.execute();
    } catch (const Error &error) {
      message = error.message();
    }
    out_ = ::testing::internal::GetCapturedStdout();
    failedPoint = run.failedPoint();
    return message;
  }

  std::vector<std::pair<double, double>> controlledValues() const {
    std::vector<std::pair<double, double>> values;
    for (const SensitivityResultRow &row : rows_)
      values.emplace_back(row.controlled.at(0), row.controlled.at(1));
    return values;
  }

  bool logged(const std::string &line) const { return out_.find(line) != std::string::npos; }

  ScratchDirectory scratch_;
  std::string out_;
  std::vector<SensitivityResultRow> rows_;
};

using Points = std::vector<std::pair<double, double>>;

TEST_F(StudyRun, SensitivityGridOrders) {
  const struct {
    const char *order;
    Points expected;
  } cases[] = {
      {"", {{300, 10}, {300, 20}, {300, 30}, {310, 10}, {310, 20}, {310, 30}}},
      {"Boustrophedon", {{300, 10}, {300, 20}, {300, 30}, {310, 10}, {310, 20}, {310, 30}}},
      {"boustrophedon", {{300, 10}, {300, 20}, {300, 30}, {310, 30}, {310, 20}, {310, 10}}},
      // Radices (3, 2), s = (0 * 3 + 1) * 2 + 1 = 3, the digits (0, 1): T at
      // 310 and P at 10 first; then from each point the box neighbour
      // nearest to the start, the least grid index among equals.
      {"quasi-spiral", {{310, 10}, {300, 10}, {300, 20}, {310, 20}, {300, 30}, {310, 30}}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.order);
    const auto model = makeModel();
    ASSERT_EQ(runSensitivity(study(c.order), model.get()), "");
    EXPECT_EQ(controlledValues(), c.expected);
    ASSERT_EQ(rows_.size(), 6u);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
      const SensitivityResultRow &row = rows_[i];
      EXPECT_EQ(row.round, static_cast<int>(i));
      EXPECT_EQ(row.errors, 0);
      EXPECT_EQ(row.iterations, static_cast<int>(i) + 1);
      // h = 10 T + P / kPa; the P column in kPa.
      EXPECT_DOUBLE_EQ(row.monitored.at(0), 10 * row.controlled[0] + row.controlled[1]);
      EXPECT_EQ(row.monitored.at(1), row.controlled[1]);
    }
  }
  // The kPa value is set as Pa; the lines of the run.
  EXPECT_EQ(makeModel()->P.value(), 101325);
  const auto model = makeModel();
  ASSERT_EQ(runSensitivity(study(""), model.get()), "");
  EXPECT_EQ(model->P.value(), 30000);
  EXPECT_TRUE(model->P.input());
  EXPECT_TRUE(logged("Sensitivity::execute * Entered\n"));
  EXPECT_TRUE(logged("Sensitivity::execute * Performing round 0: [T = 300 P = 10000 ]\n\n"));
  EXPECT_TRUE(logged("Sensitivity::execute * Total iterations = 21\n"));
  EXPECT_TRUE(logged("Sensitivity::execute * Errorfree rows = 6 / 6 = 100 %\n"));
  EXPECT_TRUE(logged("Sensitivity::execute * Exit\n"));
  EXPECT_EQ(xmllint("--noout " + resultsFile()), 0);
  EXPECT_EQ(xpath(resultsFile(), "count(/results/result)", scratch_), "6");
}

TEST_F(StudyRun, SensitivityRoundsWithErrors) {
  const auto model = makeModel();
  model->limit = Value(305.0, "K");
  ASSERT_EQ(runSensitivity(study(""), model.get()), "");
  ASSERT_EQ(rows_.size(), 6u);
  for (std::size_t i = 0; i < 6; ++i)
    EXPECT_EQ(rows_[i].errors, i < 3 ? 0 : 1) << i;
  EXPECT_TRUE(logged("Sensitivity::execute * Total errors = 3\n"));
  EXPECT_TRUE(logged("Sensitivity::execute * Total iterations for errorfree rows = 6\n"));
  EXPECT_TRUE(logged("Sensitivity::execute * Average iterations for each errorfree row = 2\n"));
  EXPECT_TRUE(logged("Sensitivity::execute * Errorfree rows = 3 / 6 = 50 %\n"));
  // After three failed rounds in a row the quantities of the last good
  // round (2) are back.
  EXPECT_EQ(model->T.value(), 300);
  EXPECT_EQ(model->h.value(), 3030);

  const auto failing = makeModel();
  failing->limit = Value(0.0, "K");
  ASSERT_EQ(runSensitivity(study(""), failing.get()), "");
  EXPECT_TRUE(logged("Average iterations for each errorfree row = nan") ||
              logged("Average iterations for each errorfree row = -nan"))
      << out_;
}

// An exception in round 3 ends the run; the file keeps rounds 0 to 2.
TEST_F(StudyRun, SensitivityKeepsCompletedRows) {
  const auto model = makeModel();
  model->throwAbove = Value(305.0, "K");
  const std::string message = runSensitivity(study(""), model.get());
  EXPECT_NE(message.find("T beyond reach"), std::string::npos) << message;
  EXPECT_NE(message.find("Called from function: Sensitivity::execute\n"), std::string::npos);
  EXPECT_EQ(rows_.size(), 3u);
  EXPECT_EQ(xmllint("--noout " + resultsFile()), 0);
  EXPECT_EQ(xpath(resultsFile(), "count(/results/result)", scratch_), "3");
}

TEST_F(StudyRun, SensitivityStartRoundsAndRefusals) {
  SensitivityInput last = study("");
  last.startinground = 5;
  last.monitored.clear();
  const auto model = makeModel();
  ASSERT_EQ(runSensitivity(last, model.get()), "");
  ASSERT_EQ(rows_.size(), 1u);
  EXPECT_EQ(rows_[0].round, 5);
  EXPECT_TRUE(rows_[0].monitored.empty());

  const auto refused = [](auto change) {
    SensitivityInput input = study("");
    change(input);
    return input;
  };
  const struct {
    const char *name;
    SensitivityInput input;
    std::string message;
  } cases[] = {
      {"past the last round", refused([](SensitivityInput &s) { s.startinground = 6; }),
       "Starting round outside upper limit"},
      {"no type", refused([](SensitivityInput &s) { s.type.clear(); }), "Sensitivity not defined"},
      {"negative id", refused([](SensitivityInput &s) { s.id = -1; }), "Sensitivity not defined"},
      {"no variables", refused([](SensitivityInput &s) { s.controlled.clear(); }),
       "Sensitivity not defined"},
      {"radix 0", refused([](SensitivityInput &s) { s.controlled[1].points = 0; }),
       "Controlled variable P has 0 points, not 1 to 999"},
      {"1000 points", refused([](SensitivityInput &s) { s.controlled[1].points = 1000; }),
       "Controlled variable P has 1000 points, not 1 to 999"},
      {"2^31 points", refused([](SensitivityInput &s) {
         s.controlled.assign(4, ControlledVariable("T", "", "", 0, 1, 999));
       }),
       "Grid of more than 2147483647 points"},
      {"no such quantity", refused([](SensitivityInput &s) { s.controlled[0].path = "X"; }),
       "no quantity at the controlled path X of StudyTestModel CASE"},
      // Found before the first round, not after its calculation.
      {"no such monitored quantity",
       refused([](SensitivityInput &s) { s.monitored.back().path = "S:Y.P"; }),
       "no quantity at the monitored path S:Y.P of StudyTestModel CASE"},
      {"wrong unit", refused([](SensitivityInput &s) { s.controlled[0].unit = "kg"; }), ""},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(resultsFile());
    const auto fresh = makeModel();
    const std::string message = runSensitivity(c.input, fresh.get());
    EXPECT_NE(message.find(c.message), std::string::npos) << message;
    EXPECT_NE(message.find("Sensitivity::execute"), std::string::npos) << message;
    EXPECT_TRUE(rows_.empty());
    EXPECT_FALSE(std::filesystem::exists(resultsFile()));
  }
  // No model.
  EXPECT_NE(runSensitivity(study(""), nullptr).find("Model error"), std::string::npos);
}

// One variable of 1 point in kPa: one round at its start value, set as Pa.
TEST_F(StudyRun, SensitivitySinglePointInKilopascal) {
  SensitivityInput input = study("");
  input.controlled.assign(1, ControlledVariable("P", "kPa", "", 100, 200, 1));
  const auto model = makeModel();
  ASSERT_EQ(runSensitivity(input, model.get()), "");
  ASSERT_EQ(rows_.size(), 1u);
  EXPECT_EQ(rows_[0].controlled, std::vector<double>{100});
  // h = 10 * 300 + 100
  EXPECT_EQ(rows_[0].monitored, (std::vector<double>{3100, 100}));
  EXPECT_EQ(model->P.value(), 100000);
  EXPECT_TRUE(logged("Sensitivity::execute * Performing round 0: [P = 100000 ]\n\n"));
}

TEST_F(StudyRun, QuasiSpiralStart) {
  // First variable 5 points, second 4: radices (4, 5), s = 2 * 5 + 2 = 12,
  // digits (0, 3).
  EXPECT_EQ(Sensitivity::spiralStart({4, 5}), 12);
  EXPECT_EQ(Sensitivity::spiralStart({3, 3}), 4);
  const auto spiral = Sensitivity::makeOrdering("quasi-spiral", {4, 5});
  EXPECT_STREQ(spiral->name(), "pseudo-spiral");
  EXPECT_EQ(spiral->index(0), 12);
  EXPECT_EQ(spiral->digit(0, 0), 3);
  EXPECT_EQ(spiral->digit(0, 1), 0);
  EXPECT_STREQ(Sensitivity::makeOrdering("boustrophedon", {4, 5})->name(),
               "reflected mixed-radix Gray code");
  EXPECT_STREQ(Sensitivity::makeOrdering("spiral", {4, 5})->name(), "lexicographical ordering");
}

HomotopyInput path(int points, double start, double end) {
  HomotopyInput input;
  input.points = points;
  input.controlled.push_back({"T", start, end});
  return input;
}

TEST_F(StudyRun, HomotopyWalksToTheEnd) {
  const auto model = makeModel();
  int failed = 0;
  ASSERT_EQ(runHomotopy(path(3, 300, 350), model.get(), failed), "");
  EXPECT_EQ(failed, -1);
  EXPECT_TRUE(logged("Homotopy::execute * Entered\n"));
  EXPECT_TRUE(logged("Homotopy::execute * Performing point 0: [T = 300 ]\n\n"));
  EXPECT_TRUE(logged("Homotopy::execute * Performing point 1: [T = 325 ]\n\n"));
  EXPECT_TRUE(logged("Homotopy::execute * Performing point 2: [T = 350 ]\n\n"));
  EXPECT_TRUE(logged("Homotopy::execute * Performed point 2 in "));
  EXPECT_TRUE(logged("Homotopy::execute * Exit\n"));
  EXPECT_EQ(model->T.value(), 350);
  EXPECT_EQ(model->h.value(), 3500 + 101.325);
  EXPECT_EQ(model->NITER.value(), 3);
  // SI, flags unchanged.
  EXPECT_FALSE(model->T.input());

  // No point at all.
  const auto idle = makeModel();
  ASSERT_EQ(runHomotopy(path(0, 300, 350), idle.get(), failed), "");
  EXPECT_FALSE(logged("Performing point"));
  EXPECT_TRUE(logged("Homotopy::execute * Exit\n"));
  EXPECT_EQ(idle->NITER.value(), 0);
}

// A failure at point 2 of 5 leaves the quantities of point 1.
TEST_F(StudyRun, HomotopyStopsAtTheFirstFailedPoint) {
  const auto model = makeModel();
  model->limit = Value(315.0, "K");
  // An error stored with the case does not fail point 0.
  model->reportError("stored before");
  int failed = 0;
  ASSERT_EQ(runHomotopy(path(5, 300, 340), model.get(), failed), "");
  EXPECT_EQ(failed, 2);
  EXPECT_TRUE(logged("Homotopy::execute * Performed point 0 in "));
  EXPECT_TRUE(logged("Homotopy::execute * Performed point 1 in "));
  EXPECT_TRUE(logged("Homotopy::execute * Failed point 2 in "));
  EXPECT_FALSE(logged("Performing point 3"));
  EXPECT_EQ(model->T.value(), 310);
  EXPECT_EQ(model->h.value(), 3100 + 101.325);

  const auto lost = makeModel();
  const std::string message = runHomotopy(
      HomotopyInput{"", -1, 2, {{"nothing", 0, 1}}}, lost.get(), failed);
  EXPECT_NE(message.find("no quantity at the controlled path nothing of StudyTestModel CASE"),
            std::string::npos)
      << message;
  EXPECT_NE(message.find("Called from function: Homotopy::execute\n"), std::string::npos);
}

} // namespace
