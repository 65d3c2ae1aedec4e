#include "velta/core/Jacobian.h"

#include "velta/utility/Assert.h"

#define NCOMPLEX // only the real double/int CSparse routines are used
#include <suitesparse/cs.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace {

// Initial room of the sparse form: a tenth of the full matrix for moderate
// sizes, but at most 16 entries per column, so that large banded systems
// neither overflow int nor reserve gigabytes; the storage doubles on demand.
int initialSparseRoom(int n) {
  const std::int64_t tenth = static_cast<std::int64_t>(n) * n / 10;
  return static_cast<int>(std::max<std::int64_t>(1, std::min<std::int64_t>(tenth, 16LL * n)));
}

bool isCompressed(const cs_di *a) { return a != nullptr && a->nz == -1; }

} // namespace

Jacobian::Jacobian() = default;

Jacobian::~Jacobian() { release(); }

void Jacobian::release() {
  dense_.clear();
  dense_.shrink_to_fit();
  pivots_.clear();
  pivots_.shrink_to_fit();
  if (sparse_ != nullptr)
    cs_di_spfree(sparse_);
  sparse_ = nullptr;
  if (extended_ != nullptr)
    cs_di_spfree(extended_);
  extended_ = nullptr;
  extendedSize_ = 0;
  n_ = 0;
}

void Jacobian::resize(unsigned n) {
  release();
  if (n == 0)
    return;
  n_ = static_cast<int>(n);
  if (n < static_cast<unsigned>(denseLimit)) {
    dense_.assign(static_cast<std::size_t>(n) * n, 0.0);
    pivots_.assign(std::max<std::size_t>(3 * static_cast<std::size_t>(n), 30), 0);
  } else {
    sparse_ = cs_di_spalloc(n_, n_, initialSparseRoom(n_), 1, 0);
    if (sparse_ == nullptr)
      throw std::bad_alloc();
  }
  clear();
}

void Jacobian::clear() {
  extendedSize_ = 0;
  if (sparse_ == nullptr) {
    std::fill(dense_.begin(), dense_.end(), 0.0);
    return;
  }
  if (!isCompressed(sparse_))
    return;
  sparse_->x[0] = 0.0;
  std::fill(sparse_->p, sparse_->p + n_ + 1, 0);
}

double Jacobian::element(int r, int c) const {
  if (sparse_ == nullptr) {
    if (r < 0 || c < 0 || r >= n_ || c >= n_)
      return 0.0;
    return dense_[static_cast<std::size_t>(r) * n_ + c];
  }
  if (!isCompressed(sparse_) || r < 0 || c < 0 || r >= n_ || c >= n_)
    return 0.0;
  for (int k = sparse_->p[c]; k < sparse_->p[c + 1]; ++k)
    if (sparse_->i[k] == r)
      return sparse_->x[k];
  return 0.0;
}

void Jacobian::growSparse(std::ptrdiff_t needed) {
  if (needed < sparse_->nzmax)
    return;
  const std::ptrdiff_t room = std::max<std::ptrdiff_t>(2 * needed, 1);
  VELTA_ASSERT(room <= INT32_MAX);
  if (!cs_di_sprealloc(sparse_, static_cast<int>(room)))
    throw std::bad_alloc();
}

double Jacobian::set(int r, int c, double v) {
  if (sparse_ == nullptr) {
    if (r >= 0 && c >= 0 && r < n_ && c < n_)
      dense_[static_cast<std::size_t>(r) * n_ + c] = v;
    return v;
  }
  if (!isCompressed(sparse_) || r < 0 || c < 0 || r >= n_ || c >= n_)
    return v;
  int *p = sparse_->p;
  for (int k = p[c]; k < p[c + 1]; ++k)
    if (sparse_->i[k] == r) {
      sparse_->x[k] = v;
      return v;
    }
  if (v == 0.0)
    return v;
  const int end = p[n_];
  growSparse(end);
  // Make room at the end of column c by moving the later columns one place up.
  const int at = p[c + 1];
  std::memmove(sparse_->i + at + 1, sparse_->i + at, sizeof(int) * (end - at));
  std::memmove(sparse_->x + at + 1, sparse_->x + at, sizeof(double) * (end - at));
  sparse_->i[at] = r;
  sparse_->x[at] = v;
  for (int k = c + 1; k <= n_; ++k)
    ++p[k];
  return v;
}

double Jacobian::fillColumn(const std::vector<Value> &residuals, int c, double factor) {
  VELTA_ASSERT(residuals.size() >= static_cast<std::size_t>(n_));
  double sum = 0.0;
  if (n_ == 0)
    return sum;
  if (sparse_ == nullptr) {
    for (int r = 0; r < n_; ++r) {
      const double entry = factor * residuals[r].activeValue().derivative(c);
      dense_[static_cast<std::size_t>(r) * n_ + c] = entry;
      sum += std::fabs(entry);
    }
    return sum;
  }
  if (!isCompressed(sparse_))
    return sum;
  int position = sparse_->p[c];
  for (int r = 0; r < n_; ++r) {
    const double derivative = residuals[r].activeValue().derivative(c);
    if (derivative == 0.0)
      continue;
    growSparse(position);
    const double entry = factor * derivative;
    sparse_->i[position] = r;
    sparse_->x[position] = entry;
    ++position;
    sum += std::fabs(entry);
  }
  sparse_->p[c + 1] = position;
  return sum;
}

void Jacobian::fillColumns(const std::vector<Value> &residuals, const double *factors,
                           double *columnSums) {
  VELTA_ASSERT(residuals.size() >= static_cast<std::size_t>(n_));
  if (sparse_ == nullptr || !Active::sparseMode() || !isCompressed(sparse_)) {
    for (int c = 0; c < n_; ++c)
      columnSums[c] = fillColumn(residuals, c, factors != nullptr ? factors[c] : 1.0);
    return;
  }
  if (allowIntermediates_ && !currentDerivativeContext().intermediates().empty()) {
    fillExtended(residuals, factors, columnSums);
    return;
  }
  extendedSize_ = 0;
  // Transpose the rows' sparse derivative lists: count the entries of every
  // column, lay out the column pointers, then scatter the rows in order.
  int *p = sparse_->p;
  std::fill(p, p + n_ + 1, 0);
  for (int r = 0; r < n_; ++r)
    for (const auto &entry : residuals[r].activeValue().sparseDerivatives())
      if (entry.derivative != 0.0 && entry.direction >= 0 && entry.direction < n_)
        ++p[entry.direction + 1];
  for (int c = 0; c < n_; ++c)
    p[c + 1] += p[c];
  growSparse(p[n_]);
  columnWork_.assign(p, p + n_);
  std::fill(columnSums, columnSums + n_, 0.0);
  for (int r = 0; r < n_; ++r)
    for (const auto &entry : residuals[r].activeValue().sparseDerivatives()) {
      const int c = entry.direction;
      if (entry.derivative == 0.0 || c < 0 || c >= n_)
        continue;
      const double value = (factors != nullptr ? factors[c] : 1.0) * entry.derivative;
      const int position = columnWork_[c]++;
      sparse_->i[position] = r;
      sparse_->x[position] = value;
      columnSums[c] += std::fabs(value);
    }
}

void Jacobian::fillExtended(const std::vector<Value> &residuals, const double *factors,
                            double *columnSums) {
  // Intermediate k is direction n + k: its column, and the row of its
  // definition z_k - sum(d_j v_j) = 0.
  const std::vector<std::vector<DerivativeTerm>> &definitions =
      currentDerivativeContext().intermediates();
  const int n = n_, size = n_ + static_cast<int>(definitions.size());
  auto factor = [factors, n](int c) { return c < n && factors != nullptr ? factors[c] : 1.0; };
  auto valid = [size](int c, double d) { return d != 0.0 && c >= 0 && c < size; };
  if (extended_ == nullptr || extended_->n != size) {
    if (extended_ != nullptr)
      cs_di_spfree(extended_);
    extended_ = cs_di_spalloc(size, size, 4 * size, 1, 0);
    if (extended_ == nullptr)
      throw std::bad_alloc();
  }
  extendedSize_ = size;
  int *p = extended_->p;
  std::fill(p, p + size + 1, 0);
  for (int r = 0; r < n; ++r)
    for (const auto &entry : residuals[r].activeValue().sparseDerivatives())
      if (valid(entry.direction, entry.derivative))
        ++p[entry.direction + 1];
  for (std::size_t k = 0; k < definitions.size(); ++k) {
    ++p[n + static_cast<int>(k) + 1];
    for (const DerivativeTerm &term : definitions[k])
      if (valid(term.direction, term.derivative))
        ++p[term.direction + 1];
  }
  for (int c = 0; c < size; ++c)
    p[c + 1] += p[c];
  if (p[size] > extended_->nzmax && !cs_di_sprealloc(extended_, 2 * p[size]))
    throw std::bad_alloc();
  columnWork_.assign(p, p + size);
  std::fill(columnSums, columnSums + n, 0.0);
  auto store = [this, columnSums, n](int r, int c, double value) {
    const int position = columnWork_[c]++;
    extended_->i[position] = r;
    extended_->x[position] = value;
    if (c < n)
      columnSums[c] += std::fabs(value);
  };
  for (int r = 0; r < n; ++r)
    for (const auto &entry : residuals[r].activeValue().sparseDerivatives())
      if (valid(entry.direction, entry.derivative))
        store(r, entry.direction, factor(entry.direction) * entry.derivative);
  for (std::size_t k = 0; k < definitions.size(); ++k) {
    const int row = n + static_cast<int>(k);
    for (const DerivativeTerm &term : definitions[k])
      if (valid(term.direction, term.derivative))
        store(row, term.direction, -factor(term.direction) * term.derivative);
    store(row, row, 1.0);
  }
}

void Jacobian::multiplyTransposed(const double *f, double *g) const {
  if (extendedSize_ > 0) {
    // With u solving the intermediates' part of A^T (f, u) = (g, 0), g is
    // J^T f of the Jacobian by the unknowns alone. The definitions' block is
    // unit lower triangular, so u follows from the last intermediate up.
    const int n = n_, m = extendedSize_ - n_;
    const int *p = extended_->p, *i = extended_->i;
    const double *x = extended_->x;
    std::vector<double> u(static_cast<std::size_t>(m), 0.0);
    auto weight = [&](int row) { return row < n ? f[row] : u[static_cast<std::size_t>(row - n)]; };
    for (int k = m - 1; k >= 0; --k) {
      const int c = n + k;
      double sum = 0.0;
      for (int q = p[c]; q < p[c + 1]; ++q)
        if (i[q] != c)
          sum += x[q] * weight(i[q]);
      u[static_cast<std::size_t>(k)] = -sum;
    }
    for (int c = 0; c < n; ++c) {
      double sum = 0.0;
      for (int q = p[c]; q < p[c + 1]; ++q)
        sum += x[q] * weight(i[q]);
      g[c] = sum;
    }
    return;
  }
  if (sparse_ == nullptr) {
    std::fill(g, g + n_, 0.0);
    for (int r = 0; r < n_; ++r) {
      const double *row = dense_.data() + static_cast<std::size_t>(r) * n_;
      for (int c = 0; c < n_; ++c)
        g[c] += row[c] * f[r];
    }
    return;
  }
  for (int c = 0; c < n_; ++c) {
    double sum = 0.0;
    if (isCompressed(sparse_))
      for (int k = sparse_->p[c]; k < sparse_->p[c + 1]; ++k)
        sum += sparse_->x[k] * f[sparse_->i[k]];
    g[c] = sum;
  }
}

int Jacobian::storedEntries() const {
  if (extendedSize_ > 0)
    return extended_->p[extendedSize_];
  return isCompressed(sparse_) ? sparse_->p[n_] : 0;
}

int Jacobian::capacity() const { return sparse_ != nullptr ? sparse_->nzmax : 0; }

int Jacobian::solve(double *b) {
  if (sparse_ != nullptr)
    return solveSparse(b);
  return solveDense(b);
}

int Jacobian::solveDense(double *b) {
  const int n = n_;
  if (n == 0)
    return solved;
  double *a = dense_.data();
  if (n == 1) {
    // A zero or non-finite single entry is as singular as a zero pivot.
    if (a[0] == 0.0 || !std::isfinite(a[0]))
      return singularType1;
    a[0] = 1.0 / a[0];
    b[0] = a[0] * b[0];
    return solved;
  }
  auto at = [a, n](int r, int c) -> double & { return a[static_cast<std::size_t>(r) * n + c]; };
  for (int k = 0; k < n; ++k) {
    int pivot = k;
    double largest = std::fabs(at(k, k));
    for (int i = k + 1; i < n; ++i)
      if (std::fabs(at(i, k)) > largest) {
        largest = std::fabs(at(i, k));
        pivot = i;
      }
    pivots_[k] = pivot;
    if (pivot != k)
      std::swap_ranges(&at(k, 0), &at(k, 0) + n, &at(pivot, 0));
    const double diagonal = at(k, k);
    if (diagonal == 0.0)
      return singularType1;
    for (int i = k + 1; i < n; ++i) {
      const double factor = at(i, k) / diagonal;
      at(i, k) = factor;
      for (int j = k + 1; j < n; ++j)
        at(i, j) -= factor * at(k, j);
    }
  }
  for (int i = 0; i < n; ++i) {
    if (pivots_[i] != i)
      std::swap(b[i], b[pivots_[i]]);
    double sum = b[i];
    for (int j = 0; j < i; ++j)
      sum -= at(i, j) * b[j];
    b[i] = sum;
  }
  for (int i = n - 1; i >= 0; --i) {
    double sum = b[i];
    for (int j = i + 1; j < n; ++j)
      sum -= at(i, j) * b[j];
    if (at(i, i) == 0.0)
      return singularType2;
    b[i] = sum / at(i, i);
  }
  return solved;
}

namespace {

// Solves a (e.g. diagonal-block) matrix in place by the CSparse LU with the
// fill-reducing ordering and the pivot tolerance the whole matrix used to be
// solved with; false when the factorisation fails.
bool luSolve(const cs_di *a, double *b) {
  const int n = a->n;
  cs_dis *symbolic = cs_di_sqr(2, a, 0);
  cs_din *numeric = symbolic != nullptr ? cs_di_lu(a, symbolic, 0.001) : nullptr;
  double *work = static_cast<double *>(cs_di_malloc(n, sizeof(double)));
  const bool ok = symbolic != nullptr && numeric != nullptr && work != nullptr;
  if (ok) {
    cs_di_ipvec(numeric->pinv, b, work, n);
    cs_di_lsolve(numeric->L, work);
    cs_di_usolve(numeric->U, work);
    cs_di_ipvec(symbolic->q, work, b, n);
  }
  cs_di_free(work);
  cs_di_sfree(symbolic);
  cs_di_nfree(numeric);
  return ok;
}

struct BlocksFree {
  void operator()(cs_did *blocks) const { cs_di_dfree(blocks); }
};

struct MatrixFree {
  void operator()(cs_di *matrix) const { cs_di_spfree(matrix); }
};

} // namespace

int Jacobian::solveSparse(double *b) {
  if (extendedSize_ > 0) {
    // The definitions' rows have zero right-hand sides.
    std::vector<double> extended(static_cast<std::size_t>(extendedSize_), 0.0);
    std::copy(b, b + n_, extended.begin());
    const int result = solveBlockTriangular(extended_, extendedSize_, extended.data());
    std::copy(extended.begin(), extended.begin() + n_, b);
    return result;
  }
  if (!isCompressed(sparse_))
    return singularType1;
  return solveBlockTriangular(sparse_, n_, b);
}

int Jacobian::solveBlockTriangular(cs_di_sparse *matrix, int n, double *b) {
  // A flowsheet's Jacobian is mostly block triangular: units downstream of
  // all recycles depend on the ones upstream, not the other way. Permuted to
  // its block upper triangular form, only the diagonal blocks (the strongly
  // connected parts) are factorised and the rest enters by back
  // substitution, in time close to the stored entries instead of the fill
  // of one LU of the whole matrix. A structurally singular matrix goes to
  // the plain LU, which reports it, and so does one with an entry that is
  // not finite, which the LU's pivot search handles in its own way.
  const int stored = matrix->p[n];
  if (!std::all_of(matrix->x, matrix->x + stored, [](double v) { return std::isfinite(v); }))
    return luSolve(matrix, b) ? solved : sparseFactorisationFailed;
  const std::unique_ptr<cs_did, BlocksFree> blocks(cs_di_dmperm(matrix, 0));
  if (blocks == nullptr || blocks->rr[3] != n || blocks->nb <= 1)
    return luSolve(matrix, b) ? solved : sparseFactorisationFailed;
  int *rowInverse = cs_di_pinv(blocks->p, n);
  const std::unique_ptr<cs_di, MatrixFree> permuted(
      rowInverse != nullptr ? cs_di_permute(matrix, rowInverse, blocks->q, 1) : nullptr);
  cs_di_free(rowInverse);
  if (permuted == nullptr)
    throw std::bad_alloc();
  // y = b(p); solve the blocks from the last one up; b(q) = y.
  std::vector<double> y(static_cast<std::size_t>(n));
  for (int k = 0; k < n; ++k)
    y[k] = b[blocks->p[k]];
  const int *p = permuted->p, *i = permuted->i;
  const double *x = permuted->x;
  for (int block = blocks->nb - 1; block >= 0; --block) {
    const int first = blocks->r[block], end = blocks->r[block + 1], size = end - first;
    if (size == 1) {
      double diagonal = 0.0;
      for (int k = p[first]; k < p[first + 1]; ++k)
        if (i[k] == first)
          diagonal = x[k];
      if (diagonal == 0.0 || !std::isfinite(diagonal))
        return sparseFactorisationFailed;
      y[first] /= diagonal;
    } else {
      // The diagonal block, shifted to start at row and column 0.
      const std::unique_ptr<cs_di, MatrixFree> diagonalBlock(
          cs_di_spalloc(size, size, p[end] - p[first], 1, 0));
      if (diagonalBlock == nullptr)
        throw std::bad_alloc();
      int kept = 0;
      for (int c = first; c < end; ++c) {
        diagonalBlock->p[c - first] = kept;
        for (int k = p[c]; k < p[c + 1]; ++k)
          if (i[k] >= first && i[k] < end) {
            diagonalBlock->i[kept] = i[k] - first;
            diagonalBlock->x[kept] = x[k];
            ++kept;
          }
      }
      diagonalBlock->p[size] = kept;
      if (!luSolve(diagonalBlock.get(), y.data() + first))
        return sparseFactorisationFailed;
    }
    // The block's unknowns are known now: move their terms to the right.
    for (int c = first; c < end; ++c)
      for (int k = p[c]; k < p[c + 1]; ++k)
        if (i[k] < first)
          y[i[k]] -= x[k] * y[c];
  }
  for (int k = 0; k < n; ++k)
    b[blocks->q[k]] = y[k];
  return solved;
}
