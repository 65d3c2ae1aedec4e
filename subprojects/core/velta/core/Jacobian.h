#pragma once
// The square Newton-step matrix of one solver: rows are equations, columns
// unknowns. Below `denseLimit` unknowns it is a dense row-major array solved
// by an in-place LU with partial pivoting; from `denseLimit` on it is a
// compressed-column sparse matrix, permuted to block triangular form and
// solved block by block with the CSparse LU of each diagonal block.

#include "velta/value/Value.h"

#include <cstddef>
#include <vector>

struct cs_di_sparse; // CSparse matrix, kept out of this header

class Jacobian {
public:
  static constexpr int denseLimit = 100;

  // Result codes of solve().
  static constexpr int solved = 0;
  static constexpr int sparseFactorisationFailed = 1;
  static constexpr int singularType1 = 6; // zero pivot, or unusable matrix
  static constexpr int singularType2 = 7; // zero diagonal in back substitution

  Jacobian();
  ~Jacobian();
  Jacobian(const Jacobian &) = delete;
  Jacobian &operator=(const Jacobian &) = delete;

  // Drops the old storage, selects the form for n and clears the matrix.
  void resize(unsigned n);
  // Removes every entry (dense: all zero; sparse: no stored entry).
  void clear();

  int size() const { return n_; }
  bool isSparse() const { return sparse_ != nullptr; }

  // Entry (r, c); 0 for an entry the sparse pattern does not hold or for
  // indices out of range. Read-only: entries are written through set().
  double element(int r, int c) const;

  // Stores v at (r, c) and returns v. In the sparse form an absent entry is
  // appended at the end of column c (cheap when columns are filled in
  // increasing order); an absent exact zero is not stored, as it reads as 0.
  double set(int r, int c, double v);

  // Stores column c as factor times the derivatives, in direction c, of the
  // residuals, and returns the sum of the absolute values stored. In the
  // sparse form exact zeros are skipped and columns must be filled in
  // increasing order after clear().
  double fillColumn(const std::vector<Value> &residuals, int c, double factor);

  // Fills every column c as fillColumn(residuals, c, factors[c]) does (all
  // factors 1 when factors is null) and stores its result in columnSums[c].
  // When the numbers hold their derivatives sparsely, the sparse form is
  // built in time proportional to the stored derivatives instead of n^2.
  void fillColumns(const std::vector<Value> &residuals, const double *factors, double *columnSums);

  // With intermediates allowed, a sparse Jacobian filled under a derivative
  // context that folded numbers (see DerivativeContext) is kept in extended
  // form: the columns of the unknowns and of the intermediates, the rows of
  // the residuals and of the intermediates' definitions. The Newton step
  // and J^T f are those of the Jacobian by the unknowns alone, which is
  // never formed: along a chain of units it is dense below its diagonal.
  void allowIntermediates(bool allow) { allowIntermediates_ = allow; }
  bool allowsIntermediates() const { return allowIntermediates_; }
  // Intermediates of the last fill (0: plain form).
  int intermediates() const { return extendedSize_ > 0 ? extendedSize_ - n_ : 0; }

  // g := J^T f, in time proportional to the stored entries.
  void multiplyTransposed(const double *f, double *g) const;

  // Solves J p = b in place (b becomes p); returns one of the result codes.
  // The dense form is overwritten by its factors; the sparse form is kept.
  int solve(double *b);

  // Sparse form only (0 otherwise): entries stored and room allocated; the
  // extended form's entries when it is in use.
  int storedEntries() const;
  int capacity() const;

private:
  void release();
  void growSparse(std::ptrdiff_t needed);
  void fillExtended(const std::vector<Value> &residuals, const double *factors, double *columnSums);
  int solveDense(double *b);
  int solveSparse(double *b);
  // Solves the n x n compressed-column matrix by its block triangular form.
  static int solveBlockTriangular(cs_di_sparse *matrix, int n, double *b);

  int n_ = 0;
  std::vector<double> dense_;
  std::vector<int> pivots_;
  cs_di_sparse *sparse_ = nullptr;
  std::vector<int> columnWork_; // fill positions of fillColumns
  bool allowIntermediates_ = false;
  int extendedSize_ = 0; // unknowns + intermediates; 0: plain form
  cs_di_sparse *extended_ = nullptr;
};
