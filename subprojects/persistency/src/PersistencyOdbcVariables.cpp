// Insertion, reading and update of the variables of objects in the ODBC
// store: not part of this build yet. Each operation fails with ErrorOdbc, so
// that nothing is ever reported as stored or read that was not.

#include "velta/persistency/PersistencyOdbc.h"

#include "velta/persistency/ErrorOdbc.h"

namespace {

[[noreturn]] void unavailable(const char *function) {
  throw ErrorOdbc(function, "Variables cannot be stored in this build yet");
}

} // namespace

void PersistencyOdbc::updateVector(int, const StringVectorRegistry &) {
  unavailable("PersistencyOdbc::updateVector");
}
void PersistencyOdbc::updateVector(int, const QuantityMatrixRegistry &) {
  unavailable("PersistencyOdbc::updateVector");
}
void PersistencyOdbc::updateVector(int, const QuantityVectorRegistry &) {
  unavailable("PersistencyOdbc::updateVector");
}
void PersistencyOdbc::updateVector(int, const IntegerVectorRegistry &) {
  unavailable("PersistencyOdbc::updateVector");
}
void PersistencyOdbc::update(int, const StringRegistry &) {
  unavailable("PersistencyOdbc::update");
}
void PersistencyOdbc::update(int, const QuantityRegistry &) {
  unavailable("PersistencyOdbc::update");
}
void PersistencyOdbc::update(int, const IntegerRegistry &) {
  unavailable("PersistencyOdbc::update");
}
void PersistencyOdbc::update(int) { unavailable("PersistencyOdbc::update"); }
void PersistencyOdbc::insert(const StringVectorRegistry &, int) {
  unavailable("PersistencyOdbc::insert");
}
void PersistencyOdbc::insert(const QuantityMatrixRegistry &, int) {
  unavailable("PersistencyOdbc::insert");
}
void PersistencyOdbc::insert(const QuantityVectorRegistry &, int) {
  unavailable("PersistencyOdbc::insert");
}
void PersistencyOdbc::insert(const IntegerVectorRegistry &, int) {
  unavailable("PersistencyOdbc::insert");
}
void PersistencyOdbc::insert(const StringRegistry &, int) {
  unavailable("PersistencyOdbc::insert");
}
void PersistencyOdbc::insert(const QuantityRegistry &, int) {
  unavailable("PersistencyOdbc::insert");
}
void PersistencyOdbc::insert(const IntegerRegistry &, int) {
  unavailable("PersistencyOdbc::insert");
}
void PersistencyOdbc::read(int, const StringVectorRegistry &) {
  unavailable("PersistencyOdbc::read");
}
void PersistencyOdbc::read(int, const QuantityMatrixRegistry &) {
  unavailable("PersistencyOdbc::read");
}
void PersistencyOdbc::read(int, const QuantityVectorRegistry &) {
  unavailable("PersistencyOdbc::read");
}
void PersistencyOdbc::read(int, const IntegerVectorRegistry &) {
  unavailable("PersistencyOdbc::read");
}
void PersistencyOdbc::read(int, const StringRegistry &) { unavailable("PersistencyOdbc::read"); }
void PersistencyOdbc::read(int, const QuantityRegistry &) { unavailable("PersistencyOdbc::read"); }
void PersistencyOdbc::read(int, const IntegerRegistry &) { unavailable("PersistencyOdbc::read"); }
