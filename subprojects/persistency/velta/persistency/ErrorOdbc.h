#pragma once
// Failure of the database layer. Like every Error it is nothing but its
// text: the opening naming the thrower, the line
//   "Odbc database driver Error: error in call to " + message
// and, in the diagnostic form, one line per diagnostic record of the handle
// on which the failed call was made:
//   "ODBC error message: " + SQLSTATE + " " + driver text + " " + native code
// (records of the truncation warning 01004 are left out), or the single line
// "ODBC error message: Invalid handle" when the call returned SQL_INVALID_HANDLE.

#include "velta/utility/Error.h"

class ErrorOdbc : public Error {
public:
  // Plain form: no diagnostic records.
  ErrorOdbc(const char *function, const char *message);
  ErrorOdbc(const char *function, const std::string &message);
  // Diagnostic form. handle and handleType name the handle the failed call
  // was made on (for an allocation, its input handle); returnCode is the
  // call's result. Handle types are those of SQLGetDiagRec (SQL_HANDLE_ENV,
  // SQL_HANDLE_DBC, SQL_HANDLE_STMT).
  ErrorOdbc(const char *function, const char *message, void *handle, short handleType,
            short returnCode);
};

// The row asked for is not in the store ("Not found"): the one failure of a
// read that says the store answered, and the object it names does not exist.
class ErrorOdbcNotFound : public ErrorOdbc {
public:
  explicit ErrorOdbcNotFound(const char *function) : ErrorOdbc(function, "Not found") {}
};
