#pragma once
// A store held in memory, for tests of everything that stores itself through
// the Persistency interface. It keeps the twelve tables' contents (element
// rows inside their headers), enforces unique node ids and UUIDs like the
// database's keys on N.ID and N.UUID, and makes transactions real: the
// outermost push takes a copy of the tables, rollback_transaction puts it
// back.
//
// failAfterWrites(n) makes the (n+1)-th write operation from now on throw
// ErrorRunTime, to test failure paths.

#include "velta/persistency/Persistency.h"
#include "velta/value/UnitArray.h"

#include <string>
#include <vector>

class Item;

class MemoryPersistency : public Persistency {
public:
  struct NodeRow {
    int id;
    std::string uuid, tag, description, type, fullTag;
    int parent, root, range;
    double createdAt, updatedAt;
  };
  // One variable row of any table: scalars use the first element only; a
  // quantity keeps its SI number with the exponents and unit text.
  struct VariableRow {
    int rowId = 0;
    int nid = 0;
    std::string tag, description;
    std::vector<int> integers;
    std::vector<std::string> strings;
    std::vector<double> numbers;
    UnitArray units{0};
    std::string unit;
    bool input = false, output = false;
    unsigned long long rows = 0; // matrices
  };
  struct Tables {
    std::vector<NodeRow> n;
    std::vector<VariableRow> i, iv, s, sv, q, qv, qm;
  };

  void push_transaction() override;
  int pop_transaction() override;
  void rollback_transaction() noexcept override;

  void purge(const std::string &table, int id) override;
  int countRows(const std::string &table, int id) override;
  int getId() override;
  void remove(int id, const std::string &table) override;
  int countCID(int nodeId, const std::string &table) override;

  int insertObject(const Persistent &node, int offset) override;
  void retrieveObject(const std::string &uuid, int &id, std::string &tag, std::string &description,
                      std::string &type, int &parentId, int &rootId, double &createdAt,
                      double &updatedAt) override;
  void retrieveObject(int id, std::string &uuid, std::string &tag, std::string &description,
                      std::string &type, int &parentId, int &rootId, double &createdAt,
                      double &updatedAt) override;
  void retrieveChildren(int id, ChildList &children) override;
  void removeObject(int id) override;

  void updateVector(int nodeId, const StringVectorRegistry &registry) override;
  void updateVector(int nodeId, const QuantityMatrixRegistry &registry) override;
  void updateVector(int nodeId, const QuantityVectorRegistry &registry) override;
  void updateVector(int nodeId, const IntegerVectorRegistry &registry) override;
  void update(int nodeId, const StringRegistry &registry) override;
  void update(int nodeId, const QuantityRegistry &registry) override;
  void update(int nodeId, const IntegerRegistry &registry) override;
  void update(int id) override;

  void insert(const StringVectorRegistry &registry, int offset) override;
  void insert(const QuantityMatrixRegistry &registry, int offset) override;
  void insert(const QuantityVectorRegistry &registry, int offset) override;
  void insert(const IntegerVectorRegistry &registry, int offset) override;
  void insert(const StringRegistry &registry, int offset) override;
  void insert(const QuantityRegistry &registry, int offset) override;
  void insert(const IntegerRegistry &registry, int offset) override;

  void read(int nodeId, const StringVectorRegistry &registry) override;
  void read(int nodeId, const QuantityMatrixRegistry &registry) override;
  void read(int nodeId, const QuantityVectorRegistry &registry) override;
  void read(int nodeId, const IntegerVectorRegistry &registry) override;
  void read(int nodeId, const StringRegistry &registry) override;
  void read(int nodeId, const QuantityRegistry &registry) override;
  void read(int nodeId, const IntegerRegistry &registry) override;

  const Tables &tables() const { return tables_; }
  // The N row with this id, or null.
  const NodeRow *node(int id) const;
  void failAfterWrites(int writes) { writesBeforeFailure_ = writes; }

private:
  void write(const char *operation);
  std::vector<VariableRow> &table(const std::string &name);
  VariableRow &newRow(std::vector<VariableRow> &rows, const Item &variable, int offset,
                      const char *operation);

  Tables tables_;
  Tables saved_;
  int nextRowId_ = 1;
  int writesBeforeFailure_ = -1;
};
