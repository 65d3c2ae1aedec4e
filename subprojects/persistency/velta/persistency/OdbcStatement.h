#pragma once
// One ODBC statement handle and the calls made on it. Every call checks its
// result: SQL_SUCCESS and SQL_SUCCESS_WITH_INFO pass (so does SQL_NO_DATA
// where a call can return it, as its result); anything else throws ErrorOdbc
// in its diagnostic form, named after the given function and carrying the
// given message and the statement's diagnostic records.
//
// Statement texts pass through the 8-bit entry points; text parameters and
// text columns are exchanged as UTF-16 and converted from and to UTF-8 here.

#include "velta/persistency/OdbcHandle.h"

#include <optional>
#include <string>

class OdbcStatement {
public:
  OdbcStatement() = default;
  OdbcStatement(const OdbcStatement &) = delete;
  OdbcStatement &operator=(const OdbcStatement &) = delete;

  // Allocates the handle on a connection handle; a failure carries the
  // connection's records.
  void allocate(void *connection, const char *function, const char *message);
  // Releases the handle (once; later calls do nothing).
  void release() noexcept { handle_.release(); }
  void *handle() const { return handle_.get(); }
  explicit operator bool() const { return static_cast<bool>(handle_); }

  // Runs a statement without parameters. Returns true, or false when the
  // driver reports SQL_NO_DATA (a searched UPDATE or DELETE that matched no row).
  bool execDirect(const std::string &sql, const char *function, const char *message);
  // Prepares a statement for repeated execution; earlier parameter bindings
  // of the handle are dropped first.
  void prepare(const std::string &sql, const char *function, const char *message);
  // Executes the prepared statement; false on SQL_NO_DATA as above.
  bool execute(const char *function, const char *message);

  // Input parameters bound once to buffers that the caller refills before
  // each execution; decimal digits 0, no length indicator, never NULL.
  void bindInteger(int marker, int *buffer, const char *function, const char *message);
  void bindDouble(int marker, double *buffer, const char *function, const char *message);
  void bindFlag(int marker, unsigned char *buffer, const char *function, const char *message);
  // A zero-terminated UTF-16 buffer for a column of columnSize characters.
  void bindText(int marker, char16_t *buffer, int columnSize, const char *function,
                const char *message);

  // Moves to the next row: true on a row, false when there are no more.
  bool fetch(const char *function, const char *message);
  // Columns of the current row, each read once; std::nullopt for NULL.
  std::optional<int> getInteger(int column, const char *function, const char *message);
  std::optional<long long> getBigInteger(int column, const char *function, const char *message);
  std::optional<double> getDouble(int column, const char *function, const char *message);
  std::optional<bool> getFlag(int column, const char *function, const char *message);
  // The whole text however long, read in pieces, converted to UTF-8.
  std::optional<std::string> getText(int column, const char *function, const char *message);
  // The same for a driver that hands its UTF-8 texts over unchanged as 8-bit
  // characters (SQLite's): read as such and checked to be UTF-8 (unless
  // the caller checks it later), without the way through UTF-16.
  std::optional<std::string> getUtf8Text(int column, const char *function, const char *message,
                                         bool check = true);

  // Rows changed by the last UPDATE, INSERT or DELETE.
  long rowCount(const char *function, const char *message);

  // Closes the cursor and drops the parameter bindings, so that the handle
  // is idle for the next statement; a statement executed again keeps its
  // bindings (resetParameters false).
  void close(const char *function, const char *message, bool resetParameters = true);
  // The same on failure paths: results are not examined.
  void closeQuietly() noexcept;
  // Closes the cursor only, keeping the parameter bindings of a statement
  // that is executed again; results are not examined.
  void closeCursorQuietly() noexcept;
  // Drops the parameter bindings (before new ones are made).
  void resetParameters() noexcept;

private:
  void check(short rc, const char *function, const char *message);
  // The whole text of a column as characters of the C type cType (wide or
  // 8-bit), fetched piece by piece; std::nullopt for NULL.
  template <class Char>
  std::optional<std::basic_string<Char>> getPieces(int column, short cType, const char *function,
                                                   const char *message);

  OdbcHandle handle_{OdbcHandleType::statement};
};
