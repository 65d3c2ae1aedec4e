#pragma once
// Runs a cleanup when the scope is left, normally or by an exception.

#include <utility>

template <class F> class ScopeExit {
public:
  explicit ScopeExit(F cleanup) : cleanup_(std::move(cleanup)) {}
  ~ScopeExit() { cleanup_(); }
  ScopeExit(const ScopeExit &) = delete;
  ScopeExit &operator=(const ScopeExit &) = delete;

private:
  F cleanup_;
};

// A derivative context of n directions for the lifetime of the scope.
class DerivativeContextScope {
public:
  explicit DerivativeContextScope(int n);
  ~DerivativeContextScope();
  DerivativeContextScope(const DerivativeContextScope &) = delete;
  DerivativeContextScope &operator=(const DerivativeContextScope &) = delete;
};
