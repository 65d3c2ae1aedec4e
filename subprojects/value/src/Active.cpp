#include "velta/value/Active.h"

#include "velta/utility/Error.h"

#include <algorithm>
#include <locale>
#include <sstream>
#include <type_traits>

namespace {

// Combines the sorted list b into the sorted list r: for every direction d
// of b, r[d] = combine(r[d], b[d]), where a direction missing from r enters
// with derivative 0 at its sorted place. The entries are updated in place in
// one pass as long as r holds b's directions (the usual case once the
// unknowns have spread through a calculation); from the first missing
// direction on, the rest of r grows once and is merged from the back (or,
// when r must be reallocated anyway, forwards into the new storage), so
// nothing is rescanned or shifted twice. b may be r itself.
template <class Entry, class Combine>
void mergeSorted(std::vector<Entry> &r, const std::vector<Entry> &b, Combine combine) {
  using Derivative = decltype(Entry::derivative);
  std::size_t i = 0, j = 0;
  const std::size_t rSize = r.size(), bSize = b.size();
  for (; j < bSize; ++j) {
    const std::int32_t direction = b[j].direction;
    while (i < rSize && r[i].direction < direction)
      ++i;
    if (i == rSize || r[i].direction != direction)
      break;
    r[i].derivative = combine(r[i].derivative, b[j].derivative);
    ++i;
  }
  if (j == bSize)
    return;

  // r[0, i) is final; merge b[j, bSize) into r[i, rSize).
  std::size_t missing = 0;
  for (std::size_t ii = i, jj = j; jj < bSize; ++jj) {
    while (ii < rSize && r[ii].direction < b[jj].direction)
      ++ii;
    if (ii < rSize && r[ii].direction == b[jj].direction)
      ++ii;
    else
      ++missing;
  }
  if (r.capacity() < rSize + missing && &r != &b) {
    // r has to move anyway: merge forwards into the new storage, so that
    // every entry is written once instead of moved and then merged.
    std::vector<Entry> merged;
    merged.reserve(rSize + missing);
    merged.insert(merged.end(), r.begin(), r.begin() + static_cast<std::ptrdiff_t>(i));
    std::size_t ri = i;
    for (std::size_t bj = j; bj < bSize; ++bj) {
      const Entry &incoming = b[bj];
      while (ri < rSize && r[ri].direction < incoming.direction)
        merged.push_back(r[ri++]);
      if (ri < rSize && r[ri].direction == incoming.direction) {
        merged.push_back(Entry{incoming.direction, combine(r[ri].derivative, incoming.derivative)});
        ++ri;
      } else {
        merged.push_back(Entry{incoming.direction, combine(Derivative(0), incoming.derivative)});
      }
    }
    merged.insert(merged.end(), r.begin() + static_cast<std::ptrdiff_t>(ri), r.end());
    r.swap(merged);
    return;
  }
  r.resize(rSize + missing);
  std::size_t ri = rSize, bj = bSize, k = rSize + missing; // one past the next element
  while (bj > j) {
    const Entry &incoming = b[bj - 1];
    if (ri > i && r[ri - 1].direction > incoming.direction) {
      r[--k] = r[--ri];
    } else if (ri > i && r[ri - 1].direction == incoming.direction) {
      const Derivative updated = combine(r[ri - 1].derivative, incoming.derivative);
      r[--k] = Entry{incoming.direction, updated};
      --ri;
      --bj;
    } else {
      r[--k] = Entry{incoming.direction, combine(Derivative(0), incoming.derivative)};
      --bj;
    }
  }
}

template <class Entry>
typename std::vector<Entry>::iterator findDirection(std::vector<Entry> &list, int direction) {
  return std::lower_bound(list.begin(), list.end(), direction,
                          [](const Entry &entry, int d) { return entry.direction < d; });
}

template <class Entry>
typename std::vector<Entry>::const_iterator findDirection(const std::vector<Entry> &list,
                                                          int direction) {
  return std::lower_bound(list.begin(), list.end(), direction,
                          [](const Entry &entry, int d) { return entry.direction < d; });
}

// The derivative of direction i, inserted with 0 when absent.
template <class Entry> decltype(Entry::derivative) &slot(std::vector<Entry> &list, int i) {
  auto it = findDirection(list, i);
  if (it == list.end() || it->direction != i)
    it = list.insert(it, Entry{static_cast<std::int32_t>(i), 0});
  return it->derivative;
}

std::ostringstream &textBuffer() {
  static std::ostringstream buffer;
  static const bool classic = (buffer.imbue(std::locale::classic()), true);
  (void)classic;
  buffer.str(std::string());
  buffer.clear();
  return buffer;
}

} // namespace

template <class T> T GenericActive<T>::sparseDerivative(int i) const {
  const auto it = findDirection(sparse_, i);
  return (it != sparse_.end() && it->direction == i) ? it->derivative : T(0);
}

template <class T> T GenericActive<T>::derivativeSum() const {
  T sum = 0;
  if (sparseMode()) {
    for (const Entry &entry : sparse_)
      sum += std::fabs(entry.derivative);
  } else {
    for (int i = 0; i < denseDirections; ++i)
      sum += std::fabs(dense_[i]);
  }
  return sum;
}

template <class T> T GenericActive<T>::reducedDerivativeSum() const {
  if (!sparseMode() || currentDerivativeContext().intermediates().empty())
    return derivativeSum();
  std::vector<DerivativeTerm> list;
  list.reserve(sparse_.size());
  for (const Entry &entry : sparse_)
    list.push_back({entry.direction, static_cast<double>(entry.derivative)});
  return currentDerivativeContext().reducedDerivativeMeasure(list);
}

template <class T> bool GenericActive<T>::holdsIntermediates() const {
  // Sorted by direction: an intermediate, if any, comes last.
  return !sparse_.empty() && sparse_.back().direction >= numdir;
}

template <class T> bool GenericActive<T>::foldDerivatives() {
  if (!sparseMode() || active_)
    return false;
  DerivativeContext &context = currentDerivativeContext();
  const int threshold = context.foldingThreshold();
  if (threshold <= 0 || static_cast<int>(sparse_.size()) < threshold)
    return false;
  std::vector<DerivativeTerm> definition;
  definition.reserve(sparse_.size());
  for (const Entry &entry : sparse_)
    if (entry.derivative != 0)
      definition.push_back({entry.direction, static_cast<double>(entry.derivative)});
  const int direction = context.addIntermediate(std::move(definition));
  sparse_.assign(1, Entry{direction, T(1)});
  return true;
}

template <class T> void GenericActive<T>::sparseAdd(const GenericActive &b) {
  mergeSorted(sparse_, b.sparse_, [](T r, T o) { return r + o; });
}

template <class T> void GenericActive<T>::sparseSubtract(const GenericActive &b) {
  mergeSorted(sparse_, b.sparse_, [](T r, T o) { return r - o; });
}

// a_i * b, then + b_i * a per entry of b (same expression as the dense loop).
template <class T> void GenericActive<T>::sparseMultiply(const GenericActive &b) {
  if (&b == this) {
    const GenericActive copy(b);
    sparseMultiply(copy);
    return;
  }
  const T av = value_, bv = b.value_;
  for (Entry &entry : sparse_)
    entry.derivative = entry.derivative * bv;
  mergeSorted(sparse_, b.sparse_, [av](T r, T o) { return r + o * av; });
}

// a_i - q * b_i per entry of b, then every entry divided by b (the same
// expressions as the dense loop); q = a / b is the quotient's value.
template <class T> void GenericActive<T>::sparseDivide(const GenericActive &b, T quotient) {
  if (&b == this) {
    const GenericActive copy(b);
    sparseDivide(copy, quotient);
    return;
  }
  const T bv = b.value_;
  if (std::isfinite(quotient)) [[likely]] {
    mergeSorted(sparse_, b.sparse_, [quotient](T r, T o) { return r - quotient * o; });
    for (Entry &entry : sparse_)
      entry.derivative = entry.derivative / bv;
  } else {
    mergeSorted(sparse_, b.sparse_,
                [quotient](T r, T o) { return quotientNumerator(r, o, quotient); });
    for (Entry &entry : sparse_)
      entry.derivative = overDivisor(entry.derivative, bv);
  }
}

template <class T> void GenericActive<T>::sparseAddScaled(const GenericActive &b, T factor) {
  mergeSorted(sparse_, b.sparse_, [factor](T r, T o) { return r + term(factor, o); });
}

template <class T> void GenericActive<T>::seededOverwritten() const {
  std::string unknown;
  if constexpr (std::is_same_v<T, double>)
    unknown = seededNumberName(this);
  if (unknown.empty())
    unknown = "a seeded unknown";
  throw ErrorRunTime("GenericActive::operator =",
                     ("severe error: incorrect derivative calculation: " + unknown +
                      " was overwritten while its derivatives were computed")
                         .c_str());
}

template <class T> void GenericActive<T>::setActive(int i) {
  VELTA_ASSERT_AS(!strict_ro || !active_, "!strict_ro || !active_", "value/src/Active", 949);
  if (sparseMode()) {
    sparse_.clear();
  } else {
    for (int j = 0; j < numdir; ++j)
      dense_[j] = 0;
  }
  if (numdir > 0) {
    setDerivative(i, 1);
    currentDerivativeContext().setSeeded(i, this);
  }
  active_ = true;
}

template <class T> void GenericActive<T>::setInactive(int i) {
  active_ = false;
  if (numdir > 0) {
    setDerivative(i, 0);
    currentDerivativeContext().setSeeded(i, nullptr);
  }
}

template <class T> void GenericActive<T>::setDerivative(int i, T derivative) {
  if (numdir <= 0)
    return;
  if (sparseMode()) {
    slot(sparse_, i) = derivative;
  } else {
    VELTA_ASSERT(i >= 0 && i < denseDirections);
    dense_[i] = derivative;
  }
}

// Dense: "<value> [ d0 d1 ... ]" over the context's directions. Sparse with
// 200 directions or more: only the stored pairs, each as " (d)derivative";
// sparse with fewer: every direction, 0 where not stored.
template <class T> std::string GenericActive<T>::toString() const {
  std::ostringstream &text = textBuffer();
  text << value_ << " [ ";
  const int n = numdir;
  if (!sparseMode()) {
    for (int i = 0; i < n; ++i)
      text << dense_[i] << ' ';
  } else if (n >= 200) {
    for (const Entry &entry : sparse_)
      text << " (" << entry.direction << ")" << entry.derivative;
  } else {
    auto stored = sparse_.begin();
    for (int j = 0; j < n; ++j) {
      while (stored != sparse_.end() && stored->direction < j)
        ++stored;
      text << ((stored != sparse_.end() && stored->direction == j) ? stored->derivative : T(0))
           << ' ';
    }
  }
  text << " ]";
  return text.str();
}

template class GenericActive<double>;
