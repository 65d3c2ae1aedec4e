#include "velta/persistency/ErrorOdbc.h"

#include <sql.h>
#include <sqlext.h>

#include <array>
#include <cstring>
#include <string>

namespace {

const char *const opening = "Odbc database driver Error: error in call to ";

} // namespace

ErrorOdbc::ErrorOdbc(const char *function, const char *message) : Error(function) {
  addLine(std::string(opening) + message);
}

ErrorOdbc::ErrorOdbc(const char *function, const std::string &message)
    : ErrorOdbc(function, message.c_str()) {}

ErrorOdbc::ErrorOdbc(const char *function, const char *message, void *handle, short handleType,
                     short returnCode)
    : ErrorOdbc(function, message) {
  if (returnCode == SQL_INVALID_HANDLE) {
    addLine("ODBC error message: Invalid handle");
    return;
  }
  if (handle == nullptr)
    return;
  std::array<SQLCHAR, 5000> text{};
  SQLCHAR state[SQL_SQLSTATE_SIZE + 1];
  for (SQLSMALLINT record = 1;; ++record) {
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    const SQLRETURN rc = SQLGetDiagRec(handleType, handle, record, state, &native, text.data(),
                                       static_cast<SQLSMALLINT>(text.size()), &length);
    // A message longer than the buffer comes back cut, with a warning.
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
      break;
    state[SQL_SQLSTATE_SIZE] = 0;
    text.back() = 0;
    if (std::strcmp(reinterpret_cast<const char *>(state), "01004") == 0)
      continue;
    addLine(std::string("ODBC error message: ") + reinterpret_cast<const char *>(state) + " " +
            reinterpret_cast<const char *>(text.data()) + " " + std::to_string(native));
  }
}
