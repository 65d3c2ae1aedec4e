#pragma once
// Bound parameter buffers for the element values of vector tables (IVV, SVV,
// QVV, QMV), shared by insertion and update. Physical values are made
// storable like scalars, so that a NaN or infinite element cannot make a
// case unreadable.

#include "velta/persistency/OdbcStatement.h"
#include "velta/persistency/OdbcText.h"
#include "velta/persistency/Persistency.h"
#include "velta/value/Value.h"

#include <string>

namespace odbcElements {

struct IntegerElement {
  int buffer = 0;
  void bind(OdbcStatement &statement, int marker, const char *function, const char *message) {
    statement.bindInteger(marker, &buffer, function, message);
  }
  void fill(int value) { buffer = value; }
};

struct TextElement {
  OdbcLongText buffer;
  void bind(OdbcStatement &statement, int marker, const char *function, const char *message) {
    statement.bindText(marker, buffer.data(), buffer.columnSize, function, message);
  }
  void fill(const std::string &value) { buffer.assign(value); }
};

struct QuantityElement {
  double buffer = 0;
  void bind(OdbcStatement &statement, int marker, const char *function, const char *message) {
    statement.bindDouble(marker, &buffer, function, message);
  }
  void fill(const Value &value) {
    buffer = value.value();
    Persistency::sanitize(buffer);
  }
};

} // namespace odbcElements
