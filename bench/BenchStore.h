#pragma once
// A temporary folder with an odbc.ini whose data source "persistency" is a
// benchmark's store: a private SQLite database made from the schema script,
// or the PostgreSQL test database that VELTA_TEST_POSTGRESQL_DSN names in
// the odbc.ini of ODBCINI (scripts/test-databases.sh start). The user's own
// data source is never touched. Needs VELTA_SOURCE_DIR.

#include "../subprojects/user/tests/OdbcIni.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace benchstore {

inline std::string readFile(const std::string &path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

class BenchStore {
public:
  BenchStore(bool postgresql, const char *folderPrefix) {
    std::string folder = (std::filesystem::temp_directory_path() / folderPrefix).string() + ".XXXXXX";
    if (!mkdtemp(folder.data()))
      throw std::runtime_error("mkdtemp failed");
    folder_ = folder;
    std::string entry;
    if (postgresql) {
      const char *dsn = std::getenv("VELTA_TEST_POSTGRESQL_DSN");
      const char *ini = std::getenv("ODBCINI");
      if (dsn && *dsn && ini)
        entry = kerneltest::iniSection(readFile(ini), dsn);
    } else {
      const std::string schema =
          std::string(VELTA_SOURCE_DIR) + "/subprojects/persistency/sql/schema-sqlite.sql";
      const std::string database = folder_ + "/bench.sqlite";
      if (std::system(("sqlite3 '" + database + "' < '" + schema + "' >/dev/null").c_str()) == 0)
        entry = "Driver=SQLite3\nDatabase=" + database + "\nTimeout=60000\n";
    }
    available_ = !entry.empty();
    std::ofstream(folder_ + "/odbc.ini") << "[persistency]\n" << entry;
  }
  BenchStore(const BenchStore &) = delete;
  BenchStore &operator=(const BenchStore &) = delete;
  ~BenchStore() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  bool available() const { return available_; }
  const std::string &folder() const { return folder_; }

private:
  std::string folder_;
  bool available_ = false;
};

} // namespace benchstore
