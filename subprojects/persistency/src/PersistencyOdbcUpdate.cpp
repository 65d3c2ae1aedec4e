// Writing the current values of stored variables back, and touching the
// update time of node rows. Updates change values only: a scalar row gets
// its VALUE, a vector keeps its header and gets its element rows rewritten
// (in place when the stored count equals the in-memory one and the element
// ids are consecutive, else deleted and inserted anew). Nothing is added for
// variables without rows, and rows of unregistered tags stay as they are.
// Rows go to the server several at a time, as UPDATE ... FROM (VALUES ...)
// joins that SQLite and PostgreSQL both accept; the VALUES columns are cast
// because PostgreSQL cannot infer the types of their parameters. Setting a
// value twice is harmless, so a run's tail is padded with its last row
// rather than split into many small statements.

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

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

const char *const scalarFunction = "PersistencyOdbc::update";
const char *const vectorFunction = "PersistencyOdbc::updateVector";
const char *const prepareFailed =
    "Error in SQLPREPARE(hStatement_, (SQLCHAR*)sqlcommand.c_str(), SQL_NTS) ";
const char *const executeFailed = "Error in SQLExecute(hStatement_) ";
const char *const closeFailed = "Error in SQLFreeStmt(hStatement_, SQL_CLOSE) ";

using odbcElements::IntegerElement;
using odbcElements::QuantityElement;
using odbcElements::TextElement;

using odbcElements::Padding;
using odbcElements::RowBatches;

// The current value of a scalar variable, by the buffer it is bound from.
void fill(IntegerElement &element, const Integer &variable) { element.fill(variable.value()); }
void fill(TextElement &element, const String &variable) { element.fill(variable.value()); }
void fill(QuantityElement &element, const Quantity &variable) { element.fill(variable); }

// One scalar row to update: its node, its tag (matched exactly) and value.
template <class Element> struct ScalarRow {
  static constexpr int markers = 3;
  int nid = 0;
  OdbcTagText tag;
  Element value;

  void bind(OdbcStatement &statement, int firstMarker) {
    statement.bindInteger(firstMarker, &nid, scalarFunction,
                          "Error in SQLBindParameter(hStatement_, 1, SQL_PARAM_INPUT, SQL_C_LONG, "
                          "SQL_INTEGER, 10, 0, &NIDbuffer, 0, nullptr) ");
    statement.bindText(firstMarker + 1, tag.data(), tag.columnSize, scalarFunction,
                       "Error in SQLBindParameter(hStatement_, 2, SQL_PARAM_INPUT, SQL_C_WCHAR, "
                       "SQL_WCHAR, tagBufferSize, 0, tagBuffer, 0, nullptr) ");
    value.bind(statement, firstMarker + 2, scalarFunction,
               "Error in SQLBindParameter(hStatement, 3, SQL_PARAM_INPUT, ...) ");
  }
};

// Why the rows changed by an update of a node's variables differ from the
// variables: names the first registered tag with no stored row or with
// more than one (headers of a vector table, or rows of a scalar table).
template <class Registry>
[[noreturn]] void refuseUnmatched(OdbcStatement &statement, int nodeId, const Registry &registry,
                                  const std::string &table, const char *function) {
  int nid = nodeId;
  const std::string sqlcommand =
      "SELECT TAG, COUNT(*) FROM " + table + " WHERE NID = ? GROUP BY TAG";
  statement.prepare(sqlcommand, function, prepareFailed);
  statement.bindInteger(1, &nid, function,
                        "Error in SQLBindParameter(hStatement_, 1, SQL_PARAM_INPUT, SQL_C_LONG, "
                        "SQL_INTEGER, 10, 0, &NIDbuffer, 0, nullptr) ");
  statement.execute(function, executeFailed);
  std::map<std::string, int> stored;
  while (statement.fetch(function, "Error in SQLFetch(hStatement_) ")) {
    const std::optional<std::string> tag = statement.getText(
        1, function,
        "Error in SQLGetData(hStatement_, 1, SQL_C_WCHAR, szData, sizeof(szData), &ValueLen) ");
    const std::optional<int> count = statement.getInteger(
        2, function, "Error in SQLGetData(hStatement_, 2, SQL_C_LONG, &count, 0, &ValueLen) ");
    if (tag)
      stored[*tag] = count.value_or(0);
  }
  statement.close(function, closeFailed);
  for (const auto &[tag, variable] : registry) {
    const auto found = stored.find(tag);
    if (found == stored.end())
      throw ErrorOdbc(function, "Update of variable " + variable->fullTag() +
                                    " matched no stored row: node " + std::to_string(nodeId) +
                                    " has no row with tag \"" + tag + "\" in table " + table);
    if (found->second > 1)
      throw ErrorOdbc(function, "Stored case is damaged: node " + std::to_string(nodeId) + " has " +
                                    std::to_string(found->second) + " rows with tag \"" + tag +
                                    "\" in table " + table);
  }
  throw ErrorOdbc(function, "Update of the variables of node " + std::to_string(nodeId) +
                                " in table " + table + " changed rows it was not given");
}

// The variables of a registry, several per statement. Every variable must
// change exactly one row: a variable without a row, or with two, is an
// error (the store was changed under the case, or is damaged).
template <class Element, class Registry>
void updateScalars(OdbcStatement &statement, void *connection, int nodeId, const Registry &registry,
                   const std::string &table, bool sqlite, int verbosity) {
  if (registry.empty())
    return;
  std::vector<typename Registry::mapped_type> variables;
  variables.reserve(registry.size());
  for (const auto &entry : registry)
    variables.push_back(entry.second);
  RowBatches<ScalarRow<Element>> batches(
      connection,
      {"UPDATE " + table + " SET VALUE = v.column3 FROM (VALUES ",
       std::string("(CAST(? AS INTEGER), CAST(? AS VARCHAR), CAST(? AS ") + Element::sqlType + "))",
       ") AS v WHERE " + table + ".NID = v.column1 AND " + table + ".TAG = v.column2"},
      scalarFunction, verbosity, Padding::repeatLastRow);
  const long changed = batches.send(variables.size(), [&](ScalarRow<Element> &row, std::size_t i) {
    row.nid = nodeId;
    row.tag.assign(variables[i]->tag());
    fill(row.value, *variables[i]);
  });
  if (changed != static_cast<long>(variables.size()))
    refuseUnmatched(statement, nodeId, registry, table, scalarFunction);
  if constexpr (Element::isDouble)
    if (sqlite)
      for (const auto *variable : variables)
        if (odbcElements::isNegativeZero(variable->value()))
          odbcElements::setNegativeZero(connection, table, "NID = ? AND TAG = ?", nodeId,
                                        &variable->tag(), scalarFunction);
}

// One element row: its id (in place) or its header's id (replacement), and
// its value.
template <class Element> struct ElementRow {
  static constexpr int markers = 2;
  int key = 0;
  Element value;

  void bind(OdbcStatement &statement, int firstMarker) {
    statement.bindInteger(firstMarker, &key, vectorFunction,
                          "Error in SQLBindParameter(h, 1, SQL_PARAM_INPUT, SQL_C_LONG, "
                          "SQL_INTEGER, 10, 0, &idBuffer, 0, nullptr) ");
    value.bind(statement, firstMarker + 1, vectorFunction,
               "Error in SQLBindParameter(h, 2, SQL_PARAM_INPUT, ...) ");
  }
};

// A stored header of the node with its element rows' count and id range.
struct StoredHeader {
  int id = 0;
  std::string tag;
  int count = 0;
  int minId = 0;
  int maxId = 0;
};

template <class Element, class Registry>
void updateVectors(OdbcStatement &statement, void *connection, int nodeId, const Registry &registry,
                   const std::string &table, const std::string &key, bool sqlite, int verbosity) {
  if (registry.empty())
    return;
  const char *const function = vectorFunction;
  const std::string elements = table + "V";
  int nid = nodeId;
  std::string sqlcommand = "SELECT h.ID, TRIM(h.TAG), COUNT(e.ID), MIN(e.ID), MAX(e.ID) FROM " +
                           table + " h LEFT JOIN " + elements + " e ON e." + key +
                           " = h.ID WHERE h.NID = ? GROUP BY h.ID, h.TAG ORDER BY h.ID";
  VELTA_LOG(verbosity + 1, 2, function, "sqlcommand = " << sqlcommand);
  statement.prepare(sqlcommand, function, prepareFailed);
  statement.bindInteger(1, &nid, function,
                        "Error in SQLBindParameter(hStatement_, 1, SQL_PARAM_INPUT, SQL_C_LONG, "
                        "SQL_INTEGER, 10, 0, &NIDbuffer, 0, nullptr) ");
  statement.execute(function, executeFailed);
  std::vector<StoredHeader> headers;
  while (statement.fetch(function, "Error in SQLFetch(hStatement_) ")) {
    StoredHeader header;
    const std::optional<int> id = statement.getInteger(
        1, function, "Error in SQLGetData(hStatement_, 1, SQL_C_LONG, &vid, 10, &ValueLen) ");
    if (!id)
      throw ErrorOdbc(function, "Could not read ID field in VV table");
    header.id = *id;
    const std::optional<std::string> tag = statement.getText(
        2, function,
        "Error in SQLGetData(hStatement_, 2, SQL_C_WCHAR, szData, sizeof(szData), &ValueLen) ");
    if (!tag)
      throw ErrorOdbc(function, "Could not read TAG field in VV table");
    header.tag = *tag;
    const std::optional<int> count = statement.getInteger(
        3, function, "Error in SQLGetData(h, 1, SQL_C_LONG, &count_id, 0, &ValueLen) ");
    if (!count)
      throw ErrorOdbc(function, "Could not read count");
    header.count = *count;
    if (header.count > 0) {
      header.minId = statement
                         .getInteger(4, function,
                                     "Error in SQLGetData(h, 2, SQL_C_LONG, &min_id, 0, "
                                     "&ValueLen) ")
                         .value_or(0);
      header.maxId = statement
                         .getInteger(5, function,
                                     "Error in SQLGetData(h, 3, SQL_C_LONG, &max_id, 0, "
                                     "&ValueLen) ")
                         .value_or(0);
    }
    headers.push_back(header);
  }
  statement.close(function, closeFailed);
  // Every registered vector has exactly one header among them.
  std::map<std::string, int> headersOfTag;
  for (const StoredHeader &header : headers)
    ++headersOfTag[header.tag];
  for (const auto &entry : registry)
    if (headersOfTag[entry.first] != 1)
      refuseUnmatched(statement, nodeId, registry, table, function);

  // In place: the element ids of one vector are consecutive from MIN(ID).
  RowBatches<ElementRow<Element>> inPlace(
      connection,
      {"UPDATE " + elements + " SET VALUE = v.column2 FROM (VALUES ",
       std::string("(CAST(? AS INTEGER), CAST(? AS ") + Element::sqlType + "))",
       ") AS v WHERE " + elements + ".ID = v.column1"},
      function, verbosity, Padding::repeatLastRow);
  // Replacement: all element rows of the header deleted, the current
  // elements inserted in element order (consecutive ids again).
  int headerId = 0;
  OdbcStatement removal;
  RowBatches<ElementRow<Element>> addition(
      connection, {"INSERT INTO " + elements + " (" + key + ", VALUE) VALUES ", "(?, ?)", ""},
      function, verbosity);
  for (const StoredHeader &header : headers) {
    const auto found = registry.find(header.tag);
    if (found == registry.end()) {
      VELTA_LOG(verbosity + 1, 2, function, "skipping " << header.tag);
      continue;
    }
    const auto &values = found->second->value();
    VELTA_LOG(verbosity + 1, 2, function,
              "reading " << header.tag << " count_id = " << header.count
                         << " vector size = " << values.size());
    const bool consecutive = header.count == 0 || header.maxId - header.minId + 1 == header.count;
    if (consecutive && static_cast<std::size_t>(header.count) == values.size()) {
      inPlace.send(values.size(), [&](ElementRow<Element> &row, std::size_t i) {
        row.key = header.minId + static_cast<int>(i);
        row.value.fill(values[i]);
      });
      if constexpr (Element::isDouble)
        if (sqlite)
          odbcElements::setNegativeZeroElements(connection, elements, key, header.id, values,
                                                function);
      continue;
    }
    if (!removal) {
      removal.allocate(connection, function,
                       "Error in SQLAllocHandle(SQL_HANDLE_STMT, hConnection_, &h) ");
      removal.prepare("DELETE FROM " + elements + " WHERE " + key + " = ?", function,
                      "Error while DELETing ");
      removal.bindInteger(1, &headerId, function,
                          "Error in SQLBindParameter(h, 1, SQL_PARAM_INPUT, SQL_C_LONG, "
                          "SQL_INTEGER, 10, 0, &idBuffer, 0, nullptr) ");
    }
    headerId = header.id;
    if (removal.execute(function, "Error while DELETing "))
      VELTA_LOG(verbosity + 1, 2, function,
                "Deleted " << removal.rowCount(function, "Error in SQLRowCount(h, &RowCount) ")
                           << " items");
    else
      VELTA_LOG(verbosity + 1, 2, function, "No rows deleted");
    addition.send(values.size(), [&](ElementRow<Element> &row, std::size_t i) {
      row.key = header.id;
      row.value.fill(values[i]);
    });
    if constexpr (Element::isDouble)
      if (sqlite)
        odbcElements::setNegativeZeroElements(connection, elements, key, header.id, values,
                                              function);
  }
}

} // namespace

void PersistencyOdbc::update(int id) {
  const char *const function = scalarFunction;
  guarded(function, [&] {
    // The client's clock, as seconds since 1970: the same on every database.
    double now = std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
                     .count();
    int nodeId = id;
    const std::string sqlcommand = "UPDATE N SET UPDATED_AT = ? WHERE ID = ?";
    ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
    statement_.prepare(sqlcommand, function, prepareFailed);
    statement_.bindDouble(1, &now, function,
                          "Error in SQLBindParameter(hStatement_, 1, SQL_PARAM_INPUT, SQL_C_DOUBLE, "
                          "SQL_DOUBLE, 15, 0, &now, 0, nullptr) ");
    statement_.bindInteger(2, &nodeId, function,
                           "Error in SQLBindParameter(hStatement_, 2, SQL_PARAM_INPUT, SQL_C_LONG, "
                           "SQL_INTEGER, 10, 0, &IDbuffer, 0, nullptr) ");
    // An id without a row: the node was removed under the case.
    const bool found =
        statement_.execute(function, executeFailed) &&
        statement_.rowCount(function, "Error in SQLRowCount(hStatement_, &RowCount) ") > 0;
    statement_.close(function, closeFailed);
    if (!found)
      throw ErrorOdbc(function, "Update matched no stored node with id " + std::to_string(id));
    ODBC_LOG(2, function, "Freed hStatement_ parameters");
  });
}

void PersistencyOdbc::update(int nodeId, const IntegerRegistry &registry) {
  guarded(scalarFunction, [&] {
    updateScalars<IntegerElement>(statement_, connection_.get(), nodeId, registry, "I",
                                  dialect() == Dialect::sqlite, verbosity());
  });
}

void PersistencyOdbc::update(int nodeId, const QuantityRegistry &registry) {
  guarded(scalarFunction, [&] {
    odbcElements::noteReplaced(replaced_, registry);
    updateScalars<QuantityElement>(statement_, connection_.get(), nodeId, registry, "Q",
                                   dialect() == Dialect::sqlite, verbosity());
  });
}

void PersistencyOdbc::update(int nodeId, const StringRegistry &registry) {
  guarded(scalarFunction, [&] {
    updateScalars<TextElement>(statement_, connection_.get(), nodeId, registry, "S",
                               dialect() == Dialect::sqlite, verbosity());
  });
}

void PersistencyOdbc::updateVector(int nodeId, const IntegerVectorRegistry &registry) {
  guarded(vectorFunction, [&] {
    updateVectors<IntegerElement>(statement_, connection_.get(), nodeId, registry, "IV", "VID",
                                  dialect() == Dialect::sqlite, verbosity());
  });
}

void PersistencyOdbc::updateVector(int nodeId, const StringVectorRegistry &registry) {
  guarded(vectorFunction, [&] {
    updateVectors<TextElement>(statement_, connection_.get(), nodeId, registry, "SV", "VID",
                               dialect() == Dialect::sqlite, verbosity());
  });
}

void PersistencyOdbc::updateVector(int nodeId, const QuantityVectorRegistry &registry) {
  guarded(vectorFunction, [&] {
    odbcElements::noteReplaced(replaced_, registry);
    updateVectors<QuantityElement>(statement_, connection_.get(), nodeId, registry, "QV", "VID",
                                   dialect() == Dialect::sqlite, verbosity());
  });
}

void PersistencyOdbc::updateVector(int nodeId, const QuantityMatrixRegistry &registry) {
  guarded(vectorFunction, [&] {
    odbcElements::noteReplaced(replaced_, registry);
    updateVectors<QuantityElement>(statement_, connection_.get(), nodeId, registry, "QM", "MID",
                                   dialect() == Dialect::sqlite, verbosity());
  });
}
