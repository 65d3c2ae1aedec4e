#include "velta/persistency/OdbcStatement.h"

#include "velta/persistency/ErrorOdbc.h"
#include "velta/utility/UtfConverter.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <vector>

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver manager must use 2-byte SQLWCHAR");

namespace {

bool succeeded(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

SQLCHAR *sqlText(const std::string &sql) {
  return reinterpret_cast<SQLCHAR *>(const_cast<char *>(sql.c_str()));
}

} // namespace

void OdbcStatement::check(short rc, const char *function, const char *message) {
  if (!succeeded(rc))
    throw ErrorOdbc(function, message, handle_.get(), SQL_HANDLE_STMT, rc);
}

void OdbcStatement::allocate(void *connection, const char *function, const char *message) {
  const SQLRETURN rc = handle_.allocate(connection);
  if (!succeeded(rc))
    throw ErrorOdbc(function, message, connection, SQL_HANDLE_DBC, rc);
}

bool OdbcStatement::execDirect(const std::string &sql, const char *function, const char *message) {
  const SQLRETURN rc = SQLExecDirect(handle_.get(), sqlText(sql), SQL_NTS);
  if (rc == SQL_NO_DATA)
    return false;
  check(rc, function, message);
  return true;
}

void OdbcStatement::prepare(const std::string &sql, const char *function, const char *message) {
  SQLFreeStmt(handle_.get(), SQL_RESET_PARAMS);
  check(SQLPrepare(handle_.get(), sqlText(sql), SQL_NTS), function, message);
}

bool OdbcStatement::execute(const char *function, const char *message) {
  const SQLRETURN rc = SQLExecute(handle_.get());
  if (rc == SQL_NO_DATA)
    return false;
  check(rc, function, message);
  return true;
}

void OdbcStatement::bindInteger(int marker, int *buffer, const char *function,
                                const char *message) {
  static_assert(sizeof(int) == sizeof(SQLINTEGER));
  check(SQLBindParameter(handle_.get(), marker, SQL_PARAM_INPUT, SQL_C_LONG, SQL_INTEGER, 10, 0,
                         buffer, 0, nullptr),
        function, message);
}

void OdbcStatement::bindDouble(int marker, double *buffer, const char *function,
                               const char *message) {
  check(SQLBindParameter(handle_.get(), marker, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 15, 0,
                         buffer, 0, nullptr),
        function, message);
}

void OdbcStatement::bindFlag(int marker, unsigned char *buffer, const char *function,
                             const char *message) {
  check(SQLBindParameter(handle_.get(), marker, SQL_PARAM_INPUT, SQL_C_BIT, SQL_BIT, 10, 0, buffer,
                         0, nullptr),
        function, message);
}

void OdbcStatement::bindText(int marker, char16_t *buffer, int columnSize, const char *function,
                             const char *message) {
  check(SQLBindParameter(handle_.get(), marker, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WCHAR, columnSize,
                         0, buffer, 0, nullptr),
        function, message);
}

bool OdbcStatement::fetch(const char *function, const char *message) {
  const SQLRETURN rc = SQLFetch(handle_.get());
  if (rc == SQL_NO_DATA)
    return false;
  check(rc, function, message);
  return true;
}

std::optional<int> OdbcStatement::getInteger(int column, const char *function,
                                             const char *message) {
  SQLINTEGER value = 0;
  SQLLEN indicator = 0;
  check(SQLGetData(handle_.get(), column, SQL_C_LONG, &value, 0, &indicator), function, message);
  if (indicator == SQL_NULL_DATA)
    return std::nullopt;
  return value;
}

std::optional<long long> OdbcStatement::getBigInteger(int column, const char *function,
                                                      const char *message) {
  SQLBIGINT value = 0;
  SQLLEN indicator = 0;
  check(SQLGetData(handle_.get(), column, SQL_C_SBIGINT, &value, 0, &indicator), function, message);
  if (indicator == SQL_NULL_DATA)
    return std::nullopt;
  return static_cast<long long>(value);
}

std::optional<double> OdbcStatement::getDouble(int column, const char *function,
                                               const char *message) {
  double value = 0;
  SQLLEN indicator = 0;
  check(SQLGetData(handle_.get(), column, SQL_C_DOUBLE, &value, 0, &indicator), function, message);
  if (indicator == SQL_NULL_DATA)
    return std::nullopt;
  return value;
}

std::optional<bool> OdbcStatement::getFlag(int column, const char *function, const char *message) {
  unsigned char value = 0;
  SQLLEN indicator = 0;
  check(SQLGetData(handle_.get(), column, SQL_C_BIT, &value, 1, &indicator), function, message);
  if (indicator == SQL_NULL_DATA)
    return std::nullopt;
  return value != 0;
}

template <class Char>
std::optional<std::basic_string<Char>>
OdbcStatement::getPieces(int column, short cType, const char *function, const char *message) {
  // Long texts arrive in pieces: each cut piece fills the buffer but for the
  // terminator; the last piece reports its own length. Once the driver has
  // told the whole length, the rest comes in one piece.
  Char first[512 / sizeof(Char)];
  std::vector<Char> rest;
  Char *piece = first;
  SQLLEN capacity = sizeof(first);
  std::basic_string<Char> text;
  for (;;) {
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(handle_.get(), column, cType, piece, capacity, &indicator);
    if (rc == SQL_NO_DATA)
      break;
    check(rc, function, message);
    if (indicator == SQL_NULL_DATA)
      return std::nullopt;
    const bool cut =
        rc == SQL_SUCCESS_WITH_INFO && (indicator == SQL_NO_TOTAL || indicator >= capacity);
    const std::size_t room = static_cast<std::size_t>(capacity) / sizeof(Char) - 1;
    const std::size_t units =
        cut ? room : std::min(room, static_cast<std::size_t>(indicator) / sizeof(Char));
    text.append(piece, units);
    if (!cut)
      break;
    if (indicator != SQL_NO_TOTAL && rest.empty()) {
      // The indicator counts the bytes left before this piece.
      rest.resize(static_cast<std::size_t>(indicator) / sizeof(Char) - units + 1);
      piece = rest.data();
      capacity = static_cast<SQLLEN>(rest.size() * sizeof(Char));
    }
  }
  return text;
}

std::optional<std::string> OdbcStatement::getText(int column, const char *function,
                                                  const char *message) {
  static_assert(sizeof(SQLWCHAR) == sizeof(char16_t));
  const std::optional<std::u16string> text =
      getPieces<char16_t>(column, SQL_C_WCHAR, function, message);
  if (!text)
    return std::nullopt;
  return UtfConverter::wideToUtf8(std::u16string_view(*text));
}

std::optional<std::string> OdbcStatement::getUtf8Text(int column, const char *function,
                                                      const char *message, bool check) {
  std::optional<std::string> text = getPieces<char>(column, SQL_C_CHAR, function, message);
  // Plain ASCII needs no closer look.
  if (check && text && std::any_of(text->begin(), text->end(), [](char c) { return (c & 0x80) != 0; }))
    for (const char *position = text->c_str(); *position;)
      UtfConverter::nextCodePoint(position);
  return text;
}

long OdbcStatement::rowCount(const char *function, const char *message) {
  SQLLEN count = 0;
  check(SQLRowCount(handle_.get(), &count), function, message);
  return static_cast<long>(count);
}

void OdbcStatement::close(const char *function, const char *message, bool resetParameters) {
  check(SQLFreeStmt(handle_.get(), SQL_CLOSE), function, message);
  if (resetParameters)
    SQLFreeStmt(handle_.get(), SQL_RESET_PARAMS);
}

void OdbcStatement::closeQuietly() noexcept {
  if (handle_) {
    SQLFreeStmt(handle_.get(), SQL_CLOSE);
    SQLFreeStmt(handle_.get(), SQL_RESET_PARAMS);
  }
}

void OdbcStatement::closeCursorQuietly() noexcept {
  if (handle_)
    SQLFreeStmt(handle_.get(), SQL_CLOSE);
}

void OdbcStatement::resetParameters() noexcept {
  if (handle_)
    SQLFreeStmt(handle_.get(), SQL_RESET_PARAMS);
}
