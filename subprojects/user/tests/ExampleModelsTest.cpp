// The demonstration process through the program: the set-up values of the
// default case read from its text dump, the stage's filter sizing, the
// attack section calculated end to end with its element balance closed from
// the stored flows, and the refusals of creation.
#include "KernelStore.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/user/KernelComponents.h"

#include <json/json.h>

#include <array>
#include <cmath>
#include <map>
#include <sstream>

namespace {

using kerneltest::KernelRun;
using kerneltest::KernelStoreTest;

// The text of one object of a dump: from "*** Begin <tag> " to its end.
// The first object of that tag, or the last: a flowsheet's own streams come
// after its units, which hold streams of the same tags.
std::string block(const std::string &text, const std::string &tag, bool last = false) {
  const std::string begin = "*** Begin " + tag + " ";
  const std::size_t start = last ? text.rfind(begin) : text.find(begin);
  if (start == std::string::npos)
    return {};
  const std::size_t line = text.find('\n', start);
  const std::string title = text.substr(start + 10, line - start - 10);
  const std::size_t end = text.find("*** End " + title, line);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// The SI number of "name = value ..." in a block (the first such line);
// NaN when missing.
double number(const std::string &text, const std::string &name) {
  const std::string key = "\n" + name + " = ";
  const std::size_t at = text.find(key);
  if (at == std::string::npos)
    return std::nan("");
  std::istringstream value(text.substr(at + key.size(), 40));
  value.imbue(std::locale::classic());
  double x = std::nan("");
  value >> x;
  return x;
}

// A stream of the flowsheet itself.
std::string stream(const std::string &text, const std::string &tag) {
  return block(text, tag, true);
}

// Mass flow of component i in the total phase of a stream block, kg/h.
double flow(const std::string &stream, int i) {
  return number(block(stream, "Tphase"), "mdotcomps[" + std::to_string(i) + "]") * 3600.0;
}

enum Component { H2O, H2, Chemical1, Chemical2, Chemical3, Chemical4, Inert, Metal1, Metal2 };

class ExampleModels : public KernelStoreTest {
protected:
  std::string dump(const std::string &id) {
    EXPECT_EQ(kernel({"txt", id}).status, 0);
    return readFile(workFile(id + ".txt"));
  }
};

TEST_P(ExampleModels, DefaultCaseCarriesTheSetUpValues) {
  // A descriptor value that the set-up fixes is replaced, with a warning.
  const KernelRun created =
      kernel({"new", "Inorganic", "Inorganic", "", R"({"quantities":{"pH":7}})"});
  ASSERT_EQ(created.status, 0) << created.err;
  EXPECT_NE(created.err.find("Warning: the set-up of Inorganic replaced the value 7 given for pH "
                             "by 10"),
            std::string::npos)
      << created.err;
  const KernelRun plain = kernel({"new"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(plain.err.find("Warning"), std::string::npos) << plain.err;
  const std::string text = dump(plain.lastLine());
  EXPECT_EQ(text.rfind("****** type = Inorganic TAG = Inorganic", 0), 0u);

  // Inputs and ratios; k1C1 = 7.5 MW(Chemical1) Inert / Metal1 / MW(Inert)
  // = 7.5 * 20.0063 * 176.4914 / 1000 / 60.0843 = 0.440748115647.
  const std::string top = text.substr(0, text.find("*** Begin A1 "));
  const std::map<std::string, double> inputs = {
      {"hum", 0.3},       {"inert_fraction", 0.15}, {"metal2_fraction", 0.0001},
      {"pH", 10.0},       {"w_C1", 0.2},            {"w_C2", 0.2},
      {"w_C4", 0.33},     {"k0", 3.0},              {"k1C2", 0.2},
      {"k2C4", 0.165},    {"k2C2", 0.1},            {"k3C1", 0.01},
      {"k1C1", 0.440748115647}, {"K1C1_eff", 5 * 0.440748115647},
      {"K1C2_eff", 1.0},  {"K2C4_eff", 0.5},        {"K2C2_eff", 0.5},
      {"K3C1_eff", 0.05}};
  for (const auto &[name, value] : inputs)
    EXPECT_NEAR(number(top, name), value, 1e-9) << name;

  // Feeds in kg/h: S01 from the basis of 1000 kg/h of Metal1,
  // D = 1 - 0.15 - 0.0001; S21 and S22 1000 (1.5 - 0.3 / 0.7).
  struct Feed {
    const char *stream;
    int component;
    double kgPerHour;
  };
  const Feed feeds[] = {
      {"S01", Metal1, 1000.0},        {"S01", Inert, 176.4913513},
      {"S01", Metal2, 0.1176609},     {"S01", H2O, 504.2610},
      {"S11", Chemical4, 165.0},      {"S11", Chemical2, 100.0},
      {"S11", H2O, 735.0},            {"S12", Chemical1, 10.0},
      {"S12", H2O, 40.0},             {"S10", Chemical2, 200.0},
      {"S10", Chemical1, 440.748116}, {"S10", H2O, 4000 * 0.440748115647 + 800},
      {"S20", H2O, 1000.0}};
  for (const Feed &feed : feeds)
    EXPECT_NEAR(flow(stream(text, feed.stream), feed.component), feed.kgPerHour,
                1e-6 * feed.kgPerHour + 1e-4)
        << feed.stream << " " << feed.component;
  EXPECT_NEAR(flow(stream(text, "S01"), Chemical2), 1.8386e-9, 1e-13);
  for (const char *wash : {"S21", "S22"}) {
    const std::string water = stream(text, wash);
    EXPECT_NEAR(number(block(water, "Tphase"), "mdot") * 3600.0, 1071.4285714, 1e-6) << wash;
    EXPECT_NE(water.find("flowoption = Mw "), std::string::npos) << wash;
  }
  EXPECT_NEAR(number(stream(text, "S10"), "P"), 5 * 101325.0, 1e-6);
  EXPECT_NEAR(number(stream(text, "S01"), "T"), 298.15, 1e-9);

  // The cut: S20 ends at the sink, S20bis feeds A1.
  EXPECT_NE(stream(text, "S20").find("toTAG = sink "), std::string::npos);
  EXPECT_NE(stream(text, "S20bis").find("toTAG = A1 "), std::string::npos);

  // Conversions of the attack reactors.
  const std::array<std::tuple<const char *, const char *, double>, 6> conversions = {{
      {"A1", "reactions[0]", 0.001}, {"A1", "reactions[1]", 1.0}, {"A1", "reactions[2]", 0.98},
      {"A2", "reactions[0]", 1.0},   {"A2", "reactions[1]", 0.05}, {"A3", "reactions[0]", 1.0}}};
  for (const auto &[unit, reaction, z] : conversions)
    EXPECT_NEAR(number(block(block(block(block(text, unit), "A"), "R"), reaction), "z"), z, 1e-12)
        << unit << " " << reaction;
}

// The listing ends with the example types, after every library type.
TEST_P(ExampleModels, TypesEndWithTheExampleTypes) {
  if (GetParam() != odbctest::Database::sqlite)
    GTEST_SKIP() << "the listing does not depend on the store";
  const KernelRun run = kernel({"types"});
  ASSERT_EQ(run.status, 0);
  Json::Value listing;
  std::istringstream(run.out.substr(run.out.find("{\"types\""))) >> listing;
  const Json::Value &types = listing["types"];
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Stadio", "flowsheet"},
      {"Attacco<1>", "flowsheet"},
      {"Attacco<3>", "flowsheet"},
      {"ReactionSalt2", "option"},
      {"ReactionInert", "option"},
      {"ReactionChemical4", "option"},
      {"ReactionMetal1Decomposition", "option"},
      {"ReactionMetal1", "option"},
      {"ReactionChemical4Decomposition", "option"},
      {"ReactionChemical3", "option"},
      {"Inorganic", "flowsheet"}};
  ASSERT_GT(types.size(), expected.size());
  const Json::ArrayIndex first = types.size() - static_cast<Json::ArrayIndex>(expected.size());
  for (Json::ArrayIndex i = 0; i < expected.size(); ++i) {
    const Json::Value &type = types[first + i];
    EXPECT_EQ(type["name"].asString(), expected[i].first);
    EXPECT_EQ(type["category"].asString(), expected[i].second);
    EXPECT_EQ(type["icon"].asString(), expected[i].second + ".svg");
    EXPECT_EQ(type["instantiable"].asBool(), expected[i].second == "flowsheet");
  }
}

TEST_P(ExampleModels, TypeWithoutClassIsRefused) {
  const long before = nodes();
  const KernelRun run = kernel({"new", "Attacco<2>"});
  EXPECT_EQ(run.status, 256 - 93);
  EXPECT_NE(run.err.find("type Attacco<2> not found"), std::string::npos) << run.err;
  EXPECT_EQ(nodes(), before);
}

// Feed quantities of a stream in mass flow and fractions (the stage's
// streams take "Mw"): one component, or water and one other.
std::string feed(const std::string &stream, double kgPerSecond, std::map<int, double> fractions) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << "\"" << stream << ":Tphase.mdot\":" << kgPerSecond;
  for (int i = 0; i < 11; ++i)
    text << ",\"" << stream << ":Tphase.w[" << i << "]\":" << fractions[i];
  return text.str();
}

TEST_P(ExampleModels, StageSizesItsFilter) {
  // 0.01 kg/s of solid Inert, 0.03 kg/s of water.
  const std::string descriptor = "{\"quantities\":{" + feed("S01", 0.01, {{Inert, 1.0}}) + "," +
                                 feed("S02", 0.03, {{H2O, 1.0}}) + "}}";
  const KernelRun created = kernel({"new", "Stadio", "stage", "", descriptor});
  ASSERT_EQ(created.status, 0) << created.err;
  const KernelRun calculated = kernel({"calculate", created.lastLine()});
  ASSERT_EQ(calculated.status, 0) << calculated.err;
  const std::string text = dump(created.lastLine());
  const std::string top = text.substr(0, text.find("*** Begin M Mixer"));
  // Defaults: tau = 318 + 300 + 900 s; A = pi d h; Vk = A t;
  // Vv = (H D^2 - h (d + t)^2) pi / 4; mk = (1 - hum) Vk rho;
  // Qw = (w Vk + Vv) / tau; n = Qk tau / mk = 459.36 s/kg * Qk (Python).
  const std::map<std::string, double> sizing = {
      {"tau", 1518.0},           {"A", 0.3204424506661589},   {"Vk", 0.004806636759992384},
      {"Vv", 0.03455751918948772}, {"mk", 3.304562772494764}, {"Qw", 3.226444629082008e-05},
      {"Qk", 0.01},              {"n", 4.5936485535543125}};
  for (const auto &[name, value] : sizing)
    EXPECT_NEAR(number(top, name), value, 1e-10 * value) << name;
  // The cake keeps the liquid that makes hum = 0.45 of the solid reaching
  // the filter, of which 0.0005 passes to the filtrate.
  const std::string cake = stream(text, "S05");
  const double liquid = number(block(cake, "Lphase[0]"), "mdot");
  const double solid = number(block(cake, "Sphase[0]"), "mdot");
  EXPECT_NEAR(liquid, solid / 0.9995 * 0.45 / 0.55, 1e-9 * liquid);
}

// A stage built on streams without a solid phase reports it, by the stage's
// name, when it is calculated.
TEST_P(ExampleModels, StageWithoutSolidPhaseFails) {
  if (GetParam() != odbctest::Database::sqlite)
    GTEST_SKIP() << "the failure does not depend on the store";
  const KernelRun created = kernel(
      {"new", "Stadio", "liquid", "", R"({"stringOptions":{"stream_type":"StreamSimpleLiquid"}})"});
  ASSERT_EQ(created.status, 0) << created.err;
  const KernelRun calculated = kernel({"calculate", created.lastLine()});
  EXPECT_EQ(calculated.status, 256 - 84);
  EXPECT_NE(calculated.err.find("stream S01 of type StreamSimpleLiquid has no solid phase"),
            std::string::npos)
      << calculated.err;
  EXPECT_NE(calculated.err.find("Stadio::makeUserEquations"), std::string::npos);
}

// Element composition of the kernel's components (H, O, F, Cl, Si, Fe):
// H2O, H2, HF, HCl, H2SiF6, H2O2, SiO2, Si, Fe, (Salt1 unused), FeF2.
const double formulas[11][6] = {{2, 1, 0, 0, 0, 0}, {2, 0, 0, 0, 0, 0}, {1, 0, 1, 0, 0, 0},
                                {1, 0, 0, 1, 0, 0}, {2, 0, 6, 0, 1, 0}, {2, 2, 0, 0, 0, 0},
                                {0, 2, 0, 0, 1, 0}, {0, 0, 0, 0, 1, 0}, {0, 0, 0, 0, 0, 1},
                                {0, 0, 0, 0, 0, 0}, {0, 0, 2, 0, 0, 1}};

// Element flows (kmol/s) entering minus leaving over the named streams of a
// dump, relative to what enters, with the kernel's own molar masses.
std::array<double, 6> elementImbalance(const std::string &text, const std::vector<std::string> &in,
                                       const std::vector<std::string> &out) {
  addKernelComponents();
  std::array<double, 6> balance{}, entering{};
  const auto add = [&](const std::string &tag, double sign) {
    const std::string flows = stream(text, tag);
    EXPECT_FALSE(flows.empty()) << tag;
    for (int i = 0; i < 11; ++i) {
      const double moles = flow(flows, i) / 3600.0 / components[i]->MW().value();
      for (int e = 0; e < 6; ++e) {
        balance[e] += sign * moles * formulas[i][e];
        if (sign > 0)
          entering[e] += moles * formulas[i][e];
      }
    }
  };
  for (const std::string &tag : in)
    add(tag, 1.0);
  for (const std::string &tag : out)
    add(tag, -1.0);
  components.clear();
  for (int e = 0; e < 6; ++e)
    balance[e] = entering[e] > 0 ? std::fabs(balance[e]) / entering[e] : std::fabs(balance[e]);
  return balance;
}

// An attack section with a reacting attack stage (Metal1 + 2 H2O -> Inert
// + 2 H2 at half conversion) and its washing: new and calculate through the
// program, then the element balance from the stored flows; a second
// calculation starts converged.
TEST_P(ExampleModels, AttackSectionClosesItsElementBalance) {
  const std::string descriptor =
      "{\"integerOptions\":{\"A_R_nReactions\":1},"
      "\"stringOptions\":{\"A_R_embeddedTypeReactions[0]\":\"ReactionMetal1Decomposition\"},"
      "\"quantities\":{\"A:R:reactions[0].z\":0.5," +
      feed("S01", 0.3, {{Metal1, 0.8}, {Inert, 0.2}}) + "," +
      feed("S02", 1.0, {{H2O, 0.9}, {Chemical1, 0.1}}) + "," + feed("S03", 0.8, {{H2O, 1.0}}) +
      "}}";
  const KernelRun created = kernel({"new", "Attacco<1>", "attack", "", descriptor});
  ASSERT_EQ(created.status, 0) << created.err;
  const std::string id = created.lastLine();
  const KernelRun calculated = kernel({"calculate", id});
  ASSERT_EQ(calculated.status, 0) << calculated.err;
  EXPECT_NE(calculated.out.find("Computation complete with 0 errors"), std::string::npos);
  const std::string text = dump(id);
  const std::array<double, 6> imbalance =
      elementImbalance(text, {"S01", "S02", "S03"}, {"S05", "S06", "S07"});
  for (int e = 0; e < 6; ++e)
    EXPECT_LT(imbalance[e], 1e-9) << "element " << e;
  // The reaction ran: hydrogen leaves.
  EXPECT_GT(flow(stream(text, "S06"), H2) + flow(stream(text, "S05"), H2) +
                flow(stream(text, "S07"), H2),
            0.0);
  const KernelRun again = kernel({"calculate", id});
  EXPECT_EQ(again.status, 0) << again.err;
}

// The default case end to end: new, then calculate (sequential passes, then
// the simultaneous solution) with no error, the element balance closed from
// the stored flows over the feeds and products (the recycle S20 inside), and
// a second calculation that starts from the stored state already converged.
TEST_P(ExampleModels, DefaultCaseConvergesAndBalances) {
  const KernelRun created = kernel({"new"});
  ASSERT_EQ(created.status, 0) << created.err;
  const std::string id = created.lastLine();
  const KernelRun calculated = kernel({"calculate", id});
  ASSERT_EQ(calculated.status, 0) << calculated.err;
  EXPECT_NE(calculated.out.find("Starting sequential pre-computation"), std::string::npos);
  EXPECT_NE(calculated.out.find("Switch to simultaneous computation"), std::string::npos);
  EXPECT_NE(calculated.out.find("Computation complete with 0 errors"), std::string::npos);
  const std::string text = dump(id);
  const std::array<double, 6> imbalance = elementImbalance(
      text, {"S01", "S10", "S11", "S12", "S21", "S22"}, {"S04", "S40", "S41"});
  for (int e = 0; e < 6; ++e)
    EXPECT_LT(imbalance[e], 1e-9) << "element " << e;
  // The recycle is closed: S20bis carries what S20 leaves with.
  for (int i = 0; i < 11; ++i)
    EXPECT_NEAR(flow(stream(text, "S20bis"), i), flow(stream(text, "S20"), i),
                1e-6 * (flow(stream(text, "S20"), i) + 1e-3))
        << i;

  const KernelRun again = kernel({"calculate", id});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.out.find("Starting sequential pre-computation"), std::string::npos);
  EXPECT_NE(again.out.find("SolverNleRecipes::solve * 0 "), std::string::npos);
  EXPECT_EQ(again.out.find("SolverNleRecipes::solve * 1 "), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Store, ExampleModels,
                         ::testing::Values(odbctest::Database::sqlite,
                                           odbctest::Database::postgresql),
                         odbctest::databaseParameterName);

} // namespace
