// The built-in GERG-2004 coefficient set against the published coefficient
// files (../shared/data/gerg2004, each number the shortest decimal of the
// published value, so every comparison is exact), and the values printed
// beside the tables against the same files.

#include "velta/phases/Gerg2004Parameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace Phase;

namespace {

const std::string dataDir = std::string(VELTA_SHARED_DATA_DIR) + "/gerg2004/";

// One CSV file as rows of named fields.
using Row = std::map<std::string, std::string>;

std::vector<std::string> split(const std::string &line) {
  std::vector<std::string> fields;
  std::stringstream stream(line);
  std::string field;
  while (std::getline(stream, field, ','))
    fields.push_back(field);
  if (!line.empty() && line.back() == ',')
    fields.emplace_back();
  return fields;
}

std::vector<Row> readCsv(const std::string &name) {
  std::ifstream file(dataDir + name);
  std::vector<Row> rows;
  std::string line;
  if (!std::getline(file, line))
    return rows;
  const std::vector<std::string> header = split(line);
  while (std::getline(file, line)) {
    const std::vector<std::string> fields = split(line);
    Row row;
    for (std::size_t k = 0; k < header.size() && k < fields.size(); ++k)
      row[header[k]] = fields[k];
    rows.push_back(row);
  }
  return rows;
}

double number(const Row &row, const char *field) {
  return std::strtod(row.at(field).c_str(), nullptr);
}
int integer(const Row &row, const char *field) { return std::atoi(row.at(field).c_str()); }

class Gerg2004Files : public testing::Test {
protected:
  void SetUp() override {
    if (!std::ifstream(dataDir + "reducing.csv"))
      GTEST_SKIP() << "GERG-2004 coefficient files not found in " << dataDir
                   << " (the shared data folder belongs beside the source tree)";
  }
  const Gerg2004Parameters &p = gerg2004Parameters();
};

TEST_F(Gerg2004Files, PureResidualTermsEqualTheFile) {
  const std::vector<Row> rows = readCsv("pure_residual.csv");
  ASSERT_EQ(rows.size(), 268u);
  std::vector<int> pol(gerg2004Components), exp(gerg2004Components);
  for (const Row &row : rows) {
    const int i = integer(row, "component_index");
    const int term = integer(row, "term") - 1;
    const Gerg2004Pure &c = p.pure[i];
    SCOPED_TRACE(row.at("component") + " term " + row.at("term"));
    if (row.at("kind") == "pol") {
      ASSERT_LT(term, c.Kpol);
      EXPECT_EQ(c.pol[term].n, number(row, "n"));
      EXPECT_EQ(c.pol[term].d, number(row, "d"));
      EXPECT_EQ(c.pol[term].t, number(row, "t"));
      ++pol[i];
    } else {
      const int k = term - c.Kpol;
      ASSERT_LT(k, c.Kexp);
      EXPECT_EQ(c.exp[k].n, number(row, "n"));
      EXPECT_EQ(c.exp[k].d, number(row, "d"));
      EXPECT_EQ(c.exp[k].t, number(row, "t"));
      EXPECT_EQ(c.exp[k].c, number(row, "c"));
      ++exp[i];
    }
  }
  for (int i = 0; i < gerg2004Components; ++i) {
    EXPECT_EQ(p.pure[i].Kpol, pol[i]) << i;
    EXPECT_EQ(p.pure[i].Kexp, exp[i]) << i;
    EXPECT_EQ(p.pure[i].pol.size(), static_cast<std::size_t>(pol[i]));
    EXPECT_EQ(p.pure[i].exp.size(), static_cast<std::size_t>(exp[i]));
  }
}

TEST_F(Gerg2004Files, DepartureFunctionsEqualTheFile) {
  const std::vector<Row> rows = readCsv("departure.csv");
  ASSERT_EQ(rows.size(), 132u);
  std::map<int, std::pair<int, int>> counts;
  for (const Row &row : rows) {
    const int pair = gerg2004PairIndex(integer(row, "i"), integer(row, "j"));
    const Gerg2004Departure &d = p.departure[pair];
    const int term = integer(row, "term") - 1;
    SCOPED_TRACE(row.at("component_i") + "-" + row.at("component_j") + " term " + row.at("term"));
    EXPECT_EQ(d.F, number(row, "F"));
    if (row.at("kind") == "pol") {
      ASSERT_LT(term, d.Kpol);
      EXPECT_EQ(d.pol[term].n, number(row, "n"));
      EXPECT_EQ(d.pol[term].d, number(row, "d"));
      EXPECT_EQ(d.pol[term].t, number(row, "t"));
      ++counts[pair].first;
    } else {
      const int k = term - d.Kpol;
      ASSERT_LT(k, d.Kexp);
      const Gerg2004DepartureExpTerm &e = d.exp[k];
      EXPECT_EQ(e.n, number(row, "n"));
      EXPECT_EQ(e.d, number(row, "d"));
      EXPECT_EQ(e.t, number(row, "t"));
      EXPECT_EQ(e.eta, number(row, "eta"));
      EXPECT_EQ(e.epsilon, number(row, "epsilon"));
      EXPECT_EQ(e.beta, number(row, "beta"));
      EXPECT_EQ(e.gamma, number(row, "gamma"));
      ++counts[pair].second;
    }
  }
  ASSERT_EQ(counts.size(), 15u);
  // Every other pair has no departure function: F = 0, no terms.
  for (int pair = 0; pair < gerg2004Pairs; ++pair) {
    const Gerg2004Departure &d = p.departure[pair];
    const std::pair<int, int> expected = counts.count(pair) ? counts[pair] : std::pair{0, 0};
    EXPECT_EQ(d.Kpol, expected.first) << pair;
    EXPECT_EQ(d.Kexp, expected.second) << pair;
    EXPECT_EQ(d.pol.size() + d.exp.size(), static_cast<std::size_t>(d.Kpol + d.Kexp));
    if (!counts.count(pair)) {
      EXPECT_EQ(d.F, 0.0) << pair;
    }
  }
}

TEST_F(Gerg2004Files, ReducingParametersEqualTheFile) {
  const std::vector<Row> rows = readCsv("reducing.csv");
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(gerg2004Pairs));
  for (const Row &row : rows) {
    const int pair = integer(row, "pair_index");
    SCOPED_TRACE(row.at("component_i") + "-" + row.at("component_j"));
    EXPECT_EQ(gerg2004PairIndex(integer(row, "i"), integer(row, "j")), pair);
    EXPECT_EQ(p.reducing[pair].betaV, number(row, "betaV"));
    EXPECT_EQ(p.reducing[pair].gammaV, number(row, "gammaV"));
    EXPECT_EQ(p.reducing[pair].betaT, number(row, "betaT"));
    EXPECT_EQ(p.reducing[pair].gammaT, number(row, "gammaT"));
  }
}

// The values printed beside the tables (telling rows, the generalized
// departure function) are the files' values.
TEST_F(Gerg2004Files, PrintedValuesAgreeWithTheFiles) {
  const std::vector<Row> pure = readCsv("pure_residual.csv");
  const auto pureN = [&pure](const char *component, int term) {
    for (const Row &row : pure)
      if (row.at("component") == component && integer(row, "term") == term)
        return number(row, "n");
    return std::nan("");
  };
  EXPECT_EQ(pureN("methane", 1), 0.57335704239162);
  EXPECT_EQ(pureN("methane", 2), -1.676068752373);
  EXPECT_EQ(pureN("methane", 24), -0.0025127658213357);
  EXPECT_EQ(pureN("nitrogen", 1), 0.59889711801201);

  const std::vector<Row> departure = readCsv("departure.csv");
  const auto term = [&departure](int i, int j, int k) {
    for (const Row &row : departure)
      if (integer(row, "i") == i && integer(row, "j") == j && integer(row, "term") == k)
        return row;
    return Row{};
  };
  const Row first = term(0, 1, 1), firstExp = term(0, 1, 3), hydrogen = term(0, 12, 2);
  EXPECT_EQ(number(first, "n"), -0.0098038985517335);
  EXPECT_EQ(number(first, "t"), 0.0);
  const double printedExp[] = {-0.034800214576142, 1, 7.85, 1, 0.5, 1, 0.5};
  const char *fields[] = {"n", "d", "t", "eta", "epsilon", "beta", "gamma"};
  for (int k = 0; k < 7; ++k)
    EXPECT_EQ(number(firstExp, fields[k]), printedExp[k]) << fields[k];
  EXPECT_EQ(number(hydrogen, "n"), -0.0062203841111983);
  EXPECT_EQ(number(hydrogen, "d"), 3.0);
  EXPECT_EQ(number(hydrogen, "t"), -1.0);
  for (const Row &row : departure) {
    if (row.at("kind") == "exp") {
      EXPECT_EQ(number(row, "epsilon"), 0.5);
      EXPECT_EQ(number(row, "gamma"), 0.5);
    }
  }
  // The generalized function as printed, against the n-butane/isobutane copy.
  const double generalized[10][3] = {{2.5574776844118, 1, 1},      {-7.9846357136353, 1, 1.55},
                                     {4.7859131465806, 1, 1.7},    {-0.73265392369587, 2, 0.25},
                                     {1.3805471345312, 2, 1.35},   {0.28349603476365, 3, 0},
                                     {-0.49087385940425, 3, 1.25}, {-0.10291888921447, 4, 0},
                                     {0.11836314681968, 4, 0.7},   {5.5527385721943e-05, 4, 5.4}};
  for (int k = 0; k < 10; ++k) {
    const Row row = term(5, 6, k + 1);
    EXPECT_EQ(number(row, "n"), generalized[k][0]);
    EXPECT_EQ(number(row, "d"), generalized[k][1]);
    EXPECT_EQ(number(row, "t"), generalized[k][2]);
  }

  const std::vector<Row> reducing = readCsv("reducing.csv");
  const struct {
    int pair;
    double betaV, gammaV, betaT, gammaT;
  } printed[] = {{gerg2004PairIndex(0, 1), 0.998721377, 1.013950311, 0.99809883, 0.979273013},
                 {gerg2004PairIndex(0, 2), 0.999518072, 1.002806594, 1.02262449, 0.975665369},
                 {gerg2004PairIndex(0, 13), 1, 1, 1, 0.95},
                 {gerg2004PairIndex(1, 7), 1, 1.078877166, 1, 1.419029041},
                 {gerg2004PairIndex(16, 17), 1, 1, 1, 1},
                 {gerg2004PairIndex(5, 6), 1.000880464, 1.00041444, 1.000077547, 1.001432824}};
  for (const auto &r : printed) {
    const Row &row = reducing[r.pair];
    EXPECT_EQ(number(row, "betaV"), r.betaV) << r.pair;
    EXPECT_EQ(number(row, "gammaV"), r.gammaV) << r.pair;
    EXPECT_EQ(number(row, "betaT"), r.betaT) << r.pair;
    EXPECT_EQ(number(row, "gammaT"), r.gammaT) << r.pair;
  }
  // 42 rows of four ones, 66 with only fitted gammas, 45 fully fitted.
  int ones = 0, gammas = 0, fitted = 0;
  for (const Gerg2004Reducing &r : p.reducing) {
    const bool unitBetas = r.betaV == 1 && r.betaT == 1;
    if (unitBetas && r.gammaV == 1 && r.gammaT == 1)
      ++ones;
    else if (unitBetas)
      ++gammas;
    else
      ++fitted;
  }
  EXPECT_EQ(ones, 42);
  EXPECT_EQ(gammas, 66);
  EXPECT_EQ(fitted, 45);
}

TEST(Gerg2004Parameters, PairTablesAndIndexes) {
  const Gerg2004Parameters &p = gerg2004Parameters();
  EXPECT_EQ(gerg2004PairIndex(0, 1), 0);
  EXPECT_EQ(gerg2004PairIndex(0, 12), 66);
  EXPECT_EQ(gerg2004PairIndex(16, 17), 152);
  // mpmath, 30 digits: (10.139342719^(-1/3) + 11.1839^(-1/3))^3 = 0.751557849591349594,
  // sqrt(190.564 * 126.192) = 155.073054680689127.
  EXPECT_NEAR(p.rhocPair[0], 0.751557849591349594, 1e-15);
  EXPECT_NEAR(p.TcPair[0], 155.073054680689127, 1e-12);
  EXPECT_EQ(p.rhocPair[0],
            std::pow(std::pow(10.139342719, -1.0 / 3) + std::pow(11.1839, -1.0 / 3), 3));
  EXPECT_EQ(p.TcPair[0], std::sqrt(190.564 * 126.192));
  // Carbon dioxide and ethane: no departure function.
  const Gerg2004Departure &none = p.departure[gerg2004PairIndex(2, 3)];
  EXPECT_EQ(none.Kpol + none.Kexp, 0);
  EXPECT_TRUE(none.pol.empty() && none.exp.empty());
  // Critical constants and ideal-gas coefficients as tabulated (spot rows).
  EXPECT_EQ(p.pure[0].rhoc, 10.139342719);
  EXPECT_EQ(p.pure[0].Tc, 190.564);
  EXPECT_EQ(p.pure[14].Tc, 132.8);
  EXPECT_EQ(p.pure[8].rhoc, 3.271018581);
  EXPECT_EQ(p.pure[16].nIdeal[1], -143.470759602);
  EXPECT_EQ(p.pure[12].thetaIdeal[3], 50.367279301);
}

} // namespace
