// Texts of ErrorOdbc and the failures of connecting and of driver calls.

#include "OdbcTestStore.h"

#include "velta/persistency/ErrorOdbc.h"
#include "velta/persistency/PersistencyOdbc.h"

#include <gtest/gtest.h>

#include <regex>

using namespace odbctest;

TEST(ErrorOdbc, PlainFormIsTheOpeningAndOneLine) {
  const ErrorOdbc error("PersistencyOdbc::retrieveObject", "Not found");
  EXPECT_EQ(error.message(), "Error was thrown by function: PersistencyOdbc::retrieveObject\n"
                             "Odbc database driver Error: error in call to Not found\n");
}

TEST(ErrorOdbc, InvalidHandleFetchesNoRecords) {
  const ErrorOdbc error("PersistencyOdbc::getId", "Error in SQLExecute(hStatement_) ", nullptr,
                        SQL_HANDLE_STMT, SQL_INVALID_HANDLE);
  EXPECT_EQ(error.message(), "Error was thrown by function: PersistencyOdbc::getId\n"
                             "Odbc database driver Error: error in call to Error in "
                             "SQLExecute(hStatement_) \n"
                             "ODBC error message: Invalid handle\n");
}

TEST(ErrorOdbc, TraceLinesFollowTheRecords) {
  try {
    PersistencyOdbc store("velta_no_such_data_source");
    FAIL() << "connected to a data source that does not exist";
  } catch (Error &error) {
    error.append("Velta::User::remove");
    const std::string &text = error.message();
    EXPECT_EQ(text.rfind("Error was thrown by function: PersistencyOdbc::PersistencyOdbc\n"
                         "Odbc database driver Error: error in call to Error while connecting to "
                         "database\n",
                         0),
              0u)
        << text;
    // The driver manager's own record: data source name not found.
    EXPECT_NE(text.find("ODBC error message: IM002 "), std::string::npos) << text;
    const std::string trace = "\nCalled from function: Velta::User::remove\n";
    ASSERT_GT(text.size(), trace.size());
    EXPECT_EQ(text.substr(text.size() - trace.size()), trace);
  }
}

class OdbcDriverErrorTest : public StoreTest {};

TEST_P(OdbcDriverErrorTest, CarriesTheSqlstateRecordsOfTheFailedCall) {
  PersistencyOdbc store(dsn_);
  // Table I has no ID column: the driver refuses the statement.
  try {
    store.countRows("I", 5);
    FAIL() << "counted by a column that does not exist";
  } catch (ErrorOdbc &error) {
    const std::string &text = error.message();
    EXPECT_EQ(text.rfind("Error was thrown by function: PersistencyOdbc::countRows\n"
                         "Odbc database driver Error: error in call to Error in "
                         "SQLEXECDIRECT(hStatement_, (SQLCHAR*)sqlcommand.c_str(), SQL_NTS) \n",
                         0),
              0u)
        << text;
    // SQLSTATE, driver text and native code on a line of their own.
    EXPECT_TRUE(std::regex_search(
        text, std::regex("\nODBC error message: [0-9A-Z]{5} [\\s\\S]+ -?[0-9]+\n$")))
        << text;
  }
  // The connection stays usable after a failed statement.
  EXPECT_EQ(store.countRows("N", 0), 0);
}

TEST_P(OdbcDriverErrorTest, TableNamesOutsideTheSchemaAreRefused) {
  PersistencyOdbc store(dsn_);
  EXPECT_THROW(store.countRows("N; DELETE FROM Q", 0), ErrorOdbc);
  EXPECT_THROW(store.purge("sqlite_master", -1), ErrorOdbc);
  // Any case of a real table name is accepted.
  EXPECT_EQ(store.countCID(-1, "qmv"), 0);
}

INSTANTIATE_TEST_SUITE_P(Databases, OdbcDriverErrorTest,
                         ::testing::Values(Database::sqlite, Database::postgresql),
                         databaseParameterName);
