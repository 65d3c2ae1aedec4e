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

// One column of a fetched row.
struct Cell {
  std::optional<std::string> text;
  std::optional<int> integer;
  std::optional<double> number;
  std::optional<bool> flag;
};
using Row = std::vector<Cell>;

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
    // Where set (SQLite, values read as text without commas), the value
    // column of the elements, which then go one text per header, as
    // "id:value" items separated by commas: far fewer rows for the driver
    // to copy.
    std::string packedValue;
  } split;
};

// A row of a vector kind: its header's cells and one element's (the empty
// element of the table for a header without elements), joined without
// copies.
struct Joined {
  const Row *header;
  const Row *element;
  const Cell &cell(int column) const {
    const std::size_t index = static_cast<std::size_t>(column) - 1;
    const std::size_t more = header->size() - 2;
    if (index < 2)
      return (*header)[index];
    if (index < 4)
      return (*element)[index - 2];
    if (index < 4 + more)
      return (*header)[index - 2];
    return (*element)[index - more - 2];
  }
};

// The rows of one node: its own for a table of scalars, joined ones for a
// vector kind.
struct NodeRows {
  std::vector<Row> rows;
  std::vector<Joined> joined;
};

struct Table {
  bool loaded = false;
  std::map<int, NodeRows> byNode;
  // What joined rows point into (vector kinds).
  std::vector<Row> headers;
  std::map<int, std::vector<Row>> elements;
  Row noElement;
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
