#pragma once
// Rows written inside a write transaction wait here and go to the database
// together, table by table, in statements of many rows each: storing a case
// then costs a few round trips per table instead of several per node. They
// are sent before any other operation of the store runs (so that every
// statement sees them), when the outermost transaction commits, and at once
// outside a transaction. A rollback drops them with the rest of the
// transaction.
//
// Every text is converted and cut when its row is kept, so that a text that
// is not UTF-8 fails in the call that hands it over. Vector headers get
// their ids when they are sent (see PersistencyOdbc::reserveIds); their
// elements refer to them by position until then.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace odbcPending {

struct NodeRow {
  int id = 0;
  std::u16string uuid, tag, description, type, fullTag;
  int parent = 0;
  int root = 0;
  int range = 1;
};

// NID, TAG and DESCRIPTION, the first columns of every scalar and header row.
struct RowStart {
  int nid = 0;
  std::u16string tag, description;
};

// The unit and flags of a quantity, quantity vector or matrix.
struct QuantityExtras {
  std::u16string unit;
  unsigned char input = 0;
  unsigned char output = 0;
};

template <class T> struct ScalarRow {
  RowStart start;
  T value{};
  QuantityExtras extras; // Q only
};

// A header row and where its elements are among the table's elements.
struct HeaderRow {
  RowStart start;
  QuantityExtras extras; // QV and QM only
  std::size_t firstElement = 0;
  std::size_t elementCount = 0;
};

template <class T> struct VectorRows {
  std::vector<HeaderRow> headers;
  std::vector<T> elements;
  bool empty() const { return headers.empty(); }
};

// A -0.0 that SQLite must be given as bytes once its row is written (see
// odbcElements::setNegativeZero): a Q row by node and tag, or element
// `element` of header `header` of a vector table.
struct NegativeZero {
  int nid = 0;
  std::string tag;
  std::size_t header = 0;
  std::size_t element = 0;
};

// The new value of a scalar variable's row (node, tag).
template <class T> struct ScalarUpdate {
  int nid = 0;
  std::string tag;      // for the messages
  std::string fullTag;  // the variable's, for the messages
  T value{};
};

// The new elements of a vector variable's rows.
template <class T> struct VectorUpdate {
  int nid = 0;
  std::string tag;
  std::string fullTag;
  std::vector<T> values;
};

// The updates of one table, in the order they were given; a later update
// of the same row replaces an earlier one when they are sent.
template <class Update> using Updates = std::vector<Update>;

} // namespace odbcPending

struct PersistencyOdbcPending {
  std::vector<odbcPending::NodeRow> nodes;
  std::vector<odbcPending::ScalarRow<int>> integers;
  std::vector<odbcPending::ScalarRow<std::u16string>> strings;
  std::vector<odbcPending::ScalarRow<double>> quantities;
  std::vector<odbcPending::NegativeZero> negativeQuantities;
  odbcPending::VectorRows<int> integerVectors;
  odbcPending::VectorRows<std::u16string> stringVectors;
  odbcPending::VectorRows<double> quantityVectors;
  odbcPending::VectorRows<double> quantityMatrices;
  std::vector<odbcPending::NegativeZero> negativeVectorElements;
  std::vector<odbcPending::NegativeZero> negativeMatrixElements;

  // Updates, sent after the insertions: node rows touched (id, time) and
  // new values.
  std::vector<std::pair<int, double>> touched;
  odbcPending::Updates<odbcPending::ScalarUpdate<int>> integerUpdates;
  odbcPending::Updates<odbcPending::ScalarUpdate<double>> quantityUpdates;
  odbcPending::Updates<odbcPending::ScalarUpdate<std::u16string>> stringUpdates;
  odbcPending::Updates<odbcPending::VectorUpdate<int>> integerVectorUpdates;
  odbcPending::Updates<odbcPending::VectorUpdate<double>> quantityVectorUpdates;
  odbcPending::Updates<odbcPending::VectorUpdate<double>> quantityMatrixUpdates;
  odbcPending::Updates<odbcPending::VectorUpdate<std::u16string>> stringVectorUpdates;

  bool insertsEmpty() const {
    return nodes.empty() && integers.empty() && strings.empty() && quantities.empty() &&
           integerVectors.empty() && stringVectors.empty() && quantityVectors.empty() &&
           quantityMatrices.empty();
  }
  bool empty() const {
    return insertsEmpty() && touched.empty() && integerUpdates.empty() &&
           quantityUpdates.empty() && stringUpdates.empty() && integerVectorUpdates.empty() &&
           quantityVectorUpdates.empty() && quantityMatrixUpdates.empty() &&
           stringVectorUpdates.empty();
  }
};
