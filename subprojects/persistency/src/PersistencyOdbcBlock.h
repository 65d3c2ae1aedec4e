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

struct Table {
  bool loaded = false;
  std::map<int, std::vector<Row>> rowsByNode;
};

} // namespace odbcBlock

struct PersistencyOdbcReadBlock {
  // The ids [first, last] of the block.
  int first = 0;
  int last = -1;
  std::map<std::string, odbcBlock::Table> tables;
};
