#include "ModelTestTypes.h"

#include "../../components/tests/TestComponents.h"
#include "velta/components/ListComponents.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> list(const StringVector &messages) { return messages.value(); }

ModelTestModel &model(Object &root, const std::string &path) {
  return *my_cast<ModelTestModel *>(&root.at(path), "test");
}

// Components A, B and C for the tests of per-component quantities; the list
// is emptied again afterwards, as the kernel does when it is uninitialised.
class ModelComponents : public ::testing::Test {
protected:
  void SetUp() override {
    components.clear();
    for (const char *name : {"A", "B", "C"})
      components.add(new TestSolidComponent(name));
  }
  void TearDown() override { components.clear(); }
};

} // namespace

TEST(Model, GatheringCopiesEveryMessageIntoEachAncestorWithItsTagPath) {
  auto root = makeTestCase();
  ModelTestModel &unit = model(*root, "U1");
  ModelTestModel &feed = model(*root, "U1:S01");
  ModelTestModel &phase = model(*root, "U1:S02:Vphase");

  // Messages that hold "@" for their own reasons, end with it or are empty
  // are located like any other.
  for (const char *message : {"e", "bad @", "mail a@b", "ratio @ 2", "@", ""})
    feed.reportError(message);
  feed.setWarning("w");
  phase.setWarning("flash @ S01");
  unit.setError("u");

  root->setVerbosity(3);
  testing::internal::CaptureStdout();
  root->reportMessages();
  const std::string log = testing::internal::GetCapturedStdout();

  const std::vector<std::string> filed = {"e", "bad @", "mail a@b", "ratio @ 2", "@", ""};
  EXPECT_EQ(list(feed.errors), filed);
  EXPECT_EQ(list(feed.warnings), std::vector<std::string>{"w"});
  EXPECT_EQ(list(unit.errors),
            (std::vector<std::string>{"u", "e @ S01", "bad @ @ S01", "mail a@b @ S01",
                                      "ratio @ 2 @ S01", "@ @ S01", " @ S01"}));
  EXPECT_EQ(list(unit.warnings), (std::vector<std::string>{"w @ S01", "flash @ S01 @ S02:Vphase"}));
  EXPECT_EQ(list(root->errors),
            (std::vector<std::string>{"u @ U1", "e @ U1:S01", "bad @ @ U1:S01", "mail a@b @ U1:S01",
                                      "ratio @ 2 @ U1:S01", "@ @ U1:S01", " @ U1:S01"}));
  EXPECT_EQ(list(root->warnings),
            (std::vector<std::string>{"w @ U1:S01", "flash @ S01 @ U1:S02:Vphase"}));
  EXPECT_NE(log.find("Model::reportMessages **** errors = 7 warnings = 2 for CASE\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("Model::reportError **** ===== Logging error e @ U1:S01 in CASE\n"),
            std::string::npos)
      << log;

  root->resetErrors();
  for (const char *path : {"U1", "U1:S01", "U1:S02:Vphase"}) {
    EXPECT_TRUE(model(*root, path).errors.value().empty()) << path;
    EXPECT_TRUE(model(*root, path).warnings.value().empty()) << path;
  }
  EXPECT_TRUE(root->errors.value().empty());
}

TEST(Model, SetErrorIgnoresEmptyTextsWhileReportErrorKeepsThem) {
  auto leaf = createModel<ModelTestLeaf>("ModelTestLeaf", Defaults("L", "Leaf"));
  leaf->setError("");
  leaf->setWarning("");
  EXPECT_TRUE(leaf->errors.value().empty());
  EXPECT_TRUE(leaf->warnings.value().empty());
  leaf->reportError("");
  leaf->reportWarning("");
  EXPECT_EQ(list(leaf->errors), std::vector<std::string>{""});
  EXPECT_EQ(list(leaf->warnings), std::vector<std::string>{""});
  leaf->reportMessages(); // no children: nothing gathered
  EXPECT_EQ(leaf->errors.size(), 1u);
}

TEST(Model, PristineStateFollowsTheCalculationCounter) {
  auto root = makeTestCase();
  ModelTestModel &stream = model(*root, "U1:S01");
  ModelTestModel &phase = model(*root, "U1:S01:Tphase");
  EXPECT_TRUE(stream.isPristine());
  EXPECT_EQ(stream.maxIterations(), 200);

  stream.incrementCalculations();
  phase.incrementCalculations();
  phase.incrementCalculations();
  EXPECT_FALSE(stream.isPristine());
  EXPECT_EQ(phase.nCalculations.value(), 2);

  stream.setPristine();
  EXPECT_TRUE(stream.isPristine());
  EXPECT_FALSE(phase.isPristine());

  root->setPristineRecursive();
  EXPECT_TRUE(phase.isPristine());

  // The three variables are registered, so they are stored with the model.
  EXPECT_EQ(&stream.element<Integer>("nCalculations"), &stream.nCalculations);
  EXPECT_EQ(&stream.element<StringVector>("errors"), &stream.errors);
  EXPECT_EQ(&stream.element<StringVector>("warnings"), &stream.warnings);
}

TEST(Model, UnSetInputClearsTheInputFlagsOfTheSubtree) {
  auto root = makeTestCase();
  Value &pressure = root->Q("U1:S01.P");
  Value &mass = root->Q("U1:S02:Vphase.mdot");
  pressure.set(3e5, "Pa");
  mass.set(2.0, "kg/s");
  ASSERT_TRUE(pressure.input() && mass.input());
  root->unSetInput();
  EXPECT_FALSE(pressure.input());
  EXPECT_FALSE(mass.input());
  EXPECT_EQ(pressure.value(), 3e5);
}

TEST(Model, MyCastNamesCallerTagTypeAndTheDemangledTargetType) {
  auto root = makeTestCase();
  Node *stream = &root->child("U1:S01");
  EXPECT_EQ(my_cast<Model *>(stream, "caller"), dynamic_cast<Model *>(stream));
  const Node *constant = stream;
  EXPECT_NE(my_cast<const StreamModelTest *>(constant, std::string("caller")), nullptr);

  try {
    my_cast<ReactionModelTest *>(stream, "Model::reportMessages");
    FAIL() << "no error";
  } catch (const ErrorDynamicCast &error) {
    EXPECT_EQ(error.message(),
              "Error was thrown by function: Model::reportMessages\n"
              "Dynamic cast error: Unsupported conversion of model S01 of type: StreamModelTest "
              "to type: ReactionModelTest*\n");
  }
  try {
    my_cast<const ModelTestPhase *>(constant, std::string("Flowsheet::balance"));
    FAIL() << "no error";
  } catch (const ErrorDynamicCast &error) {
    EXPECT_NE(error.message().find("Error was thrown by function: Flowsheet::balance\n"),
              std::string::npos);
    EXPECT_NE(error.message().find(" to type: ModelTestPhase const*\n"), std::string::npos)
        << error.message();
  }
}

TEST(Model, WalksStopAtAChildThatIsNotAModel) {
  auto root = createModel<ModelTestLeaf>("ModelTestLeaf", Defaults("ROOT", "Root"));
  const int id = root->newId();
  root->addChild(
      std::make_unique<Node>(Defaults("N1", "Plain node"), id, nullptr, root.get(), root.get()));
  try {
    root->resetErrors();
    FAIL() << "no error";
  } catch (const ErrorDynamicCast &error) {
    EXPECT_EQ(error.message(), "Error was thrown by function: Model::resetErrors\n"
                               "Dynamic cast error: Unsupported conversion of model N1 of type: "
                               "Node to type: Model*\n");
  }
}

TEST_F(ModelComponents, ComponentVectorsHoldOneQuantityPerComponentAndAnswerByName) {
  auto root = makeTestCase();
  auto &phase = *my_cast<ModelTestPhase *>(&root->at("U1:S01:Tphase"), "test");
  ASSERT_EQ(phase.mdotcomps.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    const Quantity &element = phase.mdotcomps[static_cast<std::size_t>(i)];
    EXPECT_EQ(element.tag(), "mdotcomps[" + std::to_string(i) + "]");
    EXPECT_EQ(element.description(), std::string("Mass flow of ") + "ABC"[i]);
    EXPECT_EQ(element.parent(), &phase);
    EXPECT_EQ(&phase.element<Quantity>(element.tag()), &element);
  }

  phase.mdotcomps[2] = Value(0.75, "kg/s");
  EXPECT_EQ(&root->Q("U1:S01:Tphase.mdotcomps[C]"), &phase.mdotcomps[2]);
  EXPECT_EQ(root->Q("U1:S01:Tphase.mdotcomps", "C").value(), 0.75);
  EXPECT_THROW(root->Q("U1:S01:Tphase.mdotcomps[Inert]"), ErrorNoComponent);

  // Called again, the vector keeps its elements (and their addresses).
  const Quantity *first = &phase.mdotcomps[0];
  phase.addComponentVector(phase.mdotcomps, "mdotcomps", "Other", Value(0.0, "kg/s"));
  EXPECT_EQ(&phase.mdotcomps[0], first);
  EXPECT_EQ(phase.mdotcomps[0].description(), "Mass flow of A");
}

TEST_F(ModelComponents, ComponentVectorOfAnotherSizeIsRebuiltWithoutStaleEntries) {
  auto leaf = createModel<ModelTestLeaf>("ModelTestLeaf", Defaults("L", "Leaf"));
  std::vector<Quantity> flows;
  flows.emplace_back("x[0]", "Old", 1.0, "kg/s", leaf.get());
  leaf->addComponentVector(flows, "x", "Flow", Value(2.0, "kg/s"));
  ASSERT_EQ(flows.size(), 3u);
  EXPECT_EQ(leaf->Q("x[0]").value(), 2.0);
  EXPECT_EQ(&leaf->Q("x[0]"), &flows[0]);
  EXPECT_EQ(flows[1].description(), "Flow of B");
}

TEST(Model, ComponentVectorIsEmptyWithAnEmptyComponentList) {
  components.clear();
  auto leaf = createModel<ModelTestLeaf>("ModelTestLeaf", Defaults("L", "Leaf"));
  std::vector<Quantity> flows;
  leaf->addComponentVector(flows, "x", "Flow", Value(0.0, "kg/s"));
  EXPECT_TRUE(flows.empty());
}
