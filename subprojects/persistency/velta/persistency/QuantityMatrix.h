#pragma once
// A named matrix of physical values (tables QM and QMV), stored column by
// column: element (row i, column j) is element i + j * rows of the vector.

#include "velta/persistency/TypeVector.h"
#include "velta/value/Value.h"

#include <cstdint>

class QuantityMatrix : public TypeVector<Value> {
public:
  // rows x columns copies of value; both flags false.
  QuantityMatrix(std::string tag, std::string description, std::uint64_t rows,
                 std::uint64_t columns, const Value &value, Item *parent);

  std::uint64_t rows() const { return rows_; }
  // Element count divided by the number of rows (0 without rows).
  std::uint64_t columns() const { return rows_ == 0 ? 0 : size() / rows_; }
  // Sets the number of rows; the elements stay as they are (used when a
  // stored matrix is read back and resized).
  void setRows(std::uint64_t rows) { rows_ = rows; }

  // Element (row, column). A row not below the number of rows throws
  // ErrorRunTime from "QuantityMatrix::operator()"; then the flat index goes
  // through TypeVector::at, so a column beyond the last throws from there.
  Value &operator()(std::uint64_t row, std::uint64_t column);
  const Value &operator()(std::uint64_t row, std::uint64_t column) const;

  bool input() const { return input_; }
  bool &input() { return input_; }
  bool output() const { return output_; }
  bool &output() { return output_; }

  // Unit text of the first element; "" for an empty matrix.
  std::string uom() const;

  std::string type() const override { return "QuantityMatrix"; }
  // Row by row, as a JSON array of arrays of element texts:
  // [["1 m", "3 m"], ["2 m", "4 m"]]; "[]" without rows.
  std::ostream &print(std::ostream &stream) const override;

private:
  std::size_t flatIndex(std::uint64_t row, std::uint64_t column) const;

  std::uint64_t rows_;
  bool input_ = false;
  bool output_ = false;
};
