// Reading the variables of a stored node back into the registered variables
// of an object. Reading is driven by the registry: a row changes a variable
// only when a variable with its tag is registered; nothing is added to or
// removed from a registry. Each vector kind is read with one statement per
// node (headers joined with their elements, in element order), and the
// variables are changed only after the statement is done.

#include "velta/persistency/PersistencyOdbc.h"

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
#include <functional>
#include <map>
#include <optional>
#include <string>
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

// The SQLite driver hands doubles over as text of 15 digits, which loses
// bits; there the VALUE column is read as text of 17 digits instead, which
// gives every double back exactly.
std::string doubleColumn(bool exactText, const std::string &column) {
  if (!exactText)
    return column;
  return "CASE WHEN " + column + " IS NULL THEN NULL ELSE printf('%!.17g', " + column + ") END";
}

std::optional<double> getStoredDouble(OdbcStatement &statement, int column, bool exactText,
                                      const char *message) {
  if (!exactText)
    return statement.getDouble(column, function, message);
  const std::optional<std::string> text = statement.getText(column, function, message);
  if (!text)
    return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (error != std::errc() || end != text->data() + text->size())
    throw ErrorOdbc(function, "Could not read a number from \"" + *text + "\"");
  return value;
}

// The stored elements of one vector header, and for quantities its unit.
template <class T> struct StoredVector {
  int id = -1;
  std::string unit;
  std::vector<T> values;
};

// Element readers of the vector tables: column 4 of the joined query.
struct IntegerColumn {
  static int get(OdbcStatement &statement, const std::string &table, bool) {
    const std::optional<int> value = statement.getInteger(
        4, function, "Error in SQLGetData(hStatement_, 1, SQL_C_LONG, &value, 10, &ValueLen) ");
    if (!value)
      throw ErrorOdbc(function, "Could not read VALUE field in " + table + " table");
    return *value;
  }
};
struct TextColumn {
  static std::string get(OdbcStatement &statement, const std::string &, bool) {
    return statement
        .getText(4, function,
                 "Error in SQLGetData(hStatement_, 1, SQL_C_WCHAR, szData, sizeof(szData), "
                 "&ValueLen) ")
        .value_or("");
  }
};
struct DoubleColumn {
  static double get(OdbcStatement &statement, const std::string &table, bool exactText) {
    const std::optional<double> value = getStoredDouble(
        statement, 4, exactText,
        "Error in SQLGetData(hStatement_, 1, SQL_C_DOUBLE, &value, 15, &ValueLen) ");
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
      vector = StoredVector<T>{*id, {}, {}};
      VELTA_LOG(verbosity + 1, 2, function, "reading " << tag);
    }
    const bool hasElement =
        statement
            .getInteger(3, function,
                        "Error in SQLGetData(hStatement_, 3, SQL_C_LONG, &id, 10, &ValueLen) ")
            .has_value();
    if (hasElement)
      vector.values.push_back(Column::get(statement, elements, exactText));
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
    if (vector.values.size() != variable->size())
      variable->resize(vector.values.size());
    if (!vector.values.empty()) {
      const Value &first = (*variable)[0];
      const std::string unit = first.units().isInvalid() ? vector.unit : first.uom();
      for (std::size_t i = 0; i < vector.values.size(); ++i)
        (*variable)[i] = Value(vector.values[i], unit);
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
    const std::string sqlcommand = "SELECT TAG, VALUE FROM I WHERE NID = ?";
    ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
    queryNode(statement_, sqlcommand, nodeId);
    while (statement_.fetch(function, fetchFailed)) {
      const std::string tag = requiredTag(statement_, "I");
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
    while (statement_.fetch(function, fetchFailed)) {
      const std::string tag = statement_.getText(1, function, tagFailed).value_or("");
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
    while (statement_.fetch(function, fetchFailed)) {
      const std::string tag = requiredTag(statement_, "Q");
      const auto found = registry.find(tag);
      if (found == registry.end()) {
        ODBC_LOG(2, function, "skipping " << tag);
        continue;
      }
      const std::optional<double> value = getStoredDouble(
          statement_, 2, exactText,
          "Error in SQLGetData(hStatement_, 2, SQL_C_DOUBLE, &valueBuffer, 15, &ValueLen) ");
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
      quantity = Value(*value, unit);
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
        statement_, nodeId, "IV", "IVV", "VID", false, nullptr, inRegistry(registry), false,
        verbosity());
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
        statement_, nodeId, "SV", "SVV", "VID", false, nullptr, inRegistry(registry), false,
        verbosity());
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
