#pragma once
// Bound parameter buffers for the values of variables, shared by insertion
// and update, and the statements that carry many rows of them at once.
// Physical values are made storable like scalars, so that a NaN or infinite
// element cannot make a case unreadable.

#include "PersistencyOdbcLog.h"
#include "velta/persistency/OdbcStatement.h"
#include "velta/persistency/OdbcText.h"
#include "velta/persistency/Persistency.h"
#include "velta/persistency/PersistencyOdbc.h"
#include "velta/persistency/TypeVector.h"
#include "velta/value/Value.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <typeinfo>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace odbcElements {

// SQLite cannot keep -0.0 in a column of REAL affinity: it stores a real
// with an integral value as an integer, and the sign of zero is lost. There
// -0.0 is stored as the eight bytes of its IEEE pattern instead, and read
// back as -0.0. The rows are written with 0 like every other value and then
// given the bytes, one statement per -0.0 (which is rare), so that the
// statements of all other values stay as they are.
inline constexpr const char *negativeZeroBytes = "X'8000000000000000'";

inline bool isNegativeZero(double value) { return value == 0 && std::signbit(value); }

// Sets VALUE to the bytes of -0.0 in the rows of table that `where` selects,
// with its first marker bound to key and a second one, if tag is given, to
// the tag.
inline void setNegativeZero(void *connection, const std::string &table, const std::string &where,
                            int key, const std::string *tag, const char *function) {
  OdbcStatement statement;
  statement.allocate(connection, function,
                     "Error in SQLAllocHandle(SQL_HANDLE_STMT, hConnection_, &h) ");
  statement.prepare("UPDATE " + table + " SET VALUE = " + negativeZeroBytes + " WHERE " + where,
                    function, "Error in SQLPREPARE(h, (SQLCHAR*)sqlcommand.c_str(), SQL_NTS) ");
  statement.bindInteger(1, &key, function,
                        "Error in SQLBindParameter(h, 1, SQL_PARAM_INPUT, SQL_C_LONG, SQL_INTEGER, "
                        "10, 0, &key, 0, nullptr) ");
  OdbcTagText tagBuffer;
  if (tag) {
    tagBuffer.assign(*tag);
    statement.bindText(2, tagBuffer.data(), tagBuffer.columnSize, function,
                       "Error in SQLBindParameter(h, 2, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WCHAR, "
                       "tagBufferSize, 0, tagBuffer, 0, nullptr) ");
  }
  statement.execute(function, "Error in SQLExecute(h) ");
}

// The same for the elements of one vector just written, whose rows are the
// header's in id order.
template <class Values>
void setNegativeZeroElements(void *connection, const std::string &elements, const std::string &key,
                             int headerId, const Values &values, const char *function) {
  for (std::size_t i = 0; i < values.size(); ++i)
    if (isNegativeZero(values[i].value()))
      setNegativeZero(connection, elements,
                      "ID = (SELECT MIN(ID) FROM " + elements + " WHERE " + key + " = ?) + " +
                          std::to_string(i),
                      headerId, nullptr, function);
}

// Counts the values of a registry that Persistency::sanitize changes, and
// keeps the full tag of the first.
inline void noteReplaced(PersistencyOdbc::ReplacedValues &replaced, const Item &variable,
                         const Value &value) {
  double stored = value.value();
  Persistency::sanitize(stored);
  if (std::bit_cast<std::uint64_t>(stored) == std::bit_cast<std::uint64_t>(value.value()))
    return;
  if (replaced.count++ == 0)
    replaced.first = variable.fullTag();
}
template <class Registry>
void noteReplaced(PersistencyOdbc::ReplacedValues &replaced, const Registry &registry) {
  using Variable = std::remove_pointer_t<typename Registry::mapped_type>;
  if constexpr (std::is_base_of_v<Value, Variable>) {
    for (const auto &entry : registry)
      noteReplaced(replaced, *entry.second, *entry.second);
  } else if constexpr (std::is_base_of_v<TypeVector<Value>, Variable>) {
    for (const auto &entry : registry)
      for (const Value &value : entry.second->value())
        noteReplaced(replaced, *entry.second, value);
  }
}

// The stored form of a value: texts converted and cut, physical values
// made storable.
inline int storedValue(int value) { return value; }
inline std::u16string storedValue(const std::string &value) { return OdbcLongText::units(value); }
inline double storedValue(const Value &value) {
  double number = value.value();
  Persistency::sanitize(number);
  return number;
}

// Each buffer names the SQL type that a parameter of its kind is cast to
// where the server cannot infer it (in a VALUES list).
struct IntegerElement {
  static constexpr const char *sqlType = "INTEGER";
  static constexpr bool isDouble = false;
  int buffer = 0;
  void bind(OdbcStatement &statement, int marker, const char *function, const char *message) {
    statement.bindInteger(marker, &buffer, function, message);
  }
  void fill(int value) { buffer = value; }
  void set(int value) { buffer = value; }
};

struct TextElement {
  static constexpr const char *sqlType = "VARCHAR";
  static constexpr bool isDouble = false;
  OdbcLongText buffer;
  void bind(OdbcStatement &statement, int marker, const char *function, const char *message) {
    statement.bindText(marker, buffer.data(), buffer.columnSize, function, message);
  }
  void fill(const std::string &value) { buffer.assign(value); }
  void set(const std::u16string &value) { buffer.assignUnits(value); }
};

struct QuantityElement {
  static constexpr const char *sqlType = "DOUBLE PRECISION";
  static constexpr bool isDouble = true;
  double buffer = 0;
  void bind(OdbcStatement &statement, int marker, const char *function, const char *message) {
    statement.bindDouble(marker, &buffer, function, message);
  }
  void fill(const Value &value) { buffer = storedValue(value); }
  void set(double value) { buffer = value; }
};

// The statements of one connection, kept from one use to the next, so that
// a statement that the store runs many times is prepared once and then
// executed again with new parameters (new values in its bound buffers, or
// new buffers bound). On PostgreSQL, where preparing costs two round trips
// of its own, a statement's first run goes out directly (parse, bind and
// execute in one round trip) unless it is to run again at once; it is
// prepared at its second run. SQLite has no round trips: its statements are
// prepared at their first run.
struct KeptStatement {
  virtual ~KeptStatement() = default;
  OdbcStatement statement;
  std::string sql;
  bool prepared = false;
  int runs = 0;
};

class StatementCache {
public:
  StatementCache(void *connection, bool directFirst)
      : connection_(connection), directFirst_(directFirst) {}
  StatementCache(const StatementCache &) = delete;
  StatementCache &operator=(const StatementCache &) = delete;

  // The kept statement of this key (made by make() on first use); the key
  // names the statement text and the kind of its buffers.
  template <class Kept, class Make> Kept &get(const std::string &key, Make &&make) {
    auto found = kept_.find(key);
    if (found == kept_.end())
      found = kept_.emplace(key, make()).first;
    return static_cast<Kept &>(*found->second);
  }
  KeptStatement &get(const std::string &sql) {
    return get<KeptStatement>(sql, [&] {
      auto kept = std::make_unique<KeptStatement>();
      kept->sql = sql;
      return kept;
    });
  }

  // Runs kept once. bind() binds every marker of the statement; it is
  // called after a prepare, before a direct run, and before every run when
  // rebind is set (buffers that change from run to run). again tells that
  // the caller runs the statement again right after. Returns false when the
  // driver reports SQL_NO_DATA.
  template <class Bind>
  bool run(KeptStatement &kept, bool again, bool rebind, Bind &&bind, const char *function) {
    if (!kept.statement)
      kept.statement.allocate(connection_, function,
                              "Error in SQLAllocHandle(SQL_HANDLE_STMT, hConnection_, &h) ");
    const bool direct = !kept.prepared && directFirst_ && kept.runs == 0 && !again;
    ++kept.runs;
    if (direct) {
      kept.statement.resetParameters();
      bind();
      return kept.statement.execDirect(
          kept.sql, function,
          "Error in SQLEXECDIRECT(hStatement_, (SQLCHAR*)sqlcommand.c_str(), SQL_NTS) ");
    }
    if (!kept.prepared) {
      kept.statement.prepare(kept.sql, function,
                             "Error in SQLPREPARE(hStatement_, (SQLCHAR*)sqlcommand.c_str(), "
                             "SQL_NTS) ");
      kept.prepared = true;
      bind();
    } else if (rebind) {
      bind();
    }
    return kept.statement.execute(function, "Error in SQLExecute(hStatement_) ");
  }

  // After a failure: no kept statement keeps a cursor open.
  void closeCursors() noexcept {
    for (auto &entry : kept_)
      entry.second->statement.closeCursorQuietly();
  }

private:
  void *connection_;
  bool directFirst_;
  std::map<std::string, std::unique_ptr<KeptStatement>> kept_;
};

// The text of a statement that carries several rows of parameters: head,
// the row once per row (separated by ", "), then tail. Row is a set of
// parameter buffers with `static constexpr int markers` and
// `void bind(OdbcStatement &, int firstMarker)`.
struct RowsText {
  std::string head;
  std::string row;
  std::string tail;
};

// Where a row may be sent twice with no other effect (an update that sets
// the same value again), the tail of a run may go out padded with copies of
// its last row, in one larger statement instead of several small ones:
// fewer round trips and fewer statements to prepare.
enum class Padding { none, repeatLastRow };

// Statements of 256 rows, 64, 16, 4 and 1 row (fewer where a row has many
// parameters), kept with the connection's statements and their parameter
// buffers (see StatementCache): a run of rows goes out as a few statements
// executed many times, each prepared once per connection. Small statements
// cost little to prepare; very large ones cost more to compile than they
// save. The rows of one statement are handled in their order (element ids
// of an insertion stay consecutive in element order).
inline constexpr std::size_t largestBatch = 256;
// SQLite takes up to 32766 parameters per statement, PostgreSQL 65535, but
// libpq, under the PostgreSQL driver, refuses the description of a prepared
// statement's parameters that is longer than 30,000 bytes (4 per parameter).
inline constexpr std::size_t parametersPerStatement = 7000;
template <class Row> class RowBatches {
public:
  RowBatches(StatementCache &statements, RowsText text, const char *function, int verbosity,
             Padding padding = Padding::none)
      : statements_(statements), text_(std::move(text)), function_(function),
        verbosity_(verbosity), padding_(padding) {
    const std::size_t largest =
        std::min(largestBatch, std::max<std::size_t>(1, parametersPerStatement / Row::markers));
    for (std::size_t rows = largest; rows >= 1; rows /= 4)
      sizes_.push_back(rows);
    if (sizes_.back() != 1)
      sizes_.push_back(1);
  }

  // Sends `count` rows; fill(row, i) fills the buffers of row i of the run.
  // Returns the number of table rows that the statements changed.
  template <class Fill> long send(std::size_t count, Fill &&fill) {
    long changed = 0;
    std::size_t next = 0;
    while (next < count) {
      const std::size_t left = count - next;
      const std::size_t size = pick(left);
      Batch &batch = kept(size);
      for (std::size_t i = 0; i < size; ++i)
        fill(batch.rows[i], std::min(next + i, count - 1));
      const std::size_t sent = std::min(size, left);
      const bool again = left > sent && pick(left - sent) == size;
      // SQL_NO_DATA (an update that matched no row) is not a failure here:
      // the caller compares the rows changed with the rows it expected.
      const bool ran = statements_.run(
          batch, again, false,
          [&] {
            // Last row first: the drivers grow their parameter table to the
            // highest marker bound so far, which then happens once instead
            // of once per marker (with a copy of the table each time).
            for (std::size_t i = size; i-- > 0;)
              batch.rows[i].bind(batch.statement, static_cast<int>(i) * Row::markers + 1);
          },
          function_);
      if (ran)
        changed += batch.statement.rowCount(function_, "Error in SQLRowCount(h, &RowCount) ");
      batch.statement.close(function_, "Error in SQLFreeStmt(hStatement_, SQL_CLOSE) ", false);
      next += sent;
    }
    return changed;
  }

private:
  struct Batch : KeptStatement {
    // Made with the statement, never resized after: the statement is bound
    // to them.
    std::vector<Row> rows;
  };

  // The largest statement that the rows left fill; with padding, the
  // smallest that takes them all when at most half of it would be copies.
  std::size_t pick(std::size_t left) const {
    if (padding_ == Padding::repeatLastRow) {
      for (auto it = sizes_.rbegin(); it != sizes_.rend(); ++it)
        if (*it >= left) {
          if (*it <= 2 * left)
            return *it;
          break;
        }
    }
    for (const std::size_t size : sizes_)
      if (size <= left)
        return size;
    return sizes_.back();
  }

  Batch &kept(std::size_t size) {
    const std::string key = text_.head + text_.row + text_.tail + "#" + std::to_string(size) +
                            "#" + typeid(Row).name();
    return statements_.get<Batch>(key, [&] {
      auto batch = std::make_unique<Batch>();
      batch->rows.resize(size);
      batch->sql = text_.head;
      for (std::size_t i = 0; i < size; ++i) {
        if (i > 0)
          batch->sql += ", ";
        batch->sql += text_.row;
      }
      batch->sql += text_.tail;
      VELTA_LOG(verbosity_ + 1, 2, function_, "sqlcommand = " << batch->sql);
      return batch;
    });
  }

  StatementCache &statements_;
  RowsText text_;
  const char *function_;
  int verbosity_;
  Padding padding_;
  std::vector<std::size_t> sizes_;
};

// The SQL condition that a stored value (column) differs from a new one
// (value) on PostgreSQL: doubles bit for bit, so that -0 replaces 0.
template <class Element> std::string differs(const std::string &column, const std::string &value) {
  if constexpr (Element::isDouble)
    return "float8send(" + column + ") IS DISTINCT FROM float8send(" + value + ")";
  else
    return column + " IS DISTINCT FROM " + value;
}

// The text of a PostgreSQL array of one column's values, in UTF-16 like
// every text parameter: "{1,2}", "{1.5,-0}", "{\"a\",\"b \\\"c\\\"\"}".
// Doubles are written in the shortest form that reads back as the same
// double.
class ArrayLiteral {
public:
  void add(int value) { addAscii(value); }
  void add(unsigned char value) { addAscii(static_cast<int>(value)); }
  void add(double value) { addAscii(value); }
  void add(const std::u16string &value) {
    separate();
    text_ += u'"';
    for (const char16_t unit : value) {
      if (unit == u'"' || unit == u'\\')
        text_ += u'\\';
      text_ += unit;
    }
    text_ += u'"';
  }
  std::u16string &done() {
    text_ += u'}';
    return text_;
  }
  std::u16string &text() { return text_; }

private:
  template <class T> void addAscii(T value) {
    separate();
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    text_.append(digits, end);
  }
  void separate() { text_ += text_.size() > 1 ? u"," : u""; }
  std::u16string text_ = u"{";
};

// Runs head + "unnest(" + one array parameter per type + ")" + tail on
// PostgreSQL, the arrays bound as texts: any number of rows in one
// statement, kept with the connection's statements. Returns the rows
// changed (or selected).
// With countRow the statement is a query whose one row holds the count to
// return.
inline long executeUnnested(StatementCache &statements, const std::string &head,
                            const std::vector<std::string> &types, std::vector<ArrayLiteral> &arrays,
                            const std::string &tail, const char *function, int verbosity,
                            bool countRow = false) {
  std::string casts;
  for (const std::string &type : types)
    casts += (casts.empty() ? "CAST(? AS " : ", CAST(? AS ") + type + "[])";
  const std::string sqlcommand = head + "unnest(" + casts + ")" + tail;
  VELTA_LOG(verbosity + 1, 2, function, "sqlcommand = " << sqlcommand);
  KeptStatement &kept = statements.get(sqlcommand);
  for (ArrayLiteral &array : arrays)
    array.done();
  const bool ran = statements.run(kept, false, true, [&] {
    for (std::size_t c = 0; c < arrays.size(); ++c) {
      std::u16string &text = arrays[c].text();
      kept.statement.bindText(static_cast<int>(c) + 1, text.data(), static_cast<int>(text.size()),
                              function,
                              "Error in SQLBindParameter(hStatement_, column, SQL_PARAM_INPUT, "
                              "SQL_C_WCHAR, SQL_WCHAR, arraySize, 0, array, 0, nullptr) ");
    }
  }, function);
  long changed = 0;
  if (countRow && ran && kept.statement.fetch(function, "Error in SQLFetch(hStatement_) "))
    changed = static_cast<long>(
        kept.statement
            .getBigInteger(1, function, "Error in SQLGetData(hStatement_, 1, SQL_C_SBIGINT, "
                                        "&count, 0, &ValueLen) ")
            .value_or(0));
  else if (!countRow && ran)
    changed = kept.statement.rowCount(function, "Error in SQLRowCount(h, &RowCount) ");
  kept.statement.close(function, "Error in SQLFreeStmt(hStatement_, SQL_CLOSE) ", false);
  return changed;
}

} // namespace odbcElements
