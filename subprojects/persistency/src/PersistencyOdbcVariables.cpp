// Insertion of the variables of objects into the ODBC store: scalar rows in
// I, S and Q; header rows in IV, SV, QV and QM with their element rows in
// IVV, SVV, QVV and QMV. Each call prepares its statements once and
// re-executes them per row.

#include "velta/persistency/PersistencyOdbc.h"

#include "PersistencyOdbcElements.h"
#include "PersistencyOdbcLog.h"
#include "velta/persistency/ErrorOdbc.h"
#include "velta/persistency/Integer.h"
#include "velta/persistency/IntegerVector.h"
#include "velta/persistency/OdbcText.h"
#include "velta/persistency/Persistent.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/QuantityMatrix.h"
#include "velta/persistency/QuantityVector.h"
#include "velta/persistency/String.h"
#include "velta/persistency/StringVector.h"

#include <map>
#include <optional>
#include <string>

namespace {

const char *const function = "PersistencyOdbc::insert";
const char *const prepareFailed =
    "Error in SQLPREPARE(hStatement_, (SQLCHAR*)sqlcommand.c_str(), SQL_NTS) ";
const char *const executeFailed = "Error in SQLExecute(hStatement_) ";
const char *const closeFailed = "Error in SQLFreeStmt(hStatement_, SQL_CLOSE) ";

// Stored id of the node that owns a variable.
int ownerId(const Item &variable, int offset) {
  const auto *owner = dynamic_cast<const Persistent *>(variable.parent());
  if (!owner)
    throw ErrorOdbc(function, "element has no parent");
  return owner->id() - offset;
}

// NID, TAG and DESCRIPTION, the first three markers of every row and header.
struct RowStart {
  int nid = 0;
  OdbcTagText tag;
  OdbcLongText description;

  void bind(OdbcStatement &statement) {
    statement.bindInteger(1, &nid, function,
                          "Error in SQLBindParameter(hStatement_, 1, SQL_PARAM_INPUT, SQL_C_LONG, "
                          "SQL_INTEGER, 10, 0, &NIDbuffer, 0, nullptr) ");
    statement.bindText(2, tag.data(), tag.columnSize, function,
                       "Error in SQLBindParameter(hStatement_, 2, SQL_PARAM_INPUT, SQL_C_WCHAR, "
                       "SQL_WCHAR, tagBufferSize, 0, tagBuffer, 0, nullptr) ");
    statement.bindText(3, description.data(), description.columnSize, function,
                       "Error in SQLBindParameter(hStatement_, 3, SQL_PARAM_INPUT, SQL_C_WCHAR, "
                       "SQL_WCHAR, descriptionBufferSize, 0, descriptionBuffer, 0, nullptr) ");
  }
  void fill(const Item &variable, int offset) {
    nid = ownerId(variable, offset);
    tag.assign(variable.tag());
    description.assign(variable.description());
  }
};

// The unit and flags of a quantity vector or matrix header.
struct QuantityHeader {
  OdbcTagText unit;
  unsigned char input = 0;
  unsigned char output = 0;

  void bind(OdbcStatement &statement, int firstMarker) {
    statement.bindText(firstMarker, unit.data(), unit.columnSize, function,
                       "Error in SQLBindParameter(hStatement_, 4, SQL_PARAM_INPUT, SQL_C_WCHAR, "
                       "SQL_WCHAR, unitBufferSize, 0, unitBuffer, 0, nullptr) ");
    statement.bindFlag(firstMarker + 1, &input, function,
                       "Error in SQLBindParameter(hStatement_, 5, SQL_PARAM_INPUT, SQL_C_BIT, "
                       "SQL_BIT, 10, 0, &INPUTbuffer, 0, nullptr) ");
    statement.bindFlag(firstMarker + 2, &output, function,
                       "Error in SQLBindParameter(hStatement_, 6, SQL_PARAM_INPUT, SQL_C_BIT, "
                       "SQL_BIT, 10, 0, &OUTPUTbuffer, 0, nullptr) ");
  }
  template <class Variable> void fill(const Variable &variable) {
    unit.assign(variable.uom());
    input = variable.input() ? 1 : 0;
    output = variable.output() ? 1 : 0;
  }
};

// Header columns beyond NID, TAG and DESCRIPTION: none for integer and
// string vectors.
struct NoHeaderExtras {
  void bind(OdbcStatement &, int) {}
  template <class Variable> void fill(const Variable &) {}
};

// Element buffers with the message of a failed binding of the insertion.
struct IntegerElement : odbcElements::IntegerElement {
  static constexpr const char *insertBindFailed =
      "Error in SQLBindParameter(hStatement_, 2, SQL_PARAM_INPUT, SQL_C_LONG, SQL_INTEGER, 10, 0, "
      "&valueBuffer, 0, nullptr) ";
};
struct TextElement : odbcElements::TextElement {
  static constexpr const char *insertBindFailed =
      "Error in SQLBindParameter(hStatement_, 2, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WCHAR, 255, 0, "
      "&valueBuffer, 0, nullptr) ";
};
struct QuantityElement : odbcElements::QuantityElement {
  static constexpr const char *insertBindFailed =
      "Error in SQLBindParameter(hStatement_, 2, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 15, 0, "
      "&valueBuffer, 0, nullptr) ";
};

// One element row of an insertion: the id of its header and its value.
template <class Element> struct ElementRow {
  static constexpr int markers = 2;
  int headerId = 0;
  Element value;

  void bind(OdbcStatement &statement, int firstMarker) {
    statement.bindInteger(firstMarker, &headerId, function,
                          "Error in SQLBindParameter(hStatement_, 1, SQL_PARAM_INPUT, "
                          "SQL_C_LONG, SQL_INTEGER, 10, 0, &VIDbuffer, 0, nullptr) ");
    value.bind(statement, firstMarker + 1, function, Element::insertBindFailed);
  }
};

struct VectorTables {
  const char *header;       // header insertion
  const char *identity;     // header id of (NID, TAG) just inserted
  const char *elements;     // element insertion, up to VALUES
  const char *elementTable; // its table and the column naming the header
  const char *key;
};

// Header rows first, each with its id read back on a second statement
// (inside the store's write lock, so the newest header of the node with this
// tag is the one just written), then the elements of every vector in one
// uninterrupted run each, which gives them consecutive ids in element order.
template <class Extras, class Element, class Registry>
void insertVectors(OdbcStatement &statement, void *connection, const Registry &registry, int offset,
                   const VectorTables &tables, bool sqlite, int verbosity) {
  if (registry.empty())
    return;
  RowStart start;
  Extras extras;
  OdbcStatement identity;
  identity.allocate(connection, function,
                    "Error in SQLAllocHandle(SQL_HANDLE_STMT, hConnection_, &h) ");
  VELTA_LOG(verbosity + 1, 2, function, "sqlcommand1 = " << tables.identity);
  identity.prepare(tables.identity, function,
                   "Error in SQLPREPARE(h, (SQLCHAR*)sqlcommand1.c_str(), SQL_NTS) ");

  VELTA_LOG(verbosity + 1, 2, function, "sqlcommand = " << tables.header);
  statement.prepare(tables.header, function, prepareFailed);
  start.bind(statement);
  extras.bind(statement, 4);
  std::map<std::string, int> headerIds;
  for (const auto &[key, variable] : registry) {
    start.fill(*variable, offset);
    extras.fill(*variable);
    VELTA_LOG(verbosity + 1, 2, function, "PARENTID = " << start.nid << " TAG = " << key);
    statement.execute(function, executeFailed);
    // Closing the identity query drops its bindings: bound again per header.
    identity.bindInteger(1, &start.nid, function,
                         "Error in SQLBindParameter(h, 1, SQL_PARAM_INPUT, SQL_C_LONG, "
                         "SQL_INTEGER, 10, 0, &NIDbuffer, 0, nullptr) ");
    identity.bindText(2, start.tag.data(), start.tag.columnSize, function,
                      "Error in SQLBindParameter(h, 2, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WCHAR, "
                      "tagBufferSize, 0, tagBuffer, 0, nullptr) ");
    identity.execute(function, "Error in SQLEXECDIRECT(h, (SQLCHAR*)sqlcommand1.c_str(), SQL_NTS) ");
    std::optional<int> id;
    if (identity.fetch(function, "Error in SQLFetch(h) "))
      id = identity.getInteger(1, function,
                               "Error in SQLGetData(h, 1, SQL_C_LONG, &vid, 0, &ValueLen) ");
    identity.close(function, "Error in SQLFreeStmt(h, SQL_CLOSE) ");
    if (!id)
      throw ErrorOdbc(function, "Could not read @@IDENTITY");
    headerIds[key] = *id;
  }
  statement.close(function, closeFailed);
  identity.release();

  // Elements go in runs of several rows per statement (fewer round trips to
  // a server); the rows of one statement are inserted in their order, so
  // the elements of a vector still get consecutive ids in element order.
  odbcElements::RowBatches<ElementRow<Element>> batches(connection, {tables.elements, "(?, ?)", ""},
                                                        function, verbosity);
  for (const auto &[key, variable] : registry) {
    const int headerId = headerIds.at(key);
    VELTA_LOG(verbosity + 1, 2, function, "inserting " << key);
    const auto &values = variable->value();
    batches.send(values.size(), [&](ElementRow<Element> &row, std::size_t i) {
      row.headerId = headerId;
      row.value.fill(values[i]);
    });
    if constexpr (Element::isDouble)
      if (sqlite)
        odbcElements::setNegativeZeroElements(connection, tables.elementTable, tables.key, headerId,
                                              values, function);
  }
}

} // namespace

void PersistencyOdbc::insert(const IntegerRegistry &registry, int offset) {
  guarded(function, [&] {
    if (registry.empty())
      return;
    RowStart start;
    int value = 0;
    const std::string sqlcommand =
        "INSERT INTO I (NID, TAG, DESCRIPTION, VALUE) VALUES (?, ?, ?, ?)";
    ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
    statement_.prepare(sqlcommand, function, prepareFailed);
    start.bind(statement_);
    statement_.bindInteger(4, &value, function,
                           "Error in SQLBindParameter(hStatement_, 4, SQL_PARAM_INPUT, SQL_C_LONG, "
                           "SQL_INTEGER, 10, 0, &Ibuffer, 0, nullptr) ");
    for (const auto &[key, variable] : registry) {
      start.fill(*variable, offset);
      value = variable->value();
      ODBC_LOG(2, function, "VALUE = " << value << " PARENTID = " << start.nid << " TAG = " << key);
      statement_.execute(function, executeFailed);
    }
    statement_.close(function, closeFailed);
  });
}

void PersistencyOdbc::insert(const StringRegistry &registry, int offset) {
  guarded(function, [&] {
    if (registry.empty())
      return;
    RowStart start;
    OdbcLongText value;
    const std::string sqlcommand =
        "INSERT INTO S (NID, TAG, DESCRIPTION, VALUE) VALUES (?, ?, ?, ?)";
    ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
    statement_.prepare(sqlcommand, function, prepareFailed);
    start.bind(statement_);
    statement_.bindText(4, value.data(), value.columnSize, function,
                        "Error in SQLBindParameter(hStatement_, 4, SQL_PARAM_INPUT, SQL_C_WCHAR, "
                        "SQL_WCHAR, valueBufferSize, 0, &valueBuffer, 0, nullptr) ");
    for (const auto &[key, variable] : registry) {
      start.fill(*variable, offset);
      value.assign(variable->value());
      ODBC_LOG(2, function,
               "VALUE = " << variable->value() << " PARENTID = " << start.nid << " TAG = " << key);
      statement_.execute(function, executeFailed);
    }
    statement_.close(function, closeFailed);
  });
}

void PersistencyOdbc::insert(const QuantityRegistry &registry, int offset) {
  guarded(function, [&] {
    odbcElements::noteReplaced(replaced_, registry);
    if (registry.empty())
      return;
    RowStart start;
    double value = 0;
    QuantityHeader unitAndFlags;
    const std::string sqlcommand = "INSERT INTO Q (NID, TAG, DESCRIPTION, VALUE, UNIT, INPUT, "
                                   "OUTPUT) VALUES (?, ?, ?, ?, ?, ?, ?)";
    ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
    statement_.prepare(sqlcommand, function, prepareFailed);
    start.bind(statement_);
    statement_.bindDouble(4, &value, function,
                          "Error in SQLBindParameter(hStatement_, 4, SQL_PARAM_INPUT, SQL_C_DOUBLE, "
                          "SQL_DOUBLE, 15, 0, &value, 0, nullptr) ");
    unitAndFlags.bind(statement_, 5);
    for (const auto &[key, variable] : registry) {
      start.fill(*variable, offset);
      value = variable->value();
      Persistency::sanitize(value);
      unitAndFlags.fill(*variable);
      ODBC_LOG(2, function, "VALUE = " << value << " PARENTID = " << start.nid << " TAG = " << key);
      statement_.execute(function, executeFailed);
      if (dialect() == Dialect::sqlite && odbcElements::isNegativeZero(value))
        odbcElements::setNegativeZero(connection_.get(), "Q", "NID = ? AND TAG = ?", start.nid,
                                      &variable->tag(), function);
    }
    statement_.close(function, closeFailed);
  });
}

void PersistencyOdbc::insert(const IntegerVectorRegistry &registry, int offset) {
  guarded(function, [&] {
    insertVectors<NoHeaderExtras, IntegerElement>(
        statement_, connection_.get(), registry, offset,
        {"INSERT INTO IV (NID, TAG, DESCRIPTION) VALUES (?, ?, ?)",
         "SELECT MAX(ID) FROM IV WHERE NID = ? AND TAG = ?", "INSERT INTO IVV (VID, VALUE) VALUES ",
         "IVV", "VID"},
        dialect() == Dialect::sqlite, verbosity());
  });
}

void PersistencyOdbc::insert(const StringVectorRegistry &registry, int offset) {
  guarded(function, [&] {
    insertVectors<NoHeaderExtras, TextElement>(
        statement_, connection_.get(), registry, offset,
        {"INSERT INTO SV (NID, TAG, DESCRIPTION) VALUES (?, ?, ?)",
         "SELECT MAX(ID) FROM SV WHERE NID = ? AND TAG = ?", "INSERT INTO SVV (VID, VALUE) VALUES ",
         "SVV", "VID"},
        dialect() == Dialect::sqlite, verbosity());
  });
}

void PersistencyOdbc::insert(const QuantityVectorRegistry &registry, int offset) {
  guarded(function, [&] {
    odbcElements::noteReplaced(replaced_, registry);
    insertVectors<QuantityHeader, QuantityElement>(
        statement_, connection_.get(), registry, offset,
        {"INSERT INTO QV (NID, TAG, DESCRIPTION, UNIT, INPUT, OUTPUT) VALUES (?, ?, ?, ?, ?, ?)",
         "SELECT MAX(ID) FROM QV WHERE NID = ? AND TAG = ?", "INSERT INTO QVV (VID, VALUE) VALUES ",
         "QVV", "VID"},
        dialect() == Dialect::sqlite, verbosity());
  });
}

void PersistencyOdbc::insert(const QuantityMatrixRegistry &registry, int offset) {
  guarded(function, [&] {
    odbcElements::noteReplaced(replaced_, registry);
    insertVectors<QuantityHeader, QuantityElement>(
        statement_, connection_.get(), registry, offset,
        {"INSERT INTO QM (NID, TAG, DESCRIPTION, UNIT, INPUT, OUTPUT) VALUES (?, ?, ?, ?, ?, ?)",
         "SELECT MAX(ID) FROM QM WHERE NID = ? AND TAG = ?", "INSERT INTO QMV (MID, VALUE) VALUES ",
         "QMV", "MID"},
        dialect() == Dialect::sqlite, verbosity());
  });
}
