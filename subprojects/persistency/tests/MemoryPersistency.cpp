#include "MemoryPersistency.h"

#include "velta/persistency/Integer.h"
#include "velta/persistency/IntegerVector.h"
#include "velta/persistency/Persistent.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/QuantityMatrix.h"
#include "velta/persistency/QuantityVector.h"
#include "velta/persistency/String.h"
#include "velta/persistency/StringVector.h"
#include "velta/utility/Error.h"
#include "velta/utility/StringEdits.h"

#include <algorithm>
#include <ctime>

namespace {

bool inBlock(int id, int first, int range) { return id >= first && id < first + range; }

template <class Registry> auto registered(const Registry &registry, const std::string &tag) {
  auto found = registry.find(tag);
  return found == registry.end() ? nullptr : found->second;
}

double storable(double value) {
  Persistency::sanitize(value);
  return value;
}

std::vector<double> storableNumbers(const std::vector<Value> &elements) {
  std::vector<double> numbers;
  for (const Value &element : elements)
    numbers.push_back(storable(element.value()));
  return numbers;
}

// Elements, unit and flags of a quantity vector or matrix into its header.
template <class Variable>
MemoryPersistency::VariableRow &storeElements(MemoryPersistency::VariableRow &row,
                                              const Variable &variable) {
  row.numbers = storableNumbers(variable.value());
  if (!variable.value().empty())
    row.units = variable.value().front().units();
  row.unit = variable.uom();
  row.input = variable.input();
  row.output = variable.output();
  return row;
}

// The stored elements into a quantity vector or matrix, resized to their
// count; a stored flag that is false leaves the variable's flag.
template <class Variable>
void readElements(const MemoryPersistency::VariableRow &row, Variable &variable) {
  if (variable.size() != row.numbers.size())
    variable.resize(row.numbers.size());
  for (std::size_t k = 0; k < row.numbers.size(); ++k)
    variable.at(k) = Value(row.numbers[k], row.units);
  if (row.input)
    variable.input() = true;
  if (row.output)
    variable.output() = true;
}

// Every stored header of the node whose tag, trimmed of blanks, is registered
// gets the variable's current elements.
template <class Registry, class Assign>
void updateHeaders(std::vector<MemoryPersistency::VariableRow> &rows, int nodeId,
                   const Registry &registry, Assign assign) {
  for (auto &row : rows)
    if (row.nid == nodeId) {
      std::string tag = row.tag;
      trimSpaces(tag);
      if (auto *variable = registered(registry, tag))
        assign(row, *variable);
    }
}

} // namespace

// ---------------------------------------------------------------- transactions

void MemoryPersistency::push_transaction() {
  if (depth_ == 0)
    saved_ = tables_;
  ++depth_;
}

int MemoryPersistency::pop_transaction() {
  if (depth_ > 0)
    --depth_;
  return depth_;
}

void MemoryPersistency::rollback_transaction() noexcept {
  if (depth_ == 0)
    return;
  tables_ = saved_;
  depth_ = 0;
}

void MemoryPersistency::write(const char *operation) {
  if (writesBeforeFailure_ == 0) {
    writesBeforeFailure_ = -1;
    throw ErrorRunTime(operation, "injected failure");
  }
  if (writesBeforeFailure_ > 0)
    --writesBeforeFailure_;
}

// ---------------------------------------------------------------- tables

std::vector<MemoryPersistency::VariableRow> &MemoryPersistency::table(const std::string &name) {
  if (name == "I")
    return tables_.i;
  if (name == "IV" || name == "IVV")
    return tables_.iv;
  if (name == "S")
    return tables_.s;
  if (name == "SV" || name == "SVV")
    return tables_.sv;
  if (name == "Q")
    return tables_.q;
  if (name == "QV" || name == "QVV")
    return tables_.qv;
  if (name == "QM" || name == "QMV")
    return tables_.qm;
  throw ErrorRunTime("MemoryPersistency::table", ("no table " + name).c_str());
}

void MemoryPersistency::purge(const std::string &table, int id) {
  write("MemoryPersistency::purge");
  if (table == "N") {
    std::erase_if(tables_.n, [id](const NodeRow &row) { return id == -1 || row.id == id; });
    return;
  }
  const bool elements = table.size() == 3 || table == "QMV";
  for (VariableRow &row : this->table(table))
    if (elements && (id == -1 || row.nid == id)) {
      row.integers.clear();
      row.strings.clear();
      row.numbers.clear();
    }
  if (!elements)
    std::erase_if(this->table(table),
                  [id](const VariableRow &row) { return id == -1 || row.nid == id; });
}

int MemoryPersistency::countRows(const std::string &table, int id) {
  if (table == "N")
    return static_cast<int>(std::count_if(tables_.n.begin(), tables_.n.end(),
                                          [id](auto &row) { return id <= 0 || row.id == id; }));
  if (table.size() == 3) {
    std::size_t elements = 0;
    for (const VariableRow &row : this->table(table))
      elements += row.integers.size() + row.strings.size() + row.numbers.size();
    return static_cast<int>(elements);
  }
  const auto &rows = this->table(table);
  return static_cast<int>(std::count_if(rows.begin(), rows.end(),
                                        [id](auto &row) { return id <= 0 || row.rowId == id; }));
}

int MemoryPersistency::getId() {
  int first = 0;
  for (const NodeRow &row : tables_.n)
    first = std::max(first, row.id + row.range);
  return first;
}

void MemoryPersistency::remove(int id, const std::string &table) {
  write("MemoryPersistency::remove");
  if (table == "N")
    std::erase_if(tables_.n, [id](const NodeRow &row) { return row.id == id; });
  else
    std::erase_if(this->table(table), [id](const VariableRow &row) { return row.rowId == id; });
}

int MemoryPersistency::countCID(int nodeId, const std::string &table) {
  const auto &rows = this->table(table);
  return static_cast<int>(std::count_if(
      rows.begin(), rows.end(), [nodeId](auto &row) { return nodeId < 0 || row.nid == nodeId; }));
}

// ---------------------------------------------------------------- nodes

const MemoryPersistency::NodeRow *MemoryPersistency::node(int id) const {
  for (const NodeRow &row : tables_.n)
    if (row.id == id)
      return &row;
  return nullptr;
}

int MemoryPersistency::insertObject(const Persistent &node, int offset) {
  write("MemoryPersistency::insertObject");
  const int id = node.id() - offset;
  // The database's unique keys on N.ID and N.UUID.
  if (this->node(id))
    throw ErrorRunTime("MemoryPersistency::insertObject",
                       ("duplicate stored id " + std::to_string(id)).c_str());
  for (const NodeRow &row : tables_.n)
    if (row.uuid == node.uuid())
      throw ErrorRunTime("MemoryPersistency::insertObject",
                         ("duplicate UUID " + node.uuid()).c_str());
  tables_.n.push_back({id, node.uuid(), node.tag(), node.description(), node.type(), node.fullTag(),
                       node.parentId() - offset, node.rootId() - offset, node.range(),
                       static_cast<double>(std::time(nullptr)), 0.0});
  return id;
}

void MemoryPersistency::retrieveObject(const std::string &uuid, int &id, std::string &tag,
                                       std::string &description, std::string &type, int &parentId,
                                       int &rootId, double &createdAt, double &updatedAt) {
  const NodeRow *found = nullptr;
  for (const NodeRow &row : tables_.n)
    if (row.uuid == uuid) {
      if (found)
        throw ErrorRunTime("MemoryPersistency::retrieveObject", "Duplicate ID");
      found = &row;
    }
  if (!found)
    throw ErrorRunTime("MemoryPersistency::retrieveObject", "Not found");
  id = found->id;
  tag = found->tag;
  description = found->description;
  type = found->type;
  parentId = found->parent;
  rootId = found->root;
  createdAt = found->createdAt;
  updatedAt = found->updatedAt;
}

void MemoryPersistency::retrieveObject(int id, std::string &uuid, std::string &tag,
                                       std::string &description, std::string &type, int &parentId,
                                       int &rootId, double &createdAt, double &updatedAt) {
  const NodeRow *found = node(id);
  if (!found)
    throw ErrorRunTime("MemoryPersistency::retrieveObject", "Not found");
  uuid = found->uuid;
  tag = found->tag;
  description = found->description;
  type = found->type;
  parentId = found->parent;
  rootId = found->root;
  createdAt = found->createdAt;
  updatedAt = found->updatedAt;
}

void MemoryPersistency::retrieveChildren(int id, ChildList &children) {
  std::vector<const NodeRow *> rows;
  for (const NodeRow &row : tables_.n)
    if (row.parent == id && row.id != id)
      rows.push_back(&row);
  std::sort(rows.begin(), rows.end(), [](auto *a, auto *b) { return a->id < b->id; });
  for (const NodeRow *row : rows)
    children.emplace_back(row->id, row->type);
}

void MemoryPersistency::removeObject(int id) {
  write("MemoryPersistency::removeObject");
  const NodeRow *row = node(id);
  if (!row)
    return;
  const int first = row->id, range = row->range;
  auto inside = [&](const VariableRow &variable) { return inBlock(variable.nid, first, range); };
  for (auto *rows :
       {&tables_.i, &tables_.iv, &tables_.s, &tables_.sv, &tables_.q, &tables_.qv, &tables_.qm})
    std::erase_if(*rows, inside);
  std::erase_if(tables_.n, [&](const NodeRow &n) { return inBlock(n.id, first, range); });
}

void MemoryPersistency::update(int id) {
  write("MemoryPersistency::update");
  for (NodeRow &row : tables_.n)
    if (row.id == id)
      row.updatedAt = static_cast<double>(std::time(nullptr));
}

// ---------------------------------------------------------------- inserts

MemoryPersistency::VariableRow &MemoryPersistency::newRow(std::vector<VariableRow> &rows,
                                                          const Item &variable, int offset,
                                                          const char *operation) {
  write(operation);
  const auto *owner = dynamic_cast<const Persistent *>(variable.parent());
  if (!owner)
    throw ErrorRunTime(operation, "element has no parent");
  VariableRow row;
  row.rowId = nextRowId_++;
  row.nid = owner->id() - offset;
  row.tag = variable.tag();
  row.description = variable.description();
  rows.push_back(std::move(row));
  return rows.back();
}

void MemoryPersistency::insert(const IntegerRegistry &registry, int offset) {
  for (const auto &[tag, variable] : registry)
    newRow(tables_.i, *variable, offset, "MemoryPersistency::insert").integers = {
        variable->value()};
}

void MemoryPersistency::insert(const IntegerVectorRegistry &registry, int offset) {
  for (const auto &[tag, variable] : registry)
    newRow(tables_.iv, *variable, offset, "MemoryPersistency::insert").integers = variable->value();
}

void MemoryPersistency::insert(const StringRegistry &registry, int offset) {
  for (const auto &[tag, variable] : registry)
    newRow(tables_.s, *variable, offset, "MemoryPersistency::insert").strings = {variable->value()};
}

void MemoryPersistency::insert(const StringVectorRegistry &registry, int offset) {
  for (const auto &[tag, variable] : registry)
    newRow(tables_.sv, *variable, offset, "MemoryPersistency::insert").strings = variable->value();
}

void MemoryPersistency::insert(const QuantityRegistry &registry, int offset) {
  for (const auto &[tag, variable] : registry) {
    VariableRow &row = newRow(tables_.q, *variable, offset, "MemoryPersistency::insert");
    row.numbers = {storable(variable->value())};
    row.units = variable->units();
    row.unit = variable->uom();
    row.input = variable->input();
    row.output = variable->output();
  }
}

void MemoryPersistency::insert(const QuantityVectorRegistry &registry, int offset) {
  for (const auto &[tag, variable] : registry)
    storeElements(newRow(tables_.qv, *variable, offset, "MemoryPersistency::insert"), *variable);
}

void MemoryPersistency::insert(const QuantityMatrixRegistry &registry, int offset) {
  for (const auto &[tag, variable] : registry)
    storeElements(newRow(tables_.qm, *variable, offset, "MemoryPersistency::insert"), *variable)
        .rows = variable->rows();
}

// ---------------------------------------------------------------- updates

void MemoryPersistency::update(int nodeId, const IntegerRegistry &registry) {
  write("MemoryPersistency::update");
  for (VariableRow &row : tables_.i)
    if (row.nid == nodeId)
      if (Integer *variable = registered(registry, row.tag))
        row.integers = {variable->value()};
}

void MemoryPersistency::update(int nodeId, const StringRegistry &registry) {
  write("MemoryPersistency::update");
  for (VariableRow &row : tables_.s)
    if (row.nid == nodeId)
      if (String *variable = registered(registry, row.tag))
        row.strings = {variable->value()};
}

void MemoryPersistency::update(int nodeId, const QuantityRegistry &registry) {
  write("MemoryPersistency::update");
  for (VariableRow &row : tables_.q)
    if (row.nid == nodeId)
      if (Quantity *variable = registered(registry, row.tag))
        row.numbers = {storable(variable->value())};
}

void MemoryPersistency::updateVector(int nodeId, const IntegerVectorRegistry &registry) {
  write("MemoryPersistency::updateVector");
  updateHeaders(tables_.iv, nodeId, registry,
                [](VariableRow &row, const IntegerVector &v) { row.integers = v.value(); });
}

void MemoryPersistency::updateVector(int nodeId, const StringVectorRegistry &registry) {
  write("MemoryPersistency::updateVector");
  updateHeaders(tables_.sv, nodeId, registry,
                [](VariableRow &row, const StringVector &v) { row.strings = v.value(); });
}

void MemoryPersistency::updateVector(int nodeId, const QuantityVectorRegistry &registry) {
  write("MemoryPersistency::updateVector");
  updateHeaders(tables_.qv, nodeId, registry, [](VariableRow &row, const QuantityVector &v) {
    row.numbers = storableNumbers(v.value());
  });
}

void MemoryPersistency::updateVector(int nodeId, const QuantityMatrixRegistry &registry) {
  write("MemoryPersistency::updateVector");
  updateHeaders(tables_.qm, nodeId, registry, [](VariableRow &row, const QuantityMatrix &v) {
    row.numbers = storableNumbers(v.value());
    row.rows = v.rows();
  });
}

// ---------------------------------------------------------------- reads

void MemoryPersistency::read(int nodeId, const IntegerRegistry &registry) {
  for (const VariableRow &row : tables_.i)
    if (row.nid == nodeId)
      if (Integer *variable = registered(registry, row.tag))
        *variable = row.integers.front();
}

void MemoryPersistency::read(int nodeId, const StringRegistry &registry) {
  for (const VariableRow &row : tables_.s)
    if (row.nid == nodeId)
      if (String *variable = registered(registry, row.tag))
        *variable = row.strings.front();
}

void MemoryPersistency::read(int nodeId, const QuantityRegistry &registry) {
  for (const VariableRow &row : tables_.q)
    if (row.nid == nodeId)
      if (Quantity *variable = registered(registry, row.tag)) {
        *variable = Value(row.numbers.front(), row.units);
        if (row.input)
          variable->setInput();
        if (row.output)
          variable->setOutput();
      }
}

void MemoryPersistency::read(int nodeId, const IntegerVectorRegistry &registry) {
  for (const VariableRow &row : tables_.iv)
    if (row.nid == nodeId)
      if (IntegerVector *variable = registered(registry, row.tag)) {
        variable->resize(row.integers.size());
        variable->value() = row.integers;
      }
}

void MemoryPersistency::read(int nodeId, const StringVectorRegistry &registry) {
  for (const VariableRow &row : tables_.sv)
    if (row.nid == nodeId)
      if (StringVector *variable = registered(registry, row.tag)) {
        variable->resize(row.strings.size());
        variable->value() = row.strings;
      }
}

void MemoryPersistency::read(int nodeId, const QuantityVectorRegistry &registry) {
  for (const VariableRow &row : tables_.qv)
    if (row.nid == nodeId)
      if (QuantityVector *variable = registered(registry, row.tag))
        readElements(row, *variable);
}

void MemoryPersistency::read(int nodeId, const QuantityMatrixRegistry &registry) {
  for (const VariableRow &row : tables_.qm)
    if (row.nid == nodeId)
      if (QuantityMatrix *variable = registered(registry, row.tag)) {
        variable->setRows(row.rows);
        readElements(row, *variable);
      }
}
