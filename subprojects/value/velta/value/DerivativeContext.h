#pragma once
// Derivative contexts: how many independent directions the automatic-
// differentiation numbers currently carry, and which number is seeded for
// each direction. Contexts form one process-wide stack; an equation system
// pushes a context with one direction per unknown, seeds its unknowns,
// evaluates, reads the derivatives and pops the context again.

#include <vector>

template <class T> class GenericActive;

// Number of directions of the current context. Constant-initialised to 0,
// so numbers built by any start-up initialiser are dense with no directions.
extern int numdir;

// While set, seeded numbers are read-only and may not be seeded twice.
// True from the start of the process; nothing clears it.
extern bool strict_ro;

class DerivativeContext {
public:
  explicit DerivativeContext(int directions);

  int directions() const { return static_cast<int>(seeded_.size()); }
  // The number seeded for direction i, or null.
  GenericActive<double> *seeded(int i) const;
  void setSeeded(int i, GenericActive<double> *number);

private:
  std::vector<GenericActive<double> *> seeded_; // not owned
};

// Makes a new context of n directions current and sets numdir to n.
void pushDerivativeContext(int n);
// Removes the current context; numdir follows the context below, if any.
void popDerivativeContext();
// The current context. The reference is invalidated by the next push.
DerivativeContext &currentDerivativeContext();
// Number of contexts on the stack (1 between start-up and exit, outside
// any equation system).
int derivativeContextDepth();

// Start-up counter: one instance in every source file that includes this
// header. The first construction builds the stack with a context of 0
// directions; the last destruction at exit tears it down.
class DerivativeContextInit {
public:
  DerivativeContextInit();
  ~DerivativeContextInit();
  DerivativeContextInit(const DerivativeContextInit &) = delete;
  DerivativeContextInit &operator=(const DerivativeContextInit &) = delete;
};

static DerivativeContextInit derivativeContextInit;
