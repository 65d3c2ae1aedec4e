// The distillation column: its initial values, children, streams and ports,
// the construction and set-up errors, the set-up's inputs and cuts, the CMO
// relations of its user equations and the pressure profile of its passes.

#include "ColumnTestSupport.h"

#include "velta/flowsheet/ColumnSection.h"
#include "velta/flowsheet/RatingColumnTraySieve.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace columntest;

namespace {

class ColumnTest : public ComponentsFixture {
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
  static std::string messageOf(const std::function<void()> &f) {
    try {
      f();
    } catch (const Error &e) {
      return e.message();
    }
    return "no error";
  }
};

TEST_F(ColumnTest, InitialValuesChildrenStreamsAndPorts) {
  Defaults options = columnOptions(3, 2, "StreamNrtl1LiquidVapor");
  auto column = makeColumn(options);
  const struct {
    const char *tag;
    double value;
  } initial[] = {{"Q1", 0},      {"RR", 2},        {"DF", 0.5},          {"QN", 0},
                 {"BR", 2},      {"BF", 0.5},      {"BRs", 2},           {"P1", 101325},
                 {"consenserDeltaP", 0}, {"columnDeltaP", 0}, {"Ve", 0.5}, {"Le", 0.5},
                 {"Vs", 0.5},    {"Ls", 0.5},      {"alfa", 0.5},        {"beta", 0.5},
                 {"gamma", 0.5}, {"delta", 0.5}};
  for (const auto &row : initial)
    EXPECT_EQ(column->Q(row.tag).value(), row.value) << row.tag;
  ASSERT_EQ(column->T.size(), 5u);
  EXPECT_EQ(column->T[4].value(), 298.15);
  EXPECT_EQ(column->V.size(), 5u);
  EXPECT_EQ(column->L[2].tag(), "L[2]");
  EXPECT_EQ(column->S("condenserOption"), "RR");
  EXPECT_EQ(column->S("reboilerOption"), "BR");
  EXPECT_EQ(column->S("typeU"), "StreamNrtl1LiquidVapor");
  EXPECT_EQ(column->S("typeW"), "StreamLiquid");
  EXPECT_EQ(column->I("stages"), 3);
  EXPECT_EQ(column->I("feedStage"), 2);
  EXPECT_EQ(column->I("nRatings"), 0);
  EXPECT_TRUE(column->ratings.empty());

  const struct {
    const char *tag, *type;
  } units[] = {{"ENRICH", "ColumnSection"},
               {"STRIP", "ColumnSection"},
               {"FFLASH", "FlashDegasser"},
               {"REB", "FlashDegasser"},
               {"COND", "FlashDegasser"},
               {"SPLIT", "Divider"},
               {"M1", "Mixer"},
               {"M2", "Mixer"}};
  for (const auto &row : units)
    EXPECT_EQ(column->child(row.tag).type(), row.type) << row.tag;
  auto &enrich = dynamic_cast<ColumnSection &>(column->child("ENRICH"));
  auto &strip = dynamic_cast<ColumnSection &>(column->child("STRIP"));
  EXPECT_EQ(enrich.I("nStage"), 2);
  EXPECT_EQ(strip.I("nStage"), 1);
  EXPECT_EQ(enrich.S("typeT"), "FlashDegasser<StreamNrtl1LiquidVapor>");
  // The column's own typeU wins over the preset from typeW.
  EXPECT_EQ(enrich.S("typeU"), "StreamNrtl1LiquidVapor");
  EXPECT_EQ(enrich.S("typeV"), "StreamVapor");
  EXPECT_EQ(enrich.S("option[0]"), "bottomtop");
  EXPECT_EQ(enrich.I("referenceStream"), 1);

  const struct {
    // The types are aliases: listed for the reader.
    const char *tag, *type, *from, *fromPort, *to, *toPort;
  } streams[] = {
      {"FV", "StreamVapor", "FFLASH", "out1", "M1", "in2"},
      {"FL", "StreamLiquid", "FFLASH", "out2", "M2", "in1"},
      {"DL", "StreamLiquid", "COND", "out2", "SPLIT", "in1"},
      {"EV", "StreamVapor", "ENRICH", "out1", "COND", "in1"},
      {"EL", "StreamLiquid", "ENRICH", "out2", "M2", "in2"},
      {"EF", "StreamVapor", "M1", "out1", "ENRICH", "in1"},
      {"R", "StreamLiquid", "SPLIT", "out1", "ENRICH", "in2"},
      {"SV", "StreamVapor", "STRIP", "out1", "M1", "in1"},
      {"SL", "StreamLiquid", "STRIP", "out2", "REB", "in1"},
      {"SF", "StreamLiquid", "M2", "out1", "STRIP", "in2"},
      {"BV", "StreamVapor", "REB", "out1", "STRIP", "in1"},
      {"F", "StreamNrtl1LiquidVapor", "source", "out1", "FFLASH", "in1"},
      {"DV", "StreamVapor", "COND", "out1", "sink", "in1"},
      {"D", "StreamLiquid", "SPLIT", "out2", "sink", "in2"},
      {"B", "StreamLiquid", "REB", "out2", "sink", "in3"},
  };
  for (const auto &row : streams) {
    const Stream &s = streamOf(*column, row.tag);
    EXPECT_EQ(s.fromTAG.value(), row.from) << row.tag;
    EXPECT_EQ(s.fromPort.value(), row.fromPort) << row.tag;
    EXPECT_EQ(s.toTAG.value(), row.to) << row.tag;
    EXPECT_EQ(s.toPort.value(), row.toPort) << row.tag;
  }
  EXPECT_EQ(column->maxNIn.value(), 1);
  EXPECT_EQ(column->maxNOut.value(), 3);
  EXPECT_EQ(column->locationFromPort("out1"), 0);
  EXPECT_EQ(column->locationFromPort("out2"), 0);
  EXPECT_EQ(column->locationFromPort("out3"), 1);
  EXPECT_EQ(column->locationFromPort("in1"), 3);
}

TEST_F(ColumnTest, RatingsPointAtTheirSections) {
  Defaults options = columnOptions(4, 2);
  options.setInteger("nRatings", 2);
  options.setString("embeddedTypeRatings[0]", "RatingColumnTraySieve");
  options.setString("embeddedTypeRatings[1]", "RatingColumnTraySieve");
  options.setString("ratingTarget[0]", "ENRICH");
  options.setString("ratingTarget[1]", "STRIP");
  auto column = makeColumn(options);
  ASSERT_EQ(column->ratings.size(), 2u);
  EXPECT_EQ(column->ratings[0]->tag(), "ratings[0]");
  EXPECT_EQ(column->ratings[0]->type(), "RatingColumnTraySieve");
  EXPECT_EQ(column->ratings[0]->target_, &column->child("ENRICH"));
  EXPECT_EQ(column->ratings[1]->target_, &column->child("STRIP"));
  EXPECT_EQ(column->S("ratingTarget", 1), "STRIP");
}

TEST_F(ColumnTest, ConstructionErrors) {
  auto without = [](const char *name) {
    Defaults options = columnOptions(3, 1);
    Defaults copy(options.tag(), options.description());
    for (const auto &[n, v] : options.integers())
      if (n != name)
        copy.setInteger(n, v);
    for (const auto &[n, v] : options.strings())
      if (n != name)
        copy.setString(n, v);
    return copy;
  };
  auto withStages = [](int stages, int feedStage) { return columnOptions(stages, feedStage); };
  Defaults noType = columnOptions(3, 1);
  noType.setInteger("nRatings", 1);
  Defaults badTarget = noType.relay("C", "test column");
  badTarget.setString("embeddedTypeRatings[0]", "RatingColumnTraySieve");
  badTarget.setString("ratingTarget[0]", "FFLASH");
  const struct {
    const char *name;
    Defaults options;
    const char *text;
  } rows[] = {
      {"OneStage", withStages(1, 1), "stages"},
      {"FeedStageZero", withStages(3, 0), "feedStage"},
      {"FeedStageAtBottom", withStages(3, 3), "feedStage"},
      {"NoRatingType", noType, "type unspecified for ratings[0]"},
      {"TargetNotASection", badTarget, "Column::Column"},
  };
  for (const auto &row : rows) {
    const std::string message = messageOf([&] { makeColumn(row.options); });
    EXPECT_NE(message.find(row.text), std::string::npos) << row.name << ": " << message;
  }
  // Omitted options are no errors: they take the defaults the types listing
  // shows (2 stages; the stream types of the column's flash units).
  auto column = makeColumn(without("stages"));
  EXPECT_EQ(column->I("stages"), 2);
  column = makeColumn(without("typeU"));
  EXPECT_EQ(column->S("typeU"), "StreamIdealLiquidVapor");
  EXPECT_EQ(column->at("FFLASH").S("embeddedTypeStream"), "StreamIdealLiquidVapor");
}

TEST_F(ColumnTest, SetUpInputsOutputsAndCuts) {
  const struct {
    const char *condenser, *reboiler;
    std::vector<const char *> inputs, outputs;
    const char *rebOption;
  } rows[] = {
      {"RR", "BR", {"RR", "BR"}, {"Q1", "DF", "QN", "BF", "BRs"}, "DA"},
      {"DF", "QN", {"DF", "QN"}, {"Q1", "RR", "BR", "BF", "BRs"}, "DH"},
  };
  for (const auto &row : rows) {
    auto column = makeColumn(columnOptions(2, 1));
    column->S("condenserOption") = row.condenser;
    column->S("reboilerOption") = row.reboiler;
    column->setup();
    for (const char *q : row.inputs)
      EXPECT_TRUE(column->Q(q).input()) << row.condenser << " " << q;
    for (const char *q : row.outputs)
      EXPECT_TRUE(column->Q(q).output()) << row.condenser << " " << q;
    EXPECT_EQ(column->S("REB.option"), row.rebOption);
    EXPECT_EQ(column->S("COND.option"), "PA");
    EXPECT_EQ(column->S("FFLASH.option"), "PH");
    EXPECT_TRUE(column->Q("FFLASH.duty").input());
    EXPECT_TRUE(column->Q("COND.alfa").input());
    EXPECT_TRUE(column->Q("REB.deltaP").input());
    EXPECT_TRUE(column->T[3].output());
    EXPECT_EQ(column->S("ENRICH:S[0].option"), "PH");
    EXPECT_DOUBLE_EQ(column->maxRelativeStepChange(), 0.1);
    for (const char *cut : {"EL", "BV", "R"}) {
      EXPECT_EQ(streamOf(*column, cut).toTAG.value(), "sink") << cut;
      EXPECT_EQ(streamOf(*column, std::string(cut) + "bis").fromTAG.value(), "source") << cut;
    }
    EXPECT_EQ(streamOf(*column, "Rbis").toTAG.value(), "ENRICH");
    EXPECT_EQ(streamOf(*column, "BVbis").toTAG.value(), "STRIP");
    EXPECT_EQ(streamOf(*column, "ELbis").toTAG.value(), "M2");
  }
}

// "Q1" and "BF" are refused like any unsupported option: the passes could
// never calculate them.
TEST_F(ColumnTest, SetUpRejectsOptionsThePassesCannotCalculate) {
  const struct {
    const char *name, *option, *value;
  } rows[] = {{"CondenserQ1", "condenserOption", "Q1"},
              {"CondenserLowerCase", "condenserOption", "rr"},
              {"CondenserTrailingBlank", "condenserOption", "RR "},
              {"ReboilerBF", "reboilerOption", "BF"},
              {"ReboilerUnknown", "reboilerOption", "XX"}};
  for (const auto &row : rows) {
    auto column = makeColumn(columnOptions(2, 1));
    column->S(row.option) = row.value;
    const std::string message = messageOf([&] { column->setup(); });
    EXPECT_NE(message.find("Column::setup"), std::string::npos) << row.name << ": " << message;
    EXPECT_NE(message.find(row.option), std::string::npos) << row.name << ": " << message;
    EXPECT_NE(message.find(std::string(row.value)), std::string::npos) << row.name;
    // Nothing set up: no cut made.
    EXPECT_FALSE(column->hasChild("Rbis")) << row.name;
    // The passes refuse them too.
    EXPECT_NE(messageOf([&] { column->pre(3, 0); }).find("Column::pre"), std::string::npos)
        << row.name;
  }
}

// RR = BR = 2, alfa = beta = 0.5: Ve 0.9, Le 0.6, Vs 0.4, Ls 1.1, BF 0.7,
// DF 0.3, gamma 2/3, delta = Vs / Ls = 4/11 with Vs and Ls at 0.4 and 1.1.
// By hand: the denominator RR + BR + 1 = 5; Ve = (0.5*3 + 0.5*4 + 0.5*2)/5,
// Le = (2 + 1)/5, Vs = -(-2 - 1 + 1)/5, Ls = -(((-1) - 1)*2 + 1.5 - 3)/5,
// BF = -(-2 - 1 + 0.5 - 1)/5, DF = (1 + 0.5)/5.
TEST_F(ColumnTest, CmoRelationsOfTheUserEquations) {
  auto column = makeColumn(columnOptions(2, 1));
  column->Vs = Value(0.4);
  column->Ls = Value(1.1);
  SequentialAssembly::Position position = column->firstAssignment();
  column->makeSequentialAssembly(position);
  ASSERT_EQ(column->assignments().size(), 10u);
  const struct {
    const char *lhs;
    double rhs;
  } rows[] = {{"alfa", column->Q("FFLASH.alfa").value()},
              {"beta", 0.0},
              {"Ve", 0.9},
              {"Le", 0.6},
              {"Vs", 0.4},
              {"Ls", 1.1},
              {"BF", 0.7},
              {"DF", 0.3},
              {"gamma", 2.0 / 3.0},
              {"delta", 4.0 / 11.0}};
  auto a = column->assignments().begin();
  for (const auto &row : rows) {
    EXPECT_EQ((*a)->LHSP, &column->Q(row.lhs)) << row.lhs;
    EXPECT_NEAR((*a)->RHS.value(), row.rhs, 1e-15) << row.lhs;
    ++a;
  }
  EXPECT_EQ(column->assignments().back()->text, "Vs / Ls");
  EXPECT_EQ((*std::next(column->assignments().begin(), 5))->tag,
            "Ratio of Liquid in Stripping section according to CMO hypothesis to feedStage");
  // A failed reboiler starts afresh at 500 K.
  auto &reb = dynamic_cast<Model &>(column->child("REB"));
  reb.incrementCalculations();
  reb.setError("failed");
  position = column->firstAssignment();
  EXPECT_EQ(messageOf([&] { column->makeSequentialAssembly(position); }), "no error");
  EXPECT_TRUE(reb.isPristine());
  EXPECT_EQ(column->Q("REB.T").value(), 500.0);
  EXPECT_EQ(column->Q("SL.T").value(), 500.0);
  EXPECT_EQ(column->assignments().size(), 10u);
}

// stages 2, feedStage 1, columnDeltaP 1000 Pa, consenserDeltaP 500 Pa: the
// step is 1000 Pa; the condenser at P1, ENRICH's stage at P1 + 500 Pa, the
// feed flash, STRIP's stage and the boil-up at P1 + 1500 Pa.
TEST_F(ColumnTest, PressureProfileAndFirstPass) {
  auto column = makeColumn(columnOptions(2, 1));
  column->P1 = Value(1e5, "Pa");
  column->consenserDeltaP = Value(500.0, "Pa");
  column->columnDeltaP = Value(1000.0, "Pa");
  Stream &feed = streamOf(*column, "F");
  setFeed(feed, {0.5, 0.5}, 250.0, 1e5, 1.0);
  feed.go(1);
  column->setup();
  column->pre(1, 0);
  EXPECT_EQ(column->Q("COND.P").value(), 1e5);
  EXPECT_EQ(column->Q("ENRICH:S[0].P").value(), 100500.0);
  EXPECT_EQ(column->Q("FFLASH.P").value(), 101500.0);
  EXPECT_EQ(column->Q("STRIP:S[0].P").value(), 101500.0);
  EXPECT_EQ(column->Q("BVbis.P").value(), 101500.0);
  EXPECT_EQ(column->Q("Rbis.P").value(), 100500.0);
  // A subcooled feed: alfa 0, so Ve 1.2, Le 0.8, Vs 1.2, Ls 1.8, delta 2/3.
  EXPECT_NEAR(column->alfa.value(), 0.0, 1e-12);
  EXPECT_NEAR(column->Ve.value(), 1.2, 1e-12);
  EXPECT_NEAR(column->Ls.value(), 1.8, 1e-12);
  EXPECT_NEAR(column->delta.value(), 2.0 / 3.0, 1e-12);
  EXPECT_NEAR(column->Q("EF:Tphase.ndot").value(), 1.2, 1e-12);
  EXPECT_NEAR(column->Q("SF:Tphase.ndot").value(), 1.8, 1e-12);
  EXPECT_NEAR(column->Q("ELbis:Tphase.ndot").value(), 0.8, 1e-12);
  EXPECT_NEAR(column->Q("Rbis:Tphase.ndot").value(), 0.8, 1e-12);
  EXPECT_NEAR(column->Q("BVbis:Tphase.ndot").value(), 1.2, 1e-12);
  EXPECT_NEAR(column->Q("SPLIT.outSplit[0]").value(), 2.0 / 3.0, 1e-12);
  EXPECT_EQ(column->S("ENRICH:S[0].option"), "PA");
  EXPECT_NEAR(column->Q("ENRICH:S[0].alfa").value(), 0.6, 1e-12);
  EXPECT_NEAR(column->Q("STRIP:S[0].alfa").value(), 0.4, 1e-12);
  EXPECT_NEAR(column->Q("REB.alfa").value(), 2.0 / 3.0, 1e-12);
  EXPECT_EQ(column->S("FFLASH.option"), "PH");
  // A simultaneous pass: adiabatic stages.
  column->pre(3, 0);
  EXPECT_EQ(column->S("STRIP:S[0].option"), "PH");
  EXPECT_EQ(column->Q("STRIP:S[0].duty").value(), 0.0);
}

// Stage duties up to 1000 W in size pass; larger ones, of either sign,
// record one message each. The pressure profile with a zero step.
TEST_F(ColumnTest, SectionAdiabaticCheckAndPressureProfile) {
  auto column = makeColumn(columnOptions(4, 3));
  column->setup();
  auto &enrich = dynamic_cast<ColumnSection &>(column->child("ENRICH"));
  const double duties[] = {1000.0, -1000.0, 1000.5};
  for (int i = 0; i < 3; ++i)
    enrich.Q(enrich.stageTag(i) + ".duty") = Value(duties[i], "W");
  enrich.post(1, 0);
  EXPECT_EQ(enrich.errors.value(), std::vector<std::string>{"non-adiabatic equilibrium stage"});
  enrich.Q("S[0].duty") = Value(-2000.0, "W");
  enrich.post(1, 0);
  EXPECT_EQ(enrich.errors.value().size(), 3u);
  enrich.setPressureProfile(Value(2e5, "Pa"), Value(0.0, "Pa"));
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(enrich.Q(enrich.stageTag(i) + ".P").value(), 2e5) << i;
  enrich.setPressureProfile(Value(2e5, "Pa"), Value(100.0, "Pa"));
  EXPECT_EQ(enrich.Q("S[2].P").value(), 2e5 + 200.0);
}

// No boil-up and no vapour in the feed leave the stripping sweep no range:
// an error, not a fatal assertion.
TEST_F(ColumnTest, EmptyStartingRangeIsAnError) {
  auto column = makeColumn(columnOptions(3, 1));
  column->BR = Value(-1e-3);
  Stream &feed = streamOf(*column, "F");
  setFeed(feed, {0.5, 0.5}, 250.0, 101325.0, 1.0);
  feed.go(1);
  column->setup();
  const std::string message = messageOf([&] { column->pre(1, 0); });
  EXPECT_NE(message.find("empty pseudo vapor fraction range"), std::string::npos) << message;
  EXPECT_NE(message.find("Column::pre"), std::string::npos) << message;
}

} // namespace
