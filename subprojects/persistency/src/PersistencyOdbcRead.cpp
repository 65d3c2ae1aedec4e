// Reading the variables of a stored node back into the registered variables
// of an object. Reading is driven by the registry: a row changes a variable
// only when a variable with its tag is registered; nothing is added to or
// removed from a registry. Each vector kind is read with one statement
// (headers joined with their elements, in element order), and the variables
// are changed only after the statement is done. Inside a read transaction
// the statement of a table covers the whole case being read, once (see
// blockRows); outside one it covers the node alone.

#include "velta/persistency/PersistencyOdbc.h"

#include "PersistencyOdbcBlock.h"
#include "PersistencyOdbcElements.h"
#include "PersistencyOdbcLog.h"
#include "velta/persistency/ErrorOdbc.h"
#include "velta/persistency/Integer.h"
#include "velta/persistency/IntegerVector.h"
#include "velta/persistency/Object.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/QuantityMatrix.h"
#include "velta/persistency/QuantityVector.h"
#include "velta/persistency/String.h"
#include "velta/persistency/StringVector.h"
#include "velta/utility/UtfConverter.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
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

using TableQuery = odbcBlock::Query;
class BlockRows;

// What a read finds wrong with a stored row, named by its tag and table; the
// store adds the case and node before the error leaves (see readFault).
struct RowFault {
  std::string tag;
  std::string table;
  std::string what;
  bool damaged;
  // The node whose row it is, when not the node being read.
  int node = -1;
};

// Rows whose contents contradict what the store writes.
[[noreturn]] void damaged(int, const std::string &tag, const std::string &table,
                          const std::string &what) {
  throw RowFault{tag, table, what, true};
}

// Runs the reading of one row (tag in table); an error on the way (a driver
// failure, a text that is not UTF-8, units that do not fit) becomes a fault
// of that row.
template <class Read> auto atRow(const std::string &tag, const std::string &table, Read &&read) {
  try {
    return read();
  } catch (const Error &error) {
    throw RowFault{tag, table, errorLines(error), false};
  }
}

template <class Rows> std::string requiredTag(Rows &statement, const std::string &table) {
  const std::optional<std::string> tag =
      atRow("?", table, [&] { return statement.getText(1, function, tagFailed); });
  if (!tag)
    throw RowFault{"NULL", table, "Could not read TAG field in " + table + " table", false};
  return *tag;
}

// The SQLite driver hands doubles over as text of 15 digits, and SQLite's
// own printf is not exact either (nor are its conversions of huge or tiny
// numbers). There the VALUE column is read as the text "m k" of two
// integers, x = m * 2^-k exactly: m is x scaled by a power of two into
// [2^59, 2^61], which multiplications by powers of two and the conversion
// to an integer do without rounding. -0.0, which SQLite keeps as the bytes
// of its pattern (see setNegativeZero), reads "-0"; text or other bytes where
// a number belongs read "text" or "blob", an infinity "inf" or "-inf".
std::string doubleColumn(bool exactText, const std::string &column) {
  if (!exactText)
    return column;
  // Below 1e-280 the power of two would pass 2^1023: applied in two steps.
  const std::string scale = "(60 - CAST(floor(log2(abs(" + column + "))) AS INTEGER))";
  // The common case first, in the fewest steps.
  const std::string common = "CAST(CAST(" + column + " * pow(2, " + scale +
                             ") AS INTEGER) AS TEXT) || ' ' || " + scale;
  return "CASE WHEN abs(" + column + ") BETWEEN 1e-280 AND 1.7976931348623157e308 AND typeof(" +
         column + ") = 'real' THEN " + common + " ELSE CASE typeof(" + column + ") WHEN 'null' THEN NULL WHEN 'integer' THEN printf('%lld 0', " +
         column + ") WHEN 'real' THEN CASE WHEN " + column + " = 0 THEN '0 0' WHEN abs(" + column +
         ") > 1.7976931348623157e308 THEN CASE WHEN " + column +
         " > 0 THEN 'inf' ELSE '-inf' END WHEN abs(" + column +
         ") > 1e-280 THEN printf('%lld %d', CAST(" + column + " * pow(2, " + scale +
         ") AS INTEGER), " + scale + ") ELSE printf('%lld %d', CAST(" + column + " * pow(2, " +
         scale + " / 2) * pow(2, " + scale + " - " + scale + " / 2) AS INTEGER), " + scale +
         ") END WHEN 'blob' THEN CASE WHEN " + column + " = " + odbcElements::negativeZeroBytes +
         " THEN '-0' ELSE 'blob' END ELSE 'text' END END";
}

// Where a stored number is read: for the error of a damaged row.
struct NumberPlace {
  int nid;
  const std::string &tag;
  const std::string &table;
};

// The number of a text "m k" (m * 2^-k) or "-0"; none for any other text.
std::optional<double> exactNumber(std::string_view text) {
  if (text == "-0")
    return -0.0;
  if (text == "inf" || text == "-inf")
    return text == "inf" ? HUGE_VAL : -HUGE_VAL;
  long long mantissa = 0;
  int scale = 0;
  const char *const end = text.data() + text.size();
  const auto [middle, error] = std::from_chars(text.data(), end, mantissa);
  const bool valid = error == std::errc() && middle != end && *middle == ' ' &&
                     std::from_chars(middle + 1, end, scale).ptr == end;
  if (!valid)
    return std::nullopt;
  return std::ldexp(static_cast<double>(mantissa), -scale);
}

// The store never writes a number that is not finite (see sanitize): one
// found in a stored row is damage, on every database alike.
std::optional<double> finiteOrDamaged(std::optional<double> value, const NumberPlace &place) {
  if (value && !std::isfinite(*value))
    damaged(place.nid, place.tag, place.table,
            std::string("VALUE holds ") + (std::isnan(*value) ? "nan" : *value > 0 ? "inf" : "-inf") +
                " where a finite number belongs");
  return value;
}

template <class Rows>
std::optional<double> getStoredDouble(Rows &statement, int column, bool exactText,
                                      const char *message, const NumberPlace &place) {
  if (!exactText)
    return finiteOrDamaged(statement.getDouble(column, function, message), place);
  if constexpr (std::is_same_v<Rows, BlockRows>)
    // Packed elements come converted already where they were numbers.
    if (const std::optional<double> number = statement.getDouble(column, function, message))
      return finiteOrDamaged(number, place);
  const std::optional<std::string> text = statement.getText(column, function, message);
  if (!text)
    return std::nullopt;
  const std::optional<double> value = exactNumber(*text);
  if (!value)
    damaged(place.nid, place.tag, place.table, "VALUE holds " + *text + " where a number belongs");
  return finiteOrDamaged(value, place);
}

// A stored SI value with the units of unit; keeps the sign of -0.0, which
// the conversion (x * factor + offset) would lose.
Value storedValue(double si, const std::string &unit) {
  Value value(si, unit);
  if (std::signbit(si) != std::signbit(value.value()))
    return Value(si, value.units());
  return value;
}

// storedValue for many values of one unit, the unit looked up once: a unit
// that converts nothing (the SI unit texts that the store writes) gives
// the values their units directly.
class StoredUnit {
public:
  explicit StoredUnit(const std::string &unit)
      : unit_(unit), one_(storedValue(1.0, unit)),
        identity_(one_.value() == 1.0 && storedValue(0.0, unit).value() == 0.0) {}
  const std::string &unit() const { return unit_; }
  Value operator()(double si) const {
    return identity_ ? Value(si, one_.units()) : storedValue(si, unit_);
  }

private:
  std::string unit_;
  Value one_;
  bool identity_;
};

// A node's rows give each variable once: a tag met twice is damage.
class OnceEach {
public:
  void add(const std::string &tag) { tags_.push_back(tag); }
  void check(const std::string &table) {
    std::sort(tags_.begin(), tags_.end());
    const auto twice = std::adjacent_find(tags_.begin(), tags_.end());
    if (twice != tags_.end())
      throw RowFault{*twice, table, "two rows for one variable", true};
  }

private:
  std::vector<std::string> tags_;
};

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

// The SQL expression of a row packed into one text, with the columns'
// kinds: T (and V) a text, as its length, ":" and the text; X a number
// read exactly, C a short text without commas, and I an integer, each
// followed by ","; F a flag, "1" or "0". A NULL column is "-" (and its ",",
// where it has one). Such rows follow one another without a separator;
// PackedRows reads them back. SQLite gives lengths in bytes and exact
// numbers as doubleColumn does; PostgreSQL lengths in characters (whatever
// its encoding) and numbers as its shortest exact text (the driver asks
// for all their digits).
std::string packedRow(const std::vector<std::string> &columns, const std::string &kinds,
                      bool sqlite) {
  std::string row;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const std::string &column = columns[c];
    const std::string text = "CAST(" + column + " AS VARCHAR)";
    if (c > 0)
      row += " || ";
    switch (kinds[c]) {
    case 'X':
      row += "COALESCE(" + (sqlite ? doubleColumn(true, column) : text) + ", '-') || ','";
      break;
    case 'C':
    case 'I':
      row += "COALESCE(" + text + ", '-') || ','";
      break;
    case 'F':
      // SQLite writes the comparison's 1 or 0 as they stand.
      row += sqlite ? "COALESCE(" + column + " <> 0, '-')"
                    : "CASE WHEN " + column + " IS NULL THEN '-' WHEN " + column +
                          " <> 0 THEN '1' ELSE '0' END";
      break;
    default:
      row += "COALESCE(" +
             (sqlite ? "length(CAST(" + column + " AS BLOB))" : "char_length(" + text + ")") +
             " || ':' || " + text + ", '-')";
    }
  }
  return row;
}

TableQuery vectorQuery(const std::string &header, const std::string &elements,
                       const std::string &key, bool quantities, bool integers, bool exactText);

// The query of a table of scalars (I, S or Q).
TableQuery scalarQuery(const std::string &table, PersistencyOdbc::Dialect dialect) {
  const bool sqlite = dialect == PersistencyOdbc::Dialect::sqlite;
  TableQuery query;
  if (table == "I")
    query = {"I", "TAG, VALUE, " + integerCheck(sqlite, "VALUE"), "I", "NID", "", "TVT", {}, {}, {}};
  else if (table == "S")
    query = {"S", "TAG, VALUE", "S", "NID", "", "TT", {}, {}, {}};
  else
    query = {"Q", "TAG, " + doubleColumn(sqlite, "VALUE") + ", UNIT, INPUT, OUTPUT", "Q", "NID", "",
             sqlite ? "TTTFF" : "TDTFF", {}, {}, {}};
  if (table == "I") {
    query.packedKinds = "TVC";
    query.packed =
        packedRow({"TAG", "VALUE", integerCheck(sqlite, "VALUE")}, query.packedKinds, sqlite);
  } else if (table == "S") {
    query.packedKinds = "TT";
    query.packed = packedRow({"TAG", "VALUE"}, query.packedKinds, sqlite);
  } else {
    query.packedKinds = "TXTFF";
    query.packed =
        packedRow({"TAG", "VALUE", "UNIT", "INPUT", "OUTPUT"}, query.packedKinds, sqlite);
  }
  return query;
}

template <class Rows> void requireInteger(Rows &statement, int column, const NumberPlace &place) {
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
  template <class Rows>
  static int get(Rows &statement, const std::string &table, bool,
                 const NumberPlace &place) {
    requireInteger(statement, 5, place);
    const std::optional<int> value = statement.getInteger(
        4, function, "Error in SQLGetData(hStatement_, 1, SQL_C_LONG, &value, 10, &ValueLen) ");
    if (!value)
      throw RowFault{place.tag, table, "Could not read VALUE field in " + table + " table", false};
    return *value;
  }
};
struct TextColumn {
  static constexpr bool integers = false;
  template <class Rows>
  static std::string get(Rows &statement, const std::string &, bool, const NumberPlace &) {
    return statement
        .getText(4, function,
                 "Error in SQLGetData(hStatement_, 1, SQL_C_WCHAR, szData, sizeof(szData), "
                 "&ValueLen) ")
        .value_or("");
  }
};
struct DoubleColumn {
  static constexpr bool integers = false;
  template <class Rows>
  static double get(Rows &statement, const std::string &table, bool exactText,
                    const NumberPlace &place) {
    const std::optional<double> value = getStoredDouble(
        statement, 4, exactText,
        "Error in SQLGetData(hStatement_, 1, SQL_C_DOUBLE, &value, 15, &ValueLen) ", place);
    if (!value)
      throw RowFault{place.tag, table, "Could not read VALUE field in " + table + " table", false};
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

// The query of a vector kind: headers joined with their elements, in
// element order. Columns: tag, header id, element id, value, then for
// quantities unit and flags, for integers the value's check.
TableQuery vectorQuery(const std::string &header, const std::string &elements,
                       const std::string &key, bool quantities, bool integers, bool exactText) {
  TableQuery query{header,
                   "h.TAG, h.ID, e.ID, " +
                       (quantities ? doubleColumn(exactText, "e.VALUE") : "e.VALUE"),
                   header + " h LEFT JOIN " + elements + " e ON e." + key + " = h.ID",
                   "h.NID",
                   " ORDER BY h.ID, e.ID",
                   "TII",
                   {},
                   {},
                   {}};
  const std::string value = quantities ? doubleColumn(exactText, "e.VALUE") : "e.VALUE";
  query.split = {elements, key, "h.TAG, h.ID", "TI", "e.ID, " + value, "I", "", ""};
  std::vector<std::string> packed = {"ID", "VALUE"};
  std::string packedKinds = "I";
  if (quantities) {
    query.select += ", h.UNIT, h.INPUT, h.OUTPUT";
    query.kinds += exactText ? "TTFF" : "DTFF";
    query.split.headerSelect += ", h.UNIT, h.INPUT, h.OUTPUT";
    query.split.headerKinds += "TFF";
    query.split.elementKinds += exactText ? "T" : "D";
    packedKinds += "X";
  } else if (integers) {
    query.select += ", " + integerCheck(exactText, "e.VALUE");
    query.kinds += "VT";
    query.split.elementSelect += ", " + integerCheck(exactText, "e.VALUE");
    query.split.elementKinds += "VT";
    packed.push_back(integerCheck(exactText, "VALUE"));
    packedKinds += "VC";
  } else {
    query.kinds += "T";
    query.split.elementKinds += "T";
    packedKinds += "T";
  }
  query.split.packedElements = packedRow(packed, packedKinds, exactText);
  query.split.packedElementKinds = packedKinds;
  return query;
}

// The query of a table (I, S, Q, IV, SV, QV or QM) for a database, made once.
const TableQuery &tableQuery(const std::string &table, PersistencyOdbc::Dialect dialect) {
  static std::map<std::pair<std::string, PersistencyOdbc::Dialect>, TableQuery> made;
  const auto key = std::make_pair(table, dialect);
  if (const auto found = made.find(key); found != made.end())
    return found->second;
  const bool sqlite = dialect == PersistencyOdbc::Dialect::sqlite;
  TableQuery query;
  if (table == "IV")
    query = vectorQuery("IV", "IVV", "VID", false, true, sqlite);
  else if (table == "SV")
    query = vectorQuery("SV", "SVV", "VID", false, false, sqlite);
  else if (table == "QV")
    query = vectorQuery("QV", "QVV", "VID", true, false, sqlite);
  else if (table == "QM")
    query = vectorQuery("QM", "QMV", "MID", true, false, sqlite);
  else
    query = scalarQuery(table, dialect);
  return made.emplace(key, std::move(query)).first->second;
}

template <class Column, class T, class Rows>
std::map<std::string, StoredVector<T>>
readStoredVectors(Rows &statement, int nid, const std::string &header, const std::string &elements,
                  bool quantities, std::map<std::string, StoredFlags> *flags,
                  const std::function<bool(const std::string &)> &registered, bool exactText,
                  int verbosity) {
  std::map<std::string, StoredVector<T>> stored;
  while (statement.fetch(function, fetchFailed)) {
    const std::string tag = requiredTag(statement, header);
    if (!registered(tag)) {
      VELTA_LOG(verbosity + 1, 2, function, "skipping " << tag);
      continue;
    }
    atRow(tag, header, [&] {
      const std::optional<int> id = statement.getInteger(
          2, function, "Error in SQLGetData(hStatement_, 2, SQL_C_LONG, &vid, 10, &ValueLen) ");
      if (!id)
        throw RowFault{tag, header, "Could not read ID field in " + header + " table", false};
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
    });
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
template <class Registry, class Rows>
void readQuantityVectors(Rows &statement, int nid, const Registry &registry,
                         const std::string &header, const std::string &elements, bool exactText,
                         int verbosity) {
  std::map<std::string, StoredFlags> flags;
  const auto stored = readStoredVectors<DoubleColumn, double>(
      statement, nid, header, elements, true, &flags, inRegistry(registry), exactText, verbosity);
  for (const auto &[tag, variable] : registry) {
    const auto found = stored.find(tag);
    if (found == stored.end()) {
      VELTA_LOG(verbosity + 1, 2, function, "skipping " << tag);
      continue;
    }
    atRow(tag, elements, [&] {
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
        const StoredUnit toValue(first.units().isInvalid() ? vector.unit : first.uom());
        for (std::size_t i = 0; i < vector.values.size(); ++i)
          (*variable)[i] = toValue(vector.values[i]);
      }
    });
    if (flags[tag].input)
      variable->input() = true;
    if (flags[tag].output)
      variable->output() = true;
  }
}

// Reads rows packed by packedRow back into cells of kind T (for T and C),
// V, I, F, and D for an X column that holds an exact number (T, with its
// text, for what holds no number). Rows of a faulty text end the read with
// an error: only damage makes one.
class PackedRows {
public:
  // sqlite: lengths in bytes and numbers as doubleColumn gives them; else
  // lengths in characters and numbers as decimal texts.
  PackedRows(std::string_view packed, const std::string &kinds, bool sqlite)
      : text_(packed), kinds_(kinds), sqlite_(sqlite) {}

  // Decodes the next row into row (sized to the kinds); false at the end.
  bool next(std::vector<odbcBlock::Cell> &row) {
    if (at_ == text_.size())
      return false;
    for (std::size_t c = 0; c < kinds_.size(); ++c)
      decode(kinds_[c], row[c]);
    return true;
  }

private:
  void decode(char kind, odbcBlock::Cell &cell) {
    cell = odbcBlock::Cell();
    if (kind == 'F') {
      const char flag = take(1)[0];
      cell.kind = 'F';
      cell.present = flag != '-';
      cell.flag = flag == '1';
      return;
    }
    if (kind == 'T' || kind == 'V') {
      cell.kind = kind;
      if (peek() == '-') {
        take(1);
        return;
      }
      const std::size_t colon = text_.find(':', at_);
      std::size_t length = 0;
      const auto [rest, error] = std::from_chars(text_.data() + at_, text_.data() + colon, length);
      if (colon == std::string_view::npos || error != std::errc() ||
          rest != text_.data() + colon)
        fail();
      at_ = colon + 1;
      cell.text = std::string(take(sqlite_ ? length : bytesOf(length)));
      cell.present = true;
      return;
    }
    const std::size_t comma = text_.find(',', at_);
    if (comma == std::string_view::npos)
      fail();
    const std::string_view field = text_.substr(at_, comma - at_);
    at_ = comma + 1;
    if (field == "-") {
      cell.kind = kind == 'I' ? 'I' : 'T';
      return;
    }
    cell.present = true;
    if (kind == 'I') {
      cell.kind = 'I';
      const auto [rest, error] =
          std::from_chars(field.data(), field.data() + field.size(), cell.integer);
      if (error != std::errc() || rest != field.data() + field.size())
        fail();
    } else if (const std::optional<double> number =
                   kind != 'X' ? std::nullopt : sqlite_ ? exactNumber(field) : decimal(field)) {
      cell.kind = 'D';
      cell.number = *number;
    } else {
      cell.kind = 'T';
      cell.text = std::string(field);
    }
  }
  char peek() {
    if (at_ >= text_.size())
      fail();
    return text_[at_];
  }
  // The bytes of the next characters (UTF-8).
  std::size_t bytesOf(std::size_t characters) const {
    std::size_t end = at_;
    for (; characters > 0 && end < text_.size(); --characters)
      do
        ++end;
      while (end < text_.size() && (static_cast<unsigned char>(text_[end]) & 0xC0) == 0x80);
    if (characters > 0)
      fail();
    return end - at_;
  }
  // A number as PostgreSQL writes one.
  static std::optional<double> decimal(std::string_view text) {
    if (text == "Infinity" || text == "-Infinity")
      return text[0] == '-' ? -HUGE_VAL : HUGE_VAL;
    if (text == "NaN")
      return std::numeric_limits<double>::quiet_NaN();
    double value = 0;
    const auto [rest, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || rest != text.data() + text.size())
      return std::nullopt;
    return value;
  }
  std::string_view take(std::size_t count) {
    if (count > text_.size() - at_)
      fail();
    const std::string_view part = text_.substr(at_, count);
    at_ += count;
    return part;
  }
  [[noreturn]] void fail() const {
    throw RowFault{"?", "?", "Could not read the rows packed as \"" + std::string(text_) + "\"",
                   true};
  }

  std::string_view text_;
  const std::string &kinds_;
  bool sqlite_;
  std::size_t at_ = 0;
};

// Appends the packed rows to rows.
void unpackRows(const std::string &packed, const std::string &kinds, bool sqlite,
                odbcBlock::Rows &rows) {
  std::vector<odbcBlock::Cell> row(kinds.size());
  PackedRows reader(packed, kinds, sqlite);
  while (reader.next(row))
    rows.append(row);
}

// Element rows in id order (their first column), as the update relies on.
void sortById(odbcBlock::Rows &rows) {
  const std::size_t count = rows.size();
  std::vector<std::size_t> order(count);
  for (std::size_t i = 0; i < count; ++i)
    order[i] = i;
  const auto byId = [&](std::size_t a, std::size_t b) {
    return rows.row(a)[0].integer < rows.row(b)[0].integer;
  };
  if (std::is_sorted(order.begin(), order.end(), byId))
    return;
  std::stable_sort(order.begin(), order.end(), byId);
  std::vector<odbcBlock::Cell> sorted;
  sorted.reserve(rows.cells.size());
  for (const std::size_t i : order)
    for (std::size_t c = 0; c < rows.width; ++c)
      sorted.push_back(std::move(rows.cells[i * rows.width + c]));
  rows.cells = std::move(sorted);
}

// The rows of one node from a block read, handed over as a statement would:
// a table's packed rows unpacked one by one, or a vector kind's headers
// joined with their elements (unpacked a header at a time; a header
// without elements gives one row without an element).
class BlockRows {
public:
  BlockRows(const odbcBlock::Table &table, const odbcBlock::NodeRows &rows,
            const odbcBlock::Query &query, bool sqlite)
      : table_(table), rows_(rows), query_(query), sqlite_(sqlite),
        vectors_(!query.split.elements.empty()) {
    if (!vectors_) {
      scalars_.emplace(rows.packed, query.packedKinds, sqlite);
      row_.resize(query.packedKinds.size());
    }
  }
  bool fetch(const char *, const char *) {
    if (!vectors_)
      return scalars_->next(row_);
    if (header_ < rows_.headers.size() && ++element_ < elements_.size())
      return true;
    if (started_)
      ++header_;
    started_ = true;
    if (header_ >= rows_.headers.size())
      return false;
    elements_.cells.clear();
    const odbcBlock::Cell *header = table_.headers.row(rows_.headers[header_]);
    const auto found = table_.elements.find(header[1].integer);
    if (found != table_.elements.end()) {
      unpackRows(found->second, query_.split.packedElementKinds, sqlite_, elements_);
      sortById(elements_);
    }
    element_ = 0;
    return true;
  }
  // Texts were fetched as the driver gave them: checked here, where a fault
  // belongs to its row.
  std::optional<std::string> getText(int column, const char *, const char *) const {
    const odbcBlock::Cell &found = cell(column);
    if (!found.present || (found.kind != 'T' && found.kind != 'V'))
      return std::nullopt;
    const std::string &text = found.text;
    if (std::any_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; }))
      for (const char *position = text.c_str(); *position;)
        UtfConverter::nextCodePoint(position);
    return text;
  }
  // Integer values were fetched as text (a damaged one is reported by its
  // check column before it is asked for).
  std::optional<int> getInteger(int column, const char *, const char *message) const {
    const odbcBlock::Cell &found = cell(column);
    if (!found.present)
      return std::nullopt;
    if (found.kind == 'I')
      return found.integer;
    int value = 0;
    const char *const end = found.text.data() + found.text.size();
    const auto [rest, error] = std::from_chars(found.text.data(), end, value);
    if (error != std::errc() || rest != end)
      throw ErrorOdbc(function, message + found.text);
    return value;
  }
  std::optional<double> getDouble(int column, const char *, const char *) const {
    const odbcBlock::Cell &found = cell(column);
    if (!found.present || found.kind != 'D')
      return std::nullopt;
    return found.number;
  }
  std::optional<bool> getFlag(int column, const char *, const char *) const {
    const odbcBlock::Cell &found = cell(column);
    if (!found.present)
      return std::nullopt;
    return found.flag;
  }
  void close(const char *, const char *) {}

private:
  // Columns of a joined row: tag, header id, element id, value, then the
  // header's further columns, then the element's.
  const odbcBlock::Cell &cell(int column) const {
    const std::size_t index = static_cast<std::size_t>(column) - 1;
    if (!vectors_)
      return row_[index];
    const odbcBlock::Cell *header = table_.headers.row(rows_.headers[header_]);
    const std::size_t more = table_.headers.width - 2;
    const odbcBlock::Cell *element =
        element_ < elements_.size() ? elements_.row(element_) : nullptr;
    const auto ofElement = [&](std::size_t i) -> const odbcBlock::Cell & {
      static const odbcBlock::Cell none;
      return element ? element[i] : none;
    };
    if (index < 2)
      return header[index];
    if (index < 4)
      return ofElement(index - 2);
    if (index < 4 + more)
      return header[index - 2];
    return ofElement(index - more - 2);
  }

  const odbcBlock::Table &table_;
  const odbcBlock::NodeRows &rows_;
  const odbcBlock::Query &query_;
  bool sqlite_;
  bool vectors_;
  std::optional<PackedRows> scalars_;
  std::vector<odbcBlock::Cell> row_;
  odbcBlock::Rows elements_;
  std::size_t header_ = 0;
  std::size_t element_ = 0;
  bool started_ = false;
};

// Runs body on the rows of node nid: those of the block of the case inside
// a read transaction (block), else those of a query of the node alone.
template <class Body>
void forRows(OdbcStatement &statement, const odbcBlock::Place &block, const TableQuery &query, int nid,
             int verbosity, bool sqlite, Body &&body) {
  if (block.table) {
    BlockRows rows(*block.table, *block.rows, query, sqlite);
    body(rows);
    return;
  }
  const std::string sqlcommand = "SELECT " + query.select + " FROM " + query.from + " WHERE " +
                                 query.nid + " = ?" + query.order;
  VELTA_LOG(verbosity + 1, 2, function, "sqlcommand = " << sqlcommand);
  queryNode(statement, sqlcommand, nid);
  body(statement);
}

} // namespace

template <class Body> void PersistencyOdbc::readRows(int nodeId, Body &&body) {
  guarded(function, [&] {
    try {
      body();
    } catch (const RowFault &fault) {
      statement_.closeQuietly();
      throw ErrorOdbc(function, "Stored case " + caseOf(nodeId) +
                                    (fault.damaged ? " is damaged" : " cannot be read") +
                                    ": node " + std::to_string(fault.node < 0 ? nodeId : fault.node) +
                                    ", tag \"" + fault.tag +
                                    "\" in table " + fault.table + ": " + fault.what);
    }
  });
}

void PersistencyOdbc::read(int nodeId, const IntegerRegistry &registry) {
  readRows(nodeId, [&] {
    if (registry.empty())
      return;
    const bool sqlite = dialect() == Dialect::sqlite;
    const TableQuery &query = tableQuery("I", dialect());
    forRows(statement_, blockRows(nodeId, query), query, nodeId, verbosity(), sqlite, [&](auto &rows) {
      OnceEach seen;
      while (rows.fetch(function, fetchFailed)) {
        const std::string tag = requiredTag(rows, "I");
        seen.add(tag);
        const int value = atRow(tag, "I", [&] {
          requireInteger(rows, 3, {nodeId, tag, "I"});
          const std::optional<int> stored = rows.getInteger(
              2, function,
              "Error in SQLGetData(hStatement_, 2, SQL_C_LONG, &value, 10, &ValueLen) ");
          if (!stored)
            throw RowFault{tag, "I", "Could not read VALUE field in I table", false};
          return *stored;
        });
        const auto found = registry.find(tag);
        if (found == registry.end()) {
          ODBC_LOG(2, function, "skipping " << tag);
          continue;
        }
        ODBC_LOG(2, function, "reading " << tag << " = " << value);
        *found->second = value;
      }
      seen.check("I");
      rows.close(function, closeFailed);
    });
  });
}

void PersistencyOdbc::read(int nodeId, const StringRegistry &registry) {
  readRows(nodeId, [&] {
    if (registry.empty())
      return;
    const bool sqlite = dialect() == Dialect::sqlite;
    const TableQuery &query = tableQuery("S", dialect());
    forRows(statement_, blockRows(nodeId, query), query, nodeId, verbosity(), sqlite, [&](auto &rows) {
      OnceEach seen;
      while (rows.fetch(function, fetchFailed)) {
        const std::string tag =
            atRow("?", "S", [&] { return rows.getText(1, function, tagFailed).value_or(""); });
        seen.add(tag);
        const auto found = registry.find(tag);
        if (found == registry.end()) {
          ODBC_LOG(2, function, "skipping " << tag);
          continue;
        }
        const std::string value = atRow(tag, "S", [&] {
          return rows
              .getText(2, function,
                       "Error in SQLGetData(hStatement_, 2, SQL_C_WCHAR, szData, sizeof(szData), "
                       "&ValueLen) ")
              .value_or("");
        });
        ODBC_LOG(2, function, "reading " << tag << " = " << value);
        *found->second = value;
      }
      seen.check("S");
      rows.close(function, closeFailed);
    });
  });
}

void PersistencyOdbc::read(int nodeId, const QuantityRegistry &registry) {
  readRows(nodeId, [&] {
    if (registry.empty())
      return;
    const bool sqlite = dialect() == Dialect::sqlite;
    const bool exactText = sqlite;
    const TableQuery &query = tableQuery("Q", dialect());
    forRows(statement_, blockRows(nodeId, query), query, nodeId, verbosity(), sqlite, [&](auto &rows) {
      OnceEach seen;
      std::optional<StoredUnit> unitOfRows;
      while (rows.fetch(function, fetchFailed)) {
        const std::string tag = requiredTag(rows, "Q");
        const auto found = registry.find(tag);
        if (found == registry.end()) {
          ODBC_LOG(2, function, "skipping " << tag);
          continue;
        }
        seen.add(tag);
        atRow(tag, "Q", [&] {
          const std::optional<double> value = getStoredDouble(
              rows, 2, exactText,
              "Error in SQLGetData(hStatement_, 2, SQL_C_DOUBLE, &valueBuffer, 15, &ValueLen) ",
              {nodeId, tag, "Q"});
          if (!value)
            throw RowFault{tag, "Q", "Could not read VALUE field in Q table", false};
          const std::string unit =
              rows.getText(3, function,
                           "Error in SQLGetData(hStatement_, 3, SQL_C_WCHAR, szData, "
                           "sizeof(szData), &ValueLen) ")
                  .value_or("");
          const std::optional<bool> input = rows.getFlag(
              4, function, "Error in SQLGetData(hStatement_, 4, SQL_C_BIT, &input, 1, &ValueLen) ");
          if (!input)
            VELTA_LOG(verbosity() + 1, -100, function, "impossible to read INPUT for " << tag);
          const std::optional<bool> output = rows.getFlag(
              5, function,
              "Error in SQLGetData(hStatement_, 5, SQL_C_BIT, &output, 1, &ValueLen) ");
          const bool isInput = input.value_or(false);
          const bool isOutput = output.value_or(false);
          ODBC_LOG(2, function,
                   "reading " << tag << " = " << *value << " " << unit
                              << " input = " << (isInput ? "true" : "false")
                              << " output = " << (isOutput ? "true" : "false"));
          Quantity &quantity = *found->second;
          if (!unitOfRows || unitOfRows->unit() != unit)
            unitOfRows.emplace(unit);
          quantity = (*unitOfRows)(*value);
          if (isInput)
            quantity.setInput();
          if (isOutput)
            quantity.setOutput();
        });
      }
      seen.check("Q");
      rows.close(function, closeFailed);
    });
  });
}

void PersistencyOdbc::read(int nodeId, const IntegerVectorRegistry &registry) {
  readRows(nodeId, [&] {
    if (registry.empty())
      return;
    const bool sqlite = dialect() == Dialect::sqlite;
    const TableQuery &query = tableQuery("IV", dialect());
    std::map<std::string, StoredVector<int>> stored;
    forRows(statement_, blockRows(nodeId, query), query, nodeId, verbosity(), sqlite, [&](auto &rows) {
      stored = readStoredVectors<IntegerColumn, int>(rows, nodeId, "IV", "IVV", false, nullptr,
                                                     inRegistry(registry), sqlite, verbosity());
    });
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
  readRows(nodeId, [&] {
    if (registry.empty())
      return;
    const bool sqlite = dialect() == Dialect::sqlite;
    const TableQuery &query = tableQuery("SV", dialect());
    std::map<std::string, StoredVector<std::string>> stored;
    forRows(statement_, blockRows(nodeId, query), query, nodeId, verbosity(), sqlite, [&](auto &rows) {
      stored = readStoredVectors<TextColumn, std::string>(
          rows, nodeId, "SV", "SVV", false, nullptr, inRegistry(registry), sqlite, verbosity());
    });
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
  readRows(nodeId, [&] {
    if (registry.empty())
      return;
    const bool sqlite = dialect() == Dialect::sqlite;
    const TableQuery &query = tableQuery("QV", dialect());
    forRows(statement_, blockRows(nodeId, query), query, nodeId, verbosity(), sqlite, [&](auto &rows) {
      readQuantityVectors(rows, nodeId, registry, "QV", "QVV", sqlite, verbosity());
    });
  });
}

void PersistencyOdbc::read(int nodeId, const QuantityMatrixRegistry &registry) {
  readRows(nodeId, [&] {
    if (registry.empty())
      return;
    const bool sqlite = dialect() == Dialect::sqlite;
    const TableQuery &query = tableQuery("QM", dialect());
    forRows(statement_, blockRows(nodeId, query), query, nodeId, verbosity(), sqlite, [&](auto &rows) {
      readQuantityVectors(rows, nodeId, registry, "QM", "QMV", sqlite, verbosity());
    });
  });
}

namespace {

// The tag of a node's stored row: column 1 of a scalar row, or of the
// header of a joined one.
std::vector<std::string> storedTags(const odbcBlock::Table &table, const odbcBlock::NodeRows &rows,
                                    const TableQuery &query, bool sqlite) {
  std::vector<std::string> tags;
  const auto add = [&](const odbcBlock::Cell &tag) {
    tags.push_back(tag.present ? tag.text : "NULL");
  };
  if (query.split.elements.empty()) {
    std::vector<odbcBlock::Cell> row(query.packedKinds.size());
    PackedRows reader(rows.packed, query.packedKinds, sqlite);
    while (reader.next(row))
      add(row[0]);
  } else {
    for (const std::size_t header : rows.headers)
      add(table.headers.row(header)[0]);
  }
  return tags;
}

// Whether the object registers a variable of the table's kind with the tag.
bool registers(const Object &object, const std::string &table, const std::string &tag) {
  if (table == "I")
    return object.integers().count(tag) > 0;
  if (table == "S")
    return object.strings().count(tag) > 0;
  if (table == "Q")
    return object.quantities().count(tag) > 0;
  if (table == "IV")
    return object.integerVectors().count(tag) > 0;
  if (table == "SV")
    return object.stringVectors().count(tag) > 0;
  if (table == "QV")
    return object.quantityVectors().count(tag) > 0;
  return object.quantityMatrices().count(tag) > 0;
}

void collectNodes(const Node &node, std::map<int, const Node *> &nodes) {
  nodes[node.storedId()] = &node;
  for (const auto &[tag, child] : node.children())
    collectNodes(*child, nodes);
}

} // namespace

void PersistencyOdbc::checkReadTree(const Node &root) {
  const int first = root.storedId();
  readRows(first, [&] {
    if (first < 0 || !coverBlock(first))
      return;
    const odbcBlock::Nodes *rows = blockNodes(first);
    const auto rootRow = rows->byId.find(first);
    if (rootRow == rows->byId.end())
      return;
    const long long last = static_cast<long long>(first) + rootRow->second.range - 1;
    std::map<int, const Node *> nodes;
    collectNodes(root, nodes);
    const bool sqlite = dialect() == Dialect::sqlite;
    for (const char *kind : {"I", "S", "Q", "IV", "SV", "QV", "QM"}) {
      const TableQuery &query = tableQuery(kind, dialect());
      blockRows(first, query);
      const odbcBlock::Table &table = block_->tables[query.table];
      for (const auto &[nid, stored] : table.byNode) {
        if (nid < first || nid > last)
          continue;
        const auto node = nodes.find(nid);
        for (const std::string &tag : storedTags(table, stored, query, sqlite)) {
          if (node == nodes.end())
            throw RowFault{tag, query.table,
                           "no row of table N holds node " + std::to_string(nid) + ", " +
                               parentOf(nid, nodes) + ": a child row is missing",
                           true, nid};
          const auto *object = dynamic_cast<const Object *>(node->second);
          if (!object || !registers(*object, query.table, tag))
            throw RowFault{tag, query.table,
                           "its type " + node->second->type() +
                               " has no such variable (the TYPE of its row does not fit its "
                               "variables)",
                           true, nid};
        }
      }
    }
  });
}

// "under node P (tag "T")": the node of the tree whose stored block holds id.
std::string PersistencyOdbc::parentOf(int id, const std::map<int, const Node *> &nodes) const {
  const Node *parent = nullptr;
  for (const auto &[storedId, node] : nodes)
    if (storedId < id && id <= static_cast<long long>(storedId) + blockRange(storedId) - 1)
      parent = node;
  if (!parent)
    return "which no node of the case holds";
  return "which belongs under node " + std::to_string(parent->storedId()) + " (tag \"" +
         parent->tag() + "\")";
}

int PersistencyOdbc::blockRange(int id) const {
  const auto found = block_->nodes.byId.find(id);
  return found == block_->nodes.byId.end() ? 1 : found->second.range;
}

// The case of a node: the root of the block being read, else the ROOT of
// its row; "?" when that cannot be read either.
std::string PersistencyOdbc::caseOf(int nodeId) noexcept {
  if (block_ && block_->holds(nodeId))
    return std::to_string(block_->first);
  try {
    statement_.closeQuietly();
    int id = nodeId;
    queryNode(statement_, "SELECT ROOT FROM N WHERE ID = ?", id);
    std::optional<int> root;
    if (statement_.fetch(function, fetchFailed))
      root = statement_.getInteger(1, function, "Error in SQLGetData(hStatement_, 1) ");
    statement_.closeQuietly();
    return root ? std::to_string(*root) : "?";
  } catch (...) {
    statement_.closeQuietly();
    return "?";
  }
}

bool PersistencyOdbc::coverBlock(int nodeId) {
  if (!reading_ || depth_ == 0)
    return false;
  if (block_ && block_->holds(nodeId))
    return true;
  // The block of the node's case: its root's, when the root's block holds
  // the node, else the node's own.
  const std::string sqlcommand =
      "SELECT n.RANGE, r.ID, r.RANGE FROM N n LEFT JOIN N r ON r.ID = n.ROOT WHERE n.ID = ?";
  ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
  int id = nodeId;
  odbcElements::KeptStatement &kept = statements().get(sqlcommand);
  OdbcStatement &statement = kept.statement;
  statements().run(
      kept, false, true,
      [&] {
        statement.bindInteger(1, &id, function,
                              "Error in SQLBindParameter(hStatement_, 1, SQL_PARAM_INPUT, "
                              "SQL_C_LONG, SQL_INTEGER, 10, 0, &NIDbuffer, 0, nullptr) ");
      },
      function);
  const char *const message =
      "Error in SQLGetData(hStatement_, 1, SQL_C_LONG, &range, 10, &ValueLen) ";
  if (!statement.fetch(function, fetchFailed)) {
    statement.close(function, closeFailed);
    return false;
  }
  const std::optional<int> range = statement.getInteger(1, function, message);
  const std::optional<int> root = statement.getInteger(2, function, message);
  const std::optional<int> rootRange = statement.getInteger(3, function, message);
  statement.close(function, closeFailed);
  auto lastOf = [](int first, std::optional<int> size) {
    const long long last = static_cast<long long>(first) + std::max(size.value_or(1), 1) - 1;
    return static_cast<int>(std::min<long long>(last, std::numeric_limits<int>::max()));
  };
  auto block = std::make_unique<PersistencyOdbcReadBlock>();
  block->first = nodeId;
  block->last = lastOf(nodeId, range);
  if (root && *root <= nodeId && nodeId <= lastOf(*root, rootRange)) {
    block->first = *root;
    block->last = lastOf(*root, rootRange);
  }
  block_ = std::move(block);
  return true;
}

// Runs a query of the block's rows (its markers 1 and 2 the block's first
// and last id) and hands each row to take: the columns of kinds, then the
// owner (a node or header id, std::nullopt for NULL).
template <class Take>
void PersistencyOdbc::fetchBlock(const std::string &sqlcommand, const std::string &kinds,
                                 Take &&take) {
  ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
  odbcElements::KeptStatement &kept = statements().get(sqlcommand);
  OdbcStatement &statement = kept.statement;
  const char *const bindFailed =
      "Error in SQLBindParameter(hStatement_, 1, SQL_PARAM_INPUT, SQL_C_LONG, SQL_INTEGER, 10, "
      "0, &NIDbuffer, 0, nullptr) ";
  // The block's ids are bound anew for every run: each block has its own.
  statements().run(
      kept, false, true,
      [&] {
        statement.bindInteger(1, &block_->first, function, bindFailed);
        statement.bindInteger(2, &block_->last, function, bindFailed);
      },
      function);
  const int ownerColumn = static_cast<int>(kinds.size()) + 1;
  const bool utf8Texts = dialect_ == Dialect::sqlite;
  const char *const getFailed =
      "Error in SQLGetData(hStatement_, column, type, buffer, size, &ValueLen) ";
  // One row at a time in a row whose cells (and their texts' room) serve
  // again for the next.
  std::vector<odbcBlock::Cell> row(kinds.size());
  while (statement.fetch(function, fetchFailed)) {
    for (std::size_t c = 0; c < kinds.size(); ++c) {
      const int column = static_cast<int>(c) + 1;
      odbcBlock::Cell &cell = row[c];
      cell.kind = kinds[c];
      switch (kinds[c]) {
      case 'I': {
        const std::optional<int> value = statement.getInteger(column, function, getFailed);
        cell.present = value.has_value();
        cell.integer = value.value_or(0);
        break;
      }
      case 'D': {
        const std::optional<double> value = statement.getDouble(column, function, getFailed);
        cell.present = value.has_value();
        cell.number = value.value_or(0);
        break;
      }
      case 'F': {
        const std::optional<bool> value = statement.getFlag(column, function, getFailed);
        cell.present = value.has_value();
        cell.flag = value.value_or(false);
        break;
      }
      default: { // T, and V: integer values as text
        std::optional<std::string> text =
            utf8Texts ? statement.getUtf8Text(column, function, getFailed, false)
                      : statement.getText(column, function, getFailed);
        cell.present = text.has_value();
        cell.text = std::move(text).value_or(std::string());
      }
      }
    }
    take(statement.getInteger(ownerColumn, function, getFailed), row);
  }
  statement.close(function, closeFailed);
}

odbcBlock::Place PersistencyOdbc::blockRows(int nodeId, const odbcBlock::Query &query) {
  if (!coverBlock(nodeId))
    return {};
  const bool sqlite = dialect_ == Dialect::sqlite;
  // The packed rows of a group, one after another.
  const auto concatenated = [&](const std::string &row) {
    return (sqlite ? "group_concat(" : "string_agg(") + row + ", '')";
  };
  odbcBlock::Table &table = block_->tables[query.table];
  if (!table.loaded && query.split.elements.empty()) {
    // One text per node.
    fetchBlock("SELECT " + concatenated(query.packed) + ", NID FROM " + query.table +
                   " WHERE NID BETWEEN ? AND ? GROUP BY NID",
               "T", [&](std::optional<int> owner, std::vector<odbcBlock::Cell> &row) {
                 if (owner && row[0].present)
                   table.byNode[*owner].packed = std::move(row[0].text);
               });
    table.loaded = true;
  } else if (!table.loaded) {
    // Headers in id order, and the elements of each header as one text.
    const odbcBlock::Query::Split &split = query.split;
    fetchBlock("SELECT " + split.headerSelect + ", h.NID FROM " + query.table +
                   " h WHERE h.NID BETWEEN ? AND ? ORDER BY h.ID",
               split.headerKinds,
               [&](std::optional<int> owner, std::vector<odbcBlock::Cell> &row) {
                 if (owner && row[1].present) {
                   table.byNode[*owner].headers.push_back(table.headers.size());
                   table.headers.append(row);
                 }
               });
    fetchBlock("SELECT " + concatenated(split.packedElements) + ", " + split.key + " FROM " +
                   split.elements + " WHERE " + split.key + " IN (SELECT ID FROM " + query.table +
                   " WHERE NID BETWEEN ? AND ?) GROUP BY " + split.key,
               "T", [&](std::optional<int> owner, std::vector<odbcBlock::Cell> &row) {
                 if (owner && row[0].present)
                   table.elements[*owner] = std::move(row[0].text);
               });
    table.loaded = true;
  }
  static const odbcBlock::NodeRows none;
  const auto found = table.byNode.find(nodeId);
  return {&table, found == table.byNode.end() ? &none : &found->second};
}
