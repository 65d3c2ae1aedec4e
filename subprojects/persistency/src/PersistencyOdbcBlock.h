#pragma once
// The rows of a case read at once: inside a read transaction, each table's
// rows of the whole id block of the case being read are fetched with one
// statement and kept here by node, so that reading the case's nodes one
// after another costs a few statements per table rather than one per node
// and table. Rows are kept as their columns were fetched; the reading code
// checks and converts them exactly as it does the rows of a live statement.
// The block lives only as long as the read transaction (one snapshot).

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace odbcBlock {

// One column of a fetched row, of the kind of its column (see Query).
struct Cell {
  std::string text;   // T, V
  double number = 0;  // D
  int integer = 0;    // I
  bool flag = false;  // F
  bool present = false; // false for NULL
  char kind = 0;
};

// Rows of one width, their cells one after another (no allocation per row).
struct Rows {
  std::size_t width = 0;
  std::vector<Cell> cells;

  std::size_t size() const { return width == 0 ? 0 : cells.size() / width; }
  const Cell *row(std::size_t i) const { return cells.data() + i * width; }
  void append(std::vector<Cell> &row) {
    width = row.size();
    for (Cell &cell : row)
      cells.push_back(std::move(cell));
  }
};

// What one read asks of a table: columns (with their kinds: T text, I
// integer, V integer value fetched as text, D double, F flag), tables,
// node column and order. A vector kind's columns are those of its headers
// joined with their elements: tag, header id, element id, value, then more
// header columns, then more element columns. A block reads headers and
// elements apart (headers' columns once, not once per element) and joins
// them in memory: split gives their own columns and kinds for that.
struct Query {
  std::string table;
  std::string select;
  std::string from;
  std::string nid;
  std::string order;
  std::string kinds;
  struct Split {
    std::string elements; // element table, empty for a table of scalars
    std::string key;      // its column naming the header
    std::string headerSelect, headerKinds;   // tag, id, more
    std::string elementSelect, elementKinds; // id, value, more
    // Where set (SQLite), the elements of each header go as one text (see
    // packed below).
    std::string packedElements, packedElementKinds;
  } split;
  // Where set (SQLite), the rows of each node go as one text: far fewer
  // rows for the driver to copy. packed is the expression of one row, its
  // columns encoded by their kinds in packedKinds (see packedRow).
  std::string packed, packedKinds;
};

// The rows of one node in one table: a table of scalars keeps the node's
// rows packed in one text (see packedRow in PersistencyOdbcRead.cpp), and
// they are unpacked as they are read, so that a case's rows cost little
// memory between the statement that fetched them and the object that takes
// them; a vector kind keeps the node's headers (rows of Table::headers, in
// id order).
struct NodeRows {
  std::string packed;
  std::vector<std::size_t> headers;
};

struct Table {
  bool loaded = false;
  std::map<int, NodeRows> byNode;
  // Vector kinds: the headers, and the packed elements of each by its id.
  Rows headers;
  std::map<int, std::string> elements;
};

// Where the rows of a node are in a block read: its table and its rows.
struct Place {
  const Table *table = nullptr;
  const NodeRows *rows = nullptr;
};

// The N rows of the block, and those of the children of its nodes that
// were stored as blocks of their own, with the children of each node.
struct NodeRow {
  std::string uuid, tag, description;
  std::optional<std::string> type;
  int parent = -1;
  int root = -1;
  int range = 1;
  double createdAt = 0;
  double updatedAt = 0;

  void handOut(std::string &tagOut, std::string &descriptionOut, std::string &typeOut,
               int &parentOut, int &rootOut, double &createdOut, double &updatedOut) const {
    tagOut = tag;
    descriptionOut = description;
    typeOut = type.value_or("");
    parentOut = parent;
    rootOut = root;
    createdOut = createdAt;
    updatedOut = updatedAt;
  }
};
struct Nodes {
  bool loaded = false;
  std::map<int, NodeRow> byId;
  // Child ids of each node of the block, in id order.
  std::map<int, std::vector<int>> children;
};

} // namespace odbcBlock

struct PersistencyOdbcReadBlock {
  // The ids [first, last] of the block.
  int first = 0;
  int last = -1;
  std::map<std::string, odbcBlock::Table> tables;
  odbcBlock::Nodes nodes;
  bool holds(int id) const { return first <= id && id <= last; }
};
