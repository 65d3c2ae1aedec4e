// Writing the current values of stored variables back, and touching the
// update time of node rows. Updates change values only: a scalar row gets
// its VALUE, a vector keeps its header and gets its element rows rewritten
// (in place when the stored count equals the in-memory one and the element
// ids are consecutive, else deleted and inserted anew). Nothing is added for
// variables without rows, and rows of unregistered tags stay as they are.
//
// Each call keeps its new values with the other rows of the write (see
// PersistencyOdbcPending.h); they are sent table by table for all nodes at
// once, as UPDATE ... FROM (VALUES ...) joins that SQLite and PostgreSQL
// both accept (the VALUES columns are cast because PostgreSQL cannot infer
// the types of their parameters). Setting a value twice is harmless, so a
// run's tail is padded with its last row rather than split into many small
// statements. Every variable must change exactly one row: when the rows
// changed differ, the first variable without its row, or with two, is named
// in the error, which then leaves the commit (or the call, outside a
// transaction) and rolls the write back.

#include "velta/persistency/PersistencyOdbc.h"

#include "PersistencyOdbcElements.h"
#include "PersistencyOdbcLog.h"
#include "PersistencyOdbcPending.h"
#include "velta/persistency/ErrorOdbc.h"
#include "velta/persistency/Integer.h"
#include "velta/persistency/IntegerVector.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/QuantityMatrix.h"
#include "velta/persistency/QuantityVector.h"
#include "velta/persistency/String.h"
#include "velta/persistency/StringVector.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

const char *const scalarFunction = "PersistencyOdbc::update";
const char *const vectorFunction = "PersistencyOdbc::updateVector";
const char *const prepareFailed =
    "Error in SQLPREPARE(hStatement_, (SQLCHAR*)sqlcommand.c_str(), SQL_NTS) ";
const char *const executeFailed = "Error in SQLExecute(hStatement_) ";
const char *const closeFailed = "Error in SQLFreeStmt(hStatement_, SQL_CLOSE) ";

using odbcElements::IntegerElement;
using odbcElements::Padding;
using odbcElements::QuantityElement;
using odbcElements::RowBatches;
using odbcElements::TextElement;
using odbcElements::storedValue;

// The element buffer of a kept value type.
template <class T> struct ElementOf;
template <> struct ElementOf<int> {
  using type = IntegerElement;
};
template <> struct ElementOf<double> {
  using type = QuantityElement;
};
template <> struct ElementOf<std::u16string> {
  using type = TextElement;
};

// One node row to touch: its id and time.
struct TouchRow {
  static constexpr int markers = 2;
  int id = 0;
  double time = 0;

  void bind(OdbcStatement &statement, int firstMarker) {
    statement.bindInteger(firstMarker, &id, scalarFunction,
                          "Error in SQLBindParameter(hStatement_, 2, SQL_PARAM_INPUT, SQL_C_LONG, "
                          "SQL_INTEGER, 10, 0, &IDbuffer, 0, nullptr) ");
    statement.bindDouble(firstMarker + 1, &time, scalarFunction,
                         "Error in SQLBindParameter(hStatement_, 1, SQL_PARAM_INPUT, SQL_C_DOUBLE, "
                         "SQL_DOUBLE, 15, 0, &now, 0, nullptr) ");
  }
};

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

// The updates of a table with a later update of the same row (node, tag)
// in place of an earlier one.
template <class Update> std::vector<Update> lastOfEach(const std::vector<Update> &updates) {
  std::map<std::pair<int, std::string>, std::size_t> position;
  std::vector<Update> kept;
  for (const Update &update : updates) {
    const auto [found, added] = position.emplace(std::make_pair(update.nid, update.tag), kept.size());
    if (added)
      kept.push_back(update);
    else
      kept[found->second] = update;
  }
  return kept;
}

// A variable of a node, for the messages.
struct UpdatedTag {
  std::string tag;
  std::string fullTag;
};

// Throws when a tag of the node has no stored row in table, or several
// (headers of a vector table, or rows of a scalar table).
void refuseUnmatched(OdbcStatement &statement, int nodeId, const std::vector<UpdatedTag> &tags,
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
  for (const UpdatedTag &updated : tags) {
    const auto found = stored.find(updated.tag);
    if (found == stored.end())
      throw ErrorOdbc(function, "Update of variable " + updated.fullTag +
                                    " matched no stored row: node " + std::to_string(nodeId) +
                                    " has no row with tag \"" + updated.tag + "\" in table " +
                                    table);
    if (found->second > 1)
      throw ErrorOdbc(function, "Stored case is damaged: node " + std::to_string(nodeId) + " has " +
                                    std::to_string(found->second) + " rows with tag \"" +
                                    updated.tag + "\" in table " + table);
  }
}

// Names the first variable of the updates whose rows did not match, node
// by node; when every one has its row, the rows changed still differed.
template <class Update>
[[noreturn]] void refuseUpdates(OdbcStatement &statement, const std::vector<Update> &updates,
                                const std::string &table, const char *function) {
  std::vector<int> nodes;
  std::map<int, std::vector<UpdatedTag>> tagsOfNode;
  for (const Update &update : updates) {
    auto &tags = tagsOfNode[update.nid];
    if (tags.empty())
      nodes.push_back(update.nid);
    tags.push_back({update.tag, update.fullTag});
  }
  for (const int nid : nodes)
    refuseUnmatched(statement, nid, tagsOfNode[nid], table, function);
  throw ErrorOdbc(function, "Update of the variables of node " + std::to_string(nodes.front()) +
                                " in table " + table + " changed rows it was not given");
}

// Gives the stored -0.0 of elements its bytes on SQLite, element i of the
// header being the row MIN(ID) + i.
void setNegativeZeroElements(void *connection, const std::string &elements, const std::string &key,
                             int headerId, const std::vector<double> &values,
                             const char *function) {
  for (std::size_t i = 0; i < values.size(); ++i)
    if (odbcElements::isNegativeZero(values[i]))
      odbcElements::setNegativeZero(connection, elements,
                                    "ID = (SELECT MIN(ID) FROM " + elements + " WHERE " + key +
                                        " = ?) + " + std::to_string(i),
                                    headerId, nullptr, function);
}
template <class T>
void setNegativeZeroElements(void *, const std::string &, const std::string &, int,
                             const std::vector<T> &, const char *) {}

// A stored header with its element rows' count and id range.
struct StoredHeader {
  int id = 0;
  std::string tag;
  int count = 0;
  int minId = 0;
  int maxId = 0;
};

// The stored headers of the nodes of the updates, by node, in id order.
template <class Update>
std::map<int, std::vector<StoredHeader>>
storedHeaders(odbcElements::StatementCache &statements, const std::vector<Update> &updates,
              const std::string &table, const std::string &key, int verbosity) {
  const char *const function = vectorFunction;
  std::set<int> nodes;
  for (const Update &update : updates)
    nodes.insert(update.nid);
  int first = *nodes.begin();
  int last = *nodes.rbegin();
  const std::string sqlcommand =
      "SELECT h.NID, h.ID, TRIM(h.TAG), COUNT(e.ID), MIN(e.ID), MAX(e.ID) FROM " + table +
      " h LEFT JOIN " + table + "V e ON e." + key +
      " = h.ID WHERE h.NID BETWEEN ? AND ? GROUP BY h.NID, h.ID, h.TAG ORDER BY h.ID";
  VELTA_LOG(verbosity + 1, 2, function, "sqlcommand = " << sqlcommand);
  odbcElements::KeptStatement &kept = statements.get(sqlcommand);
  OdbcStatement &statement = kept.statement;
  const char *const bindFailed = "Error in SQLBindParameter(hStatement_, 1, SQL_PARAM_INPUT, "
                                 "SQL_C_LONG, SQL_INTEGER, 10, 0, &NIDbuffer, 0, nullptr) ";
  statements.run(
      kept, false, true,
      [&] {
        statement.bindInteger(1, &first, function, bindFailed);
        statement.bindInteger(2, &last, function, bindFailed);
      },
      function);
  std::map<int, std::vector<StoredHeader>> headers;
  while (statement.fetch(function, "Error in SQLFetch(hStatement_) ")) {
    const std::optional<int> nid = statement.getInteger(
        1, function, "Error in SQLGetData(hStatement_, 1, SQL_C_LONG, &nid, 10, &ValueLen) ");
    StoredHeader header;
    const std::optional<int> id = statement.getInteger(
        2, function, "Error in SQLGetData(hStatement_, 1, SQL_C_LONG, &vid, 10, &ValueLen) ");
    if (!id)
      throw ErrorOdbc(function, "Could not read ID field in VV table");
    header.id = *id;
    const std::optional<std::string> tag = statement.getText(
        3, function,
        "Error in SQLGetData(hStatement_, 2, SQL_C_WCHAR, szData, sizeof(szData), &ValueLen) ");
    if (!tag)
      throw ErrorOdbc(function, "Could not read TAG field in VV table");
    header.tag = *tag;
    const std::optional<int> count = statement.getInteger(
        4, function, "Error in SQLGetData(h, 1, SQL_C_LONG, &count_id, 0, &ValueLen) ");
    if (!count)
      throw ErrorOdbc(function, "Could not read count");
    header.count = *count;
    if (header.count > 0) {
      header.minId =
          statement
              .getInteger(5, function, "Error in SQLGetData(h, 2, SQL_C_LONG, &min_id, 0, &ValueLen) ")
              .value_or(0);
      header.maxId =
          statement
              .getInteger(6, function, "Error in SQLGetData(h, 3, SQL_C_LONG, &max_id, 0, &ValueLen) ")
              .value_or(0);
    }
    if (nid && nodes.count(*nid))
      headers[*nid].push_back(std::move(header));
  }
  statement.close(function, closeFailed);
  return headers;
}

} // namespace

void PersistencyOdbc::update(int id) {
  guarded<true>(scalarFunction, [&] {
    // The client's clock, as seconds since 1970: the same on every database.
    const double now =
        std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    pending().touched.emplace_back(id, now);
  });
}

namespace {

template <class T, class Registry>
void keepScalarUpdates(std::vector<odbcPending::ScalarUpdate<T>> &kept, int nodeId,
                       const Registry &registry) {
  for (const auto &[key, variable] : registry) {
    odbcPending::ScalarUpdate<T> update{nodeId, variable->tag(), variable->fullTag(), {}};
    using Variable = std::remove_pointer_t<typename Registry::mapped_type>;
    if constexpr (std::is_base_of_v<Value, Variable>)
      update.value = storedValue(static_cast<const Value &>(*variable));
    else
      update.value = storedValue(variable->value());
    kept.push_back(std::move(update));
  }
}

template <class T, class Registry>
void keepVectorUpdates(std::vector<odbcPending::VectorUpdate<T>> &kept, int nodeId,
                       const Registry &registry) {
  for (const auto &[key, variable] : registry) {
    odbcPending::VectorUpdate<T> update{nodeId, key, variable->fullTag(), {}};
    const auto &values = variable->value();
    update.values.reserve(values.size());
    for (const auto &value : values)
      update.values.push_back(storedValue(value));
    kept.push_back(std::move(update));
  }
}

} // namespace

void PersistencyOdbc::update(int nodeId, const IntegerRegistry &registry) {
  guarded<true>(scalarFunction,
                [&] { keepScalarUpdates(pending().integerUpdates, nodeId, registry); });
}

void PersistencyOdbc::update(int nodeId, const QuantityRegistry &registry) {
  guarded<true>(scalarFunction, [&] {
    odbcElements::noteReplaced(replaced_, registry);
    keepScalarUpdates(pending().quantityUpdates, nodeId, registry);
  });
}

void PersistencyOdbc::update(int nodeId, const StringRegistry &registry) {
  guarded<true>(scalarFunction,
                [&] { keepScalarUpdates(pending().stringUpdates, nodeId, registry); });
}

void PersistencyOdbc::updateVector(int nodeId, const IntegerVectorRegistry &registry) {
  guarded<true>(vectorFunction,
                [&] { keepVectorUpdates(pending().integerVectorUpdates, nodeId, registry); });
}

void PersistencyOdbc::updateVector(int nodeId, const StringVectorRegistry &registry) {
  guarded<true>(vectorFunction,
                [&] { keepVectorUpdates(pending().stringVectorUpdates, nodeId, registry); });
}

void PersistencyOdbc::updateVector(int nodeId, const QuantityVectorRegistry &registry) {
  guarded<true>(vectorFunction, [&] {
    odbcElements::noteReplaced(replaced_, registry);
    keepVectorUpdates(pending().quantityVectorUpdates, nodeId, registry);
  });
}

void PersistencyOdbc::updateVector(int nodeId, const QuantityMatrixRegistry &registry) {
  guarded<true>(vectorFunction, [&] {
    odbcElements::noteReplaced(replaced_, registry);
    keepVectorUpdates(pending().quantityMatrixUpdates, nodeId, registry);
  });
}

void PersistencyOdbc::sendTouches(const std::vector<std::pair<int, double>> &touched) {
  if (touched.empty())
    return;
  const char *const function = scalarFunction;
  std::map<int, double> times(touched.begin(), touched.end());
  // A later touch of the same node wins.
  for (const auto &[id, time] : touched)
    times[id] = time;
  const std::vector<std::pair<int, double>> rows(times.begin(), times.end());
  long changed = 0;
  if (dialect_ == Dialect::postgresql) {
    // Writers run side by side: the node rows are locked first, in id
    // order, so that a second writer of the same nodes waits here for the
    // first to end, and then writes all of its rows after all of the first's.
    std::vector<odbcElements::ArrayLiteral> locked(1);
    for (const auto &[id, time] : rows)
      locked[0].add(id);
    odbcElements::executeUnnested(statements(), "SELECT ID FROM N WHERE ID IN (SELECT * FROM ",
                                  {"INTEGER"}, locked, ") ORDER BY ID FOR UPDATE", function,
                                  verbosity());
    std::vector<odbcElements::ArrayLiteral> arrays(2);
    for (const auto &[id, time] : rows) {
      arrays[0].add(id);
      arrays[1].add(time);
    }
    changed = odbcElements::executeUnnested(
        statements(), "UPDATE N SET UPDATED_AT = v.time FROM ",
        {"INTEGER", "DOUBLE PRECISION"}, arrays, " AS v(id, time) WHERE N.ID = v.id", function,
        verbosity());
  } else {
    RowBatches<TouchRow> batches(statements(),
                                 {"UPDATE N SET UPDATED_AT = v.column2 FROM (VALUES ",
                                  "(CAST(? AS INTEGER), CAST(? AS DOUBLE PRECISION))",
                                  ") AS v WHERE N.ID = v.column1"},
                                 function, verbosity(), Padding::repeatLastRow);
    changed = batches.send(rows.size(), [&](TouchRow &row, std::size_t i) {
      row.id = rows[i].first;
      row.time = rows[i].second;
    });
  }
  if (changed == static_cast<long>(rows.size()))
    return;
  // An id without a row: the node was removed under the case.
  for (const auto &[id, time] : rows) {
    if (countRows("N", id) == 0)
      throw ErrorOdbc(function, "Update matched no stored node with id " + std::to_string(id));
  }
  throw ErrorOdbc(function, "Update of the time stamps of " + std::to_string(rows.size()) +
                                " nodes changed " + std::to_string(changed) + " rows");
}

template <class T>
void PersistencyOdbc::sendScalarUpdates(const std::vector<odbcPending::ScalarUpdate<T>> &kept,
                                        const std::string &table) {
  if (kept.empty())
    return;
  using Element = typename ElementOf<T>::type;
  const std::vector<odbcPending::ScalarUpdate<T>> updates = lastOfEach(kept);
  long changed = 0;
  if (dialect_ == Dialect::postgresql) {
    std::vector<odbcElements::ArrayLiteral> arrays(3);
    for (const auto &update : updates) {
      arrays[0].add(update.nid);
      arrays[1].add(OdbcTagText::units(update.tag));
      arrays[2].add(update.value);
    }
    // Only rows whose stored value differs are written (compared bit for
    // bit: -0 is not 0), which a calculation that changes few values makes
    // cheap; the statement answers how many rows the variables matched.
    const std::string t = table;
    changed = odbcElements::executeUnnested(
        statements(), "WITH v AS (SELECT * FROM ", {"INTEGER", "VARCHAR", Element::sqlType},
        arrays,
        " AS v(nid, tag, value)), u AS (UPDATE " + t + " SET VALUE = v.value FROM v WHERE " + t +
            ".NID = v.nid AND " + t + ".TAG = v.tag AND " +
            odbcElements::differs<Element>(t + ".VALUE", "v.value") + " RETURNING 1) SELECT COUNT(*) FROM " +
            t + " JOIN v ON " + t + ".NID = v.nid AND " + t + ".TAG = v.tag",
        scalarFunction, verbosity(), true);
  } else {
    RowBatches<ScalarRow<Element>> batches(
        statements(),
        {"UPDATE " + table + " SET VALUE = v.column3 FROM (VALUES ",
         std::string("(CAST(? AS INTEGER), CAST(? AS VARCHAR), CAST(? AS ") + Element::sqlType +
             "))",
         ") AS v WHERE " + table + ".NID = v.column1 AND " + table + ".TAG = v.column2"},
        scalarFunction, verbosity(), Padding::repeatLastRow);
    changed = batches.send(updates.size(), [&](ScalarRow<Element> &row, std::size_t i) {
      row.nid = updates[i].nid;
      row.tag.assign(updates[i].tag);
      row.value.set(updates[i].value);
    });
  }
  if (changed != static_cast<long>(updates.size()))
    refuseUpdates(statement_, updates, table, scalarFunction);
  if constexpr (std::is_same_v<T, double>)
    if (dialect_ == Dialect::sqlite)
      for (const auto &update : updates)
        if (odbcElements::isNegativeZero(update.value))
          odbcElements::setNegativeZero(connection_.get(), table, "NID = ? AND TAG = ?",
                                        update.nid, &update.tag, scalarFunction);
}

template <class T>
void PersistencyOdbc::sendVectorUpdates(const std::vector<odbcPending::VectorUpdate<T>> &kept,
                                        const std::string &table, const std::string &key) {
  if (kept.empty())
    return;
  const char *const function = vectorFunction;
  using Element = typename ElementOf<T>::type;
  const std::string elements = table + "V";
  const std::vector<odbcPending::VectorUpdate<T>> updates = lastOfEach(kept);
  std::map<int, std::vector<StoredHeader>> headers =
      storedHeaders(statements(), updates, table, key, verbosity());
  // Every updated vector has exactly one header among those of its node.
  std::map<std::pair<int, std::string>, const odbcPending::VectorUpdate<T> *> updateOf;
  for (const auto &update : updates)
    updateOf[{update.nid, update.tag}] = &update;
  std::map<std::pair<int, std::string>, int> headersOfTag;
  for (const auto &[nid, stored] : headers)
    for (const StoredHeader &header : stored)
      ++headersOfTag[{nid, header.tag}];
  for (const auto &update : updates)
    if (headersOfTag[{update.nid, update.tag}] != 1)
      refuseUpdates(statement_, updates, table, function);

  // In place: the element ids of one vector are consecutive from MIN(ID).
  // Replacement: all element rows of the header deleted, the current
  // elements inserted in element order (consecutive ids again).
  std::vector<std::pair<int, const T *>> inPlace;
  std::vector<std::pair<int, const T *>> added;
  std::vector<int> removed;
  std::vector<std::pair<int, const std::vector<T> *>> written;
  for (const auto &[nid, stored] : headers)
    for (const StoredHeader &header : stored) {
      const auto found = updateOf.find({nid, header.tag});
      if (found == updateOf.end()) {
        VELTA_LOG(verbosity() + 1, 2, function, "skipping " << header.tag);
        continue;
      }
      const std::vector<T> &values = found->second->values;
      VELTA_LOG(verbosity() + 1, 2, function,
                "reading " << header.tag << " count_id = " << header.count
                           << " vector size = " << values.size());
      const bool consecutive =
          header.count == 0 || header.maxId - header.minId + 1 == header.count;
      if (consecutive && static_cast<std::size_t>(header.count) == values.size()) {
        for (std::size_t i = 0; i < values.size(); ++i)
          inPlace.emplace_back(header.minId + static_cast<int>(i), &values[i]);
      } else {
        removed.push_back(header.id);
        for (const T &value : values)
          added.emplace_back(header.id, &value);
      }
      written.emplace_back(header.id, &values);
    }
  if (!inPlace.empty() && dialect_ == Dialect::postgresql) {
    std::vector<odbcElements::ArrayLiteral> arrays(2);
    for (const auto &[id, value] : inPlace) {
      arrays[0].add(id);
      arrays[1].add(*value);
    }
    odbcElements::executeUnnested(statements(), "UPDATE " + elements + " SET VALUE = v.value FROM ",
                                  {"INTEGER", Element::sqlType}, arrays,
                                  " AS v(id, value) WHERE " + elements + ".ID = v.id AND " +
                                      odbcElements::differs<Element>(elements + ".VALUE",
                                                                     "v.value"),
                                  function, verbosity());
  } else if (!inPlace.empty()) {
    RowBatches<ElementRow<Element>> batches(
        statements(),
        {"UPDATE " + elements + " SET VALUE = v.column2 FROM (VALUES ",
         std::string("(CAST(? AS INTEGER), CAST(? AS ") + Element::sqlType + "))",
         ") AS v WHERE " + elements + ".ID = v.column1"},
        function, verbosity(), Padding::repeatLastRow);
    batches.send(inPlace.size(), [&](ElementRow<Element> &row, std::size_t i) {
      row.key = inPlace[i].first;
      row.value.set(*inPlace[i].second);
    });
  }
  if (!removed.empty()) {
    OdbcStatement removal;
    removal.allocate(connection_.get(), function,
                     "Error in SQLAllocHandle(SQL_HANDLE_STMT, hConnection_, &h) ");
    removal.prepare("DELETE FROM " + elements + " WHERE " + key + " = ?", function,
                    "Error while DELETing ");
    int headerId = 0;
    removal.bindInteger(1, &headerId, function,
                        "Error in SQLBindParameter(h, 1, SQL_PARAM_INPUT, SQL_C_LONG, "
                        "SQL_INTEGER, 10, 0, &idBuffer, 0, nullptr) ");
    for (const int id : removed) {
      headerId = id;
      if (removal.execute(function, "Error while DELETing "))
        VELTA_LOG(verbosity() + 1, 2, function,
                  "Deleted " << removal.rowCount(function, "Error in SQLRowCount(h, &RowCount) ")
                             << " items");
      else
        VELTA_LOG(verbosity() + 1, 2, function, "No rows deleted");
    }
  }
  if (!added.empty() && dialect_ == Dialect::postgresql) {
    std::vector<odbcElements::ArrayLiteral> arrays(2);
    for (const auto &[id, value] : added) {
      arrays[0].add(id);
      arrays[1].add(*value);
    }
    odbcElements::executeUnnested(statements(),
                                  "INSERT INTO " + elements + " (" + key + ", VALUE) SELECT * FROM ",
                                  {"INTEGER", Element::sqlType}, arrays, "", function, verbosity());
  } else if (!added.empty()) {
    RowBatches<ElementRow<Element>> batches(
        statements(),
        {"INSERT INTO " + elements + " (" + key + ", VALUE) VALUES ", "(?, ?)", ""}, function,
        verbosity());
    batches.send(added.size(), [&](ElementRow<Element> &row, std::size_t i) {
      row.key = added[i].first;
      row.value.set(*added[i].second);
    });
  }
  if (dialect_ == Dialect::sqlite)
    for (const auto &[headerId, values] : written)
      setNegativeZeroElements(connection_.get(), elements, key, headerId, *values, function);
}

void PersistencyOdbc::sendUpdates(PersistencyOdbcPending &pending) {
  sendTouches(pending.touched);
  sendScalarUpdates(pending.integerUpdates, "I");
  sendScalarUpdates(pending.quantityUpdates, "Q");
  sendScalarUpdates(pending.stringUpdates, "S");
  sendVectorUpdates(pending.integerVectorUpdates, "IV", "VID");
  sendVectorUpdates(pending.quantityVectorUpdates, "QV", "VID");
  sendVectorUpdates(pending.quantityMatrixUpdates, "QM", "MID");
  sendVectorUpdates(pending.stringVectorUpdates, "SV", "VID");
}
