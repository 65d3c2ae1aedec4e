// Sending the rows kept by the insertions (see PersistencyOdbcPending.h):
// table by table, node rows first, in INSERT statements of many rows each.
// Vector headers are given ids reserved from their table's autonumber in
// one statement per table, so that headers and elements go out in runs
// too, with no query per header; the elements of one vector follow one
// another in one run and so get consecutive ids in element order.

#include "velta/persistency/PersistencyOdbc.h"

#include "PersistencyOdbcElements.h"
#include "PersistencyOdbcLog.h"
#include "PersistencyOdbcPending.h"
#include "velta/persistency/ErrorOdbc.h"
#include "velta/persistency/OdbcText.h"

#include <charconv>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

const char *const insertFunction = "PersistencyOdbc::insert";
const char *const nodeFunction = "PersistencyOdbc::insertObject";

using odbcElements::RowBatches;

void bindInteger(OdbcStatement &statement, int marker, int *buffer, const char *function,
                 const char *what) {
  statement.bindInteger(marker, buffer, function,
                        (std::string("Error in SQLBindParameter(hStatement_, ") +
                         std::to_string(marker) +
                         ", SQL_PARAM_INPUT, SQL_C_LONG, SQL_INTEGER, 10, 0, &" + what +
                         ", 0, nullptr) ")
                            .c_str());
}

template <class Text>
void bindText(OdbcStatement &statement, int marker, Text &text, const char *function,
              const char *what) {
  statement.bindText(marker, text.data(), text.columnSize, function,
                     (std::string("Error in SQLBindParameter(hStatement_, ") +
                      std::to_string(marker) + ", SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WCHAR, " +
                      what + "BufferSize, 0, " + what + "Buffer, 0, nullptr) ")
                         .c_str());
}

// One N row of a statement.
struct NodeRow {
  static constexpr int markers = 9;
  int id = 0;
  OdbcUuidText uuid;
  OdbcTagText tag;
  OdbcLongText description;
  OdbcTagText type;
  OdbcLongText fullTag;
  int parent = 0;
  int root = 0;
  int range = 0;

  void bind(OdbcStatement &statement, int first) {
    bindInteger(statement, first, &id, nodeFunction, "IDbuffer");
    bindText(statement, first + 1, uuid, nodeFunction, "uuid");
    bindText(statement, first + 2, tag, nodeFunction, "tag");
    bindText(statement, first + 3, description, nodeFunction, "description");
    bindText(statement, first + 4, type, nodeFunction, "type");
    bindText(statement, first + 5, fullTag, nodeFunction, "fulltag");
    bindInteger(statement, first + 6, &parent, nodeFunction, "parentBuffer");
    bindInteger(statement, first + 7, &root, nodeFunction, "rootBuffer");
    bindInteger(statement, first + 8, &range, nodeFunction, "rangeBuffer");
  }
  void fill(const odbcPending::NodeRow &row) {
    id = row.id;
    uuid.assignUnits(row.uuid);
    tag.assignUnits(row.tag);
    description.assignUnits(row.description);
    type.assignUnits(row.type);
    fullTag.assignUnits(row.fullTag);
    parent = row.parent;
    root = row.root;
    range = row.range;
  }
};

// NID, TAG and DESCRIPTION from marker first on.
struct StartColumns {
  int nid = 0;
  OdbcTagText tag;
  OdbcLongText description;

  void bind(OdbcStatement &statement, int first) {
    bindInteger(statement, first, &nid, insertFunction, "NIDbuffer");
    bindText(statement, first + 1, tag, insertFunction, "tag");
    bindText(statement, first + 2, description, insertFunction, "description");
  }
  void fill(const odbcPending::RowStart &start) {
    nid = start.nid;
    tag.assignUnits(start.tag);
    description.assignUnits(start.description);
  }
};

struct QuantityColumns {
  static constexpr int markers = 3;
  OdbcTagText unit;
  unsigned char input = 0;
  unsigned char output = 0;

  void bind(OdbcStatement &statement, int first) {
    bindText(statement, first, unit, insertFunction, "unit");
    statement.bindFlag(first + 1, &input, insertFunction,
                       "Error in SQLBindParameter(hStatement_, INPUT, SQL_PARAM_INPUT, SQL_C_BIT, "
                       "SQL_BIT, 10, 0, &INPUTbuffer, 0, nullptr) ");
    statement.bindFlag(first + 2, &output, insertFunction,
                       "Error in SQLBindParameter(hStatement_, OUTPUT, SQL_PARAM_INPUT, SQL_C_BIT, "
                       "SQL_BIT, 10, 0, &OUTPUTbuffer, 0, nullptr) ");
  }
  void fill(const odbcPending::QuantityExtras &extras) {
    unit.assignUnits(extras.unit);
    input = extras.input;
    output = extras.output;
  }
};
struct NoColumns {
  static constexpr int markers = 0;
  void bind(OdbcStatement &, int) {}
  void fill(const odbcPending::QuantityExtras &) {}
};

using IntegerValue = odbcElements::IntegerElement;
using TextValue = odbcElements::TextElement;
using DoubleValue = odbcElements::QuantityElement;

// A scalar row: NID, TAG, DESCRIPTION, VALUE and the extras.
template <class Value, class Extras> struct ScalarRow {
  static constexpr int markers = 4 + Extras::markers;
  StartColumns start;
  Value value;
  Extras extras;

  void bind(OdbcStatement &statement, int first) {
    start.bind(statement, first);
    value.bind(statement, first + 3, insertFunction,
               "Error in SQLBindParameter(hStatement_, 4, SQL_PARAM_INPUT, VALUE) ");
    extras.bind(statement, first + 4);
  }
  template <class Kept> void fill(const Kept &row) {
    start.fill(row.start);
    value.set(row.value);
    extras.fill(row.extras);
  }
};

// A header row with its reserved id: ID, NID, TAG, DESCRIPTION and extras.
template <class Extras> struct HeaderRow {
  static constexpr int markers = 4 + Extras::markers;
  int id = 0;
  StartColumns start;
  Extras extras;

  void bind(OdbcStatement &statement, int first) {
    bindInteger(statement, first, &id, insertFunction, "IDbuffer");
    start.bind(statement, first + 1);
    extras.bind(statement, first + 4);
  }
};

template <class Value> struct ElementRow {
  static constexpr int markers = 2;
  int headerId = 0;
  Value value;

  void bind(OdbcStatement &statement, int first) {
    bindInteger(statement, first, &headerId, insertFunction, "VIDbuffer");
    value.bind(statement, first + 1, insertFunction,
               "Error in SQLBindParameter(hStatement_, 2, SQL_PARAM_INPUT, VALUE) ");
  }
};

struct VectorTable {
  const char *header;
  const char *elements;
  const char *key;
};

using odbcElements::ArrayLiteral;

// Sends the rows of a table as one array per column, unnested by the
// server into the rows: one statement, however many rows (PostgreSQL).
// columns lists the table's columns with the SQL type of each.
void insertUnnested(odbcElements::StatementCache &statements, const std::string &table,
                    const std::vector<std::pair<std::string, std::string>> &columns,
                    std::vector<ArrayLiteral> &arrays, const char *function, int verbosity) {
  std::string names;
  std::vector<std::string> types;
  for (const auto &[name, type] : columns) {
    names += (names.empty() ? "" : ", ") + name;
    types.push_back(type);
  }
  odbcElements::executeUnnested(statements,
                                "INSERT INTO " + table + " (" + names + ") SELECT * FROM ", types,
                                arrays, "", function, verbosity);
}

} // namespace

std::vector<int> PersistencyOdbc::reserveIds(const std::string &table, std::size_t count) {
  const char *const function = insertFunction;
  std::vector<int> ids;
  ids.reserve(count);
  std::string sqlcommand;
  switch (dialect_) {
  case Dialect::postgresql:
    // The sequence behind the identity column hands the ids out, as it
    // would to rows inserted without one.
    sqlcommand = "SELECT nextval(pg_get_serial_sequence('" + table +
                 "', 'id')) FROM generate_series(1, " + std::to_string(count) + ")";
    break;
  case Dialect::sqlite:
    // AUTOINCREMENT never hands out an id twice, not even that of a row
    // deleted since: the next ids follow the largest one ever used.
    sqlcommand = "SELECT MAX(x) FROM (SELECT seq AS x FROM sqlite_sequence WHERE name = '" +
                 table + "' UNION ALL SELECT MAX(ID) FROM " + table + ")";
    break;
  case Dialect::generic:
    sqlcommand = "SELECT MAX(ID) FROM " + table;
    break;
  }
  ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
  statement_.execDirect(sqlcommand, function,
                        "Error in SQLEXECDIRECT(hStatement_, (SQLCHAR*)sqlcommand.c_str(), "
                        "SQL_NTS) ");
  const char *const fetchFailed = "Error in SQLFetch(hStatement_) ";
  const char *const getFailed =
      "Error in SQLGetData(hStatement_,1,SQL_C_SBIGINT,&long_buffer,0,&ValueLen) ";
  long long next = 0;
  while (ids.size() < count && statement_.fetch(function, fetchFailed)) {
    const std::optional<long long> value = statement_.getBigInteger(1, function, getFailed);
    if (dialect_ == Dialect::postgresql) {
      if (!value)
        break;
      next = *value;
    } else {
      next = value.value_or(0) + 1;
    }
    do {
      if (next > std::numeric_limits<int>::max() || next < 1)
        throw ErrorOdbc(function, "Table " + table + " has no free id left for " +
                                      std::to_string(count) + " rows");
      ids.push_back(static_cast<int>(next++));
    } while (dialect_ != Dialect::postgresql && ids.size() < count);
  }
  statement_.close(function, "Error in SQLFreeStmt(hStatement_, SQL_CLOSE) ");
  if (ids.size() != count)
    throw ErrorOdbc(function, "Could not reserve " + std::to_string(count) + " ids of table " +
                                  table);
  return ids;
}

template <class Value, class Extras, class T>
void PersistencyOdbc::sendVectors(odbcPending::VectorRows<T> &rows, const char *header,
                                  const char *elements, const char *key,
                                  const std::vector<odbcPending::NegativeZero> &negativeZeros) {
  if (rows.empty())
    return;
  const std::vector<int> ids = reserveIds(header, rows.headers.size());
  const bool quantities = Extras::markers > 0;
  if (dialect_ == Dialect::postgresql) {
    std::vector<ArrayLiteral> headerArrays(quantities ? 7 : 4);
    for (std::size_t h = 0; h < rows.headers.size(); ++h) {
      const odbcPending::HeaderRow &row = rows.headers[h];
      headerArrays[0].add(ids[h]);
      headerArrays[1].add(row.start.nid);
      headerArrays[2].add(row.start.tag);
      headerArrays[3].add(row.start.description);
      if (quantities) {
        headerArrays[4].add(row.extras.unit);
        headerArrays[5].add(row.extras.input);
        headerArrays[6].add(row.extras.output);
      }
    }
    std::vector<std::pair<std::string, std::string>> columns = {
        {"ID", "INTEGER"}, {"NID", "INTEGER"}, {"TAG", "VARCHAR"}, {"DESCRIPTION", "VARCHAR"}};
    if (quantities)
      columns.insert(columns.end(),
                     {{"UNIT", "VARCHAR"}, {"INPUT", "SMALLINT"}, {"OUTPUT", "SMALLINT"}});
    insertUnnested(statements(), header, columns, headerArrays, insertFunction, verbosity());
    if (rows.elements.empty())
      return;
    std::vector<ArrayLiteral> elementArrays(2);
    for (std::size_t h = 0; h < rows.headers.size(); ++h)
      for (std::size_t e = 0; e < rows.headers[h].elementCount; ++e) {
        elementArrays[0].add(ids[h]);
        elementArrays[1].add(rows.elements[rows.headers[h].firstElement + e]);
      }
    insertUnnested(statements(), elements, {{key, "INTEGER"}, {"VALUE", Value::sqlType}},
                   elementArrays, insertFunction, verbosity());
    return;
  }
  RowBatches<HeaderRow<Extras>> headers(
      statements(),
      {std::string("INSERT INTO ") + header + " (ID, NID, TAG, DESCRIPTION" +
           (quantities ? ", UNIT, INPUT, OUTPUT" : "") + ") VALUES ",
       quantities ? "(?, ?, ?, ?, ?, ?, ?)" : "(?, ?, ?, ?)", ""},
      insertFunction, verbosity());
  headers.send(rows.headers.size(), [&](HeaderRow<Extras> &row, std::size_t i) {
    row.id = ids[i];
    row.start.fill(rows.headers[i].start);
    row.extras.fill(rows.headers[i].extras);
  });
  // Element i of the table's kept elements belongs to the header whose run
  // holds it; the runs are in header order.
  std::vector<int> owners(rows.elements.size());
  for (std::size_t h = 0; h < rows.headers.size(); ++h)
    for (std::size_t e = 0; e < rows.headers[h].elementCount; ++e)
      owners[rows.headers[h].firstElement + e] = ids[h];
  RowBatches<ElementRow<Value>> batches(
      statements(),
      {std::string("INSERT INTO ") + elements + " (" + key + ", VALUE) VALUES ", "(?, ?)", ""},
      insertFunction, verbosity());
  batches.send(rows.elements.size(), [&](ElementRow<Value> &row, std::size_t i) {
    row.headerId = owners[i];
    row.value.set(rows.elements[i]);
  });
  for (const odbcPending::NegativeZero &zero : negativeZeros)
    odbcElements::setNegativeZero(connection_.get(), elements,
                                  std::string("ID = (SELECT MIN(ID) FROM ") + elements + " WHERE " +
                                      key + " = ?) + " + std::to_string(zero.element),
                                  ids[zero.header], nullptr, insertFunction);
}

void PersistencyOdbc::sendPending() {
  if (!pending_ || pending_->empty())
    return;
  // Taken out first: after a failure the transaction is rolled back, and
  // nothing of it may be sent again.
  const std::unique_ptr<PersistencyOdbcPending> pending = std::move(pending_);

  if (dialect_ == Dialect::postgresql)
    sendUnnested(*pending);
  else
    sendInserts(*pending);
  sendUpdates(*pending);
}

void PersistencyOdbc::sendInserts(PersistencyOdbcPending &kept) {
  PersistencyOdbcPending *const pending = &kept;
  void *const connection = connection_.get();
  const int verbose = verbosity();
  if (!pending->nodes.empty()) {
    RowBatches<NodeRow> nodes(statements(),
                              {"INSERT INTO N(ID, UUID, TAG, DESCRIPTION, TYPE, FULLTAG, PARENT, "
                               "ROOT, RANGE) VALUES ",
                               "(?, ?, ?, ?, ?, ?, ?, ?, ?)", ""},
                              nodeFunction, verbose);
    nodes.send(pending->nodes.size(),
               [&](NodeRow &row, std::size_t i) { row.fill(pending->nodes[i]); });
  }
  auto sendScalars = [&](auto &kept, auto rowType, const char *text, const char *row) {
    using Row = decltype(rowType);
    if (kept.empty())
      return;
    RowBatches<Row> batches(statements(), {text, row, ""}, insertFunction, verbose);
    batches.send(kept.size(), [&](Row &batchRow, std::size_t i) { batchRow.fill(kept[i]); });
  };
  sendScalars(pending->integers, ScalarRow<IntegerValue, NoColumns>(),
              "INSERT INTO I (NID, TAG, DESCRIPTION, VALUE) VALUES ", "(?, ?, ?, ?)");
  sendScalars(pending->quantities, ScalarRow<DoubleValue, QuantityColumns>(),
              "INSERT INTO Q (NID, TAG, DESCRIPTION, VALUE, UNIT, INPUT, OUTPUT) VALUES ",
              "(?, ?, ?, ?, ?, ?, ?)");
  for (const odbcPending::NegativeZero &zero : pending->negativeQuantities)
    odbcElements::setNegativeZero(connection, "Q", "NID = ? AND TAG = ?", zero.nid, &zero.tag,
                                  insertFunction);
  sendScalars(pending->strings, ScalarRow<TextValue, NoColumns>(),
              "INSERT INTO S (NID, TAG, DESCRIPTION, VALUE) VALUES ", "(?, ?, ?, ?)");

  sendVectors<IntegerValue, NoColumns>(pending->integerVectors, "IV", "IVV", "VID", {});
  sendVectors<DoubleValue, QuantityColumns>(pending->quantityVectors, "QV", "QVV", "VID",
                                            pending->negativeVectorElements);
  sendVectors<DoubleValue, QuantityColumns>(pending->quantityMatrices, "QM", "QMV", "MID",
                                            pending->negativeMatrixElements);
  sendVectors<TextValue, NoColumns>(pending->stringVectors, "SV", "SVV", "VID", {});
}

void PersistencyOdbc::sendUnnested(PersistencyOdbcPending &pending) {
  const int verbose = verbosity();
  if (!pending.nodes.empty()) {
    std::vector<ArrayLiteral> arrays(9);
    for (const odbcPending::NodeRow &row : pending.nodes) {
      arrays[0].add(row.id);
      arrays[1].add(row.uuid);
      arrays[2].add(row.tag);
      arrays[3].add(row.description);
      arrays[4].add(row.type);
      arrays[5].add(row.fullTag);
      arrays[6].add(row.parent);
      arrays[7].add(row.root);
      arrays[8].add(row.range);
    }
    insertUnnested(statements(), "N",
                   {{"ID", "INTEGER"},
                    {"UUID", "VARCHAR"},
                    {"TAG", "VARCHAR"},
                    {"DESCRIPTION", "VARCHAR"},
                    {"TYPE", "VARCHAR"},
                    {"FULLTAG", "VARCHAR"},
                    {"PARENT", "INTEGER"},
                    {"ROOT", "INTEGER"},
                    {"RANGE", "INTEGER"}},
                   arrays, nodeFunction, verbose);
  }
  auto sendScalars = [&](const auto &kept, const char *table, const char *valueType,
                         bool quantities) {
    if (kept.empty())
      return;
    std::vector<ArrayLiteral> arrays(quantities ? 7 : 4);
    for (const auto &row : kept) {
      arrays[0].add(row.start.nid);
      arrays[1].add(row.start.tag);
      arrays[2].add(row.start.description);
      arrays[3].add(row.value);
      if (quantities) {
        arrays[4].add(row.extras.unit);
        arrays[5].add(row.extras.input);
        arrays[6].add(row.extras.output);
      }
    }
    std::vector<std::pair<std::string, std::string>> columns = {
        {"NID", "INTEGER"}, {"TAG", "VARCHAR"}, {"DESCRIPTION", "VARCHAR"}, {"VALUE", valueType}};
    if (quantities)
      columns.insert(columns.end(),
                     {{"UNIT", "VARCHAR"}, {"INPUT", "SMALLINT"}, {"OUTPUT", "SMALLINT"}});
    insertUnnested(statements(), table, columns, arrays, insertFunction, verbose);
  };
  sendScalars(pending.integers, "I", "INTEGER", false);
  sendScalars(pending.quantities, "Q", "DOUBLE PRECISION", true);
  sendScalars(pending.strings, "S", "VARCHAR", false);
  sendVectors<IntegerValue, NoColumns>(pending.integerVectors, "IV", "IVV", "VID", {});
  sendVectors<DoubleValue, QuantityColumns>(pending.quantityVectors, "QV", "QVV", "VID", {});
  sendVectors<DoubleValue, QuantityColumns>(pending.quantityMatrices, "QM", "QMV", "MID", {});
  sendVectors<TextValue, NoColumns>(pending.stringVectors, "SV", "SVV", "VID", {});
}
