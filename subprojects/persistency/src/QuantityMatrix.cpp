#include "velta/persistency/QuantityMatrix.h"

#include <limits>
#include <ostream>

namespace {

// Checked product: a column so large that row + column * rows wraps around
// must not reach a valid element.
std::size_t elements(std::uint64_t rows, std::uint64_t columns) {
  if (rows != 0 && columns > std::numeric_limits<std::size_t>::max() / rows)
    throw ErrorRunTime("QuantityMatrix::QuantityMatrix", "too many elements");
  return static_cast<std::size_t>(rows * columns);
}

} // namespace

QuantityMatrix::QuantityMatrix(std::string tag, std::string description, std::uint64_t rows,
                               std::uint64_t columns, const Value &value, Item *parent)
    : TypeVector<Value>(std::move(tag), std::move(description), parent, elements(rows, columns),
                        value),
      rows_(rows) {}

std::size_t QuantityMatrix::flatIndex(std::uint64_t row, std::uint64_t column) const {
  if (row >= rows_)
    throw ErrorRunTime("QuantityMatrix::operator()",
                       "row index is outside range: index larger than number of rows");
  // row < rows_, so row + column * rows_ overflows exactly when column is
  // beyond what any vector could hold; report that as the vector's range error.
  const std::uint64_t limit = std::numeric_limits<std::uint64_t>::max();
  if (column > (limit - row) / rows_)
    throw ErrorRunTime("TypeVector::at", "index is outside range: index larger than vector size");
  return static_cast<std::size_t>(row + column * rows_);
}

Value &QuantityMatrix::operator()(std::uint64_t row, std::uint64_t column) {
  return at(flatIndex(row, column));
}

const Value &QuantityMatrix::operator()(std::uint64_t row, std::uint64_t column) const {
  return at(flatIndex(row, column));
}

std::string QuantityMatrix::uom() const {
  return value_.empty() ? std::string() : value_.front().uom();
}

std::ostream &QuantityMatrix::print(std::ostream &stream) const {
  stream << "[";
  for (std::uint64_t i = 0; i < rows_; ++i) {
    stream << (i > 0 ? ", [" : "[");
    for (std::uint64_t j = 0; j < columns(); ++j)
      stream << (j > 0 ? ", \"" : "\"") << value_[i + j * rows_] << '"';
    stream << "]";
  }
  return stream << "]";
}
