// The user-level operations called in this process, on both test stores,
// with model types of the tests: removal through the stored tree, and a
// calculation that files errors.
#include "KernelStore.h"

#include "../../core/tests/ModelTestTypes.h"

#include "velta/persistency/PersistencyOdbc.h"
#include "velta/user/Case.h"
#include "velta/user/Operations.h"

#include <cmath>
#include <string>

namespace {

using kerneltest::KernelStoreTest;

// A model whose calculation sets x to 42 and files an error, as a model
// that did not converge does.
class ErringModel : public Model {
public:
  ErringModel(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root),
        Model(defaults, id, persistency, parent, root), x("x", "Result", 1.0, "K", this) {
    setType("KernelTestErring");
    addVariable(x);
  }
  int category() const override { return 3; }
  void calculate(int) override {
    x.activeValue() = 42.0;
    setError("no convergence");
  }
  void setup() override {}
  void initializeNonPersistents() override {}
  ObjectiveNleAd *objectiveFunction() override { return nullptr; }

  Quantity x;
};

// A model whose calculation leaves y without a value (NaN), as a property
// of an absent phase can be; x is computed.
class NanModel : public ErringModel {
public:
  NanModel(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root),
        ErringModel(defaults, id, persistency, parent, root), y("y", "Left", 1.0, "K", this) {
    setType("KernelTestNan");
    addVariable(y);
  }
  void calculate(int) override {
    x.activeValue() = 42.0;
    y.activeValue() = std::nan("");
  }

  Quantity y;
};

void registerTypes() {
  registerModelTestTypes();
  NodeFactory factory;
  if (!factory.isRegistered("KernelTestErring"))
    factory.registerType<ErringModel>("KernelTestErring", "Test model with errors", "unit", true,
                                      {}, {}, {}, "", 100, 100);
  if (!factory.isRegistered("KernelTestNan"))
    factory.registerType<NanModel>("KernelTestNan", "Test model leaving NaN", "unit", true, {}, {},
                                   {}, "", 100, 100);
}

class UserOperations : public KernelStoreTest {
protected:
  void SetUp() override {
    KernelStoreTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
      return;
    registerTypes();
    if (!useStoreInProcess())
      GTEST_SKIP() << "this process already bound \"persistency\" to the other store";
  }

  int create(const std::string &type, const std::string &tag) {
    int error = 1;
    const Velta::User::Handle handle =
        Velta::User::createCase_(type, Defaults(tag, ""), {}, error, false);
    EXPECT_EQ(error, 0);
    return handle.id();
  }
};

TEST_P(UserOperations, RemoveTakesTheWholeCaseAndOnlyFromItsRoot) {
  const int other = create("ModelTestLeaf", "OTHER");
  const int root = create("ModelTestCase", "CASE");
  const long caseNodes = nodes() - 1;
  ASSERT_GT(caseNodes, 2);
  // A child added after the case was stored goes into a block of its own.
  int extra = -1;
  {
    PersistencyOdbc persistency("persistency");
    std::unique_ptr<Node> node =
        NodeFactory().create("ModelTestCase", Defaults(), root, &persistency, nullptr, nullptr);
    extra = node->addChild("ModelTestLeaf", Defaults("EXTRA", "")).id();
    node->update(persistency);
  }
  ASSERT_EQ(nodes(), caseNodes + 2);
  const long extraRow =
      count("SELECT ID FROM N WHERE TAG = 'EXTRA' AND PARENT = " + std::to_string(root));
  EXPECT_GE(extraRow, root + caseNodes) << "the extra child should lie outside the case's block";
  (void)extra;

  // An object inside the case, and an id without a row: nothing removed.
  EXPECT_EQ(Velta::User::remove(Velta::User::Handle(root + 1)), -93);
  EXPECT_EQ(Velta::User::remove(Velta::User::Handle(extraRow + 100)), -93);
  EXPECT_EQ(nodes(), caseNodes + 2);

  EXPECT_EQ(Velta::User::remove(Velta::User::Handle(root)), 0);
  EXPECT_EQ(nodes(), 1);
  EXPECT_EQ(count("SELECT COUNT(*) FROM N WHERE ID = " + std::to_string(other)), 1);
  for (const char *table : {"I", "S", "Q", "QV", "SV"})
    EXPECT_EQ(count(std::string("SELECT COUNT(*) FROM ") + table + " WHERE NID <> " +
                    std::to_string(other)),
              0)
        << table;
}

TEST_P(UserOperations, ErrorsOfACalculationAreStoredAndReportedAsFailure) {
  const int id = create("KernelTestErring", "E");
  Velta::User::Case stored{Velta::User::Handle(id)};
  ASSERT_TRUE(stored.hasModel());
  testing::internal::CaptureStderr();
  EXPECT_EQ(stored.calculateSync(), -84);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("1 error"), std::string::npos);
  EXPECT_EQ(count("SELECT VALUE FROM Q WHERE TAG = 'x' AND NID = " + std::to_string(id)), 42);
  // The caller reads the results from the case's model.
  EXPECT_EQ(stored.model()->element<Quantity>("x").value(), 42.0);

  Velta::User::Case checked{Velta::User::Handle(id)};
  testing::internal::CaptureStderr();
  EXPECT_EQ(checked.check(), -84);
  testing::internal::GetCapturedStderr();
}

// The store keeps 0 for a NaN result; the run counts it as a warning, and
// the exports of the case read back mark it as not computed, not as 0.
TEST_P(UserOperations, ResultsNotComputedAreCountedAndNotExportedAsZero) {
  const int id = create("KernelTestNan", "N");
  Velta::User::Case stored{Velta::User::Handle(id)};
  ASSERT_TRUE(stored.hasModel());
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  EXPECT_EQ(stored.calculateSync(), 0);
  const std::string err = testing::internal::GetCapturedStderr();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("Computation complete with 0 errors and 1 warnings"), std::string::npos)
      << out;
  EXPECT_NE(err.find("1 value was stored replaced"), std::string::npos) << err;
  const std::string node = " AND NID = " + std::to_string(id);
  EXPECT_EQ(count("SELECT VALUE FROM Q WHERE TAG = 'y'" + node), 0);
  EXPECT_EQ(count("SELECT VALUE FROM Q WHERE TAG = 'x'" + node), 42);

  Velta::User::Case readBack{Velta::User::Handle(id)};
  ASSERT_EQ(readBack.exportTxt(workFile("n.txt")), 0);
  const std::string text = readFile(workFile("n.txt"));
  EXPECT_NE(text.find("\nx = 42 K Result\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\ny = not computed K Left\n"), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(Stores, UserOperations,
                         ::testing::Values(odbctest::Database::sqlite,
                                           odbctest::Database::postgresql),
                         odbctest::databaseParameterName);

} // namespace
