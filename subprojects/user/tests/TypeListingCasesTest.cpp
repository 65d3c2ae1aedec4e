// Every type of the program's listing, created from an empty descriptor
// through the operations of "new" and "calculate" on the SQLite test store:
// either the case is stored and can be read back, calculated (with errors
// or without) and exported, with every listed option at its listed default,
// or creation refuses it with a message and stores nothing.
#include "KernelStore.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/user/Case.h"
#include "velta/user/KernelInitialization.h"
#include "velta/user/Operations.h"

#include <json/json.h>

#include <iostream>
#include <sstream>
#include <string>

namespace {

using kerneltest::KernelStoreTest;

// Keeps the log lines of the calculations out of the test's output.
struct QuietStdout {
  QuietStdout() { testing::internal::CaptureStdout(); }
  ~QuietStdout() { testing::internal::GetCapturedStdout(); }
  QuietStdout(const QuietStdout &) = delete;
  QuietStdout &operator=(const QuietStdout &) = delete;
};

class TypeListingCases : public KernelStoreTest {
protected:
  static void SetUpTestSuite() { initializeKernel(); }
  static void TearDownTestSuite() { uninitializeKernel(); }

  void SetUp() override {
    KernelStoreTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
      return;
    if (!useStoreInProcess())
      GTEST_SKIP() << "this process already bound \"persistency\" to the other store";
  }

  // The records of "kernel types", as the program lists them.
  Json::Value listing() {
    const kerneltest::KernelRun run = kernel({"types"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string text = run.lastLine();
    Json::Value root;
    std::string errors;
    std::istringstream stream(text);
    EXPECT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), stream, &root, &errors)) << errors;
    return root["types"];
  }

  long stored(int id, const std::string &table, const std::string &tag, const std::string &value) {
    return count("SELECT COUNT(*) FROM " + table + " WHERE NID = " + std::to_string(id) +
                 " AND TAG = '" + tag + "'" + (value.empty() ? "" : " AND VALUE = " + value));
  }

  // Each listed option that the case's root stores holds its listed default.
  void expectListedDefaults(int id, const Json::Value &type) {
    for (const Json::Value &option : type["integerOptions"]) {
      const std::string name = option["name"].asString();
      if (stored(id, "I", name, "") > 0)
        EXPECT_EQ(stored(id, "I", name, std::to_string(option["value"].asInt())), 1) << name;
    }
    for (const Json::Value &option : type["stringOptions"]) {
      const std::string name = option["name"].asString();
      if (stored(id, "S", name, "") > 0)
        EXPECT_EQ(stored(id, "S", name, "'" + option["value"].asString() + "'"), 1) << name;
    }
  }

  void checkCase(const Json::Value &type) {
    const std::string name = type["name"].asString();
    SCOPED_TRACE(name);
    ASSERT_TRUE(NodeFactory().isRegistered(name));
    const QuietStdout quiet;
    const long before = nodes();
    int error = 1;
    testing::internal::CaptureStderr();
    const Velta::User::Handle handle =
        Velta::User::createCase_(name, Defaults("x", "from the listing"), {}, error, false);
    const std::string refusal = testing::internal::GetCapturedStderr();
    if (error != 0) {
      EXPECT_EQ(error, -93);
      EXPECT_FALSE(refusal.empty());
      EXPECT_EQ(nodes(), before) << "a refused case left rows behind";
      ++refused;
      return;
    }
    expectListedDefaults(handle.id(), type);
    Velta::User::Case loaded(handle);
    ASSERT_TRUE(loaded.hasModel()) << "stored, but it cannot be read back";
    testing::internal::CaptureStderr();
    const int calculated = loaded.calculateSync();
    const int exported = loaded.exportTxt(workFile("case.txt"));
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(calculated == 0 || calculated == -84) << calculated;
    EXPECT_EQ(exported, 0);
    ++kept;
  }

  int refused = 0;
  int kept = 0;
};

TEST_P(TypeListingCases, EmptyDescriptorStoresACaseThatCalculatesOrStoresNothing) {
  const Json::Value types = listing();
  ASSERT_TRUE(types.isArray());
  ASSERT_GT(types.size(), 0u);
  for (const Json::Value &type : types)
    checkCase(type);
  // Every kept case is calculated: the whole listing takes about a minute
  // in the sanitized build.
  std::cout << kept << " types stored, read back and calculated, " << refused << " refused"
            << std::endl;
}

// The column's listed stream types are the ones it is built with: before,
// an omitted "typeU" built flash units of the type "FlashDegasser<>".
TEST_P(TypeListingCases, ColumnWithoutStreamTypesTakesTheListedOnes) {
  int error = 1;
  const Velta::User::Handle handle = Velta::User::createCase_(
      "Column", Defaults("c", "").setInteger("stages", 6).setInteger("feedStage", 3), {}, error,
      false);
  ASSERT_EQ(error, 0);
  EXPECT_EQ(stored(handle.id(), "S", "typeU", "'StreamIdealLiquidVapor'"), 1);
  EXPECT_EQ(stored(handle.id(), "S", "typeW", "'StreamLiquid'"), 1);
  // Its flash units (feed, condenser, reboiler and the stages) flash that type.
  const long flashes = count("SELECT COUNT(*) FROM N WHERE TYPE = 'FlashDegasser'");
  EXPECT_EQ(flashes, 3 + 6);
  EXPECT_EQ(count("SELECT COUNT(*) FROM S WHERE TAG = 'embeddedTypeStream' AND VALUE = "
                  "'StreamIdealLiquidVapor' AND NID IN (SELECT ID FROM N WHERE TYPE = "
                  "'FlashDegasser')"),
            flashes);
}

INSTANTIATE_TEST_SUITE_P(Stores, TypeListingCases, ::testing::Values(odbctest::Database::sqlite),
                         odbctest::databaseParameterName);

} // namespace
