// Reading the variables of a stored node back into the registered variables
// of an object. Reading is driven by the registry: a row changes a variable
// only when a variable with its tag is registered; nothing is added to or
// removed from a registry. Each vector kind is read with one statement per
// node (headers joined with their elements, in element order), and the
// variables are changed only after the statement is done.

#include "velta/persistency/PersistencyOdbc.h"

#include "PersistencyOdbcElements.h"
#include "PersistencyOdbcLog.h"
#include "velta/persistency/ErrorOdbc.h"
#include "velta/persistency/Integer.h"
#include "velta/persistency/IntegerVector.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/QuantityMatrix.h"
#include "velta/persistency/QuantityVector.h"
#include "velta/persistency/String.h"
#include "velta/persistency/StringVector.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

namespace {

const char *const function = "PersistencyOdbc::read";
const char *const prepareFailed =
    "Error in SQLPREPARE(hStatement_, (SQLCHAR*)sqlcommand.c_str(), SQL_NTS) ";
const char *const executeFailed = "Error in SQLExecute(hStatement_) ";
const char *const fetchFailed = "Error in SQLFetch(hStatement_) ";
const char *const closeFailed = "Error in SQLFreeStmt(hStatement_, SQL_CLOSE) ";
const char *const tagFailed =
    "Error in SQLGetData(hStatement_, 1, SQL_C_WCHAR, szData, sizeof(szData), &ValueLen) ";

// Runs a query of the rows of one node: the node id is its only parameter.
void queryNode(OdbcStatement &statement, const std::string &sqlcommand, int &nid) {
  statement.prepare(sqlcommand, function, prepareFailed);
  statement.bindInteger(1, &nid, function,
                        "Error in SQLBindParameter(hStatement_, 1, SQL_PARAM_INPUT, SQL_C_LONG, "
                        "SQL_INTEGER, 10, 0, &NIDbuffer, 0, nullptr) ");
  statement.execute(function, executeFailed);
}

std::string requiredTag(OdbcStatement &statement, const std::string &table) {
  const std::optional<std::string> tag = statement.getText(1, function, tagFailed);
  if (!tag)
    throw ErrorOdbc(function, "Could not read TAG field in " + table + " table");
  return *tag;
}

// What a read finds wrong with stored rows: names node, tag and table.
[[noreturn]] void damaged(int nid, const std::string &tag, const std::string &table,
                          const std::string &what) {
  throw ErrorOdbc(function, "Stored case is damaged: node " + std::to_string(nid) + ", tag \"" +
                                tag + "\" in table " + table + ": " + what);
}

// The SQLite driver hands doubles over as text of 15 digits, and SQLite's
// own printf is not exact either (nor are its conversions of huge or tiny
// numbers). There the VALUE column is read as the text "m k" of two
// integers, x = m * 2^-k exactly: m is x scaled by a power of two into
// [2^59, 2^61], which multiplications by powers of two and the conversion
// to an integer do without rounding. -0.0, which SQLite keeps as the bytes
// of its pattern (see setNegativeZero), reads "-0"; text or other bytes where
// a number belongs read "text" or "blob".
std::string doubleColumn(bool exactText, const std::string &column) {
  if (!exactText)
    return column;
  // Below 1e-280 the power of two would pass 2^1023: applied in two steps.
  const std::string scale = "(60 - CAST(floor(log2(abs(" + column + "))) AS INTEGER))";
  return "CASE typeof(" + column + ") WHEN 'null' THEN NULL WHEN 'integer' THEN printf('%lld 0', " +
         column + ") WHEN 'real' THEN CASE WHEN " + column + " = 0 THEN '0 0' WHEN abs(" + column +
         ") > 1e-280 THEN printf('%lld %d', CAST(" + column + " * pow(2, " + scale +
         ") AS INTEGER), " + scale + ") ELSE printf('%lld %d', CAST(" + column + " * pow(2, " +
         scale + " / 2) * pow(2, " + scale + " - " + scale + " / 2) AS INTEGER), " + scale +
         ") END WHEN 'blob' THEN CASE WHEN " + column + " = " + odbcElements::negativeZeroBytes +
         " THEN '-0' ELSE 'blob' END ELSE 'text' END";
}

// Where a stored number is read: for the error of a damaged row.
struct NumberPlace {
  int nid;
  const std::string &tag;
  const std::string &table;
};

std::optional<double> getStoredDouble(OdbcStatement &statement, int column, bool exactText,
                                      const char *message, const NumberPlace &place) {
  if (!exactText)
    return statement.getDouble(column, function, message);
  const std::optional<std::string> text = statement.getText(column, function, message);
  if (!text)
    return std::nullopt;
  if (*text == "-0")
    return -0.0;
  long long mantissa = 0;
  int scale = 0;
  const char *const end = text->data() + text->size();
  const auto [middle, error] = std::from_chars(text->data(), end, mantissa);
  const bool valid = error == std::errc() && middle != end && *middle == ' ' &&
                     std::from_chars(middle + 1, end, scale).ptr == end;
  if (!valid)
    damaged(place.nid, place.tag, place.table, "VALUE holds " + *text + " where a number belongs");
  return std::ldexp(static_cast<double>(mantissa), -scale);
}

// A stored SI value with the units of unit; keeps the sign of -0.0, which
// the conversion (x * factor + offset) would lose.
Value storedValue(double si, const std::string &unit) {
  Value value(si, unit);
  if (std::signbit(si) != std::signbit(value.value()))
    return Value(si, value.units());
  return value;
}

// A column that tells whether an integer column holds a 32-bit integer:
// SQLite keeps whatever it is given (text, 64-bit integers), and its driver
// would hand such a value over cut or as 0. "ok" when it does.
std::string integerCheck(bool sqlite, const std::string &column) {
  if (!sqlite)
    return "'ok'";
  return "CASE WHEN typeof(" + column + ") NOT IN ('integer', 'null') THEN typeof(" + column +
         ") WHEN " + column + " NOT BETWEEN -2147483648 AND 2147483647 THEN 'beyond 32 bits' " +
         "ELSE 'ok' END";
}

void requireInteger(OdbcStatement &statement, int column, const NumberPlace &place) {
  const std::optional<std::string> check = statement.getText(
      column, function,
      "Error in SQLGetData(hStatement_, 3, SQL_C_WCHAR, szData, sizeof(szData), &ValueLen) ");
  if (check && *check != "ok")
    damaged(place.nid, place.tag, place.table,
            "VALUE holds " + *check + " where an integer belongs");
}

// The stored elements of one vector header, and for quantities its unit.
template <class T> struct StoredVector {
  int id = -1;
  std::string unit;
  std::vector<T> values;
  long lastElement = -1;
};

// Element readers of the vector tables: column 4 of the joined query.
struct IntegerColumn {
  static constexpr bool integers = true;
  static int get(OdbcStatement &statement, const std::string &table, bool,
                 const NumberPlace &place) {
    requireInteger(statement, 5, place);
    const std::optional<int> value = statement.getInteger(
        4, function, "Error in SQLGetData(hStatement_, 1, SQL_C_LONG, &value, 10, &ValueLen) ");
    if (!value)
      throw ErrorOdbc(function, "Could not read VALUE field in " + table + " table");
    return *value;
  }
};
struct TextColumn {
  static constexpr bool integers = false;
  static std::string get(OdbcStatement &statement, const std::string &, bool, const NumberPlace &) {
    return statement
        .getText(4, function,
                 "Error in SQLGetData(hStatement_, 1, SQL_C_WCHAR, szData, sizeof(szData), "
                 "&ValueLen) ")
        .value_or("");
  }
};
struct DoubleColumn {
  static constexpr bool integers = false;
  static double get(OdbcStatement &statement, const std::string &table, bool exactText,
                    const NumberPlace &place) {
    const std::optional<double> value = getStoredDouble(
        statement, 4, exactText,
        "Error in SQLGetData(hStatement_, 1, SQL_C_DOUBLE, &value, 15, &ValueLen) ", place);
    if (!value)
      throw ErrorOdbc(function, "Could not read VALUE field in " + table + " table");
    return *value;
  }
};

// Headers of the node (with a registered tag) and their elements. A later
// header with the same tag replaces an earlier one. Quantity headers also
// give their unit (column 5) and flags (columns 6 and 7).
struct StoredFlags {
  bool input = false;
  bool output = false;
};

template <class Column, class T>
std::map<std::string, StoredVector<T>>
readStoredVectors(OdbcStatement &statement, int nid, const std::string &header,
                  const std::string &elements, const std::string &key, bool quantities,
                  std::map<std::string, StoredFlags> *flags,
                  const std::function<bool(const std::string &)> &registered, bool exactText,
                  int verbosity) {
  std::string sqlcommand =
      "SELECT h.TAG, h.ID, e.ID, " + (quantities ? doubleColumn(exactText, "e.VALUE") : "e.VALUE");
  if (quantities)
    sqlcommand += ", h.UNIT, h.INPUT, h.OUTPUT";
  else if (Column::integers)
    sqlcommand += ", " + integerCheck(exactText, "e.VALUE");
  sqlcommand += " FROM " + header + " h LEFT JOIN " + elements + " e ON e." + key +
                 " = h.ID WHERE h.NID = ? ORDER BY h.ID, e.ID";
  VELTA_LOG(verbosity + 1, 2, function, "sqlcommand = " << sqlcommand);
  queryNode(statement, sqlcommand, nid);
  std::map<std::string, StoredVector<T>> stored;
  while (statement.fetch(function, fetchFailed)) {
    const std::string tag = requiredTag(statement, header);
    if (!registered(tag)) {
      VELTA_LOG(verbosity + 1, 2, function, "skipping " << tag);
      continue;
    }
    const std::optional<int> id = statement.getInteger(
        2, function, "Error in SQLGetData(hStatement_, 2, SQL_C_LONG, &vid, 10, &ValueLen) ");
    if (!id)
      throw ErrorOdbc(function, "Could not read ID field in " + header + " table");
    StoredVector<T> &vector = stored[tag];
    if (vector.id != *id) {
      if (vector.id != -1)
        damaged(nid, tag, header, "two header rows for one variable");
      vector.id = *id;
      VELTA_LOG(verbosity + 1, 2, function, "reading " << tag);
    }
    const std::optional<int> element = statement.getInteger(
        3, function, "Error in SQLGetData(hStatement_, 3, SQL_C_LONG, &id, 10, &ValueLen) ");
    if (element) {
      // Element i of a vector is the row with id MIN(ID) + i (the update
      // relies on it): a gap means an element row is missing.
      if (!vector.values.empty() && *element != vector.lastElement + 1)
        damaged(nid, tag, elements, "element rows are not consecutive (an element row is missing)");
      vector.lastElement = *element;
      vector.values.push_back(Column::get(statement, elements, exactText, {nid, tag, elements}));
    }
    if (quantities) {
      vector.unit = statement
                        .getText(5, function,
                                 "Error in SQLGetData(hStatement_, 5, SQL_C_WCHAR, szData, "
                                 "sizeof(szData), &ValueLen) ")
                        .value_or("");
      StoredFlags &flag = (*flags)[tag];
      flag.input = statement
                       .getFlag(6, function,
                                "Error in SQLGetData(hStatement_, 6, SQL_C_BIT, &input, 1, "
                                "&ValueLen) ")
                       .value_or(false);
      flag.output = statement
                        .getFlag(7, function,
                                 "Error in SQLGetData(hStatement_, 7, SQL_C_BIT, &output, 1, "
                                 "&ValueLen) ")
                        .value_or(false);
    }
  }
  statement.close(function, closeFailed);
  return stored;
}

template <class Registry> std::function<bool(const std::string &)> inRegistry(const Registry &r) {
  return [&r](const std::string &tag) { return r.count(tag) > 0; };
}

// Fills quantity vectors and matrices: each element gets its value in the
// unit of the variable's first element, or, when that is not yet known (a
// vector that was empty before the read), in the stored unit. The stored
// flags set the variable's flags; a false flag never clears one.
template <class Registry>
void readQuantityVectors(OdbcStatement &statement, int nid, const Registry &registry,
                         const std::string &header, const std::string &elements,
                         const std::string &key, bool exactText, int verbosity) {
  if (registry.empty())
    return;
  std::map<std::string, StoredFlags> flags;
  const auto stored = readStoredVectors<DoubleColumn, double>(
      statement, nid, header, elements, key, true, &flags, inRegistry(registry), exactText,
      verbosity);
  for (const auto &[tag, variable] : registry) {
    const auto found = stored.find(tag);
    if (found == stored.end()) {
      VELTA_LOG(verbosity + 1, 2, function, "skipping " << tag);
      continue;
    }
    const StoredVector<double> &vector = found->second;
    if constexpr (std::is_same_v<Registry, QuantityMatrixRegistry>) {
      if (variable->rows() > 0 && vector.values.size() % variable->rows() != 0)
        damaged(nid, tag, elements,
                std::to_string(vector.values.size()) + " elements do not fill a matrix of " +
                    std::to_string(variable->rows()) + " rows");
    }
    if (vector.values.size() != variable->size())
      variable->resize(vector.values.size());
    if (!vector.values.empty()) {
      const Value &first = (*variable)[0];
      const std::string unit = first.units().isInvalid() ? vector.unit : first.uom();
      for (std::size_t i = 0; i < vector.values.size(); ++i)
        (*variable)[i] = storedValue(vector.values[i], unit);
    }
    if (flags[tag].input)
      variable->input() = true;
    if (flags[tag].output)
      variable->output() = true;
  }
}

} // namespace

void PersistencyOdbc::read(int nodeId, const IntegerRegistry &registry) {
  guarded(function, [&] {
    if (registry.empty())
      return;
    const std::string sqlcommand = "SELECT TAG, VALUE, " +
                                   integerCheck(dialect() == Dialect::sqlite, "VALUE") +
                                   " FROM I WHERE NID = ?";
    ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
    queryNode(statement_, sqlcommand, nodeId);
    std::set<std::string> seen;
    while (statement_.fetch(function, fetchFailed)) {
      const std::string tag = requiredTag(statement_, "I");
      if (!seen.insert(tag).second)
        damaged(nodeId, tag, "I", "two rows for one variable");
      requireInteger(statement_, 3, {nodeId, tag, "I"});
      const std::optional<int> value = statement_.getInteger(
          2, function, "Error in SQLGetData(hStatement_, 2, SQL_C_LONG, &value, 10, &ValueLen) ");
      if (!value)
        throw ErrorOdbc(function, "Could not read VALUE field in I table");
      const auto found = registry.find(tag);
      if (found == registry.end()) {
        ODBC_LOG(2, function, "skipping " << tag);
        continue;
      }
      ODBC_LOG(2, function, "reading " << tag << " = " << *value);
      *found->second = *value;
    }
    statement_.close(function, closeFailed);
  });
}

void PersistencyOdbc::read(int nodeId, const StringRegistry &registry) {
  guarded(function, [&] {
    if (registry.empty())
      return;
    const std::string sqlcommand = "SELECT TAG, VALUE FROM S WHERE NID = ?";
    ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
    queryNode(statement_, sqlcommand, nodeId);
    std::set<std::string> seen;
    while (statement_.fetch(function, fetchFailed)) {
      const std::string tag = statement_.getText(1, function, tagFailed).value_or("");
      if (!seen.insert(tag).second)
        damaged(nodeId, tag, "S", "two rows for one variable");
      const auto found = registry.find(tag);
      if (found == registry.end()) {
        ODBC_LOG(2, function, "skipping " << tag);
        continue;
      }
      const std::string value =
          statement_
              .getText(2, function,
                       "Error in SQLGetData(hStatement_, 2, SQL_C_WCHAR, szData, sizeof(szData), "
                       "&ValueLen) ")
              .value_or("");
      ODBC_LOG(2, function, "reading " << tag << " = " << value);
      *found->second = value;
    }
    statement_.close(function, closeFailed);
  });
}

void PersistencyOdbc::read(int nodeId, const QuantityRegistry &registry) {
  guarded(function, [&] {
    if (registry.empty())
      return;
    const bool exactText = dialect() == Dialect::sqlite;
    const std::string sqlcommand = "SELECT TAG, " + doubleColumn(exactText, "VALUE") +
                                   ", UNIT, INPUT, OUTPUT FROM Q WHERE NID = ?";
    ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
    queryNode(statement_, sqlcommand, nodeId);
    std::set<std::string> seen;
    while (statement_.fetch(function, fetchFailed)) {
      const std::string tag = requiredTag(statement_, "Q");
      const auto found = registry.find(tag);
      if (found == registry.end()) {
        ODBC_LOG(2, function, "skipping " << tag);
        continue;
      }
      if (!seen.insert(tag).second)
        damaged(nodeId, tag, "Q", "two rows for one variable");
      const std::optional<double> value = getStoredDouble(
          statement_, 2, exactText,
          "Error in SQLGetData(hStatement_, 2, SQL_C_DOUBLE, &valueBuffer, 15, &ValueLen) ",
          {nodeId, tag, "Q"});
      if (!value)
        throw ErrorOdbc(function, "Could not read VALUE field in Q table");
      const std::string unit =
          statement_
              .getText(3, function,
                       "Error in SQLGetData(hStatement_, 3, SQL_C_WCHAR, szData, sizeof(szData), "
                       "&ValueLen) ")
              .value_or("");
      const std::optional<bool> input = statement_.getFlag(
          4, function, "Error in SQLGetData(hStatement_, 4, SQL_C_BIT, &input, 1, &ValueLen) ");
      if (!input)
        VELTA_LOG(verbosity() + 1, -100, function, "impossible to read INPUT for " << tag);
      const std::optional<bool> output = statement_.getFlag(
          5, function, "Error in SQLGetData(hStatement_, 5, SQL_C_BIT, &output, 1, &ValueLen) ");
      const bool isInput = input.value_or(false);
      const bool isOutput = output.value_or(false);
      ODBC_LOG(2, function,
               "reading " << tag << " = " << *value << " " << unit
                          << " input = " << (isInput ? "true" : "false")
                          << " output = " << (isOutput ? "true" : "false"));
      Quantity &quantity = *found->second;
      quantity = storedValue(*value, unit);
      if (isInput)
        quantity.setInput();
      if (isOutput)
        quantity.setOutput();
    }
    statement_.close(function, closeFailed);
  });
}

void PersistencyOdbc::read(int nodeId, const IntegerVectorRegistry &registry) {
  guarded(function, [&] {
    if (registry.empty())
      return;
    const auto stored = readStoredVectors<IntegerColumn, int>(
        statement_, nodeId, "IV", "IVV", "VID", false, nullptr, inRegistry(registry),
        dialect() == Dialect::sqlite, verbosity());
    for (const auto &[tag, variable] : registry) {
      const auto found = stored.find(tag);
      if (found == stored.end()) {
        ODBC_LOG(2, function, "skipping " << tag);
        continue;
      }
      variable->value() = found->second.values;
    }
  });
}

void PersistencyOdbc::read(int nodeId, const StringVectorRegistry &registry) {
  guarded(function, [&] {
    if (registry.empty())
      return;
    const auto stored = readStoredVectors<TextColumn, std::string>(
        statement_, nodeId, "SV", "SVV", "VID", false, nullptr, inRegistry(registry),
        dialect() == Dialect::sqlite, verbosity());
    for (const auto &[tag, variable] : registry) {
      const auto found = stored.find(tag);
      if (found == stored.end()) {
        ODBC_LOG(2, function, "skipping " << tag);
        continue;
      }
      variable->value() = found->second.values;
      for (const std::string &value : found->second.values)
        ODBC_LOG(2, function, "reading " << tag << " = " << value);
    }
  });
}

void PersistencyOdbc::read(int nodeId, const QuantityVectorRegistry &registry) {
  guarded(function, [&] {
    readQuantityVectors(statement_, nodeId, registry, "QV", "QVV", "VID",
                        dialect() == Dialect::sqlite, verbosity());
  });
}

void PersistencyOdbc::read(int nodeId, const QuantityMatrixRegistry &registry) {
  guarded(function, [&] {
    readQuantityVectors(statement_, nodeId, registry, "QM", "QMV", "MID",
                        dialect() == Dialect::sqlite, verbosity());
  });
}
